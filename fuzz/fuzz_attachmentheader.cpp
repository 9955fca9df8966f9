#include "mime/charset.h"
#include "mime/headerparam.h"

#include <vector>

using namespace vellox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool init = (InitEncodeTypes(), true);
    (void)init;
    // An exactly sized copy, so that any read past the end is caught.
    std::vector<uint8_t> buf(data, data + size);
    ByteView v{buf.data(), buf.size()};
    std::vector<ByteString> lines;
    ByteString enc, name;
    std::u16string display;
    for (size_t pos : {size_t{0}, size / 2, size})
        ReadAttachmentHeader(v, pos, lines, enc, name, display);
    return 0;
}
