#include "mime/charset.h"
#include "mime/codepage.h"
#include "mime/encodedword.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace vellox;

namespace {
struct Case {
    const char* name;
    std::string value;
    std::string decoded;    // UTF-8
    std::string normalised; // the value after the call
};
} // namespace

class DecodeHeaderValueTest : public ::testing::TestWithParam<Case> {
protected:
    static void SetUpTestSuite() { InitEncodeTypes(); }
};

TEST_P(DecodeHeaderValueTest, DecodesAndNormalises)
{
    const auto& c = GetParam();
    std::string v = c.value;
    EXPECT_EQ(ToUtf8(DecodeHeaderValue(v)), c.decoded);
    EXPECT_EQ(v, c.normalised);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DecodeHeaderValueTest,
    ::testing::Values(
        Case{"base64", "=?gb2312?B?1tDOxA==?=", "中文", "=?gb2312?B?1tDOxA==?="},
        Case{"upper_case_letters", "=?GB2312?b?1tDOxA==?=", "中文", "=?GB2312?b?1tDOxA==?="},
        Case{"q_escapes", "=?gb2312?Q?=D6=D0=CE=C4?=", "中文", "=?gb2312?Q?=D6=D0=CE=C4?="},
        Case{"text_before_word", "Re: =?gb2312?B?1tDOxA==?=", "Re: 中文", "Re: =?gb2312?B?1tDOxA==?="},
        Case{"adjacent_words_join", "=?utf-8?B?5Lit?= =?utf-8?B?5paH?=", "中文", "=?utf-8?B?5Lit?= =?utf-8?B?5paH?="},
        Case{"three_words", "=?utf-8?Q?a?=\r\n =?utf-8?Q?b?= =?utf-8?Q?c?=", "abc",
             "=?utf-8?Q?a?=\r\n =?utf-8?Q?b?= =?utf-8?Q?c?="},
        Case{"word_and_address", "=?gb2312?B?1tDOxA==?= <box@x.cn>", "中文 <box@x.cn>",
             "=?gb2312?B?1tDOxA==?= <box@x.cn>"},
        Case{"quoted_name_keeps_shape", "\"=?gb2312?B?1tDOxA==?=\" <box@x.cn>", "\"中文\" <box@x.cn>",
             "\"=?gb2312?B?1tDOxA==?=\" <box@x.cn>"},
        Case{"plain_quoted_name", "\"Alice\" <a@x>", "\"Alice\" <a@x>", "\"Alice\" <a@x>"},
        Case{"ansi_text", "\xD6\xD0\xCE\xC4 <a@x>", "中文 <a@x>", "\xD6\xD0\xCE\xC4 <a@x>"},
        Case{"unknown_charset_reads_as_ansi", "abc =?x-unknown?B?QUJD?= def", "abc ABC def",
             "abc =?x-unknown?B?QUJD?= def"},
        Case{"single_byte_word", "=?utf-8?B?YQ==?=", "a", "=?utf-8?B?YQ==?="},
        Case{"ascii_q", "=?us-ascii?Q?ab?=", "ab", "=?us-ascii?Q?ab?="},
        Case{"underscore_is_space", "=?gb2312?Q?a_b?=", "a b", "=?gb2312?Q?a_b?="},
        Case{"lower_hex", "=?utf-8?Q?=4a=4A?=", "JJ", "=?utf-8?Q?=4a=4A?="},
        Case{"backslash_quotes_at_start", "\\\"Bob\\\" <b@x>", "Bob <b@x>", "Bob <b@x>"},
        Case{"backslash_quotes_later_stay", "abc\\\"d\\\"", "abc\\\"d\\\"", "abc\\\"d\\\""},
        Case{"leading_quote_dropped", "\"unbalanced", "unbalanced", "unbalanced"},
        Case{"empty", "", "", ""},
        Case{"white_space_only", "  \t ", "", ""},
        Case{"trimmed", "  hello  ", "hello", "hello"},
        Case{"malformed_word_stays", "=?utf-8?X?abc?=", "=?utf-8?X?abc?=", "=?utf-8?X?abc?="},
        Case{"unterminated_word", "=?utf-8?B?5Lit", "=?utf-8?B?5Lit", "=?utf-8?B?5Lit"}),
    [](const auto& info) { return std::string(info.param.name); });

// Answers of a well-known decoder (Python's email.header) on real-shaped headers, recorded once.
TEST(DecodeHeaderValueOracle, AgreesWithTheRecordedAnswers)
{
    InitEncodeTypes();
    std::ifstream in(std::string(VELLOX_TEST_DATA) + "/mime/oracle_headers.tsv", std::ios::binary);
    ASSERT_TRUE(in) << "fixture missing";
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos);
        auto unescape = [](const std::string& s) {
            std::string out;
            for (size_t i = 0; i < s.size(); ++i) {
                if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x') {
                    out.push_back(static_cast<char>(std::stoi(s.substr(i + 2, 2), nullptr, 16)));
                    i += 3;
                } else {
                    out.push_back(s[i]);
                }
            }
            return out;
        };
        std::string value = unescape(line.substr(0, tab));
        const std::string expected = line.substr(tab + 1);
        EXPECT_EQ(ToUtf8(DecodeHeaderValue(value)), expected) << line.substr(0, tab);
        ++rows;
    }
    EXPECT_GT(rows, 5);
}
