#include "mime/charset.h"
#include "mime/encodedword.h"

using namespace vellox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool init = (InitEncodeTypes(), true);
    (void)init;
    std::string v(reinterpret_cast<const char*>(data), size);
    DecodeHeaderValue(v);
    // The normalised value decodes again without trouble.
    DecodeHeaderValue(v);
    return 0;
}
