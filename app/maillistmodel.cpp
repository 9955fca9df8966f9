#include "app/maillistmodel.h"
#include "app/strings.h"
#include "controls/drawing.h"

#include <algorithm>
#include "mime/charset.h"
#include "scan/mailitem.h"

namespace vellox::ui {

int MailListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int MailListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

tagMailItem* MailListModel::RecordAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return nullptr;
    return m_rows[static_cast<size_t>(row)];
}

int MailListModel::RowOf(const tagMailItem* item) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i] == item)
            return static_cast<int>(i);
    return -1;
}

QString MailListModel::ColumnText(const tagMailItem& m, int column)
{
    switch (column) {
    case kMarks: {
        QString s = (m.nPriority == 1 || m.nPriority == 2) ? QStringLiteral("!") : QStringLiteral(" ");
        bool hasAttachments;
        {
            std::lock_guard<std::mutex> lock(m.m_lock);
            hasAttachments = m.pAttachments != nullptr;
        }
        if (hasAttachments)
            s += QLatin1Char('&');
        return s;
    }
    case kFrom:
        return QString::fromStdU16String(m.strFromText);
    case kDate:
        return QString::fromStdU16String(AnsiToWide(m.strDate));
    case kSubject:
        return QString::fromStdU16String(m.strSubjectText);
    }
    return {};
}

QVariant MailListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const tagMailItem* m = RecordAt(index.row());
    return m ? ColumnText(*m, index.column()) : QVariant();
}

QVariant MailListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case kMarks:
        return QStringLiteral("!&");
    case kFrom:
        return Tr(kIds158From);
    case kDate:
        return Tr(kIds162Date);
    case kSubject:
        return Tr(kIds159Subject);
    }
    return {};
}

void MailListModel::SetRecords(std::vector<tagMailItem*> oldestFirst)
{
    beginResetModel();
    m_rows.assign(oldestFirst.rbegin(), oldestFirst.rend());
    endResetModel();
}

void MailListModel::AddNewest(const std::vector<tagMailItem*>& oldestFirst)
{
    if (oldestFirst.empty())
        return;
    beginInsertRows(QModelIndex(), 0, static_cast<int>(oldestFirst.size()) - 1);
    for (tagMailItem* m : oldestFirst)
        m_rows.push_front(m);
    endInsertRows();
}

void MailListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kColumnCount || m_rows.size() < 2)
        return;
    std::vector<std::pair<QString, tagMailItem*>> keyed;
    keyed.reserve(m_rows.size());
    for (tagMailItem* m : m_rows)
        keyed.emplace_back(ColumnText(*m, column).left(255), m);
    const bool ascending = order == Qt::AscendingOrder;
    std::sort(keyed.begin(), keyed.end(),
              [ascending](const auto& a, const auto& b) { return SortsBefore(a.first, b.first, ascending); });
    beginResetModel();
    m_rows.clear();
    for (const auto& k : keyed)
        m_rows.push_back(k.second);
    endResetModel();
}

void MailListModel::Clear()
{
    SetRecords({});
}

} // namespace vellox::ui
