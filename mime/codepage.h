// Code-page conversion: Windows code page numbers served by ICU converters.
//
// A code page that ICU does not know converts to the empty string, as a refused code page would.
// Code page 0 (the ANSI code page of a Simplified Chinese system, 936) is read as GB18030, which reads
// every GBK text the same and also covers the characters GBK lacks.
#pragma once

#include <cstddef>
#include <string>

namespace vellox {

constexpr int CP_ACP = 0;
constexpr int CP_UTF8 = 65001;
constexpr int kAnsiCodePage = 936;

// The ICU converter name that serves a code page, or nullptr when none does.
const char* CodePageConverterName(int codePage);
bool IsCodePageSupported(int codePage);

// Bytes in the code page to UTF-16. Malformed bytes become U+FFFD. Empty when the code page is unknown.
std::u16string MultiByteToWide(int codePage, const char* data, size_t len);
inline std::u16string MultiByteToWide(int codePage, const std::string& s)
{
    return MultiByteToWide(codePage, s.data(), s.size());
}

// UTF-16 to bytes in the code page; characters without a mapping become '?'.
std::string WideToMultiByte(int codePage, const std::u16string& text);

// UTF-8 helpers for everything that leaves the program (file names, reports, the terminal).
std::string ToUtf8(const std::u16string& text);
std::u16string FromUtf8(const std::string& text);

} // namespace vellox
