#include "scan/lines.h"

#include <algorithm>

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
    if (pos >= v.size)
        return 0;
    // Three vectorised searches beat one byte loop: CR first, then LF and NUL before it.
    const uint8_t* p = v.data + pos;
    size_t n = v.size - pos;
    if (const void* cr = std::memchr(p, '\r', n))
        n = static_cast<size_t>(static_cast<const uint8_t*>(cr) - p);
    if (const void* lf = std::memchr(p, '\n', n))
        n = static_cast<size_t>(static_cast<const uint8_t*>(lf) - p);
    if (const void* nul = std::memchr(p, 0, n))
        n = static_cast<size_t>(static_cast<const uint8_t*>(nul) - p);
    return n;
}

bool CutBlockHeader(ByteView& v, size_t& q)
{
    const size_t a = (q + 3) & ~static_cast<size_t>(3);
    const size_t last = a + kBlockHeaderReach - 4; // last position tested
    if (a + 5 >= v.size)
        return false;
    // Only positions whose byte 5 is 0x02 can begin a header; find those with memchr.
    size_t x = a + 5;
    const size_t end = std::min(last + 6, v.size);
    while (x < end) {
        const void* hit = std::memchr(v.data + x, 0x02, end - x);
        if (!hit)
            return false;
        x = static_cast<size_t>(static_cast<const uint8_t*>(hit) - v.data);
        const size_t h = x - 5;
        if ((h & 3) == 0) {
            if (h + kBlockHeaderSize > v.size)
                return false;
            if (IsBlockHeaderAt(v, h)) {
                std::memmove(v.data + q + kBlockHeaderSize, v.data + q, h - q);
                q += kBlockHeaderSize;
                return true;
            }
        }
        ++x;
    }
    return false;
}

} // namespace vellox
