#pragma once

#include <QImage>
#include <QWidget>

#include "document/Profile.h"

class QAction;
class QMenu;

namespace ui {

class TMainForm;

// `TProfilForm`, the cross-section window: the iteration counts of one image row as a green line over
// a black ground, 160 pixels high, with the maximum (grey, when unzoomed below 1) and the iterations
// the image was first computed with (red, "I.Ori:", after a touch-up). Its columns stay under the
// picture's columns as the picture scrolls horizontally. The context menu (`ProfilPopupMenu`) zooms
// vertically by 2. Closing it takes the row's line off the picture; the window is deleted.
class TProfilForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int WindowHeight = 160;
    explicit TProfilForm(TMainForm& window);

    // Reads row `row` of the document, sets the caption, places and shows the window, draws.
    void fill(int row);
    const document::TProfile& profile() const { return m_profile; }
    void zoomIn();
    void zoomOut();
    // What the window shows, drawn at its client size.
    QImage render() const;

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void scrolled(int position);
    void updateCaption();
    void draw(QPainter& p, QSize size) const;

    TMainForm& m_window;
    document::TProfile m_profile;
    QMenu* m_menu;
    QAction* m_zoomIn;
    QAction* m_zoomOut;
};

}  // namespace ui
