// The scan run: reads one data source from its first sector to its last, chunk by chunk, and hands every
// chunk to the block scanner. It runs on a worker thread and reports to an IScanHost.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "source/disk.h"

namespace vellox {

class IScanHost;

// Process-wide state shared by the scan thread, the save job and the front end.
extern std::string g_strDataSource;          // source string of the last scan (set before it starts)
extern std::atomic<int> g_bStopScan;         // set to stop a scan or a save job
extern std::atomic<int> g_bScanning;         // 1 from the successful open to the end of the run
extern std::atomic<int> g_bUnsaved;          // records were found and not yet saved by a save job
extern std::atomic<uint64_t> g_nCurSector;   // first sector of the chunk in progress
extern std::atomic<uint64_t> g_nTotalSectors; // sector count of the source of this run
extern std::atomic<int> g_nMailCount;        // records made in this run

constexpr uint32_t kChunkSectors = 2048; // 1 MiB
constexpr uint32_t kPieceSectors = 128;  // 64 KiB per read

extern const char16_t kNoSubjectText[];

// "找到 N 封邮件\r\n正在处理 S 块，总共 T 个块", from the counters above.
std::u16string BuildStatusText();

struct ScanSummary {
    bool opened = false;
    std::string error;        // why the source did not open
    uint64_t sectors = 0;     // sector count of the source
    uint64_t sectorsRead = 0; // sectors handed to the scanner
    uint64_t failedPieces = 0;
    uint64_t candidates = 0;  // "Received: " lines
    uint64_t records = 0;
    bool stopped = false;
};

// The chunk loop over an open source. Clears the previous run's records first (after ResetFolderTree).
ScanSummary RunScan(ISectorSource& source, IScanHost& host);

// Opens g_strDataSource and runs the scan on it; the thread body of a scan. Returns 0.
int ScanThreadProc(IScanHost* host, ScanSummary* summary = nullptr);

} // namespace vellox
