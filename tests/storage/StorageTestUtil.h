#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace storage_test {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    explicit TempDir(const std::string& tag)
    {
        static int counter = 0;
        m_path = std::filesystem::temp_directory_path()
                 / ("vorex-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }
    size_t entryCount() const
    {
        return size_t(std::distance(std::filesystem::directory_iterator(m_path), {}));
    }

private:
    std::filesystem::path m_path;
};

inline std::vector<uint8_t> readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writeAll(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The tests decode what we write with third-party tools (netpbm, libtiff-tools, libjpeg-turbo-progs,
// ImageMagick; scripts/install-deps.sh installs them). With VOREX_REQUIRE_TOOLS=1 in the environment,
// as scripts/test.sh sets it, a test whose tool is missing fails; otherwise it is skipped.
inline bool toolsRequired()
{
    const char* value = std::getenv("VOREX_REQUIRE_TOOLS");
    return value && std::string_view(value) == "1";
}

// The paths among `paths` that are not executable files, separated by blanks; empty when all are there.
inline std::string missingTools(std::initializer_list<std::string> paths)
{
    std::string missing;
    for (const std::string& path : paths)
        if (::access(path.c_str(), X_OK) != 0)
            missing += (missing.empty() ? "" : " ") + path;
    return missing;
}

}  // namespace storage_test

// Ends the test when one of the tools (full paths) is missing: a failure with VOREX_REQUIRE_TOOLS=1,
// a skip otherwise. A test that checks our own bytes first and decodes them afterwards puts it after
// the checks, and decodes only when the tool is there.
#define VOREX_NEED_TOOLS(...)                                                                                  \
    do {                                                                                                       \
        const std::string vorexMissingTools_ = ::storage_test::missingTools({__VA_ARGS__});                    \
        if (!vorexMissingTools_.empty()) {                                                                     \
            if (::storage_test::toolsRequired())                                                               \
                FAIL() << "missing " << vorexMissingTools_                                                     \
                       << " (VOREX_REQUIRE_TOOLS=1; scripts/install-deps.sh installs the tools)";              \
            GTEST_SKIP() << "missing " << vorexMissingTools_ << " (scripts/install-deps.sh installs the tools)"; \
        }                                                                                                      \
    } while (false)
