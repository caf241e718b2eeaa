#pragma once

#include <memory>

#include "ui/modes/MouseMode.h"

namespace ui {

// The commands that arm a mouse mode.
enum class ModeKind {
    NewCentre,       // PopCenter
    Zoom,            // PopZoom
    JuliaCentre,     // PopJulia
    PertZCentre,     // PopPert
    TouchUp,         // MenuRet
    IterationProbe,  // MenuIter
    CrossSection,    // MenuProfilH
    Azimuth,         // PopAzimut
    Azimuth3D,       // Pop3DAzimuth
    VerticalShift,   // Pop3DDeplY
    PlaceMarker,     // PopMarker
};

// The main window's side of the mouse modes: holds the armed mode and the overlays that outlive
// it, passes the picture's mouse events, keys and timer to the mode, and keeps the cursor.
class ModeController {
public:
    explicit ModeController(ModeHost& host) : m_host(host) {}
    ~ModeController();
    ModeController(const ModeController&) = delete;
    ModeController& operator=(const ModeController&) = delete;

    // Ends the current mode (as cancel()) and arms `kind`: cursor and prompt.
    void start(ModeKind kind);
    bool active() const { return m_mode != nullptr; }
    MouseMode* mode() const { return m_mode.get(); }

    void mousePress(const MouseEvent& e);
    void mouseMove(const MouseEvent& e);
    void mouseRelease(const MouseEvent& e);
    // Enter clicks at the keyboard cursor (or applies a movable zoom rectangle). True when the key was used.
    bool keyPress(int key);
    // An arrow key moves the keyboard cursor (or a movable zoom rectangle) by `delta` pixels. True when
    // it was used.
    bool arrowKey(QPoint delta);
    // The host's 400 ms timer fired.
    void timeout();

    // The modes' part of CancelModes: timer off, the mode's drawings and the lines taken away, the
    // touch-up frame too unless its touch-up is running, default cursor.
    void cancel();
    // Esc: with a mode armed, cancel() and clear the status message; true when something ended.
    bool escape();

    // The touch-up started by the mode ended. Call it once the picture shows the bitmap again (the
    // frame's pixels were replaced by the recomputed rows, so they are not put back). A stopped
    // touch-up frames its area again.
    void touchUpFinished(bool stopped);
    bool touchUpRunning() const { return m_lingering.touchUpRunning; }
    const LingeringOverlays& lingering() const { return m_lingering; }
    // Draws a vertical line at column pixel.x() and a horizontal one at row pixel.y(), in the colour of
    // lines, in place of any lingering lines; they stay until the next reset.
    void showCrossingLines(QPoint pixel);
    // Takes the lingering lines off the picture.
    void removeLines() { m_lingering.removeLines(); }

private:
    void settle();

    ModeHost& m_host;
    LingeringOverlays m_lingering;
    std::unique_ptr<MouseMode> m_mode;
};

}  // namespace ui
