// Mail records and the found-mail list.
//
// A record keeps where its message begins on the source, the header values (raw 8-bit and decoded UTF-16),
// the decoded plain text and the attachments' names and sizes; never the message itself, which is read
// again from the source when it is needed.
//
// Ownership: g_arrMailItem owns every record until the next scan clears it; a record owns its attachment
// arrays; folders, list rows and the scanner's current-record pointer only refer to records.
//
// Threads: the fields the mail list shows (addresses, subject, date, priority, whether there are
// attachments) are final before the record is handed to the front end. The body and attachment fields
// may still change on the scan thread afterwards; they are guarded by the record's m_lock, and readers on
// other threads take a Snapshot() or hold the lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vellox {

using ByteString = std::string; // raw 8-bit bytes, no charset attached

struct tagAttachment {
    ByteString strFileName;      // name as read from the message, before decoding
    std::u16string strDisplayName; // decoded name, shown to the user
    ByteString strEncodingLine;  // the part's whole "Content-Transfer-Encoding: " line; empty for X-Attachment
    uint64_t nSize = 0;          // bytes: decoded size of a base64 part, or the X-Attachment figure
};

using AttachmentArray = std::vector<tagAttachment>;

// Counts the decoded bytes of base64 data as it streams past, without keeping the data.
struct Base64Counter {
    uint64_t nBytes = 0;  // whole groups decoded so far, in bytes
    uint32_t nPending = 0; // alphabet characters of the group in progress (0..3)
    bool bEnded = false;  // a '=' ended the data
    void Feed(const char* p, size_t n);
    [[nodiscard]] uint64_t Total() const { return nBytes + (nPending >= 2 ? nPending - 1 : 0); }
};

struct tagMailItem {
    ByteString strSubject;
    ByteString strFrom;
    ByteString strTo;
    ByteString strCc;
    ByteString strBoundary;
    ByteString strDate;
    ByteString strContentType;
    ByteString strTransferEncoding;
    ByteString strBody; // guarded by m_lock while the record is current
    ByteString strPartContentType;
    ByteString strPartTransferEncoding;
    ByteString strInnerBoundary;
    std::u16string strToText;
    std::u16string strFromText;
    std::u16string strSubjectText;
    std::u16string strBodyText; // guarded by m_lock while the record is current
    uint64_t nStartSector = 0;  // sector holding the first byte of the opening "Received: " line
    uint16_t nStartOffset = 0;  // that byte's offset in its sector, 0..511
    int16_t nPriority = 0;
    bool bInTextPart = false;
    bool bBodyDecoded = false;
    bool bInAttachment = false;
    bool bInAttachmentData = false;
    uint64_t nAttachmentDataBytes = 0; // encoded bytes of the open attachment part seen so far
    Base64Counter attachmentCounter;   // decoded size of the open part, counted as its data streams past
    std::unique_ptr<AttachmentArray> pAttachments;        // shown and saved; never empty once created
    std::unique_ptr<AttachmentArray> pPendingAttachments; // found during the scan, not yet merged

    mutable std::mutex m_lock;

    // Byte offset of the record's first byte on the source.
    [[nodiscard]] uint64_t StartByte() const { return nStartSector * 512 + nStartOffset; }

    // The fields that may change after the record became visible, copied under the lock.
    struct Snapshot {
        ByteString strBody;
        std::u16string strBodyText;
        AttachmentArray attachments; // merged and pending, in order
        bool bBodyDecoded = false;
    };
    [[nodiscard]] Snapshot TakeSnapshot() const;
};

// Appends copies of the pending attachments to pAttachments and drops the pending array.
// Takes the record's lock.
void MergeAttachments(tagMailItem& item);
// Same, for a caller that already holds the lock.
void MergeAttachmentsLocked(tagMailItem& item);

// The process-wide found-mail list: every record of the current scan, in the order found.
class CMailItemList {
public:
    void Add(tagMailItem* item); // takes ownership
    void Clear();
    [[nodiscard]] size_t Size() const;
    [[nodiscard]] tagMailItem* At(size_t i) const;
    [[nodiscard]] std::vector<tagMailItem*> All() const;

private:
    mutable std::mutex m_cs; // g_csMailItem
    std::vector<std::unique_ptr<tagMailItem>> m_items;
};

extern CMailItemList g_arrMailItem;

inline void AddMailItem(tagMailItem* item)
{
    g_arrMailItem.Add(item);
}
inline void ClearMailItems()
{
    g_arrMailItem.Clear();
}

} // namespace vellox
