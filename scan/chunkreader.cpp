#include "scan/chunkreader.h"
#include "source/disk.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vellox {

CChunkReader::CChunkReader(ISectorSource& source, uint64_t totalSectors, uint32_t chunkSectors, uint32_t pieceSectors,
                           size_t marginBytes, const std::atomic<int>& stop, size_t slots)
    : m_source(source), m_total(totalSectors), m_chunkSectors(chunkSectors), m_pieceSectors(pieceSectors),
      m_slotBytes(size_t{chunkSectors} * kSectorSize + marginBytes), m_slots(std::max<size_t>(slots, 3)),
      m_stop(stop), m_chunks((totalSectors + chunkSectors - 1) / chunkSectors)
{
    m_buffer.reset(new (std::nothrow) uint8_t[m_slotBytes * m_slots]());
    m_slotChunk.resize(m_slots);
    if (m_buffer)
        m_thread = std::thread([this] { ReadAll(); });
}

CChunkReader::~CChunkReader()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_abort = true;
    }
    m_cv.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CChunkReader::ReadAll()
{
    for (uint64_t c = 0; c < m_chunks; ++c) {
        {
            // The slot is free once the scanner released the chunk that used it before.
            std::unique_lock<std::mutex> lock(m_lock);
            m_cv.wait(lock, [&] { return m_abort || c < m_released + m_slots - 1; });
            if (m_abort)
                break;
        }
        if (m_stop.load())
            break;
        Chunk& ch = m_slotChunk[c % m_slots];
        ch.data = m_buffer.get() + (c % m_slots) * m_slotBytes;
        ch.firstSector = c * m_chunkSectors;
        ch.sectors = std::min<uint64_t>(m_chunkSectors, m_total - ch.firstSector);
        for (uint64_t s = 0; s < ch.sectors && !m_stop.load(); s += m_pieceSectors) {
            const uint64_t n = std::min<uint64_t>(m_pieceSectors, ch.sectors - s);
            uint8_t* at = ch.data + s * kSectorSize;
            if (!m_source.ReadSectors(at, n * kSectorSize, ch.firstSector + s)) {
                std::memset(at, 0, n * kSectorSize);
                m_failedPieces.fetch_add(1);
            }
        }
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_produced = c + 1;
        }
        m_cv.notify_all();
    }
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_readerDone = true;
    }
    m_cv.notify_all();
}

CChunkReader::Chunk* CChunkReader::Acquire(uint64_t index)
{
    if (!m_buffer || index >= m_chunks)
        return nullptr;
    std::unique_lock<std::mutex> lock(m_lock);
    m_cv.wait(lock, [&] { return m_produced > index || m_readerDone; });
    if (m_produced <= index)
        return nullptr;
    return &m_slotChunk[index % m_slots];
}

void CChunkReader::Release(uint64_t index)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_released = std::max(m_released, index + 1);
    }
    m_cv.notify_all();
}

} // namespace vellox
