#include "source/sourcelist.h"
#include "source/disk.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellox {

namespace {

std::vector<std::string> ListDir(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return names;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..")
            names.push_back(n);
    }
    ::closedir(d);
    return names;
}

bool StartsWith(const std::string& s, const char* p)
{
    return s.rfind(p, 0) == 0;
}

// Rank of a whole-disk name in the HDn order; -1 for devices that are not disks (loop, ram, dm-*, ...).
int DiskKindRank(const std::string& n)
{
    if (StartsWith(n, "sd"))
        return 0;
    if (StartsWith(n, "vd"))
        return 1;
    if (StartsWith(n, "hd"))
        return 2;
    if (StartsWith(n, "xvd"))
        return 3;
    if (StartsWith(n, "nvme") && n.find('n', 4) != std::string::npos)
        return 4;
    if (StartsWith(n, "mmcblk"))
        return 5;
    return -1;
}

// Natural order, so that sdb comes before sdaa and nvme2n1 before nvme10n1.
bool NaturalLess(const std::string& a, const std::string& b)
{
    if (a.size() != b.size() && DiskKindRank(a) == DiskKindRank(b)) {
        // Compare digit runs numerically and letter runs by length first (sdz < sdaa).
        size_t i = 0, j = 0;
        while (i < a.size() && j < b.size()) {
            const bool da = isdigit(static_cast<unsigned char>(a[i])), db = isdigit(static_cast<unsigned char>(b[j]));
            size_t ie = i, je = j;
            while (ie < a.size() && (isdigit(static_cast<unsigned char>(a[ie])) != 0) == da)
                ++ie;
            while (je < b.size() && (isdigit(static_cast<unsigned char>(b[je])) != 0) == db)
                ++je;
            std::string ra = a.substr(i, ie - i), rb = b.substr(j, je - j);
            if (da && db) {
                unsigned long x = std::strtoul(ra.c_str(), nullptr, 10), y = std::strtoul(rb.c_str(), nullptr, 10);
                if (x != y)
                    return x < y;
            } else if (ra != rb) {
                if (ra.size() != rb.size())
                    return ra.size() < rb.size();
                return ra < rb;
            }
            i = ie;
            j = je;
        }
        return a.size() < b.size();
    }
    return a < b;
}

} // namespace

std::vector<std::string> ListWholeDisks(const std::string& sysBlock)
{
    std::vector<std::string> disks;
    for (const auto& n : ListDir(sysBlock))
        if (DiskKindRank(n) >= 0)
            disks.push_back(n);
    std::sort(disks.begin(), disks.end(), [](const std::string& a, const std::string& b) {
        int ra = DiskKindRank(a), rb = DiskKindRank(b);
        if (ra != rb)
            return ra < rb;
        return NaturalLess(a, b);
    });
    return disks;
}

std::vector<std::string> ListPartitions(const std::string& sysClassBlock)
{
    std::vector<std::string> parts;
    for (const auto& n : ListDir(sysClassBlock)) {
        struct stat st {};
        if (::stat((sysClassBlock + "/" + n + "/partition").c_str(), &st) == 0)
            parts.push_back(n);
    }
    std::sort(parts.begin(), parts.end(), NaturalLess);
    return parts;
}

std::string PartitionLabel(const std::string& name, const std::string& byLabel)
{
    for (const auto& label : ListDir(byLabel)) {
        char target[PATH_MAX];
        std::string link = byLabel + "/" + label;
        char* r = ::realpath(link.c_str(), target);
        if (r && std::string(r) == "/dev/" + name) {
            // udev escapes unusual characters as \xNN.
            std::string out;
            for (size_t i = 0; i < label.size(); ++i) {
                if (label[i] == '\\' && i + 3 < label.size() && label[i + 1] == 'x') {
                    out.push_back(static_cast<char>(std::strtol(label.substr(i + 2, 2).c_str(), nullptr, 16)));
                    i += 3;
                } else {
                    out.push_back(label[i]);
                }
            }
            return out;
        }
    }
    return {};
}

std::string FormatSourceCaption(const std::string& caption, uint64_t sectors)
{
    char buf[64];
    if (sectors <= 2091008ULL)
        std::snprintf(buf, sizeof buf, "  (%0.2fM)", static_cast<double>(sectors) * 512.0 / 1024.0 / 1024.0);
    else
        std::snprintf(buf, sizeof buf, "  (%0.2fG)", static_cast<double>(sectors) * 512.0 / 1024.0 / 1024.0 / 1024.0);
    return caption + buf;
}

std::vector<SourceEntry> ListOpenableSources()
{
    std::vector<SourceEntry> out;
    CDisk disk;
    for (const auto& part : ListPartitions()) {
        if (!disk.Open(part))
            continue;
        SourceEntry e;
        e.source = part;
        e.sectors = disk.GetSectorCount();
        std::string caption = part;
        std::string label = PartitionLabel(part);
        if (!label.empty())
            caption += "  [" + label + "]";
        e.caption = FormatSourceCaption(caption, e.sectors);
        out.push_back(e);
        disk.Close();
    }
    const auto disks = ListWholeDisks();
    for (size_t i = 0; i < disks.size(); ++i) {
        std::string s = "HD" + std::to_string(i);
        if (s.size() > 4 || !disk.Open(s))
            continue;
        SourceEntry e;
        e.source = s;
        e.sectors = disk.GetSectorCount();
        e.caption = FormatSourceCaption(s, e.sectors);
        e.wholeDisk = true;
        out.push_back(e);
        disk.Close();
    }
    return out;
}

} // namespace vellox
