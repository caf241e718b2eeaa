#include "cli/ExportCommand.h"

#include <csignal>
#include <cstdio>

#include "cli/Args.h"
#include "cli/ColourOptions.h"
#include "cli/Documents.h"
#include "cli/Session.h"
#include "engine/Catalogue.h"
#include "storage/ExportImage.h"

namespace cli {

const char* const ExportUsage =
    "  export FILE.mbt -o OUT.tif|OUT.gif|OUT.jpg|OUT.bmp|OUT.png\n"
    "      [--dpi 72|100|200|300|400|600|1200]   resolution written into TIFF and PNG files (default 300)\n"
    "      [--quality 50..100]                   JPEG quality (default 90; from 90 up, full colour\n"
    "                                            resolution (4:4:4), below 90 colour at half (4:2:0))\n"
    "      [--dither none|diffusion]             GIF of a 24-bit image: nearest colour or error diffusion\n"
    "                                 the picture as the window shows it; JPEG only for 24-bit\n"
    "                                 documents, BMP only for 8-bit ones; the colour options below\n"
    "                                 colour this picture only\n";

namespace {

struct ExportCommandOptions {
    std::string input, output;
    storage::ExportFormat format = storage::ExportFormat::Tiff;
    storage::ExportOptions export_;
    CommonOptions common;
    ColourOptions colours;
};

ExportCommandOptions parse(const std::vector<std::string>& words)
{
    ExportCommandOptions o;
    Args a(words);
    while (!a.done()) {
        const std::string opt = a.take();
        if (opt == "-o") {
            o.output = a.value(opt);
        } else if (opt == "--dpi") {
            const long long dpi = a.integer(opt, 1, 1200);
            if (!storage::isExportResolution(int(dpi)))
                throw UsageError("--dpi: expects one of 72, 100, 200, 300, 400, 600, 1200, not \""
                                 + std::to_string(dpi) + "\"");
            o.export_.Resolution = uint32_t(dpi);
        } else if (opt == "--quality") {
            o.export_.Quality = int(a.integer(opt, storage::JpegQualityMin, storage::JpegQualityMax));
        } else if (opt == "--dither") {
            const std::string v = a.value(opt);
            if (v == "none")
                o.export_.Dither = storage::GifDither::None;
            else if (v == "diffusion")
                o.export_.Dither = storage::GifDither::ErrorDiffusion;
            else
                throw UsageError("--dither: expects none or diffusion, not \"" + v + "\"");
        } else if (parseCommonOption(opt, a, o.common) || parseColourOption(opt, a, o.colours)) {
            continue;
        } else if (!opt.empty() && opt[0] == '-') {
            throw UsageError(opt + ": unknown option of \"export\" (see vorex-cli --help)");
        } else if (o.input.empty()) {
            o.input = opt;
        } else {
            throw UsageError(opt + ": \"export\" takes one document");
        }
    }
    if (o.input.empty())
        throw UsageError("export: the document FILE.mbt is missing");
    if (o.output.empty())
        throw UsageError("export: the picture to write is missing (-o OUT.tif|.gif|.jpg|.bmp|.png)");
    const auto format = storage::exportFormatFromPath(o.output);
    if (!format)
        throw UsageError("-o: the extension names the format: .tif, .gif, .jpg, .bmp or .png, not \"" + o.output
                         + "\"");
    o.format = *format;
    return o;
}

const char* formatName(storage::ExportFormat format)
{
    switch (format) {
    case storage::ExportFormat::Jpeg: return "JPEG";
    case storage::ExportFormat::Gif: return "GIF";
    case storage::ExportFormat::Tiff: return "TIFF";
    case storage::ExportFormat::Bmp: return "BMP";
    case storage::ExportFormat::Png: return "PNG";
    }
    return "?";
}

}  // namespace

int runExportCommand(const std::vector<std::string>& args)
{
    ExportCommandOptions o;
    try {
        o = parse(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "vorex-cli: %s\n", e.what());
        return ExitUsage;
    }
    // Past a file size limit a write then fails (EFBIG) and the export is reported and cleaned up,
    // instead of the process being killed with its temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    // The values alone are loaded; the rows are coloured band by band as they are written, so the
    // picture is never held whole.
    if (!loadColourFiles(o.colours))
        return ExitFailure;
    document::TFractal f;
    if (!loadOrReport(f, o.input, storage::ImageParts::ValuesOnly))
        return ExitFailure;
    // Only the picture takes them: the document is never saved by this command.
    applyColourOptions(o.colours, f);
    const bool trueColour = f.PixelFormat == engine::PixelFormat24;
    if (!storage::exportFormatOffered(o.format, f.PixelFormat)) {
        std::fprintf(stderr, "vorex-cli: %s: %s is offered only for %s images; this document is %s\n",
                     o.output.c_str(), formatName(o.format), trueColour ? "8-bit" : "24-bit",
                     trueColour ? "24-bit" : "8-bit");
        return ExitUsage;
    }
    storage::ExportStatus status;
    {
        ProgressLine progress("Exporting", o.common.quiet);
        status = storage::ExportImageFile(f, o.format, o.output, o.export_, &progress,
                                          storage::ExportSource::ColouredValues);
    }
    if (status != storage::ExportStatus::Ok) {
        std::fprintf(stderr, "%s: Error writing file\n", o.output.c_str());
        return ExitFailure;
    }
    return ExitOk;
}

}  // namespace cli
