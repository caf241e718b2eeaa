#include "ui/modes/PickModes.h"

#include "document/Fractal.h"
#include "engine/Probe.h"
#include "ui/Cursors.h"
#include "ui/Texts.h"

namespace ui {

using text::StatusText;

PointPickMode::PointPickMode(ModeHost& host, LingeringOverlays& lingering, const QString& prompt)
    : MouseMode(host, lingering)
{
    setPrompt(prompt);
}

QCursor PointPickMode::cursor() const
{
    return vorexCursor(CursorId::RCross);
}

void PointPickMode::on_mousemove(const MouseEvent& e)
{
    showPlanePoint(e.imagePos);
}

void PointPickMode::on_mousedown(const MouseEvent& e)
{
    if (e.button == Qt::LeftButton) {
        m_host.viewChanging();
        pick(e.imagePos);
        finish();
        m_host.parametersPicked();
    }
    m_host.showStatus(QString());
}

NewCentreMode::NewCentreMode(ModeHost& host, LingeringOverlays& lingering)
    : PointPickMode(host, lingering, tx(StatusText::NewCenter, host.language()))
{
}

void NewCentreMode::pick(QPoint pixel)
{
    fractal().CentreOnPixel(pixel.x(), pixel.y());
    m_host.deleteMarkers();
}

JuliaCentreMode::JuliaCentreMode(ModeHost& host, LingeringOverlays& lingering)
    : PointPickMode(host, lingering, tx(StatusText::JuliaPrompt, host.language()))
{
}

void JuliaCentreMode::pick(QPoint pixel)
{
    fractal().ParamCFromPixel(pixel.x(), pixel.y());
}

PertZCentreMode::PertZCentreMode(ModeHost& host, LingeringOverlays& lingering)
    : PointPickMode(host, lingering, tx(StatusText::PertZPrompt, host.language()))
{
}

void PertZCentreMode::pick(QPoint pixel)
{
    fractal().PertZFromPixel(pixel.x(), pixel.y());
}

IterationProbeMode::IterationProbeMode(ModeHost& host, LingeringOverlays& lingering) : MouseMode(host, lingering)
{
    setPrompt(tx(StatusText::Position, host.language()));
}

QCursor IterationProbeMode::cursor() const
{
    return vorexCursor(CursorId::XCross);
}

void IterationProbeMode::on_mousemove(const MouseEvent& e)
{
    showPlanePoint(e.imagePos);
}

void IterationProbeMode::on_mousedown(const MouseEvent& e)
{
    if (e.button != Qt::LeftButton)
        return;
    m_host.showStatus(tx(StatusText::PleaseWait, language()));
    const std::optional<uint16_t> count = engine::ProbePoint(fractal(), e.x(), e.y(), m_host.probeOrbit());
    m_host.probeFinished();
    // Separators and selectors without a kernel show nothing.
    m_host.showStatus(count ? tx(StatusText::Iterations, language()) + QString::number(*count) : QString());
}

}  // namespace ui
