#include "ui/modes/Canvas.h"

#include <limits>

namespace ui {

uint32_t ImageCanvas::pixel(int x, int y) const
{
    if (indexed())
        return uint32_t(m_image.pixelIndex(x, y));
    return uint32_t(m_image.pixel(x, y)) & 0xFFFFFFu;
}

void ImageCanvas::setPixel(int x, int y, uint32_t raw)
{
    if (indexed())
        m_image.setPixel(x, y, raw & 0xFFu);
    else
        m_image.setPixel(x, y, 0xFF000000u | (raw & 0xFFFFFFu));
}

uint32_t ImageCanvas::rawColour(uint32_t bgr) const
{
    const int r = int(bgr & 0xFF), g = int((bgr >> 8) & 0xFF), b = int((bgr >> 16) & 0xFF);
    if (!indexed())
        return uint32_t(qRgb(r, g, b)) & 0xFFFFFFu;
    // The nearest entry of the colour table.
    const QList<QRgb> table = m_image.colorTable();
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < table.size(); ++i) {
        const int dr = qRed(table[i]) - r, dg = qGreen(table[i]) - g, db = qBlue(table[i]) - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return uint32_t(best);
}

}  // namespace ui
