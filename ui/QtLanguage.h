#pragma once

namespace ui {

// Gives Qt's own texts (standard buttons of dialogs and message boxes) the program's language:
// 0 English, 1 French. Without Qt's French translation on the system they stay in English.
void applyQtLanguage(int language);

}  // namespace ui
