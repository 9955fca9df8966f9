// What the user gets when things go wrong: failing, short and vanishing sources, a full output disk, an
// output directory that cannot be made, hostile message content, and a source that must never be written.
#include "export/reread.h"
#include "export/savejob.h"
#include "mime/charset.h"
#include "source/disk.h"
#include "support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace vellox;
using namespace vellox::test;

namespace {

std::string TempPath(const std::string& name)
{
    return ::testing::TempDir() + "vellox_faults_" + name + "_" + std::to_string(::getpid());
}



// Reads fail from the n-th read on, as when a USB disk is pulled out.
class VanishingSource : public MemorySource {
public:
    VanishingSource(std::string bytes, int okReads) : MemorySource(std::move(bytes)), m_left(okReads) {}
    bool ReadSectors(void* buf, size_t bytes, uint64_t first) override
    {
        if (m_left-- <= 0)
            return false;
        return MemorySource::ReadSectors(buf, bytes, first);
    }

private:
    std::atomic<int> m_left;
};

// Reads deliver only half of what was asked and say so.
class ShortSource : public MemorySource {
public:
    using MemorySource::MemorySource;
    bool ReadSectors(void* buf, size_t bytes, uint64_t first) override
    {
        if (first >= 2048) {
            MemorySource::ReadSectors(buf, bytes / 2, first);
            return false;
        }
        return MemorySource::ReadSectors(buf, bytes, first);
    }
};

std::string ImageWithMessages(int count, size_t spacing)
{
    std::string image;
    for (int i = 0; i < count; ++i) {
        std::string block = "\r\n" + SimpleMessage("message " + std::to_string(i), "body " + std::to_string(i) + "\r\n");
        block.resize(spacing, '\0');
        image += block;
    }
    return image;
}

} // namespace

class FaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitEncodeTypes();
        ClearMailItems();
    }
};

TEST_F(FaultsTest, SourceVanishingMidScanFinishesWithWhatWasRead)
{
    // 8 chunks of 1 MiB, one message at the start of each; reads stop working after 3 chunks (48 pieces).
    VanishingSource src(ImageWithMessages(8, 2048 * 512), 48);
    RecordingHost host;
    ScanSummary s = RunScan(src, host);
    EXPECT_EQ(s.sectorsRead, 8u * 2048);
    EXPECT_EQ(s.failedPieces, 5u * 16);
    EXPECT_EQ(g_arrMailItem.Size(), 3u);
    EXPECT_EQ(host.calls.back(), "end");
}

TEST_F(FaultsTest, ShortReadsAreZeroFilled)
{
    ShortSource src(ImageWithMessages(4, 2048 * 512));
    RecordingHost host;
    ScanSummary s = RunScan(src, host);
    EXPECT_EQ(s.failedPieces, 3u * 16);
    // Only the first chunk was readable; the half-filled pieces were cleared, not half scanned.
    EXPECT_EQ(g_arrMailItem.Size(), 1u);
}

TEST_F(FaultsTest, FullOutputDiskNeverLeavesAPartialFileCounted)
{
    const std::string image = ImageWithMessages(6, 4096);
    MemorySource src(image);
    RecordingHost host;
    RunScan(src, host);
    auto recs = g_arrMailItem.All();
    ASSERT_EQ(recs.size(), 6u);
    const size_t messageSize = SimpleMessage("message 0", "body 0\r\n").size();

    // A file-size limit stands in for a disk that fills up: every write past it fails with EFBIG.
    const std::string dir = TempPath("full");
    std::system(("rm -rf '" + dir + "'").c_str());
    auto old = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = messageSize / 2;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    std::atomic<int> stop{0};
    SaveJobResult r = RunSaveJob(recs, dir, kSaveEml, &src, nullptr, &stop);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old);

    EXPECT_TRUE(r.directoryReady);
    EXPECT_EQ(r.written, 0u);
    EXPECT_EQ(r.failures.size(), 6u);
    for (const auto& f : r.failures)
        EXPECT_NE(f.find("File too large"), std::string::npos) << f;
    // No partial file is left behind.
    EXPECT_TRUE(ListDir(dir).empty());
}

TEST_F(FaultsTest, OutputDirectoryThatCannotBeMade)
{
    tagMailItem m;
    std::vector<tagMailItem*> recs{&m};
    // A regular file where the directory should go, and a path under a file.
    const std::string file = TempPath("file");
    std::ofstream(file) << "x";
    for (const std::string& dir : {file, file + "/sub"}) {
        SaveJobResult r = RunSaveJob(recs, dir, kSaveTxt, nullptr, nullptr, nullptr);
        EXPECT_FALSE(r.directoryReady) << dir;
        EXPECT_FALSE(r.error.empty()) << dir;
        EXPECT_EQ(r.written, 0u);
    }
    if (::geteuid() != 0) {
        const std::string ro = TempPath("ro");
        ::mkdir(ro.c_str(), 0555);
        SaveJobResult r = RunSaveJob(recs, ro + "/out", kSaveTxt, nullptr, nullptr, nullptr);
        EXPECT_FALSE(r.directoryReady);
    }
}

