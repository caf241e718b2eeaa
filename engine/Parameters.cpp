#include "engine/Parameters.h"

#include <cstdlib>
#include <utility>

namespace engine {

void ParameterSet::CommitImageParams()
{
    ImageParams = Params;
}

void ParameterSet::RestoreImageParams()
{
    const FractalParams kept = Params;
    Params = ImageParams;
    Params.Width = kept.Width;
    Params.Height = kept.Height;
    Params.ParamCr = kept.ParamCr;
    Params.ParamCi = kept.ParamCi;
}

bool ParameterSet::ImageParamsChanged() const
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

void ParameterSet::UpdateCorners()
{
    LeftX = Params.CentreX - double(Params.Width) / 2 * Params.Step;
    TopY = Params.CentreY + double(Params.Height) / 2 * Params.Step;
}

void ParameterSet::CentreOnPixel(int col, int row)
{
    Params.CentreX = col * Params.Step + LeftX;
    Params.CentreY = TopY - row * Params.Step;
    UpdateCorners();
}

void ParameterSet::PertZFromPixel(int col, int row)
{
    Params.PertZr = col * Params.Step + LeftX;
    Params.PertZi = TopY - row * Params.Step;
}

void ParameterSet::ParamCFromPixel(int col, int row)
{
    Params.ParamCr = col * Params.Step + LeftX;
    Params.ParamCi = TopY - row * Params.Step;
}

bool ParameterSet::ZoomToRectangle(const PixelRect& rect)
{
    const PixelRect r = rect.ordered();
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
    return ok;
}

void ParameterSet::SetViewParams(double centreX, double centreY, double step, double leftX, double topY,
                                 double paramCr, double paramCi, double pertZr, double pertZi, int32_t delta,
                                 int32_t newtonP)
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

void ParameterSet::ApplyTypeDefaults(TypeId type)
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

void ParameterSet::ResetParameterSet()
{
    *this = ParameterSet{};
    ApplyTypeDefaults(TypeId::Mandelbrot);
    ImageParams = Params;
}

}  // namespace engine
