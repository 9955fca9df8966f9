#include "cli/clihost.h"
#include "scan/scanrun.h"

#include <cstdio>

namespace vellox {

namespace {
constexpr auto kRefresh = std::chrono::milliseconds(200);
}

void CliHost::Line(const std::string& text)
{
    std::fprintf(stderr, "\r\033[K%s", text.c_str());
    std::fflush(stderr);
    m_lineOpen = true;
}

void CliHost::ScanStarted(uint64_t totalSectors)
{
    m_total = totalSectors;
    m_start = std::chrono::steady_clock::now();
    m_lastShown = m_start - kRefresh;
}

void CliHost::ChunkStarted(uint64_t firstSector)
{
    if (!m_progress)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastShown < kRefresh)
        return;
    m_lastShown = now;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const double mb = static_cast<double>(firstSector) * 512.0 / 1e6;
    char buf[160];
    std::snprintf(buf, sizeof buf, "%5.1f%%  sector %llu of %llu  %d messages  %.1f MB/s",
                  m_total ? 100.0 * static_cast<double>(firstSector) / static_cast<double>(m_total) : 100.0,
                  static_cast<unsigned long long>(firstSector), static_cast<unsigned long long>(m_total),
                  g_nMailCount.load(), seconds > 0 ? mb / seconds : 0.0);
    Line(buf);
}

void CliHost::ScanEnded()
{
    if (m_progress && m_lineOpen) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        m_lineOpen = false;
    }
}

void CliHost::SaveStarted(size_t count)
{
    m_saveTotal = count;
    m_lastShown = std::chrono::steady_clock::now() - kRefresh;
}

void CliHost::SaveProgress(size_t k, const std::u16string&)
{
    if (!m_progress)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastShown < kRefresh && k != m_saveTotal)
        return;
    m_lastShown = now;
    Line("saving " + std::to_string(k) + " of " + std::to_string(m_saveTotal));
}

void CliHost::SaveEnded(const SaveJobResult&)
{
    ScanEnded();
}

} // namespace vellox
