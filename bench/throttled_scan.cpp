// A scan of a source that delivers 500 MB/s (a test-only source that sleeps) against reading it alone.
// With reading and scanning overlapped the scan is I/O-bound: its time stays within 1.1 x the read time.
//
//   throttled_scan [SIZE_MIB] [MB_PER_S]
#include "mime/charset.h"
#include "scan/mailitem.h"
#include "scan/scanhost.h"
#include "scan/scanrun.h"
#include "source/disk.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>

using namespace vellox;
using Clock = std::chrono::steady_clock;

namespace {

class ThrottledSource : public ISectorSource {
public:
    ThrottledSource(const std::string& bytes, double bytesPerSecond) : m_bytes(bytes), m_rate(bytesPerSecond) {}
    uint64_t GetSectorCount() const override { return m_bytes.size() / 512; }
    bool ReadSectors(void* buf, size_t bytes, uint64_t first) override
    {
        if (m_delivered == 0)
            m_start = Clock::now();
        const uint64_t off = first * 512;
        if (off + bytes > m_bytes.size())
            return false;
        std::memcpy(buf, m_bytes.data() + off, bytes);
        m_delivered += bytes;
        // Deliver no faster than the rate: sleep until this read's share of time has passed.
        const auto due = m_start + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(static_cast<double>(m_delivered) / m_rate));
        std::this_thread::sleep_until(due);
        return true;
    }

private:
    const std::string& m_bytes;
    double m_rate;
    uint64_t m_delivered = 0;
    Clock::time_point m_start{};
};

std::string MixedImage(size_t bytes)
{
    std::mt19937 rng(11);
    const std::string mail =
        "\r\nReceived: from mx.example.net by mail.example.com; Tue, 15 Nov 2009 08:12:31 +0800\r\n"
        "From: Alice <alice@example.org>\r\nTo: bob@example.com\r\nSubject: throttled\r\n"
        "Date: Tue, 15 Nov 2009 08:12:31 +0800\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n"
        "Some body text.\r\n";
    std::string out;
    out.reserve(bytes);
    while (out.size() < bytes) {
        const unsigned kind = rng() % 100;
        if (kind < 10) {
            for (int i = 0; i < 8; ++i)
                out += mail;
        } else if (kind < 55) {
            out.append(65536, '\0');
        } else {
            for (int i = 0; i < 16384; ++i)
                out.push_back(static_cast<char>(rng()));
        }
    }
    out.resize(bytes / 512 * 512);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    const size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    const double rate = (argc > 2 ? std::atof(argv[2]) : 500.0) * 1e6;
    InitEncodeTypes();
    const std::string image = MixedImage(mib << 20);

    ThrottledSource readOnly(image, rate);
    std::string buf(65536, '\0');
    auto t0 = Clock::now();
    for (uint64_t s = 0; s < readOnly.GetSectorCount(); s += 128)
        (void)readOnly.ReadSectors(buf.data(), std::min<uint64_t>(128, readOnly.GetSectorCount() - s) * 512, s);
    const double readSeconds = std::chrono::duration<double>(Clock::now() - t0).count();

    ThrottledSource scanned(image, rate);
    IScanHost host;
    t0 = Clock::now();
    ScanSummary sum = RunScan(scanned, host);
    const double scanSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
    ClearMailItems();

    std::printf("source at %.0f MB/s, %zu MiB: read alone %.3f s, scan %.3f s (%llu records), scan/read %.3f\n",
                rate / 1e6, mib, readSeconds, scanSeconds, static_cast<unsigned long long>(sum.records),
                scanSeconds / readSeconds);
    return 0;
}
