#include "ui/dialogs/PrinterSetup.h"

#include <QPageSetupDialog>

#include "ui/MainForm.h"

namespace ui {

void runPrinterSetupCommand(TMainForm& window)
{
    QPageSetupDialog dialog(&window.printer(), &window);
    dialog.exec();
}

}  // namespace ui
