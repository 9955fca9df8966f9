#include "mime/charset.h"
#include "mime/codepage.h"
#include "scan/blockscanner.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace vellox;
using namespace vellox::test;

namespace {

std::string U8(const std::u16string& s)
{
    return ToUtf8(s);
}

const char kMultipart[] =
    "Received: from a by b; Sun, 1 Feb 2009 8:02:05 -0800\r\n"
    "From: =?gb2312?B?1tDOxA==?= <zh@example.cn>\r\n"
    "To: bob@example.com\r\n"
    "Subject: report\r\n"
    "Date: Sun, 1 Feb 2009 8:02:05 -0800\r\n"
    "X-Priority: 3 (Normal)\r\n"
    "Content-Type: multipart/mixed; boundary=abc\r\n"
    "\r\n"
    "--abc\r\n"
    "Content-Type: text/plain; charset=utf-8\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n"
    "caf=C3=A9\tand tab\r\n"
    "--abc\r\n"
    "Content-Type: application/octet-stream; name=\"a.bin\"\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "Content-Disposition: attachment; filename=\"a.bin\"\r\n"
    "\r\n"
    "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5ejAxMjM0\r\n"
    "NTY3ODk=\r\n"
    "--abc\r\n"
    "Content-Type: text/plain; name=b.txt\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "Content-Disposition: attachment; filename=b.txt\r\n"
    "\r\n"
    "SGk=\r\n"
    "--abc--\r\n";

} // namespace

class ScannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitEncodeTypes();
        ClearMailItems();
    }
};

TEST_F(ScannerTest, HeaderBlockBecomesARecord)
{
    std::string image(8192, '\0');
    Plant(image, 600, "Received: from old\r\n" + SimpleMessage("Hello") + "\r\n");
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    const tagMailItem& m = *recs[0];
    EXPECT_EQ(m.strFrom, "Alice <alice@example.org>");
    EXPECT_EQ(U8(m.strFromText), "Alice <alice@example.org>");
    EXPECT_EQ(U8(m.strToText), "Bob <bob@example.com>");
    EXPECT_EQ(m.strSubject, "Hello");
    EXPECT_EQ(m.strDate, "2009-11-15 08:12:31");
    // The last "Received: " line before the header lines opened the record.
    const uint64_t at = 600 + std::string("Received: from old\r\n").size();
    EXPECT_EQ(m.nStartSector, at / 512);
    EXPECT_EQ(m.nStartOffset, at % 512);
    EXPECT_EQ(U8(m.TakeSnapshot().strBodyText), "Hello there.");
}

TEST_F(ScannerTest, RecordNeedsFromToAndDate)
{
    std::string msg = SimpleMessage("x");
    msg.erase(msg.find("Date: "), msg.find("\r\n", msg.find("Date: ")) + 2 - msg.find("Date: "));
    std::string image(4096, '\0');
    Plant(image, 100, "\r\n" + msg);
    EXPECT_TRUE(ScanImage(image).empty());
}

TEST_F(ScannerTest, PlainSubjectDoesNotSwallowTheNextHeader)
{
    std::string image(4096, '\0');
    Plant(image, 0, "\r\n" + SimpleMessage("Hello"));
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0]->strSubject, "Hello");
}

TEST_F(ScannerTest, FoldedSubjectOfEncodedWordsJoins)
{
    std::string image(4096, '\0');
    Plant(image, 0,
          "\r\n" + SimpleMessage("=?utf-8?B?5Lit5paH?=\r\n =?utf-8?B?5rWL6K+V?=\r\n\tplain tail"));
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(U8(recs[0]->strSubjectText), "中文测试 plain tail");
    EXPECT_EQ(recs[0]->strDate, "2009-11-15 08:12:31");
}

TEST_F(ScannerTest, StartSectorAndOffsetAreExact)
{
    CBlockScanner scanner(nullptr, nullptr);
    std::string chunk(4096, ' ');
    Plant(chunk, 998, "\r\n" + SimpleMessage("x"));
    ByteView v{reinterpret_cast<uint8_t*>(chunk.data()), chunk.size()};
    g_pCurMail = nullptr;
    scanner.ScanBlock(v, chunk.size(), 4096);
    auto recs = g_arrMailItem.All();
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0]->nStartSector, 4097u);
    EXPECT_EQ(recs[0]->nStartOffset, 488u);
    g_pCurMail = nullptr;
}

TEST_F(ScannerTest, PrependingASectorMovesEveryRecordBy512)
{
    std::string image(64 * 1024, '\0');
    Plant(image, 3, "\r\n" + SimpleMessage("one"));
    Plant(image, 5000, "\r\n" + SimpleMessage("two"));
    Plant(image, 9001, "\r\n" + std::string(kMultipart));
    std::vector<uint64_t> before;
    for (auto* r : ScanImage(image))
        before.push_back(r->StartByte());
    ASSERT_EQ(before.size(), 3u);
    std::vector<uint64_t> after;
    for (auto* r : ScanImage(std::string(512, 'z') + image))
        after.push_back(r->StartByte());
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i] + 512);
}

