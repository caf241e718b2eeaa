#pragma once

#include <cstddef>

#include "storage/ImageWriter.h"

namespace engine {
class ComputeObserver;
}

namespace storage {

class ImageSink;
class RowSource;

// Bands: at most this many rows by default, and never more than BandBytesMax bytes (but at least one row).
inline constexpr int BandRowsDefault = 64;
inline constexpr size_t BandBytesMax = 16 * 1024 * 1024;

// The rows per band for rows of `bytesPerRow` bytes: `requested` (BandRowsDefault when 0 or less),
// cut to what BandBytesMax holds, at least 1.
int bandRowsFor(size_t bytesPerRow, int requested = 0);

// Writes one image: writer.begin(info, sink), then every pass of the writer over bands of rows read
// from `source` into one band buffer (bandRowsFor(row size, bandRows) rows), then writer.finish().
// The bands of a pass go top-down or bottom-up as the writer asks. Progress goes to `observer` (may be
// null) through RowProgress over the rows of the last pass, the one that writes them, after each band.
// The image's size and pixel format are `info`'s (normally source.info() with the export's
// resolution). False when the writer refuses the image, the source cannot give the writer's row
// content or fails, or anything fails to be written; the sink then holds an incomplete file.
bool feedImage(ImageWriter& writer, const ImageInfo& info, RowSource& source, ImageSink& sink,
               engine::ComputeObserver* observer = nullptr, int bandRows = 0);

// A writer fed from a source whose info() it takes unchanged (the resolution at its default).
bool feedImage(ImageWriter& writer, RowSource& source, ImageSink& sink, engine::ComputeObserver* observer = nullptr,
               int bandRows = 0);

}  // namespace storage