TEST_F(FaultsTest, HostileMessagesStayInsideTheOutputDirectory)
{
    std::string image;
    auto add = [&](const std::string& msg) {
        std::string block = "\r\n" + msg;
        block.resize((block.size() / 4096 + 1) * 4096, '\0');
        image += block;
    };
    add(SimpleMessage("../../etc/passwd", "a\r\n"));
    add(SimpleMessage("/absolute/path", "b\r\n"));
    add(SimpleMessage("ctl\x01\x02\x1b[31m", "c\r\n"));
    add(SimpleMessage(std::string(10000, 'L'), "d\r\n"));
    add(SimpleMessage("..", "e\r\n"));
    add(SimpleMessage("forged sizes", "f\r\n",
                      "X-Attachment: huge.bin, 99999999999999999999\r\nX-Attachment: neg.bin, -5\r\n"));
    std::string nested = "Content-Type: multipart/mixed; boundary=\"n0\"\r\n";
    std::string body;
    for (int i = 0; i < 200; ++i)
        body += "--n" + std::to_string(i) + "\r\nContent-Type: multipart/mixed; boundary=\"n" + std::to_string(i + 1) +
                "\"\r\n\r\n";
    add(SimpleMessage("deeply nested", body + "deep text\r\n", nested));
    add(SimpleMessage("html", "<html><script>alert(1)</script><iframe src=\"http://x\"></iframe>"
                              "<img src=\"http://example.com/x.png\"></html>\r\n",
                      "Content-Type: text/html\r\n"));
    MemorySource src(image);
    RecordingHost host;
    RunScan(src, host);
    auto recs = g_arrMailItem.All();
    ASSERT_EQ(recs.size(), 8u);

    const std::string parent = TempPath("hostile");
    std::system(("rm -rf '" + parent + "'").c_str());
    ::mkdir(parent.c_str(), 0755);
    const std::string dir = parent + "/out";
    SaveJobResult r = RunSaveJob(recs, dir, kSaveEml, &src, nullptr, nullptr);
    EXPECT_EQ(r.written, 8u);
    EXPECT_TRUE(r.failures.empty());
    EXPECT_EQ(ListDir(parent), std::vector<std::string>{"out"});
    auto files = ListDir(dir);
    EXPECT_EQ(files.size(), 8u);
    for (const auto& f : files) {
        EXPECT_LE(f.size(), 255u);
        EXPECT_EQ(f.find('/'), std::string::npos);
        for (char c : f)
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << f;
        EXPECT_NE(f, "..");
    }
}

TEST_F(FaultsTest, TheSourceIsNeverWritten)
{
    const std::string path = TempPath("readonly.img");
    {
        std::string image = ImageWithMessages(5, 8192);
        std::ofstream(path, std::ios::binary) << image;
    }
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const std::string bytesBefore = ReadFile(path);

    // Watch every descriptor of this process while the scan and the save run.
    std::atomic<bool> running{true};
    std::atomic<int> writeDescriptors{0}, seen{0};
    std::thread watcher([&] {
        while (running) {
            for (const auto& fd : ListDir("/proc/self/fd")) {
                char target[4096];
                const std::string link = "/proc/self/fd/" + fd;
                ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
                if (n <= 0)
                    continue;
                target[n] = 0;
                if (std::string(target) != path)
                    continue;
                std::ifstream info("/proc/self/fdinfo/" + fd);
                std::string key;
                unsigned long flags = 0;
                while (info >> key)
                    if (key == "flags:") {
                        info >> std::oct >> flags;
                        break;
                    }
                ++seen;
                if ((flags & O_ACCMODE) != O_RDONLY)
                    ++writeDescriptors;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    g_strDataSource = path;
    RecordingHost host;
    ScanSummary s;
    ScanThreadProc(&host, &s);
    const std::string out = TempPath("readonly_out");
    std::system(("rm -rf '" + out + "'").c_str());
    SaveJobResult r = RunSaveJob(g_arrMailItem.All(), out, kSaveEml, nullptr, nullptr, nullptr);
    running = false;
    watcher.join();

    EXPECT_EQ(s.records, 5u);
    EXPECT_EQ(r.written, 5u);
    EXPECT_EQ(writeDescriptors.load(), 0);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(ReadFile(path), bytesBefore);
}
