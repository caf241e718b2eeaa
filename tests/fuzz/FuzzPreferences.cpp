// Fuzzes the preferences file: reading the values, and rewriting the file over the fuzzer's text,
// which must keep every line it does not own byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/IniFile.h"
#include "storage/Preferences.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // An unchanged file is written back as it was.
    const storage::IniFile ini = storage::IniFile::parse(text);
    if (ini.serialize() != text)
        std::abort();

    storage::Preferences prefs = storage::parsePreferences(text);
    storage::addRecentFile(prefs.recentFiles, "/home/user/fractals/new.mbt");
    for (const std::string& recent : prefs.recentFiles)
        storage::recentFileCaption(recent);

    // Writing the preferences and reading them again gives the same preferences, except for texts
    // that cannot be stored on one line: such a font is written as the default, such a recent file
    // as a free slot.
    const std::string rewritten = storage::renderPreferences(text, prefs, "10/12/2026 02:00:00");
    storage::Preferences expected = prefs;
    for (std::string* font : {&expected.captionFont, &expected.parameterFont})
        if (!storage::IniFile::isStorable(*font))
            *font = storage::Preferences{}.captionFont;
    for (std::string& recent : expected.recentFiles)
        if (!storage::IniFile::isStorable(recent))
            recent.clear();
    if (!(storage::parsePreferences(rewritten) == expected))
        std::abort();
    return 0;
}
