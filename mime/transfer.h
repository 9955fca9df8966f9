// Transfer decodings (RFC 2045 section 6): base64 and quoted-printable, and the decoding of a record's body.
//
// Recovered mail is damaged mail, so both decoders are lenient: base64 skips bytes outside its alphabet
// and ends at the first '='; quoted-printable writes an escape that is not "=" and two hex digits out
// unchanged. Neither reads past its input.
#pragma once

#include <cstddef>
#include <string>

namespace vellox {

using ByteString = std::string;
struct tagMailItem;

// Decoded bytes (may hold NULs). The output is never longer than the input.
ByteString Base64Decode(const char* data, size_t len);
ByteString QuotedPrintableDecode(const char* data, size_t len);
// RFC 2047 "Q" encoding: quoted-printable where '_' stands for a space.
ByteString QDecode(const char* data, size_t len);

// In place: the bytes before the first NUL are decoded; a result of at least one byte replaces the string
// up to its first NUL byte, otherwise the string stays as it was.
void Base64DecodeString(ByteString& s);
void QuotedPrintableDecodeString(ByteString& s);

// The charset parameter of the text part's Content-Type (or, without one, of the message's), trimmed,
// unquoted and lower case; "" when there is none. The parameter name is matched without regard to case.
ByteString GetCharsetParam(const ByteString& messageContentType, const ByteString& partContentType);

// Undoes the transfer encoding of strBody in place and converts it to strBodyText with its charset
// (the ANSI code page when none is named or known). Sets bBodyDecoded. The caller holds the record's lock
// when other threads may read it.
void DecodeBody(tagMailItem& item);

} // namespace vellox
