#include "export/reread.h"
#include "mime/encodedword.h"
#include "mime/headerparam.h"
#include "mime/maildate.h"
#include "scan/lines.h"
#include "scan/mailitem.h"
#include "scan/scanrun.h"
#include "source/disk.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace vellox {

namespace {

bool Stopped(const std::atomic<int>* stop)
{
    return stop && stop->load(std::memory_order_relaxed) != 0;
}

ByteView ViewOf(const ByteString& s)
{
    return ByteView{reinterpret_cast<uint8_t*>(const_cast<char*>(s.data())), s.size()};
}

bool AtTrace(const ByteView& v, size_t p)
{
    return MatchKeyword(v, p, kReceived) || MatchKeyword(v, p, kDeliveredTo) || MatchKeyword(v, p, kReturnPath);
}

// Length of the shortest trace keyword: the scan resumes this far behind a trace line's start.
constexpr size_t kTraceSkip = 10;
// NUL bytes never occur in a message (RFC 5322 section 2.3); a run of them is the slack behind it.
constexpr size_t kNulRun = 4;

// Where a message really ends when what follows it is not another message: behind the closing delimiter
// of its outermost boundary, or at the first run of NUL bytes after its header; else at `end`.
size_t TrimTail(const ByteString& j, size_t begin, size_t end, const ByteString& boundary)
{
    if (!boundary.empty()) {
        const ByteString close = "--" + boundary + "--";
        size_t c = j.find(close, begin);
        if (c != ByteString::npos && c < end) {
            size_t e = c + close.size();
            while (e < end && j[e] != '\r' && j[e] != '\n' && j[e] != '\0')
                ++e;
            if (e < end && j[e] == '\r')
                ++e;
            if (e < end && j[e] == '\n')
                ++e;
            return e;
        }
    }
    size_t bodyStart = j.find("\r\n\r\n", begin);
    if (bodyStart == ByteString::npos || bodyStart >= end)
        bodyStart = begin;
    for (size_t i = bodyStart; i < end; ++i) {
        if (j[i] != '\0')
            continue;
        size_t r = i;
        while (r < end && j[r] == '\0')
            ++r;
        if (r - i >= kNulRun || r == end)
            return i;
        i = r;
    }
    return end;
}

} // namespace

ByteString JoinBlocks(const uint8_t* raw, size_t len, const std::atomic<int>* stop, size_t rawMark,
                      size_t* joinedMark)
{
    ByteString joined;
    joined.reserve(len);
    size_t t = 0, last = 0;
    auto mark = [&](size_t from, size_t to) {
        if (joinedMark && rawMark < to && rawMark + kBlockHeaderSize >= from)
            *joinedMark = joined.size() + (rawMark > from ? rawMark - from : 0);
    };
    if (joinedMark)
        *joinedMark = SIZE_MAX;
    while (t < len && !Stopped(stop)) {
        if (t + 7 < len && raw[t + 5] == 0x02 && raw[t + 6] == 0 && raw[t + 7] == 0) {
            if (t > last) {
                mark(last, t);
                joined.append(reinterpret_cast<const char*>(raw + last), t - last);
                if (t > 4 && t + 15 < len && raw[t - 2] == raw[t + 14] && raw[t - 1] == raw[t + 15] &&
                    raw[t - 4] != raw[t + 12]) {
                    const size_t n = std::min<size_t>(4, joined.size());
                    std::memset(joined.data() + joined.size() - n, ' ', n);
                }
            }
            last = t + kBlockHeaderSize;
            t += kBlockHeaderSize;
        }
        t += 2;
    }
    t = std::min(t, len);
    if (t > last) {
        mark(last, t);
        joined.append(reinterpret_cast<const char*>(raw + last), t - last);
    }
    return joined;
}

