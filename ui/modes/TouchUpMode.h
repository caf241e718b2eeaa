#pragma once

#include "ui/modes/MouseMode.h"

namespace ui {

// `MenuRet`: the touch-up area. A press fixes the first corner, the rubber band follows the mouse
// (no aspect rule) and a release with both sides above 10 pixels ends the selection: the area is
// framed in the colour of lines and the touch-up iterations are asked; a confirmed count starts
// the touch-up of the area, a cancelled one takes the frame away.
class TouchUpMode : public MouseMode {
public:
    TouchUpMode(ModeHost& host, LingeringOverlays& lingering);

    void on_mousedown(const MouseEvent& e) override;
    void on_mousemove(const MouseEvent& e) override;
    void on_mouseup(const MouseEvent& e) override;
    QCursor cursor() const override;
    void cancel() override;

protected:
    // From the keyboard: Enter fixes the first corner, Enter again the second.
    EnterAction enterAction() const override { return m_firstPending ? EnterAction::Press : EnterAction::Release; }

private:
    void areaChosen();

    bool m_firstPending = true;
    QPoint m_c1, m_c2;
    RubberBand m_band;
};

}  // namespace ui
