// The progress bar of the main window, with one or two lines of status text drawn over it and an
// optional moving busy block; and the splash picture shown while the program starts.
#pragma once

#include <QProgressBar>
#include <QWidget>

namespace vellox::ui {

class CProgressWnd : public QProgressBar {
    Q_OBJECT
public:
    explicit CProgressWnd(QWidget* parent = nullptr);
    void SetText(const QString& text);
    void SetBusy(bool busy);
    [[nodiscard]] QString Text() const { return m_strText; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QString m_strText;
    bool m_bBusy = false;
};

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    explicit CSplashWnd(QWidget* parent = nullptr);
    // The splash picture, drawn here: 400 x 300.
    static QPixmap Picture();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPixmap m_bitmap;
};

} // namespace vellox::ui
