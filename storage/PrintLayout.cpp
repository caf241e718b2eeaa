#include "storage/PrintLayout.h"

#include <cmath>

#include "document/Fractal.h"
#include "engine/Catalogue.h"
#include "engine/NumberFormat.h"
#include "storage/Preferences.h"
#include "ui/text/PrintExportTexts.h"

namespace storage {

namespace {

using text::PrintText;

constexpr double MmPerInch = 25.4;
constexpr int DefaultResolutionIndex = 2;  // 200 dpi

std::string label(PrintText id, int language)
{
    return std::string(text::lookup(id, language));
}

// The types whose starting perturbation the caption shows.
bool captionShowsPerturbation(engine::TypeId type)
{
    return type == engine::TypeId::Mandelbrot || type == engine::TypeId::MandelbrotFn
        || type == engine::TypeId::MandelbrotInverse;
}

bool hasPerturbation(const engine::FractalParams& p)
{
    return p.PertZr != 0.0 || p.PertZi != 0.0;
}

// "NAME (W x H x DEPTH) TYPE / ALGORITHM"
std::string identity(const document::TFractal& f, int language)
{
    const engine::FractalParams& p = f.ImageParams;
    return f.FileName + " (" + std::to_string(p.Width) + " x " + std::to_string(p.Height) + " x "
         + depthName(f.PixelFormat) + ") " + std::string(engine::typeName(p.FractalType)) + " / "
         + std::string(engine::algorithmName(p.Algorithm, language));
}

std::string centreLine(const engine::FractalParams& p)
{
    return "CenX: " + printedNumber(p.CentreX) + "  CenY: " + printedNumber(p.CentreY);
}

std::string stepLine(const engine::FractalParams& p, int language)
{
    return label(PrintText::Step, language) + printedNumber(p.Step) + "  " + label(PrintText::Iteration, language)
         + std::to_string(p.MaxIter);
}

std::string perturbationText(const engine::FractalParams& p)
{
    return "PertZ: " + printedNumber(p.PertZr) + "  PertZi: " + printedNumber(p.PertZi);
}

std::string juliaLine(const engine::FractalParams& p)
{
    return "JulC: " + printedNumber(p.ParamCr) + "  JulCi: " + printedNumber(p.ParamCi);
}

std::string viewLine(const document::TFractal& f)
{
    return "Azim: " + std::to_string(f.view3D().Azimuth) + "  Elev: " + std::to_string(f.view3D().Elevation);
}

}  // namespace

ImagePlacement placeImage(int width, int height, int dpi, const PrinterMetrics& printer, bool centre)
{
    ImagePlacement r;
    if (dpi < 1 || width < 1 || height < 1)
        return r;
    r.widthMm = double(width) / dpi * MmPerInch;
    r.heightMm = double(height) / dpi * MmPerInch;
    r.fits = r.widthMm <= printer.printableWidthMm && r.heightMm <= printer.printableHeightMm;
    if (!r.fits)
        return r;
    r.width = int(std::lround(width * (double(printer.dpiX) / dpi)));
    r.height = int(std::lround(height * (double(printer.dpiY) / dpi)));
    if (centre) {
        r.left = std::max(0, (printer.printableWidthPx - r.width) / 2);
        r.top = std::max(0, (printer.printableHeightPx - r.height) / 2);
    }
    return r;
}

int chosenPrintResolution(int index, bool custom, int customDpi)
{
    if (custom && customDpi >= 1)
        return customDpi;
    if (index < 0 || index >= PrintResolutionCount)
        index = DefaultResolutionIndex;
    return PrintResolutions[index];
}

std::string printedNumber(double value)
{
    return engine::formatGeneral(value, 16);
}

std::string depthName(uint8_t pixelFormat)
{
    return pixelFormat == engine::PixelFormat24 ? "24 bits" : "8 bits";
}

std::vector<std::string> captionLines(const document::TFractal& f, int language)
{
    const engine::FractalParams& p = f.ImageParams;
    const engine::TypeTraits& t = engine::traits(p.FractalType);
    std::vector<std::string> lines;
    lines.push_back(identity(f, language));
    lines.push_back(centreLine(p));
    lines.push_back(stepLine(p, language));
    if (captionShowsPerturbation(p.FractalType) && p.Algorithm == engine::AlgLevel && hasPerturbation(p))
        lines.push_back(perturbationText(p));
    if (t.paramC == engine::ParamCRole::JuliaC)
        lines.push_back(juliaLine(p));
    if (t.hasNewtonP)
        lines.push_back("p: " + std::to_string(p.NewtonP) + "  " + perturbationText(p));
    if (f.View3D)
        lines.push_back(viewLine(f));
    lines.push_back(label(PrintText::CalculatedWithVorex, language) + std::string(ProductVersionText) + " "
                    + std::string(ProductWebAddress));
    return lines;
}

std::vector<SheetLine> parameterSheetLines(const document::TFractal& f, int language, bool withMarkers)
{
    const engine::FractalParams& p = f.ImageParams;
    const engine::TypeTraits& t = engine::traits(p.FractalType);
    std::vector<SheetLine> lines;
    auto add = [&lines](std::string s) { lines.push_back(SheetLine{std::move(s)}); };
    add(label(PrintText::FractalInfos, language));
    add(std::string());
    add(label(PrintText::Fractal, language) + " " + identity(f, language));
    add(std::string());
    // The plane coordinates of the corner pixels.
    const double right = f.LeftX + double(p.Width - 1) * p.Step;
    const double bottom = f.TopY - double(p.Height - 1) * p.Step;
    add("X1: " + printedNumber(f.LeftX) + "  Y1: " + printedNumber(f.TopY));
    add("X2: " + printedNumber(right) + "  Y2: " + printedNumber(bottom));
    add(std::string());
    add(centreLine(p));
    add(stepLine(p, language));
    if (t.escapeLevel != engine::EscapeLevelUse::Never)
        add(label(PrintText::Escape, language)
            + std::to_string(std::lround(std::sqrt(double(p.EscapeLevelSq)))));
    if (t.usesPertZ && hasPerturbation(p))
        add(perturbationText(p));
    if (t.paramC == engine::ParamCRole::JuliaC)
        add(juliaLine(p));
    add("Delta: " + std::to_string(p.Delta) + "\tBailOut: " + std::string(engine::bailoutTextName(p.Bailout)));
    if (t.hasNewtonP)
        add("p Newton: " + std::to_string(p.NewtonP));
    if (f.View3D)
        add(viewLine(f));
    if (withMarkers) {
        bool first = true;
        for (int i = 0; i < document::MarkerSlots; ++i) {
            const document::Marker& m = f.markers().Markers[size_t(i)];
            if (!m.InUse)
                continue;
            if (first)
                add(std::string());
            first = false;
            SheetLine line;
            line.marker = i + 1;
            line.shape = document::drawnShape(m);
            line.text = std::to_string(i + 1) + ": X: " + printedNumber(f.LeftX + m.X * p.Step)
                      + "  Y: " + printedNumber(f.TopY - m.Y * p.Step) + "  " + m.Label;
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

}  // namespace storage
