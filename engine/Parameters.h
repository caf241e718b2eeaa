#pragma once

#include <cstdint>

#include "engine/Catalogue.h"
#include "engine/Values.h"

namespace engine {

// The parameters that exist twice: as edited (what the next computation uses) and as the image was computed.
struct FractalParams {
    TypeId FractalType = TypeId::Mandelbrot;
    uint8_t FunctionIndex = 0;  // fn of the fn(Z)C types
    uint8_t Algorithm = AlgLevel;
    uint8_t Formula = FormulaZ2;  // Mandelbrot only
    uint16_t MaxIter = 250;
    uint16_t EscapeLevelSq = 4;  // the escape level squared
    uint8_t Bailout = BailMod;
    int32_t NewtonP = 3;
    int32_t Width = 1, Height = 1;
    double CentreX = -0.5, CentreY = 0;
    double ParamCr = 0, ParamCi = 0;
    double Step = 0.01;  // plane distance between adjacent pixels
    double PertZr = 0, PertZi = 0;
    int32_t Delta = 10;  // distance threshold in 1/500 of a pixel step
    friend bool operator==(const FractalParams&, const FractalParams&) = default;
};

// The fractal and view parameters of a document: the edited values, the committed copy the image was
// computed with, and what derives from them (the plane corners, the aspect). Defaults: a Mandelbrot
// image of 1 x 1 pixel, 8-bit (ResetParameters gives the type's own defaults).
struct ParameterSet {
    FractalParams Params;       // edited values
    FractalParams ImageParams;  // values the image in memory was computed with
    bool Periodicity = true;
    long double Aspect = 1;      // Width / Height, set when the workspace is allocated
    uint8_t PixelFormat = PixelFormat8;
    double LeftX = 0, TopY = 0;  // plane coordinates of column 0 and row 0

    friend bool operator==(const ParameterSet&, const ParameterSet&) = default;

    // Copies every edited parameter to its image copy (start of a computation).
    void CommitImageParams();
    // Copies the image copies back, except Width, Height, ParamCr and ParamCi.
    void RestoreImageParams();
    // True when the next computation would give a different image.
    bool ImageParamsChanged() const;

    // Recomputes LeftX and TopY from the centre, step and size.
    void UpdateCorners();
    void CentreOnPixel(int col, int row);
    void PertZFromPixel(int col, int row);
    void ParamCFromPixel(int col, int row);
    // Zooms so that the rectangle's width fills the image. False when the step hit the minimum.
    bool ZoomToRectangle(const PixelRect& rect);

    double pixelX(int col) const { return LeftX + col * Params.Step; }
    double pixelY(int row) const { return TopY - row * Params.Step; }
    double zoom() const { return zoomFromStep(Params.Step); }

    // Plain store used by the variables dialog when it closes with OK.
    void SetViewParams(double centreX, double centreY, double step, double leftX, double topY, double paramCr,
                       double paramCi, double pertZr, double pertZi, int32_t delta, int32_t newtonP);

    // Loads the defaults of a type into the edited parameters: centre, step, iterations, level, ParamC, PertZ, Delta.
    void ApplyTypeDefaults(TypeId type);
    // The parameters of a new document: the defaults above with type 0's, committed.
    void ResetParameterSet();
};

}  // namespace engine
