#pragma once

#include <QDialog>
#include <array>

#include "storage/PosterMove.h"

class QToolButton;

namespace document {
class TFractal;
}

namespace ui {

// `TPosterForm`, the poster's next tile: a 3 x 3 grid of small rectangles with the image's proportions
// (50 pixels on the longer side), the current image in the middle and its eight neighbours around it.
// Choosing a neighbour (a click, or Tab and Space) highlights it and sets the new centre from
// dx = Width x Step, dy = Height x Step; without a choice the centre stays.
class TPosterForm : public QDialog {
    Q_OBJECT
public:
    TPosterForm(const document::TFractal& f, int language, int fontSize, QWidget* parent = nullptr);

    // The neighbour chosen (0, 0 while none is).
    storage::PosterNeighbour neighbour() const { return m_neighbour; }
    storage::PlanePoint newCentre() const { return m_centre; }
    // The button of cell (column, row), each -1..1.
    QToolButton* cell(int column, int row) const { return m_cells[size_t((row + 1) * 3 + column + 1)]; }
    void choose(int column, int row);

    static constexpr int LongerSide = 50;

private:
    void paintCells();

    const document::TFractal& m_fractal;
    std::array<QToolButton*, 9> m_cells{};
    storage::PosterNeighbour m_neighbour;
    storage::PlanePoint m_centre;
};

class TMainForm;
// "Poster": asks to save the document ("New Fractal"), shows the poster dialog with "Select next image"
// in the status line, and on OK moves the document to the chosen tile (storage::moveToPosterTile): no
// file name, ResumeLine 0, the image cleared, ready to be computed. True when it moved.
bool runPosterCommand(TMainForm& window);

}  // namespace ui
