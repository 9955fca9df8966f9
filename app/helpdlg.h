// The help window (the usage text) and the about box.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace vellox::ui {

class CHelpDlg : public QDialog {
    Q_OBJECT
public:
    explicit CHelpDlg(QWidget* parent = nullptr);
    QPlainTextEdit* TextBox() const { return m_text; }
    // The usage text: the UTF-16LE resource "DAT" 149 after its byte-order mark; "" when missing.
    static QString UsageText();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPlainTextEdit* m_text;
};

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

// The application icon (resource 128), drawn here.
QIcon AppIcon();

} // namespace vellox::ui
