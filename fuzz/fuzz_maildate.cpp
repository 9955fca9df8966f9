#include "mime/maildate.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string v(reinterpret_cast<const char*>(data), size);
    vellox::NormalizeMailDate(v);
    // Normalising twice changes nothing.
    std::string again = v;
    vellox::NormalizeMailDate(again);
    if (again != v)
        std::abort();
    return 0;
}
