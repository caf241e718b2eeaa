#include "storage/SystemMemory.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

namespace storage {

bool parseMemAvailable(const char* text, uint64_t& bytes)
{
    static const char Key[] = "MemAvailable:";
    for (const char* line = text; line && *line;) {
        if (std::strncmp(line, Key, sizeof Key - 1) == 0) {
            const char* p = line + sizeof Key - 1;
            while (*p == ' ' || *p == '\t')
                ++p;
            if (!std::isdigit(static_cast<unsigned char>(*p)))
                return false;
            uint64_t value = 0;
            while (std::isdigit(static_cast<unsigned char>(*p))) {
                const uint64_t digit = uint64_t(*p - '0');
                if (value > (UINT64_MAX - digit) / 10)
                    return false;
                value = value * 10 + digit;
                ++p;
            }
            while (*p == ' ' || *p == '\t')
                ++p;
            // The kernel writes the figure in kB (units of 1024 bytes).
            uint64_t unit = 1;
            if (std::strncmp(p, "kB", 2) == 0)
                unit = 1024;
            if (value > UINT64_MAX / unit)
                return false;
            bytes = value * unit;
            return true;
        }
        line = std::strchr(line, '\n');
        if (line)
            ++line;
    }
    return false;
}

uint64_t availablePhysicalMemory()
{
    if (std::FILE* in = std::fopen("/proc/meminfo", "re")) {
        std::string text;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0 && text.size() < (1u << 20))
            text.append(buffer, n);
        std::fclose(in);
        uint64_t bytes = 0;
        if (parseMemAvailable(text.c_str(), bytes))
            return bytes;
    }
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return uint64_t(pages) * uint64_t(pageSize);
}

}  // namespace storage
