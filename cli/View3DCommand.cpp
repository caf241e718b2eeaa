#include "cli/View3DCommand.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <optional>

#include "cli/Args.h"
#include "cli/Documents.h"
#include "cli/Session.h"
#include "colour/Fract3D.h"
#include "colour/filters/Filters.h"
#include "storage/ExportImage.h"

namespace cli {

const char* const View3DUsage =
    "  render3d FILE.mbt -o OUT.tif|OUT.gif|OUT.jpg|OUT.bmp|OUT.png\n"
    "      [--azimuth 0..360] [--elevation 0..90] [--zscale 0..500] [--zlimit 0..65000]\n"
    "      [--focal 200..3000] [--shift -500..500] [--inverted on|off] [--perspective on|off]\n"
    "                                 the 3D relief view, coloured as the window colours it; each\n"
    "                                 option defaults to the document's value (focal length in pixels)\n"
    "  filter FILE.mbt -o OUT.tif|OUT.gif|OUT.jpg|OUT.bmp|OUT.png\n"
    "      --edges [--lines fixed|fractal] [--background fixed|fractal] [--brightness 0..200]\n"
    "              [--line-colour RRGGBB] [--background-colour RRGGBB] [--biomorph-colour RRGGBB]\n"
    "      --emboss [--deep 0..50] [--contrast 0..255] [--light nw|ne|sw|se] [--biomorph-colour RRGGBB]\n"
    "                                 the picture through the edges or emboss filter (defaults: fixed\n"
    "                                 black lines on white, brightness 100, biomorphs 999999; deep 3,\n"
    "                                 contrast 128, light nw); 8-bit pictures are written unchanged\n";

namespace {

struct OutputOptions {
    std::string input, output;
    storage::ExportFormat format = storage::ExportFormat::Png;
    CommonOptions common;
};

// Takes the document, -o and the common options; false when `opt` is none of them.
bool parseOutputOption(const char* command, const std::string& opt, Args& a, OutputOptions& o)
{
    if (opt == "-o") {
        o.output = a.value(opt);
        return true;
    }
    if (parseCommonOption(opt, a, o.common))
        return true;
    if (!opt.empty() && opt[0] == '-')
        return false;
    if (!o.input.empty())
        throw UsageError(opt + ": \"" + command + "\" takes one document");
    o.input = opt;
    return true;
}

void checkOutput(const char* command, OutputOptions& o)
{
    if (o.input.empty())
        throw UsageError(std::string(command) + ": the document FILE.mbt is missing");
    if (o.output.empty())
        throw UsageError(std::string(command) + ": the picture to write is missing (-o OUT.tif|.gif|.jpg|.bmp|.png)");
    const auto format = storage::exportFormatFromPath(o.output);
    if (!format)
        throw UsageError("-o: the extension names the format: .tif, .gif, .jpg, .bmp or .png, not \"" + o.output
                         + "\"");
    o.format = *format;
}

// A colour written RRGGBB (hexadecimal), as 0x00BBGGRR.
uint32_t colourValue(Args& a, const std::string& name)
{
    const std::string text = a.value(name);
    bool ok = text.size() == 6;
    uint32_t rgb = 0;
    for (char ch : text) {
        int digit = -1;
        if (ch >= '0' && ch <= '9')
            digit = ch - '0';
        else if (ch >= 'a' && ch <= 'f')
            digit = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F')
            digit = ch - 'A' + 10;
        ok = ok && digit >= 0;
        rgb = rgb << 4 | uint32_t(digit & 15);
    }
    if (!ok)
        throw UsageError(name + ": expects a colour RRGGBB in hexadecimal, not \"" + text + "\"");
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

bool choice(Args& a, const std::string& name, const char* no, const char* yes)
{
    const std::string v = a.value(name);
    if (v == no)
        return false;
    if (v == yes)
        return true;
    throw UsageError(name + ": expects " + no + " or " + yes + ", not \"" + v + "\"");
}

// Loads the values of the document and checks that the format suits its depth; prints why not.
int load(document::TFractal& f, const OutputOptions& o)
{
    if (!loadOrReport(f, o.input, storage::ImageParts::ValuesOnly))
        return ExitFailure;
    if (!storage::exportFormatOffered(o.format, f.PixelFormat)) {
        const bool trueColour = f.PixelFormat == engine::PixelFormat24;
        std::fprintf(stderr, "vorex-cli: %s: this format is offered only for %s images; this document is %s\n",
                     o.output.c_str(), trueColour ? "8-bit" : "24-bit", trueColour ? "24-bit" : "8-bit");
        return ExitUsage;
    }
    return ExitOk;
}

int write(const document::TFractal& f, const OutputOptions& o, storage::ExportSource from)
{
    // Past a file size limit a write then fails (EFBIG) and is reported, instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    storage::ExportStatus status;
    {
        ProgressLine progress("Writing", o.common.quiet);
        status = storage::ExportImageFile(f, o.format, o.output, storage::ExportOptions{}, &progress, from);
    }
    if (status != storage::ExportStatus::Ok) {
        std::fprintf(stderr, "%s: Error writing file\n", o.output.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace

int runRender3DCommand(const std::vector<std::string>& args)
{
    OutputOptions o;
    std::optional<int> azimuth, elevation, zScale, zLimit, focal, shift;
    std::optional<bool> inverted, perspective;
    try {
        Args a(args);
        while (!a.done()) {
            const std::string opt = a.take();
            if (opt == "--azimuth")
                azimuth = int(a.integer(opt, 0, 360));
            else if (opt == "--elevation")
                elevation = int(a.integer(opt, 0, 90));
            else if (opt == "--zscale")
                zScale = int(a.integer(opt, 0, 500));
            else if (opt == "--zlimit")
                zLimit = int(a.integer(opt, 0, 65000));
            else if (opt == "--focal")
                focal = int(a.integer(opt, 200, 3000));
            else if (opt == "--shift")
                shift = int(a.integer(opt, -500, 500));
            else if (opt == "--inverted")
                inverted = a.onOff(opt);
            else if (opt == "--perspective")
                perspective = a.onOff(opt);
            else if (!parseOutputOption("render3d", opt, a, o))
                throw UsageError(opt + ": unknown option of \"render3d\" (see vorex-cli --help)");
        }
        checkOutput("render3d", o);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "vorex-cli: %s\n", e.what());
        return ExitUsage;
    }
    document::TFractal f;
    if (const int status = load(f, o); status != ExitOk)
        return status;
    colour::View3DParams& p = f.view3D();
    p.Azimuth = azimuth.value_or(p.Azimuth);
    p.Elevation = elevation.value_or(p.Elevation);
    p.ZScale = zScale.value_or(p.ZScale);
    p.ZLimit = zLimit.value_or(p.ZLimit);
    p.FocalLength = focal.value_or(p.FocalLength);
    p.VerticalShift = shift.value_or(p.VerticalShift);
    if (inverted)
        p.Inverted3D = *inverted ? 1 : 0;
    if (perspective)
        p.Perspective = *perspective ? 1 : 0;

    colour::TFract3D view;
    view.Init(p, f.Data.width(), f.Data.height(), f.PixelFormat);
    {
        ProgressLine progress("Rendering", o.common.quiet);
        colour::Render3DControl control;
        control.progress = [&](int done, int total) { progress.progressChanged(double(done) / double(total)); };
        view.RenderParallel(f.Data, f.Params.Algorithm, f.Data3D, o.common.threads, control);
    }
    f.View3D = true;
    return write(f, o, storage::ExportSource::ColouredValues);
}

int runFilterCommand(const std::vector<std::string>& args)
{
    OutputOptions o;
    colour::filters::FilterSettings s;
    std::string edgesOption, embossOption;  // one option of each filter that was given, for the messages
    try {
        Args a(args);
        while (!a.done()) {
            const std::string opt = a.take();
            if (opt == "--edges" || opt == "--emboss") {
                const auto kind = opt == "--edges" ? colour::filters::FilterKind::Edges
                                                   : colour::filters::FilterKind::Emboss;
                if (s.Kind != colour::filters::FilterKind::None && s.Kind != kind)
                    throw UsageError(opt + ": give either --edges or --emboss");
                s.Kind = kind;
                continue;
            }
            if (opt == "--lines") {
                s.Edges.LinesFromFractal = choice(a, opt, "fixed", "fractal");
                edgesOption = opt;
            } else if (opt == "--background") {
                s.Edges.BackgroundFromFractal = choice(a, opt, "fixed", "fractal");
                edgesOption = opt;
            } else if (opt == "--brightness") {
                s.Edges.Brightness = uint8_t(a.integer(opt, 0, 200));
                edgesOption = opt;
            } else if (opt == "--line-colour") {
                s.Edges.Line = colourValue(a, opt);
                edgesOption = opt;
            } else if (opt == "--background-colour") {
                s.Edges.Background = colourValue(a, opt);
                edgesOption = opt;
            } else if (opt == "--biomorph-colour") {
                const uint32_t c = colourValue(a, opt);
                s.Edges.Biomorph = s.Emboss.Biomorph = c;
            } else if (opt == "--deep") {
                s.Emboss.Deep = uint8_t(a.integer(opt, 0, 50));
                embossOption = opt;
            } else if (opt == "--contrast") {
                s.Emboss.Contrast = uint8_t(a.integer(opt, 0, 255));
                embossOption = opt;
            } else if (opt == "--light") {
                const std::string v = a.value(opt);
                using colour::filters::Light;
                if (v == "nw")
                    s.Emboss.LightAngle = Light::NW;
                else if (v == "ne")
                    s.Emboss.LightAngle = Light::NE;
                else if (v == "sw")
                    s.Emboss.LightAngle = Light::SW;
                else if (v == "se")
                    s.Emboss.LightAngle = Light::SE;
                else
                    throw UsageError(opt + ": expects nw, ne, sw or se, not \"" + v + "\"");
                embossOption = opt;
            } else if (!parseOutputOption("filter", opt, a, o)) {
                throw UsageError(opt + ": unknown option of \"filter\" (see vorex-cli --help)");
            }
        }
        if (s.Kind == colour::filters::FilterKind::None)
            throw UsageError("filter: give --edges or --emboss");
        if (s.Kind == colour::filters::FilterKind::Edges && !embossOption.empty())
            throw UsageError(embossOption + ": an option of --emboss, not of --edges");
        if (s.Kind == colour::filters::FilterKind::Emboss && !edgesOption.empty())
            throw UsageError(edgesOption + ": an option of --edges, not of --emboss");
        checkOutput("filter", o);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "vorex-cli: %s\n", e.what());
        return ExitUsage;
    }
    document::TFractal f;
    if (const int status = load(f, o); status != ExitOk)
        return status;
    // The picture as the window shows it, then the filter over it.
    colour::ImageBitmap& b = f.Bitmap;
    b.Width = f.Data.width();
    b.Height = f.Data.height();
    b.PixelFormat = f.PixelFormat;
    b.Pixels.assign(b.stride() * size_t(b.Height), 0);
    f.View3D = false;
    f.ColourAllRows();
    {
        ProgressLine progress("Filtering", o.common.quiet);
        colour::filters::FilterControl control;
        const double rows = double(std::max(1, b.Height));
        control.progress = [&](int row) { progress.progressChanged(double(row) / rows); };
        colour::filters::ApplyFilterParallel(s, f.Data, b, o.common.threads, control);
    }
    return write(f, o, storage::ExportSource::DisplayBitmap);
}

}  // namespace cli
