// ReReadMessage over an arbitrary image held in memory; the record's fields come from the first line.
#include "export/reread.h"
#include "mime/charset.h"
#include "scan/mailitem.h"
#include "source/disk.h"

#include <cstring>
#include <string>

using namespace vellox;

namespace {
class MemorySource : public ISectorSource {
public:
    explicit MemorySource(std::string b) : m_b(std::move(b)) {}
    uint64_t GetSectorCount() const override { return m_b.size() / 512; }
    bool ReadSectors(void* buf, size_t bytes, uint64_t first) override
    {
        const uint64_t off = first * 512;
        if (first > GetSectorCount() || off + bytes > m_b.size())
            return false;
        std::memcpy(buf, m_b.data() + off, bytes);
        return true;
    }

private:
    std::string m_b;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool init = (InitEncodeTypes(), true);
    (void)init;
    std::string in(reinterpret_cast<const char*>(data), size);
    tagMailItem m;
    const size_t eol = in.find('\n');
    const std::string head = in.substr(0, eol == std::string::npos ? 0 : eol);
    m.nStartSector = head.size() > 0 ? static_cast<uint8_t>(head[0]) % 8 : 0;
    m.nStartOffset = head.size() > 1 ? static_cast<uint8_t>(head[1]) * 2 : 0;
    m.strFrom = head.size() > 2 ? head.substr(2, 8) : "";
    m.strTo = head.size() > 10 ? head.substr(10, 8) : "";
    m.strDate = head.size() > 18 ? head.substr(18, 8) : "";
    m.strBoundary = head.size() > 26 ? head.substr(26) : "";
    std::string image = in;
    image.resize((image.size() / 512 + 1) * 512, '\0');
    MemorySource src(image);
    std::string text;
    ReReadMessage(m, &src, nullptr, text);
    for (char c : text)
        if (static_cast<unsigned char>(c) <= 7)
            __builtin_trap();
    return 0;
}
