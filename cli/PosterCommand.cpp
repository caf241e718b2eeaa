#include "cli/PosterCommand.h"

#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "cli/Args.h"
#include "cli/Documents.h"
#include "cli/Session.h"
#include "engine/Catalogue.h"
#include "storage/AtomicFile.h"
#include "storage/Document.h"
#include "storage/ExportImage.h"
#include "storage/Poster.h"
#include "storage/Workspace.h"

namespace cli {

const char* const PosterUsage =
    "  poster plan FILE.mbt --size WxH -o DIR [--tile WxH] [--depth 8|24] [--step S] [--dpi N]\n"
    "                                 a grid of tile documents (default 4096x4096) showing the document's\n"
    "                                 view at W x H pixels (up to 1000000 a side), uncomputed\n"
    "  poster compute DIR [--periodicity on|off]\n"
    "                                 computes the tiles not yet complete, one after another; Ctrl-C\n"
    "                                 saves the tile in progress, to resume later\n"
    "  poster status DIR [--paths]    lists the tiles not yet complete (exit 1 when any); --paths: their\n"
    "                                 paths alone, one a line (for GNU parallel)\n"
    "  poster assemble DIR -o OUT.tif|OUT.png [--dpi N] [--bigtiff]\n"
    "                                 streams the complete tiles into one picture (a BigTIFF past 4 GB,\n"
    "                                 or always with --bigtiff)\n";

namespace {

namespace fs = std::filesystem;

constexpr int ExitInterrupted = 130;

struct PosterOptions {
    std::string subcommand, input, output;
    std::optional<std::pair<long long, long long>> size, tile;
    std::optional<long long> depth, dpi;
    std::optional<double> step;
    std::optional<bool> periodicity;
    bool pathsOnly = false;
    bool bigTiff = false;
    CommonOptions common;
};

PosterOptions parse(const std::vector<std::string>& words)
{
    if (words.empty())
        throw UsageError("poster: expects plan, compute, status or assemble");
    PosterOptions o;
    o.subcommand = words[0];
    if (o.subcommand != "plan" && o.subcommand != "compute" && o.subcommand != "status" && o.subcommand != "assemble")
        throw UsageError("poster " + o.subcommand + ": unknown (plan, compute, status, assemble)");
    Args a(std::vector<std::string>(words.begin() + 1, words.end()));
    const bool plan = o.subcommand == "plan";
    while (!a.done()) {
        const std::string opt = a.take();
        if (opt == "-o" && (plan || o.subcommand == "assemble")) o.output = a.value(opt);
        else if (opt == "--size" && plan) o.size = a.sizePair(opt, 'x', 1, storage::PosterMaxSide);
        else if (opt == "--tile" && plan) o.tile = a.sizePair(opt, 'x', 1, storage::MaxImageSide);
        else if (opt == "--depth" && plan) {
            o.depth = a.integer(opt, 8, 24);
            if (*o.depth != 8 && *o.depth != 24)
                throw UsageError("--depth: expects 8 or 24");
        }
        else if (opt == "--step" && plan) {
            o.step = a.real(opt, 0, 1e300);
            if (!(*o.step > 0))
                throw UsageError("--step: expects a number above 0");
        }
        else if (opt == "--dpi" && (plan || o.subcommand == "assemble")) o.dpi = a.integer(opt, 1, 100000);
        else if (opt == "--periodicity" && o.subcommand == "compute") o.periodicity = a.onOff(opt);
        else if (opt == "--paths" && o.subcommand == "status") o.pathsOnly = true;
        else if (opt == "--bigtiff" && o.subcommand == "assemble") o.bigTiff = true;
        else if (parseCommonOption(opt, a, o.common)) continue;
        else if (!opt.empty() && opt[0] == '-')
            throw UsageError(opt + ": unknown option of \"poster " + o.subcommand + "\" (see vorex-cli --help)");
        else if (o.input.empty()) o.input = opt;
        else throw UsageError(opt + ": \"poster " + o.subcommand + "\" takes one " + (plan ? "document" : "directory"));
    }
    if (o.input.empty())
        throw UsageError("poster " + o.subcommand + ": the " + (plan ? "document FILE.mbt" : "plan directory DIR")
                         + " is missing");
    if (plan && !o.size)
        throw UsageError("poster plan: --size WxH is required");
    if (plan && o.output.empty())
        throw UsageError("poster plan: -o DIR (a new or empty directory) is required");
    if (o.subcommand == "assemble" && o.output.empty())
        throw UsageError("poster assemble: -o OUT.tif|OUT.png is required");
    if (o.subcommand == "assemble" && !storage::posterFormatFromPath(o.output))
        throw UsageError("-o: the extension names the format: .tif or .png, not \"" + o.output + "\"");
    return o;
}

bool writeTextFile(const std::string& path, const std::string& text)
{
    storage::AtomicFile file(path);
    return file.ok() && file.write(text.data(), text.size()) && file.commit();
}

int runPlan(const PosterOptions& o)
{
    std::error_code ec;
    const fs::path dir(o.output);
    if (fs::exists(dir, ec)) {
        if (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec)) {
            std::fprintf(stderr, "%s: exists and is not an empty directory; a plan needs a new or empty one\n",
                         o.output.c_str());
            return ExitFailure;
        }
    }
    auto f = std::make_unique<document::TFractal>();
    if (!loadOrReport(*f, o.input, storage::ImageParts::ValuesOnly))
        return ExitFailure;

