#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "colour/ColorTable24.h"
#include "colour/Palette.h"

// Palette and colour-table files: ".p8" (palette), ".act" (256 x RGB, the colour-table format of
// common image editors) and ".p24" (24-bit boundary table); a palette or table can also be taken
// from a fractal document (".mbt"), and a palette imported from the text palettes ".map" and ".gpl". The file is chosen by the caller (a dialog or a dropped file);
// these functions only read and write. Every failure is the one user message "Error accessing to
// disk", which is the caller's to show. Files are replaced through a temporary file and a rename, so
// a failed save leaves the previous file as it was.
namespace storage {

inline constexpr uint16_t PaletteMagic = 55299;   // 0xD803
inline constexpr uint16_t TableMagic = 55043;     // 0xD703
inline constexpr size_t P8FileSize = 1584;
inline constexpr size_t ActFileSize = 768;
inline constexpr size_t P24FileSize = 1804;
inline constexpr size_t ColourRecordOffset = 0x38;  // of the palette or table in ".p8" and ".p24"

enum class PaletteFormat : uint8_t {
    P8 = 0,        // "Vorex Palette (*.p8)"
    Act = 1,       // "PhotoShop Color Table (*.act)"
    Document = 2,  // "Vorex Fractale (*.mbt)": load only
    Map = 3,       // text, one "R G B" line per entry: load only
    Gpl = 4,       // GIMP palette text: load only
};

// The palette format a file name's extension names (".p8", ".act", ".mbt", ".map", ".gpl", any case).
std::optional<PaletteFormat> paletteFormatFromPath(const std::string& path);

enum class TableFormat : uint8_t {
    P24 = 0,       // "Vorex 24 bits Table (*.p24)"
    Document = 1,  // "Vorex Fractal (*.mbt)": load only
};

// A load chosen in the editor's open dialog, or a file dropped on the editor. A dropped file is always
// read as ".p8" (palette editor) or ".p24" (table editor), whatever its name.
enum class LoadOrigin : uint8_t { Dialog = 0, Dropped = 1 };

struct ColourFileResult {
    bool ok = true;               // false: "Error accessing to disk" (loads beep first)
    bool extraBeep = false;       // a dropped ".p24" with a wrong magic beeps once more before that
    std::string paletteDirectory; // the directory the dialogs start in from now on; empty = unchanged
};

// Saves `palette` as ".p8" or ".act" (Document is refused). On success `name` becomes the file's
// name without directory and extension.
ColourFileResult SavePalette8(const colour::Palette& palette, const std::string& path, PaletteFormat format,
                              std::string& name);
// Loads a palette. On failure `palette` and `name` are unchanged. ".p8" and ".act" records are taken
// as they are: version and count words are not checked. A document does not move the palette directory.
// ".map" and ".gpl" palettes come through decodeTextPalette: entry 0 black, the file's colours repeated
// to fill 256 entries.
ColourFileResult LoadPalette8(colour::Palette& palette, std::string& name, const std::string& path,
                              PaletteFormat format, LoadOrigin origin = LoadOrigin::Dialog);

// Saves `table` as ".p24". On success `name` becomes the file name without directory but with its
// extension ("warm.p24").
ColourFileResult SaveTable24(const colour::ColorTable24& table, const std::string& path, std::string& name);
// Loads a table; a loaded name has no extension ("warm"). On failure `table` and `name` are unchanged.
ColourFileResult LoadTable24(colour::ColorTable24& table, std::string& name, const std::string& path,
                             TableFormat format, LoadOrigin origin = LoadOrigin::Dialog);

// The file images, built in memory before anything is written. savedAt: days since 1899-12-30,
// local time (see currentFileDate).
std::vector<uint8_t> encodeP8File(const colour::Palette& palette, double savedAt);
std::vector<uint8_t> encodeActFile(const colour::Palette& palette);
std::vector<uint8_t> encodeP24File(const colour::ColorTable24& table, double savedAt);
// An ".act" image (at least 768 bytes) as a palette: version 768, count 256, flags 0.
colour::Palette decodeActFile(const uint8_t* bytes);

// A text palette. ".map": one line per entry, "R G B" (0..255, decimal), anything after the third number
// ignored. ".gpl": the line "GIMP Palette" first, then "Name:" and "Columns:" lines and "#" comments
// anywhere, and "R G B [name]" lines. Blank lines are skipped in both. Colours beyond the 256th are not
// read; fewer than 256 are repeated in order to fill the palette; entry 0 is then made black (flags 0,
// version 768, count 256). False, leaving `out` unchanged, for a malformed line, a value outside 0..255,
// a ".gpl" without its header line, or no colour at all.
bool decodeTextPalette(std::istream& in, PaletteFormat format, colour::Palette& out);

// Now, as days since 1899-12-30 in local time, the date stamp of palette, table and document files.
double currentFileDate();

}  // namespace storage
