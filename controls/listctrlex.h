// The mail list's header and view: painted headings with a sort arrow, and sorting on a heading click by
// an ordinal comparison of the column texts. The first click on a heading sorts ascending, further clicks
// flip the direction; refilling the list forgets the sort column.
#pragma once

#include <QHeaderView>
#include <QTreeView>

namespace vellox::ui {

class CHeaderCtrlEx : public QHeaderView {
    Q_OBJECT
public:
    explicit CHeaderCtrlEx(QWidget* parent = nullptr);
    // Returns the previous sort column.
    int SetSortColumn(int column, bool ascending);
    [[nodiscard]] int SortColumn() const { return m_iSortCol; }
    [[nodiscard]] bool Ascending() const { return m_bAscending; }

protected:
    void paintSection(QPainter* p, const QRect& rect, int logicalIndex) const override;
    void paintEvent(QPaintEvent* e) override;

private:
    int m_iSortCol = -1;
    bool m_bAscending = true;
};

class CListCtrlEx : public QTreeView {
    Q_OBJECT
public:
    explicit CListCtrlEx(bool sortable, QWidget* parent = nullptr);
    CHeaderCtrlEx* Header() const { return m_wndHeader; }
    // Sorts by a column as a heading click does (flipping the direction on a second click).
    void SortByColumn(int column);
    // The model was refilled: no sort column any more.
    void ForgetSort();

private:
    CHeaderCtrlEx* m_wndHeader;
    bool m_bSortable;
};

} // namespace vellox::ui
