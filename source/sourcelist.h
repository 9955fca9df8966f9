// The disks and partitions of this machine, as the source picker and `vellox-cli sources` list them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellox {

struct SourceEntry {
    std::string source;  // the source string CDisk::Open takes ("sdb1", "HD0", or a path)
    std::string caption; // what the user sees, size included
    uint64_t sectors = 0;
    bool wholeDisk = false;
};

// Whole disks in /sys/block order as "HDn" numbers them: sd*, vd*, hd*, xvd*, nvme*n*, mmcblk*.
std::vector<std::string> ListWholeDisks(const std::string& sysBlock = "/sys/block");

// Kernel names of partitions, from /sys/class/block/*/partition.
std::vector<std::string> ListPartitions(const std::string& sysClassBlock = "/sys/class/block");

// Volume label of /dev/<name> from /dev/disk/by-label, or "".
std::string PartitionLabel(const std::string& name, const std::string& byLabel = "/dev/disk/by-label");

// "caption  (12.34M)" up to 2,091,008 sectors (1021 MiB), "caption  (1.23G)" above.
std::string FormatSourceCaption(const std::string& caption, uint64_t sectors);

// Every partition, then every whole disk, that opens; each with its caption and size.
std::vector<SourceEntry> ListOpenableSources();

} // namespace vellox
