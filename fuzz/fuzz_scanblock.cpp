// ScanBlock over arbitrary bytes, cut into two chunks so that the carry-over between chunks and the
// margin are exercised; keywords and block headers may sit at both ends.
#include "mime/charset.h"
#include "scan/blockscanner.h"
#include "scan/mailitem.h"

#include <cstring>
#include <vector>

using namespace vellox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool init = (InitEncodeTypes(), true);
    (void)init;
    // Whole sectors, as a scan hands them over; the first byte picks where the first chunk ends.
    const size_t total = (size / 512 + 1) * 512;
    std::vector<uint8_t> image(total, 0);
    std::memcpy(image.data(), data, size);
    const size_t cut = size ? (data[0] % (total / 512 + 1)) * 512 : 0;
    ClearMailItems();
    g_pCurMail = nullptr;
    CBlockScanner scanner(nullptr, nullptr);
    // First chunk with the following bytes as its margin, exactly sized: nothing may be read beyond.
    std::vector<uint8_t> first(image.begin(), image.end());
    scanner.ScanBlock(ByteView{first.data(), first.size()}, cut, 0);
    std::vector<uint8_t> second(first.begin() + static_cast<long>(cut), first.end());
    scanner.ScanBlock(ByteView{second.data(), second.size()}, second.size(), cut / 512);
    g_pCurMail = nullptr;
    ClearMailItems();
    return 0;
}
