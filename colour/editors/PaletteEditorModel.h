#pragma once

#include <cstdint>

#include "colour/Colour8.h"
#include "colour/Palette.h"
#include "colour/PaletteGradient.h"
#include "colour/Recolour.h"
#include "colour/editors/EditorModel.h"

// The 8-bit colour editor without its window: the palette being edited, the candidate biomorph index,
// boundary type and multiplier, the grid's modes (gradients, biomorph pick, see colour) and the preview
// switch. It works on the document's 8-bit colour part: the biomorph pick and the boundaries reach the
// document at once (so the picture can show them), the palette only on accept(); cancel() puts the part
// back exactly as it was when the editor opened. Choosing the row procedure after a boundary change and
// recolouring are the caller's.
namespace colour::editors {

// The preference that drives the preview buttons: on or off at opening and toggled by either button, or
// plain push buttons that show the candidates when pressed ("Manual", the switch stays off).
enum class PreviewPolicy : uint8_t { OnByDefault = 0, OffByDefault = 1, Manual = 2 };

class PaletteEditorModel : public EditorModel {
public:
    // The grid: 20 columns x 13 rows of 15-pixel cells; cells 0..255 are the entries, 256..259 grey.
    static constexpr int GridColumns = 20, GridRows = 13, CellPixels = 15;
    static constexpr int EntryCells = 256, CellCount = 260;
    static constexpr int MultiplierMin = 1, MultiplierMax = 500;

    explicit PaletteEditorModel(Colour8State& document, PreviewPolicy policy = PreviewPolicy::OnByDefault);

    const Palette& editPalette() const { return m_edit; }
    // The document's part as it was when the editor opened.
    const Colour8State& initial() const { return m_initial; }
    int32_t candidateBiomorph() const { return m_biomorph; }
    BoundaryKind candidateBoundary() const { return m_boundary; }
    int32_t candidateMultiplier() const { return m_multiplier; }

    // The cell under grid pixel (x, y), or -1 outside the grid.
    static int cellAt(int x, int y);
    // The last cell pressed (0..259), -1 before any press.
    int currentCell() const { return m_current; }

    enum class Mode : uint8_t { None, GradientFirstPoint, GradientSecondPoint, BiomorphPick, SeeColour };
    Mode mode() const { return m_mode; }
    GradientKind gradientKind() const { return m_kind; }
    int firstPoint() const { return m_firstPoint; }
    // The sticky mode buttons: one mode at most; starting one ends the others.
    void startGradient(GradientKind kind);
    void startBiomorphPick();
    void startSeeColour();
    // Any other button (rotation, open, save, preview, a double-click) ends the modes too.
    void endModes();

    enum class PressOutcome : uint8_t {
        Nothing,          // no mode, a grey cell in a mode, or a cell outside the grid
        FirstPointChosen, // the gradient waits for its second point
        GradientDone,     // the second point: the gradient was applied (or both points were the same cell)
        BiomorphPicked,   // the candidate biomorph index and the document's took the cell
        Flashing,         // see colour: the entry shows its complement until releaseCell()
    };
    // A mouse press on grid cell `cell` (from cellAt). Entry 0 is fixed: a gradient point on it counts as 1.
    // Grey cells change nothing and keep the mode.
    PressOutcome pressCell(int cell);
    // The mouse released: a flashed entry takes its colour back. False when nothing was flashing.
    bool releaseCell();

    // The colour dialog's "OK" for entry `index`: entries 1..255 only (false, nothing changed, otherwise).
    bool setEntryColour(int index, uint8_t red, uint8_t green, uint8_t blue);
    // Left (Out): entries 2..255 move down one and the old entry 1 goes to 255; Right (In) the reverse.
    void rotate(RotateDirection direction);
    // A palette read from a file (open or drop) becomes the edit palette with entry 0 black.
    void loadPalette(const Palette& loaded);

    // The boundaries page: the candidates, written to the document at once. The multiplier is kept
    // within 1..500; it matters (and its spin edit is enabled) only for the logarithmic and square-root rules.
    void setBoundaryType(BoundaryKind type);
    void setMultiplier(int32_t multiplier);
    bool multiplierEnabled() const { return m_boundary != BoundaryKind::Linear; }

    // Preview. previewOn(): each edit is shown on the picture at once (show the edit palette, recolour).
    PreviewPolicy previewPolicy() const { return m_policy; }
    bool previewOn() const { return m_preview; }
    bool previewButtonsSticky() const { return m_policy != PreviewPolicy::Manual; }
    // A click on either preview button. With the switch off (and not "Manual") the document takes the
    // initial biomorph index and boundaries and the picture shows the document's palette; otherwise the
    // candidates, and the edit palette. Returns the palette to show; the caller recolours.
    const Palette& clickPreview();
    // The palette the picture shows after an edit (open and drop recolour with it whatever the switch says).
    const Palette& shownPalette() const { return m_preview ? m_edit : m_document.Palette; }

    // "OK": the document takes the edit palette, the candidate boundaries and biomorph index.
    void accept();
    // Any other ending: the document's part as it was at opening.
    void cancel();

private:
    Colour8State& m_document;
    const Colour8State m_initial;
    Palette m_edit;
    int32_t m_biomorph;
    BoundaryKind m_boundary;
    int32_t m_multiplier;
    PreviewPolicy m_policy;
    bool m_preview;
    Mode m_mode = Mode::None;
    GradientKind m_kind = GradientKind::Rgb;
    int m_current = -1;
    int m_firstPoint = -1;
    int m_flashed = -1;  // the entry showing its complement, -1 for none
    PaletteEntry m_savedColour;
};

}  // namespace colour::editors
