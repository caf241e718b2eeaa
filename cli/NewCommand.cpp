#include <cstdio>
#include <optional>

#include "cli/Args.h"
#include "cli/ColourOptions.h"
#include "cli/Commands.h"
#include "cli/Documents.h"
#include "engine/Catalogue.h"
#include "engine/NumberFormat.h"
#include "storage/Workspace.h"

namespace cli {
namespace {

constexpr engine::FieldLimitTable Limits = engine::FieldLimits;
constexpr size_t MaxComment = 150;
constexpr int DefaultWidth = 640, DefaultHeight = 480;

struct NewOptions {
    std::optional<long long> type, formula, function, algorithm, iter, escape, bailout, newtonP, delta;
    std::optional<bool> periodicity;
    std::optional<std::pair<long long, long long>> size;
    std::optional<long long> depth;
    std::optional<std::pair<double, double>> centre, param, pert;
    std::optional<double> step, zoom;
    std::optional<std::string> comment;
    std::string output;
    CommonOptions common;
    ColourOptions colours;
};

NewOptions parse(const std::vector<std::string>& words)
{
    NewOptions o;
    Args a(words);
    while (!a.done()) {
        const std::string opt = a.take();
        if (opt == "--type") o.type = a.integer(opt, 0, engine::TypeCount - 1);
        else if (opt == "--formula") o.formula = a.integer(opt, 0, engine::FormulaCount - 1);
        else if (opt == "--function") o.function = a.integer(opt, 0, engine::FunctionCount - 1);
        else if (opt == "--algorithm") o.algorithm = a.integer(opt, 0, engine::AlgorithmCount - 1);
        else if (opt == "--iter") o.iter = a.integer(opt, Limits.Iterations);
        else if (opt == "--escape") o.escape = a.integer(opt, Limits.EscapeLevel);
        else if (opt == "--bailout") o.bailout = a.integer(opt, 0, engine::BailoutCount - 1);
        else if (opt == "--newton-p") o.newtonP = a.integer(opt, Limits.NewtonP);
        else if (opt == "--periodicity") o.periodicity = a.onOff(opt);
        else if (opt == "--size") o.size = a.sizePair(opt, 'x', Limits.ImageSide);
        else if (opt == "--depth") {
            o.depth = a.integer(opt, 8, 24);
            if (*o.depth != 8 && *o.depth != 24)
                throw UsageError("--depth: expects 8 or 24");
        }
        else if (opt == "--centre" || opt == "--center") o.centre = a.realPair(opt);
        else if (opt == "--step") o.step = a.real(opt, 0, 1e300);
        else if (opt == "--zoom") o.zoom = a.real(opt, 0, 1e300);
        else if (opt == "--param") o.param = a.realPair(opt);
        else if (opt == "--pert") o.pert = a.realPair(opt);
        else if (opt == "--delta") o.delta = a.integer(opt, Limits.Delta);
        else if (opt == "--comment") o.comment = a.value(opt);
        else if (opt == "-o") o.output = a.value(opt);
        else if (!parseCommonOption(opt, a, o.common) && !parseColourOption(opt, a, o.colours))
            throw UsageError(opt + ": unknown option of \"new\" (see vorex-cli --help)");
    }
    if (o.output.empty())
        throw UsageError("-o: the output document FILE.mbt is required");
    if (o.step && o.zoom)
        throw UsageError("--step, --zoom: give one of them, not both");
    return o;
}

size_t utf8Length(const std::string& text)
{
    size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

void checkRange(const char* name, double v, double min, double max)
{
    if (v < min || v > max)
        throw UsageError(std::string(name) + ": expects a value from " + engine::formatGeneral(min, 16) + " to "
                         + engine::formatGeneral(max, 16) + " for this fractal type, not "
                         + engine::formatGeneral(v, 16));
}

// Applies the options as the variables dialog would for a new fractal with its defaults box ticked.
void apply(const NewOptions& o, document::TFractal& f)
{
    engine::FractalParams& p = f.Params;
    const int index = int(o.type.value_or(0));
    if (!engine::isValidType(index))
        throw UsageError("--type: " + std::to_string(index) + " is a separator of the type list, not a fractal type");
    const engine::TypeId type = engine::TypeId(index);
    const engine::TypeDefaults& d = engine::typeDefaults(type);
    if (o.algorithm) {
        if (*o.algorithm > d.MaxAlgorithm)
            throw UsageError("--algorithm: this fractal type offers algorithms 0 to " + std::to_string(d.MaxAlgorithm));
        p.Algorithm = uint8_t(*o.algorithm);
    }
    f.ApplyTypeDefaults(type);
    if (o.bailout) {
        if (*o.bailout > d.MaxBailout)
            throw UsageError("--bailout: this fractal type offers bail-out tests 0 to " + std::to_string(d.MaxBailout));
        p.Bailout = uint8_t(*o.bailout);
    }
    if (o.formula) p.Formula = uint8_t(*o.formula);
    if (o.function) p.FunctionIndex = uint8_t(*o.function);
    if (o.newtonP) p.NewtonP = int32_t(*o.newtonP);
    if (o.iter) p.MaxIter = uint16_t(*o.iter);
    if (o.escape) p.EscapeLevelSq = uint16_t(*o.escape * *o.escape);
    if (o.periodicity) f.Periodicity = *o.periodicity;
    if (o.size) {
        p.Width = int32_t(o.size->first);
        p.Height = int32_t(o.size->second);
    } else {
        p.Width = DefaultWidth;
        p.Height = DefaultHeight;
    }
    f.PixelFormat = o.depth.value_or(8) == 24 ? engine::PixelFormat24 : engine::PixelFormat8;
    if (o.centre) {
        checkRange("--centre (X)", o.centre->first, d.Xmin, d.Xmax);
        checkRange("--centre (Y)", o.centre->second, d.Ymin, d.Ymax);
        p.CentreX = o.centre->first;
        p.CentreY = o.centre->second;
    }
    if (o.zoom) {
        if (*o.zoom <= 0)
            throw UsageError("--zoom: expects a number above 0");
        p.Step = engine::stepFromZoom(*o.zoom);
        checkRange("--zoom (as a step)", p.Step, d.MinStep, d.MaxStep);
    }
    if (o.step) {
        checkRange("--step", *o.step, d.MinStep, d.MaxStep);
        p.Step = *o.step;
    }
    if (o.param) {
        checkRange("--param (real part)", o.param->first, d.Crmin, d.Crmax);
        checkRange("--param (imaginary part)", o.param->second, d.Cimin, d.Cimax);
        p.ParamCr = o.param->first;
        p.ParamCi = o.param->second;
    }
    if (o.pert) {
        checkRange("--pert (real part)", o.pert->first, d.Pmin, d.Pmax);
        checkRange("--pert (imaginary part)", o.pert->second, d.Pmin, d.Pmax);
        p.PertZr = o.pert->first;
        p.PertZi = o.pert->second;
    }
    if (o.delta) p.Delta = int32_t(*o.delta);
    if (o.comment) {
        if (utf8Length(*o.comment) > MaxComment)
            throw UsageError("--comment: at most 150 characters");
        f.Comment = *o.comment;
    }
    f.UpdateCorners();
}

}  // namespace

int runNew(const std::vector<std::string>& args)
{
    NewOptions o = parse(args);
    // The colour files are read before anything is computed or written.
    if (!loadColourFiles(o.colours))
        return ExitFailure;
    document::TFractal f;
    storage::ResetToDefaults(f);
    apply(o, f);

    const storage::AllocResult alloc =
        storage::AllocImage(f, f.Params.Width, f.Params.Height, f.PixelFormat, /*clear=*/true);
    if (!alloc.ok) {
        std::fprintf(stderr, "%s\n", alloc.message.c_str());
        return ExitFailure;
    }
    // After the allocation, which gives a new picture the default palette and table.
    applyColourOptions(o.colours, f);
    ComputeJob job;
    job.fromStart = true;
    return computeAndSave(f, job, o.output, o.common);
}

}  // namespace cli
