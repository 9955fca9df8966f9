// The preview document of a found message: its attachments with their sizes, then its body (the HTML
// part rendered as HTML, else the plain-text part, else the raw text after the header), every part
// decoded with its own transfer encoding and charset straight to UTF-16.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vellox {

struct tagMailItem;
using ByteString = std::string;

// "%0.1f MB" above 1 MiB, "%0.1f KB" above 1 KiB, "%d B" above 0; "" for 0 and for more than 1 GiB.
std::u16string FormatAttachmentSize(uint64_t bytes);

struct BodyPart {
    ByteString bytes;   // transfer-decoded
    ByteString charset; // lower case, "" when the part names none
};

// The body of the part whose content type stands at `at` in `text` (`lower` is its ASCII-lowered copy):
// decoded from its transfer encoding, cut before `marker` (when given), else before the next delimiter
// of one of `boundaries`, else before the next "eturn-path". Nothing when the part has no body.
std::optional<BodyPart> ExtractBodyPart(const ByteString& text, const ByteString& lower, size_t at,
                                        const ByteString& marker, const std::vector<ByteString>& boundaries);

// The HTML document shown for a message, or "" when nothing can be shown (the pane stays blank).
// Plain text is escaped, so that it shows as written.
std::u16string BuildPreviewHtml(const tagMailItem& record, const ByteString& messageText);

// HTML escaping of text shown inside the document.
std::u16string HtmlEscape(const std::u16string& text);

} // namespace vellox
