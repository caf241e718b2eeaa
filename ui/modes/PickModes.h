#pragma once

#include "ui/modes/MouseMode.h"

namespace ui {

// The modes that take one plane point with a left click and end: the new centre (RCROSS cursor,
// "New Center: "), the Julia constant and the PertZ start value. Every move shows the plane point
// under the mouse; any click clears the status message.
class PointPickMode : public MouseMode {
public:
    PointPickMode(ModeHost& host, LingeringOverlays& lingering, const QString& prompt);
    void on_mousedown(const MouseEvent& e) override;
    void on_mousemove(const MouseEvent& e) override;
    QCursor cursor() const override;

protected:
    virtual void pick(QPoint pixel) = 0;
};

// `PopCenter`: the clicked point becomes the centre; the markers are deleted.
class NewCentreMode : public PointPickMode {
public:
    NewCentreMode(ModeHost& host, LingeringOverlays& lingering);

protected:
    void pick(QPoint pixel) override;
};

// `PopJulia`: the clicked point becomes the Julia constant.
class JuliaCentreMode : public PointPickMode {
public:
    JuliaCentreMode(ModeHost& host, LingeringOverlays& lingering);

protected:
    void pick(QPoint pixel) override;
};

// `PopPert`: the clicked point becomes PertZ, PertZi.
class PertZCentreMode : public PointPickMode {
public:
    PertZCentreMode(ModeHost& host, LingeringOverlays& lingering);

protected:
    void pick(QPoint pixel) override;
};

// `MenuIter`: each left click shows the iteration count of the pixel with a limit of 65535
// ("Iterations: 65535" inside the set). The mode stays until the modes are reset.
class IterationProbeMode : public MouseMode {
public:
    IterationProbeMode(ModeHost& host, LingeringOverlays& lingering);
    void on_mousedown(const MouseEvent& e) override;
    void on_mousemove(const MouseEvent& e) override;
    QCursor cursor() const override;
};

}  // namespace ui
