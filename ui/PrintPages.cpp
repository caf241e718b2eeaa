#include "ui/PrintPages.h"

#include <QPageLayout>
#include <QPainter>
#include <QPolygon>
#include <QPrinter>
#include <algorithm>

#include "document/Fractal.h"
#include "storage/Preferences.h"
#include "ui/HeadlessRender.h"

namespace ui {

namespace {

constexpr int CaptionGap = 10;        // device pixels between the image and the first caption line
constexpr double ScreenDpi = 96.0;
constexpr int TabColumns = 16;        // width of a tab column on the parameter sheet, in digits    // the marker size is given in screen pixels

QString fromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The marker symbol centred on `c`: the cross, the four thick ticks and the shape's outline, at a size
// of `size` screen pixels scaled by `scale`.
void drawMarker(QPainter& p, QPoint c, int size, double scale, document::MarkerShape shape, const QColor& colour)
{
    const auto s = [scale](int v) { return int(std::lround(v * scale)); };
    const int h = (size - 1) / 2;
    QPen pen(colour, std::max(1, s(1)));
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawLine(c + QPoint(-s(h), 0), c + QPoint(s(h), 0));
    p.drawLine(c + QPoint(0, -s(h)), c + QPoint(0, s(h)));
    pen.setWidth(std::max(1, s(3)));
    p.setPen(pen);
    p.drawLine(c + QPoint(-s(h - 1), 0), c + QPoint(-s(h - 6), 0));
    p.drawLine(c + QPoint(s(h - 1), 0), c + QPoint(s(h - 6), 0));
    p.drawLine(c + QPoint(0, -s(h - 1)), c + QPoint(0, -s(h - 6)));
    p.drawLine(c + QPoint(0, s(h - 1)), c + QPoint(0, s(h - 6)));
    pen.setWidth(std::max(1, s(1)));
    p.setPen(pen);
    const int r = s(h - 5), e = s(h - 6);
    switch (shape) {
    case document::MarkerShape::Circle: p.drawEllipse(c, r, r); break;
    case document::MarkerShape::Square: p.drawRect(QRect(c - QPoint(e, e), c + QPoint(e, e))); break;
    case document::MarkerShape::Diamond:
        p.drawPolygon(QPolygon({c + QPoint(0, -e), c + QPoint(e, 0), c + QPoint(0, e), c + QPoint(-e, 0)}));
        break;
    case document::MarkerShape::Triangle:
        p.drawPolygon(QPolygon({c + QPoint(0, e), c + QPoint(e, -e), c + QPoint(-e, -e)}));
        break;
    case document::MarkerShape::Simple: break;
    }
}

}  // namespace

QColor colourFromBgr(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

uint32_t bgrFromColour(const QColor& colour)
{
    return uint32_t(colour.red()) | uint32_t(colour.green()) << 8 | uint32_t(colour.blue()) << 16;
}

QFont printFont(const std::string& name, int points)
{
    QFont font(fromUtf8(name));
    font.setStyleHint(QFont::TypeWriter);  // Courier New where there is none: another fixed-pitch font
    font.setPointSize(std::max(1, points));
    return font;
}

storage::PrinterMetrics printerMetrics(const QPrinter& printer)
{
    storage::PrinterMetrics m;
    m.dpiX = printer.logicalDpiX();
    m.dpiY = printer.logicalDpiY();
    const QPageLayout layout = printer.pageLayout();
    const QRectF paper = layout.fullRect(QPageLayout::Millimeter);
    const QRectF printable = layout.paintRect(QPageLayout::Millimeter);
    m.paperWidthMm = paper.width();
    m.paperHeightMm = paper.height();
    m.printableWidthMm = printable.width();
    m.printableHeightMm = printable.height();
    m.printableWidthPx = printer.width();
    m.printableHeightPx = printer.height();
    return m;
}

ImagePrintSettings imagePrintSettings(const storage::Preferences& prefs)
{
    ImagePrintSettings s;
    s.dpi = storage::chosenPrintResolution(prefs.printDpiIndex, false, prefs.printDpi);
    s.centre = true;
    s.frame = prefs.printFrame;
    s.frameColour = colourFromBgr(prefs.printFrameColour);
    s.frameWidth = std::max(1, prefs.printFrameWidth);
    s.caption = prefs.printCaption;
    s.captionFont = printFont(prefs.captionFont, prefs.captionFontSize);
    s.captionColour = colourFromBgr(prefs.captionFontColour);
    return s;
}

SheetPrintSettings sheetPrintSettings(const storage::Preferences& prefs)
{
    SheetPrintSettings s;
    s.font = printFont(prefs.parameterFont, prefs.parameterFontSize);
    s.colour = colourFromBgr(prefs.parameterFontColour);
    s.markerSize = prefs.markerSize;
    s.markerColour = colourFromBgr(prefs.markerColour);
    return s;
}

bool printImagePage(QPrinter& printer, const document::TFractal& f, int language, const ImagePrintSettings& settings,
                    QString* error)
{
    const QImage image = bitmapToImage(f);
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("There is no image to print");
        return false;
    }
    const storage::ImagePlacement place =
        storage::placeImage(image.width(), image.height(), settings.dpi, printerMetrics(printer), settings.centre);
    if (!place.fits) {
        if (error)
            *error = QStringLiteral("The image does not fit the page at %1 dpi: %2 x %3 mm")
                         .arg(settings.dpi)
                         .arg(place.widthMm, 0, 'f', 2)
                         .arg(place.heightMm, 0, 'f', 2);
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = QStringLiteral("The printer could not be started");
        return false;
    }
    const QRect rect(place.left, place.top, place.width, place.height);
    // The pixels as they are: no lossy compression where the page is a file.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(rect, image);
    if (settings.frame) {
        QPen pen(settings.frameColour, settings.frameWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
    }
    if (settings.caption) {
        painter.setFont(settings.captionFont);
        painter.setPen(settings.captionColour);
        const int lineHeight = painter.fontMetrics().height();
        int y = rect.bottom() + 1 + CaptionGap;
        for (const std::string& line : storage::captionLines(f, language)) {
            painter.drawText(QRect(rect.left(), y, printer.width() - rect.left(), lineHeight),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, fromUtf8(line));
            y += lineHeight;
        }
    }
    return painter.end();
}

bool printParameterSheet(QPrinter& printer, const document::TFractal& f, int language,
                         const SheetPrintSettings& settings, QString* error)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = QStringLiteral("The printer could not be started");
        return false;
    }
    painter.setFont(settings.font);
    const int lineHeight = painter.fontMetrics().height();
    const double scale = printer.logicalDpiX() / ScreenDpi;
    const int markerSpace = int(std::lround(settings.markerSize * scale));
    const int tabWidth = painter.fontMetrics().horizontalAdvance(QString(TabColumns, QLatin1Char('0')));
    int y = 0;
    for (const storage::SheetLine& line : storage::parameterSheetLines(f, language, settings.markers)) {
        int x = 0, height = lineHeight;
        if (line.marker) {
            // The marker at its size, its line beside it.
            height = std::max(lineHeight, markerSpace + lineHeight / 2);
            drawMarker(painter, QPoint(markerSpace / 2, y + height / 2), settings.markerSize, scale, line.shape,
                       settings.markerColour);
            x = markerSpace + lineHeight;
        }
        painter.setPen(settings.colour);
        // A tab starts the second column.
        const QStringList columns = fromUtf8(line.text).split(QLatin1Char('\t'));
        for (const QString& column : columns) {
            painter.drawText(QRect(x, y, std::max(1, printer.width() - x), height),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, column);
            x += std::max(tabWidth, painter.fontMetrics().horizontalAdvance(column) + lineHeight);
        }
        y += height;
    }
    return painter.end();
}

}  // namespace ui
