#include "scan/lines.h"

#include <gtest/gtest.h>

using namespace vellox;

namespace {
ByteView View(std::string& s)
{
    return ByteView{reinterpret_cast<uint8_t*>(s.data()), s.size()};
}
} // namespace

TEST(LinesTest, MatchKeywordIgnoresCaseAndNeedsTheSpace)
{
    struct Case {
        std::string text;
        bool match;
    } cases[] = {
        {"Received: from x", true}, {"RECEIVED: from x", true}, {"Received:from", false},
        {"Rec", false}, // shorter than the keyword at the end of the view
        {std::string("Recei\0ed: ", 10), false},
    };
    for (auto& c : cases) {
        ByteView v = View(c.text);
        EXPECT_EQ(MatchKeyword(v, 0, kReceived), c.match) << c.text;
    }
}

TEST(LinesTest, LineAndValueLimits)
{
    std::string s = "abc\tdef\r\nnext";
    ByteView v = View(s);
    EXPECT_EQ(GetLineText(v, 0), "abc\tdef");
    EXPECT_EQ(GetHeaderValue(v, 0), "abc");
    EXPECT_EQ(GetLineText(v, 7), "");

    std::string v511 = std::string(511, 'x') + "\r\n";
    std::string v512 = std::string(512, 'x') + "\r\n";
    std::string v600 = std::string(600, 'x');
    EXPECT_EQ(GetHeaderValue(View(v511), 0).size(), 511u);
    EXPECT_EQ(GetHeaderValue(View(v512), 0), "");
    EXPECT_EQ(GetHeaderValue(View(v600), 0), "");
    // The end of the data ends a short line like a NUL byte would.
    std::string tail = "tail";
    EXPECT_EQ(GetLineText(View(tail), 0), "tail");
    EXPECT_EQ(GetLineText(View(tail), 10), "");
}

TEST(LinesTest, CutBlockHeaderWithinReach)
{
    for (size_t distance : {100u, 188u, 200u}) {
        std::string s(1024, 'a');
        const size_t q = 4;
        const size_t h = q + distance;
        s.replace(q, 5, "To: x");
        s[h + 4] = 0;
        s[h + 5] = 2;
        s[h + 6] = 0;
        s[h + 7] = 0;
        s.replace(h + 16, 3, "END");
        ByteView v = View(s);
        size_t line = q;
        const bool cut = CutBlockHeader(v, line);
        if (distance < 192) {
            EXPECT_TRUE(cut) << distance;
            EXPECT_EQ(line, q + 16);
            // The line now runs straight into the bytes behind the header.
            EXPECT_EQ(s.substr(line, 5), "To: x");
            EXPECT_EQ(s.substr(h + 16, 3), "END");
            EXPECT_EQ(s[h + 15], 'a');
        } else {
            EXPECT_FALSE(cut) << distance;
            EXPECT_EQ(line, q);
        }
    }
}

TEST(LinesTest, CutBlockHeaderNeverWritesPastTheView)
{
    std::string s(40, 'a');
    s[37] = 2; // a header pattern whose 16 bytes would run past the end
    s[38] = 0;
    s[39] = 0;
    ByteView v = View(s);
    size_t q = 0;
    EXPECT_FALSE(CutBlockHeader(v, q));
}
