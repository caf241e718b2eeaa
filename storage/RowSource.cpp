#include "storage/RowSource.h"

#include <cstring>

#include "document/Fractal.h"

namespace storage {
namespace {

bool validRows(int first, int count, int height)
{
    return first >= 0 && count >= 0 && first <= height - count;
}

bool sameSize(const engine::TVxWork& values, int width, int height)
{
    return values.width() == width && values.height() == height;
}

void copyValueRows(const engine::TVxWork& values, int first, int count, uint8_t* out, size_t stride)
{
    const size_t bytes = size_t(values.width()) * sizeof(uint16_t);
    for (int i = 0; i < count; ++i)
        std::memcpy(out + size_t(i) * stride, values.row(first + i), bytes);
}

}  // namespace

BitmapRowSource::BitmapRowSource(const document::TFractal& f)
    : m_bitmap(f.Bitmap), m_palette(f.Palette), m_values(f.View3D ? &f.Data3D : &f.Data),
      m_algorithm(f.ImageParams.Algorithm)
{
}

BitmapRowSource::BitmapRowSource(const colour::ImageBitmap& bitmap, const colour::Palette& palette)
    : m_bitmap(bitmap), m_palette(palette)
{
}

ImageInfo BitmapRowSource::info() const
{
    ImageInfo info;
    info.width = m_bitmap.Width;
    info.height = m_bitmap.Height;
    info.pixelFormat = m_bitmap.PixelFormat;
    info.palette = m_palette;
    info.algorithm = m_algorithm;
    return info;
}

bool BitmapRowSource::provides(RowContent content) const
{
    if (m_bitmap.Width <= 0 || m_bitmap.Height <= 0)
        return false;
    if (content == RowContent::Values)
        return m_values && sameSize(*m_values, m_bitmap.Width, m_bitmap.Height);
    return (m_bitmap.PixelFormat == engine::PixelFormat8 || m_bitmap.PixelFormat == engine::PixelFormat24)
           && m_bitmap.Pixels.size() == m_bitmap.stride() * size_t(m_bitmap.Height);
}

bool BitmapRowSource::readRows(RowContent content, int first, int count, uint8_t* out, size_t stride)
{
    if (!provides(content) || !validRows(first, count, m_bitmap.Height))
        return false;
    if (content == RowContent::Values) {
        copyValueRows(*m_values, first, count, out, stride);
        return true;
    }
    for (int i = 0; i < count; ++i)
        std::memcpy(out + size_t(i) * stride, m_bitmap.row(first + i), m_bitmap.stride());
    return true;
}

ValueRowSource::ValueRowSource(const document::TFractal& f)
    : m_fractal(f), m_values(f.View3D ? f.Data3D : f.Data), m_colouring(f.rowColouring())
{
}

ImageInfo ValueRowSource::info() const
{
    ImageInfo info;
    info.width = m_values.width();
    info.height = m_values.height();
    info.pixelFormat = m_fractal.PixelFormat;
    info.palette = m_fractal.Palette;
    info.algorithm = m_fractal.ImageParams.Algorithm;
    return info;
}

bool ValueRowSource::provides(RowContent content) const
{
    if (m_values.width() <= 0 || m_values.height() <= 0)
        return false;
    if (content == RowContent::Values)
        return true;
    // The row procedure must write the pixel format's bytes, as the display bitmap's rows require.
    const int bytesPerPixel = m_fractal.PixelFormat == engine::PixelFormat24 ? 3 : 1;
    return m_colouring && m_colouring.bytesPerPixel() == bytesPerPixel;
}

bool ValueRowSource::readRows(RowContent content, int first, int count, uint8_t* out, size_t stride)
{
    if (!provides(content) || !validRows(first, count, m_values.height()))
        return false;
    if (content == RowContent::Values) {
        copyValueRows(m_values, first, count, out, stride);
        return true;
    }
    for (int i = 0; i < count; ++i)
        m_colouring(m_values.row(first + i), m_values.width(), out + size_t(i) * stride);
    return true;
}

}  // namespace storage
