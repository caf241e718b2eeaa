#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Documents.h"

namespace cli {
namespace {

constexpr engine::IntRange TouchUpIter = engine::FieldLimits.TouchUpIterations;

struct ComputeOptions {
    std::string input, output;
    bool fromStart = false;
    std::optional<std::vector<long long>> touchUp;
    std::optional<long long> touchUpIter;
    CommonOptions common;
};

ComputeOptions parse(const std::vector<std::string>& words)
{
    ComputeOptions o;
    Args a(words);
    while (!a.done()) {
        const std::string opt = a.take();
        if (opt == "-o") o.output = a.value(opt);
        else if (opt == "--from-start") o.fromStart = true;
        else if (opt == "--touch-up") o.touchUp = a.integerList(opt, 4);
        else if (opt == "--touch-up-iter") o.touchUpIter = a.integer(opt, TouchUpIter);
        else if (parseCommonOption(opt, a, o.common)) continue;
        else if (!opt.empty() && opt[0] == '-') throw UsageError(opt + ": unknown option of \"compute\" (see vorex-cli --help)");
        else if (o.input.empty()) o.input = opt;
        else throw UsageError(opt + ": \"compute\" takes one document");
    }
    if (o.input.empty())
        throw UsageError("compute: the document FILE.mbt is missing");
    if (o.touchUpIter && !o.touchUp)
        throw UsageError("--touch-up-iter: goes with --touch-up L,T,R,B");
    if (o.touchUp && o.fromStart)
        throw UsageError("--from-start: does not go with --touch-up");
    return o;
}

}  // namespace

int runCompute(const std::vector<std::string>& args)
{
    const ComputeOptions o = parse(args);
    document::TFractal f;
    if (!loadOrReport(f, o.input))
        return ExitFailure;

    ComputeJob job;
    job.fromStart = o.fromStart;
    // Without -o the document is rewritten in place, so an interrupted run must not replace it.
    job.saveWhenInterrupted = !o.output.empty();
    if (o.touchUp) {
        const std::vector<long long>& r = *o.touchUp;
        const int w = f.Params.Width, h = f.Params.Height;
        for (int i = 0; i < 4; ++i) {
            const long long limit = (i % 2 == 0 ? w : h) - 1;
            if (r[size_t(i)] < 0 || r[size_t(i)] > limit)
                throw UsageError("--touch-up: expects L,T,R,B inside the " + std::to_string(w) + "x" + std::to_string(h)
                                 + " image (columns 0 to " + std::to_string(w - 1) + ", rows 0 to "
                                 + std::to_string(h - 1) + ")");
        }
        job.touchUp = engine::PixelRect{int32_t(r[0]), int32_t(r[1]), int32_t(r[2]), int32_t(r[3])};
        const long long iter = o.touchUpIter.value_or(f.RetoucheIter);
        if (iter < f.Params.MaxIter)
            throw UsageError("--touch-up-iter: expects a number from " + std::to_string(f.Params.MaxIter)
                             + " (the document's iterations) to " + std::to_string(TouchUpIter.max));
        job.touchUpIter = uint16_t(iter);
    }
    return computeAndSave(f, job, o.output.empty() ? o.input : o.output, o.common);
}

}  // namespace cli
