// Makes a small deterministic disk image with e-mail messages in it, in Chinese and English, some stored
// the .dbx way (512-byte blocks behind 16-byte headers), some with attachments, between noise and zeros.
//
//   vellox-make-demo OUT.img [--copies N] [--noise-mib M] [--expect DIR]
//
// --copies repeats the message set N times (a larger image for benchmarks); --noise-mib puts M MiB of
// random bytes and zeros between the copies; --expect writes each planted message, as a recovered .eml
// file should hold it, into DIR (one file per message, numbered in image order).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Base64(const std::string& in)
{
    static const char* t = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    int col = 0;
    for (size_t i = 0; i < in.size(); i += 3) {
        uint32_t v = static_cast<uint8_t>(in[i]) << 16;
        if (i + 1 < in.size())
            v |= static_cast<uint8_t>(in[i + 1]) << 8;
        if (i + 2 < in.size())
            v |= static_cast<uint8_t>(in[i + 2]);
        out += t[(v >> 18) & 63];
        out += t[(v >> 12) & 63];
        out += i + 1 < in.size() ? t[(v >> 6) & 63] : '=';
        out += i + 2 < in.size() ? t[v & 63] : '=';
        if ((col += 4) == 76) {
            out += "\r\n";
            col = 0;
        }
    }
    if (col)
        out += "\r\n";
    return out;
}

std::string Header(int n, const std::string& from, const std::string& to, const std::string& subject,
                   const std::string& date, const std::string& extra)
{
    char rcv[160];
    std::snprintf(rcv, sizeof rcv, "Received: from mx%d.example.net ([192.0.2.%d]) by mail.example.com; %s\r\n", n,
                  n % 250 + 1, date.c_str());
    return std::string(rcv) + "From: " + from + "\r\nTo: " + to + "\r\nSubject: " + subject + "\r\nDate: " + date +
           "\r\nMessage-ID: <demo" + std::to_string(n) + "@example.com>\r\nMIME-Version: 1.0\r\n" + extra;
}

struct Planted {
    std::string bytes;
    bool dbx = false;
};

