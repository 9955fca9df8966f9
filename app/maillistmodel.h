// The mail list's model: one row per record of the selected folder, newest first.
//
// Rows are kept in display order in a deque, so that a record found during the scan goes in at the top
// cheaply. Records are owned by the found-mail list; the model only refers to them and is emptied before
// they are deleted.
#pragma once

#include <QAbstractTableModel>
#include <deque>
#include <vector>

namespace vellox {
struct tagMailItem;
}

namespace vellox::ui {

class MailListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kMarks = 0, kFrom = 1, kDate = 2, kSubject = 3, kColumnCount = 4 };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces every row; `oldestFirst` in the order the records were found.
    void SetRecords(std::vector<tagMailItem*> oldestFirst);
    // Shows newly found records at the top (the last of them topmost).
    void AddNewest(const std::vector<tagMailItem*>& oldestFirst);
    void Clear();
    // Sorts the rows by a column's text, ordinally (the list's heading click).
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    tagMailItem* RecordAt(int row) const;
    int RowOf(const tagMailItem* item) const;

    // The texts of a row's columns, as the list shows them.
    static QString ColumnText(const tagMailItem& item, int column);

private:
    std::deque<tagMailItem*> m_rows; // display order, top first
};

} // namespace vellox::ui
