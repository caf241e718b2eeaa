#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <cstdio>

#include "ui/HeadlessRender.h"
#include "ui/ImageView.h"
#include "ui/MainForm.h"
#include "ui/Splash.h"
#include "ui/Texts.h"

namespace {

constexpr int MinimumScreenDepth = 16;
const char* const HeadlessImageName = "vorex-default.png";

// Without a display there is no window to open: the default fractal is rendered to a file instead.
int renderWithoutDisplay(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString path = QDir::current().absoluteFilePath(QString::fromLatin1(HeadlessImageName));
    if (!ui::renderDefaultFractal(path)) {
        std::fprintf(stderr, "No display, and the default fractal could not be written to %s\n",
                     qPrintable(path));
        return 1;
    }
    std::printf("No display: rendered the default fractal to %s\n", qPrintable(path));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (ui::noDisplayAvailable())
        return renderWithoutDisplay(argc, argv);

    QApplication app(argc, argv);
    ui::Splash splash;
    QCoreApplication::setApplicationName(ui::qstr(text::ProductTitle));

    ui::StartupOptions options;
    options.arguments = QCoreApplication::arguments().mid(1);
    ui::TMainForm window(options);
    splash.finish(&window);
    if (window.settings().screenDepth < MinimumScreenDepth) {
        QApplication::beep();
        QMessageBox::critical(nullptr, ui::qstr(text::ProductTitle), ui::messageText(text::ColourDepthError));
        return 1;
    }
    window.show();
    // The keyboard reaches the window at once, also where no window manager gives it the focus.
    window.activateWindow();
    window.mainImage()->setFocus();
    return app.exec();
}
