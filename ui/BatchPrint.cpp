#include "ui/BatchPrint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "document/Fractal.h"
#include "storage/Document.h"
#include "storage/Preferences.h"
#include "ui/PrintPages.h"

namespace ui {

const char* const BatchPrintUsage =
    "usage: vorex --print FILE.mbt --pdf OUT.pdf [--dpi N] [--border] [--caption] [--centre]\n"
    "       vorex --print-parameters FILE.mbt --pdf OUT.pdf\n";

bool isBatchPrint(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--print")) || arguments.contains(QStringLiteral("--print-parameters"));
}

std::optional<BatchPrintOptions> parseBatchPrint(const QStringList& arguments, QString* error)
{
    BatchPrintOptions o;
    bool modeSeen = false;
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&](QString* out) {
            if (i + 1 >= arguments.size())
                return false;
            *out = arguments[++i];
            return true;
        };
        if (a == QLatin1String("--print") || a == QLatin1String("--print-parameters")) {
            if (modeSeen)
                return fail(QStringLiteral("give one of --print and --print-parameters"));
            modeSeen = true;
            o.parameters = a == QLatin1String("--print-parameters");
            if (!value(&o.document))
                return fail(a + QStringLiteral(": the document FILE.mbt is missing"));
        } else if (a == QLatin1String("--pdf")) {
            if (!value(&o.pdf))
                return fail(QStringLiteral("--pdf: the file to write is missing"));
        } else if (a == QLatin1String("--dpi")) {
            QString v;
            bool ok = false;
            const int dpi = value(&v) ? v.toInt(&ok) : 0;
            if (!ok || dpi < 1 || dpi > 10000)
                return fail(QStringLiteral("--dpi: expects a resolution of 1 to 10000 dots per inch, not \"%1\"").arg(v));
            o.dpi = dpi;
        } else if (a == QLatin1String("--border")) {
            o.border = true;
        } else if (a == QLatin1String("--caption")) {
            o.caption = true;
        } else if (a == QLatin1String("--centre") || a == QLatin1String("--center")) {
            o.centre = true;
        } else {
            return fail(a + QStringLiteral(": unknown option"));
        }
    }
    if (!modeSeen)
        return fail(QStringLiteral("--print or --print-parameters is missing"));
    if (o.pdf.isEmpty())
        return fail(QStringLiteral("--pdf OUT.pdf is missing"));
    if (o.parameters && (o.dpi || o.border || o.caption || o.centre))
        return fail(QStringLiteral("--dpi, --border, --caption and --centre belong to --print"));
    return o;
}

bool printPdfFile(QPrinter& printer, const QString& target, const std::function<bool(QPrinter&, QString*)>& page,
                  QString* error)
{
    const QFileInfo file(target);
    QTemporaryFile temporary(file.absoluteDir().filePath(QStringLiteral(".vorex-print-XXXXXX.pdf")));
    if (!temporary.open()) {
        if (error)
            *error = QStringLiteral("the file cannot be written");
        return false;
    }
    temporary.close();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(temporary.fileName());
    const bool printed = page(printer, error);
    printer.setOutputFileName(QString());
    if (!printed)
        return false;
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(temporary.fileName()).toStdString(),
                            QFile::encodeName(file.absoluteFilePath()).toStdString(), ec);
    if (ec) {
        if (error)
            *error = QStringLiteral("the file cannot be written");
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
}

int runBatchPrint(const BatchPrintOptions& options, const QString& programDirectory, QString* message)
{
    auto fail = [message](const QString& text) {
        if (message)
            *message = text;
        return 1;
    };
    const storage::Preferences prefs =
        storage::loadPreferences(storage::preferencesPath(QFile::encodeName(programDirectory).toStdString()));
    document::TFractal f;
    const storage::LoadResult load = storage::LoadDocument(f, QFile::encodeName(options.document).toStdString(), nullptr);
    if (load != storage::LoadResult::Ok)
        return fail(options.document + (load == storage::LoadResult::NotEnoughMemory
                                            ? QStringLiteral(": Not enough memory to open file")
                                            : QStringLiteral(": Error reading file")));

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QString::fromStdString(f.FileName));
    const int language = prefs.language;
    QString error;
    const bool printed = printPdfFile(printer, options.pdf, [&](QPrinter& p, QString* e) {
        if (options.parameters)
            return printParameterSheet(p, f, language, sheetPrintSettings(prefs), e);
        ImagePrintSettings s = imagePrintSettings(prefs);
        if (options.dpi)
            s.dpi = options.dpi;
        s.frame = options.border;
        s.caption = options.caption;
        s.centre = options.centre;
        return printImagePage(p, f, language, s, e);
    }, &error);
    if (!printed)
        return fail(options.pdf + QStringLiteral(": ") + error);
    return 0;
}

}  // namespace ui
