#include "mime/charset.h"
#include "mime/codepage.h"

#include <mutex>

namespace vellox {

std::vector<tagEncodeType> g_arrEncodeType;

namespace {

struct Row {
    const char* name;
    int cp;
};

// Order matters: the prefix lookups take the first row that matches.
constexpr Row kRows[] = {
    {"gb2312", 936},
    {"gbk", 936},
    {"cp936", 936},
    {"hz-gb-2312", 52936},
    {"iso-8859-2", 28592},
    {"iso-8859-4", 28594},
    {"iso-2022-jp", 50220},
    {"euc-jp", 51932},
    {"big5", 950},
    {"utf-7", 65000},
    {"utf-8", 65001},
    {"us-ascii", 1252},
    {"shift_jis", 932},
    {"ks_c_5601-1987", 949},
    {"euc-kr", 51949},
    {"iso-2022-kr", 50225},
    {"system", 0},
    {"iso-8859-6", 28596},
    {"iso-8859-5", 28595},
    {"iso-8859-7", 28597},
    {"iso-8859-3", 28593},
    {"iso-8859-15", 28605},
    {"iso-8859-1", 28591},
    {"asmo-708", 708},
    {"dos-720", 720},
    {"x-mac-arabic", 10004},
    {"windows-1256", 1256},
    {"ibm775", 775},
    {"windows-1257", 1257},
    {"ibm852", 852},
    {"x-mac-ce", 10029},
    {"windows-1250", 1250},
    {"euc-cn", 51936},
    {"x-mac-chinesesimp", 10008},
    {"x-chinese-cns", 20000},
    {"x-chinese-eten", 20002},
    {"x-mac-chinesetrad", 10002},
    {"cp866", 866},
    {"koi8-r", 20866},
    {"koi8-u", 21866},
    {"x-mac-cyrillic", 10007},
    {"windows-1251", 1251},
    {"x-europa", 29001},
    {"x-ia5-german", 20106},
    {"ibm737", 737},
    {"x-mac-greek", 10006},
    {"windows-1253", 1253},
    {"ibm869", 869},
    {"dos-862", 862},
    {"iso-8859-8-i", 38598},
    {"iso-8859-8", 28598},
    {"x-mac-hebrew", 10005},
    {"windows-1255", 1255},
    {"x-ebcdic-arabic", 20420},
    {"x-ebcdic-cyrillicrussian", 20880},
    {"x-ebcdic-cyrillicserbianbulgarian", 21025},
    {"x-ebcdic-denmarknorway", 20277},
    {"x-ebcdic-denmarknorway-euro", 1142},
    {"x-ebcdic-finlandsweden", 20278},
    {"x-ebcdic-finlandsweden-euro", 1143},
    {"x-ebcdic-france-euro", 1147},
    {"x-ebcdic-germany", 20273},
    {"x-ebcdic-germany-euro", 1141},
    {"x-ebcdic-greekmodern", 875},
    {"x-ebcdic-greek", 20423},
    {"x-ebcdic-hebrew", 20424},
    {"x-ebcdic-icelandic", 20871},
    {"x-ebcdic-icelandic-euro", 1149},
    {"x-ebcdic-international-euro", 1148},
    {"x-ebcdic-italy", 20280},
    {"x-ebcdic-italy-euro", 1144},
    {"x-ebcdic-japaneseandkana", 50930},
    {"x-ebcdic-japaneseandjapaneselatin", 50939},
    {"x-ebcdic-japaneseanduscanada", 50931},
    {"x-ebcdic-japanesekatakana", 20290},
    {"x-ebcdic-koreanandkoreanextended", 50933},
    {"x-ebcdic-koreanextended", 20833},
    {"cp870", 870},
    {"x-ebcdic-simplifiedchinese", 50935},
    {"x-ebcdic-spain", 20284},
    {"x-ebcdic-spain-euro", 1145},
    {"x-ebcdic-thai", 20838},
    {"x-ebcdic-traditionalchinese", 50937},
    {"cp1026", 1026},
    {"x-ebcdic-turkish", 20905},
    {"x-ebcdic-uk", 20285},
    {"x-ebcdic-uk-euro", 1146},
    {"ebcdic-cp-us", 37},
    {"x-ebcdic-cp-us-euro", 1140},
    {"ibm861", 861},
    {"x-mac-icelandic", 10079},
    {"x-iscii-as", 57006},
    {"x-iscii-be", 57003},
    {"x-iscii-de", 57002},
    {"x-iscii-gu", 57010},
    {"x-iscii-ka", 57008},
    {"x-iscii-ma", 57009},
    {"x-iscii-or", 57007},
    {"x-iscii-pa", 57011},
    {"x-iscii-ta", 57004},
    {"x-iscii-te", 57005},
    {"csiso2022jp", 50221},
    {"x-mac-japanese", 10001},
    {"johab", 1361},
    {"x-mac-korean", 10003},
    {"x-ia5-norwegian", 20108},
    {"ibm437", 437},
    {"x-ia5-swedish", 20107},
    {"windows-874", 874},
    {"ibm857", 857},
    {"iso-8859-9", 28599},
    {"x-mac-turkish", 10081},
    {"windows-1254", 1254},
    {"unicodefffe", 1201},
    {"windows-1258", 1258},
    {"ibm850", 850},
    {"x-ia5", 20105},
    {"macintosh", 10000},
    {"windows-1252", 1252},
    // Not in the classic table, but mail from mainland China names it often.
    {"gb18030", 54936},
};

std::once_flag g_initOnce;

bool IsWideSpace(char16_t c)
{
    return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

bool IsByteSpace(unsigned char c)
{
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

int FindExact(const ByteString& name)
{
    for (size_t i = 0; i < g_arrEncodeType.size(); ++i)
        if (g_arrEncodeType[i].strName == name)
            return static_cast<int>(i);
    return -1;
}

} // namespace

ByteString AsciiLower(ByteString s)
{
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::u16string TrimWide(const std::u16string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsWideSpace(s[b]))
        ++b;
    while (e > b && IsWideSpace(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

ByteString TrimBytes(const ByteString& s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsByteSpace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && IsByteSpace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

void InitEncodeTypes()
{
    std::call_once(g_initOnce, [] {
        if (!g_arrEncodeType.empty())
            return;
        for (const auto& r : kRows)
            g_arrEncodeType.push_back({r.name, r.cp});
    });
}

namespace {

// An exact name first; then the first row whose name the given one begins with ("gb2312-80" reads as
// gb2312); then, when allowed, the first row whose name begins with the given one ("utf").
int LookupName(const ByteString& name, bool allowShortened)
{
    if (name.empty())
        return -1;
    int exact = FindExact(name);
    if (exact >= 0)
        return exact;
    for (size_t i = 0; i < g_arrEncodeType.size(); ++i)
        if (name.compare(0, g_arrEncodeType[i].strName.size(), g_arrEncodeType[i].strName) == 0)
            return static_cast<int>(i);
    if (allowShortened)
        for (size_t i = 0; i < g_arrEncodeType.size(); ++i)
            if (g_arrEncodeType[i].strName.compare(0, name.size(), name) == 0)
                return static_cast<int>(i);
    return -1;
}

} // namespace

int FindEncodeTypeByName(const ByteString& rawName)
{
    return LookupName(AsciiLower(rawName), true);
}

int FindEncodeTypeInWord(const ByteString& word)
{
    if (word.size() < 2 || word[0] != '=' || word[1] != '?')
        return -1;
    size_t end = word.find('?', 2);
    ByteString name = word.substr(2, end == ByteString::npos ? ByteString::npos : end - 2);
    // RFC 2231 section 5 lets a language follow the charset: "=?utf-8*en?Q?...".
    size_t star = name.find('*');
    if (star != ByteString::npos)
        name.resize(star);
    return LookupName(AsciiLower(name), false);
}

int FindEncodeTypeByCharset(const ByteString& value)
{
    ByteString v = value;
    size_t cut = v.find_first_of("; \t\r\n");
    if (cut != ByteString::npos)
        v.resize(cut);
    while (!v.empty() && (v.back() == '"' || v.back() == '\''))
        v.pop_back();
    while (!v.empty() && (v.front() == '"' || v.front() == '\''))
        v.erase(0, 1);
    v = AsciiLower(v);
    if (v.empty())
        return -1;
    int exact = FindExact(v);
    if (exact >= 0)
        return exact;
    for (size_t i = 0; i < g_arrEncodeType.size(); ++i)
        if (g_arrEncodeType[i].strName.compare(0, v.size(), v) == 0)
            return static_cast<int>(i);
    return -1;
}

std::u16string tagEncodeType::DecodeBytes(const ByteString& bytes) const
{
    if (nCodePage == 1201 || nCodePage == 65000)
        return MultiByteToWide(nCodePage, bytes);
    // Like the platform conversion, stop at the first NUL byte.
    size_t n = bytes.find('\0');
    return MultiByteToWide(nCodePage, bytes.data(), n == ByteString::npos ? bytes.size() : n);
}

std::u16string tagEncodeType::DecodeText(const ByteString& bytes) const
{
    return TrimWide(DecodeBytes(bytes));
}

std::u16string AnsiToWide(const ByteString& text)
{
    size_t n = text.find('\0');
    return MultiByteToWide(CP_ACP, text.data(), n == ByteString::npos ? text.size() : n);
}

ByteString WideToAnsi(const std::u16string& text)
{
    size_t n = text.find(u'\0');
    return WideToMultiByte(CP_ACP, n == std::u16string::npos ? text : text.substr(0, n));
}

void Utf8ToAnsi(ByteString& text)
{
    std::u16string wide = MultiByteToWide(CP_UTF8, text);
    size_t n = wide.find(u'\0');
    if (n != std::u16string::npos)
        wide.resize(n);
    ByteString out = WideToMultiByte(CP_ACP, wide);
    n = out.find('\0');
    if (n != ByteString::npos)
        out.resize(n);
    if (!out.empty())
        text = out;
}

} // namespace vellox
