#pragma once

#include "ui/modes/MouseMode.h"

namespace ui {

// `MenuProfilH`: a left click chooses the row of the cross-section; the row is marked with a
// THorzLine that stays until the modes are reset.
class CrossSectionMode : public MouseMode {
public:
    CrossSectionMode(ModeHost& host, LingeringOverlays& lingering);
    void on_mousedown(const MouseEvent& e) override;
};

// `PopAzimut`: the azimuth of the 3D view, chosen on the 2D picture. Two lines cross at the pivot
// (the middle of the image); a rubber line follows the mouse from the pivot and the status shows
// its angle: 0 straight up, growing clockwise. Any click ends the mode; a left click stores the
// last angle shown as the azimuth.
class AzimuthMode : public MouseMode {
public:
    AzimuthMode(ModeHost& host, LingeringOverlays& lingering);
    void begin() override;
    void on_mousedown(const MouseEvent& e) override;
    void on_mousemove(const MouseEvent& e) override;
    void cancel() override;

    int angle() const { return m_angle; }
    // Degrees 0..359 of the direction from the pivot to the mouse; -1 when they are the same pixel.
    static int azimuthFrom(QPoint pivot, QPoint mouse);

private:
    QPoint m_pivot;
    int m_angle = 0;
    RubberBand m_line;
};

}  // namespace ui
