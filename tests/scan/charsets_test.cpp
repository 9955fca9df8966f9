// Messages in the charsets Chinese mail comes in, scanned from an image and checked field by field.
#include "mime/charset.h"
#include "mime/codepage.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace vellox;
using namespace vellox::test;

namespace {
struct CharsetCase {
    const char* name;
    std::string subjectHeader;
    std::string contentType;
    std::string encoding;
    std::string body;
    std::string subject;  // UTF-8
    std::string bodyText; // UTF-8
};
} // namespace

TEST(CharsetImageTest, FieldsOfEveryRecord)
{
    InitEncodeTypes();
    const CharsetCase cases[] = {
        {"gb2312", "=?gb2312?B?1tDOxLLiytQ=?=", "text/plain; charset=gb2312", "8bit", "\xD6\xD0\xCE\xC4", "中文测试", "中文"},
        {"gbk_unnamed", "=?GBK?B?xOO6wyzKwL3n?=", "text/plain", "", "\xC4\xE3\xBA\xC3", "你好,世界", "你好"},
        {"big5_qp", "=?big5?B?pKSk5Q==?=", "text/plain; charset=big5", "quoted-printable", "=A4=A4=A4=E5",
         "中文", "中文"},
        {"utf8_b64", "=?utf-8?B?5Lit5paH?=", "text/plain; charset=\"utf-8\"", "base64", "5Lit5paH5rWL6K+V", "中文",
         "中文测试"},
        {"english", "Plain English", "text/plain; charset=us-ascii", "7bit", "Hello, world", "Plain English",
         "Hello, world"},
    };
    std::string image(2048, '\0');
    size_t odd = 1;
    for (const auto& c : cases) {
        std::string extra = "Content-Type: " + c.contentType + "\r\n";
        if (!c.encoding.empty())
            extra += "Content-Transfer-Encoding: " + c.encoding + "\r\n";
        image += std::string(odd, '\0') + "\r\n" + SimpleMessage(c.subjectHeader, c.body + "\r\n", extra);
        image += std::string(700, '\0');
        odd += 2;
    }
    image.resize((image.size() + 511) / 512 * 512, '\0');
    ClearMailItems();
    auto recs = ScanImage(image);
    ASSERT_EQ(recs.size(), std::size(cases));
    for (size_t i = 0; i < recs.size(); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(ToUtf8(recs[i]->strSubjectText), c.subject) << c.name;
        EXPECT_EQ(ToUtf8(recs[i]->TakeSnapshot().strBodyText), c.bodyText) << c.name;
        EXPECT_EQ(ToUtf8(recs[i]->strFromText), "Alice <alice@example.org>") << c.name;
        EXPECT_EQ(recs[i]->strDate, "2009-11-15 08:12:31") << c.name;
    }
}
