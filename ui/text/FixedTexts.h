#pragma once

#include <string_view>

namespace text {

// Texts that exist in one form only, whatever the language.

// The window title and the application title.
inline constexpr std::string_view ProductTitle = "Vorex";

// Shown (after a beep) when the display has fewer than 16 bits per pixel; the program then ends.
// "\r" marks the line break of the message box.
inline constexpr std::string_view ColourDepthError = "ERROR: Vorex require at least\ra 16 bits colors video driver to run";

// Shown when the field of the 3D view cannot be allocated; the plain picture stays.
inline constexpr std::string_view NoMemoryForWorkspace = "No Memory for Workspace";

// A palette or colour-table file that could not be written or read (after a beep for a load).
inline constexpr std::string_view DiskAccessError = "Error accessing to disk";

// The language buttons of the preferences dialog, never translated.
inline constexpr std::string_view FrenchButton = "Français";
inline constexpr std::string_view EnglishButton = "English";

}  // namespace text
