// Reads a source chunk by chunk on a reader thread, ahead of the scanner, so that the disk and the CPU
// work at the same time. Chunks come out in order; failed pieces are zero-filled; a stop request ends the
// reading between pieces. All buffers are one allocation.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vellox {

class ISectorSource;

class CChunkReader {
public:
    struct Chunk {
        uint8_t* data = nullptr; // chunkSectors * 512 bytes, followed by marginBytes of room
        uint64_t firstSector = 0;
        uint64_t sectors = 0;
    };

    // chunkSectors per chunk; marginBytes of room behind each chunk for the bytes that follow it.
    CChunkReader(ISectorSource& source, uint64_t totalSectors, uint32_t chunkSectors, uint32_t pieceSectors,
                 size_t marginBytes, const std::atomic<int>& stop, size_t slots = 4);
    ~CChunkReader();
    CChunkReader(const CChunkReader&) = delete;
    CChunkReader& operator=(const CChunkReader&) = delete;

    [[nodiscard]] bool Allocated() const { return m_buffer != nullptr; }
    [[nodiscard]] uint64_t ChunkCount() const { return m_chunks; }
    // Waits until chunk `index` is read; null when reading ended before it (end of source or stop).
    Chunk* Acquire(uint64_t index);
    // The scanner is done with chunk `index`: its slot may be read into again.
    void Release(uint64_t index);
    [[nodiscard]] uint64_t FailedPieces() const { return m_failedPieces.load(); }

private:
    void ReadAll();

    ISectorSource& m_source;
    const uint64_t m_total;
    const uint32_t m_chunkSectors;
    const uint32_t m_pieceSectors;
    const size_t m_slotBytes;
    const size_t m_slots;
    const std::atomic<int>& m_stop;
    const uint64_t m_chunks;
    std::unique_ptr<uint8_t[]> m_buffer;
    std::vector<Chunk> m_slotChunk;

    std::mutex m_lock;
    std::condition_variable m_cv;
    uint64_t m_produced = 0; // chunks read so far
    uint64_t m_released = 0; // chunks the scanner is done with
    bool m_readerDone = false;
    bool m_abort = false;
    std::atomic<uint64_t> m_failedPieces{0};
    std::thread m_thread;
};

} // namespace vellox
