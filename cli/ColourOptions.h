#pragma once

#include <optional>
#include <string>

#include "cli/Args.h"
#include "colour/ColorTable24.h"
#include "colour/Colour24.h"
#include "colour/Colour8.h"
#include "colour/Palette.h"
#include "document/Fractal.h"

// The colour options of "new" and "export": the palette, boundary rule and biomorph index of 8-bit pictures,
// the table and its calculation of 24-bit ones. Values take the ranges of the colour editors.
namespace cli {

struct ColourOptions {
    std::optional<std::string> paletteFile, tableFile;
    std::optional<colour::BoundaryKind> boundary;
    std::optional<int32_t> multiplier, biomorph;
    std::optional<colour::TableModeKind> tableMode;
    std::optional<uint8_t> hueFunction, valueFunction;
    std::optional<int32_t> hueOffset, hueMult, valueMult;

    // What the files held, once read by loadColourFiles.
    std::optional<colour::Palette> palette;
    std::optional<colour::ColorTable24> table;

    bool touches8Bit() const { return paletteFile || boundary || multiplier || biomorph; }
    bool touches24Bit() const
    {
        return tableFile || tableMode || hueFunction || valueFunction || hueOffset || hueMult || valueMult;
    }
};

// The help text of the options, for "new" and "export".
extern const char* const ColourUsage;

// Consumes a colour option; false when `opt` is not one. A bad value throws UsageError naming the option.
bool parseColourOption(const std::string& opt, Args& args, ColourOptions& out);

// Reads the palette and table files named by the options. A file that cannot be read, is not of its
// extension's format or is damaged: "FILE: Error accessing to disk" on standard error, false.
bool loadColourFiles(ColourOptions& o);

// Applies the options (after loadColourFiles) to the document's colour state, as the editors' "OK" would:
// a palette's entry 0 becomes black, a table's end records take the iteration limit, and the 24-bit
// tables are rebuilt when a 24-bit option was given to a 24-bit picture. The bitmap is not recoloured.
void applyColourOptions(const ColourOptions& o, document::TFractal& f);

}  // namespace cli
