#include "export/writers.h"
#include "mime/charset.h"
#include "mime/codepage.h"
#include "scan/mailitem.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vellox {

namespace {

constexpr size_t kSubjectChars = 20;

// The first n UTF-16 units, without splitting a surrogate pair.
std::u16string Prefix(const std::u16string& s, size_t n)
{
    if (s.size() <= n)
        return s;
    if (n > 0 && s[n - 1] >= 0xD800 && s[n - 1] <= 0xDBFF)
        --n;
    return s.substr(0, n);
}

} // namespace

void SanitizeFileName(std::u16string& name)
{
    for (auto& c : name) {
        switch (c) {
        case u'"': case u'<': case u':': case u'>': case u'|': case u'?': case u'\\': case u'/': case u'*':
            c = u' ';
            break;
        default:
            if (c < 0x20 || c == 0x7F)
                c = u' ';
        }
    }
}

std::u16string SingleMessageFileName(const tagMailItem& item, const std::u16string& extensionText)
{
    std::u16string name = Prefix(item.strSubjectText, kSubjectChars) + u" [" + AnsiToWide(item.strDate) + extensionText;
    SanitizeFileName(name);
    return name;
}

std::u16string SaveJobBaseName(const tagMailItem& item)
{
    std::u16string name = Prefix(item.strSubjectText, kSubjectChars) + u"_[" + AnsiToWide(item.strDate) + u"]";
    SanitizeFileName(name);
    return name;
}

ByteString BuildTxtText(const tagMailItem& item)
{
    ByteString out;
    out += "Subject: " + item.strSubject + "\r\n";
    out += "From: " + item.strFrom + "\r\n";
    out += "To: " + item.strTo + "\r\n";
    out += "Date: " + item.strDate + "\r\n";
    out += "---------- Text ---------\r\n";
    std::lock_guard<std::mutex> lock(item.m_lock);
    out += item.strBody;
    return out;
}

std::string Utf8FileName(const std::u16string& name, size_t maxBytes)
{
    std::string s = ToUtf8(name);
    if (s.size() <= maxBytes)
        return s;
    size_t n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    return s.substr(0, n);
}

bool WriteWholeFile(const std::string& path, const ByteString& data, bool exclusive, std::string& error,
                   int* errorCode)
{
    auto fail = [&](int code) {
        error = path + ": " + std::strerror(code);
        if (errorCode)
            *errorCode = code;
        return false;
    };
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fail(errno);
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int code = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(path.c_str());
            return fail(code);
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(path.c_str());
        return fail(code);
    }
    if (errorCode)
        *errorCode = 0;
    return true;
}

} // namespace vellox
