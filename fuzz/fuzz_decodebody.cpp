// DecodeBody with arbitrary Content-Type and transfer-encoding values: the input is
// "content type \0 part content type \0 encoding \0 body".
#include "mime/charset.h"
#include "mime/transfer.h"
#include "scan/mailitem.h"

using namespace vellox;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool init = (InitEncodeTypes(), true);
    (void)init;
    std::string in(reinterpret_cast<const char*>(data), size);
    std::string fields[4];
    size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        size_t z = in.find('\0', at);
        if (z == std::string::npos)
            break;
        fields[i] = in.substr(at, z - at);
        at = z + 1;
    }
    fields[3] = in.substr(std::min(at, in.size()));
    tagMailItem m;
    m.strContentType = fields[0];
    m.strPartContentType = fields[1];
    m.strPartTransferEncoding = fields[2];
    m.strBody = fields[3];
    DecodeBody(m);
    return 0;
}