TEST_F(ScannerTest, MessagesAcrossChunkEdges)
{
    // A message that straddles the 1 MiB chunk boundary, and messages at sector edges, are all found.
    const size_t chunk = 2048 * 512;
    for (size_t offset : {chunk - 300, chunk - 40, chunk - 2, chunk + 509, chunk + 510, chunk + 511}) {
        ClearMailItems();
        std::string image(3 * chunk, '\0');
        Plant(image, offset, "\r\n" + std::string(kMultipart));
        auto recs = ScanImage(image);
        ASSERT_EQ(recs.size(), 1u) << offset;
        EXPECT_EQ(recs[0]->StartByte(), offset + 2) << offset;
        auto snap = recs[0]->TakeSnapshot();
        EXPECT_EQ(snap.attachments.size(), 2u) << offset;
    }
}

TEST_F(ScannerTest, MessageAtTheStartOfASectorWithoutLineEnd)
{
    std::string image(8192, '\0');
    Plant(image, 1024, SimpleMessage("cluster start"));
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0]->nStartSector, 2u);
    EXPECT_EQ(recs[0]->nStartOffset, 0u);
}

TEST_F(ScannerTest, DbxMessageRightBehindItsBlockHeader)
{
    std::string msg = SimpleMessage("dbx message", std::string(700, 'b') + "\r\nend of body\r\n");
    std::string image(16384, '\0');
    Plant(image, 0x1000 + 4, DbxBlocks(msg));
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0]->StartByte(), 0x1000u + 4 + 16);
    EXPECT_EQ(recs[0]->strSubject, "dbx message");
}

TEST_F(ScannerTest, HeaderBlockHasALengthLimit)
{
    const int limit = static_cast<int>(kMaxHeaderSectors);
    for (int sectors : {limit - 1, limit + 1}) {
        ClearMailItems();
        std::string filler;
        for (int i = 0; filler.size() < static_cast<size_t>(sectors) * 512; ++i)
            filler += "X-Filler-" + std::to_string(i) + ": " + std::string(60, 'f') + "\r\n";
        std::string image((limit + 8) * 512, '\0');
        Plant(image, 0, "\r\nReceived: x\r\n" + filler + "From: a@b\r\nTo: c@d\r\nDate: 1 Jan 2010 00:00:00 +0000\r\n\r\nbody\r\n");
        EXPECT_EQ(ScanImage(image).size(), sectors < limit ? 1u : 0u) << sectors;
    }
}

TEST_F(ScannerTest, MultipartTextPartAndAttachments)
{
    std::string image(8192, '\0');
    Plant(image, 0, "\r\n" + std::string(kMultipart));
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    const tagMailItem& m = *recs[0];
    EXPECT_EQ(m.strBoundary, "abc");
    EXPECT_EQ(m.strContentType, "multipart/mixed;");
    EXPECT_EQ(m.nPriority, 3);
    EXPECT_EQ(U8(m.strFromText), "中文 <zh@example.cn>");
    EXPECT_EQ(m.strDate, "2009-02-01 08:02:05");
    auto snap = m.TakeSnapshot();
    // The TAB stays in the body line.
    EXPECT_EQ(U8(snap.strBodyText), "café\tand tab");
    ASSERT_EQ(snap.attachments.size(), 2u);
    EXPECT_EQ(U8(snap.attachments[0].strDisplayName), "a.bin");
    EXPECT_EQ(snap.attachments[0].nSize, 62u);
    EXPECT_EQ(U8(snap.attachments[1].strDisplayName), "b.txt");
    EXPECT_EQ(snap.attachments[1].nSize, 2u);
}

TEST_F(ScannerTest, LargeBase64AttachmentReportsItsTrueSize)
{
    const size_t decoded = 5 * 1000 * 1000 + 1;
    std::string msg =
        "\r\nReceived: x\r\nFrom: a@b\r\nTo: c@d\r\nDate: 1 Jan 2010 00:00:00 +0000\r\nSubject: big\r\n"
        "Content-Type: multipart/mixed; boundary=\"zz\"\r\n\r\n--zz\r\nContent-Type: text/plain\r\n\r\nsee attached\r\n"
        "--zz\r\nContent-Type: application/zip\r\nContent-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment; filename=\"big.zip\"\r\n\r\n";
    const size_t groups = decoded / 3;
    for (size_t g = 0; g < groups; g += 19)
        msg += std::string(std::min<size_t>(19, groups - g) * 4, 'A') + "\r\n";
    msg += "AA==\r\n--zz--\r\n";
    std::string image = msg + std::string(4096, '\0');
    image.resize((image.size() + 511) / 512 * 512, '\0');
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    auto snap = recs[0]->TakeSnapshot();
    ASSERT_EQ(snap.attachments.size(), 1u);
    EXPECT_EQ(snap.attachments[0].nSize, groups * 3 + 1);
}

TEST_F(ScannerTest, XAttachmentEntries)
{
    std::string image(4096, '\0');
    Plant(image, 0,
          "\r\n" + SimpleMessage("x", "b\r\n",
                                 "X-Attachment: report.doc, 300\r\nX-Attachment: none.doc, 0\r\nX-Attachment: nocomma\r\n"));
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    ASSERT_TRUE(recs[0]->pAttachments);
    ASSERT_EQ(recs[0]->pAttachments->size(), 1u);
    EXPECT_EQ((*recs[0]->pAttachments)[0].strFileName, "report.doc");
    EXPECT_EQ((*recs[0]->pAttachments)[0].nSize, 300u);
}

