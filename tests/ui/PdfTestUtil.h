#pragma once

// Reading printed PDF pages back with poppler (pdfimages, pdftotext).

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace vxtest {

struct Run {
    int status = -1;
    QString out, err;
};

inline Run run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    Run r;
    if (!p.waitForFinished(120000))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline QString tool(const char* name)
{
    return QStandardPaths::findExecutable(QLatin1String(name));
}

inline bool popplerAvailable()
{
    return !tool("pdfimages").isEmpty() && !tool("pdftotext").isEmpty();
}

struct PlacedImage {
    int width = 0, height = 0, xppi = 0, yppi = 0;
};

// The images of a PDF with their pixel sizes and placed resolutions (pdfimages -list).
inline QList<PlacedImage> pdfImages(const QString& pdf)
{
    const Run r = run(tool("pdfimages"), {QStringLiteral("-list"), pdf});
    QList<PlacedImage> list;
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    for (const QString& line : r.out.split(QLatin1Char('\n'))) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        if (f.size() < 14 || f[2] != QLatin1String("image"))
            continue;
        list.append({f[3].toInt(), f[4].toInt(), f[12].toInt(), f[13].toInt()});
    }
    return list;
}

// The text of the pages (pdftotext -layout), one entry per non-empty line, runs of blanks as one.
inline QStringList pdfText(const QString& pdf)
{
    const Run r = run(tool("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QStringList lines;
    for (QString line : r.out.split(QLatin1Char('\n'))) {
        line = line.simplified();
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

}  // namespace vxtest
