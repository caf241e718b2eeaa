#pragma once

#include <array>
#include <vector>

#include "ui/modes/MouseMode.h"
#include "ui/modes/Overlays.h"

namespace ui {

// `Pop3DAzimuth`: a new azimuth chosen on the 3D picture. The base frame of the relief (its edges and
// centre lines, projected at the compass height) is drawn in XOR lines, a rubber line follows the mouse
// from the projected centre and the status shows the azimuth under the mouse. Any click ends the mode;
// a left click stores the last azimuth shown and draws the relief again. The keyboard cursor starts
// at the pivot.
class Azimuth3DMode : public MouseMode {
public:
    Azimuth3DMode(ModeHost& host, LingeringOverlays& lingering);
    void begin() override;
    void on_mousedown(const MouseEvent& e) override;
    void on_mousemove(const MouseEvent& e) override;
    void cancel() override;

    int angle() const { return m_angle; }
    QPoint pivot() const { return m_pivot; }
    // Where the compass letters N, E, S, W are shown while the mode runs.
    std::vector<QRect> letterAreas() const;

private:
    QPoint m_pivot;
    int m_angle = 0;
    RubberBand m_line;
    std::array<RubberBand, 6> m_frame;
    std::vector<TTextLabel> m_letters;  // N, E, S, W
};

// `Pop3DDeplY`: the vertical shift of the 3D view. The first left click fixes the origin (a horizontal
// line at its row); then a rubber line follows the mouse vertically from the origin and the status shows
// the shift (pixels, positive upwards); the second left click adds it to the view's vertical shift and
// draws the relief again. Any other click ends the mode.
class VerticalShiftMode : public MouseMode {
public:
    VerticalShiftMode(ModeHost& host, LingeringOverlays& lingering);
    void begin() override;
    void on_mousedown(const MouseEvent& e) override;
    void on_mousemove(const MouseEvent& e) override;
    void cancel() override;

    bool originPending() const { return m_originPending; }
    int shift() const { return m_shift; }

private:
    QPoint m_origin;
    bool m_originPending = true;
    int m_shift = 0;
    RubberBand m_line;
};

}  // namespace ui
