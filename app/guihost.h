// The desktop program's host: what the scan and save threads report is carried over to the main window
// on the user-interface thread. New records are handed over in batches, in the order found.
#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

#include "export/savejob.h"
#include "scan/scanhost.h"

namespace vellox::ui {

class CVelloxDlg;

class GuiHost : public QObject, public IScanHost, public ISaveHost {
    Q_OBJECT
public:
    explicit GuiHost(CVelloxDlg* dlg);

    // Scan thread.
    void ResetFolderTree() override;
    void ScanStarted(uint64_t totalSectors) override;
    void ChunkStarted(uint64_t firstSector) override;
    void SetStatusText(const std::u16string& text) override;
    void AddMailToInbox(tagMailItem* item) override;
    void ScanOpenFailed(const std::string& reason) override;
    void ScanEnded() override;

    // Save thread.
    void SaveStarted(size_t count) override;
    void SaveProgress(size_t k, const std::u16string& status) override;
    void SaveEnded(const SaveJobResult& result) override;

    // User-interface thread: takes the records that arrived and not yet shown.
    std::vector<tagMailItem*> TakePending();

private:
    template <typename F> void Post(F f);
    void SchedulePendingFlush();

    QPointer<CVelloxDlg> m_dlg;
    std::mutex m_lock;
    std::vector<tagMailItem*> m_pending;
    bool m_flushPosted = false;
    std::chrono::steady_clock::time_point m_lastProgress{};
};

} // namespace vellox::ui
