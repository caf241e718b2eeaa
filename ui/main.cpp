#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <cstdio>
#include <cstring>
#include <optional>

#include "ui/BatchPrint.h"
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

// --print and --print-parameters print one page to a PDF file and end, with or without a display.
int printWithoutWindow(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString error;
    const std::optional<ui::BatchPrintOptions> options = ui::parseBatchPrint(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "vorex: %s\n%s", qPrintable(error), ui::BatchPrintUsage);
        return 2;
    }
    // No window is shown: the offscreen platform gives the fonts and the printer without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int status = ui::runBatchPrint(*options, QCoreApplication::applicationDirPath(), &error);
    if (status != 0)
        std::fprintf(stderr, "vorex: %s\n", qPrintable(error));
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--print") == 0 || std::strcmp(argv[i], "--print-parameters") == 0)
            return printWithoutWindow(argc, argv);
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
