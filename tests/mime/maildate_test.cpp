#include "mime/maildate.h"

#include <gtest/gtest.h>

using namespace vellox;

TEST(MailDateTest, Normalises)
{
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Tue, 15 Nov 2009 08:12:31 +0800", "2009-11-15 08:12:31"},
        {"15 nov 2009 08:12:31 GMT", "2009-11-15 08:12:31"},
        {"Sun, 1 Feb 2009 8:02:05 -0800", "2009-02-01 08:02:05"},
        {"15 Nov 09 08:12:31 +0800", "2009-11-15 08:12:31"},
        {"15 Nov 95 08:12:31 +0800", "1995-11-15 08:12:31"},
        {"15 Nov 2049 00:00:00 +0000", "2049-11-15 00:00:00"},
        {"15 Nov 2050 00:00:00 +0000", "15 Nov 2050 00:00:00 +0000"},
        {"15 Nov 1990 00:00:00 +0000", "15 Nov 1990 00:00:00 +0000"},
        {"15 November 2009 08:12:31 +0800", "2009-11-15 08:12:31"},
        {"15 Nov 2009 08:12:31", "2009-11-15 08:12:31"},
        {"15 Nov 2009", "2009-11-15 00:00:00"},
        {"", ""},
        {"no digits here", "no digits here"},
    };
    for (const auto& c : cases) {
        std::string v = c.in;
        NormalizeMailDate(v);
        EXPECT_EQ(v, c.out) << c.in;
    }
}

TEST(MailDateTest, NormalisingTwiceChangesNothing)
{
    for (const char* in : {"Tue, 15 Nov 2009 08:12:31 +0800", "1 Jan 2012 00:00:00", "31 Dec 1999 23:59:59 -0000",
                           "Fri, 3 Mar 2000 1:2:3", "15 Nov 12 10:00:00",
                           // Inputs the fuzzer found: garbage that once normalised to something that
                           // normalised differently again.
                           "2009-101-15 08:12:31", "2009-11-15 08\xff\xff\xff\xff\xff:12:71", "45 Nov 2009 25:61:00"}) {
        std::string once = in;
        NormalizeMailDate(once);
        std::string twice = once;
        NormalizeMailDate(twice);
        EXPECT_EQ(twice, once) << in;
    }
}