std::vector<Planted> MessageSet(int copy)
{
    std::vector<Planted> v;
    const std::string gb_zhongwen = "\xD6\xD0\xCE\xC4";                    // 中文 in GB2312
    const std::string gb_test = "\xB2\xE2\xCA\xD4";                        // 测试
    const std::string gbk_hello = "\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7"; // 你好，世界
    const std::string big5_zhongwen = "\xA4\xA4\xA4\xE5";                  // 中文 in Big5
    int n = copy * 100;
    auto date = [&](int d) {
        char b[64];
        std::snprintf(b, sizeof b, "Mon, %d Mar 2009 %02d:%02d:%02d +0800", d % 28 + 1, d % 24, (d * 7) % 60,
                      (d * 13) % 60);
        return std::string(b);
    };
    // English, single part.
    v.push_back({Header(++n, "Alice Smith <alice@example.org>", "bob@example.com", "Quarterly report",
                        date(n), "Content-Type: text/plain; charset=us-ascii\r\n") +
                  "\r\nHi Bob,\r\n\r\nThe quarterly report is ready.\r\n\tTabs and long lines stay as they are.\r\n"});
    // GB2312 subject as an encoded word, GB2312 body.
    v.push_back({Header(++n, "=?gb2312?B?1tDOxA==?= <zh@example.cn>", "bob@example.com",
                        "=?gb2312?B?1tDOxLLiytQ=?=", date(n),
                        "Content-Type: text/plain; charset=gb2312\r\nContent-Transfer-Encoding: 8bit\r\n") +
                  "\r\n" + gb_zhongwen + gb_test + "\r\n"});
    // GBK body without a charset name (read with the ANSI code page).
    v.push_back({Header(++n, "wang@example.cn", "li@example.cn", "=?GBK?B?xOO6wyzKwL3n?=", date(n),
                        "Content-Type: text/plain\r\n") +
                  "\r\n" + gbk_hello + "\r\n"});
    // Big5, quoted-printable.
    v.push_back({Header(++n, "chen@example.tw", "lin@example.tw", "=?big5?B?pKSk5Q==?=", date(n),
                        "Content-Type: text/plain; charset=big5\r\nContent-Transfer-Encoding: quoted-printable\r\n") +
                  "\r\n=A4=A4=A4=E5 Big5 text\r\n"});
    // UTF-8 subject split over two words and two lines, base64 body.
    v.push_back({Header(++n, "=?utf-8?B?5byg5LiJ?= <zhang@example.cn>", "team@example.com",
                        "=?utf-8?B?5Lit5paH5rWL6K+V?=\r\n =?utf-8?B?5Li76aKY?=", date(n),
                        "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n") +
                  "\r\n" + Base64("这是一封 UTF-8 邮件。\r\n") });
    // Multipart with a base64 attachment.
    {
        std::string data;
        for (int i = 0; i < 3000; ++i)
            data.push_back(static_cast<char>((i * 37 + copy) & 0xFF));
        v.push_back({Header(++n, "Carol <carol@example.org>", "dave@example.com", "Photos from the trip", date(n),
                            "X-Priority: 1\r\nContent-Type: multipart/mixed; boundary=\"=_NextPart_0001\"\r\n") +
                      "\r\nThis is a multi-part message in MIME format.\r\n\r\n--=_NextPart_0001\r\n"
                      "Content-Type: text/plain; charset=us-ascii\r\n\r\nPhotos attached.\r\n\r\n"
                      "--=_NextPart_0001\r\nContent-Type: image/jpeg; name=\"trip.jpg\"\r\n"
                      "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"trip.jpg\"\r\n\r\n" +
                      Base64(data) + "\r\n--=_NextPart_0001--\r\n"});
    }
    // Multipart/alternative nested in mixed, with a quoted-printable attachment and an unquoted boundary.
    v.push_back({Header(++n, "\"Eve\" <eve@example.org>", "frank@example.com", "Re: minutes", date(n),
                        "Content-Type: multipart/mixed;\r\n\tboundary=outer42\r\n") +
                  "\r\n--outer42\r\nContent-Type: multipart/alternative;\r\n\tboundary=\"inner42\"\r\n\r\n"
                  "--inner42\r\nContent-Type: text/plain; charset=\"utf-8\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
                  "Minutes attached. Caf=C3=A9 at 10.\r\n\r\n--inner42\r\nContent-Type: text/html; charset=\"utf-8\"\r\n\r\n"
                  "<html><body><p>Minutes attached.</p></body></html>\r\n\r\n--inner42--\r\n\r\n"
                  "--outer42\r\nContent-Type: text/plain; name=\"minutes.txt\"\r\nContent-Transfer-Encoding: quoted-printable\r\n"
                  "Content-Disposition: attachment; filename=minutes.txt\r\n\r\nItem 1=3D done\r\nItem 2=3D open\r\n\r\n"
                  "--outer42--\r\n"});
    // A Chinese attachment name (RFC 2047 inside the parameter), stored the .dbx way.
    v.push_back({Header(++n, "zhao@example.cn", "qian@example.cn", "=?gb2312?B?1tDOxLi9vP4=?=", date(n),
                        "Content-Type: multipart/mixed; boundary=\"----=_Part_7\"\r\n") +
                      "\r\n------=_Part_7\r\nContent-Type: text/plain; charset=gb2312\r\n\r\n" + gb_zhongwen +
                      "\r\n\r\n------=_Part_7\r\nContent-Type: application/octet-stream\r\n"
                      "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment;\r\n\tfilename=\"=?gb2312?B?1tDOxA==?=.txt\"\r\n\r\n" +
                      Base64(std::string(1200, 'z')) + "\r\n------=_Part_7--\r\n",
                  true});
    // English in .dbx blocks, several blocks long.
    {
        std::string body;
        for (int i = 0; i < 30; ++i)
            body += "Line " + std::to_string(i) + " of a message that spans several mailbox blocks.\r\n";
        v.push_back({Header(++n, "grace@example.org", "heidi@example.com", "Stored in a mailbox file", date(n),
                            "Content-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: 7bit\r\n") +
                         "\r\n" + body,
                     true});
    }
    // X-Attachment header and a Delivered-To trace line.
    v.push_back({"Delivered-To: ivan@example.com\r\n" +
                 Header(++n, "judy@example.org", "ivan@example.com", "Invoice", date(n),
                        "X-Attachment: invoice.pdf, 48213\r\nContent-Type: text/plain; charset=us-ascii\r\n") +
                 "\r\nInvoice attached separately.\r\n"});
    return v;
}

