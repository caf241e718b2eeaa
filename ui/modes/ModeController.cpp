#include "ui/modes/ModeController.h"

#include "document/Fractal.h"
#include "ui/modes/LineModes.h"
#include "ui/modes/MarkerMode.h"
#include "ui/modes/Modes3D.h"
#include "ui/modes/PickModes.h"
#include "ui/modes/TouchUpMode.h"
#include "ui/modes/ZoomMode.h"

namespace ui {

ModeController::~ModeController() = default;

void ModeController::start(ModeKind kind)
{
    cancel();
    switch (kind) {
    case ModeKind::NewCentre: m_mode = std::make_unique<NewCentreMode>(m_host, m_lingering); break;
    case ModeKind::Zoom: m_mode = std::make_unique<ZoomMode>(m_host, m_lingering); break;
    case ModeKind::JuliaCentre: m_mode = std::make_unique<JuliaCentreMode>(m_host, m_lingering); break;
    case ModeKind::PertZCentre: m_mode = std::make_unique<PertZCentreMode>(m_host, m_lingering); break;
    case ModeKind::TouchUp: m_mode = std::make_unique<TouchUpMode>(m_host, m_lingering); break;
    case ModeKind::IterationProbe: m_mode = std::make_unique<IterationProbeMode>(m_host, m_lingering); break;
    case ModeKind::CrossSection: m_mode = std::make_unique<CrossSectionMode>(m_host, m_lingering); break;
    case ModeKind::Azimuth: m_mode = std::make_unique<AzimuthMode>(m_host, m_lingering); break;
    case ModeKind::Azimuth3D: m_mode = std::make_unique<Azimuth3DMode>(m_host, m_lingering); break;
    case ModeKind::VerticalShift: m_mode = std::make_unique<VerticalShiftMode>(m_host, m_lingering); break;
    case ModeKind::PlaceMarker: m_mode = std::make_unique<MarkerMode>(m_host, m_lingering); break;
    }
    m_mode->begin();
    settle();
}

void ModeController::settle()
{
    if (m_mode && m_mode->finished())
        m_mode.reset();
    if (m_mode)
        m_mode->showCrosshair();
    m_host.setModeCursor(m_mode ? m_mode->cursor() : QCursor(Qt::ArrowCursor));
}

void ModeController::mousePress(const MouseEvent& e)
{
    if (!m_mode)
        return;
    m_mode->hideCrosshair();
    m_mode->pointerAt(e.imagePos);
    m_mode->on_mousedown(e);
    settle();
}

void ModeController::mouseMove(const MouseEvent& e)
{
    if (!m_mode)
        return;
    m_mode->hideCrosshair();
    m_mode->pointerAt(e.imagePos);
    m_mode->on_mousemove(e);
    settle();
}

void ModeController::mouseRelease(const MouseEvent& e)
{
    if (!m_mode)
        return;
    m_mode->hideCrosshair();
    m_mode->pointerAt(e.imagePos);
    m_mode->on_mouseup(e);
    settle();
}

bool ModeController::arrowKey(QPoint delta)
{
    if (!m_mode)
        return false;
    m_mode->hideCrosshair();
    const bool used = m_mode->on_arrow(delta);
    settle();
    return used;
}

bool ModeController::keyPress(int key)
{
    if (!m_mode)
        return false;
    m_mode->hideCrosshair();
    const bool used = m_mode->on_keydown(key);
    settle();
    return used;
}

void ModeController::timeout()
{
    if (m_mode) {
        m_mode->hideCrosshair();
        m_mode->on_timer();
        settle();
    } else
        m_host.setTimerEnabled(false);
}

void ModeController::cancel()
{
    m_host.setTimerEnabled(false);
    if (m_mode) {
        m_mode->hideCrosshair();
        m_mode->cancel();  // the rubber bands first: they are XOR-ed over the lines
        m_mode.reset();
    }
    if (m_lingering.touchUpRect && !m_lingering.touchUpRunning) {
        m_lingering.touchUpRect->remove();
        m_lingering.touchUpRect.reset();
    }
    m_lingering.removeLines();
    m_host.setModeCursor(QCursor(Qt::ArrowCursor));
}

bool ModeController::escape()
{
    const bool anything = m_mode || m_lingering.horzLine || m_lingering.vertLine
        || (m_lingering.touchUpRect && !m_lingering.touchUpRunning);
    if (!anything)
        return false;
    cancel();
    m_host.showStatus(QString());
    return true;
}

void ModeController::showCrossingLines(QPoint pixel)
{
    m_lingering.removeLines();
    m_lingering.vertLine = std::make_unique<TVertLine>(m_host.canvas(), pixel.x(), m_host.lineColour());
    m_lingering.horzLine = std::make_unique<THorzLine>(m_host.canvas(), pixel.y(), m_host.lineColour());
}

void ModeController::touchUpFinished(bool stopped)
{
    m_lingering.touchUpRunning = false;
    if (m_lingering.touchUpRect) {
        m_lingering.touchUpRect->discard();
        m_lingering.touchUpRect.reset();
    }
    if (stopped) {
        const engine::PixelRect& r = m_host.fractal().ZoomRect;
        m_lingering.touchUpRect = std::make_unique<TZoomLines>(m_host.canvas(), QPoint(r.Left, r.Top),
                                                                QPoint(r.Right, r.Bottom), m_host.lineColour());
    }
}

}  // namespace ui
