#include "mime/codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <map>
#include <memory>
#include <vector>

namespace vellox {

namespace {

struct CodePageName {
    int cp;
    const char* icu;
};

// Every code page of the charset table that ICU serves (its converter aliases as ICU 72 lists them).
constexpr CodePageName kCodePages[] = {
    {0, "GB18030"},           {936, "windows-936"},     {54936, "GB18030"},       {52936, "HZ"},
    {28592, "ISO-8859-2"},    {28594, "ISO-8859-4"},    {50220, "ISO-2022-JP"},   {50221, "ISO-2022-JP"},
    {51932, "EUC-JP"},        {950, "windows-950"},     {65000, "UTF-7"},         {65001, "UTF-8"},
    {1252, "windows-1252"},   {932, "windows-932"},     {949, "windows-949"},     {51949, "EUC-KR"},
    {50225, "ISO-2022-KR"},   {28596, "ISO-8859-6"},    {28595, "ISO-8859-5"},    {28597, "ISO-8859-7"},
    {28593, "ISO-8859-3"},    {28605, "ISO-8859-15"},   {28591, "ISO-8859-1"},    {708, "ASMO-708"},
    {720, "ibm-720"},         {10004, "ibm-1256"},      {1256, "windows-1256"},   {775, "ibm-775"},
    {1257, "windows-1257"},   {852, "ibm-852"},         {10029, "x-mac-ce"},      {1250, "windows-1250"},
    {51936, "EUC-CN"},        {20000, "ibm-964"},       {866, "ibm-866"},         {20866, "KOI8-R"},
    {21866, "KOI8-U"},        {10007, "x-mac-cyrillic"}, {1251, "windows-1251"},  {737, "ibm-737"},
    {10006, "x-mac-greek"},   {1253, "windows-1253"},   {869, "ibm-869"},         {862, "ibm-862"},
    {38598, "ISO-8859-8-I"},  {28598, "ISO-8859-8"},    {1255, "windows-1255"},   {20420, "ibm-420"},
    {21025, "ibm-1025"},      {20277, "ibm-277"},       {1142, "ibm-1142"},       {20278, "ibm-278"},
    {1143, "ibm-1143"},       {1147, "ibm-1147"},       {20273, "ibm-273"},       {1141, "ibm-1141"},
    {875, "ibm-875"},         {20424, "ibm-424"},       {20871, "ibm-871"},       {1149, "ibm-1149"},
    {1148, "ibm-1148"},       {20280, "ibm-280"},       {1144, "ibm-1144"},       {50930, "ibm-930"},
    {50939, "ibm-939"},       {50931, "ibm-931"},       {20290, "ibm-290"},       {50933, "ibm-933"},
    {870, "ibm-870"},         {50935, "ibm-935"},       {20284, "ibm-284"},       {1145, "ibm-1145"},
    {20838, "ibm-838"},       {50937, "ibm-937"},       {1026, "ibm-1026"},       {20285, "ibm-285"},
    {1146, "ibm-1146"},       {37, "ibm-37"},           {1140, "ibm-1140"},       {861, "ibm-861"},
    {57006, "x-iscii-as"},    {57003, "x-iscii-be"},    {57002, "x-iscii-de"},    {57010, "x-iscii-gu"},
    {57008, "x-iscii-ka"},    {57009, "x-iscii-ma"},    {57007, "x-iscii-or"},    {57011, "x-iscii-pa"},
    {57004, "x-iscii-ta"},    {57005, "x-iscii-te"},    {437, "ibm-437"},         {874, "windows-874"},
    {857, "ibm-857"},         {28599, "ISO-8859-9"},    {10081, "x-mac-turkish"}, {1254, "windows-1254"},
    {1201, "UTF-16BE"},       {1258, "windows-1258"},   {850, "ibm-850"},         {10000, "macintosh"},
};

struct ConverterDeleter {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterDeleter>;

// Opening a converter costs more than most conversions, so each thread keeps the ones it used.
UConverter* ConverterFor(int codePage)
{
    thread_local std::map<int, ConverterPtr> cache;
    auto it = cache.find(codePage);
    if (it != cache.end()) {
        ucnv_reset(it->second.get());
        return it->second.get();
    }
    const char* name = CodePageConverterName(codePage);
    if (!name)
        return nullptr;
    UErrorCode err = U_ZERO_ERROR;
    UConverter* c = ucnv_open(name, &err);
    if (U_FAILURE(err) || !c)
        return nullptr;
    cache.emplace(codePage, ConverterPtr(c));
    return c;
}

} // namespace

const char* CodePageConverterName(int codePage)
{
    for (const auto& e : kCodePages)
        if (e.cp == codePage)
            return e.icu;
    return nullptr;
}

bool IsCodePageSupported(int codePage)
{
    return ConverterFor(codePage) != nullptr;
}

std::u16string MultiByteToWide(int codePage, const char* data, size_t len)
{
    if (len == 0)
        return {};
    UConverter* c = ConverterFor(codePage);
    if (!c)
        return {};
    std::u16string out;
    out.resize(len * 2 + 16);
    UErrorCode err = U_ZERO_ERROR;
    int32_t n = ucnv_toUChars(c, out.data(), static_cast<int32_t>(out.size()), data, static_cast<int32_t>(len), &err);
    if (err == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(static_cast<size_t>(n) + 1);
        err = U_ZERO_ERROR;
        ucnv_reset(c);
        n = ucnv_toUChars(c, out.data(), static_cast<int32_t>(out.size()), data, static_cast<int32_t>(len), &err);
    }
    if (U_FAILURE(err))
        return {};
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string WideToMultiByte(int codePage, const std::u16string& text)
{
    if (text.empty())
        return {};
    UConverter* c = ConverterFor(codePage);
    if (!c)
        return {};
    UErrorCode err = U_ZERO_ERROR;
    ucnv_setSubstChars(c, "?", 1, &err);
    err = U_ZERO_ERROR;
    std::string out;
    out.resize(text.size() * 4 + 16);
    int32_t n = ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()), text.data(),
                                static_cast<int32_t>(text.size()), &err);
    if (err == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(static_cast<size_t>(n) + 1);
        err = U_ZERO_ERROR;
        ucnv_reset(c);
        n = ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()), text.data(),
                            static_cast<int32_t>(text.size()), &err);
    }
    if (U_FAILURE(err))
        return {};
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string ToUtf8(const std::u16string& text)
{
    if (text.empty())
        return {};
    std::string out(text.size() * 3 + 1, '\0');
    int32_t n = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &n, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &err);
    if (U_FAILURE(err))
        return {};
    out.resize(static_cast<size_t>(n));
    return out;
}

std::u16string FromUtf8(const std::string& text)
{
    return MultiByteToWide(CP_UTF8, text);
}

} // namespace vellox
