#include "document/Fractal.h"

#include "colour/ColourTables.h"

namespace document {

TFractal::TFractal()
{
    ResetParameters();
}

void TFractal::SelectColorLine()
{
    RowProcedure = colour::SelectColorLine(PixelFormat, colour8(), colour24(), RowProcedure);
}

colour::RowColouring TFractal::rowColouring() const
{
    return colour::RowColouring(RowProcedure, {&colour8(), &colour24(), Params.MaxIter});
}

void TFractal::ColorLine(int row)
{
    ColourRows(row, row);
}

void TFractal::ColourRows(int first, int last)
{
    colour::ColourRows(rowColouring(), View3D ? Data3D : Data, Bitmap, first, last);
}

void TFractal::ColourAllRows()
{
    ColourRows(0, Bitmap.Height - 1);
}

void TFractal::RebuildTables()
{
    colour::RebuildTables(colour24(), Params.MaxIter, Params.Algorithm);
}

void TFractal::SetBoundary(colour::BoundaryKind type, int32_t multiplier)
{
    BoundaryType = type;
    SelectColorLine();
    Multiplier = multiplier;
}

void TFractal::SetTableMode(colour::TableModeKind mode)
{
    TableMode = mode;
    SelectColorLine();
}

void TFractal::ResetParameters()
{
    const bool periodicity = Periodicity;
    ResetParameterSet();
    Periodicity = periodicity;

    ComputeState& cs = *this;
    cs.BaseMaxIter = Params.MaxIter;
    cs.RetoucheIter = Params.MaxIter;
    cs.UniformIter = true;
    cs.ResumeLine = 0;
    cs.Retouching = false;
    cs.ZoomRect = {};

    colour8() = colour::Colour8State{};
    // The tables follow the image size and are left alone; everything else of the 24-bit state is reset.
    colour::Colour24State& c24 = colour24();
    c24.TableMode = colour::TableModeKind::FromBoundaries;
    c24.ColorTable24 = colour::defaultColorTable24();
    c24.BiomorphRGB = {0, 0, 0};
    c24.setCalcParams({});
    View3D = false;
    view3D() = colour::View3DParams{};
    view3D().ZLimit = Params.MaxIter;
    markers() = MarkerSet{};
    Comment.clear();
    FileName.clear();
}

}  // namespace document
