#pragma once

#include <cstdint>

namespace storage {

// The physical memory the system can give this process now, in bytes: the figure the memory
// estimates of the variables dialog, the 3D dialog and the document loader compare against.
//
// Taken from "MemAvailable" of /proc/meminfo (Linux 3.14 and later): free memory plus the page cache
// and reclaimable memory the kernel would give back without swapping. That is what a new image can
// really use; the bare free-page count (_SC_AVPHYS_PAGES) ignores the cache and makes a busy machine
// look full. When /proc/meminfo has no such line, sysconf(_SC_AVPHYS_PAGES) x the page size is used;
// 0 when neither is known.
uint64_t availablePhysicalMemory();

// The MemAvailable figure of a /proc/meminfo text, in bytes; false when it has none.
bool parseMemAvailable(const char* meminfoText, uint64_t& bytes);

}  // namespace storage
