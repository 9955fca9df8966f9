// Writing found messages to files: the .eml file (the message bytes as found), the .txt rendering
// (four labelled header lines, a separator and the decoded text), and the file names of both.
#pragma once

#include <string>

namespace vellox {

struct tagMailItem;
using ByteString = std::string;

// Replaces " < : > | ? \ / * and control characters with spaces, in place.
void SanitizeFileName(std::u16string& name);

// "<first 20 characters of the subject> [<date>" + extensionText, sanitised ("].eml" or "].txt").
std::u16string SingleMessageFileName(const tagMailItem& item, const std::u16string& extensionText);

// "<first 20 characters of the subject>_[<date>]", sanitised: the base name a save job gives a message.
std::u16string SaveJobBaseName(const tagMailItem& item);

// The .txt rendering: "Subject: ", "From: ", "To: ", "Date: " lines, the separator line, the body bytes.
ByteString BuildTxtText(const tagMailItem& item);

// A file name in UTF-8 of at most maxBytes bytes, cut at a character boundary.
std::string Utf8FileName(const std::u16string& name, size_t maxBytes = 255);

// Writes `data` to a new file at `path`. With exclusive set, an existing file is never touched. On any
// failure the partial file is removed and false is returned with a one-line reason; a file that exists
// after a true return holds every byte.
bool WriteWholeFile(const std::string& path, const ByteString& data, bool exclusive, std::string& error,
                   int* errorCode = nullptr);

} // namespace vellox
