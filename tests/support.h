// Test helpers: an in-memory sector source with failures on demand, a host that records the calls, and
// builders for images with messages planted at chosen offsets.
#pragma once

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "scan/mailitem.h"
#include "scan/scanhost.h"
#include "source/disk.h"

namespace vellox::test {

class MemorySource : public ISectorSource {
public:
    explicit MemorySource(std::string bytes) : m_bytes(std::move(bytes)) {}
    uint64_t GetSectorCount() const override { return m_bytes.size() / 512; }
    bool ReadSectors(void* buf, size_t bytes, uint64_t first) override
    {
        reads.push_back({first, bytes / 512});
        for (uint64_t s = first; s < first + bytes / 512; ++s)
            if (failing.count(s))
                return false;
        if (first > GetSectorCount())
            return false;
        const uint64_t off = first * 512;
        size_t n = off >= m_bytes.size() ? 0 : std::min<size_t>(bytes, m_bytes.size() - off);
        std::memcpy(buf, m_bytes.data() + off, n);
        return n == bytes;
    }
    std::string& bytes() { return m_bytes; }
    std::set<uint64_t> failing; // sectors whose reads fail
    std::vector<std::pair<uint64_t, uint64_t>> reads; // (first sector, sectors)

private:
    std::string m_bytes;
};

class RecordingHost : public IScanHost {
public:
    void ResetFolderTree() override { calls.push_back("reset"); }
    void ScanStarted(uint64_t total) override { calls.push_back("start " + std::to_string(total)); }
    void ChunkStarted(uint64_t first) override { chunks.push_back(first); }
    void SetStatusText(const std::u16string& t) override { status.push_back(t); }
    void AddMailToInbox(tagMailItem* item) override { added.push_back(item); }
    void ScanOpenFailed(const std::string& reason) override { calls.push_back("open failed"); }
    void ScanEnded() override { calls.push_back("end"); }
    std::vector<std::string> calls;
    std::vector<uint64_t> chunks;
    std::vector<std::u16string> status;
    std::vector<tagMailItem*> added;
};

// An image of `size` bytes (zero-filled) with `text` written at `offset`.
inline void Plant(std::string& image, size_t offset, const std::string& text)
{
    if (image.size() < offset + text.size())
        image.resize(offset + text.size(), '\0');
    image.replace(offset, text.size(), text);
}

// The .dbx way of storing a message: 512-byte data blocks, each behind a 16-byte header whose bytes 4..7
// are the block size 0x200 (little-endian). Returns the stored bytes.
inline std::string DbxBlocks(const std::string& message, uint32_t firstOffset = 0x1000)
{
    std::string out;
    for (size_t i = 0; i < message.size(); i += 512) {
        const std::string data = message.substr(i, 512);
        uint32_t self = firstOffset + static_cast<uint32_t>(out.size());
        uint32_t next = i + 512 < message.size() ? self + 16 + 512 : 0;
        unsigned char h[16] = {};
        for (int b = 0; b < 4; ++b) {
            h[b] = static_cast<unsigned char>(self >> (8 * b));
            h[12 + b] = static_cast<unsigned char>(next >> (8 * b));
        }
        h[4] = 0x00;
        h[5] = 0x02;
        h[8] = static_cast<unsigned char>(data.size());
        h[9] = static_cast<unsigned char>(data.size() >> 8);
        out.append(reinterpret_cast<char*>(h), 16);
        out += data;
        if (data.size() < 512)
            out.append(512 - data.size(), '\0');
    }
    return out;
}

} // namespace vellox::test

#include "scan/scanrun.h"

namespace vellox::test {

// Runs a whole scan over an in-memory image; the records stay in g_arrMailItem.
inline std::vector<tagMailItem*> ScanImage(const std::string& image, RecordingHost* host = nullptr)
{
    MemorySource src(image);
    RecordingHost local;
    RunScan(src, host ? *host : local);
    return g_arrMailItem.All();
}

inline std::string SimpleMessage(const std::string& subject, const std::string& body = "Hello there.\r\n",
                                 const std::string& extraHeaders = "")
{
    return "Received: from mx.example.org by mail.example.com; Tue, 15 Nov 2009 08:12:31 +0800\r\n"
           "From: Alice <alice@example.org>\r\n"
           "To: Bob <bob@example.com>\r\n"
           "Subject: " +
           subject +
           "\r\n"
           "Date: Tue, 15 Nov 2009 08:12:31 +0800\r\n" +
           extraHeaders +
           "\r\n" + body;
}

} // namespace vellox::test

namespace vellox::test {

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The names in a directory, sorted, without "." and "..".
inline std::vector<std::string> ListDir(const std::string& dir)
{
    std::vector<std::string> v;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                v.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(v.begin(), v.end());
    return v;
}

} // namespace vellox::test