bool LocateMessage(const ByteString& j, const tagMailItem& rec, const std::atomic<int>* stop, size_t& begin,
                   size_t& end, bool& reachedEnd)
{
    const ByteView v = ViewOf(j);
    const size_t N = j.size();
    std::vector<ByteString> boundaries;
    if (!rec.strBoundary.empty())
        boundaries.push_back(rec.strBoundary);

    // Locating pass: the message whose From, To and Date lines equal the record's.
    bool found = false, inBody = false;
    long start = -1;
    size_t i = 0, e = N;
    bool endedAtTrace = false;
    while (i < N) {
        if (Stopped(stop)) {
            e = i;
            break;
        }
        if (!(j[i] == '\r' && i + 1 < N && j[i + 1] == '\n')) {
            ++i;
            continue;
        }
        size_t p = i + 2;
        bool toSeparator = false;
        if (!found) {
            if (AtTrace(v, p)) {
                start = static_cast<long>(p);
                found = true;
                inBody = false;
                p += kTraceSkip;
                toSeparator = true;
            }
        } else {
            bool reset = false;
            // Header lines are compared only in the header: a body may quote other messages' headers.
            if (!inBody) {
                if (MatchKeyword(v, p, kFrom)) {
                    ByteString val = GetHeaderValue(v, p + kFrom.len);
                    DecodeHeaderValue(val);
                    reset = val != rec.strFrom;
                } else if (MatchKeyword(v, p, kTo)) {
                    ByteString val = GetHeaderValue(v, p + kTo.len);
                    DecodeHeaderValue(val);
                    reset = val != rec.strTo;
                } else if (MatchKeyword(v, p, kDate)) {
                    ByteString val = GetHeaderValue(v, p + kDate.len);
                    NormalizeMailDate(val);
                    reset = val != rec.strDate;
                }
            }
            if (reset) {
                found = false;
                inBody = false;
                start = -1;
                i = p;
                continue;
            }
            if (!inBody) {
                toSeparator = true;
            } else if (AtTrace(v, p)) {
                e = p;
                endedAtTrace = true;
                break;
            }
        }
        if (toSeparator) {
            if (rec.strBoundary.empty()) {
                if (v.at(p) == '\r' && v.at(p + 1) == '\n')
                    inBody = true;
            } else if (MatchKeyword(v, p + 2, rec.strBoundary.data(), rec.strBoundary.size())) {
                inBody = true;
            }
        }
        // Boundary test: a delimiter line may introduce a nested multipart whose boundary joins the list.
        const ByteString line = GetLineText(v, p);
        size_t next = p;
        if (!line.empty() && !boundaries.empty()) {
            bool hit = false;
            for (const auto& b : boundaries) {
                size_t at = line.find(b);
                if (at != ByteString::npos && at > 0) {
                    hit = true;
                    break;
                }
            }
            if (hit) {
                const size_t l2 = p + line.size() + 2;
                const ByteString line2 = GetLineText(v, l2);
                next = p + line.size();
                if (StartsWith(line2, "Content-Type: ") && Contains(line2, "multipart")) {
                    ByteString nb;
                    long bi = FindNoCase(line2, "boundary=");
                    if (bi >= 0) {
                        nb = ParameterValueAt(line2, static_cast<size_t>(bi) + 9);
                        next = l2 + line2.size();
                    } else {
                        const size_t l3 = l2 + line2.size() + 2;
                        const ByteString line3 = GetLineText(v, l3);
                        size_t jb = line3.find("boundary=");
                        if (jb != ByteString::npos && jb > 0) {
                            nb = ParameterValueAt(line3, jb + 9);
                            next = l3 + line3.size();
                        } else {
                            next = l2 + line2.size();
                        }
                    }
                    if (!nb.empty() && std::find(boundaries.begin(), boundaries.end(), nb) == boundaries.end())
                        boundaries.push_back(nb);
                }
            }
        }
        i = std::max(next, i + 1);
    }
    if (found && inBody && start >= 0 && e > static_cast<size_t>(start)) {
        begin = static_cast<size_t>(start);
        end = TrimTail(j, begin, e, rec.strBoundary);
        reachedEnd = !endedAtTrace && end == N;
        return true;
    }

    // Fallback pass: the first message-like run of lines in the window.
    bool inTrace = false, seenEmpty = false;
    start = -1;
    e = N;
    endedAtTrace = false;
    i = 0;
    while (i < N) {
        if (Stopped(stop)) {
            e = i;
            break;
        }
        if (!(j[i] == '\r' && i + 1 < N && j[i + 1] == '\n')) {
            ++i;
            continue;
        }
        size_t p = i + 2;
        if (!inTrace) {
            if (AtTrace(v, p)) {
                start = static_cast<long>(p);
                inTrace = true;
                seenEmpty = false;
                p += kTraceSkip;
                if (v.at(p) == '\r' && v.at(p + 1) == '\n')
                    seenEmpty = true;
            }
        } else if (!seenEmpty) {
            if (v.at(p) == '\r' && v.at(p + 1) == '\n')
                seenEmpty = true;
        } else if (AtTrace(v, p)) {
            e = p;
            endedAtTrace = true;
            break;
        }
        i = std::max(p, i + 1);
    }
    if (inTrace && seenEmpty && start >= 0 && e > static_cast<size_t>(start)) {
        begin = static_cast<size_t>(start);
        end = TrimTail(j, begin, e, ByteString());
        reachedEnd = !endedAtTrace && end == N;
        return true;
    }
    return false;
}

