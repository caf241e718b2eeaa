#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "engine/ComputeDriver.h"
#include "ui/modes/ModeController.h"

class QTimer;

namespace ui {

class TMainForm;

// Connects the mouse modes to the main window: it is the modes' host (status line, cursor of the
// picture, the zoom timer, the touch-up dialog and the touch-up on the window's compute runner),
// and it passes the picture's mouse events and the keys Esc and Enter to the armed mode.
//
// The window keeps the rest: it calls start() from the commands that arm a mode (after switching
// to 100 %) and controller().cancel() from CancelModes.
class ModeBinding : public QObject, private ModeHost {
    Q_OBJECT
public:
    // `canvas` is the window's picture (what MainImage shows); `timer` is MainFormTimer.
    ModeBinding(TMainForm& window, Canvas& canvas, QTimer* timer);
    ~ModeBinding() override;

    void start(ModeKind kind) { m_controller.start(kind); }
    ModeController& controller() { return m_controller; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ModeHost
    document::TFractal& fractal() override;
    Canvas& canvas() override { return m_canvas; }
    int language() const override;
    void showStatus(const QString& message) override;
    void setModeCursor(const QCursor& cursor) override;
    void setTimerEnabled(bool on) override;
    uint32_t lineColour() const override;
    void viewChanging() override;
    void parametersPicked() override;
    uint16_t askTouchUpIterations(uint16_t current, uint16_t minimum) override;
    void startTouchUp() override;
    const colour::TFract3D* view3D() override;
    bool placeMarker(QPoint pixel) override;
    engine::OrbitObserver* probeOrbit() override;
    void probeFinished() override;
    void crossSectionPicked(int row) override;
    void deleteMarkers() override;
    void redraw3D() override;
    QPoint visibleCentre() override;

    void computationFinished(engine::ComputeEnd end);

    TMainForm& m_window;
    Canvas& m_canvas;
    QTimer* m_timer;
    ModeController m_controller;
    bool m_touchUpRunning = false;
};

}  // namespace ui
