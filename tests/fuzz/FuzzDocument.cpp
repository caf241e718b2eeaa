// Fuzzes opening a fractal document: the header record, then the compressed pixel values, read from
// memory exactly as LoadDocument reads them from a file. The other readers of a header (position,
// palette and colour table of another document) get the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "document/Fractal.h"
#include "storage/DocumentData.h"
#include "storage/DocumentHeader.h"
#include "storage/Workspace.h"

namespace {

// Enough for documents of a few million pixels; larger headers are refused by the memory estimate,
// which keeps each run within the fuzzer's memory limit.
constexpr uint64_t AvailableMemory = uint64_t(64) << 20;

struct FileClose {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    storage::TDataFileHeader header;
    std::memcpy(header.bytes.data(), data, std::min(size, header.bytes.size()));
    storage::HeaderPosition position;
    storage::ReadHeaderPosition(header, position);
    colour::Palette palette;
    storage::ReadHeaderPalette(header, palette);
    colour::ColorTable24 table;
    storage::ReadHeaderTable24(header, table);

    if (size == 0)
        return 0;  // fmemopen refuses an empty buffer
    static document::TFractal f;
    storage::ResetToDefaults(f);
    std::unique_ptr<std::FILE, FileClose> in(fmemopen(const_cast<uint8_t*>(data), size, "rb"));
    if (!in)
        return 0;
    if (storage::ReadHeader(in.get(), f, AvailableMemory) != storage::HeaderOutcome::Ok)
        return 0;
    const storage::DataResult result = storage::ReadData(in.get(), f, nullptr);
    if (result.outcome == storage::DataOutcome::Ok)
        f.CommitImageParams();
    return 0;
}
