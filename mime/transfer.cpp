#include "mime/transfer.h"
#include "mime/charset.h"
#include "scan/mailitem.h"

#include <array>

namespace vellox {

namespace {

constexpr int kNotBase64 = -1;

constexpr std::array<int8_t, 256> MakeBase64Ranks()
{
    std::array<int8_t, 256> t{};
    for (auto& v : t)
        v = kNotBase64;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = static_cast<int8_t>(c - 'A');
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = static_cast<int8_t>(c - 'a' + 26);
    for (int c = '0'; c <= '9'; ++c)
        t[c] = static_cast<int8_t>(c - '0' + 52);
    t['+'] = 62;
    t['/'] = 63;
    return t;
}
constexpr auto kBase64Rank = MakeBase64Ranks();

int HexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

ByteString QpDecode(const char* data, size_t len, bool underscoreIsSpace)
{
    ByteString out;
    out.reserve(len);
    size_t i = 0;
    while (i < len) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c == '_' && underscoreIsSpace) {
            out.push_back(' ');
            ++i;
            continue;
        }
        if (c != '=') {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        // Soft line break (RFC 2045 section 6.7 rule 5), also with a bare CR or a bare LF line end.
        if (i + 1 < len && data[i + 1] == '\r') {
            i += 2;
            if (i < len && data[i] == '\n')
                ++i;
            continue;
        }
        if (i + 1 < len && data[i + 1] == '\n') {
            i += 2;
            continue;
        }
        int h = i + 1 < len ? HexValue(static_cast<unsigned char>(data[i + 1])) : -1;
        int l = i + 2 < len ? HexValue(static_cast<unsigned char>(data[i + 2])) : -1;
        if (h >= 0 && l >= 0) {
            out.push_back(static_cast<char>(h * 16 + l));
            i += 3;
        } else {
            // Not an escape: keep the '=' as it stands and read on from the next byte.
            out.push_back('=');
            ++i;
        }
    }
    return out;
}

} // namespace

ByteString Base64Decode(const char* data, size_t len)
{
    ByteString out;
    out.reserve(len / 4 * 3 + 3);
    uint32_t group = 0;
    int count = 0;
    for (size_t i = 0; i < len; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c == '=')
            break;
        const int v = kBase64Rank[c];
        if (v == kNotBase64)
            continue;
        group = (group << 6) | static_cast<uint32_t>(v);
        if (++count == 4) {
            out.push_back(static_cast<char>((group >> 16) & 0xFF));
            out.push_back(static_cast<char>((group >> 8) & 0xFF));
            out.push_back(static_cast<char>(group & 0xFF));
            group = 0;
            count = 0;
        }
    }
    if (count == 2) {
        out.push_back(static_cast<char>((group >> 4) & 0xFF));
    } else if (count == 3) {
        out.push_back(static_cast<char>((group >> 10) & 0xFF));
        out.push_back(static_cast<char>((group >> 2) & 0xFF));
    }
    return out;
}

ByteString QuotedPrintableDecode(const char* data, size_t len)
{
    return QpDecode(data, len, false);
}

ByteString QDecode(const char* data, size_t len)
{
    return QpDecode(data, len, true);
}

namespace {
template <typename Decoder> void DecodeInPlace(ByteString& s, Decoder decode)
{
    size_t n = s.find('\0');
    ByteString out = decode(s.data(), n == ByteString::npos ? s.size() : n);
    if (out.empty())
        return;
    size_t z = out.find('\0');
    if (z != ByteString::npos)
        out.resize(z);
    s = std::move(out);
}
} // namespace

void Base64DecodeString(ByteString& s)
{
    DecodeInPlace(s, Base64Decode);
}

void QuotedPrintableDecodeString(ByteString& s)
{
    DecodeInPlace(s, QuotedPrintableDecode);
}

ByteString GetCharsetParam(const ByteString& m, const ByteString& c)
{
    ByteString value;
    if (c.empty()) {
        size_t k = AsciiLower(m).find("charset=");
        if (k != ByteString::npos && k > 0)
            value = m.substr(k + 8);
    } else {
        size_t k = AsciiLower(c).find("charset=");
        if (k != ByteString::npos)
            value = TrimBytes(c.substr(k + 8));
    }
    while (!value.empty() && value.back() == ';')
        value.pop_back();
    while (!value.empty() && value.back() == '"')
        value.pop_back();
    while (!value.empty() && value.front() == '"')
        value.erase(0, 1);
    return AsciiLower(TrimBytes(value));
}

void DecodeBody(tagMailItem& item)
{
    item.bBodyDecoded = true;
    if (item.strBody.empty())
        return;
    const ByteString enc =
        AsciiLower(item.strPartTransferEncoding.empty() ? item.strTransferEncoding : item.strPartTransferEncoding);
    if (enc.find("base64") != ByteString::npos)
        Base64DecodeString(item.strBody);
    else if (enc.find("quoted-printable") != ByteString::npos)
        QuotedPrintableDecodeString(item.strBody);

    const ByteString charset = GetCharsetParam(item.strContentType, item.strPartContentType);
    item.strBodyText.clear();
    if (!charset.empty()) {
        int row = FindEncodeTypeByCharset(charset);
        if (row >= 0)
            item.strBodyText = g_arrEncodeType[static_cast<size_t>(row)].DecodeText(item.strBody);
    }
    if (item.strBodyText.empty())
        item.strBodyText = AnsiToWide(item.strBody);
}

} // namespace vellox
