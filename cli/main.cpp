// vellox-cli: finds the e-mail messages in a disk, partition, image or mailbox file and saves them.
#include "cli/clihost.h"
#include "export/savejob.h"
#include "mime/charset.h"
#include "mime/codepage.h"
#include "mime/encodedword.h"
#include "scan/mailitem.h"
#include "scan/scanrun.h"
#include "source/sourcelist.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace vellox;

namespace {

void OnInterrupt(int)
{
    g_bStopScan = 1;
}

std::string DateText(const tagMailItem& m)
{
    return ToUtf8(AnsiToWide(m.strDate));
}

nlohmann::json Report(const std::vector<tagMailItem*>& records, const std::vector<std::string>& files,
                      const std::string& source, uint64_t sectors)
{
    nlohmann::json j;
    j["source"] = source;
    j["sectors"] = sectors;
    auto& arr = j["records"] = nlohmann::json::array();
    for (size_t i = 0; i < records.size(); ++i) {
        const tagMailItem& m = *records[i];
        const auto snap = m.TakeSnapshot();
        nlohmann::json r;
        r["start_sector"] = m.nStartSector;
        r["start_offset"] = m.nStartOffset;
        r["from"] = ToUtf8(m.strFromText);
        r["to"] = ToUtf8(m.strToText);
        ByteString cc = m.strCc;
        r["cc"] = ToUtf8(DecodeHeaderValue(cc));
        r["subject"] = ToUtf8(m.strSubjectText);
        r["date"] = DateText(m);
        r["priority"] = m.nPriority;
        auto& atts = r["attachments"] = nlohmann::json::array();
        for (const auto& a : snap.attachments)
            atts.push_back({{"name", ToUtf8(a.strDisplayName)}, {"size", a.nSize}});
        r["body_text"] = ToUtf8(snap.strBodyText);
        r["file"] = i < files.size() ? files[i] : std::string();
        arr.push_back(std::move(r));
    }
    return j;
}

int RunScanCommand(const std::string& source, const std::string& outDir, const std::string& format,
                   const std::string& reportPath, bool quiet)
{
    const bool progress = !quiet && ::isatty(STDERR_FILENO);
    CliHost host(progress);
    g_strDataSource = source;
    g_bStopScan = 0;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);

    ScanSummary sum;
    const auto t0 = std::chrono::steady_clock::now();
    std::thread worker([&] { ScanThreadProc(&host, &sum); });
    worker.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!sum.opened) {
        std::fprintf(stderr, "vellox-cli: cannot open %s: %s\n", source.c_str(), sum.error.c_str());
        return 1;
    }
    if (!sum.error.empty()) {
        std::fprintf(stderr, "vellox-cli: %s\n", sum.error.c_str());
        return 1;
    }
    const auto records = g_arrMailItem.All();
    const double mb = static_cast<double>(sum.sectorsRead) * 512.0 / 1e6;
    std::printf("%s: %llu sectors read, %zu messages found (%llu candidates), %.2f s, %.1f MB/s%s\n",
                source.c_str(), static_cast<unsigned long long>(sum.sectorsRead), records.size(),
                static_cast<unsigned long long>(sum.candidates), seconds, seconds > 0 ? mb / seconds : 0.0,
                sum.stopped ? " (stopped)" : "");
    if (sum.failedPieces)
        std::fprintf(stderr, "vellox-cli: %llu pieces of 64 KiB could not be read and were scanned as zeros\n",
                     static_cast<unsigned long long>(sum.failedPieces));

    int status = 0;
    std::vector<std::string> files;
    if (!outDir.empty()) {
        std::atomic<int> stop{0};
        SaveJobResult r = RunSaveJob(records, outDir, format == "txt" ? kSaveTxt : kSaveEml, nullptr, &host, &stop);
        files = r.files;
        if (!r.directoryReady) {
            std::fprintf(stderr, "vellox-cli: %s\n", r.error.c_str());
            return 1;
        }
        if (r.fellBackToTxt)
            std::fprintf(stderr, "vellox-cli: the source cannot be opened again; saved the messages as text\n");
        for (const auto& f : r.failures)
            std::fprintf(stderr, "vellox-cli: not saved: %s\n", f.c_str());
        std::printf("%zu of %zu messages saved to %s\n", r.written, records.size(), outDir.c_str());
        if (!r.failures.empty())
            status = 1;
    }
    if (!reportPath.empty()) {
        const std::string text = Report(records, files, source, sum.sectors)
                                     .dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
        std::ofstream out(reportPath, std::ios::binary | std::ios::trunc);
        out << text << '\n';
        out.close();
        if (!out) {
            std::fprintf(stderr, "vellox-cli: cannot write the report %s\n", reportPath.c_str());
            return 1;
        }
    }
    return status;
}

int RunSourcesCommand()
{
    for (const auto& e : ListOpenableSources())
        std::printf("%s\t%s\t%llu\n", e.source.c_str(), e.caption.c_str(),
                    static_cast<unsigned long long>(e.sectors * 512));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"vellox-cli: recovers e-mail messages from a disk, partition, disk image or mailbox file"};
    app.require_subcommand(1);

    std::string source, outDir, format = "eml", reportPath;
    bool quiet = false;
    auto* scan = app.add_subcommand("scan", "Scan SOURCE sector by sector for e-mail messages");
    scan->add_option("SOURCE", source, "HDn, a partition name such as sdb1, or a path")->required();
    scan->add_option("--out", outDir, "Save every message found into DIR");
    scan->add_option("--format", format, "File format of --out")->check(CLI::IsMember({"eml", "txt"}));
    scan->add_option("--report", reportPath, "Write the records found to FILE as JSON");
    scan->add_flag("--quiet", quiet, "No progress on stderr");
    auto* sources = app.add_subcommand("sources", "List the disks and partitions that can be opened");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    }
    InitEncodeTypes();
    if (*sources)
        return RunSourcesCommand();
    return RunScanCommand(source, outDir, format, reportPath, quiet);
}
