#pragma once

#include <QCursor>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "ui/modes/Canvas.h"
#include "ui/modes/Overlays.h"

namespace document {
class TFractal;
}

namespace colour {
class TFract3D;
}

namespace engine {
class OrbitObserver;
}

namespace ui {

// A mouse event on the picture: where it is in the widget and which image pixel that is.
struct MouseEvent {
    QPointF widgetPos;
    QPoint imagePos;
    Qt::MouseButton button = Qt::LeftButton;
    int x() const { return imagePos.x(); }
    int y() const { return imagePos.y(); }
};

// What the modes need from the main window.
class ModeHost {
public:
    virtual ~ModeHost() = default;
    virtual document::TFractal& fractal() = 0;
    virtual Canvas& canvas() = 0;
    virtual int language() const = 0;
    // The status message in the last panel (widened for the live coordinates); empty: no message.
    virtual void showStatus(const QString& message) = 0;
    virtual void setModeCursor(const QCursor& cursor) = 0;
    // The one-shot timer of the zoom rectangle (MainFormTimer, 400 ms); its timeout goes to
    // ModeController::timeout().
    virtual void setTimerEnabled(bool on) = 0;
    // The preference colour of lines, 0x00BBGGRR.
    virtual uint32_t lineColour() const = 0;
    // A new centre or an applied zoom: the markers no longer belong to the picture.
    virtual void deleteMarkers() {}
    // A zoom or a point pick is about to change the view: the view in force goes into the history.
    virtual void viewChanging() {}
    // The parameters were changed by a pick: menus and status must follow.
    virtual void parametersPicked() {}
    // The touch-up iteration dialog (TRetoucheForm): the chosen count, 0 when cancelled.
    virtual uint16_t askTouchUpIterations(uint16_t current, uint16_t minimum) = 0;
    // Runs the touch-up of fractal().ZoomRect with fractal().RetoucheIter; when it ends the host
    // calls ModeController::touchUpFinished.
    virtual void startTouchUp() = 0;
    // Places a marker with an empty text at an image pixel (the document becomes modified); false when
    // no marker slot is free.
    virtual bool placeMarker(QPoint pixel)
    {
        (void)pixel;
        return false;
    }
    // The iteration probe's orbit goes to the orbit window while it is open: the observer (null when
    // closed), then the end of the probe.
    virtual engine::OrbitObserver* probeOrbit() { return nullptr; }
    virtual void probeFinished() {}
    // The cross-section line was chosen (the profile window opens for that row).
    virtual void crossSectionPicked(int row) { (void)row; }
    // The azimuth for the 3D view was chosen (already stored in the fractal).
    virtual void azimuthPicked(int degrees) { (void)degrees; }
    // The projection of the 3D view shown; null without one.
    virtual const colour::TFract3D* view3D() { return nullptr; }
    // A pick on the 3D view changed its parameters: draw it again (after the mode has ended).
    virtual void redraw3D() {}
    // The image pixel at the middle of the part of the picture that is visible: where the keyboard
    // cursor starts when the mouse has not been over the picture yet.
    virtual QPoint visibleCentre() { return QPoint(canvas().width() / 2, canvas().height() / 2); }
};

// The lines and the touch-up rectangle that stay on the picture after their mode ended, until the
// next mode reset.
struct LingeringOverlays {
    std::unique_ptr<THorzLine> horzLine;
    std::unique_ptr<TVertLine> vertLine;
    std::unique_ptr<TZoomLines> touchUpRect;
    bool touchUpRunning = false;  // between ModeHost::startTouchUp and ModeController::touchUpFinished

    // Takes the two lines off the picture.
    void removeLines()
    {
        if (horzLine)
            horzLine->remove();
        if (vertLine)
            vertLine->remove();
        horzLine.reset();
        vertLine.reset();
    }
};

// One mouse mode of the picture. A mode ends itself by calling finish(); the controller then
// drops it. cancel() removes everything the mode drew.
//
// Every mode is driven by the keyboard as well: the arrows move a crosshair cursor over the picture
// (one pixel, ten with Shift) as the mouse would move, and Enter clicks where it is. A mode that
// takes a rectangle presses with the first Enter and releases with the second (see enterAction).
// The cursor starts where the mouse last was, or in the middle of the visible picture.
class MouseMode {
public:
    MouseMode(ModeHost& host, LingeringOverlays& lingering);
    virtual ~MouseMode() = default;
    MouseMode(const MouseMode&) = delete;
    MouseMode& operator=(const MouseMode&) = delete;

    // The mode was armed: shows its prompt.
    virtual void begin() { showPrompt(); }
    virtual void on_mousedown(const MouseEvent&) {}
    virtual void on_mousemove(const MouseEvent&) {}
    virtual void on_mouseup(const MouseEvent&) {}
    // True when the key was used. Enter acts at the keyboard cursor (enterAction).
    virtual bool on_keydown(int key);
    // An arrow key moves the keyboard cursor by `delta` image pixels (a mouse move there); true
    // when it was used.
    virtual bool on_arrow(QPoint delta);
    virtual void on_timer() {}
    virtual QCursor cursor() const { return QCursor(Qt::ArrowCursor); }
    virtual void cancel() {}

    bool finished() const { return m_finished; }

    // The keyboard cursor: where the arrows have taken it, or the mouse's last point on the picture.
    QPoint keyPoint();
    // The keyboard cursor was moved by the arrows after the mouse's last move.
    bool keyboardDriven() const { return m_crossWanted; }
    // The mouse is at `pixel`: the keyboard cursor goes there and its crosshair is no longer shown.
    void pointerAt(QPoint pixel);
    // The crosshair is taken off the picture before the mode draws or reads pixels, and put back
    // afterwards (it is XOR-ed, so the picture under it comes back exactly).
    void hideCrosshair();
    void showCrosshair();
    bool crosshairShown() const { return m_cross[0].visible(); }

protected:
    // What Enter does at the keyboard cursor.
    enum class EnterAction {
        Click,    // a press and a release
        Press,    // a press only: the button stays down while the arrows move
        Release,  // the release of the press before
    };
    virtual EnterAction enterAction() const { return EnterAction::Click; }
    // False while the arrows move something else than the cursor (a movable zoom rectangle).
    virtual bool showsKeyCursor() const { return true; }
    void setKeyPoint(QPoint pixel)
    {
        m_keyPoint = pixel;
        m_keyPointSet = true;
    }

    void finish() { m_finished = true; }
    document::TFractal& fractal() { return m_host.fractal(); }
    Canvas& canvas() { return m_host.canvas(); }
    int language() const { return m_host.language(); }

    // The prompt, cut to 40 characters, as the status message.
    void setPrompt(const QString& prompt);
    void showPrompt() { m_host.showStatus(m_prompt); }
    // prompt "X: " x " Y: " y, the plane point under pixel (x, y) of the picture as it was when
    // the mode started, in the shortest form with up to 15 significant digits.
    void showPlanePoint(QPoint pixel);
    static QString general15(double v);

    ModeHost& m_host;
    LingeringOverlays& m_lingering;
    QString m_prompt;
    double m_step, m_leftX, m_topY;  // the plane mapping when the mode started
    bool m_finished = false;

private:
    QPoint m_keyPoint;
    bool m_keyPointSet = false;
    bool m_crossWanted = false;
    std::array<RubberBand, 4> m_cross;  // four arms around the keyboard cursor, its pixel left clear
};

}  // namespace ui
