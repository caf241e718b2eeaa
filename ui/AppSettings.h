#pragma once

#include <QString>
#include <filesystem>

#include "storage/Preferences.h"
#include "ui/OsLoad.h"

namespace ui {

// The program-wide settings the main window owns: the preferences read at start-up and written
// at the end, and the values of the session that are not stored.
struct AppSettings {
    storage::Preferences prefs;
    std::filesystem::path preferencesFile;
    QString programDirectory;  // directory of the executable
    QString fractalDirectory;  // where the document dialogs start
    QString paletteDirectory;
    QString exportDirectory;
    OsLoad osLoad = OsLoad::Default;  // not stored: every start uses the default
    QString userName;      // at most 20 characters
    QString computerName;  // at most 20 characters
    int screenDepth = 32;  // bits per pixel
    int screenWidth = 0, screenHeight = 0;
    double lastGotoX = 0, lastGotoY = 0;  // the last go-to point, offered the next time

    int language() const { return prefs.language; }
};

inline constexpr int MachineNameLength = 20;

}  // namespace ui
