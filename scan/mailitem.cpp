#include "scan/mailitem.h"

namespace vellox {

CMailItemList g_arrMailItem;

namespace {
// Base64 alphabet membership; '=' ends the data.
struct B64Table {
    bool in[256]{};
    constexpr B64Table()
    {
        for (int c = 'A'; c <= 'Z'; ++c)
            in[c] = true;
        for (int c = 'a'; c <= 'z'; ++c)
            in[c] = true;
        for (int c = '0'; c <= '9'; ++c)
            in[c] = true;
        in[static_cast<int>('+')] = true;
        in[static_cast<int>('/')] = true;
    }
};
constexpr B64Table kB64;
} // namespace

void Base64Counter::Feed(const char* p, size_t n)
{
    if (bEnded)
        return;
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (c == '=') {
            bEnded = true;
            return;
        }
        if (!kB64.in[c])
            continue;
        if (++nPending == 4) {
            nBytes += 3;
            nPending = 0;
        }
    }
}

tagMailItem::Snapshot tagMailItem::TakeSnapshot() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    Snapshot s;
    s.strBody = strBody;
    s.strBodyText = strBodyText;
    s.bBodyDecoded = bBodyDecoded;
    if (pAttachments)
        s.attachments = *pAttachments;
    if (pPendingAttachments)
        s.attachments.insert(s.attachments.end(), pPendingAttachments->begin(), pPendingAttachments->end());
    return s;
}

void MergeAttachmentsLocked(tagMailItem& item)
{
    if (!item.pPendingAttachments)
        return;
    if (!item.pPendingAttachments->empty()) {
        if (!item.pAttachments)
            item.pAttachments = std::make_unique<AttachmentArray>();
        item.pAttachments->insert(item.pAttachments->end(), item.pPendingAttachments->begin(),
                                  item.pPendingAttachments->end());
    }
    item.pPendingAttachments.reset();
}

void MergeAttachments(tagMailItem& item)
{
    std::lock_guard<std::mutex> lock(item.m_lock);
    MergeAttachmentsLocked(item);
}

void CMailItemList::Add(tagMailItem* item)
{
    std::lock_guard<std::mutex> lock(m_cs);
    m_items.emplace_back(item);
}

void CMailItemList::Clear()
{
    std::lock_guard<std::mutex> lock(m_cs);
    m_items.clear();
}

size_t CMailItemList::Size() const
{
    std::lock_guard<std::mutex> lock(m_cs);
    return m_items.size();
}

tagMailItem* CMailItemList::At(size_t i) const
{
    std::lock_guard<std::mutex> lock(m_cs);
    return i < m_items.size() ? m_items[i].get() : nullptr;
}

std::vector<tagMailItem*> CMailItemList::All() const
{
    std::lock_guard<std::mutex> lock(m_cs);
    std::vector<tagMailItem*> v;
    v.reserve(m_items.size());
    for (const auto& p : m_items)
        v.push_back(p.get());
    return v;
}

} // namespace vellox
