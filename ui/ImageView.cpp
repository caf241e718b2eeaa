#include "ui/ImageView.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "document/Fractal.h"

namespace ui {

namespace {

QList<QRgb> colourTable(const colour::Palette& palette)
{
    QList<QRgb> table;
    table.reserve(256);
    for (const colour::PaletteEntry& e : palette.entries)
        table.append(qRgb(e.red, e.green, e.blue));
    return table;
}

}  // namespace

ImageView::ImageView(QWidget* parent) : QWidget(parent)
{
    // Focusable, so that the keyboard reaches the picture and its context menu.
    setFocusPolicy(Qt::StrongFocus);
    setObjectName(QStringLiteral("MainImage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_image = QImage(1, 1, QImage::Format_Indexed8);
    m_image.setColorTable(colourTable(colour::systemPalette()));
    m_image.fill(0);
    updateGeometryForScale();
}

void ImageView::copyAll(const colour::ImageBitmap& bitmap, const colour::Palette& palette)
{
    const int w = std::max(bitmap.Width, 1);
    const int h = std::max(bitmap.Height, 1);
    const QImage::Format format =
        bitmap.PixelFormat == engine::PixelFormat24 ? QImage::Format_BGR888 : QImage::Format_Indexed8;
    if (m_image.width() != w || m_image.height() != h || m_image.format() != format) {
        m_image = QImage(w, h, format);
        m_image.fill(0);
    }
    if (format == QImage::Format_Indexed8)
        m_image.setColorTable(colourTable(palette));
    copyRows(bitmap, 0, bitmap.Height - 1);
    updateGeometryForScale();
    update();
}

void ImageView::copyRows(const colour::ImageBitmap& bitmap, int first, int last)
{
    if (bitmap.Width != m_image.width() || bitmap.Height != m_image.height())
        return;
    const size_t stride = bitmap.stride();
    if (stride > size_t(m_image.bytesPerLine()) || bitmap.Pixels.size() < stride * size_t(bitmap.Height))
        return;
    first = std::max(first, 0);
    last = std::min(last, bitmap.Height - 1);
    for (int r = first; r <= last; ++r)
        std::memcpy(m_image.scanLine(r), bitmap.row(r), stride);
    if (first <= last) {
        // Only the band of the copied rows needs painting.
        const double sy = double(height()) / double(m_image.height());
        update(QRect(0, int(std::floor(first * sy)), width(), int(std::ceil((last - first + 1) * sy)) + 2));
    }
}

void ImageView::setPalette8(const colour::Palette& palette)
{
    if (m_image.format() == QImage::Format_Indexed8) {
        m_image.setColorTable(colourTable(palette));
        update();
    }
}

void ImageView::setDisplayScale(double scale)
{
    m_scale = scale > 0 ? scale : 1.0;
    updateGeometryForScale();
    update();
}

QSize ImageView::displaySizeInDevicePixels() const
{
    return QSize(std::max(1, int(std::lround(m_image.width() * m_scale))),
                 std::max(1, int(std::lround(m_image.height() * m_scale))));
}

double ImageView::ratio() const
{
    return devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
}

void ImageView::updateGeometryForScale()
{
    const QSize device = displaySizeInDevicePixels();
    const double r = ratio();
    setFixedSize(std::max(1, int(std::ceil(device.width() / r))), std::max(1, int(std::ceil(device.height() / r))));
}

QPoint ImageView::imagePixelAt(const QPointF& widgetPos) const
{
    const QSize device = displaySizeInDevicePixels();
    const double r = ratio();
    const double x = widgetPos.x() * r * m_image.width() / device.width();
    const double y = widgetPos.y() * r * m_image.height() / device.height();
    return QPoint(std::clamp(int(std::floor(x)), 0, m_image.width() - 1),
                  std::clamp(int(std::floor(y)), 0, m_image.height() - 1));
}

QPointF ImageView::widgetPointOf(QPoint imagePixel) const
{
    const QSize device = displaySizeInDevicePixels();
    const double r = ratio();
    return QPointF((imagePixel.x() + 0.5) * device.width() / m_image.width() / r,
                   (imagePixel.y() + 0.5) * device.height() / m_image.height() / r);
}

void ImageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QSize device = displaySizeInDevicePixels();
    const double r = ratio();
    const QRectF target(0, 0, device.width() / r, device.height() / r);
    painter.fillRect(event->rect(), palette().window());
    if (m_scale != 1.0)
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, m_image);
}

void ImageView::mousePressEvent(QMouseEvent* event)
{
    emit mousePressed(imagePixelAt(event->position()), event->button());
    QWidget::mousePressEvent(event);
}

void ImageView::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard)
        emit keyboardMenuRequested();
    else
        emit contextMenuRequested(event->globalPos());
    event->accept();
}

void ImageView::wheelEvent(QWheelEvent* event)
{
    // The plain wheel scrolls the picture (the scroll area has it); with Ctrl it zooms, one step a notch.
    if (!(event->modifiers() & Qt::ControlModifier)) {
        m_wheelTurn = 0;
        event->ignore();
        return;
    }
    constexpr int Notch = 120;
    m_wheelTurn += event->angleDelta().y();
    while (std::abs(m_wheelTurn) >= Notch) {
        const bool in = m_wheelTurn > 0;
        m_wheelTurn += in ? -Notch : Notch;
        emit wheelZoomRequested(imagePixelAt(event->position()), in);
    }
    event->accept();
}

void ImageView::showEvent(QShowEvent* event)
{
    // The device pixel ratio is known once the widget is on a screen.
    updateGeometryForScale();
    QWidget::showEvent(event);
}

}  // namespace ui
