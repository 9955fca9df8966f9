// Header recognition and record assembly: the lines after a "Received: " line fill the header state, and
// the empty line that ends the header block (or the first boundary line) makes the record once From, To
// and Date have been seen.
#include "mime/charset.h"
#include "mime/encodedword.h"
#include "mime/headerparam.h"
#include "mime/maildate.h"
#include "scan/blockscanner.h"
#include "scan/scanhost.h"
#include "scan/scanrun.h"

#include <cstdlib>

namespace vellox {

namespace {

// Folded continuation lines (RFC 5322 section 2.2.3) that may follow a header value.
constexpr int kMaxFoldedLines = 16;

bool IsWsp(uint8_t c)
{
    return c == ' ' || c == '\t';
}

// Start of the folded line that follows a value ending at `end`, or 0 when the next line is not folded.
size_t FoldedLineAt(const ByteView& v, size_t end)
{
    if (v.at(end) != '\r' || v.at(end + 1) != '\n' || !IsWsp(v.at(end + 2)))
        return 0;
    size_t w = end + 2;
    while (IsWsp(v.at(w)))
        ++w;
    return w;
}

ByteString TrimCrLf(const ByteString& s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == '\r' || s[b] == '\n'))
        ++b;
    while (e > b && (s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return s.substr(b, e - b);
}

std::u16string TrimCrLf(const std::u16string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == u'\r' || s[b] == u'\n'))
        ++b;
    while (e > b && (s[e - 1] == u'\r' || s[e - 1] == u'\n'))
        --e;
    return s.substr(b, e - b);
}

// The boundary parameter in a value, or "" (RFC 2046 section 5.1.1; quoted or not).
bool BoundaryIn(const ByteString& value, ByteString& boundary, long* at = nullptr)
{
    long i = FindNoCase(value, "boundary=");
    if (i < 0)
        return false;
    ByteString b = ParameterValueAt(value, static_cast<size_t>(i) + 9);
    if (b.empty())
        return false;
    boundary = b;
    if (at)
        *at = i;
    return true;
}

} // namespace

