// The search dialog ("查找设置") and the search over the mail list.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

class QLineEdit;

namespace vellox::ui {

class CSearchDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSearchDlg(const QString& initial, QWidget* parent = nullptr);
    [[nodiscard]] QString Text() const;
    QLineEdit* Edit() const { return m_edit; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QLineEdit* m_edit;
};

// Maps A to Z to a to z and nothing else.
QString LowerAsciiLetters(QString s);

// The row a search selects: rows from `start` to the last, then from 0 to start - 1. rowText gives a
// row's joined, lower-cased text, or nothing for a row without a record (which ends its pass). -1 when no
// row matches.
int FindNextRow(int rowCount, int start, const QString& needleLower,
                const std::function<std::optional<QString>(int)>& rowText);

} // namespace vellox::ui
