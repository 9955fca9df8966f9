// What a scan run and a save job tell their front end. The desktop program marshals each call to its
// user-interface thread; the command-line program prints progress; tests record the calls.
#pragma once

#include <cstdint>
#include <string>

namespace vellox {

struct tagMailItem;

class IScanHost {
public:
    virtual ~IScanHost() = default;

    // Scan run. ResetFolderTree comes before the previous run's records are deleted: the front end must
    // drop every reference to them there.
    virtual void ResetFolderTree() {}
    virtual void ScanStarted(uint64_t totalSectors) {}
    virtual void ChunkStarted(uint64_t firstSector) {}
    virtual void SetStatusText(const std::u16string& text) {}
    // A new record, final in every field the mail list shows; it stays owned by the found-mail list.
    virtual void AddMailToInbox(tagMailItem* item) {}
    // The source could not be opened; the previous run's records are left alone.
    virtual void ScanOpenFailed(const std::string& reason) {}
    virtual void ScanEnded() {}
};

} // namespace vellox
