#include "ui/modes/ZoomMode.h"

#include <cmath>
#include <cstdlib>

#include "document/Fractal.h"
#include "ui/Cursors.h"
#include "ui/Texts.h"

namespace ui {

using text::StatusText;

namespace {
constexpr int MinSide = 10;  // a rectangle must be larger than this in both directions
constexpr uint32_t White = 0xFFFFFF;
}  // namespace

ZoomMode::ZoomMode(ModeHost& host, LingeringOverlays& lingering) : MouseMode(host, lingering), m_band(host.canvas())
{
    setPrompt(tx(StatusText::ZoomCorner1, host.language()));
}

int ZoomMode::alignedRow(QPoint corner1, QPoint mouse, long double ratio)
{
    const int dx = mouse.x() - corner1.x();
    const int d = int(std::llrint(static_cast<long double>(dx) / ratio));  // to nearest, ties to even
    const bool aboveRight = mouse.x() > corner1.x() && mouse.y() < corner1.y();
    const bool belowLeft = mouse.x() < corner1.x() && mouse.y() > corner1.y();
    return aboveRight || belowLeft ? corner1.y() - d : corner1.y() + d;
}

QCursor ZoomMode::cursor() const
{
    return m_state == State::Moving ? QCursor(Qt::SizeAllCursor) : vorexCursor(CursorId::XCross);
}

void ZoomMode::drawBand()
{
    m_band.show(m_c1, m_c2);
}

void ZoomMode::removeDrawings()
{
    m_band.hide();
    if (m_saved) {
        m_saved->remove();
        m_saved.reset();
    }
}

void ZoomMode::on_mousedown(const MouseEvent& e)
{
    if (e.button != Qt::LeftButton)
        return;
    if (m_state == State::FirstCorner) {
        m_c1 = m_c2 = e.imagePos;
        m_state = State::SecondCorner;
        setPrompt(tx(StatusText::ZoomCorner2, language()));
        showPrompt();
    } else if (m_state == State::Moving) {
        m_released = false;
        m_origin = e.imagePos;
    }
}

void ZoomMode::on_mousemove(const MouseEvent& e)
{
    switch (m_state) {
    case State::FirstCorner:
        showPlanePoint(e.imagePos);
        break;
    case State::SecondCorner:
        m_band.hide();
        m_c2 = QPoint(e.x(), alignedRow(m_c1, e.imagePos, fractal().Aspect));
        drawBand();
        showPlanePoint(m_c2);
        break;
    case State::Moving:
        if (m_released)
            break;
        moveBy(e.imagePos - m_origin);
        m_origin = e.imagePos;
        break;
    }
}

void ZoomMode::on_mouseup(const MouseEvent& e)
{
    if (m_state == State::Moving) {
        m_released = true;
        return;
    }
    if (m_state != State::SecondCorner || e.button != Qt::LeftButton)
        return;
    if (std::abs(m_c2.x() - m_c1.x()) > MinSide && std::abs(m_c2.y() - m_c1.y()) > MinSide) {
        m_state = State::Moving;
        m_released = true;
        setPrompt(tx(StatusText::MovingZoom, language()));
        showPrompt();
        m_host.setTimerEnabled(true);
    }
    // A smaller rectangle is kept and the selection goes on.
}

void ZoomMode::on_timer()
{
    if (m_state == State::Moving && m_band.visible() && fractal().Params.Algorithm != engine::AlgDistance) {
        m_band.hide();
        m_saved = std::make_unique<TZoomLines>(canvas(), m_c1, m_c2, White);
    }
    m_host.setTimerEnabled(false);
}

void ZoomMode::moveBy(QPoint delta)
{
    m_host.setTimerEnabled(false);
    removeDrawings();
    m_c1 += delta;
    m_c2 += delta;
    drawBand();
    m_host.setTimerEnabled(true);
}

bool ZoomMode::on_arrow(QPoint delta)
{
    // The keyboard's way of dragging the rectangle: one step of a drag, whatever the mouse does.
    if (m_state != State::Moving)
        return MouseMode::on_arrow(delta);
    moveBy(delta);
    return true;
}

bool ZoomMode::on_keydown(int key)
{
    if (m_state != State::Moving)
        return MouseMode::on_keydown(key);
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    applyZoom();
    return true;
}

void ZoomMode::applyZoom()
{
    document::TFractal& f = fractal();
    m_host.viewChanging();
    f.ZoomRect = {m_c1.x(), m_c1.y(), m_c2.x(), m_c2.y()};
    const bool withinLimits = f.ZoomToRect();
    cancel();
    finish();
    m_host.deleteMarkers();
    m_host.parametersPicked();
    // An empty message lets the status line tell that the fractal must be re-calculated.
    m_host.showStatus(withinLimits ? QString()
                                   : tx(StatusText::ZoomAtLimits, language()) + QLatin1Char(' ')
                                         + tx(StatusText::MustRecalculate, language()));
}

void ZoomMode::cancel()
{
    m_host.setTimerEnabled(false);
    removeDrawings();
}

}  // namespace ui
