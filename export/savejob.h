// The save job: writes every message of a folder into a directory, one file per message, as .eml (the
// message re-read from its source) or .txt (the rendering of the record). Runs on a worker thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace vellox {

class ISectorSource;
struct tagMailItem;

enum SaveMode { kSaveEml = 0, kSaveTxt = 1 };

struct SaveJobResult {
    bool directoryReady = false;
    std::string error;        // one-line reason when the directory could not be made
    size_t written = 0;       // files complete on disk
    bool stopped = false;
    bool fellBackToTxt = false; // the source could not be opened, so .txt files were written
    std::vector<std::string> files;    // per record: file name inside the directory, "" when not written
    std::vector<std::string> failures; // one line per message that was not written
};

class ISaveHost {
public:
    virtual ~ISaveHost() = default;
    virtual void SaveStarted(size_t count) {}
    // k counts from 1; status is "正在保存 【name】".
    virtual void SaveProgress(size_t k, const std::u16string& status) {}
    virtual void SaveEnded(const SaveJobResult& result) {}
};

// Writes the records into `directory`, creating its last level when missing. Names are
// "<subject>_[<date>]" with _1, _2, ... added where needed: unique within the job and never the name of
// a file that already exists. `source` may be null: g_strDataSource is then opened once for the job.
SaveJobResult RunSaveJob(const std::vector<tagMailItem*>& records, const std::string& directory, SaveMode mode,
                         ISectorSource* source, ISaveHost* host, std::atomic<int>* stop);

} // namespace vellox
