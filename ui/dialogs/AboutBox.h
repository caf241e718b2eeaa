#pragma once

namespace ui {

class TMainForm;

// "About": the product, its version line and the copyright.
void runAboutCommand(TMainForm& window);

}  // namespace ui
