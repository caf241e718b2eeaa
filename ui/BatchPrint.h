#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QPrinter;

namespace ui {

// Printing to a PDF file without a window:
//   vorex --print FILE.mbt --pdf OUT.pdf [--dpi N] [--border] [--caption] [--centre]
//   vorex --print-parameters FILE.mbt --pdf OUT.pdf
// One page, printed by the code of the print dialogs with the fonts, colours and frame width of the
// preferences; the resolution is --dpi N, else the print dialog's (DpiI).
struct BatchPrintOptions {
    bool parameters = false;  // --print-parameters: the parameter sheet
    QString document, pdf;
    int dpi = 0;              // 0: the preference's
    bool border = false, caption = false, centre = false;
};

// True when the arguments ask for batch printing (--print or --print-parameters is among them).
bool isBatchPrint(const QStringList& arguments);

// The options, or nothing with `error` set on a bad command line.
std::optional<BatchPrintOptions> parseBatchPrint(const QStringList& arguments, QString* error);

// Prints the page. The PDF is written beside OUT.pdf under a temporary name and renamed over it only
// when complete, so a failed print never leaves a partial file over an existing one. Returns the exit
// status: 0 printed; 1 the document could not be read, the image does not fit the page or the file
// could not be written (`message` says which). Needs a QGuiApplication.
int runBatchPrint(const BatchPrintOptions& options, const QString& programDirectory, QString* message);

// Prints one page with `page` on `printer` to the PDF file `target`: the page goes to a temporary file
// beside it, renamed over it only when complete, so that a failure never leaves a partial file over an
// existing one. False with `error` when the page or the file failed.
bool printPdfFile(QPrinter& printer, const QString& target, const std::function<bool(QPrinter&, QString*)>& page,
                  QString* error);

// The usage lines.
extern const char* const BatchPrintUsage;

}  // namespace ui
