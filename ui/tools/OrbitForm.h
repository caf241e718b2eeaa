#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "engine/OrbitRecorder.h"

class QAction;
class QMenu;
class QTimer;

namespace ui {

class TMainForm;

// `TOrbitForm`, the orbit window: a black canvas with the escape circle and the axes on which the
// orbits of the computation and of the iteration probe are drawn, in the order they were computed.
// The computing side records them through recorder() (engine::OrbitRecorder); this window takes the
// finished batches on the user-interface thread and draws them (a timer, and drain()). Its context
// menu (`OrbitPopupMenu`) switches cumulative and single orbits and coloured orbits, deletes the
// orbits and zooms by 2 within 25..12800 pixels per plane unit; the caption shows "Scale: " and the
// scale / 100. Closing it stops the recording from the next pixel on; the window is deleted.
class TOrbitForm : public QWidget {
    Q_OBJECT
public:
    explicit TOrbitForm(QWidget* parent);
    ~TOrbitForm() override;

    // Opening from "See Orbits": cumulative, white orbits at scale 100, the colour factor 256 / maxIter
    // and the escape radius round(sqrt(escapeValue)); the window is placed at `topLeft` and shown.
    void open(uint16_t escapeValue, uint16_t maxIter, QPoint topLeft, int language, int fontSize);

    const std::shared_ptr<engine::OrbitRecorder>& recorder() const { return m_recorder; }
    const engine::OrbitView& view() const { return m_view; }
    // The canvas as drawn so far (0xFFRRGGBB).
    QImage canvasImage() const;
    // Draws the batches the computing side has published, oldest first.
    void drain();

    // The entries of the context menu.
    void setSingleOrbit(bool single);
    void toggleColourOrbits();
    void deleteOrbits() { redraw(); }
    void zoomIn();
    void zoomOut();

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Caption, black ground, circle and axes; the view goes to the recorder.
    void redraw();
    void updateMenu();

    int m_language = 0;
    engine::OrbitView m_view;
    engine::OrbitCanvas m_canvas;
    std::shared_ptr<engine::OrbitRecorder> m_recorder;
    QTimer* m_drainTimer;
    QMenu* m_menu;
    QAction* m_cumulative;
    QAction* m_single;
    QAction* m_colour;
    QAction* m_delete;
    QAction* m_zoomIn;
    QAction* m_zoomOut;
};

// "See Orbits": the picture at 100 %, the modes cancelled, the orbit window opened (or opened again)
// at the main window's left + 10 and top + 75.
void runOrbitCommand(TMainForm& window);

}  // namespace ui
