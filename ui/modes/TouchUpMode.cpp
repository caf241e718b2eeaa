#include "ui/modes/TouchUpMode.h"

#include <algorithm>
#include <cstdlib>

#include "document/Fractal.h"
#include "ui/Cursors.h"
#include "ui/Texts.h"

namespace ui {

using text::StatusText;

namespace {
constexpr int MinSide = 10;
}

TouchUpMode::TouchUpMode(ModeHost& host, LingeringOverlays& lingering)
    : MouseMode(host, lingering), m_band(host.canvas())
{
    setPrompt(tx(StatusText::TouchUpCorner1, host.language()));
}

QCursor TouchUpMode::cursor() const
{
    return vorexCursor(CursorId::XCross);
}

void TouchUpMode::on_mousedown(const MouseEvent& e)
{
    if (e.button != Qt::LeftButton || !m_firstPending)
        return;
    m_c1 = m_c2 = e.imagePos;
    m_firstPending = false;
    setPrompt(tx(StatusText::TouchUpCorner2, language()));
    showPrompt();
}

void TouchUpMode::on_mousemove(const MouseEvent& e)
{
    const QString xy = QStringLiteral("X: %1 Y: %2").arg(e.x()).arg(e.y());
    if (m_firstPending) {
        m_host.showStatus(m_prompt + xy);
        return;
    }
    m_c2 = e.imagePos;
    m_band.show(m_c1, m_c2);
    m_host.showStatus(m_prompt + xy + QStringLiteral(" / dX: %1 dY: %2").arg(e.x() - m_c1.x()).arg(e.y() - m_c1.y()));
}

void TouchUpMode::on_mouseup(const MouseEvent& e)
{
    if (e.button != Qt::LeftButton || m_firstPending)
        return;
    if (std::abs(m_c2.x() - m_c1.x()) > MinSide && std::abs(m_c2.y() - m_c1.y()) > MinSide)
        areaChosen();
}

void TouchUpMode::areaChosen()
{
    m_band.hide();
    document::TFractal& f = fractal();
    const int left = std::max(std::min(m_c1.x(), m_c2.x()), 0);
    const int top = std::max(std::min(m_c1.y(), m_c2.y()), 0);
    const int right = std::min(std::max(m_c1.x(), m_c2.x()), f.Params.Width - 1);
    const int bottom = std::min(std::max(m_c1.y(), m_c2.y()), f.Params.Height - 1);
    finish();
    m_host.setModeCursor(QCursor(Qt::ArrowCursor));
    m_host.showStatus(tx(StatusText::SelectIterationValue, language()));

    if (m_lingering.touchUpRect)
        m_lingering.touchUpRect->remove();
    m_lingering.touchUpRect =
        std::make_unique<TZoomLines>(canvas(), QPoint(left, top), QPoint(right, bottom), m_host.lineColour());
    const uint16_t iterations = m_host.askTouchUpIterations(f.RetoucheIter, f.Params.MaxIter);
    if (iterations == 0) {
        m_lingering.touchUpRect->remove();
        m_lingering.touchUpRect.reset();
        m_host.showStatus(QString());
        return;
    }
    f.RetoucheIter = iterations;
    f.ZoomRect = {left, top, right, bottom};
    m_lingering.touchUpRunning = true;
    m_host.startTouchUp();
}

void TouchUpMode::cancel()
{
    m_band.hide();
}

}  // namespace ui
