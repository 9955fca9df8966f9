#include "scan/scanrun.h"
#include "mime/charset.h"
#include "mime/codepage.h"
#include "mime/transfer.h"
#include "scan/blockscanner.h"
#include "scan/mailitem.h"
#include "scan/scanhost.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace vellox {

std::string g_strDataSource;
std::atomic<int> g_bStopScan{0};
std::atomic<int> g_bScanning{0};
std::atomic<int> g_bUnsaved{0};
std::atomic<uint64_t> g_nCurSector{0};
std::atomic<uint64_t> g_nTotalSectors{0};
std::atomic<int> g_nMailCount{0};

const char16_t kNoSubjectText[] = u"（无主题）";

std::u16string BuildStatusText()
{
    const std::string text = "找到 " + std::to_string(g_nMailCount.load()) + " 封邮件\r\n正在处理 " +
                             std::to_string(g_nCurSector.load()) + " 块，总共 " +
                             std::to_string(g_nTotalSectors.load()) + " 个块";
    return FromUtf8(text);
}

ScanSummary RunScan(ISectorSource& source, IScanHost& host)
{
    ScanSummary sum;
    sum.opened = true;
    InitEncodeTypes();

    host.ResetFolderTree();
    ClearMailItems();
    const uint64_t total = source.GetSectorCount();
    sum.sectors = total;
    g_bUnsaved = 0;
    g_bScanning = 1;
    g_nCurSector = 0;
    g_nTotalSectors = total;
    g_nMailCount = 0;
    g_pCurMail = nullptr;
    host.ScanStarted(total);

    constexpr size_t kChunkBytes = size_t{kChunkSectors} * kSectorSize;
    constexpr uint64_t kMarginSectors = kChunkMargin / kSectorSize;
    // One buffer for the whole run: a chunk and the margin of the sectors that follow it.
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kChunkBytes + kChunkMargin]());
    if (!buffer)
        sum.error = "out of memory for the chunk buffer";

    CBlockScanner scanner(&host, &g_bStopScan);
    uint64_t p = 0;
    uint64_t carried = 0; // sectors at the buffer's front that the previous chunk already read (and may have changed)
    while (buffer && p < total && !g_bStopScan.load()) {
        host.ChunkStarted(p);
        g_nCurSector = p;
        const uint64_t m = std::min<uint64_t>(kChunkSectors, total - p);
        const uint64_t want = std::min<uint64_t>(m + kMarginSectors, total - p);
        for (uint64_t s = carried; s < want && !g_bStopScan.load(); s += kPieceSectors) {
            const uint64_t n = std::min<uint64_t>(kPieceSectors, want - s);
            uint8_t* at = buffer.get() + s * kSectorSize;
            if (!source.ReadSectors(at, n * kSectorSize, p + s)) {
                std::memset(at, 0, n * kSectorSize);
                ++sum.failedPieces;
            }
        }
        host.SetStatusText(BuildStatusText());
        scanner.ScanBlock(ByteView{buffer.get(), static_cast<size_t>(want * kSectorSize)},
                          static_cast<size_t>(m * kSectorSize), p);
        sum.sectorsRead += m;
        // The margin becomes the front of the next chunk, with whatever the scanner changed in it.
        carried = want - m;
        if (carried)
            std::memmove(buffer.get(), buffer.get() + m * kSectorSize, carried * kSectorSize);
        p += m;
    }
    sum.stopped = g_bStopScan.load() != 0;

    if (tagMailItem* cur = g_pCurMail) {
        // The last message of a source ends with the source: its text and open attachment are complete
        // as far as they go.
        std::lock_guard<std::mutex> lock(cur->m_lock);
        if (cur->bInTextPart && !cur->bBodyDecoded)
            DecodeBody(*cur);
        if (cur->bInAttachment && cur->pPendingAttachments && !cur->pPendingAttachments->empty()) {
            tagAttachment& a = cur->pPendingAttachments->back();
            if (a.strEncodingLine.find("base64") != std::string::npos ||
                AsciiLower(a.strEncodingLine).find("base64") != std::string::npos)
                a.nSize = cur->attachmentCounter.Total();
        }
        MergeAttachmentsLocked(*cur);
    }
    sum.candidates = scanner.Candidates();
    sum.records = scanner.RecordsMade();
    g_nCurSector = 0;
    g_nTotalSectors = 0;
    g_bScanning = 0;
    g_bStopScan = 0;
    g_pCurMail = nullptr;
    host.SetStatusText(u"");
    host.ScanEnded();
    return sum;
}

int ScanThreadProc(IScanHost* host, ScanSummary* summary)
{
    IScanHost fallback;
    IScanHost& h = host ? *host : fallback;
    CDisk disk;
    if (!disk.Open(g_strDataSource)) {
        g_bStopScan = 0;
        h.ScanOpenFailed(disk.LastError());
        if (summary) {
            *summary = ScanSummary();
            summary->error = disk.LastError();
        }
        return 0;
    }
    ScanSummary s = RunScan(disk, h);
    if (summary)
        *summary = s;
    return 0;
}

} // namespace vellox
