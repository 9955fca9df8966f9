// The block scanner: walks raw source bytes chunk by chunk, finds the lines of Internet messages by their
// content, and turns them into mail records.
//
// A "Received: " line opens a candidate; the header lines after it go to the header recogniser, which
// makes a record once From, To and Date were seen; the lines after that go to the body trackers.
// All-zero sectors are passed over 512 bytes at a time, and the 16-byte block headers of .dbx files are
// cut out ahead of the lines that run across them.
//
// The header state and the walk position carry over from one chunk to the next, so a message whose header
// straddles a chunk boundary is still found. Each chunk is handed over with a margin of the bytes that
// follow it, so that lines starting near its end can be read whole.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "scan/lines.h"
#include "scan/mailitem.h"

namespace vellox {

class IScanHost;

struct tagMailHeader {
    ByteString subject;
    ByteString from;
    ByteString to;
    ByteString cc;
    ByteString date;
    ByteString priority;
    ByteString boundary;
    ByteString contentType;
    ByteString transferEncoding;
    ByteString innerBoundary;
    uint64_t nStartSector = 0;
    uint16_t nStartOffset = 0;
    bool bInHeader = false;
    AttachmentArray attachments;

    void Reset() { *this = tagMailHeader(); }
    [[nodiscard]] bool HasAddressAndDate() const { return !from.empty() && !to.empty() && !date.empty(); }
};

// Bytes of the following data handed over with each chunk (lines starting in a chunk are read whole
// into it, up to this length).
constexpr size_t kChunkMargin = 64 * 1024;
// A header block may reach this many sectors past its first sector. Signature headers and long recipient
// lists make real header blocks of well over 4 KiB; a candidate that runs longer than 32 KiB is dropped.
constexpr uint64_t kMaxHeaderSectors = 64;
// The plain-text part stops collecting past this size (bytes).
constexpr size_t kMaxTextPart = 262144;

class CBlockScanner {
public:
    // host may be null (records are then only added to the found-mail list). stop is polled at every step.
    CBlockScanner(IScanHost* host, const std::atomic<int>* stop);

    // Scans one chunk. `chunk` covers the chunk's bytes followed by up to kChunkMargin bytes of what comes
    // after it on the source; lines are started only in the first pageLen bytes. The chunk's bytes may be
    // changed (block headers cut out); the margin's changes must be kept by the caller for the next chunk,
    // which begins where this one's pageLen ends.
    void ScanBlock(ByteView chunk, size_t pageLen, uint64_t firstSector);

    // Whether a message may also begin at a sector start or right behind a .dbx block header (no line end
    // before it). On by default; the benchmark measures what it costs.
    void SetExtraLineStarts(bool on) { m_extraLineStarts = on; }

    // "Received: " lines seen so far.
    [[nodiscard]] uint64_t Candidates() const { return m_candidates; }
    [[nodiscard]] uint64_t RecordsMade() const { return m_records; }

    tagMailHeader& Header() { return m_header; }

    // The current record stops collecting (a new message begins, or the source ends): its text is decoded
    // if still open, an open attachment is sized from what streamed past, pending attachments are merged.
    void EndCurrentRecord();

    // Header recognition and record assembly.
    void ParseHeaderLine(ByteView& v, size_t line, long& skip);
    tagMailItem* BuildMailItem();
    // Body and part tracking, on the current record (g_pCurMail).
    void TrackTextPart(ByteView& v, size_t line, long& skip);
    void TrackAttachmentPart(ByteView& v, size_t line, long& skip);

private:
    void NewCandidate(size_t q, uint64_t firstSector);
    size_t HandleLine(ByteView& v, size_t q, uint64_t firstSector);
    void MakeRecord();
    void OpenAttachment(tagMailItem& item, const ByteView& v, size_t boundaryLine);
    void EndAttachment(tagMailItem& item);

    IScanHost* m_host;
    const std::atomic<int>* m_stop;
    tagMailHeader m_header;
    size_t m_carry = 0; // where the walk resumes in the next chunk
    bool m_extraLineStarts = true;
    uint64_t m_candidates = 0;
    uint64_t m_records = 0;
    std::vector<ByteString> m_lineArray; // reused by ReadAttachmentHeader
};

// The record that collects body lines, or none. Scan thread only.
extern tagMailItem* g_pCurMail;

} // namespace vellox
