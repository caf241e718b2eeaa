// Fuzzes the palette and colour-table loaders with a file of the fuzzer's bytes. Built once per
// format: VOREX_FUZZ_FORMAT 0 ".p8", 1 ".act", 2 ".p24", 3 ".map", 4 ".gpl". Each input is read as chosen
// in the open dialog, as a dropped file, and (its palette or table) as a fractal document.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <unistd.h>

#include "colour/ColorTable24.h"
#include "colour/Palette.h"
#include "storage/PaletteFiles.h"

namespace {

const std::string& inputPath()
{
    static const std::string path = [] {
        char pattern[] = "/tmp/vorex-fuzz-palette-XXXXXX";
        const char* dir = mkdtemp(pattern);
        if (!dir)
            std::abort();
        return std::string(dir) + "/input";
    }();
    return path;
}

bool writeInput(const uint8_t* data, size_t size)
{
    std::FILE* out = std::fopen(inputPath().c_str(), "wb");
    if (!out)
        return false;
    const bool ok = std::fwrite(data, 1, size, out) == size;
    return std::fclose(out) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!writeInput(data, size))
        std::abort();
    const std::string& path = inputPath();
    for (storage::LoadOrigin origin : {storage::LoadOrigin::Dialog, storage::LoadOrigin::Dropped}) {
#if VOREX_FUZZ_FORMAT == 2
        colour::ColorTable24 table;
        std::string name = "before";
        storage::LoadTable24(table, name, path, storage::TableFormat::P24, origin);
        storage::LoadTable24(table, name, path, storage::TableFormat::Document, origin);
#else
        colour::Palette palette;
        std::string name = "before";
        storage::LoadPalette8(palette, name, path, storage::PaletteFormat(VOREX_FUZZ_FORMAT), origin);
        storage::LoadPalette8(palette, name, path, storage::PaletteFormat::Document, origin);
#endif
    }
#if VOREX_FUZZ_FORMAT == 1
    if (size >= storage::ActFileSize)
        storage::decodeActFile(data);
#endif
#if VOREX_FUZZ_FORMAT == 3 || VOREX_FUZZ_FORMAT == 4
    {
        std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
        colour::Palette palette;
        storage::decodeTextPalette(text, storage::PaletteFormat(VOREX_FUZZ_FORMAT), palette);
    }
#endif
    return 0;
}
