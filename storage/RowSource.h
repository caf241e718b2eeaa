#pragma once

#include <cstddef>
#include <cstdint>

#include "colour/ColorLine.h"
#include "storage/ImageWriter.h"

namespace document {
class TFractal;
}

namespace storage {

// Where the feeder takes the rows of an exported image from.
class RowSource {
public:
    virtual ~RowSource() = default;

    // The image's size, pixel format, palette and algorithm; the resolution is left at its default
    // for the caller to set.
    virtual ImageInfo info() const = 0;
    // True when readRows() can deliver rows of `content` for the whole image.
    virtual bool provides(RowContent content) const = 0;
    // Fills `count` rows of `content` from image row `first` into `out`, top row first, `stride` bytes
    // apart (`out` is aligned for 16-bit values). False when the rows cannot be had; the export then fails.
    virtual bool readRows(RowContent content, int first, int count, uint8_t* out, size_t stride) = 0;
};

// The picture as the window shows it: the rows of a display bitmap, and for RowContent::Values the
// values it was coloured from (Data, or Data3D while the 3D view is shown). Reads; never changes them.
// The bitmap and values must stay alive and unchanged while the source is used.
class BitmapRowSource : public RowSource {
public:
    explicit BitmapRowSource(const document::TFractal& f);
    // A bitmap alone, with no values.
    BitmapRowSource(const colour::ImageBitmap& bitmap, const colour::Palette& palette);

    ImageInfo info() const override;
    bool provides(RowContent content) const override;
    bool readRows(RowContent content, int first, int count, uint8_t* out, size_t stride) override;

private:
    const colour::ImageBitmap& m_bitmap;
    const colour::Palette& m_palette;
    const engine::TVxWork* m_values = nullptr;
    uint8_t m_algorithm = engine::AlgLevel;
};

// The picture coloured on the fly from the values (Data, or Data3D while the 3D view is shown) with
// the document's row colouring (TFractal::rowColouring), row by row into the feeder's band: the same
// bytes as the display bitmap's rows, without the display bitmap (which may be absent). The fractal
// must stay alive and unchanged while the source is used.
class ValueRowSource : public RowSource {
public:
    explicit ValueRowSource(const document::TFractal& f);

    ImageInfo info() const override;
    bool provides(RowContent content) const override;
    bool readRows(RowContent content, int first, int count, uint8_t* out, size_t stride) override;

private:
    const document::TFractal& m_fractal;
    const engine::TVxWork& m_values;
    colour::RowColouring m_colouring;
};

}  // namespace storage
