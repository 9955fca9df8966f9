#include "scan/blockscanner.h"
#include "mime/transfer.h"
#include "scan/scanhost.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vellox {

tagMailItem* g_pCurMail = nullptr;

namespace {

bool IsZeroSector(const uint8_t* p)
{
    uint64_t acc = 0;
    for (size_t i = 0; i < 512; i += 32) {
        uint64_t w[4];
        std::memcpy(w, p + i, sizeof w);
        acc |= w[0] | w[1] | w[2] | w[3];
        if (acc)
            return false;
    }
    return acc == 0;
}

// Offset of the first CR or 0x02 byte in p[0, n), or n.
size_t FindLineEndOrBlockMark(const uint8_t* p, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i mark = _mm_set1_epi8(0x02);
    for (; i + 16 <= n; i += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(b, cr), _mm_cmpeq_epi8(b, mark)));
        if (hits)
            return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(hits)));
    }
#endif
    for (; i < n; ++i)
        if (p[i] == '\r' || p[i] == 0x02)
            return i;
    return n;
}

} // namespace

CBlockScanner::CBlockScanner(IScanHost* host, const std::atomic<int>* stop) : m_host(host), m_stop(stop) {}

void CBlockScanner::NewCandidate(size_t q, uint64_t firstSector)
{
    ++m_candidates;
    m_header.Reset();
    m_header.bInHeader = true;
    m_header.nStartOffset = static_cast<uint16_t>(q % 512);
    m_header.nStartSector = firstSector + q / 512;
    EndCurrentRecord();
}

void CBlockScanner::EndCurrentRecord()
{
    if (tagMailItem* cur = g_pCurMail) {
        std::lock_guard<std::mutex> lock(cur->m_lock);
        if (cur->bInTextPart && !cur->bBodyDecoded)
            DecodeBody(*cur);
        if (cur->bInAttachment)
            EndAttachment(*cur);
        MergeAttachmentsLocked(*cur);
    }
    g_pCurMail = nullptr;
}

size_t CBlockScanner::HandleLine(ByteView& v, size_t q, uint64_t firstSector)
{
    if (MatchKeyword(v, q, kReceived)) {
        NewCandidate(q, firstSector);
        return q + kReceived.len;
    }
    if (m_header.bInHeader && firstSector + q / 512 > m_header.nStartSector + kMaxHeaderSectors)
        m_header.Reset();

    long k = 0;
    if (m_header.bInHeader) {
        CutBlockHeader(v, q);
        ParseHeaderLine(v, q, k);
        if (k != 0)
            return q + static_cast<size_t>(k) + 1;
    }
    // A line nobody took: the walk goes on one byte into it, except that an empty line's own CR LF must
    // stay visible, or a message right behind an empty line would never be seen.
    const size_t untaken = (v.at(q) == '\r' && v.at(q + 1) == '\n') ? q : q + 1;
    tagMailItem* cur = g_pCurMail;
    if (!cur)
        return untaken;
    const size_t lineStart = q;
    {
        std::lock_guard<std::mutex> lock(cur->m_lock);
        if (!(cur->bInTextPart || cur->strBody.empty() || cur->bInAttachment))
            return untaken;
        CutBlockHeader(v, q);
        if (!cur->bInAttachment) {
            TrackTextPart(v, q, k);
            q = static_cast<size_t>(static_cast<long>(q) + k);
            k = 0;
        }
        TrackAttachmentPart(v, q, k);
    }
    if (k == 0 && q == lineStart)
        return untaken;
    size_t next = static_cast<size_t>(std::max<long>(static_cast<long>(q) + k + 1, static_cast<long>(lineStart) - 1));
    // The trackers may consume several lines; never jump over the line that opens the next message.
    const size_t searchEnd = next >= 2 ? std::min(next - 2, v.size) : 0;
    for (size_t c = lineStart; c < searchEnd;) {
        const void* hit = std::memchr(v.data + c, '\r', searchEnd - c);
        if (!hit)
            break;
        c = static_cast<size_t>(static_cast<const uint8_t*>(hit) - v.data);
        if (v.at(c + 1) == '\n' && MatchKeyword(v, c + 2, kReceived))
            return c;
        ++c;
    }
    return next;
}

void CBlockScanner::ScanBlock(ByteView v, size_t len, uint64_t firstSector)
{
    len = std::min(len, v.size);
    size_t p = m_carry;
    m_carry = 0;
    while (p < len) {
        if (m_stop && m_stop->load(std::memory_order_relaxed))
            return;
        if ((p & 511) == 0) {
            if (p + 512 <= v.size && IsZeroSector(v.data + p)) {
                p += 512;
                continue;
            }
            // A message that begins a sector (a file that starts a cluster) has no line end before it.
            const uint8_t c = v.data[p];
            if (m_extraLineStarts && c != '\r' && c != '\n' && MatchKeyword(v, p, kReceived)) {
                NewCandidate(p, firstSector);
                p += kReceived.len;
                continue;
            }
        }
        const size_t lim = std::min((p | 511) + 1, len);
        // One pass finds both kinds of event: a CR (a line end) and a 0x02 (byte 5 of a .dbx block header).
        const size_t x = p + FindLineEndOrBlockMark(v.data + p, lim - p);
        if (x >= lim) {
            p = lim;
            continue;
        }
        if (v.data[x] == 0x02) {
            // A .dbx message begins right behind its block header, without a line end before it.
            const size_t h = x - 5;
            if (m_extraLineStarts && x >= 5 && (h & 3) == 0 && IsBlockHeaderAt(v, h) && MatchKeyword(v, h + kBlockHeaderSize, kReceived)) {
                NewCandidate(h + kBlockHeaderSize, firstSector);
                p = h + kBlockHeaderSize + kReceived.len;
            } else {
                p = x + 1;
            }
            continue;
        }
        if (v.at(x + 1) != '\n') {
            p = x + 1;
            continue;
        }
        const size_t next = HandleLine(v, x + 2, firstSector);
        p = std::max(next, x + 1);
    }
    if (p > len)
        m_carry = p - len;
}

} // namespace vellox