    storage::PosterPlan plan;
    plan.id = storage::newPosterId();
    plan.width = int(o.size->first);
    plan.height = int(o.size->second);
    plan.tileWidth = int(o.tile ? o.tile->first : storage::PosterTileDefault);
    plan.tileHeight = int(o.tile ? o.tile->second : storage::PosterTileDefault);
    storage::layOutGrid(plan);
    // The document's width in plane units spread over the poster's width, unless given.
    plan.step = o.step ? *o.step : f->Params.Step * double(f->Params.Width) / double(plan.width);
    plan.centreX = f->Params.CentreX;
    plan.centreY = f->Params.CentreY;
    plan.leftX = plan.centreX - double(plan.width) / 2 * plan.step;
    plan.topY = plan.centreY + double(plan.height) / 2 * plan.step;
    plan.depth = o.depth ? int(*o.depth) : f->PixelFormat == engine::PixelFormat24 ? 24 : 8;
    plan.resolution = uint32_t(o.dpi.value_or(300));
    plan.source = fs::absolute(fs::path(o.input), ec).string();
    const engine::TypeDefaults& limits = engine::typeDefaults(f->Params.FractalType);
    if (!(plan.step >= limits.MinStep && plan.step <= limits.MaxStep)) {
        std::fprintf(stderr, "%s: the poster's step %.17g is outside %g to %g, the steps of this fractal type\n",
                     o.input.c_str(), plan.step, limits.MinStep, limits.MaxStep);
        return ExitFailure;
    }

    const bool created = !fs::exists(dir, ec);
    if (created && !fs::create_directories(dir, ec)) {
        std::fprintf(stderr, "%s: cannot create the directory (%s)\n", o.output.c_str(), ec.message().c_str());
        return ExitFailure;
    }
    // Nothing half-written: on any failure what was written goes.
    auto undo = [&] {
        for (int r = 0; r < plan.rows; ++r)
            for (int c = 0; c < plan.cols; ++c)
                fs::remove(dir / plan.tileName(r, c), ec);
        fs::remove(dir / storage::PosterPlanFile, ec);
        if (created)
            fs::remove(dir, ec);
    };
    for (int r = 0; r < plan.rows; ++r)
        for (int c = 0; c < plan.cols; ++c) {
            std::string message;
            const std::string path = (dir / plan.tileName(r, c)).string();
            if (!storage::makePosterTile(*f, plan, plan.cell(r, c), message)) {
                std::fprintf(stderr, "%s: %s\n", path.c_str(), message.c_str());
                undo();
                return ExitFailure;
            }
            if (!storage::SaveDocument(*f, path)) {
                std::fprintf(stderr, "%s: Error writing file\n", path.c_str());
                undo();
                return ExitFailure;
            }
        }
    const std::string planPath = (dir / storage::PosterPlanFile).string();
    if (!writeTextFile(planPath, storage::posterPlanToJson(plan))) {
        std::fprintf(stderr, "%s: Error writing file\n", planPath.c_str());
        undo();
        return ExitFailure;
    }
    if (!o.common.quiet)
        std::printf("%s: %d x %d pixels in %d x %d tiles of up to %d x %d, step %.17g, plan %s\n", o.output.c_str(),
                    plan.width, plan.height, plan.cols, plan.rows, plan.tileWidth, plan.tileHeight, plan.step,
                    plan.id.c_str());
    return ExitOk;
}

bool readPlan(const std::string& dir, storage::PosterPlan& plan)
{
    std::string message;
    if (!storage::readPosterPlan(dir, plan, message)) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return false;
    }
    return true;
}

