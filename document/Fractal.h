#pragma once

#include <string>

#include "colour/ColorLine.h"
#include "colour/Colour24.h"
#include "colour/Colour8.h"
#include "colour/Picture.h"
#include "colour/View3DParams.h"
#include "document/Markers.h"
#include "engine/ComputeState.h"

namespace document {

// The one fractal object: the document the window shows. It is made of parts, each owned by its folder
// with its defaults there: the parameters, the computation state and the values (engine::FractalCore:
// engine::ParameterSet, engine::ComputeState, engine::ValueBuffers), the 8-bit and 24-bit colour state
// and the picture (colour::Colour8State, colour::Colour24State, colour::PictureState), the 3D view's
// parameters (colour::View3DParams) and the markers (MarkerSet). Code that needs one part takes that
// part; an editor copies its part, compares it with == and writes it back.
class TFractal : public engine::FractalCore,
                 public colour::Colour8State,
                 public colour::Colour24State,
                 public colour::PictureState,
                 public colour::View3DParams,
                 public MarkerSet {
public:
    TFractal();
    TFractal(const TFractal&) = delete;
    TFractal& operator=(const TFractal&) = delete;

    bool Modified = false;
    std::string Comment;   // UTF-8
    std::string FileName;  // without directory and extension

    // The parts, by name.
    engine::FractalCore& core() { return *this; }
    const engine::FractalCore& core() const { return *this; }
    colour::Colour8State& colour8() { return *this; }
    const colour::Colour8State& colour8() const { return *this; }
    colour::Colour24State& colour24() { return *this; }
    const colour::Colour24State& colour24() const { return *this; }
    colour::View3DParams& view3D() { return *this; }
    const colour::View3DParams& view3D() const { return *this; }
    MarkerSet& markers() { return *this; }
    const MarkerSet& markers() const { return *this; }

    // Chooses the row procedure (RowProcedure) from the pixel format and the boundary type or table mode;
    // codes only a damaged file can hold keep the previous one.
    void SelectColorLine();
    // The colouring of the picture: RowProcedure with the colour state and the edited MaxIter.
    colour::RowColouring rowColouring() const;
    // Colours row `row` of the bitmap from Data (or Data3D while View3D is set).
    void ColorLine(int row);
    void ColourRows(int first, int last);
    // Colours every row, row 0 first.
    void ColourAllRows();
    // Rebuilds the 24-bit tables for the edited MaxIter and algorithm.
    void RebuildTables();
    // Stores the boundary type, re-selects the row procedure, then stores the multiplier.
    void SetBoundary(colour::BoundaryKind type, int32_t multiplier);
    // Stores the table mode and re-selects the row procedure; the tables are not rebuilt.
    void SetTableMode(colour::TableModeKind mode);

    // The parameters and colour state of a new document (type 0, 1 x 1, 8-bit), each part at its
    // defaults. Buffers are not touched; periodicity checking is kept.
    void ResetParameters();
};

}  // namespace document
