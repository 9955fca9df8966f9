#include "app/maillistmodel.h"
#include "app/strings.h"
#include "mime/charset.h"
#include "scan/mailitem.h"

namespace vellox::ui {

int MailListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

int MailListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

tagMailItem* MailListModel::RecordAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_items.size()))
        return nullptr;
    return m_items[m_items.size() - 1 - static_cast<size_t>(row)];
}

int MailListModel::RowOf(const tagMailItem* item) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i] == item)
            return static_cast<int>(m_items.size() - 1 - i);
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
    m_items = std::move(oldestFirst);
    endResetModel();
}

void MailListModel::AddNewest(const std::vector<tagMailItem*>& oldestFirst)
{
    if (oldestFirst.empty())
        return;
    beginInsertRows(QModelIndex(), 0, static_cast<int>(oldestFirst.size()) - 1);
    m_items.insert(m_items.end(), oldestFirst.begin(), oldestFirst.end());
    endInsertRows();
}

void MailListModel::Clear()
{
    SetRecords({});
}

} // namespace vellox::ui
