#include "export/reread.h"
#include "export/savejob.h"
#include "export/writers.h"
#include "mime/charset.h"
#include "mime/codepage.h"
#include "support.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace vellox;
using namespace vellox::test;

namespace {

std::string FreshDir(const std::string& name)
{
    std::string d = ::testing::TempDir() + "vellox_save_" + name + "_" + std::to_string(::getpid());
    std::system(("rm -rf '" + d + "'").c_str());
    return d;
}



} // namespace

TEST(WritersTest, FileNames)
{
    InitEncodeTypes();
    tagMailItem m;
    m.strSubjectText = u"Quarterly report for the board meeting";
    m.strDate = "2009-05-12 08:30:00";
    EXPECT_EQ(ToUtf8(SingleMessageFileName(m, u"].eml")), "Quarterly report for [2009-05-12 08 30 00].eml");
    m.strSubjectText = u"Re: a/b?\x01";
    EXPECT_EQ(ToUtf8(SaveJobBaseName(m)), "Re  a b  _[2009-05-12 08 30 00]");
    // UTF-8 names are cut at a character boundary.
    const std::string cut = Utf8FileName(std::u16string(200, u'中'), 255);
    EXPECT_LE(cut.size(), 255u);
    EXPECT_EQ(cut.size() % 3, 0u);
}

TEST(WritersTest, TxtRendering)
{
    tagMailItem m;
    m.strSubject = "Hello";
    m.strFrom = "Alice";
    m.strTo = "Bob";
    m.strDate = "2009-11-15 08:12:31";
    m.strBody = "Hi";
    EXPECT_EQ(BuildTxtText(m), "Subject: Hello\r\nFrom: Alice\r\nTo: Bob\r\nDate: 2009-11-15 08:12:31\r\n"
                               "---------- Text ---------\r\nHi");
}

TEST(SaveJobTest, EmlFilesAreTheMessagesAndNamesNeverCollide)
{
    InitEncodeTypes();
    const std::string msg = SimpleMessage("same", "body\r\n");
    std::string image(16384, '\0');
    Plant(image, 512, msg + msg + msg);
    ClearMailItems();
    MemorySource src(image);
    RecordingHost host;
    RunScan(src, host);
    auto recs = g_arrMailItem.All();
    ASSERT_EQ(recs.size(), 3u);

    const std::string dir = FreshDir("eml");
    ::mkdir(dir.c_str(), 0755);
    // A file that was there before the job is never overwritten.
    std::ofstream(dir + "/same_[2009-11-15 08 12 31].eml") << "precious";
    std::atomic<int> stop{0};
    SaveJobResult r = RunSaveJob(recs, dir, kSaveEml, &src, nullptr, &stop);
    EXPECT_TRUE(r.directoryReady);
    EXPECT_EQ(r.written, 3u);
    EXPECT_TRUE(r.failures.empty());
    auto files = ListDir(dir);
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(ReadFile(dir + "/same_[2009-11-15 08 12 31].eml"), "precious");
    for (const auto& f : r.files) {
        EXPECT_NE(f, "same_[2009-11-15 08 12 31].eml");
        EXPECT_EQ(ReadFile(dir + "/" + f), msg);
    }
}

TEST(SaveJobTest, MissingSourceFallsBackToTxt)
{
    InitEncodeTypes();
    std::string image(8192, '\0');
    Plant(image, 512, SimpleMessage("gone", "text\r\n"));
    ClearMailItems();
    MemorySource src(image);
    RecordingHost host;
    RunScan(src, host);
    g_strDataSource = "/nonexistent/removed.img";
    const std::string dir = FreshDir("txt");
    SaveJobResult r = RunSaveJob(g_arrMailItem.All(), dir, kSaveEml, nullptr, nullptr, nullptr);
    EXPECT_TRUE(r.fellBackToTxt);
    ASSERT_EQ(r.written, 1u);
    EXPECT_EQ(r.files[0].substr(r.files[0].size() - 4), ".txt");
    EXPECT_NE(ReadFile(dir + "/" + r.files[0]).find("---------- Text ---------\r\ntext"), std::string::npos);
}

TEST(SaveJobTest, UnwritableDirectoryIsAClearError)
{
    tagMailItem m;
    std::vector<tagMailItem*> recs{&m};
    SaveJobResult r = RunSaveJob(recs, "/proc/vellox-cannot-exist/x", kSaveTxt, nullptr, nullptr, nullptr);
    EXPECT_FALSE(r.directoryReady);
    EXPECT_NE(r.error.find("创建目录失败"), std::string::npos);
    EXPECT_EQ(r.written, 0u);
}
