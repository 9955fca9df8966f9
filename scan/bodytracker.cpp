// Body and part tracking for the current record: the plain-text part's lines are collected into strBody,
// attachment parts are followed to learn their names and decoded sizes, and a new message ends the record.
#include "mime/charset.h"
#include "mime/headerparam.h"
#include "mime/transfer.h"
#include "scan/blockscanner.h"

#include <string_view>

namespace vellox {

namespace {

// A body line: everything up to CR, LF or NUL, TABs and long lines included (bounded by the view).
// Returned as a view into the chunk: attachment data lines are only counted, never copied.
std::string_view BodyLine(const ByteView& v, size_t pos)
{
    if (pos >= v.size)
        return {};
    return std::string_view(reinterpret_cast<const char*>(v.data + pos), LineLength(v, pos));
}

// Whether `line` holds `boundary` after its first byte (a delimiter line is "--" boundary).
bool HoldsBoundary(std::string_view line, const ByteString& boundary)
{
    if (boundary.empty())
        return false;
    size_t i = line.find(boundary);
    return i != ByteString::npos && i >= 1;
}

bool EndsPartAtNewMessage(const ByteView& v, size_t at, std::string_view line)
{
    return (v.at(at) == 'D' && v.at(at + 1) == 'e' && line.substr(0, 14) == "Delivered-To: ") ||
           (v.at(at) == 'R' && v.at(at + 1) == 'e' && line.substr(0, 10) == "Received: ");
}

} // namespace

void CBlockScanner::OpenAttachment(tagMailItem& item, const ByteView& v, size_t boundaryLine)
{
    ByteString encoding, name;
    std::u16string display;
    if (!ReadAttachmentHeader(v, boundaryLine, m_lineArray, encoding, name, display))
        return;
    if (!item.pPendingAttachments)
        item.pPendingAttachments = std::make_unique<AttachmentArray>();
    item.pPendingAttachments->push_back({name, display, encoding, 0});
    item.bInAttachment = true;
    item.bInAttachmentData = false;
    item.nAttachmentDataBytes = 0;
    item.attachmentCounter = Base64Counter();
}

void CBlockScanner::EndAttachment(tagMailItem& item)
{
    if (item.pPendingAttachments && !item.pPendingAttachments->empty()) {
        tagAttachment& a = item.pPendingAttachments->back();
        if (FindNoCase(a.strEncodingLine, "base64") >= 1)
            a.nSize = item.attachmentCounter.Total();
    }
    item.bInAttachmentData = false;
    item.bInAttachment = false;
    item.nAttachmentDataBytes = 0;
    item.attachmentCounter = Base64Counter();
}

void CBlockScanner::TrackTextPart(ByteView& v, size_t L, long& k)
{
    tagMailItem* cur = g_pCurMail;
    if (!cur)
        return;
    tagMailItem& m = *cur;
    size_t n = 0;
    while (v.at(L + n) == '\r' || v.at(L + n) == '\n')
        ++n;
    const size_t P = L + n;
    long kk = 0; // from P

    if (!m.bInTextPart && !m.strBoundary.empty()) {
        // Multipart: look for the first text/plain part behind a delimiter line.
        const ByteString* b = nullptr;
        if (MatchKeyword(v, P + 2, m.strBoundary.data(), m.strBoundary.size()))
            b = &m.strBoundary;
        else if (!m.strInnerBoundary.empty() &&
                 MatchKeyword(v, P + 2, m.strInnerBoundary.data(), m.strInnerBoundary.size()))
            b = &m.strInnerBoundary;
        if (!b) {
            k += static_cast<long>(n);
            return;
        }
        kk = static_cast<long>(b->size()) + 4;
        if (MatchKeyword(v, P + kk, kContentType)) {
            const ByteString ctRaw = GetHeaderValue(v, P + kk + kContentType.len);
            const ByteString ct = AsciiLower(ctRaw);
            kk += static_cast<long>(kContentType.len + 2 + ct.size());
            if (StartsWith(ct, "text/plain")) {
                m.bInTextPart = true;
                m.strPartContentType = ct;
                ByteString x = GetHeaderValue(v, P + kk);
                size_t e = 0;
                if (x.empty()) {
                    x = GetHeaderValue(v, P + kk + 1);
                    e = 1;
                }
                const ByteString y = AsciiLower(GetHeaderValue(v, P + kk + x.size() + e + 2));
                if (FindNoCase(x, "charset") < 0 && Contains(y, "charset"))
                    x = x + "\r\n" + y;
                if (FindNoCase(x, "charset") >= 0) {
                    m.strPartContentType += x;
                    kk += static_cast<long>(x.size()) + 2;
                    if (v.at(P + kk) == '\n')
                        ++kk;
                } else if (x.compare(0, kTransferEncoding.len, kTransferEncoding.text) == 0) {
                    m.strPartTransferEncoding = AsciiLower(x.substr(kTransferEncoding.len));
                }
            } else if (m.strInnerBoundary.empty() && StartsWith(ct, "multipart")) {
                ByteString inner;
                long bi = FindNoCase(ctRaw, "boundary=");
                if (bi >= 0) {
                    inner = ParameterValueAt(ctRaw, static_cast<size_t>(bi) + 9);
                } else {
                    const ByteString z = GetHeaderValue(v, P + kk + 1);
                    long zi = FindNoCase(z, "boundary=");
                    if (zi >= 0)
                        inner = ParameterValueAt(z, static_cast<size_t>(zi) + 9);
                }
                m.strInnerBoundary = inner;
            }
        }
        if (m.bInTextPart && MatchKeyword(v, P + kk, kTransferEncoding)) {
            const ByteString te = AsciiLower(GetHeaderValue(v, P + kk + kTransferEncoding.len));
            m.strPartTransferEncoding = te;
            kk += static_cast<long>(kTransferEncoding.len + 2 + te.size());
        }
        kk -= 1;
        k += kk + static_cast<long>(n);
        return;
    }

    if (!m.bInTextPart) {
        // Single part: the whole body is the text.
        if (!m.strContentType.empty() &&
            (FindNoCase(m.strContentType, "charset=") >= 1 || !m.strTransferEncoding.empty())) {
            m.bInTextPart = true;
            m.strBody.assign(BodyLine(v, P));
            kk = static_cast<long>(m.strBody.size()) - 1;
        } else if (m.strInnerBoundary.empty() && m.strPartTransferEncoding.empty() && m.strTransferEncoding.empty()) {
            m.bInTextPart = true;
            m.strPartTransferEncoding = "8bit";
            m.strPartContentType = "text/plain";
            m.strBody.assign(BodyLine(v, P));
        }
        k += kk + static_cast<long>(n);
        return;
    }

    // Collecting the text part.
    const std::string_view line = BodyLine(v, P);
    if (line.empty()) {
        k += static_cast<long>(n);
        return;
    }
    const bool atDelimiter =
        v.at(P) == '-' && (HoldsBoundary(line, m.strBoundary) || HoldsBoundary(line, m.strInnerBoundary));
    const bool ends = atDelimiter || EndsPartAtNewMessage(v, P, line) || m.strBody.size() > kMaxTextPart;
    kk = static_cast<long>(line.size()) - 1;
    if (ends) {
        DecodeBody(m);
        m.bInTextPart = false;
        // Only a delimiter line can open an attachment part; a new message's header never belongs to this one.
        if (atDelimiter)
            OpenAttachment(m, v, P);
        if (!m.bInAttachment) {
            MergeAttachmentsLocked(m);
            g_pCurMail = nullptr;
        }
    } else {
        for (size_t i = 0; i < (n + 1) / 2; ++i)
            m.strBody += "\r\n";
        m.strBody += "\r\n";
        m.strBody += line;
    }
    k += kk + static_cast<long>(n);
}

void CBlockScanner::TrackAttachmentPart(ByteView& v, size_t L, long& k)
{
    tagMailItem* cur = g_pCurMail;
    if (!cur)
        return;
    tagMailItem& m = *cur;
    bool end = false;
    bool newMessage = false;

    if (v.at(L) == '\r' && v.at(L + 1) == '\n' && m.bInAttachment) {
        if (!m.bInAttachmentData) {
            m.bInAttachmentData = true;
            m.nAttachmentDataBytes = 0;
            m.attachmentCounter = Base64Counter();
        } else {
            m.bInAttachmentData = false;
            if (m.pPendingAttachments && !m.pPendingAttachments->empty() && m.nAttachmentDataBytes > 3)
                end = true;
        }
        k += 2;
    }
    const size_t M = L + static_cast<size_t>(k);
    const std::string_view line = BodyLine(v, M);
    if (!line.empty() && !end && m.bInAttachment) {
        end = (v.at(M) == '-' && (HoldsBoundary(line, m.strBoundary) || HoldsBoundary(line, m.strInnerBoundary))) ||
              EndsPartAtNewMessage(v, M, line);
        newMessage = (v.at(M) == 'D' && v.at(M + 1) == 'e' && line.find("Delivered-To: ") != line.npos) ||
                     (v.at(M) == 'R' && v.at(M + 1) == 'e' && line.find("Received: ") != line.npos);
    }
    if (end) {
        EndAttachment(m);
        if (newMessage) {
            if (!m.bBodyDecoded)
                DecodeBody(m);
            MergeAttachmentsLocked(m);
            g_pCurMail = nullptr;
            return;
        }
    } else if (m.bInAttachmentData) {
        m.nAttachmentDataBytes += line.size();
        m.attachmentCounter.Feed(line.data(), line.size());
    }
    const bool delimiter = (!m.strBoundary.empty() && line.find(m.strBoundary) != line.npos) ||
                           (!m.strInnerBoundary.empty() && line.find(m.strInnerBoundary) != line.npos);
    // The delimiter line that ends one attachment part also opens the next.
    if (!m.bInAttachment && v.at(M) == '-' && v.at(M + 1) == '-' && delimiter)
        OpenAttachment(m, v, M);
}

} // namespace vellox
