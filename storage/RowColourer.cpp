#include "storage/RowColourer.h"

#include <cstring>

#include "engine/Fractal.h"

namespace storage {

RowColourer::RowColourer(const engine::TFractal& f)
    : m_values(f.View3D ? f.Data3D : f.Data), m_row(std::make_unique<engine::TFractal>())
{
    // Everything the row procedures (colour/ColorLine.cpp) read besides the values and the bitmap.
    engine::TFractal& r = *m_row;
    r.Params.MaxIter = f.Params.MaxIter;
    r.PixelFormat = f.PixelFormat;
    r.Palette = f.Palette;
    r.BoundaryType = f.BoundaryType;
    r.Multiplier = f.Multiplier;
    r.BiomorphIndex = f.BiomorphIndex;
    r.TableMode = f.TableMode;
    r.TableR = f.TableR;
    r.TableG = f.TableG;
    r.TableB = f.TableB;
    r.BiomorphRGB = f.BiomorphRGB;
    r.OutOfRangeColour = f.OutOfRangeColour;
    r.ColorLine = f.ColorLine;
    r.View3D = false;

    const int width = m_values.width();
    r.Data.resize(width, width > 0 ? 1 : 0);
    r.Bitmap.PixelFormat = f.PixelFormat;
    r.Bitmap.Width = width;
    r.Bitmap.Height = width > 0 ? 1 : 0;
    r.Bitmap.Pixels.assign(r.Bitmap.stride(), 0);
}

RowColourer::~RowColourer() = default;

bool RowColourer::ready() const
{
    return m_row->ColorLine != nullptr
           && (m_row->PixelFormat == engine::PixelFormat8 || m_row->PixelFormat == engine::PixelFormat24);
}

int RowColourer::width() const
{
    return m_values.width();
}

void RowColourer::colourRow(int row, uint8_t* out)
{
    engine::TFractal& r = *m_row;
    if (!ready() || row < 0 || row >= m_values.height() || r.Bitmap.Height == 0)
        return;
    std::memcpy(r.Data.row(0), m_values.row(row), size_t(m_values.width()) * sizeof(uint16_t));
    r.ColorLine(r, 0);
    std::memcpy(out, r.Bitmap.row(0), r.Bitmap.stride());
}

}  // namespace storage
