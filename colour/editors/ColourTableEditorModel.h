#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "colour/ColorTable24.h"
#include "colour/Colour24.h"
#include "colour/editors/EditorModel.h"

// The 24-bit colour editor without its window: a working copy of the boundary table, the selected
// boundary, adding, moving, deleting and colouring boundaries, the zoomable strip's arithmetic, the table
// mode and the calculation parameters. It works on the document's 24-bit colour part: the mode and the
// calculation parameters reach the document at once and the document's tables are rebuilt from the working
// copy as the user goes (the preview); the boundary table itself only on accept(). cancel() puts the part
// back exactly as it was when the editor opened. Recolouring is the caller's.
namespace colour::editors {

class ColourTableEditorModel : public EditorModel {
public:
    static constexpr int FirstBoundary = 1, LastBoundary = 99;  // the user's records
    static constexpr int NoSelection = 0;
    static constexpr uint32_t PositionMin = 1, PositionMax = 65000;  // the position edit and the track bar
    static constexpr int ZoomMin = 1, ZoomMax = 32;
    static constexpr int32_t HueOffsetMax = 359, HueMultMax = 500, ValueMultMax = 65535;

    // maxIter and algorithm: the document's iteration limit and colouring algorithm, for the tables.
    ColourTableEditorModel(Colour24State& document, uint16_t maxIter, uint8_t algorithm);

    const ColorTable24& workingTable() const { return m_table; }
    const Colour24State& initial() const { return m_initial; }

    // Boundaries (records 1..99 in use, sorted by position, free ones last).
    int boundaryCount() const;
    std::vector<uint32_t> boundaryPositions() const;
    int selected() const { return m_selected; }
    // The record a press at `value` selects: the first record i whose position exceeds the value against
    // record i - 1, the nearer winning and the later one on a tie; NoSelection when no boundary exists.
    int nearestBoundary(uint32_t value) const;
    // A click on the strip or a position chosen in the list. False when there is no boundary.
    bool selectNearest(uint32_t value);
    // A double-click: a new boundary at `value`, selected, unless one is already there, all 99 are in use,
    // or the value is not above the scale's start or is past the last position.
    bool addBoundary(uint32_t value);
    // The positions the selected boundary must stay strictly between: the previous record's (the scale's
    // start for the first) and the next boundary's, or the scale's end after the last one.
    struct Neighbours {
        uint32_t lower = 0, upper = 0;
    };
    Neighbours neighbours() const;
    // The track bar: taken only strictly between the neighbours and within the bar's range.
    bool moveSelected(uint32_t position);
    // The left and right buttons: the track bar by -1 and +1.
    bool nudgeSelected(int delta);
    // A value typed into the position edit (kept within 1..65000): strictly between the neighbours it is
    // taken; otherwise the position becomes the upper neighbour - 1 when the value is at or above the lower
    // neighbour, else the lower neighbour + 1. Returns the new position (0 with no selection).
    uint32_t typePosition(int64_t typed);
    // The selected boundary becomes free and the records are sorted again; the next boundary (or else the
    // previous one) is selected.
    bool deleteSelected();

    // The colour panels and buttons. Afterwards the lead-in record and record 101 are black again.
    enum class Panel : uint8_t {
        ScaleStart,     // upper colour of record 0
        ScaleEnd,       // lower colour of record 100
        SelectedUpper,  // upper colour of the selected boundary
        SelectedLower,  // lower colour of the selected boundary
        Biomorph,       // inside pixels
        Filaments,      // table entry 0
    };
    // 0x00BBGGRR; 0 for a selected-boundary panel with no selection.
    uint32_t panelColour(Panel panel) const;
    bool setPanelColour(Panel panel, uint32_t colour);
    // A table read from a file (open or drop) becomes the working table; the strip modes end.
    void loadTable(const ColorTable24& loaded);

    // The strip. scale = (P100 - P0) / (W x zoom) values per pixel, P0 and P100 the positions of records 0
    // and 100, W the strip width in pixels.
    void setStripWidth(int pixels);
    int stripWidth() const { return m_width; }
    int zoomFactor() const { return m_zoom; }
    int32_t offset() const { return m_offset; }
    double scale() const { return m_scale; }
    double inverseScale() const { return m_inverse; }
    // The value at the strip's right edge without the offset: round(W x scale) + P0.
    int64_t lastShownValue() const { return m_lastShown; }
    int64_t startLabelValue() const;  // P0 + offset, also the track bar's minimum
    int64_t endLabelValue() const;    // last shown value + offset, also the track bar's maximum
    // The value under strip pixel x: round(x x scale) + P0 + offset, 0 when outside 0..65535.
    uint32_t valueAt(int x) const;
    // The strip pixel of a value: round(value x inverse - P0 x inverse - offset x inverse).
    int64_t xOf(uint32_t value) const;
    // " Zoom: 8 X"; " Zoom: 1 X " after a reset.
    const std::string& zoomLabel() const { return m_zoomLabel; }

    bool zoomMode() const { return m_zoomMode; }
    bool moveMode() const { return m_moveMode; }
    bool trackBarEnabled() const { return !m_zoomMode && !m_moveMode; }
    void toggleZoomMode();
    void toggleMoveMode();
    // A right-button press on the strip, open, drop: both modes end.
    void endStripModes();
    // A click at strip pixel x in zoom mode: the factor doubles (halves with `out`) within 1..32, and the
    // value under x stays under it (back at factor 1 the offset is 0 instead). True when the factor changed.
    bool zoomClick(int x, bool out);
    // Dragging in move mode by dx pixels: the offset moves by round(-dx x scale).
    void dragBy(int dx);
    // "Reset Zoom to 1X": factor 1, offset 0, modes off.
    void resetZoom();

    // The first page: the mode and the calculation parameters, written to the document at once.
    TableModeKind candidateMode() const { return m_mode; }
    const CalcParams& candidateParams() const { return m_params; }
    void setTableMode(TableModeKind mode);
    // Above 359 the offset loses 360; the multipliers are kept within 1..500 and 1..65535, the functions
    // within 0..5.
    void setHueOffset(int32_t degrees);
    void setHueMult(int32_t mult);
    void setValueMult(int32_t mult);
    void setHueFunction(int function);
    void setValueFunction(int function);
    bool hueMultEnabled() const { return m_params.hueFunction != 0; }
    bool valueMultEnabled() const { return m_params.valueFunction != 0; }

    // The document's tables from the working table ("Color table") or the parameters ("Calculated"), with
    // the working table's biomorph and filaments colours: the preview.
    void rebuildTables();

    // "OK": the document takes the working table and the candidate mode and parameters; tables rebuilt.
    void accept();
    // Any other ending: the document's part as it was at opening, tables included.
    void cancel();

private:
    int64_t rawValueAt(int x) const;
    bool inUse(int record) const { return m_table.records[size_t(record)].position != FreePosition; }
    void sortBoundaries();
    void recomputeGeometry();
    void writeParams();
    void setZoomLabel(int factor, bool reset = false);

    Colour24State& m_document;
    const Colour24State m_initial;
    const uint16_t m_maxIter;
    const uint8_t m_algorithm;
    ColorTable24 m_table;
    TableModeKind m_mode;
    CalcParams m_params;
    int m_selected = NoSelection;

    int m_width = 1;
    int m_zoom = 1;
    int32_t m_offset = 0;
    double m_scale = 1, m_inverse = 1;
    int64_t m_lastShown = 0;
    std::string m_zoomLabel;
    bool m_zoomMode = false, m_moveMode = false;
};

}  // namespace colour::editors
