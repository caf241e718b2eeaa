#include "ui/modes/Modes3D.h"

#include "colour/Fract3D.h"
#include "document/Fractal.h"
#include "ui/Texts.h"

namespace ui {

using text::StatusText;

namespace {

QPoint point(colour::ScreenPoint p)
{
    return QPoint(p.X, p.Y);
}

}  // namespace

Azimuth3DMode::Azimuth3DMode(ModeHost& host, LingeringOverlays& lingering)
    : MouseMode(host, lingering), m_angle(host.fractal().Azimuth), m_line(host.canvas(), RubberBand::Shape::Line),
      m_frame{RubberBand(host.canvas(), RubberBand::Shape::Line), RubberBand(host.canvas(), RubberBand::Shape::Line),
              RubberBand(host.canvas(), RubberBand::Shape::Line), RubberBand(host.canvas(), RubberBand::Shape::Line),
              RubberBand(host.canvas(), RubberBand::Shape::Line), RubberBand(host.canvas(), RubberBand::Shape::Line)}
{
    setPrompt(tx(StatusText::Azimuth, host.language()));
}

void Azimuth3DMode::begin()
{
    const colour::TFract3D* view = m_host.view3D();
    if (!view) {
        finish();
        return;
    }
    // The base frame: both centre lines and the four edges, at the compass height.
    const uint16_t b = view->compassBase();
    const int w = view->width, h = view->height, cx = view->cx, cy = view->cy;
    auto p = [view, b](int x, int y) { return point(view->ProjectPoint(x, y, b)); };
    const std::array<std::pair<QPoint, QPoint>, 6> segments = {{
        {p(0, cy), p(w, cy)}, {p(cx, 0), p(cx, h)}, {p(0, 0), p(w, 0)},
        {p(w, 0), p(w, h)}, {p(w, h), p(0, h)}, {p(0, 0), p(0, h)},
    }};
    for (size_t i = 0; i < segments.size(); ++i)
        m_frame[i].show(segments[i].first, segments[i].second);
    // The compass letters, each box's top-left corner at its point of the frame.
    const uint32_t box = m_host.lineColour();
    const std::array<std::pair<QPoint, const char*>, 4> letters = {{
        {p(cx, 0), "N"}, {p(w, cy), "E"}, {p(cx, h), "S"}, {p(0, cy), "W"},
    }};
    m_letters.clear();
    m_letters.reserve(letters.size());
    for (const auto& [at, letter] : letters)
        m_letters.emplace_back(canvas(), at, QString::fromLatin1(letter), box);
    m_pivot = p(cx, cy);
    setKeyPoint(m_pivot);
    showPrompt();
}

std::vector<QRect> Azimuth3DMode::letterAreas() const
{
    std::vector<QRect> areas;
    for (const TTextLabel& letter : m_letters)
        areas.push_back(letter.area());
    return areas;
}

void Azimuth3DMode::on_mousemove(const MouseEvent& e)
{
    const colour::TFract3D* view = m_host.view3D();
    if (!view)
        return;
    m_line.show(m_pivot, e.imagePos);
    m_angle = view->AzimuthFromPoint(e.x(), e.y());
    m_host.showStatus(m_prompt + QString::number(m_angle));
}

void Azimuth3DMode::on_mousedown(const MouseEvent& e)
{
    cancel();
    finish();
    m_host.showStatus(QString());
    if (e.button != Qt::LeftButton)
        return;
    fractal().Azimuth = m_angle;
    m_host.redraw3D();
}

void Azimuth3DMode::cancel()
{
    m_line.hide();
    // Last drawn, first taken away: the letters cover the frame.
    for (auto it = m_letters.rbegin(); it != m_letters.rend(); ++it)
        it->remove();
    m_letters.clear();
    for (RubberBand& r : m_frame)
        r.hide();
}

VerticalShiftMode::VerticalShiftMode(ModeHost& host, LingeringOverlays& lingering)
    : MouseMode(host, lingering), m_line(host.canvas(), RubberBand::Shape::Line)
{
    setPrompt(tx(StatusText::YShift, host.language()));
}

void VerticalShiftMode::begin()
{
    // Keyboard picks start from the middle of the picture.
    setKeyPoint(QPoint(fractal().Bitmap.Width / 2, fractal().Bitmap.Height / 2));
    m_host.showStatus(m_prompt + tx(StatusText::Origin, language()));
}

void VerticalShiftMode::on_mousemove(const MouseEvent& e)
{
    if (m_originPending)
        return;
    m_line.show(m_origin, QPoint(m_origin.x(), e.y()));
    m_shift = m_origin.y() - e.y();
    m_host.showStatus(m_prompt + QString::number(m_shift));
}

void VerticalShiftMode::on_mousedown(const MouseEvent& e)
{
    if (e.button == Qt::LeftButton && m_originPending) {
        m_originPending = false;
        m_origin = e.imagePos;
            m_shift = 0;
        m_lingering.removeLines();
        m_lingering.horzLine = std::make_unique<THorzLine>(canvas(), e.y(), m_host.lineColour());
        m_host.showStatus(m_prompt + QString::number(m_shift));
        return;
    }
    cancel();
    m_lingering.removeLines();
    finish();
    m_host.showStatus(QString());
    if (e.button != Qt::LeftButton)
        return;
    // Successive picks add up.
    fractal().VerticalShift += m_shift;
    m_host.redraw3D();
}

void VerticalShiftMode::cancel()
{
    m_line.hide();
}

}  // namespace ui
