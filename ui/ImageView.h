#pragma once

#include <QImage>
#include <QWidget>

#include "colour/Palette.h"

namespace colour {
struct ImageBitmap;
}

namespace ui {

// `MainImage`: shows the fractal's display bitmap, 8-bit through the palette or 24-bit blue,
// green, red, at the display scale. It keeps its own copy of the picture: rows are copied in only
// when they are final (reported by the computation, or the whole bitmap while no computation
// runs), so painting never reads memory a computing thread is writing.
//
// At a scale of 1.0 one image pixel covers one device pixel, also on a high-DPI screen.
class ImageView : public QWidget {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);

    // Takes size, depth and every row of the bitmap, and the palette of an 8-bit image.
    void copyAll(const colour::ImageBitmap& bitmap, const colour::Palette& palette);
    // Copies rows first..last (inclusive) of a bitmap of the same size as the shown one.
    void copyRows(const colour::ImageBitmap& bitmap, int first, int last);
    // Shows an 8-bit image through another palette.
    void setPalette8(const colour::Palette& palette);

    const QImage& image() const { return m_image; }
    // The picture as the mouse modes' overlays draw on it (never the fractal's own bitmap).
    QImage& canvasImage() { return m_image; }
    int imageWidth() const { return m_image.width(); }
    int imageHeight() const { return m_image.height(); }

    // 1.0 shows the image pixel for pixel; other values stretch it.
    double displayScale() const { return m_scale; }
    void setDisplayScale(double scale);
    // The size the image takes on screen, in device pixels.
    QSize displaySizeInDevicePixels() const;
    // The image pixel under a point of the widget (widget coordinates, device-independent).
    QPoint imagePixelAt(const QPointF& widgetPos) const;
    // The middle of an image pixel in widget coordinates (device-independent).
    QPointF widgetPointOf(QPoint imagePixel) const;

signals:
    void mousePressed(QPoint imagePixel, Qt::MouseButton button);
    void contextMenuRequested(QPoint globalPos);
    // The context menu was asked for from the keyboard (the Menu key, Shift+F10).
    void keyboardMenuRequested();
    // Ctrl and the wheel over the picture: one step in (towards the user) or out about `imagePixel`.
    void wheelZoomRequested(QPoint imagePixel, bool zoomIn);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void updateGeometryForScale();
    double ratio() const;

    QImage m_image;
    double m_scale = 1.0;
    int m_wheelTurn = 0;  // eighths of a degree turned with Ctrl held and not yet used
};

}  // namespace ui
