#include "engine/Fractal.h"

#include <algorithm>
#include <cstdlib>

namespace engine {

void TVxWork::resize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<uint16_t> values(size_t(width) * size_t(height), 0);
    const int keepW = std::min(width, m_width);
    const int keepH = std::min(height, m_height);
    for (int r = 0; r < keepH; ++r)
        std::copy_n(row(r), keepW, values.data() + size_t(r) * size_t(width));
    m_values.swap(values);
    m_width = width;
    m_height = height;
}

void TVxWork::fill(uint16_t value)
{
    std::fill(m_values.begin(), m_values.end(), value);
}

void TVxWork::release()
{
    std::vector<uint16_t>().swap(m_values);
    m_width = m_height = 0;
}

TFractal::TFractal()
{
    ResetParameters();
}

void TFractal::CommitImageParams()
{
    ImageParams = Params;
}

void TFractal::RestoreImageParams()
{
    const FractalParams kept = Params;
    Params = ImageParams;
    Params.Width = kept.Width;
    Params.Height = kept.Height;
    Params.ParamCr = kept.ParamCr;
    Params.ParamCi = kept.ParamCi;
}

bool TFractal::ImageParamsChanged() const
{
    const FractalParams& e = Params;
    const FractalParams& i = ImageParams;
    if (e.FractalType != i.FractalType || e.Formula != i.Formula || e.MaxIter != i.MaxIter
        || e.EscapeLevelSq != i.EscapeLevelSq || e.Algorithm != i.Algorithm || e.Bailout != i.Bailout
        || e.Width != i.Width || e.Height != i.Height || e.CentreX != i.CentreX || e.CentreY != i.CentreY
        || e.Step != i.Step || e.PertZr != i.PertZr || e.PertZi != i.PertZi)
        return true;
    const TypeTraits& t = traits(e.FractalType);
    if (t.paramC != ParamCRole::None && (e.ParamCr != i.ParamCr || e.ParamCi != i.ParamCi))
        return true;
    if (t.hasFunction && e.FunctionIndex != i.FunctionIndex)
        return true;
    if (t.hasNewtonP && e.NewtonP != i.NewtonP)
        return true;
    if (usesOrbitArrays(i.Algorithm) && e.Delta != i.Delta)
        return true;
    return false;
}

void TFractal::UpdateCorners()
{
    LeftX = Params.CentreX - double(Params.Width) / 2 * Params.Step;
    TopY = Params.CentreY + double(Params.Height) / 2 * Params.Step;
}

void TFractal::CentreOnPixel(int col, int row)
{
    Params.CentreX = col * Params.Step + LeftX;
    Params.CentreY = TopY - row * Params.Step;
    UpdateCorners();
}

void TFractal::PertZFromPixel(int col, int row)
{
    Params.PertZr = col * Params.Step + LeftX;
    Params.PertZi = TopY - row * Params.Step;
}

void TFractal::ParamCFromPixel(int col, int row)
{
    Params.ParamCr = col * Params.Step + LeftX;
    Params.ParamCi = TopY - row * Params.Step;
}

bool TFractal::ZoomToRect()
{
    ZoomRectangle r = ZoomRect;
    if (r.Left > r.Right)
        std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom)
        std::swap(r.Top, r.Bottom);
    const int w = std::abs(r.Right - r.Left);
    const int h = std::abs(r.Bottom - r.Top);

    LeftX = r.Left * Params.Step + LeftX;
    TopY = TopY - r.Top * Params.Step;
    Params.CentreX = (w / 2) * Params.Step + LeftX;
    Params.CentreY = TopY - (h / 2) * Params.Step;
    // A box of no width divides by zero in doubles: the step becomes 0 and is held at the minimum below.
    Params.Step = Params.Step / (double(Params.Width) / double(w));

    bool ok = true;
    const double minStep = MinStepAll;
    if (Params.Step < minStep) {
        Params.Step = minStep;
        ok = false;
    }
    UpdateCorners();
    Inputs.Step = Params.Step;
    Inputs.DistThreshold = Params.Delta / 500.0 * Params.Step;
    return ok;
}

void TFractal::SetFractalParams(TypeId type, uint8_t algorithm, bool periodicity, uint8_t bailout, uint16_t levelSq,
                                uint16_t maxIter, uint8_t function, uint8_t formula)
{
    Params.FractalType = type;
    Params.Algorithm = algorithm;
    Periodicity = periodicity;
    Params.Bailout = bailout;
    Params.EscapeLevelSq = levelSq;
    Params.MaxIter = maxIter;
    Params.FunctionIndex = function;
    Params.Formula = formula;
    Inputs.MaxIter = maxIter;
    Inputs.L = levelSq;
    Inputs.Periodicity = periodicity;
}

void TFractal::SetViewParams(double centreX, double centreY, double step, double leftX, double topY, double paramCr,
                             double paramCi, double pertZr, double pertZi, int32_t delta, int32_t newtonP)
{
    Params.CentreX = centreX;
    Params.CentreY = centreY;
    Params.Step = step;
    LeftX = leftX;
    TopY = topY;
    Params.ParamCr = paramCr;
    Params.ParamCi = paramCi;
    Params.PertZr = pertZr;
    Params.PertZi = pertZi;
    Params.Delta = delta;
    Params.NewtonP = newtonP;
}

void TFractal::ApplyTypeDefaults(TypeId type)
{
    const TypeDefaults& d = typeDefaults(type);
    Params.FractalType = type;
    if (Params.Algorithm > d.MaxAlgorithm)
        Params.Algorithm = AlgLevel;
    Params.MaxIter = d.MaxIter;
    Params.EscapeLevelSq = d.LevelSq[Params.Algorithm];
    Params.CentreX = d.CentreX;
    Params.CentreY = d.CentreY;
    Params.Step = d.Step;
    Params.ParamCr = d.ParamCr;
    Params.ParamCi = d.ParamCi;
    Params.Delta = d.Delta;
    Params.PertZr = d.PertZr;
    Params.PertZi = d.PertZi;
    UpdateCorners();
}

void TFractal::ResetParameters()
{
    Params = FractalParams{};
    Params.Width = 1;
    Params.Height = 1;
    ApplyTypeDefaults(TypeId::Mandelbrot);
    ImageParams = Params;
    BaseMaxIter = Params.MaxIter;
    RetoucheIter = Params.MaxIter;
    UniformIter = true;
    PixelFormat = PixelFormat8;
    Aspect = 1;
    ResumeLine = 0;
    Retouching = false;
    ZoomRect = {};

    Palette = colour::systemPalette();
    BoundaryType = 0;
    Multiplier = 10;
    BiomorphIndex = 0;
    View3D = false;
    TableMode = 0;
    ColorTable24 = colour::defaultColorTable24();
    BiomorphRGB = {0, 0, 0};
    HueFunction = ValueFunction = 0;
    HueOffset = 0;
    HueMult = 100;
    ValueMult = 100;

    Azimuth = 135;
    Elevation = 30;
    ZScale = 30;
    ZLimit = Params.MaxIter;
    FocalLength = 1000;
    VerticalShift = 0;
    Inverted3D = 1;
    Perspective = 1;

    Markers = {};
    Comment.clear();
    FileName.clear();
}

}  // namespace engine
