#include "export/preview.h"
#include "mime/charset.h"
#include "mime/codepage.h"
#include "scan/mailitem.h"

#include <gtest/gtest.h>

using namespace vellox;

namespace {
std::string Html(const tagMailItem& m, const std::string& text)
{
    return ToUtf8(BuildPreviewHtml(m, text));
}
const std::string kHead = "Received: x\r\nFrom: a\r\nTo: b\r\nDate: c\r\n";
} // namespace

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override { InitEncodeTypes(); }
};

TEST_F(PreviewTest, AttachmentSizes)
{
    struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {{0, ""}, {1, "1 B"}, {1024, "1024 B"}, {2048, "2.0 KB"}, {1048576, "1024.0 KB"},
                 {1048577, "1.0 MB"}, {1073741824, "1024.0 MB"}, {1073741825, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(ToUtf8(FormatAttachmentSize(c.bytes)), c.text) << c.bytes;
}

TEST_F(PreviewTest, HtmlPartWithAttachmentBlock)
{
    tagMailItem m;
    m.strBoundary = "b1";
    m.pAttachments = std::make_unique<AttachmentArray>();
    m.pAttachments->push_back({"a.pdf", u"a.pdf", "", 2048});
    const std::string text = kHead +
                             "Content-Type: multipart/alternative; boundary=b1\r\n\r\n--b1\r\nContent-Type: text/plain\r\n\r\n"
                             "plain version\r\n--b1\r\nContent-Type: text/html; charset=utf-8\r\n"
                             "Content-Transfer-Encoding: quoted-printable\r\n\r\n<html><body>caf=C3=A9</body></html>\r\n--b1--\r\n";
    const std::string html = Html(m, text);
    EXPECT_EQ(html.find("<pre>附件： a.pdf， 大小 2.0 KB\r\n\r\n" + std::string(60, '-') + "\r\n\r\n</pre>"), 0u);
    EXPECT_NE(html.find("<html><body>café</body>"), std::string::npos);
    EXPECT_EQ(html.find("plain version"), std::string::npos);
}

TEST_F(PreviewTest, Base64PlainPartIsDecodedEscapedAndCutAtTheRealBoundary)
{
    tagMailItem m;
    m.strBoundary = "XyZ";
    const std::string text = kHead +
                             "Content-Type: multipart/mixed; boundary=XyZ\r\n\r\n--XyZ\r\nContent-Type: text/plain; charset=gb2312\r\n"
                             "Content-Transfer-Encoding: base64\r\n\r\nPGI+1tDOxDwvYj4=\r\n--XyZ\r\nContent-Type: application/zip\r\n"
                             "Content-Transfer-Encoding: base64\r\n\r\nUEsDBA==\r\n--XyZ--\r\n";
    EXPECT_EQ(Html(m, text), "<pre>&lt;b&gt;中文&lt;/b&gt;</pre>");
}

TEST_F(PreviewTest, PartWithoutEncodingIsQuotedPrintableAndKeepsItsCharset)
{
    tagMailItem m;
    m.strBoundary = "bb";
    const std::string text = kHead +
                             "Content-Type: multipart/mixed; boundary=bb\r\n\r\n--bb\r\nContent-Type: text/plain; charset=\"utf-8\"\r\n\r\n"
                             "a=3Db \xF0\x9F\x98\x80\r\n--bb\r\nContent-Type: image/png\r\nContent-Transfer-Encoding: base64\r\n\r\niVBO\r\n--bb--\r\n";
    // The emoji has no GBK form: decoding straight to Unicode keeps it.
    EXPECT_EQ(Html(m, text), "<pre>a=b 😀\r\n</pre>");
}

TEST_F(PreviewTest, RawRouteAndBlankCases)
{
    tagMailItem m;
    EXPECT_EQ(Html(m, ""), "");
    EXPECT_EQ(Html(m, kHead + "\r\nJust text <here>\r\n"), "<pre>\r\n\r\nJust text &lt;here&gt;\r</pre>");
    // An encoding header without a value leaves the pane blank.
    EXPECT_EQ(Html(m, kHead + "Content-Type: text/plain\r\nContent-Transfer-Encoding: \r\n\r\nbody\r\n"), "");
}