TEST_F(ScannerTest, MessageAfterAnAttachmentAndAnEmptyLineIsStillFound)
{
    std::string first = kMultipart;
    first.resize(first.find("--abc--")); // the last part never closes
    std::string image(8192, '\0');
    Plant(image, 0, "\r\n" + first + "\r\n" + SimpleMessage("second"));
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[1]->strSubject, "second");
}

TEST_F(ScannerTest, MessageRightBehindAnEmptyLineIsFound)
{
    // Nothing collects the empty line (no record is current), yet the message behind it is seen.
    std::string image(4096, '\0');
    Plant(image, 100, "junk line\r\n\r\n" + SimpleMessage("behind an empty line"));
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0]->StartByte(), 100u + 13);
}

TEST_F(ScannerTest, BadInputKeepsTheMessagesAroundIt)
{
    // A million "Received: " lines in a row, a header block of garbage, a multipart whose boundary never
    // closes; the real messages between them are all found.
    std::string image = "\r\n" + SimpleMessage("before");
    for (int i = 0; i < 1000000; ++i)
        image += "Received: x\r\n";
    image += "\r\n" + SimpleMessage("after the flood");
    image += "\r\nReceived: y\r\nFrom: \x01\x02\x03\r\nTo: \xff\xfe\r\nDate: \x7f\r\n\r\n";
    image += "\r\n" + SimpleMessage("unclosed", "--b\r\nContent-Type: text/plain\r\n\r\nnever ends\r\n",
                                     "Content-Type: multipart/mixed; boundary=b\r\n");
    image += std::string(4096, 'g');
    image += "\r\n" + SimpleMessage("last");
    image.resize((image.size() / 512 + 1) * 512, '\0');
    std::vector<std::string> subjects;
    for (auto* r : ScanImage(image))
        subjects.push_back(r->strSubject);
    // The garbage header's values are control bytes, which read as empty: it makes no record.
    EXPECT_EQ(subjects, (std::vector<std::string>{"before", "after the flood", "unclosed", "last"}));
}

TEST_F(ScannerTest, QuotedPrintableAttachmentInDbxBlocksAtAnOddOffset)
{
    const std::string msg =
        "Received: from a by b\r\nFrom: =?big5?B?pKSk5Q==?= <tw@example.tw>\r\nTo: x@y\r\n"
        "Subject: =?utf-8?Q?caf=C3=A9?=\r\nDate: 2 Mar 2010 10:00:00 +0800\r\n"
        "Content-Type: multipart/mixed;\r\n\tboundary=\"qp1\"\r\n\r\n--qp1\r\n"
        "Content-Type: text/plain; charset=gbk\r\nContent-Transfer-Encoding: base64\r\n\r\nxOO6ww==\r\n"
        "--qp1\r\nContent-Type: text/plain; name=\"notes.txt\"\r\nContent-Transfer-Encoding: quoted-printable\r\n"
        "Content-Disposition: attachment; filename=\"notes.txt\"\r\n\r\na=3Db\r\n" +
        std::string(600, 'n') + "\r\n--qp1--\r\n";
    std::string image(8192, '\0');
    Plant(image, 1001 & ~3u, DbxBlocks(msg));
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    const tagMailItem& m = *recs[0];
    EXPECT_EQ(U8(m.strFromText), "中文 <tw@example.tw>");
    EXPECT_EQ(U8(m.strSubjectText), "café");
    EXPECT_EQ(m.strDate, "2010-03-02 10:00:00");
    EXPECT_EQ(m.strBoundary, "qp1");
    auto snap = m.TakeSnapshot();
    EXPECT_EQ(U8(snap.strBodyText), "你好");
    ASSERT_EQ(snap.attachments.size(), 1u);
    EXPECT_EQ(U8(snap.attachments[0].strDisplayName), "notes.txt");
    EXPECT_EQ(snap.attachments[0].nSize, 0u); // only base64 parts are sized
}

TEST_F(ScannerTest, NoSubjectGetsThePlaceholder)
{
    std::string msg = SimpleMessage("");
    std::string image(4096, '\0');
    Plant(image, 0, "\r\n" + msg);
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0]->strSubject, "");
    EXPECT_EQ(U8(recs[0]->strSubjectText), "（无主题）");
}

TEST_F(ScannerTest, GarbageAroundMessagesNeverReadsOutsideTheBuffer)
{
    // Keywords and block-header patterns in the very last bytes of the source.
    for (const std::string& tail : {std::string("\r\nReceived: "), std::string("\r\nFrom: x"),
                                   std::string("\x00\x00\x00\x00\x00\x02\x00\x00", 8), std::string("\r\n--")}) {
        ClearMailItems();
        std::string image(4096 - tail.size(), 'g');
        image += tail;
        EXPECT_TRUE(ScanImage(image).empty());
    }
}
