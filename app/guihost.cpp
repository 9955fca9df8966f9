#include "app/guihost.h"
#include "app/velloxdlg.h"

#include <QMetaObject>
#include <QThread>

#include <future>

namespace vellox::ui {

namespace {
// Progress is shown at most this often; a scan at full speed reports thousands of chunks per second.
constexpr auto kProgressInterval = std::chrono::milliseconds(50);
} // namespace

GuiHost::GuiHost(CVelloxDlg* dlg) : m_dlg(dlg) {}

template <typename F> void GuiHost::Post(F f)
{
    QPointer<CVelloxDlg> dlg = m_dlg;
    QMetaObject::invokeMethod(
        this,
        [dlg, f] {
            if (dlg)
                f(dlg.data());
        },
        Qt::QueuedConnection);
}

void GuiHost::ResetFolderTree()
{
    // The scan deletes the previous records right after this returns, so the window must have dropped them.
    QPointer<CVelloxDlg> dlg = m_dlg;
    auto reset = [this, dlg] {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_pending.clear();
        }
        if (dlg)
            dlg->ResetFolderTree();
    };
    if (thread() == QThread::currentThread()) {
        reset();
        return;
    }
    // Wait for the window with a promise rather than a blocking-queued call: the hand-over is then plain
    // C++ synchronisation, which the thread checkers see.
    std::promise<void> done;
    std::future<void> wait = done.get_future();
    QMetaObject::invokeMethod(
        this,
        [reset, &done] {
            reset();
            done.set_value();
        },
        Qt::QueuedConnection);
    wait.wait();
}

void GuiHost::ScanStarted(uint64_t totalSectors)
{
    m_lastProgress = {};
    Post([totalSectors](CVelloxDlg* d) { d->OnScanStarted(totalSectors); });
}

void GuiHost::ChunkStarted(uint64_t firstSector)
{
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastProgress < kProgressInterval)
        return;
    m_lastProgress = now;
    Post([firstSector](CVelloxDlg* d) { d->SetProgressPos(firstSector); });
}

void GuiHost::SetStatusText(const std::u16string& text)
{
    QString t = QString::fromStdU16String(text);
    Post([t](CVelloxDlg* d) { d->SetProgressText(t); });
}

void GuiHost::SchedulePendingFlush()
{
    Post([this](CVelloxDlg* d) { d->AddMailToInbox(TakePending()); });
}

void GuiHost::AddMailToInbox(tagMailItem* item)
{
    bool post = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_pending.push_back(item);
        if (!m_flushPosted) {
            m_flushPosted = true;
            post = true;
        }
    }
    if (post)
        SchedulePendingFlush();
}

std::vector<tagMailItem*> GuiHost::TakePending()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_flushPosted = false;
    std::vector<tagMailItem*> out;
    out.swap(m_pending);
    return out;
}

void GuiHost::ScanOpenFailed(const std::string& reason)
{
    QString r = QString::fromStdString(reason);
    Post([r](CVelloxDlg* d) { d->OnScanEnded(false, r); });
}

void GuiHost::ScanEnded()
{
    Post([](CVelloxDlg* d) { d->OnScanEnded(true, {}); });
}

void GuiHost::SaveStarted(size_t count)
{
    Post([count](CVelloxDlg* d) { d->OnSaveStarted(count); });
}

void GuiHost::SaveProgress(size_t k, const std::u16string& status)
{
    QString s = QString::fromStdU16String(status);
    Post([k, s](CVelloxDlg* d) {
        d->SetProgressPos(k);
        d->SetProgressText(s);
    });
}

void GuiHost::SaveEnded(const SaveJobResult& result)
{
    Post([result](CVelloxDlg* d) { d->OnSaveEnded(result); });
}

} // namespace vellox::ui
