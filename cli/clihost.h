// The command-line front end's host: progress on stderr while it is a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "export/savejob.h"
#include "scan/scanhost.h"

namespace vellox {

class CliHost : public IScanHost, public ISaveHost {
public:
    explicit CliHost(bool showProgress) : m_progress(showProgress) {}

    void ScanStarted(uint64_t totalSectors) override;
    void ChunkStarted(uint64_t firstSector) override;
    void ScanOpenFailed(const std::string& reason) override { m_openError = reason; }
    void ScanEnded() override;

    void SaveStarted(size_t count) override;
    void SaveProgress(size_t k, const std::u16string& status) override;
    void SaveEnded(const SaveJobResult& result) override;

    [[nodiscard]] const std::string& OpenError() const { return m_openError; }

private:
    void Line(const std::string& text);

    bool m_progress;
    uint64_t m_total = 0;
    size_t m_saveTotal = 0;
    std::string m_openError;
    std::chrono::steady_clock::time_point m_start{};
    std::chrono::steady_clock::time_point m_lastShown{};
    bool m_lineOpen = false;
};

} // namespace vellox
