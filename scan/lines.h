// Byte-level operations on raw source data: keyword tests, line and value copies, and the removal of
// the 16-byte block headers with which .dbx mailbox files cut messages into blocks.
//
// Every operation is bounded by its view: a byte past the end reads as 0, which ends any line,
// and nothing is ever written outside the view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace vellox {

using ByteString = std::string;

struct ByteView {
    uint8_t* data = nullptr;
    size_t size = 0; // bytes
    [[nodiscard]] uint8_t at(size_t i) const { return i < size ? data[i] : 0; }
};

struct Keyword {
    const char* text;
    size_t len;
};

constexpr Keyword kReceived{"Received: ", 10};
constexpr Keyword kDeliveredTo{"Delivered-To: ", 14};
constexpr Keyword kReturnPath{"Return-Path: ", 13};
constexpr Keyword kFrom{"From: ", 6};
constexpr Keyword kTo{"To: ", 4};
constexpr Keyword kCc{"Cc: ", 4};
constexpr Keyword kSubject{"Subject: ", 9};
constexpr Keyword kDate{"Date: ", 6};
constexpr Keyword kPriority{"X-Priority: ", 12};
constexpr Keyword kContentType{"Content-Type: ", 14};
constexpr Keyword kTransferEncoding{"Content-Transfer-Encoding: ", 27};
constexpr Keyword kBoundary{"boundary=", 9};
constexpr Keyword kXAttachment{"X-Attachment: ", 14};

// Longest line or value the copies return; longer runs read as empty.
constexpr size_t kMaxLine = 511;

// A .dbx block header: 16 bytes whose bytes 5..7 are 02 00 00 (block size 0x200, little-endian).
constexpr size_t kBlockHeaderSize = 16;
// How far ahead of a line start a block header is looked for, in 4-byte steps.
constexpr size_t kBlockHeaderReach = 192;

inline bool IsBlockHeaderAt(const ByteView& v, size_t h)
{
    return h + kBlockHeaderSize <= v.size && v.data[h + 5] == 0x02 && v.data[h + 6] == 0 && v.data[h + 7] == 0;
}

// True when the bytes at pos equal the keyword, ASCII letters compared without case; a NUL never matches.
bool MatchKeyword(const ByteView& v, size_t pos, const Keyword& kw);
bool MatchKeyword(const ByteView& v, size_t pos, const char* kw, size_t len);

// Bytes from pos up to the first CR, LF or NUL; "" when that run is empty or longer than 511 bytes.
ByteString GetLineText(const ByteView& v, size_t pos);
// Like GetLineText, but the run ends at the first byte below 0x0E (a TAB included).
ByteString GetHeaderValue(const ByteView& v, size_t pos);
// Length of the line at pos (up to CR, LF, NUL or the end of the view), without the 511-byte limit.
size_t LineLength(const ByteView& v, size_t pos);

// Removes one block header within 192 bytes ahead of the line start q (4-byte aligned positions): the bytes
// between q and the header move forward over it and q moves forward 16 bytes. True when one was removed.
bool CutBlockHeader(ByteView& v, size_t& q);

// Case-sensitive search helpers on 8-bit strings.
inline bool Contains(const ByteString& s, const ByteString& what)
{
    return s.find(what) != ByteString::npos;
}
inline bool StartsWith(const ByteString& s, const char* what)
{
    return s.rfind(what, 0) == 0;
}

} // namespace vellox