std::string DbxBlocks(const std::string& message, uint32_t at)
{
    std::string out;
    for (size_t i = 0; i < message.size(); i += 512) {
        const std::string data = message.substr(i, 512);
        const uint32_t self = at + static_cast<uint32_t>(out.size());
        const uint32_t next = i + 512 < message.size() ? self + 528 : 0;
        unsigned char h[16] = {};
        for (int b = 0; b < 4; ++b) {
            h[b] = static_cast<unsigned char>(self >> (8 * b));
            h[12 + b] = static_cast<unsigned char>(next >> (8 * b));
        }
        h[5] = 0x02;
        h[8] = static_cast<unsigned char>(data.size());
        h[9] = static_cast<unsigned char>(data.size() >> 8);
        out.append(reinterpret_cast<char*>(h), 16);
        out += data;
        out.append(512 - data.size(), '\0');
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.img [--copies N] [--noise-mib M] [--expect DIR]\n", argv[0]);
        return 2;
    }
    std::string out = argv[1], expectDir;
    int copies = 2;
    double noiseMib = 0.05;
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string o = argv[i];
        if (o == "--copies")
            copies = std::atoi(argv[i + 1]);
        else if (o == "--noise-mib")
            noiseMib = std::atof(argv[i + 1]);
        else if (o == "--expect")
            expectDir = argv[i + 1];
    }
    std::mt19937 rng(20091115);
    std::string image(4096, '\0');
    int index = 0;
    auto noise = [&](size_t bytes) {
        std::string s;
        s.reserve(bytes);
        for (size_t i = 0; i < bytes; ++i)
            s.push_back(static_cast<char>(rng() & 0xFF));
        // Keep the noise free of CR LF pairs followed by trace keywords: it stays noise.
        return s;
    };
    for (int c = 0; c < copies; ++c) {
        for (const auto& m : MessageSet(c)) {
            // Alternate odd offsets, sector starts and block storage.
            if (m.dbx) {
                while (image.size() % 4)
                    image.push_back('\0');
                image += DbxBlocks(m.bytes, static_cast<uint32_t>(image.size()));
            } else if (index % 3 == 0) {
                image.resize((image.size() + 511) / 512 * 512, '\0');
                image += m.bytes;
            } else {
                image += std::string(1 + index % 7, '\0') + "\r\n" + m.bytes;
            }
            image += std::string(600 + index * 13 % 500, '\0');
            if (!expectDir.empty()) {
                char name[64];
                std::snprintf(name, sizeof name, "/%05d.eml", index);
                std::ofstream(expectDir + name, std::ios::binary) << m.bytes;
            }
            ++index;
        }
        const size_t noiseBytes = static_cast<size_t>(noiseMib * 1024 * 1024);
        image += noise(noiseBytes / 2);
        image += std::string(noiseBytes / 2, '\0');
        image += std::string(1024, '\0');
    }
    image.resize((image.size() + 511) / 512 * 512 + 4096, '\0');
    std::ofstream f(out, std::ios::binary | std::ios::trunc);
    f.write(image.data(), static_cast<std::streamsize>(image.size()));
    f.close();
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s: %d messages, %zu bytes\n", out.c_str(), index, image.size());
    return 0;
}
