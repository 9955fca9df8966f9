#include "export/savejob.h"
#include "export/reread.h"
#include "export/writers.h"
#include "mime/codepage.h"
#include "scan/mailitem.h"
#include "scan/scanrun.h"
#include "source/disk.h"

#include <cerrno>
#include <cstring>
#include <set>
#include <sys/stat.h>

namespace vellox {

namespace {

bool EnsureDirectory(const std::string& dir, std::string& error)
{
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return true;
        error = "创建目录失败！ " + dir + ": not a directory";
        return false;
    }
    if (::mkdir(dir.c_str(), 0755) == 0)
        return true;
    error = "创建目录失败！ " + dir + ": " + std::strerror(errno);
    return false;
}

} // namespace

SaveJobResult RunSaveJob(const std::vector<tagMailItem*>& records, const std::string& directory, SaveMode mode,
                         ISectorSource* source, ISaveHost* host, std::atomic<int>* stop)
{
    SaveJobResult result;
    result.files.assign(records.size(), std::string());
    if (stop)
        *stop = 0;
    if (records.empty()) {
        if (host)
            host->SaveEnded(result);
        return result;
    }
    CDisk own;
    if (!source && mode == kSaveEml) {
        if (own.Open(g_strDataSource))
            source = &own;
    }
    if (!source && mode == kSaveEml) {
        // Without the source no message can be re-read; the records still give their text.
        mode = kSaveTxt;
        result.fellBackToTxt = true;
    }
    if (!EnsureDirectory(directory, result.error)) {
        if (host)
            host->SaveEnded(result);
        return result;
    }
    result.directoryReady = true;
    std::string dir = directory;
    if (dir.back() != '/')
        dir += '/';
    if (host)
        host->SaveStarted(records.size());
    g_bUnsaved = 0;

    std::set<std::string> used;
    const std::string ext = mode == kSaveEml ? ".eml" : ".txt";
    for (size_t k = 0; k < records.size(); ++k) {
        if (stop && stop->load()) {
            result.stopped = true;
            break;
        }
        const tagMailItem& rec = *records[k];
        const std::u16string base = SaveJobBaseName(rec);
        if (host)
            host->SaveProgress(k + 1, u"正在保存 【" + base + u"】");

        ByteString content;
        if (mode == kSaveEml) {
            ReReadMessage(rec, source, stop, content);
            if (content.empty())
                content = BuildTxtText(rec);
        } else {
            content = BuildTxtText(rec);
        }
        if (content.empty())
            continue;

        std::string error;
        int code = 0;
        bool ok = false;
        for (unsigned n = 0; n < 100000 && !ok; ++n) {
            const std::string suffix = n == 0 ? std::string() : "_" + std::to_string(n);
            const std::string name =
                Utf8FileName(base, 255 - ext.size() - suffix.size()) + suffix + ext;
            if (used.count(name))
                continue;
            const std::string path = dir + name;
            if (WriteWholeFile(path, content, true, error, &code)) {
                used.insert(name);
                result.files[k] = name;
                ++result.written;
                ok = true;
            } else if (code != EEXIST) {
                break;
            }
        }
        if (!ok)
            result.failures.push_back(ToUtf8(base) + ": " + (error.empty() ? "no free file name" : error));
    }
    if (host)
        host->SaveEnded(result);
    return result;
}

} // namespace vellox
