#include "ui/modes/LineModes.h"

#include <cmath>
#include <numbers>

#include "document/Fractal.h"
#include "ui/Texts.h"

namespace ui {

using text::StatusText;

CrossSectionMode::CrossSectionMode(ModeHost& host, LingeringOverlays& lingering) : MouseMode(host, lingering)
{
    setPrompt(tx(StatusText::CrossSectionPrompt, host.language()));
}

void CrossSectionMode::on_mousedown(const MouseEvent& e)
{
    m_lingering.removeLines();
    finish();
    m_host.showStatus(QString());
    if (e.button != Qt::LeftButton)
        return;
    m_lingering.horzLine = std::make_unique<THorzLine>(canvas(), e.y(), m_host.lineColour());
    m_host.crossSectionPicked(m_lingering.horzLine->row());
}

AzimuthMode::AzimuthMode(ModeHost& host, LingeringOverlays& lingering)
    : MouseMode(host, lingering), m_angle(host.fractal().Azimuth), m_line(host.canvas(), RubberBand::Shape::Line)
{
    setPrompt(tx(StatusText::Azimuth, host.language()));
}

int AzimuthMode::azimuthFrom(QPoint pivot, QPoint mouse)
{
    const int dx = mouse.x() - pivot.x();
    const int dy = pivot.y() - mouse.y();
    if (dx == 0 && dy == 0)
        return -1;
    const double degrees = std::acos(dy / std::sqrt(double(dx) * dx + double(dy) * dy)) * 180.0 / std::numbers::pi;
    const int angle = int(std::lrint(degrees));
    return dx < 0 ? 360 - angle : angle;
}

void AzimuthMode::begin()
{
    const document::TFractal& f = fractal();
    m_pivot = QPoint(f.Params.Width / 2, f.Params.Height / 2);
    m_lingering.removeLines();
    m_lingering.vertLine = std::make_unique<TVertLine>(canvas(), m_pivot.x(), m_host.lineColour());
    m_lingering.horzLine = std::make_unique<THorzLine>(canvas(), m_pivot.y(), m_host.lineColour());
    showPrompt();
}

void AzimuthMode::on_mousemove(const MouseEvent& e)
{
    m_line.show(m_pivot, e.imagePos);
    const int a = azimuthFrom(m_pivot, e.imagePos);
    if (a < 0) {
        showPrompt();
        return;
    }
    m_angle = a;
    m_host.showStatus(m_prompt + QString::number(a));
}

void AzimuthMode::on_mousedown(const MouseEvent& e)
{
    cancel();
    m_lingering.removeLines();
    finish();
    m_host.showStatus(QString());
    if (e.button != Qt::LeftButton)
        return;
    fractal().Azimuth = m_angle;
    m_host.azimuthPicked(m_angle);
}

void AzimuthMode::cancel()
{
    m_line.hide();
}

}  // namespace ui
