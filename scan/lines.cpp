#include "scan/lines.h"

namespace vellox {

namespace {

inline uint8_t AsciiLowerByte(uint8_t c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c;
}

// Length of the run at pos up to the first byte for which `ends` holds, or kMaxLine + 1 when no such byte
// occurs within the first 512. The end of the view ends a run like a NUL.
template <typename Ends> size_t RunLength(const ByteView& v, size_t pos, Ends ends)
{
    if (pos >= v.size)
        return 0;
    const size_t avail = v.size - pos;
    const size_t lim = avail < kMaxLine + 1 ? avail : kMaxLine + 1;
    const uint8_t* p = v.data + pos;
    for (size_t i = 0; i < lim; ++i)
        if (ends(p[i]))
            return i;
    return lim == avail ? avail : kMaxLine + 1;
}

} // namespace

bool MatchKeyword(const ByteView& v, size_t pos, const char* kw, size_t len)
{
    if (pos > v.size || v.size - pos < len)
        return false;
    const uint8_t* p = v.data + pos;
    for (size_t i = 0; i < len; ++i) {
        if (p[i] == 0)
            return false;
        if (AsciiLowerByte(p[i]) != AsciiLowerByte(static_cast<uint8_t>(kw[i])))
            return false;
    }
    return true;
}

bool MatchKeyword(const ByteView& v, size_t pos, const Keyword& kw)
{
    return MatchKeyword(v, pos, kw.text, kw.len);
}

ByteString GetLineText(const ByteView& v, size_t pos)
{
    size_t n = RunLength(v, pos, [](uint8_t c) { return c == '\r' || c == '\n' || c == 0; });
    if (n == 0 || n > kMaxLine)
        return {};
    return ByteString(reinterpret_cast<const char*>(v.data + pos), n);
}

ByteString GetHeaderValue(const ByteView& v, size_t pos)
{
    size_t n = RunLength(v, pos, [](uint8_t c) { return c < 0x0E; });
    if (n == 0 || n > kMaxLine)
        return {};
    return ByteString(reinterpret_cast<const char*>(v.data + pos), n);
}

size_t LineLength(const ByteView& v, size_t pos)
{
    size_t i = pos;
    while (i < v.size) {
        uint8_t c = v.data[i];
        if (c == '\r' || c == '\n' || c == 0)
            break;
        ++i;
    }
    return i - pos;
}

bool CutBlockHeader(ByteView& v, size_t& q)
{
    const size_t a = (q + 3) & ~static_cast<size_t>(3);
    for (size_t h = a; h < a + kBlockHeaderReach; h += 4) {
        if (h + kBlockHeaderSize > v.size)
            return false;
        if (IsBlockHeaderAt(v, h)) {
            std::memmove(v.data + q + kBlockHeaderSize, v.data + q, h - q);
            q += kBlockHeaderSize;
            return true;
        }
    }
    return false;
}

} // namespace vellox
