#include "mime/headerparam.h"
#include "mime/charset.h"
#include "mime/encodedword.h"

#include <cctype>
#include <map>

namespace vellox {

namespace {

constexpr size_t kMaxPartHeaderLines = 7;

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(c | 0x20);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

ByteString PercentDecode(const ByteString& s)
{
    ByteString out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

struct Rfc2231Name {
    ByteString raw;     // the sections joined, as written
    ByteString charset; // from the first section
    ByteString bytes;   // decoded bytes
};

// RFC 2231 sections 3 and 4: filename*=charset'lang'%XX..., or filename*0*=..., filename*1*=..., in order.
bool FindRfc2231Name(const std::vector<ByteString>& lines, Rfc2231Name& out)
{
    std::map<int, std::pair<ByteString, bool>> sections; // number -> (value, extended)
    for (const auto& line : lines) {
        const ByteString lower = AsciiLower(line);
        size_t from = 0;
        size_t k;
        while ((k = lower.find("filename*", from)) != ByteString::npos) {
            size_t i = k + 9;
            int number = 0;
            bool numbered = false;
            while (i < lower.size() && std::isdigit(static_cast<unsigned char>(lower[i]))) {
                number = number * 10 + (lower[i] - '0');
                numbered = true;
                if (number > 1000)
                    break;
                ++i;
            }
            bool extended = !numbered;
            if (numbered && i < lower.size() && lower[i] == '*') {
                extended = true;
                ++i;
            }
            from = k + 9;
            if (i >= lower.size() || lower[i] != '=')
                continue;
            sections.emplace(numbered ? number : 0, std::make_pair(ParameterValueAt(line, i + 1), extended));
            from = i + 1;
        }
    }
    if (sections.empty())
        return false;
    bool first = true;
    for (const auto& [n, sec] : sections) {
        ByteString value = sec.first;
        if (!out.raw.empty())
            out.raw += ' ';
        out.raw += value;
        if (sec.second && first) {
            size_t q1 = value.find('\'');
            size_t q2 = q1 == ByteString::npos ? ByteString::npos : value.find('\'', q1 + 1);
            if (q2 != ByteString::npos) {
                out.charset = value.substr(0, q1);
                value = value.substr(q2 + 1);
            }
        }
        out.bytes += sec.second ? PercentDecode(value) : value;
        first = false;
    }
    return !out.bytes.empty();
}

} // namespace

long FindNoCase(const ByteString& text, const ByteString& pattern)
{
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    const size_t n = pattern.size();
    if (n == 0)
        return 0;
    if (n > text.size())
        return -1;
    const char first = lower(pattern[0]);
    for (size_t i = 0; i + n <= text.size(); ++i) {
        if (lower(text[i]) != first)
            continue;
        size_t k = 1;
        while (k < n && lower(text[i + k]) == lower(pattern[k]))
            ++k;
        if (k == n)
            return static_cast<long>(i);
    }
    return -1;
}

ByteString ParameterValueAt(const ByteString& line, size_t i)
{
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i < line.size() && line[i] == '"') {
        size_t e = line.find('"', i + 1);
        // A damaged header may lose the closing quote; the name then runs to the end of the line.
        ByteString v = line.substr(i + 1, e == ByteString::npos ? ByteString::npos : e - i - 1);
        return TrimBytes(v);
    }
    size_t e = i;
    while (e < line.size() && line[e] != ';' && line[e] != ' ' && line[e] != '\t')
        ++e;
    ByteString v = line.substr(i, e - i);
    while (!v.empty() && v.back() == '"')
        v.pop_back();
    return v;
}

bool ReadAttachmentHeader(const ByteView& v, size_t pos, std::vector<ByteString>& lines, ByteString& encodingLine,
                          ByteString& fileName, std::u16string& displayName)
{
    lines.clear();
    size_t at = pos;
    for (size_t n = 0; n < kMaxPartHeaderLines; ++n) {
        ByteString line = GetLineText(v, at);
        if (line.empty())
            break;
        at += line.size() + 2;
        lines.push_back(std::move(line));
    }

    bool seenEncoding = false, seenAttachment = false, seenName = false;
    ByteString nameLine;
    for (const auto& line : lines) {
        if (FindNoCase(line, "Content-Transfer-Encoding: ") >= 0) {
            encodingLine = line;
            seenEncoding = true;
        }
        if (FindNoCase(line, "attachment") >= 0)
            seenAttachment = true;
        if (FindNoCase(line, "filename=") >= 0) {
            fileName = line;
            nameLine = line;
            seenName = true;
        } else if (FindNoCase(line, "filename*") >= 0) {
            seenName = true;
        }
        if (seenEncoding && seenAttachment && seenName)
            break;
    }
    if (!(seenEncoding && seenAttachment && seenName))
        return false;

    Rfc2231Name ext;
    if (FindRfc2231Name(lines, ext)) {
        fileName = ext.raw;
        int row = ext.charset.empty() ? -1 : FindEncodeTypeByName(ext.charset);
        displayName = row >= 0 ? g_arrEncodeType[static_cast<size_t>(row)].DecodeText(ext.bytes)
                               : TrimWide(AnsiToWide(ext.bytes));
        return !displayName.empty();
    }
    if (nameLine.empty())
        return false;
    long k = FindNoCase(nameLine, "filename=");
    ByteString name = ParameterValueAt(nameLine, static_cast<size_t>(k) + 9);
    fileName = name;
    ByteString copy = name;
    displayName = DecodeHeaderValue(copy);
    return !displayName.empty();
}

} // namespace vellox
