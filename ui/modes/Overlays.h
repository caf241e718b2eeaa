#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

#include "ui/modes/Canvas.h"

namespace ui {

// Pixels an overlay covered, in the order they were covered, so that they can be put back exactly.
class SavedPixels {
public:
    // Saves the pixel and paints it with `raw`; points outside the canvas are ignored.
    void cover(Canvas& canvas, int x, int y, uint32_t raw);
    // Puts every covered pixel back, last covered first (a pixel covered twice gets its first value).
    void restore(Canvas& canvas);
    // Forgets the pixels without writing them (the picture under them was replaced).
    void forget() { m_saved.clear(); }
    QRect bounds() const;

private:
    struct Saved {
        int x, y;
        uint32_t raw;
    };
    std::vector<Saved> m_saved;
};

// `TZoomLines`: a rectangle drawn with the copy pen in one colour over the four edges between two
// corners, which keeps the pixels it covered; remove() puts them back.
class TZoomLines {
public:
    TZoomLines(Canvas& canvas, QPoint corner1, QPoint corner2, uint32_t colourBgr);
    ~TZoomLines() = default;
    TZoomLines(const TZoomLines&) = delete;
    TZoomLines& operator=(const TZoomLines&) = delete;

    void remove();
    // Drops the saved pixels without writing them: the picture under the rectangle was redrawn.
    void discard() { m_saved.forget(); }
    int width() const { return m_right - m_left; }
    int height() const { return m_bottom - m_top; }

private:
    Canvas& m_canvas;
    int m_left, m_top, m_right, m_bottom;
    SavedPixels m_saved;
};

// `THorzLine`: a full-width line at one row in one colour; remove() puts the row back.
class THorzLine {
public:
    THorzLine(Canvas& canvas, int y, uint32_t colourBgr);
    void remove();
    int row() const { return m_y; }

private:
    Canvas& m_canvas;
    int m_y;
    SavedPixels m_saved;
};

// `TVertLine`: a full-height line at one column; remove() puts the column back.
class TVertLine {
public:
    TVertLine(Canvas& canvas, int x, uint32_t colourBgr);
    void remove();
    int column() const { return m_x; }

private:
    Canvas& m_canvas;
    int m_x;
    SavedPixels m_saved;
};

// `TTextLabel`: a short text written in black, in a fixed-pitch font, on a box of one colour whose
// top-left corner is at a point of the picture; remove() puts back what the box covered.
class TTextLabel {
public:
    TTextLabel(Canvas& canvas, QPoint topLeft, const QString& text, uint32_t backgroundBgr);
    void remove();
    QRect area() const { return m_area; }

private:
    Canvas& m_canvas;
    QRect m_area;
    SavedPixels m_saved;
};

// The rubber band: a rectangle or a line XOR-ed with white, so that drawing it again at the same
// place removes it. Each pixel of the shape is XOR-ed once.
class RubberBand {
public:
    enum class Shape { Rectangle, Line };
    explicit RubberBand(Canvas& canvas, Shape shape = Shape::Rectangle) : m_canvas(canvas), m_shape(shape) {}

    void show(QPoint from, QPoint to);
    void hide();
    bool visible() const { return m_visible; }

private:
    void toggle();

    Canvas& m_canvas;
    Shape m_shape;
    QPoint m_from, m_to;
    bool m_visible = false;
};

}  // namespace ui
