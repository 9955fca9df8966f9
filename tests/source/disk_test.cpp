#include "source/disk.h"
#include "source/sourcelist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellox;

namespace {

std::string TempFile(const std::string& name, const std::string& bytes)
{
    std::string path = ::testing::TempDir() + "vellox_disk_" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

TEST(DiskTest, RefusedSourceStrings)
{
    struct Case {
        const char* source;
        bool refused;
    } cases[] = {{"", true}, {"ab", true}, {"C:", false}, {"HDx", true}, {"hd9999", false}};
    for (const auto& c : cases) {
        std::string error;
        const std::string path = CDisk::ResolvePath(c.source, &error);
        if (c.refused)
            EXPECT_TRUE(path.empty()) << c.source;
        else
            EXPECT_FALSE(path.empty() && error.empty()) << c.source;
    }
    EXPECT_EQ(CDisk::ResolvePath("sdb1"), "/dev/sdb1");
    EXPECT_EQ(CDisk::ResolvePath("./x.img"), "./x.img");
    // Five characters beginning with HD are a device name, not a disk number.
    EXPECT_EQ(CDisk::ResolvePath("HD123"), "/dev/HD123");
}

TEST(DiskTest, FileOf1000BytesHasOneSectorAndReadsBound)
{
    std::string bytes(1000, 'x');
    bytes[0] = 'A';
    bytes[512] = 'B';
    const std::string path = TempFile("1000", bytes);
    CDisk d;
    ASSERT_TRUE(d.Open(path)) << d.LastError();
    EXPECT_EQ(d.GetSectorCount(), 1u);
    char buf[512];
    ASSERT_TRUE(d.ReadSectors(buf, 512, 0));
    EXPECT_EQ(buf[0], 'A');
    // Sector 1 is only a partial sector: the short read is a failure.
    EXPECT_FALSE(d.ReadSectors(buf, 512, 1));
    // Beyond the sector count nothing is read.
    EXPECT_FALSE(d.ReadSectors(buf, 512, 2));
    d.Close();
    EXPECT_EQ(d.GetSectorCount(), 0u);
    EXPECT_FALSE(d.ReadSectors(buf, 512, 0));
}

TEST(DiskTest, ReadOnlyFileOpensAndIsNeverOpenedForWriting)
{
    const std::string path = TempFile("ro", std::string(4096, 'r'));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    CDisk d;
    ASSERT_TRUE(d.Open(path)) << d.LastError();
    EXPECT_EQ(d.GetSectorCount(), 8u);
    // The descriptor's access mode is read-only.
    bool checked = false;
    for (int fd = 3; fd < 1024; ++fd) {
        char link[64], target[4096];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        ssize_t n = ::readlink(link, target, sizeof target - 1);
        if (n <= 0)
            continue;
        target[n] = 0;
        if (std::string(target) == path) {
            EXPECT_EQ(::fcntl(fd, F_GETFL) & O_ACCMODE, O_RDONLY);
            checked = true;
        }
    }
    EXPECT_TRUE(checked);
}

TEST(DiskTest, OpenFailuresGiveAReason)
{
    CDisk d;
    EXPECT_FALSE(d.Open("/nonexistent/vellox.img"));
    EXPECT_NE(d.LastError().find("No such file"), std::string::npos) << d.LastError();
    EXPECT_FALSE(d.Open(::testing::TempDir()));
    EXPECT_NE(d.LastError().find("directory"), std::string::npos) << d.LastError();
    EXPECT_FALSE(d.IsOpen());
}

TEST(DiskTest, ReopeningClosesTheFirstSource)
{
    const std::string a = TempFile("a", std::string(2048, 'a'));
    const std::string b = TempFile("b", std::string(1024, 'b'));
    CDisk d;
    ASSERT_TRUE(d.Open(a));
    ASSERT_TRUE(d.Open(b));
    EXPECT_EQ(d.GetSectorCount(), 2u);
    char buf[512];
    ASSERT_TRUE(d.ReadSectors(buf, 512, 1));
    EXPECT_EQ(buf[0], 'b');
}

TEST(DiskTest, EmptyFileOpensWithZeroSectors)
{
    const std::string path = TempFile("empty", "");
    CDisk d;
    ASSERT_TRUE(d.Open(path));
    EXPECT_EQ(d.GetSectorCount(), 0u);
}

TEST(DiskTest, BlockDeviceWhereAvailable)
{
    // A loop device needs root and a free loop node; skip cleanly otherwise.
    if (::geteuid() != 0 || ::access("/dev/loop-control", W_OK) != 0)
        GTEST_SKIP() << "no loop devices here";
    const std::string path = TempFile("loop", std::string(64 * 1024, 'L'));
    FILE* p = ::popen(("losetup --find --show --read-only " + path + " 2>/dev/null").c_str(), "r");
    if (!p)
        GTEST_SKIP() << "losetup unavailable";
    char dev[256] = {};
    bool got = std::fgets(dev, sizeof dev, p) != nullptr;
    ::pclose(p);
    if (!got)
        GTEST_SKIP() << "losetup could not attach a device";
    std::string device = dev;
    device.erase(device.find_last_not_of("\n") + 1);
    {
        CDisk d;
        ASSERT_TRUE(d.Open(device)) << d.LastError();
        EXPECT_EQ(d.GetSectorCount(), 128u);
        char buf[512];
        ASSERT_TRUE(d.ReadSectors(buf, 512, 127));
        EXPECT_EQ(buf[511], 'L');
        // The kernel name alone opens it too, as a partition would be.
        CDisk byName;
        EXPECT_TRUE(byName.Open(device.substr(5))) << byName.LastError();
    }
    std::system(("losetup -d " + device).c_str());
}

TEST(SourceListTest, CaptionSizes)
{
    EXPECT_EQ(FormatSourceCaption("C:  [DATA]", 976771072ull), "C:  [DATA]  (465.76G)");
    EXPECT_EQ(FormatSourceCaption("x", 2091008ull), "x  (1021.00M)");
    EXPECT_EQ(FormatSourceCaption("x", 2091009ull), "x  (1.00G)");
    // Sources beyond 2 TiB print in full.
    EXPECT_EQ(FormatSourceCaption("HD0", 8ull * 1024 * 1024 * 1024 * 2), "HD0  (8192.00G)");
}
