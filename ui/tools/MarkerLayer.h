#pragma once

#include <QPoint>
#include <optional>
#include <string>

#include "document/MarkerSlots.h"

namespace ui {

class TMainForm;

// The markers on the window's picture. The fifteen slots (document::TMarkerSlots) draw into the
// document's display bitmap: in the plain view at the markers' pixels, in the 3D view at the pixels the
// relief projects them to (a second set of slots keeps what those cover). Every change is copied into
// the picture at once. Size and colour come from the preferences as they are at each drawing.
//
// The bitmap must be free of markers while something else rewrites it: hideForRewrite() before, and
// pictureRewritten() after (it draws them again over the new picture when they are shown). While the
// window is not idle the bitmap belongs to the computation or the picture task: changes then go to the
// document's markers only, and are drawn when it ends.
class MarkerLayer {
public:
    explicit MarkerLayer(TMainForm& window);

    // The start-up allocation of the slots; the result says which save area failed.
    document::MarkerAllocation create();
    bool available() const { return m_slots.Available(); }
    document::MarkerStyle style() const;

    // Places a marker with the first free number at an image pixel (the document's plain view); in the
    // 3D view it is drawn at its projection. Nothing when all fifteen are used.
    std::optional<int> place(QPoint pixel, const std::string& text, document::MarkerShape shape);
    // The marker under a pixel of the picture as shown (2D or 3D).
    std::optional<int> find(QPoint shownPixel) const;
    // Erases one marker from the picture; with `free` its slot becomes unused.
    void erase(int number, bool free);
    // Erases and frees a marker, then places it again at `pixel` with the text and shape when the
    // pixel lies inside the image. The new number, or nothing when the marker is gone.
    std::optional<int> move(int number, QPoint pixel, const std::string& text, document::MarkerShape shape);

    // Erases every marker from the picture, keeping them.
    void hideAll();
    // Erases and frees every marker; true when there was one.
    bool deleteAll();
    // Draws every marker again (first reading the pixels under them with saveBackground); false when
    // none exists.
    bool showAll(bool saveBackground);
    // The pixel in the 3D view where a marker placed at `pixel` is drawn.
    QPoint projected(QPoint pixel) const;

    // Before the picture is drawn again (computation, recolouring, 3D, filters): the markers come off.
    void hideForRewrite() { hideAll(); }
    // After it: the markers go on again over the new picture when they are shown. Markers still drawn
    // are on the picture as it is (nothing rewrote it): they are lifted first.
    void pictureRewritten();
    // The picture was replaced without hideForRewrite (a new document): what the slots saved is dropped.
    void forget();

private:
    bool view3D() const;
    bool anyDrawn() const;
    void refreshProjection() const;
    void copyToPicture(int firstRow, int lastRow);
    void copyAroundToPicture(QPoint pixel);

    TMainForm& m_window;
    document::TMarkerSlots m_slots;    // the plain view
    document::TMarkerSlots m_slots3D;  // the 3D view, over m_projected
    // The document's markers at their 3D positions, refreshed from the document whenever it is used
    // (what the 3D slots drew is kept by the slots themselves).
    mutable document::MarkerSet m_projected;
};

}  // namespace ui
