// CDisk: any data source (whole disk, partition, image or mailbox file) as a row of 512-byte sectors.
//
// The source is only ever opened read-only: recovering mail must never change the disk it comes from.
// Sector numbers and counts are 64-bit, so sources beyond 2 TiB are addressed in full.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vellox {

constexpr uint32_t kSectorSize = 512;

// What a scan or a re-read needs of a data source. Tests substitute sources whose reads fail on purpose.
class ISectorSource {
public:
    virtual ~ISectorSource() = default;
    // Number of whole 512-byte sectors.
    [[nodiscard]] virtual uint64_t GetSectorCount() const = 0;
    // Reads `bytes` bytes (whole sectors) starting at byte offset firstSector * 512 into `buf`.
    // False when the read failed or came back short; the buffer's unfilled bytes are then unspecified.
    [[nodiscard]] virtual bool ReadSectors(void* buf, size_t bytes, uint64_t firstSector) = 0;
};

class CDisk : public ISectorSource {
public:
    CDisk() = default;
    ~CDisk() override;
    CDisk(const CDisk&) = delete;
    CDisk& operator=(const CDisk&) = delete;

    // Opens a source string: "HDn" (the n-th whole disk of this machine), a path containing '/',
    // or a kernel block-device name such as "sdb1" (opened as /dev/sdb1). Opening an open CDisk
    // closes it first. False with LastError() set when the source cannot be opened.
    bool Open(const std::string& source);
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_fd >= 0; }

    [[nodiscard]] uint64_t GetSectorCount() const override { return m_sectorCount; }
    [[nodiscard]] uint64_t GetSizeBytes() const { return m_size; }
    [[nodiscard]] bool ReadSectors(void* buf, size_t bytes, uint64_t firstSector) override;

    [[nodiscard]] const std::string& Source() const { return m_source; }
    // The path that the source string resolved to (empty when refused before resolving).
    [[nodiscard]] const std::string& Path() const { return m_path; }
    // One-line reason for the last failed Open.
    [[nodiscard]] const std::string& LastError() const { return m_error; }

    // Resolves a source string to the path it opens, or "" when the string is refused.
    static std::string ResolvePath(const std::string& source, std::string* error = nullptr);

private:
    int m_fd = -1;
    std::string m_source;
    std::string m_path;
    std::string m_error;
    uint64_t m_size = 0;        // bytes
    uint64_t m_sectorCount = 0; // sectors: m_size / 512
};

} // namespace vellox
