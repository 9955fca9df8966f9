#include "scan/scanrun.h"
#include "mime/charset.h"
#include "mime/codepage.h"
#include "scan/blockscanner.h"
#include "scan/chunkreader.h"
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

    // Chunks are read ahead on a reader thread. Each chunk is scanned with a margin: the first bytes of the
    // next chunk, copied behind it and copied back afterwards, so that the scanner's changes to them (cut
    // block headers) carry over.
    CChunkReader reader(source, total, kChunkSectors, kPieceSectors, kChunkMargin, g_bStopScan);
    if (!reader.Allocated())
        sum.error = "out of memory for the chunk buffers";

    CBlockScanner scanner(&host, &g_bStopScan);
    for (uint64_t c = 0; reader.Allocated() && !g_bStopScan.load(); ++c) {
        CChunkReader::Chunk* chunk = reader.Acquire(c);
        if (!chunk)
            break;
        const uint64_t p = chunk->firstSector;
        host.ChunkStarted(p);
        g_nCurSector = p;
        const size_t bytes = static_cast<size_t>(chunk->sectors * kSectorSize);
        CChunkReader::Chunk* next = reader.Acquire(c + 1);
        const size_t margin = next ? std::min<size_t>(kChunkMargin, next->sectors * kSectorSize) : 0;
        if (margin)
            std::memcpy(chunk->data + bytes, next->data, margin);
        host.SetStatusText(BuildStatusText());
        scanner.ScanBlock(ByteView{chunk->data, bytes + margin}, bytes, p);
        if (margin)
            std::memcpy(next->data, chunk->data + bytes, margin);
        sum.sectorsRead += chunk->sectors;
        reader.Release(c);
    }
    sum.failedPieces = reader.FailedPieces();
    sum.stopped = g_bStopScan.load() != 0;

    // The last message of a source ends with the source.
    scanner.EndCurrentRecord();
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
