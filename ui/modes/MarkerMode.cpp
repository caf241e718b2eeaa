#include "ui/modes/MarkerMode.h"

#include "document/Fractal.h"
#include "ui/Cursors.h"
#include "ui/Texts.h"

namespace ui {

using text::StatusText;

MarkerMode::MarkerMode(ModeHost& host, LingeringOverlays& lingering) : MouseMode(host, lingering)
{
    setPrompt(tx(StatusText::Position, host.language()));
}

void MarkerMode::begin()
{
    showPrompt();
}

QCursor MarkerMode::cursor() const
{
    return vorexCursor(CursorId::RCross);
}

void MarkerMode::on_mousemove(const MouseEvent& e)
{
    showPlanePoint(e.imagePos);
}

void MarkerMode::on_mousedown(const MouseEvent& e)
{
    finish();
    m_host.showStatus(QString());
    if (e.button != Qt::LeftButton)
        return;
    if (!m_host.placeMarker(e.imagePos))
        m_host.showStatus(tx(StatusText::NoMarkerAvailable, language()));
}

}  // namespace ui
