#include "mime/maildate.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace vellox {

namespace {

bool IsNormalised(const std::string& v)
{
    // dddd-dd-dd dd:dd:dd
    static const char kShape[] = "0000-00-00 00:00:00";
    if (v.size() != sizeof(kShape) - 1)
        return false;
    for (size_t i = 0; i < v.size(); ++i) {
        if (kShape[i] == '0') {
            if (!std::isdigit(static_cast<unsigned char>(v[i])))
                return false;
        } else if (v[i] != kShape[i]) {
            return false;
        }
    }
    return true;
}

int MonthNumber(const std::string& token)
{
    static const char* const kNames[] = {"january", "february", "march",     "april",   "may",      "june",
                                         "july",    "august",   "september", "october", "november", "december"};
    std::string t;
    for (char c : token)
        t.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (t.size() < 3)
        return 0;
    for (int m = 0; m < 12; ++m) {
        const std::string full = kNames[m];
        if (t == full || t == full.substr(0, 3) || (m == 8 && t == "sept"))
            return m + 1;
    }
    return 0;
}

long ReadInt(const std::string& s)
{
    return std::strtol(s.c_str(), nullptr, 10);
}

} // namespace

void NormalizeMailDate(std::string& value)
{
    if (IsNormalised(value))
        return;
    size_t start = 0;
    while (start < value.size() && !std::isdigit(static_cast<unsigned char>(value[start])))
        ++start;
    if (start >= value.size())
        return;

    std::string slots[6];
    int taken = 0;
    std::string current;
    for (size_t i = start; i <= value.size() && taken < 6; ++i) {
        const bool atEnd = i == value.size();
        const char c = atEnd ? ' ' : value[i];
        if (c == ',' || c == ' ' || c == ':') {
            if (!current.empty())
                slots[taken++] = current;
            current.clear();
        } else {
            current.push_back(c);
        }
    }

    const long day = ReadInt(slots[0]);
    long year = ReadInt(slots[2]);
    const long hour = ReadInt(slots[3]);
    const long minute = ReadInt(slots[4]);
    const long second = ReadInt(slots[5]);
    int month = MonthNumber(slots[1]);
    if (month == 0)
        month = 1; // an unreadable month still leaves a sortable date
    // RFC 5322 section 4.3: two-digit years below 50 are 20xx, other two- and three-digit years add 1900.
    size_t digits = 0;
    for (char c : slots[2])
        if (std::isdigit(static_cast<unsigned char>(c)))
            ++digits;
    if (digits > 0 && digits <= 2 && year >= 0 && year < 50)
        year += 2000;
    else if (digits > 0 && digits <= 3 && year >= 0 && year < 1000)
        year += 1900;
    if (year < 1991 || year > 2049)
        return;
    // A day or a time out of range is not a date: the value stays as it was, and the normalised form is
    // always a fixed point of this function.
    if (day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60)
        return;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%ld-%02d-%02ld %02ld:%02ld:%02ld", year, month, day, hour, minute, second);
    value = buf;
}

} // namespace vellox
