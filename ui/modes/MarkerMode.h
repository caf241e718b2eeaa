#pragma once

#include "ui/modes/MouseMode.h"

namespace ui {

// `PopMarker`: the next click places a marker (RCROSS cursor, "Position: " with the plane point under
// the mouse). Any click ends the mode and clears the status; a left click places the marker with an
// empty text, or shows "No Marker available." when all fifteen are used. From the keyboard the arrows
// move the point (from the middle of the image) and Enter places the marker there.
class MarkerMode : public MouseMode {
public:
    MarkerMode(ModeHost& host, LingeringOverlays& lingering);
    void begin() override;
    void on_mousedown(const MouseEvent& e) override;
    void on_mousemove(const MouseEvent& e) override;
    QCursor cursor() const override;
};

}  // namespace ui
