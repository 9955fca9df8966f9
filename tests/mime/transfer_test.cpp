#include "mime/charset.h"
#include "mime/codepage.h"
#include "mime/transfer.h"
#include "scan/mailitem.h"

#include <gtest/gtest.h>

using namespace vellox;

namespace {
struct DecodeCase {
    std::string in;
    std::string out;
};
std::string B64(const std::string& s)
{
    return Base64Decode(s.data(), s.size());
}
std::string QP(const std::string& s)
{
    return QuotedPrintableDecode(s.data(), s.size());
}
} // namespace

TEST(TransferTest, Base64)
{
    const DecodeCase cases[] = {{"QUJD", "ABC"}, {"QUJD\r\n", "ABC"}, {"QUI=", "AB"},        {"QQ==", "A"},
                                {"QUI", "AB"},   {"Q", ""},           {"=QUJD", ""},         {"QUJD=QUJD", "ABC"},
                                {"QU\r\nJD", "ABC"}, {"Q\xffU*JD", "ABC"}, {"AEE=", std::string("\0A", 2)}};
    for (const auto& c : cases)
        EXPECT_EQ(B64(c.in), c.out) << c.in;
}

TEST(TransferTest, QuotedPrintable)
{
    const DecodeCase cases[] = {{"a=3Db", "a=b"},  {"a=\r\nb", "ab"},  {"a=\rb", "ab"},     {"a=\nb", "ab"},
                                {"=41=42", "AB"},   {"=4a", "J"},       {"=a0", "\xA0"},     {"a=", "a="},
                                {"a=4", "a=4"},     {"=ZZ top", "=ZZ top"}, {"x_y", "x_y"}};
    for (const auto& c : cases)
        EXPECT_EQ(QP(c.in), c.out) << c.in;
    EXPECT_EQ(QDecode("x_y", 3), "x y");
}

TEST(TransferTest, InPlaceForms)
{
    std::string s = "\r\n";
    Base64DecodeString(s);
    EXPECT_EQ(s, "\r\n");
    s = "AEE=";
    Base64DecodeString(s);
    EXPECT_EQ(s, "");
    s = "SGVsbG8=";
    Base64DecodeString(s);
    EXPECT_EQ(s, "Hello");
}

TEST(TransferTest, CharsetParam)
{
    struct {
        const char* message;
        const char* part;
        const char* value;
    } cases[] = {
        {"text/plain; charset=\"GB2312\"", "", "gb2312"},
        {"whatever", "text/html; charset=utf-8", "utf-8"},
        {"", "text/plain; Charset=gb2312", "gb2312"},
        {"charset=utf-8", "", ""},
        {"text/plain", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetCharsetParam(c.message, c.part), c.value) << c.message << " | " << c.part;
}

TEST(TransferTest, DecodeBody)
{
    InitEncodeTypes();
    struct {
        const char* contentType;
        const char* partEncoding;
        std::string body;
        std::string text;
    } cases[] = {
        {"text/plain; charset=utf-8", "Base64", "5Lit5paH", "中文"},
        {"text/plain; charset=gb2312", "quoted-printable", "=D6=D0=CE=C4?", "中文?"},
        {"text/plain", "x-uuencode", "begin 644", "begin 644"},
        {"text/plain", "8bit", "\xD6\xD0\xCE\xC4", "中文"}, // no charset: the ANSI code page
        {"text/plain; charset=gb2312; format=flowed", "8bit", "\xD6\xD0", "中"},
    };
    for (const auto& c : cases) {
        tagMailItem m;
        m.strContentType = c.contentType;
        m.strPartTransferEncoding = c.partEncoding;
        m.strBody = c.body;
        DecodeBody(m);
        EXPECT_TRUE(m.bBodyDecoded);
        EXPECT_EQ(ToUtf8(m.strBodyText), c.text) << c.contentType;
    }
}
