// Header values with RFC 2047 encoded words, quoted display names and plain text in an unnamed charset.
#pragma once

#include <string>

namespace vellox {

using ByteString = std::string;

// Decodes a header value (without its field name) to UTF-16, and normalises the 8-bit value in place:
// white space is trimmed at both ends, backslash-quote pairs are removed when the first one stands at
// index 0, 1 or 2, and leading double quotes are removed from a value that is neither a quoted display
// text nor led by an encoded word. The record assembly stores the normalised value and the message re-read
// normalises a freshly read value the same way before comparing the two.
//
// Every encoded word is decoded; adjacent encoded words separated only by white space are joined without
// it (RFC 2047 section 6.2); text outside encoded words is read with the ANSI code page; quotes stay
// exactly where the value had them.
std::u16string DecodeHeaderValue(ByteString& value);

// Decodes the text of a value that has already been normalised; no in-place change.
std::u16string DecodeHeaderSegment(const ByteString& text);

// One encoded word "=?charset?X?text?=" to UTF-16. A charset the table lacks reads with the ANSI code page.
// Empty when the word is malformed (no B or Q letter).
std::u16string DecodeWord(const ByteString& word);

} // namespace vellox
