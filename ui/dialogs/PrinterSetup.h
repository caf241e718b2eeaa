#pragma once

namespace ui {

class TMainForm;

// "Printer Configuration": the platform's page set-up dialog on the printer the window keeps for printing.
void runPrinterSetupCommand(TMainForm& window);

}  // namespace ui
