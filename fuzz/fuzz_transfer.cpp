#include "mime/transfer.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* p = reinterpret_cast<const char*>(data);
    const auto b = vellox::Base64Decode(p, size);
    const auto q = vellox::QuotedPrintableDecode(p, size);
    const auto w = vellox::QDecode(p, size);
    // Decoded data is never longer than its input.
    if (b.size() > size || q.size() > size || w.size() > size)
        std::abort();
    std::string s(p, size);
    vellox::Base64DecodeString(s);
    s.assign(p, size);
    vellox::QuotedPrintableDecodeString(s);
    return 0;
}
