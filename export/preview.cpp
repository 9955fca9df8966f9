#include "export/preview.h"
#include "mime/charset.h"
#include "mime/codepage.h"
#include "mime/transfer.h"
#include "scan/mailitem.h"

#include <algorithm>
#include <cstdio>

namespace vellox {

namespace {

constexpr size_t npos = ByteString::npos;

// The earliest of several markers at or after `from`, or npos.
size_t FindFirst(const ByteString& hay, const std::vector<ByteString>& needles, size_t from)
{
    size_t best = npos;
    for (const auto& n : needles) {
        if (n.empty())
            continue;
        size_t k = hay.find(n, from);
        if (k < best)
            best = k;
    }
    return best;
}

std::u16string DecodePart(const ByteString& bytes, const ByteString& charset)
{
    if (!charset.empty()) {
        int row = FindEncodeTypeByCharset(charset);
        if (row >= 0) {
            std::u16string s = g_arrEncodeType[static_cast<size_t>(row)].DecodeBytes(bytes);
            if (!s.empty())
                return s;
        }
    }
    return AnsiToWide(bytes);
}

} // namespace

std::u16string HtmlEscape(const std::u16string& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
        case u'&': out += u"&amp;"; break;
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        case u'"': out += u"&quot;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

std::u16string FormatAttachmentSize(uint64_t bytes)
{
    char buf[64];
    if (bytes > 1073741824ull || bytes == 0)
        return {};
    if (bytes > 1048576ull)
        std::snprintf(buf, sizeof buf, "%0.1f MB", static_cast<double>(bytes) / 1024.0 / 1024.0);
    else if (bytes > 1024ull)
        std::snprintf(buf, sizeof buf, "%0.1f KB", static_cast<double>(bytes) / 1024.0);
    else
        std::snprintf(buf, sizeof buf, "%d B", static_cast<int>(bytes));
    return FromUtf8(buf);
}

std::optional<BodyPart> ExtractBodyPart(const ByteString& text, const ByteString& lower, size_t at,
                                        const ByteString& marker, const std::vector<ByteString>& boundaries)
{
    std::vector<ByteString> delimiters;
    for (const auto& b : boundaries)
        if (!b.empty())
            delimiters.push_back("--" + b);
    const size_t m = at < text.size() ? lower.find("\r\n\r\n", at) : npos;
    if (m == npos)
        return std::nullopt;

    // The transfer encoding and charset of this part are in its own header, between `at` and `m`.
    ByteString encoding = "quoted";
    size_t k = lower.find("content-transfer-encoding: ", at);
    if (k != npos && k < m) {
        const size_t eol = lower.find("\r\n", k);
        const size_t v = k + 27;
        if (eol == npos || eol <= v)
            return std::nullopt;
        encoding = lower.substr(v, eol - v);
    }
    BodyPart part;
    size_t c = lower.find("charset=", at);
    if (c != npos && c < m) {
        ByteString value = lower.substr(c + 8, m - c - 8);
        size_t cut = value.find_first_of("\r\n");
        if (cut != npos)
            value.resize(cut);
        part.charset = GetCharsetParam("", "charset=" + value);
    }

    const size_t start = m + 4;
    const size_t searchFrom = std::min(m + 10, text.size());
    size_t end = npos;
    if (encoding == "base64") {
        end = text.find("\r\n\r\n", searchFrom);
        if (end == npos)
            end = FindFirst(text, delimiters, searchFrom);
        if (end == npos)
            end = lower.find("eturn-path", searchFrom);
        if (end == npos)
            return std::nullopt;
        part.bytes = text.substr(start, end > start ? end - start : 0);
        Base64DecodeString(part.bytes);
    } else {
        if (!marker.empty())
            end = lower.find(marker, searchFrom);
        if (end == npos)
            end = FindFirst(text, delimiters, searchFrom);
        if (end == npos)
            end = lower.find("eturn-path", searchFrom);
        if (end == npos) {
            if (encoding.find("quoted") == npos || text.empty())
                return std::nullopt;
            end = text.size() - 1;
        }
        part.bytes = text.substr(start, end > start ? end - start : 0);
        if (encoding.find("quoted") != npos)
            QuotedPrintableDecodeString(part.bytes);
    }
    if (part.bytes.empty())
        return std::nullopt;
    return part;
}

std::u16string BuildPreviewHtml(const tagMailItem& record, const ByteString& text)
{
    const auto snap = record.TakeSnapshot();
    std::u16string block;
    for (const auto& a : snap.attachments)
        block += u"附件： " + HtmlEscape(a.strDisplayName) + u"， 大小 " + FormatAttachmentSize(a.nSize) + u"\r\n";
    if (!block.empty())
        block = u"<pre>" + block + u"\r\n" + std::u16string(60, u'-') + u"\r\n\r\n</pre>";

    const ByteString lower = AsciiLower(text);
    std::vector<ByteString> boundaries{record.strBoundary, record.strInnerBoundary};
    size_t at = lower.find("text/html");
    bool plain = false;
    if (at == npos) {
        at = lower.find("text/plain");
        plain = at != npos;
    }
    if (at != npos && at > 0) {
        auto part = ExtractBodyPart(text, lower, at, "</html>", boundaries);
        if (!part)
            return {};
        std::u16string body = DecodePart(part->bytes, part->charset);
        if (plain)
            body = u"<pre>" + HtmlEscape(body) + u"</pre>";
        return block + body;
    }
    const size_t h = lower.find("\r\n\r\n");
    if (h == npos || h == 0)
        return {};
    size_t e = lower.find("eturn-path", h + 4);
    if (e == npos) {
        std::vector<ByteString> delimiters;
        for (const auto& b : boundaries)
            if (!b.empty())
                delimiters.push_back("--" + b);
        e = FindFirst(text, delimiters, h + 4);
    }
    if (e == npos)
        e = text.size() - 1;
    if (e <= h)
        return {};
    return block + u"<pre>" + HtmlEscape(AnsiToWide(text.substr(h, e - h))) + u"</pre>";
}

} // namespace vellox
