#include "scan/mailitem.h"

#include <cstring>

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
    // '=' ends the data; count the alphabet characters before it in one pass.
    if (const void* eq = std::memchr(p, '=', n)) {
        n = static_cast<size_t>(static_cast<const char*>(eq) - p);
        bEnded = true;
    }
    uint64_t valid = 0;
    for (size_t i = 0; i < n; ++i)
        valid += kB64.in[static_cast<unsigned char>(p[i])];
    valid += nPending;
    nBytes += valid / 4 * 3;
    nPending = static_cast<uint32_t>(valid % 4);
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
