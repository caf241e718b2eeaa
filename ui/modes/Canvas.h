#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <functional>

namespace ui {

// The picture the mouse modes draw their overlays on. Pixels are read and written as raw values
// (a palette index for an 8-bit picture, 0xRRGGBB otherwise) so that an overlay can put back
// exactly what it covered.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual uint32_t pixel(int x, int y) const = 0;
    virtual void setPixel(int x, int y, uint32_t raw) = 0;
    // The raw value that shows a colour 0x00BBGGRR (red in the low byte) best.
    virtual uint32_t rawColour(uint32_t bgr) const = 0;
    // The mask that XOR-ing with white uses.
    virtual uint32_t xorMask() const = 0;
    // The pixels of `area` changed and must be shown again.
    virtual void changed(const QRect& area) { (void)area; }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width() && y < height(); }
};

// A canvas over a QImage (8-bit indexed, or any RGB format).
class ImageCanvas : public Canvas {
public:
    explicit ImageCanvas(QImage& image, std::function<void(const QRect&)> onChanged = {})
        : m_image(image), m_onChanged(std::move(onChanged))
    {
    }
    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    uint32_t pixel(int x, int y) const override;
    void setPixel(int x, int y, uint32_t raw) override;
    uint32_t rawColour(uint32_t bgr) const override;
    uint32_t xorMask() const override { return indexed() ? 0xFFu : 0xFFFFFFu; }
    void changed(const QRect& area) override
    {
        if (m_onChanged)
            m_onChanged(area);
    }

private:
    bool indexed() const { return m_image.format() == QImage::Format_Indexed8; }
    QImage& m_image;
    std::function<void(const QRect&)> m_onChanged;
};

}  // namespace ui
