#include "mime/encodedword.h"
#include "mime/charset.h"
#include "mime/codepage.h"
#include "mime/transfer.h"

namespace vellox {

namespace {

bool IsLws(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Where the encoded word that starts at `b` ("=?") ends (one past its "?="), or npos when the text at b
// is not an encoded word: "=?" charset "?" letter "?" text "?=" (RFC 2047 section 2).
size_t EncodedWordEnd(const ByteString& s, size_t b)
{
    size_t q1 = s.find('?', b + 2);
    if (q1 == ByteString::npos || q1 == b + 2)
        return ByteString::npos;
    for (size_t i = b + 2; i < q1; ++i)
        if (IsLws(s[i]))
            return ByteString::npos;
    if (q1 + 2 >= s.size() || s[q1 + 2] != '?')
        return ByteString::npos;
    char letter = s[q1 + 1];
    if (letter != 'B' && letter != 'b' && letter != 'Q' && letter != 'q')
        return ByteString::npos;
    size_t e = s.find("?=", q1 + 3);
    if (e == ByteString::npos)
        return ByteString::npos;
    return e + 2;
}

} // namespace

std::u16string DecodeWord(const ByteString& word)
{
    if (word.size() < 2 || word[0] != '=' || word[1] != '?')
        return {};
    size_t q1 = word.find('?', 2);
    if (q1 == ByteString::npos || q1 + 2 >= word.size() || word[q1 + 2] != '?')
        return {};
    const char letter = static_cast<char>(word[q1 + 1] | 0x20);
    size_t textBegin = q1 + 3;
    size_t textEnd = word.find("?=", textBegin);
    if (textEnd == ByteString::npos)
        textEnd = word.size();
    const char* text = word.data() + textBegin;
    const size_t textLen = textEnd - textBegin;
    ByteString bytes;
    if (letter == 'b')
        bytes = Base64Decode(text, textLen);
    else if (letter == 'q')
        bytes = QDecode(text, textLen);
    else
        return {};
    int row = FindEncodeTypeInWord(word);
    if (row >= 0)
        return g_arrEncodeType[static_cast<size_t>(row)].DecodeBytes(bytes);
    return AnsiToWide(bytes);
}

std::u16string DecodeHeaderSegment(const ByteString& s)
{
    std::u16string out;
    size_t pos = 0;
    bool lastWasWord = false;
    while (pos < s.size()) {
        size_t b = s.find("=?", pos);
        size_t e = ByteString::npos;
        while (b != ByteString::npos && (e = EncodedWordEnd(s, b)) == ByteString::npos)
            b = s.find("=?", b + 1);
        if (b == ByteString::npos) {
            out += AnsiToWide(s.substr(pos));
            break;
        }
        ByteString between = s.substr(pos, b - pos);
        bool onlySpace = true;
        for (char c : between)
            if (!IsLws(c))
                onlySpace = false;
        // RFC 2047 section 6.2: white space between adjacent encoded words is not displayed.
        if (!(lastWasWord && onlySpace))
            out += AnsiToWide(between);
        out += DecodeWord(s.substr(b, e - b));
        lastWasWord = true;
        pos = e;
    }
    return out;
}

std::u16string DecodeHeaderValue(ByteString& v)
{
    // 1. Trim.
    v = TrimBytes(v);
    // 2. Backslash-quote pairs, when the first stands at the very start.
    size_t bq = v.find("\\\"");
    if (bq != ByteString::npos && bq <= 2) {
        while ((bq = v.find("\\\"")) != ByteString::npos)
            v.erase(bq, 2);
    }
    // 3. Leading double quotes go when the value is neither quoted display text nor led by an encoded word
    // that can be split off; the stored value keeps this shape, so it must stay the same.
    const bool startsWord = v.size() >= 2 && v[0] == '=' && v[1] == '?';
    bool split = false;
    if (!startsWord) {
        size_t a = v.find('"');
        size_t e = v.rfind('"');
        split = a != ByteString::npos && e != ByteString::npos && e >= a + 2;
    } else {
        size_t f = v.find("?=");
        if (f != ByteString::npos && f >= 2 && f + 4 < v.size()) {
            ByteString letters = AsciiLower(v.substr(f - 2, 2));
            split = letters != "?q";
        }
        if (!split) {
            size_t c = v.find("?= ");
            split = c != ByteString::npos && c > 0 && c + 4 < v.size();
        }
    }
    if (!split) {
        size_t n = 0;
        while (n < v.size() && v[n] == '"')
            ++n;
        v.erase(0, n);
    }
    return TrimWide(DecodeHeaderSegment(v));
}

} // namespace vellox
