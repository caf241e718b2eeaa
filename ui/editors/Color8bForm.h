#pragma once

#include <QDialog>
#include <QWidget>

#include "colour/editors/PaletteEditorModel.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace ui {

class BackgroundRecolourer;
class TMainForm;

// The palette grid of the 8-bit editor: 20 x 13 cells of 15 pixels, entries 0..255 then four grey cells.
// The mouse presses, releases and double-clicks cells; from the keyboard the arrows (and Home, End) move a
// focus cell, Space or Enter act as a click on it and F2 as a double-click. Screen readers read the focus
// cell's index and colour as the grid's name.
class PaletteGrid : public QWidget {
    Q_OBJECT
public:
    PaletteGrid(const colour::editors::PaletteEditorModel& model, const colour::Colour8State& document,
                int language, QWidget* parent);

    int focusCell() const { return m_focus; }
    void setFocusCell(int cell);
    // The current cell gets its double frame while a colour dialog or a gradient is in progress.
    void setEditing(bool editing);
    // The text screen readers read for `cell`.
    QString cellName(int cell) const;
    // The grid's picture as painted now.
    QImage render() const;
    QPoint cellCentre(int cell) const;
    // The cells' colours changed: repaint and rename the focus cell.
    void refresh();

signals:
    void cellPressed(int cell);
    void cellReleased();
    void cellDoubleClicked(int cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void paint(QPainter& painter) const;
    void announce();

    const colour::editors::PaletteEditorModel& m_model;
    const colour::Colour8State& m_document;
    int m_language;
    int m_focus = 1;
    bool m_editing = false;
    bool m_pressed = false;
};

// `TColor8bForm`, the 8-bit colour editor: the palette (grid, gradients, one colour, rotations, biomorph
// colour, see a colour on the picture, open, drop and save), the colour boundaries, and the preview
// buttons the `Prev` preference drives. Recolouring runs in the background while it is open. Ending it
// (OK keeps the edits, anything else restores the document) recolours the picture for good.
class TColor8bForm : public QDialog {
    Q_OBJECT
public:
    explicit TColor8bForm(TMainForm& window);
    ~TColor8bForm() override;

    colour::editors::PaletteEditorModel& model() { return m_model; }
    PaletteGrid* grid() const { return m_grid; }
    BackgroundRecolourer& recolourer() { return *m_recolourer; }
    // The status text the editor shows now (empty: none).
    const QString& statusText() const { return m_status; }
    // The name shown for the palette (the file it came from or went to).
    const QString& paletteCaption() const { return m_caption; }
    // A file dropped on the editor: read as a palette (".p8") without a dialog.
    void openDroppedFile(const QString& path);

    void done(int result) override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildPalettePage(QWidget* page);
    void buildBoundariesPage(QWidget* page);
    void setStatus(const QString& text);
    void syncButtons();
    void showPalette(const colour::Palette& palette);
    void recolour();
    void previewStep();
    void onPressed(int cell);
    void onReleased();
    void onDoubleClicked(int cell);
    void onModeButton(QPushButton* button, bool checked);
    void rotate(colour::RotateDirection direction);
    void openPalette(const QString& droppedFile);
    void savePalette();
    void onBoundaryType(int index);
    void onMultiplier(int value);
    void onPreview();
    void applyMultiplierState();

    TMainForm& m_window;
    int m_language;
    colour::editors::PaletteEditorModel m_model;
    BackgroundRecolourer* m_recolourer;
    PaletteGrid* m_grid = nullptr;
    QTabWidget* m_pages = nullptr;
    QPushButton *m_open = nullptr, *m_save = nullptr, *m_left = nullptr, *m_right = nullptr;
    QPushButton *m_gradientRgb = nullptr, *m_gradientHsv = nullptr, *m_biomorph = nullptr, *m_seeColour = nullptr;
    QPushButton *m_preview1 = nullptr, *m_preview2 = nullptr;
    QComboBox* m_boundaryType = nullptr;
    QSpinBox* m_multiplier = nullptr;
    QString m_status, m_caption;
    bool m_ended = false;
};

// "8 bits Color" (and "Colors" of the picture's menus on an 8-bit image): the editor on the document's
// palette and boundaries. True when OK was chosen.
bool runPalette8Command(TMainForm& window);

}  // namespace ui
