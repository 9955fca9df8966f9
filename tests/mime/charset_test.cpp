#include "mime/charset.h"
#include "mime/codepage.h"

#include <gtest/gtest.h>

using namespace vellox;

namespace {
struct ConvCase {
    int codePage;
    std::string bytes;
    std::string utf8;
};
} // namespace

class CodePageTest : public ::testing::TestWithParam<ConvCase> {};

TEST_P(CodePageTest, ConvertsEachFamily)
{
    const auto& c = GetParam();
    EXPECT_EQ(ToUtf8(MultiByteToWide(c.codePage, c.bytes)), c.utf8) << c.codePage;
}

INSTANTIATE_TEST_SUITE_P(
    Families, CodePageTest,
    ::testing::Values(ConvCase{936, "\xD6\xD0\xCE\xC4", "中文"},                 // GBK
                      ConvCase{0, "\x81\x30\x89\x38", "ß"},                      // ANSI read as GB18030
                      ConvCase{950, "\xA4\xA4\xA4\xE5", "中文"},                 // Big5
                      ConvCase{932, "\x93\xFA\x96\x7B", "日本"},                 // Shift_JIS
                      ConvCase{51932, "\xC6\xFC\xCB\xDC", "日本"},               // EUC-JP
                      ConvCase{50220, "\x1B$BF|K\\\x1B(B", "日本"},              // ISO-2022-JP
                      ConvCase{51949, "\xC7\xD1\xB1\xDB", "한글"},               // EUC-KR
                      ConvCase{65000, "+ZeVnLIqe-", "日本語"},                   // UTF-7
                      ConvCase{65001, "\xE4\xB8\xAD", "中"},                     // UTF-8
                      ConvCase{20866, "\xF0\xD2\xC9\xD7\xC5\xD4", "Привет"},     // KOI8-R
                      ConvCase{28592, "\xB1", "ą"},                             // ISO-8859-2
                      ConvCase{37, "\xC8\x85\x93\x93\x96", "Hello"},             // EBCDIC
                      ConvCase{10000, "\x8A", "ä"},                              // Mac Roman
                      ConvCase{29001, "abc", ""}));                              // no converter: refused

TEST(CharsetTest, EveryServedCodePageOfTheTableOpens)
{
    InitEncodeTypes();
    InitEncodeTypes();
    EXPECT_EQ(g_arrEncodeType.size(), 120u);
    const std::set<int> unserved = {10008, 20002, 10002, 29001, 20106, 10005, 20880, 20423,
                                    20833, 20905, 10079, 10001, 1361,  10003, 20108, 20107, 20105};
    for (const auto& row : g_arrEncodeType)
        EXPECT_EQ(IsCodePageSupported(row.nCodePage), unserved.count(row.nCodePage) == 0) << row.strName;
}

TEST(CharsetTest, Lookups)
{
    InitEncodeTypes();
    auto cpByCharset = [](const char* v) {
        int i = FindEncodeTypeByCharset(v);
        return i < 0 ? -1 : g_arrEncodeType[i].nCodePage;
    };
    auto cpInWord = [](const char* w) {
        int i = FindEncodeTypeInWord(w);
        return i < 0 ? -1 : g_arrEncodeType[i].nCodePage;
    };
    struct {
        const char* value;
        int cp;
    } byCharset[] = {{"iso-8859-1", 28591}, {"iso-8859-15", 28605}, {"iso-8859-8", 28598}, {"us-ascii", 1252},
                     {"system", 0},         {"gb18030", 54936},     {"gb2312; format=flowed", 936},
                     {"\"big5\"", 950},     {"utf", 65000},         {"", -1},
                     {"x-unknown", -1},     {"x-ebcdic-germany-euro", 1141}};
    for (const auto& c : byCharset)
        EXPECT_EQ(cpByCharset(c.value), c.cp) << c.value;
    struct {
        const char* word;
        int cp;
    } inWord[] = {{"=?GB2312?B?x?=", 936}, {"=?gb2312?b?x?=", 936},    {"=?utf-8?Q?x?=", 65001},
                  {"=?gb18030?B?x?=", 54936}, {"=?x-ebcdic-germany-euro?Q?x?=", 1141},
                  {"=?iso-8859-1?Q?x?=", 28591}, {"=?gb2312-80?B?x?=", 936}, {"=?klingon?B?x?=", -1}};
    for (const auto& c : inWord)
        EXPECT_EQ(cpInWord(c.word), c.cp) << c.word;
}

TEST(CharsetTest, DecodeTextKeepsEveryCharacter)
{
    InitEncodeTypes();
    const tagEncodeType& utf8 = g_arrEncodeType[FindEncodeTypeByCharset("utf-8")];
    EXPECT_EQ(ToUtf8(utf8.DecodeText("How are you?")), "How are you?");
    EXPECT_EQ(ToUtf8(utf8.DecodeText("x")), "x");
    EXPECT_EQ(ToUtf8(utf8.DecodeText("  abc \r\n")), "abc");
    EXPECT_EQ(ToUtf8(AnsiToWide(std::string("ab\0cd", 5))), "ab");
    EXPECT_EQ(WideToAnsi(u"中文"), "\xD6\xD0\xCE\xC4");
    std::string s;
    Utf8ToAnsi(s);
    EXPECT_EQ(s, "");
    s = "\xE4\xB8\xAD";
    Utf8ToAnsi(s);
    EXPECT_EQ(s, "\xD6\xD0");
}