// Prints the tiles not complete; returns how many there are.
int reportIncomplete(const std::vector<storage::TileStatus>& status, FILE* to)
{
    int count = 0;
    for (const storage::TileStatus& s : status) {
        if (s.state == storage::TileState::Complete)
            continue;
        ++count;
        if (s.state == storage::TileState::Partial)
            std::fprintf(to, "%s: %s (resumes at row %d)\n", s.path.c_str(), storage::tileStateName(s.state),
                         s.resumeLine);
        else
            std::fprintf(to, "%s: %s\n", s.path.c_str(), storage::tileStateName(s.state));
    }
    return count;
}

int runStatus(const PosterOptions& o)
{
    storage::PosterPlan plan;
    if (!readPlan(o.input, plan))
        return ExitFailure;
    const std::vector<storage::TileStatus> status = storage::posterStatus(plan, o.input);
    if (o.pathsOnly) {
        // For GNU parallel and the like: the tiles still to compute, one path a line.
        int incomplete = 0;
        for (const storage::TileStatus& s : status)
            if (s.state != storage::TileState::Complete) {
                std::printf("%s\n", s.path.c_str());
                ++incomplete;
            }
        return incomplete ? ExitFailure : ExitOk;
    }
    const int incomplete = reportIncomplete(status, stdout);
    std::printf("%d of %d tiles complete\n", int(status.size()) - incomplete, int(status.size()));
    return incomplete ? ExitFailure : ExitOk;
}

int runPosterCompute(const PosterOptions& o)
{
    storage::PosterPlan plan;
    if (!readPlan(o.input, plan))
        return ExitFailure;
    const std::vector<storage::TileStatus> status = storage::posterStatus(plan, o.input);
    for (const storage::TileStatus& s : status)
        if (s.state == storage::TileState::Missing || s.state == storage::TileState::Unreadable
            || s.state == storage::TileState::Foreign) {
            std::fprintf(stderr, "%s: %s; nothing was computed\n", s.path.c_str(), storage::tileStateName(s.state));
            return ExitFailure;
        }
    int index = 0;
    const int total = int(status.size());
    for (const storage::TileStatus& s : status) {
        ++index;
        if (s.state == storage::TileState::Complete)
            continue;
        auto f = std::make_unique<document::TFractal>();
        if (!loadOrReport(*f, s.path))
            return ExitFailure;
        if (o.periodicity)
            f->Periodicity = *o.periodicity;
        ComputeJob job;
        job.saveWhenInterrupted = true;  // the tile is replaced whole, through a temporary file
        job.label = "Tile " + std::to_string(s.row) + "," + std::to_string(s.col) + " (" + std::to_string(index)
                    + "/" + std::to_string(total) + ")";
        const int rc = computeAndSave(*f, job, s.path, o.common);
        if (rc != ExitOk)
            return rc;
    }
    return ExitOk;
}

int runAssemble(const PosterOptions& o)
{
    storage::PosterPlan plan;
    if (!readPlan(o.input, plan))
        return ExitFailure;
    const std::vector<storage::TileStatus> status = storage::posterStatus(plan, o.input);
    if (const int incomplete = reportIncomplete(status, stderr)) {
        std::fprintf(stderr, "%s: %d tile(s) not complete; nothing was written\n", o.input.c_str(), incomplete);
        return ExitFailure;
    }
    // Past a file size limit a write then fails (EFBIG) and the partial file is removed, instead of the
    // process being killed with it left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    storage::AssembleResult result;
    {
        ProgressLine progress("Assembling", o.common.quiet);
        result = storage::assemblePoster(plan, o.input, o.output, *storage::posterFormatFromPath(o.output),
                                         uint32_t(o.dpi.value_or(plan.resolution)), o.bigTiff, &progress);
    }
    if (!result.ok) {
        std::fprintf(stderr, "%s; nothing was written\n", result.message.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace

int runPosterCommand(const std::vector<std::string>& args)
{
    const PosterOptions o = parse(args);
    if (o.subcommand == "plan")
        return runPlan(o);
    if (o.subcommand == "compute")
        return runPosterCompute(o);
    if (o.subcommand == "status")
        return runStatus(o);
    return runAssemble(o);
}

}  // namespace cli
