#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "colour/ColorTable24.h"
#include "colour/Palette.h"
#include "engine/Catalogue.h"
#include "engine/Kernel.h"

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

// Height rows of Width 16-bit values, row 0 at the top.
class TVxWork {
public:
    int width() const { return m_width; }
    int height() const { return m_height; }
    uint16_t* row(int r) { return m_values.data() + size_t(r) * size_t(m_width); }
    const uint16_t* row(int r) const { return m_values.data() + size_t(r) * size_t(m_width); }
    uint16_t& at(int r, int c) { return row(r)[c]; }
    uint16_t at(int r, int c) const { return row(r)[c]; }
    // Resizes, keeping the values whose row and column exist in both sizes; new values are 0.
    // Throws std::bad_alloc when memory runs out, leaving the array as it was.
    void resize(int width, int height);
    void fill(uint16_t value);
    void release();

private:
    int m_width = 0, m_height = 0;
    std::vector<uint16_t> m_values;
};

// The display bitmap: 1 byte per pixel (palette index) or 3 bytes per pixel (blue, green, red), rows unpadded.
struct ImageBitmap {
    int Width = 0, Height = 0;
    uint8_t PixelFormat = PixelFormat8;
    std::vector<uint8_t> Pixels;
    int bytesPerPixel() const { return PixelFormat == PixelFormat24 ? 3 : 1; }
    size_t stride() const { return size_t(Width) * size_t(bytesPerPixel()); }
    uint8_t* row(int r) { return Pixels.data() + size_t(r) * stride(); }
    const uint8_t* row(int r) const { return Pixels.data() + size_t(r) * stride(); }
};

inline constexpr int MarkerSlots = 15;
struct Marker {
    bool InUse = false;
    uint8_t Shape = 0;  // 0 Simple, 1 Circle, 2 Square, 3 Diamond, 4 Triangle
    int32_t X = 0, Y = 0;
    std::string Label;  // UTF-8
    friend bool operator==(const Marker&, const Marker&) = default;
};

struct ZoomRectangle {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TFractal;
using ColorLineFn = void (*)(TFractal&, int row);

// The one fractal object: parameters, computation state, workspace and colour state.
class TFractal {
public:
    TFractal();
    TFractal(const TFractal&) = delete;
    TFractal& operator=(const TFractal&) = delete;

    // --- parameters ---
    FractalParams Params;       // edited values
    FractalParams ImageParams;  // values the image in memory was computed with
    uint16_t BaseMaxIter = 250;  // MaxIter of the last full computation
    bool UniformIter = true;     // false after a touch-up
    bool Periodicity = true;
    long double Aspect = 1;      // Width / Height, set when the workspace is allocated
    uint8_t PixelFormat = PixelFormat8;
    double LeftX = 0, TopY = 0;  // plane coordinates of column 0 and row 0

    // --- computation state ---
    KernelFn Kernel = nullptr;
    KernelInputs Inputs;
    KernelState State;
    std::atomic<bool> Running{false};  // cleared to request a stop
    std::atomic<bool> Idle{true};
    bool Retouching = false;
    int32_t ResumeLine = 0;
    uint16_t RetoucheIter = 250;
    ZoomRectangle ZoomRect;
    bool Modified = false;

    // --- workspace ---
    TVxWork Data;
    ImageBitmap Bitmap;
    std::vector<double> XOrbit, YOrbit;  // MaxIter + 1 each for Distance, Level+Distance, Color Distance

    // --- 8-bit colour state ---
    colour::Palette Palette = colour::systemPalette();
    uint8_t BoundaryType = 0;  // 0 Linear, 1 Logarithmic, 2 Square root
    int32_t Multiplier = 10;
    int32_t BiomorphIndex = 0;
    ColorLineFn ColorLine = nullptr;
    bool View3D = false;
    TVxWork Data3D;

    // --- 24-bit colour state ---
    uint8_t TableMode = 0;  // 0 colour table, 1 calculated
    colour::ColorTable24 ColorTable24 = colour::defaultColorTable24();
    std::vector<uint8_t> TableR, TableG, TableB;  // MaxIter + 1 each for 24-bit images
    std::array<uint8_t, 3> BiomorphRGB{0, 0, 0};
    uint8_t HueFunction = 0, ValueFunction = 0;
    int32_t HueOffset = 0, HueMult = 100, ValueMult = 100;
    uint32_t OutOfRangeColour = 0x666666;  // preference "OutR", 0x00BBGGRR

    // --- 3D view parameters ---
    int32_t Azimuth = 135, Elevation = 30, ZScale = 30, ZLimit = 250, FocalLength = 1000, VerticalShift = 0;
    uint8_t Inverted3D = 1, Perspective = 1;

    // --- document ---
    std::array<Marker, MarkerSlots> Markers{};  // slots 1..15 at indices 0..14
    std::string Comment;                        // UTF-8
    std::string FileName;                       // without directory and extension

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
    // Zooms so that ZoomRect's width fills the image. False when the step hit the type's minimum.
    bool ZoomToRect();

    double pixelX(int col) const { return LeftX + col * Params.Step; }
    double pixelY(int row) const { return TopY - row * Params.Step; }
    double zoom() const { return zoomFromStep(Params.Step); }

    // Plain stores used by the variables dialog when it closes with OK. SetFractalParams also refreshes
    // the kernel inputs MaxIter, L and Periodicity.
    void SetFractalParams(TypeId type, uint8_t algorithm, bool periodicity, uint8_t bailout, uint16_t levelSq,
                          uint16_t maxIter, uint8_t function, uint8_t formula);
    void SetViewParams(double centreX, double centreY, double step, double leftX, double topY, double paramCr,
                       double paramCi, double pertZr, double pertZi, int32_t delta, int32_t newtonP);

    // Loads the defaults of a type into the edited parameters: centre, step, iterations, level, ParamC, PertZ, Delta.
    void ApplyTypeDefaults(TypeId type);
    // The parameters and colour state of a new document (type 0, 1 x 1, 8-bit). Buffers are not touched.
    void ResetParameters();
};

}  // namespace engine
