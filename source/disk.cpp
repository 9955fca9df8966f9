#include "source/disk.h"
#include "source/sourcelist.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellox {

namespace {

bool IsDiskNumberString(const std::string& s)
{
    if (s.size() != 3 && s.size() != 4)
        return false;
    if ((s[0] != 'H' && s[0] != 'h') || (s[1] != 'D' && s[1] != 'd'))
        return false;
    return true;
}

} // namespace

CDisk::~CDisk()
{
    Close();
}

std::string CDisk::ResolvePath(const std::string& source, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return std::string();
    };
    if (source.empty())
        return fail("empty source");
    if (source.size() == 2 && source.find(':') == std::string::npos)
        return fail("source string '" + source + "' is not a disk, partition or file");
    if (IsDiskNumberString(source)) {
        const std::string digits = source.substr(2);
        for (char c : digits)
            if (c < '0' || c > '9')
                return fail("'" + source + "' is not a disk number");
        const auto disks = ListWholeDisks();
        const unsigned long n = std::stoul(digits);
        if (n >= disks.size())
            return fail("no disk " + source + " on this machine (" + std::to_string(disks.size()) + " found)");
        return "/dev/" + disks[n];
    }
    if (source.find('/') != std::string::npos)
        return source;
    return "/dev/" + source;
}

bool CDisk::Open(const std::string& source)
{
    m_error.clear();
    std::string path = ResolvePath(source, &m_error);
    if (path.empty())
        return false;
    Close();
    m_source = source;
    m_path = path;

    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_error = path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        m_error = path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    uint64_t size = 0;
    if (S_ISDIR(st.st_mode)) {
        m_error = path + ": is a directory";
        ::close(fd);
        return false;
    }
    if (S_ISBLK(st.st_mode)) {
        if (::ioctl(fd, BLKGETSIZE64, &size) != 0) {
            m_error = path + ": cannot read the device size: " + std::strerror(errno);
            ::close(fd);
            return false;
        }
    } else if (S_ISREG(st.st_mode)) {
        size = static_cast<uint64_t>(st.st_size);
    }
    // Other kinds (character devices, FIFOs) open with 0 sectors, like any source whose size is unknown.
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    m_fd = fd;
    m_size = size;
    m_sectorCount = size / kSectorSize;
    return true;
}

void CDisk::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
    m_sectorCount = 0;
}

bool CDisk::ReadSectors(void* buf, size_t bytes, uint64_t firstSector)
{
    if (m_fd < 0 || firstSector > m_sectorCount)
        return false;
    if (firstSector > (UINT64_MAX / kSectorSize))
        return false;
    auto* out = static_cast<unsigned char*>(buf);
    uint64_t offset = firstSector * kSectorSize;
    size_t done = 0;
    while (done < bytes) {
        ssize_t n = ::pread(m_fd, out + done, bytes - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false; // end of the source: a short read is a failed read
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace vellox
