#include "ui/modes/Overlays.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

namespace ui {

void SavedPixels::cover(Canvas& canvas, int x, int y, uint32_t raw)
{
    if (!canvas.contains(x, y))
        return;
    m_saved.push_back({x, y, canvas.pixel(x, y)});
    canvas.setPixel(x, y, raw);
}

void SavedPixels::restore(Canvas& canvas)
{
    const QRect area = bounds();
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
        if (canvas.contains(it->x, it->y))
            canvas.setPixel(it->x, it->y, it->raw);
    m_saved.clear();
    if (!area.isEmpty())
        canvas.changed(area);
}

QRect SavedPixels::bounds() const
{
    QRect r;
    for (const Saved& s : m_saved)
        r |= QRect(s.x, s.y, 1, 1);
    return r;
}

TZoomLines::TZoomLines(Canvas& canvas, QPoint corner1, QPoint corner2, uint32_t colourBgr)
    : m_canvas(canvas), m_left(std::min(corner1.x(), corner2.x())), m_top(std::min(corner1.y(), corner2.y())),
      m_right(std::max(corner1.x(), corner2.x())), m_bottom(std::max(corner1.y(), corner2.y()))
{
    const uint32_t raw = canvas.rawColour(colourBgr);
    for (int x = m_left; x <= m_right; ++x) {
        m_saved.cover(canvas, x, m_top, raw);
        m_saved.cover(canvas, x, m_bottom, raw);
    }
    for (int y = m_top; y <= m_bottom; ++y) {
        m_saved.cover(canvas, m_left, y, raw);
        m_saved.cover(canvas, m_right, y, raw);
    }
    canvas.changed(QRect(QPoint(m_left, m_top), QPoint(m_right, m_bottom)));
}

void TZoomLines::remove()
{
    m_saved.restore(m_canvas);
}

THorzLine::THorzLine(Canvas& canvas, int y, uint32_t colourBgr)
    : m_canvas(canvas), m_y(std::clamp(y, 0, std::max(canvas.height() - 1, 0)))
{
    const uint32_t raw = canvas.rawColour(colourBgr);
    for (int x = 0; x < canvas.width(); ++x)
        m_saved.cover(canvas, x, m_y, raw);
    canvas.changed(QRect(0, m_y, canvas.width(), 1));
}

void THorzLine::remove()
{
    m_saved.restore(m_canvas);
}

TVertLine::TVertLine(Canvas& canvas, int x, uint32_t colourBgr)
    : m_canvas(canvas), m_x(std::clamp(x, 0, std::max(canvas.width() - 1, 0)))
{
    const uint32_t raw = canvas.rawColour(colourBgr);
    for (int y = 0; y < canvas.height(); ++y)
        m_saved.cover(canvas, m_x, y, raw);
    canvas.changed(QRect(m_x, 0, 1, canvas.height()));
}

TTextLabel::TTextLabel(Canvas& canvas, QPoint topLeft, const QString& text, uint32_t backgroundBgr)
    : m_canvas(canvas)
{
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setStyleStrategy(QFont::NoAntialias);  // two colours only, so that every pixel is black or the box
    const QFontMetrics metrics(font);
    const QSize size(std::max(metrics.horizontalAdvance(text), 1), std::max(metrics.height(), 1));
    QImage glyphs(size, QImage::Format_RGB32);
    glyphs.fill(Qt::white);
    {
        QPainter painter(&glyphs);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignTop, text);
    }
    const uint32_t box = canvas.rawColour(backgroundBgr), ink = canvas.rawColour(0);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            m_saved.cover(canvas, topLeft.x() + x, topLeft.y() + y, qGray(glyphs.pixel(x, y)) < 128 ? ink : box);
    m_area = QRect(topLeft, size);
    canvas.changed(m_area);
}

void TTextLabel::remove()
{
    m_saved.restore(m_canvas);
}

void TVertLine::remove()
{
    m_saved.restore(m_canvas);
}

void RubberBand::show(QPoint from, QPoint to)
{
    hide();
    m_from = from;
    m_to = to;
    toggle();
    m_visible = true;
}

void RubberBand::hide()
{
    if (!m_visible)
        return;
    toggle();
    m_visible = false;
}

void RubberBand::toggle()
{
    // The distinct pixels of the shape: a corner shared by two edges is XOR-ed once.
    std::set<std::pair<int, int>> points;
    if (m_shape == Shape::Rectangle) {
        const int l = std::min(m_from.x(), m_to.x()), r = std::max(m_from.x(), m_to.x());
        const int t = std::min(m_from.y(), m_to.y()), b = std::max(m_from.y(), m_to.y());
        for (int x = l; x <= r; ++x) {
            points.emplace(x, t);
            points.emplace(x, b);
        }
        for (int y = t; y <= b; ++y) {
            points.emplace(l, y);
            points.emplace(r, y);
        }
    } else {
        // Bresenham from m_from to m_to.
        int x = m_from.x(), y = m_from.y();
        const int dx = std::abs(m_to.x() - x), sx = x < m_to.x() ? 1 : -1;
        const int dy = -std::abs(m_to.y() - y), sy = y < m_to.y() ? 1 : -1;
        int err = dx + dy;
        while (true) {
            points.emplace(x, y);
            if (x == m_to.x() && y == m_to.y())
                break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }
    const uint32_t mask = m_canvas.xorMask();
    for (const auto& [x, y] : points)
        if (m_canvas.contains(x, y))
            m_canvas.setPixel(x, y, m_canvas.pixel(x, y) ^ mask);
    m_canvas.changed(QRect(m_from, m_to).normalized().adjusted(0, 0, 1, 1));
}

}  // namespace ui
