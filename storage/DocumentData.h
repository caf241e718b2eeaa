#pragma once

#include <cstdio>
#include <string>

#include "engine/ComputeObserver.h"
#include "document/Fractal.h"
#include "storage/Workspace.h"

// The pixel values of a fractal document: after the 4328-byte header, one zlib stream (RFC 1950)
// holding Height rows, top row first, of Width little-endian u16 values. Both directions stream one
// row at a time through a row buffer of at most 20000 values; the image is never held twice.
namespace storage {

class AtomicFile;

inline constexpr int DocumentCompressionLevel = 1;  // fastest
inline constexpr size_t RowBufferBytes = 40000;      // one row of the widest image, 20000 values

// Compresses Params.Height rows of Params.Width values (the size the header states) from Data into
// `out`. Values outside Data (should Data be smaller than that) are written as 0. Progress: after rows
// 0, 10, 20, ... observer->progressChanged(rows done / Height), when an observer is given.
// False when compression or a write failed.
bool WriteData(AtomicFile& out, const document::TFractal& f, engine::ComputeObserver* observer);

enum class DataOutcome : uint8_t {
    Ok,
    Corrupt,        // the stream is damaged (or the file unreadable): the load fails
    NoMemory,       // the workspace could not be allocated; `message` says which step
};
struct DataResult {
    DataOutcome outcome = DataOutcome::Ok;
    std::string message;  // with NoMemory: the allocation's "No Memory ..." message
};

// Allocates the workspace for the header's Params.Width x Params.Height in f.PixelFormat (AllocImage
// without clear, with the buffers of `parts`), then inflates the stream from the current position of
// `in` row by row into Data, colouring each row (f.ColorLine) as it arrives when there is a bitmap.
// Never writes more than Height rows of Width values, whatever the stream holds; bytes after the end
// of the stream are ignored. A stream that ends early
// (a truncated file) is not an error: the rows it does not cover are filled from what the row buffer
// last held. Progress as WriteData's; at the end observer->rowsReady(0, Height - 1).
DataResult ReadData(std::FILE* in, document::TFractal& f, engine::ComputeObserver* observer,
                    ImageParts parts = ImageParts::ValuesAndBitmap);

}  // namespace storage
