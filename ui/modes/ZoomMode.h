#pragma once

#include <memory>

#include "ui/modes/MouseMode.h"

namespace ui {

// `PopZoom`: the zoom rectangle. A press fixes the first corner; the second follows the mouse with
// the image's proportions (the aspect rule); a release with both sides above 10 pixels makes the
// rectangle movable (drag it any number of times); Enter zooms to it, Esc abandons it.
//
// While the rectangle is movable it is an XOR rubber band; 400 ms after it stopped moving (the
// host's timer) it becomes a white TZoomLines rectangle, except with the Distance algorithm.
class ZoomMode : public MouseMode {
public:
    ZoomMode(ModeHost& host, LingeringOverlays& lingering);

    void on_mousedown(const MouseEvent& e) override;
    void on_mousemove(const MouseEvent& e) override;
    void on_mouseup(const MouseEvent& e) override;
    bool on_keydown(int key) override;
    bool on_arrow(QPoint delta) override;
    void on_timer() override;
    QCursor cursor() const override;
    void cancel() override;

    enum class State { FirstCorner, SecondCorner, Moving };
    State state() const { return m_state; }
    QPoint corner1() const { return m_c1; }
    QPoint corner2() const { return m_c2; }
    bool savedRectangleShown() const { return m_saved != nullptr; }

    // The aspect rule: corner 2's row for the mouse at `mouse`, so that the rectangle has the
    // image's proportions (ratio = width / height), its width following the mouse and its vertical
    // direction following the mouse.
    static int alignedRow(QPoint corner1, QPoint mouse, long double ratio);

protected:
    // From the keyboard: Enter fixes the first corner, the arrows move the second, Enter again fixes it.
    EnterAction enterAction() const override
    {
        return m_state == State::FirstCorner ? EnterAction::Press : EnterAction::Release;
    }
    bool showsKeyCursor() const override { return m_state != State::Moving; }

private:
    void drawBand();
    void removeDrawings();
    void applyZoom();
    void moveBy(QPoint delta);

    State m_state = State::FirstCorner;
    QPoint m_c1, m_c2, m_origin;
    bool m_released = true;
    RubberBand m_band;
    std::unique_ptr<TZoomLines> m_saved;
};

}  // namespace ui
