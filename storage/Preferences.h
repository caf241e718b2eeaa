#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace storage {

// Name of the preferences file.
inline constexpr std::string_view PreferencesFileName = "Vorex.cfg";

// Shown (after a beep) when the preferences could not be written at closing; the close goes on.
// "\r" marks the line break of the message box.
inline constexpr std::string_view PreferencesWriteError = "Error writing cfg file\r(File may be read only)";

// Values of the section "General", which is written only.
inline constexpr std::string_view ProductName = "Vorex";
inline constexpr std::string_view ProductVersionText = "Version 1.8.6";
inline constexpr int ProductBuild = 1;  // the format number documents carry as well
inline constexpr std::string_view CopyrightText = "Copyright (C) The Vorex developers";

// The four most recent documents, full paths; entry 0 (key L001) is the most recent, an empty
// entry is a free slot.
inline constexpr int RecentFileCount = 4;
using RecentFiles = std::array<std::string, RecentFileCount>;

// The recent-files rule, applied after a successful save and after an open whose header was read:
// a path equal (exactly, case-sensitively) to none of the entries enters at the top and the others
// move down, the last one being dropped; a path already listed changes nothing. A path that could
// not be written to the preferences file (one holding a line break or a NUL byte) is not taken
// either. Returns true when the list changed.
bool addRecentFile(RecentFiles& recent, std::string_view path);

// Caption of a recent-file menu entry: the first 8 characters of the file's directory (with its
// trailing '/') + "..." + the first 15 characters of the file name. Characters are UTF-8 code
// points, so a caption never ends inside a multi-byte character.
std::string recentFileCaption(std::string_view path);

// The program-wide preferences. Member defaults are those of a missing file. Colours are
// 0x00BBGGRR (red in the low byte).
struct Preferences {
    bool maximized = true;             // Wst: main window maximized
    int width = 620;                   // Wid: main window width in pixels when not maximized
    int height = 470;                  // Hei: main window height in pixels when not maximized
    uint8_t language = 1;              // Lang: 0 English, 1 French
    int previewMode = 0;               // Prev: 0 "Yes by default", 1 "No by default", 2 "Manual"
    bool hints = true;                 // Hint: show tool tips
    bool beep = true;                  // Beep: beep when a computation ends
    uint32_t lineColour = 65535;       // Line: zoom rectangle and other drawn lines (yellow)
    uint32_t outOfRangeColour = 6710886;  // OutR: 24-bit pixels at or above MaxIter but not inside
    uint32_t markerColour = 26112;     // MarR: dark green
    int markerSize = 29;               // MarS: pixels, odd, 21..41
    bool markersShown = false;         // ShMk
    int fontSize = 8;                  // FntS: points, 6..10
    int printDpi = 200;                // DpiP: custom print resolution, dots per inch
    uint8_t printDpiIndex = 2;         // DpiI: index in the print dialog's resolution list
    bool printFrame = false;           // PriA: frame around the printed image
    uint32_t printFrameColour = 0;     // PriC
    int printFrameWidth = 1;           // PriW
    bool printCaption = false;         // PriB: caption under the printed image
    std::string captionFont = "Courier New";  // PriF
    int captionFontSize = 6;           // PriS
    uint32_t captionFontColour = 0;    // PriD
    std::string parameterFont = "Courier New";  // PriP: font of the printed parameter sheet
    int parameterFontSize = 9;         // PrPS
    uint32_t parameterFontColour = 0;  // PrPC
    bool computeAfterViewChange = false;  // CmpV: compute at once after a zoom, a pick or a history step
    RecentFiles recentFiles;           // LFiles: L001..L004

    friend bool operator==(const Preferences&, const Preferences&) = default;
};

// Number of entries of the print dialog's resolution list (72, 150, 200, 300, 400, 600, 1200 dpi).
inline constexpr int PrintDpiChoices = 7;

// Reads the preferences. A missing, unreadable or oversized file gives the defaults; a value that
// is not a number where one is expected gives that key's default. Corrections: a font size outside
// 6..10 becomes 8; an even marker size is made odd by subtracting 1 and then held within 21..41.
// Values that would select outside a list or divide by zero (language other than 0 and 1, preview
// mode outside 0..2, resolution index outside the list, custom resolution below 1, a colour above
// 0xFFFFFF or negative) give the key's default as well.
Preferences loadPreferences(const std::filesystem::path& file);

// The same from the text of a file.
Preferences parsePreferences(std::string_view text);

struct PreferencesWriteResult {
    bool ok = true;
    std::string message;  // PreferencesWriteError when !ok
};

// Rewrites the file: the sections "General" and "Prefer" are rebuilt, L001..L004 are set in
// "LFiles", and everything else in the file is kept. `dateTime` is the DateTime value, the time
// of writing in the user's locale format (see localDateTimeText). The file is replaced as a
// whole (write to a temporary file, then rename); a read-only existing file is not replaced, and
// on any failure the previous file stays as it was. Missing parent directories are created.
PreferencesWriteResult savePreferences(const std::filesystem::path& file, const Preferences& prefs,
                                       std::string_view dateTime);

// The text the file would hold after saving `prefs` over `previous` (the former file's text).
std::string renderPreferences(std::string_view previous, const Preferences& prefs, std::string_view dateTime);

// The current local date and time in the user's locale format ("%c" of the environment's locale,
// the C locale when the environment names none that exists).
std::string localDateTimeText();

// Where the preferences live. The program's directory when it is writable, so that a program
// unpacked into a directory of its own keeps its settings beside it; otherwise (an installed
// program) $XDG_CONFIG_HOME/Vorex/Vorex.cfg, or ~/.config/Vorex/Vorex.cfg when XDG_CONFIG_HOME is
// unset, empty or relative. With neither variable usable the program's directory is used anyway.
using WritableCheck = std::function<bool(const std::filesystem::path& directory)>;
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;
std::filesystem::path choosePreferencesPath(const std::filesystem::path& programDirectory,
                                            const WritableCheck& isWritable,
                                            const EnvironmentLookup& environment);
// The same with the real checks below.
std::filesystem::path preferencesPath(const std::filesystem::path& programDirectory);

// True when `directory` exists, is a directory and this process may create files in it.
bool isDirectoryWritable(const std::filesystem::path& directory);
std::optional<std::string> processEnvironment(const char* name);

}  // namespace storage
