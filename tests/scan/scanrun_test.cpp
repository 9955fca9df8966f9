#include "mime/codepage.h"
#include "scan/scanrun.h"
#include "support.h"

#include <gtest/gtest.h>

#include <thread>

using namespace vellox;
using namespace vellox::test;

class ScanRunTest : public ::testing::Test {
protected:
    void SetUp() override { ClearMailItems(); }
};

TEST_F(ScanRunTest, ChunkLayout)
{
    struct Case {
        uint64_t sectors;
        std::vector<uint64_t> chunks;
    } cases[] = {
        {0, {}},
        {1, {0}},
        {2049, {0, 2048}},
        {2048 * 3 + 130, {0, 2048, 4096, 6144}},
    };
    for (const auto& c : cases) {
        MemorySource src(std::string(c.sectors * 512, 'q'));
        RecordingHost host;
        ScanSummary s = RunScan(src, host);
        EXPECT_EQ(host.chunks, c.chunks) << c.sectors;
        EXPECT_EQ(s.sectorsRead, c.sectors);
        EXPECT_EQ(host.calls.front(), "reset");
        EXPECT_EQ(host.calls.back(), "end");
        // The progress text is emptied at the end.
        ASSERT_FALSE(host.status.empty());
        EXPECT_TRUE(host.status.back().empty());
        // Every sector is read exactly once, in pieces of at most 128 sectors.
        std::vector<int> seen(c.sectors, 0);
        for (auto [first, n] : src.reads) {
            EXPECT_LE(n, 128u);
            for (uint64_t x = first; x < first + n && x < c.sectors; ++x)
                ++seen[x];
        }
        for (uint64_t x = 0; x < c.sectors; ++x)
            ASSERT_EQ(seen[x], 1) << "sector " << x << " of " << c.sectors;
    }
}

TEST_F(ScanRunTest, FailedPieceIsZeroFilledAndTheRestScanned)
{
    std::string image(4 * 2048 * 512, '\0');
    Plant(image, 10 * 512, "\r\n" + SimpleMessage("before"));
    Plant(image, 300 * 512 + 7, "\r\n" + SimpleMessage("inside the bad piece"));
    Plant(image, 600 * 512, "\r\n" + SimpleMessage("after"));
    MemorySource src(image);
    src.failing.insert(300);
    RecordingHost host;
    ScanSummary s = RunScan(src, host);
    EXPECT_EQ(s.failedPieces, 1u);
    auto recs = g_arrMailItem.All();
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0]->strSubject, "before");
    EXPECT_EQ(recs[1]->strSubject, "after");
}

TEST_F(ScanRunTest, StatusTextCountsRecordsAndSectors)
{
    std::string image(2048 * 512 + 4096, '\0');
    for (int i = 0; i < 3; ++i)
        Plant(image, 1000 + i * 1500, "\r\n" + SimpleMessage("m" + std::to_string(i)));
    RecordingHost host;
    ScanImage(image, &host);
    EXPECT_EQ(host.added.size(), 3u);
    bool sawThree = false;
    for (const auto& t : host.status)
        sawThree |= ToUtf8(t) == "找到 3 封邮件\r\n正在处理 0 块，总共 2056 个块";
    EXPECT_TRUE(sawThree);
}

TEST_F(ScanRunTest, OpenFailureKeepsThePreviousRecords)
{
    std::string image(4096, '\0');
    Plant(image, 0, "\r\n" + SimpleMessage("kept"));
    ScanImage(image);
    ASSERT_EQ(g_arrMailItem.Size(), 1u);
    g_strDataSource = "/nonexistent/vellox-source.img";
    RecordingHost host;
    ScanSummary s;
    ScanThreadProc(&host, &s);
    EXPECT_FALSE(s.opened);
    EXPECT_NE(s.error.find("No such file"), std::string::npos);
    EXPECT_EQ(host.calls, std::vector<std::string>{"open failed"});
    EXPECT_EQ(g_arrMailItem.Size(), 1u);
}

namespace {
// A source that blocks in its reads until released, so a stop request can arrive mid-run.
class SlowSource : public MemorySource {
public:
    using MemorySource::MemorySource;
    bool ReadSectors(void* buf, size_t bytes, uint64_t first) override
    {
        if (first >= 2048)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return MemorySource::ReadSectors(buf, bytes, first);
    }
};
} // namespace

TEST_F(ScanRunTest, StopEndsTheRunAndKeepsWhatWasFound)
{
    // The stop request arrives while the first record is being listed, as a user's would.
    class StoppingHost : public RecordingHost {
    public:
        void AddMailToInbox(tagMailItem* item) override
        {
            RecordingHost::AddMailToInbox(item);
            g_bStopScan = 1;
        }
    };
    std::string image(64 * 2048 * 512, '\0');
    Plant(image, 100, "\r\n" + SimpleMessage("early"));
    Plant(image, 40 * 2048 * 512, "\r\n" + SimpleMessage("late"));
    SlowSource src(image);
    StoppingHost host;
    g_bStopScan = 0;
    ScanSummary s = RunScan(src, host);
    EXPECT_TRUE(s.stopped);
    EXPECT_LT(s.sectorsRead, 64u * 2048);
    // The reader stops too: it never runs far ahead of the scanner.
    uint64_t lastRead = 0;
    for (auto [first, n] : src.reads)
        lastRead = std::max(lastRead, first + n);
    EXPECT_LE(lastRead, 6u * 2048);
    ASSERT_EQ(g_arrMailItem.Size(), 1u);
    EXPECT_EQ(g_arrMailItem.At(0)->strSubject, "early");
    EXPECT_EQ(g_bStopScan.load(), 0);
    EXPECT_EQ(g_bScanning.load(), 0);
    EXPECT_EQ(host.calls.back(), "end");
}
