#pragma once

#include <cstdint>
#include <memory>

namespace engine {
class TFractal;
class TVxWork;
}

namespace storage {

// Colours single rows of a fractal's values (Data, or Data3D while the 3D view is shown) into a
// caller's buffer, exactly as the display bitmap's rows are coloured (f.ColorLine): Width palette
// indexes for an 8-bit image, Width blue, green, red triplets for a 24-bit one. Needs no display
// bitmap. The colour state is taken when the object is made; the values are read at each call, so
// the fractal must outlive the object. Not thread-safe.
class RowColourer {
public:
    explicit RowColourer(const engine::TFractal& f);
    ~RowColourer();
    RowColourer(const RowColourer&) = delete;
    RowColourer& operator=(const RowColourer&) = delete;

    // False when the fractal has no row procedure for its pixel format: colourRow() then does nothing.
    bool ready() const;
    int width() const;
    // Colours row `row` (0 .. values' height - 1) into `out`, which holds width() x 1 or 3 bytes.
    void colourRow(int row, uint8_t* out);

private:
    const engine::TVxWork& m_values;
    // FIXME: the row procedures colour only the rows of a fractal's own bitmap, so each row goes
    // through a one-row copy of the colour state until they can colour into any buffer.
    std::unique_ptr<engine::TFractal> m_row;
};

}  // namespace storage
