#include "export/reread.h"
#include "mime/charset.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace vellox;
using namespace vellox::test;

namespace {

const std::string kMultipart =
    "Received: from a by b; 1 Feb 2009 08:02:05 -0800\r\n"
    "From: Carol <carol@example.org>\r\n"
    "To: dave@example.com\r\n"
    "Subject: with attachment\r\n"
    "Date: Sun, 1 Feb 2009 8:02:05 -0800\r\n"
    "Content-Type: multipart/mixed; boundary=\"=_part\"\r\n"
    "\r\n"
    "--=_part\r\n"
    "Content-Type: text/plain; charset=us-ascii\r\n"
    "\r\n"
    "Body text\r\n"
    "--=_part\r\n"
    "Content-Type: application/octet-stream\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "Content-Disposition: attachment; filename=\"x.bin\"\r\n"
    "\r\n"
    "QUJD\r\n"
    "--=_part--\r\n";

// Scans the image, then re-reads every record; returns the texts.
std::vector<std::string> ScanAndReRead(const std::string& image)
{
    ClearMailItems();
    MemorySource src(image);
    RecordingHost host;
    RunScan(src, host);
    std::vector<std::string> out;
    for (auto* r : g_arrMailItem.All()) {
        std::string text;
        EXPECT_TRUE(ReReadMessage(*r, &src, nullptr, text));
        out.push_back(text);
    }
    return out;
}

} // namespace

class ReReadTest : public ::testing::Test {
protected:
    void SetUp() override { InitEncodeTypes(); }
};

TEST_F(ReReadTest, MessagesComeBackByteForByte)
{
    const std::string one = SimpleMessage("first", "Line one\r\nLine two\r\n");
    const std::string two = SimpleMessage("second", "Other body\r\n");
    std::string image(64 * 1024, '\0');
    // The first message ends where the next one's trace line begins; the second is followed by zeros.
    Plant(image, 1000, "\r\n" + one + two);
    Plant(image, 20000 + 3, "\r\n" + kMultipart);
    auto texts = ScanAndReRead(image);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], one);
    EXPECT_EQ(texts[1], two);
    EXPECT_EQ(texts[2], kMultipart);
}

TEST_F(ReReadTest, ControlBytesBecomeSpaces)
{
    std::string msg = SimpleMessage("ctl", std::string("a\x01" "b\x07" "c\x08" "d\r\n"));
    std::string image(8192, '\0');
    Plant(image, 512, msg);
    auto texts = ScanAndReRead(image);
    ASSERT_EQ(texts.size(), 1u);
    std::string expected = msg;
    expected[expected.find('\x01')] = ' ';
    expected[expected.find('\x07')] = ' ';
    EXPECT_EQ(texts[0], expected);
}

TEST_F(ReReadTest, DbxBlocksAreJoinedEvenWhenNotContiguous)
{
    const std::string msg = SimpleMessage("stored in blocks", std::string(900, 'x') + "\r\nlast line\r\n");
    std::string stored = DbxBlocks(msg);
    // Put a foreign block between the message's first and second blocks (a .dbx that grew over years).
    std::string image(32768, '\0');
    Plant(image, 4096, stored.substr(0, 528));
    Plant(image, 4096 + 528, DbxBlocks(std::string(512, 'Z')));
    Plant(image, 4096 + 1056, stored.substr(528));
    auto texts = ScanAndReRead(image);
    ASSERT_EQ(texts.size(), 1u);
    // The re-read joins what lies in the window, so the foreign block's bytes come along; the block headers
    // never do.
    EXPECT_EQ(texts[0].find(std::string("\x00\x02\x00\x00", 4)), std::string::npos);
    EXPECT_EQ(texts[0].substr(0, 528 - 16), msg.substr(0, 512));
}

TEST_F(ReReadTest, ContiguousDbxMessageIsExact)
{
    const std::string msg = SimpleMessage("stored in blocks", std::string(900, 'x') + "\r\nlast line\r\n");
    std::string image(32768, '\0');
    Plant(image, 4096, DbxBlocks(msg));
    auto texts = ScanAndReRead(image);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], msg);
}

TEST_F(ReReadTest, MessageNearTheEndOfTheSource)
{
    const std::string msg = SimpleMessage("at the end", "final words\r\n");
    std::string image(4096, '\0');
    image += msg;
    image.resize((image.size() + 511) / 512 * 512, '\0');
    auto texts = ScanAndReRead(image);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], msg);
}

TEST_F(ReReadTest, LongMessageIsReadBeyondItsWindow)
{
    // A 5 MB attachment whose size the record cannot know in advance (a quoted-printable part).
    std::string msg =
        "Received: x\r\nFrom: a@b\r\nTo: c@d\r\nDate: 1 Jan 2010 00:00:00 +0000\r\nSubject: big\r\n"
        "Content-Type: multipart/mixed; boundary=\"zz\"\r\n\r\n--zz\r\nContent-Type: text/plain\r\n\r\nsee attached\r\n"
        "--zz\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n"
        "Content-Disposition: attachment; filename=\"big.txt\"\r\n\r\n";
    for (int i = 0; i < 70000; ++i)
        msg += std::string(72, 'q') + "\r\n";
    msg += "--zz--\r\n";
    std::string image = std::string(1024, '\0') + msg + std::string(100000, '\0');
    image.resize((image.size() + 511) / 512 * 512, '\0');
    auto texts = ScanAndReRead(image);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].size(), msg.size());
    EXPECT_EQ(texts[0], msg);
}

TEST_F(ReReadTest, WindowSizing)
{
    tagMailItem m;
    m.nStartSector = 0;
    m.strFrom = "a";
    m.strTo = "b";
    m.strDate = "c";
    MemorySource src(std::string(4 << 20, '\0'));
    std::string text;
    EXPECT_TRUE(ReReadMessage(m, &src, nullptr, text));
    EXPECT_TRUE(text.empty());
    uint64_t sectors = 0;
    for (auto [first, n] : src.reads)
        sectors += n;
    EXPECT_EQ(sectors, 1024u);

    // A forged attachment size is capped instead of asking for an impossible window.
    src.reads.clear();
    m.pAttachments = std::make_unique<AttachmentArray>();
    m.pAttachments->push_back({"x", u"x", "", 1ull << 60});
    EXPECT_TRUE(ReReadMessage(m, &src, nullptr, text));
    EXPECT_TRUE(text.empty());
}

TEST_F(ReReadTest, StopBeforeTheCallGivesNothing)
{
    std::string image(8192, '\0');
    Plant(image, 512, SimpleMessage("x"));
    ClearMailItems();
    MemorySource src(image);
    RecordingHost host;
    RunScan(src, host);
    ASSERT_EQ(g_arrMailItem.Size(), 1u);
    std::atomic<int> stop{1};
    std::string text = "old";
    EXPECT_TRUE(ReReadMessage(*g_arrMailItem.At(0), &src, &stop, text));
    EXPECT_TRUE(text.empty());
}