void CBlockScanner::ParseHeaderLine(ByteView& v, size_t L, long& k)
{
    tagMailHeader& H = m_header;
    auto take = [&](const Keyword& kw, ByteString& field) {
        if (!field.empty() || !MatchKeyword(v, L, kw))
            return false;
        field = GetHeaderValue(v, L + kw.len);
        k += static_cast<long>(kw.len + field.size()) - 1;
        return true;
    };

    if (take(kFrom, H.from) || take(kTo, H.to))
        return;
    if (H.subject.empty() && MatchKeyword(v, L, kSubject)) {
        ByteString s = GetHeaderValue(v, L + kSubject.len);
        size_t end = L + kSubject.len + s.size();
        // Long subjects are folded over several lines; only lines that begin with white space belong to it.
        for (int n = 0; n < kMaxFoldedLines; ++n) {
            size_t w = FoldedLineAt(v, end);
            if (!w)
                break;
            ByteString more = GetHeaderValue(v, w);
            if (more.empty())
                break;
            s += ' ';
            s += more;
            end = w + more.size();
        }
        H.subject = s;
        k += static_cast<long>(end - L) - 1;
        return;
    }
    if (take(kDate, H.date) || take(kPriority, H.priority))
        return;
    if (H.contentType.empty() && MatchKeyword(v, L, kContentType)) {
        const ByteString value = GetHeaderValue(v, L + kContentType.len);
        k += static_cast<long>(kContentType.len + value.size()) - 1;
        H.contentType = value;
        long i = 0;
        if (BoundaryIn(value, H.boundary, &i)) {
            // The type without its boundary parameter and the separator before it.
            H.contentType = value.substr(0, i > 0 ? static_cast<size_t>(i) - 1 : 0);
            return;
        }
        // Parameters often follow on folded lines: a boundary there, or a charset, which joins the type.
        size_t end = L + kContentType.len + value.size();
        bool charsetTaken = false;
        for (int n = 0; n < kMaxFoldedLines; ++n) {
            size_t w = FoldedLineAt(v, end);
            if (!w)
                break;
            ByteString more = GetHeaderValue(v, w);
            if (more.empty())
                break;
            if (BoundaryIn(more, H.boundary))
                return;
            if (!charsetTaken && FindNoCase(more, "charset=") >= 0) {
                H.contentType += AsciiLower(more);
                charsetTaken = true;
            }
            end = w + more.size();
        }
        return;
    }
    if (take(kTransferEncoding, H.transferEncoding) || take(kCc, H.cc))
        return;
    if (v.at(L) == '\r' && v.at(L + 1) == '\n') {
        if (H.HasAddressAndDate())
            MakeRecord();
        return;
    }
    if (v.at(L) == '-' && v.at(L + 1) == '-' && !H.boundary.empty() &&
        MatchKeyword(v, L + 2, H.boundary.data(), H.boundary.size())) {
        k += static_cast<long>(H.boundary.size()) + 1;
        if (H.HasAddressAndDate()) {
            const size_t part = L + H.boundary.size() + 4;
            const ByteString p = GetHeaderValue(v, part);
            if (StartsWith(p, "Content-Type: multipart") && !BoundaryIn(p, H.innerBoundary)) {
                const ByteString q = GetHeaderValue(v, part + p.size() + 3);
                BoundaryIn(q, H.innerBoundary);
            }
            MakeRecord();
        }
        return;
    }
    if (MatchKeyword(v, L, kXAttachment)) {
        const ByteString a = GetHeaderValue(v, L + kXAttachment.len);
        size_t comma = a.find(',');
        if (comma == ByteString::npos || comma == 0)
            return;
        ByteString name = a.substr(0, comma);
        const long long size = std::atoll(comma + 2 <= a.size() ? a.c_str() + comma + 2 : "");
        std::u16string display = DecodeHeaderValue(name);
        if (!name.empty() && size > 0)
            H.attachments.push_back({name, display, {}, static_cast<uint64_t>(size)});
    }
}

tagMailItem* CBlockScanner::BuildMailItem()
{
    const tagMailHeader& H = m_header;
    auto* item = new (std::nothrow) tagMailItem;
    if (!item)
        return nullptr;
    item->strSubject = H.subject;
    item->strFrom = H.from;
    item->strTo = H.to;
    item->strCc = H.cc;
    item->strDate = H.date;
    item->strBoundary = H.boundary;
    item->strContentType = H.contentType;
    item->strTransferEncoding = H.transferEncoding;
    item->strInnerBoundary = H.innerBoundary;
    item->nStartSector = H.nStartSector;
    item->nStartOffset = H.nStartOffset;
    item->nPriority = static_cast<int16_t>(std::atoi(H.priority.c_str()));
    if (!H.attachments.empty())
        item->pAttachments = std::make_unique<AttachmentArray>(H.attachments);
    return item;
}

void CBlockScanner::MakeRecord()
{
    tagMailItem* item = BuildMailItem();
    if (item) {
        item->strFromText = DecodeHeaderValue(item->strFrom);
        item->strToText = DecodeHeaderValue(item->strTo);
        item->strSubjectText = DecodeHeaderValue(item->strSubject);
        NormalizeMailDate(item->strDate);
        item->strSubject = TrimCrLf(item->strSubject);
        item->strSubjectText = TrimCrLf(item->strSubjectText);
        if (item->strSubjectText.empty())
            item->strSubjectText = kNoSubjectText;
        AddMailItem(item);
        g_pCurMail = item;
        ++m_records;
        if (m_host)
            m_host->AddMailToInbox(item);
        g_nMailCount.fetch_add(1);
        if (m_host)
            m_host->SetStatusText(BuildStatusText());
        g_bUnsaved = 1;
    }
    m_header.Reset();
}

} // namespace vellox