namespace {

// The record knows exactly where its opening trace line lies, so the search starts there: a message with
// the same From, To and Date just before it is not taken for it, and a message stored right behind a .dbx
// block header (no line end before it) is found. Trace lines directly above belong to the message too.
bool LocateOwnMessage(const ByteString& j, size_t own, const tagMailItem& rec, const std::atomic<int>* stop,
                      size_t& begin, size_t& end, bool& reachedEnd)
{
    if (own >= j.size())
        return false;
    const ByteView v = ViewOf(j);
    if (!MatchKeyword(v, own, kReceived))
        return false;
    size_t back = own;
    for (int n = 0; n < 32 && back >= 2 && j[back - 2] == '\r' && j[back - 1] == '\n'; ++n) {
        size_t prev = back - 2;
        while (prev > 0 && j[prev - 1] != '\r' && j[prev - 1] != '\n' && j[prev - 1] != '\0')
            --prev;
        if (!AtTrace(v, prev))
            break;
        back = prev;
    }
    const ByteString view = "\r\n" + j.substr(back);
    size_t b = 0, e = 0;
    if (!LocateMessage(view, rec, stop, b, e, reachedEnd) || b != 2)
        return false;
    begin = back + b - 2;
    end = back + e - 2;
    return true;
}

} // namespace

bool ReReadMessage(const tagMailItem& rec, ISectorSource* source, const std::atomic<int>* stop, ByteString& text)
{
    text.clear();
    std::unique_ptr<CDisk> own;
    if (!source) {
        own = std::make_unique<CDisk>();
        if (!own->Open(g_strDataSource))
            return false;
        source = own.get();
    }
    uint64_t attachments = 0;
    {
        std::lock_guard<std::mutex> lock(rec.m_lock);
        auto add = [&](const AttachmentArray* a) {
            if (a)
                for (const auto& x : *a)
                    attachments = std::min(attachments + x.nSize, kMaxAttachmentSum);
        };
        add(rec.pAttachments.get());
        add(rec.pPendingAttachments.get());
    }
    const uint64_t first = rec.nStartSector >= 2 ? rec.nStartSector - 2 : 0;
    const uint64_t sectors = source->GetSectorCount();
    const uint64_t available = sectors > first ? (sectors - first) * kSectorSize : 0;
    uint64_t window = (2 * attachments + kBaseReadWindow) / kSectorSize * kSectorSize;

    for (;;) {
        const uint64_t len = std::min(window, std::max<uint64_t>(available, kSectorSize));
        std::unique_ptr<uint8_t[]> raw(new (std::nothrow) uint8_t[len + 1024]());
        if (!raw)
            return false;
        uint64_t o = 0;
        for (; o < len && !Stopped(stop); o += 65536) {
            const uint64_t n = std::min<uint64_t>(65536, len - o);
            if (!source->ReadSectors(raw.get() + o, n, first + o / kSectorSize)) {
                // A short read at the end of the source leaves zeros, which end the search.
                std::memset(raw.get() + o, 0, n);
            }
        }
        const size_t ownRaw = (rec.nStartSector - first) * kSectorSize + rec.nStartOffset;
        size_t own = SIZE_MAX;
        const ByteString joined = JoinBlocks(raw.get(), std::min(o, len), stop, ownRaw, &own);
        raw.reset();
        size_t b = 0, e = 0;
        bool reachedEnd = false;
        if (!LocateOwnMessage(joined, own, rec, stop, b, e, reachedEnd) &&
            !LocateMessage(joined, rec, stop, b, e, reachedEnd))
            return true;
        // The message runs on past the window: its attachment sizes were wrong or missing. Read further.
        if (reachedEnd && len < available && window < kMaxReadWindow && !Stopped(stop)) {
            window = std::min(window * 4, kMaxReadWindow);
            continue;
        }
        text.assign(joined, b, e - b);
        for (auto& c : text)
            if (static_cast<unsigned char>(c) <= 0x07)
                c = ' ';
        return true;
    }
}

} // namespace vellox
