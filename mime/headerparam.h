// MIME header parameters: the case-insensitive search every header test uses, and the reader that finds
// an attachment's name in the header lines of a MIME part.
#pragma once

#include <string>
#include <vector>

#include "scan/lines.h"

namespace vellox {

// Index of the first occurrence of pattern in text, ASCII letters compared without case; -1 when absent.
// An empty pattern is found at 0.
long FindNoCase(const ByteString& text, const ByteString& pattern);

// Reads the header lines of a MIME part that begin at pos (at most seven, up to the first empty line) into
// `lines`, and looks for a transfer-encoding line, the word "attachment" and a file name. True when all
// three were seen and the name decodes to a non-empty text. The name is taken from "filename=" (quoted or
// not) or from its RFC 2231 form ("filename*=" with a charset and %XX escapes, also split in sections).
bool ReadAttachmentHeader(const ByteView& v, size_t pos, std::vector<ByteString>& lines, ByteString& encodingLine,
                          ByteString& fileName, std::u16string& displayName);

// The value of a "name=" style parameter at index k of line (k at the first byte of the name): a leading
// double quote is skipped, and the value ends at the closing quote, or, unquoted, at ';' or white space.
ByteString ParameterValueAt(const ByteString& line, size_t valueStart);

} // namespace vellox
