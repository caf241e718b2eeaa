#include "ui/dialogs/AboutBox.h"

#include <QMessageBox>

#include "storage/Preferences.h"
#include "ui/MainForm.h"
#include "ui/Splash.h"
#include "ui/Texts.h"

namespace ui {

void runAboutCommand(TMainForm& window)
{
    window.CancelModes();
    window.ShowStatus(QString());
    const QString version = Splash::versionLine();
    QMessageBox::about(&window, qstr(text::ProductTitle),
                       qstr(text::ProductTitle) + QLatin1Char('\n') + version + QLatin1Char('\n')
                           + qstr(storage::CopyrightText));
}

}  // namespace ui
