#include "cli/ColourOptions.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "engine/Values.h"
#include "storage/PaletteFiles.h"

namespace cli {

const char* const ColourUsage =
    "  colour options of new and export (export colours the picture it writes with them and leaves the\n"
    "  document as it is; new stores them in the document):\n"
    "      --palette FILE.p8|FILE.act|FILE.map|FILE.gpl|FILE.mbt   8-bit palette (entry 0 becomes black)\n"
    "      --boundary linear|log|sqrt  --multiplier 1..500  --biomorph 0..255\n"
    "      --table FILE.p24|FILE.mbt   24-bit colour table (its end takes the iteration limit)\n"
    "      --table-mode table|calculated  --hue-function 0..5  --value-function 0..5\n"
    "      --hue-offset 0..359  --hue-mult 1..500  --value-mult 1..65535\n"
    "      (functions: 0 unity, 1 linear, 2 log base 2, 3 log base 10, 4 square root, 5 sine)\n";

namespace {

constexpr long long MultiplierMax = 500;   // the 8-bit editor's spin edit
constexpr long long HueOffsetMax = 359;
constexpr long long HueMultMax = 500;
constexpr long long ValueMultMax = 65535;
constexpr long long TransferFunctionMax = 5;

std::string lowerExtension(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

void reportDiskError(const std::string& path)
{
    std::fprintf(stderr, "%s: Error accessing to disk\n", path.c_str());
}

}  // namespace

bool parseColourOption(const std::string& opt, Args& a, ColourOptions& o)
{
    if (opt == "--palette") {
        const std::string path = a.value(opt);
        const auto format = storage::paletteFormatFromPath(path);
        if (!format)
            throw UsageError("--palette: expects FILE.p8, FILE.act, FILE.map, FILE.gpl or FILE.mbt, not \"" + path + "\"");
        o.paletteFile = path;
    } else if (opt == "--table") {
        const std::string path = a.value(opt);
        const std::string ext = lowerExtension(path);
        if (ext != ".p24" && ext != ".mbt")
            throw UsageError("--table: expects FILE.p24 or FILE.mbt, not \"" + path + "\"");
        o.tableFile = path;
    } else if (opt == "--boundary") {
        const std::string v = a.value(opt);
        if (v == "linear") o.boundary = colour::BoundaryKind::Linear;
        else if (v == "log") o.boundary = colour::BoundaryKind::Log;
        else if (v == "sqrt") o.boundary = colour::BoundaryKind::Sqrt;
        else throw UsageError("--boundary: expects linear, log or sqrt, not \"" + v + "\"");
    } else if (opt == "--multiplier") {
        o.multiplier = int32_t(a.integer(opt, 1, MultiplierMax));
    } else if (opt == "--biomorph") {
        o.biomorph = int32_t(a.integer(opt, 0, 255));
    } else if (opt == "--table-mode") {
        const std::string v = a.value(opt);
        if (v == "table") o.tableMode = colour::TableModeKind::FromBoundaries;
        else if (v == "calculated") o.tableMode = colour::TableModeKind::Calculated;
        else throw UsageError("--table-mode: expects table or calculated, not \"" + v + "\"");
    } else if (opt == "--hue-function") {
        o.hueFunction = uint8_t(a.integer(opt, 0, TransferFunctionMax));
    } else if (opt == "--value-function") {
        o.valueFunction = uint8_t(a.integer(opt, 0, TransferFunctionMax));
    } else if (opt == "--hue-offset") {
        o.hueOffset = int32_t(a.integer(opt, 0, HueOffsetMax));
    } else if (opt == "--hue-mult") {
        o.hueMult = int32_t(a.integer(opt, 1, HueMultMax));
    } else if (opt == "--value-mult") {
        o.valueMult = int32_t(a.integer(opt, 1, ValueMultMax));
    } else {
        return false;
    }
    return true;
}

bool loadColourFiles(ColourOptions& o)
{
    if (o.paletteFile) {
        colour::Palette palette = colour::systemPalette();
        std::string name;
        const auto format = storage::paletteFormatFromPath(*o.paletteFile);
        if (!format || !storage::LoadPalette8(palette, name, *o.paletteFile, *format).ok) {
            reportDiskError(*o.paletteFile);
            return false;
        }
        o.palette = palette;
    }
    if (o.tableFile) {
        colour::ColorTable24 table = colour::defaultColorTable24();
        std::string name;
        const storage::TableFormat format =
            lowerExtension(*o.tableFile) == ".mbt" ? storage::TableFormat::Document : storage::TableFormat::P24;
        if (!storage::LoadTable24(table, name, *o.tableFile, format).ok) {
            reportDiskError(*o.tableFile);
            return false;
        }
        o.table = table;
    }
    return true;
}

void applyColourOptions(const ColourOptions& o, document::TFractal& f)
{
    if (o.palette) {
        f.Palette = *o.palette;
        // As after opening a palette in the editor: entry 0 is the fixed black entry.
        f.Palette.entries[0] = {0, 0, 0, 0};
    }
    if (o.boundary || o.multiplier)
        f.SetBoundary(o.boundary.value_or(f.BoundaryType), o.multiplier.value_or(f.Multiplier));
    if (o.biomorph)
        f.BiomorphIndex = *o.biomorph;

    if (o.table) {
        f.ColorTable24 = *o.table;
        // The table's scale ends at this picture's iteration limit, as whenever a 24-bit picture is allocated.
        f.ColorTable24.records[colour::ColorTable24::EndRecord].position = f.Params.MaxIter;
        f.ColorTable24.records[colour::ColorTable24::LeadOutRecord].position = f.Params.MaxIter;
    }
    colour::CalcParams calc = f.calcParams();
    if (o.hueOffset) calc.hueOffset = *o.hueOffset;
    if (o.valueMult) calc.valueMult = *o.valueMult;
    if (o.hueFunction) calc.hueFunction = *o.hueFunction;
    if (o.valueFunction) calc.valueFunction = *o.valueFunction;
    if (o.hueMult) calc.hueMult = *o.hueMult;
    f.setCalcParams(calc);
    if (o.tableMode)
        f.SetTableMode(*o.tableMode);
    if (o.touches24Bit() && f.PixelFormat == engine::PixelFormat24 && !f.TableR.empty())
        f.RebuildTables();
}

}  // namespace cli
