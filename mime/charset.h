// The charset table: charset names of Content-Type parameters and encoded words mapped to code pages,
// and the conversions between 8-bit text and UTF-16.
//
// Text whose charset is not named, or names one the table lacks, is read with the ANSI code page
// (936, read as GB18030).
#pragma once

#include <string>
#include <vector>

namespace vellox {

using ByteString = std::string;

struct tagEncodeType {
    ByteString strName; // lower case
    int nCodePage = 0;  // 0: the ANSI code page

    // Body text in this charset to UTF-16, white space trimmed at both ends. Every byte counts:
    // a one-byte body or one ending in '?' keeps its text.
    [[nodiscard]] std::u16string DecodeText(const ByteString& bytes) const;
    // Already transfer-decoded bytes of one encoded word to UTF-16 (nothing trimmed).
    [[nodiscard]] std::u16string DecodeBytes(const ByteString& bytes) const;
};

extern std::vector<tagEncodeType> g_arrEncodeType;

// Fills the table once; later calls (from any thread) add nothing.
void InitEncodeTypes();

// The row for the charset of an encoded word ("=?name?..."): an exact name match first, then the first
// row whose name the word's charset begins with. -1 when none.
int FindEncodeTypeInWord(const ByteString& word);

// The row for a Content-Type charset value. The value ends at the first ';' or white space and loses
// its quotes; an exact name match wins, then the first row whose name begins with the value. -1 when
// none or when the value is empty.
int FindEncodeTypeByCharset(const ByteString& value);

// Row for an exact, already extracted charset name (lower- or mixed-case), with the same fallbacks.
int FindEncodeTypeByName(const ByteString& name);

// 8-bit text in the ANSI code page to UTF-16, up to the first NUL byte.
std::u16string AnsiToWide(const ByteString& text);
// UTF-16 to the ANSI code page, up to the first NUL; unmapped characters become '?'.
ByteString WideToAnsi(const std::u16string& text);
// Rewrites UTF-8 bytes as ANSI code page bytes in place; leaves the string alone when that gives nothing.
void Utf8ToAnsi(ByteString& text);

// ASCII-only lower-casing: the table's names are ASCII, and other bytes (GBK lead bytes) stay as they are.
ByteString AsciiLower(ByteString s);
// White space as the wide-character classification sees it, trimmed from both ends.
std::u16string TrimWide(const std::u16string& s);
ByteString TrimBytes(const ByteString& s);

} // namespace vellox
