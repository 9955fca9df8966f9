#include "controls/listctrlex.h"
#include "controls/drawing.h"

#include <QApplication>
#include <QPainter>

namespace vellox::ui {

CHeaderCtrlEx::CHeaderCtrlEx(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int CHeaderCtrlEx::SetSortColumn(int column, bool ascending)
{
    const int old = m_iSortCol;
    m_iSortCol = column;
    m_bAscending = ascending;
    viewport()->update();
    return old;
}

void CHeaderCtrlEx::paintEvent(QPaintEvent* e)
{
    QHeaderView::paintEvent(e);
    // The area right of the last heading: the grey gradient, without a frame.
    const int last = count() > 0 ? sectionViewportPosition(logicalIndex(count() - 1)) +
                                       sectionSize(logicalIndex(count() - 1))
                                 : 0;
    if (last < viewport()->width()) {
        QPainter p(viewport());
        const QRect filler(last, 0, viewport()->width() - last, viewport()->height());
        const QColor edge(210, 210, 210), mid(190, 190, 190);
        const int half = filler.height() / 2;
        FillGradientRect(p, QRect(filler.left(), filler.top(), filler.width(), half), edge, mid, 1);
        FillGradientRect(p, QRect(filler.left(), filler.top() + half, filler.width(), filler.height() - half), mid,
                         edge, 1);
    }
}

void CHeaderCtrlEx::paintSection(QPainter* p, const QRect& rect, int logicalIndex) const
{
    p->save();
    const bool sorted = logicalIndex == m_iSortCol;
    const QColor edge(210, 210, 210);
    const QColor mid = sorted ? QColor(210, 210, 230) : QColor(190, 190, 190);
    const int half = rect.height() / 2;
    FillGradientRect(*p, QRect(rect.left(), rect.top(), rect.width(), half), edge, mid, 1);
    FillGradientRect(*p, QRect(rect.left(), rect.top() + half, rect.width(), rect.height() - half), mid, edge, 1);

    const int s = fontMetrics().horizontalAdvance(QLatin1Char(' '));
    QRect box = rect.adjusted(2 * s, 0, -(2 * s + (sorted ? 6 * s : 0)), 0);
    if (box.width() < 60)
        box = QRect(2, rect.top(), 15, rect.height());
    const QString text = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    p->setPen(QColor(0, 0, 0));
    p->drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                fontMetrics().elidedText(text, Qt::ElideRight, box.width()));

    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    if (sorted) {
        int u = 2 * s;
        if (rect.width() < 3 * u)
            u = 4;
        const ArrowLines a = SortArrowLines(rect.right(), rect.bottom(), u, m_bAscending);
        p->setPen(light);
        p->drawPolyline(a.light.data(), static_cast<int>(a.light.size()));
        p->setPen(dark);
        p->drawPolyline(a.dark.data(), static_cast<int>(a.dark.size()));
    }
    p->setPen(light);
    p->drawLine(rect.topRight(), rect.topLeft());
    p->drawLine(rect.topLeft(), rect.bottomLeft());
    p->setPen(dark);
    p->drawLine(rect.bottomLeft(), rect.bottomRight());
    p->drawLine(rect.bottomRight(), rect.topRight());
    p->restore();
}

CListCtrlEx::CListCtrlEx(bool sortable, QWidget* parent)
    : QTreeView(parent), m_wndHeader(new CHeaderCtrlEx(this)), m_bSortable(sortable)
{
    setHeader(m_wndHeader);
    m_wndHeader->setSectionsClickable(true);
    m_wndHeader->setStretchLastSection(false);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setStyleSheet(QStringLiteral("QScrollBar { background: rgb(200, 220, 240); }"));
    connect(m_wndHeader, &QHeaderView::sectionClicked, this, &CListCtrlEx::SortByColumn);
}

void CListCtrlEx::SortByColumn(int column)
{
    const bool ascending = column != m_wndHeader->SortColumn() || !m_wndHeader->Ascending();
    if (!m_bSortable)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_wndHeader->SetSortColumn(column, ascending);
    if (model() && model()->rowCount() > 1 && model()->columnCount() > 0)
        model()->sort(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    QApplication::restoreOverrideCursor();
}

void CListCtrlEx::ForgetSort()
{
    m_wndHeader->SetSortColumn(-1, true);
}

} // namespace vellox::ui
