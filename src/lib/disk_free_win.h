// Free space on a disk.
#pragma once

#include <cstdint>

// Bytes the program may still write on the disk whose root folder is given
// ("C:\\"), quotas counted; 0 when the system cannot tell. 64 bits: disks of
// more than 4 GB are common.
uint64_t GetDiskFree(const char* root);
