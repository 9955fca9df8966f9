#include "mime/charset.h"
#include "mime/codepage.h"
#include "mime/headerparam.h"

#include <gtest/gtest.h>

using namespace vellox;

TEST(HeaderParamTest, FindNoCase)
{
    EXPECT_EQ(FindNoCase("Content-Type: Text/Plain", "text/plain"), 14);
    EXPECT_EQ(FindNoCase("abc", "x"), -1);
    EXPECT_EQ(FindNoCase("abc", ""), 0);
}

TEST(HeaderParamTest, AttachmentNames)
{
    InitEncodeTypes();
    struct {
        const char* name;
        std::string header;
        bool found;
        std::string display;
    } cases[] = {
        {"quoted",
         "--b\r\nContent-Type: application/msword; name=\"a.doc\"\r\nContent-Transfer-Encoding: base64\r\n"
         "Content-Disposition: attachment; filename=\"a.doc\"\r\n\r\n",
         true, "a.doc"},
        {"unquoted",
         "--b\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=a.doc\r\n\r\n", true,
         "a.doc"},
        {"encoded_word",
         "--b\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment;\r\n\tfilename=\"=?gb2312?B?1tDOxA==?=.doc\"\r\n\r\n",
         true, "中文.doc"},
        {"rfc2231",
         "--b\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment;\r\n filename*=utf-8''%E4%B8%AD%E6%96%87.pdf\r\n\r\n",
         true, "中文.pdf"},
        {"rfc2231_sections",
         "--b\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment;\r\n filename*0*=gb2312''%D6%D0;\r\n filename*1*=%CE%C4.txt\r\n\r\n",
         true, "中文.txt"},
        {"encoding_after_name",
         "--b\r\nContent-Disposition: attachment; filename=\"x.zip\"\r\nContent-Transfer-Encoding: base64\r\n\r\n", true,
         "x.zip"},
        {"no_attachment_word", "--b\r\nContent-Transfer-Encoding: base64\r\nContent-Type: image/png; filename=\"p.png\"\r\n\r\n",
         false, ""},
        {"stops_at_empty_line",
         "--b\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment\r\n\r\nfilename=\"late.txt\"\r\n",
         false, ""},
    };
    for (auto& c : cases) {
        std::string data = c.header;
        ByteView v{reinterpret_cast<uint8_t*>(data.data()), data.size()};
        std::vector<ByteString> lines;
        ByteString enc, file;
        std::u16string display;
        EXPECT_EQ(ReadAttachmentHeader(v, 0, lines, enc, file, display), c.found) << c.name;
        if (c.found) {
            EXPECT_EQ(ToUtf8(display), c.display) << c.name;
            EXPECT_NE(enc.find("base64"), std::string::npos) << c.name;
        }
    }
}
