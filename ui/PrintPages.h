#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>

#include "storage/PrintLayout.h"

class QPrinter;

namespace document {
class TFractal;
}
namespace storage {
struct Preferences;
}

namespace ui {

// A stored colour 0x00BBGGRR (red in the low byte) and back.
QColor colourFromBgr(uint32_t bgr);
uint32_t bgrFromColour(const QColor& colour);

// The printer's resolution, paper and printable area.
storage::PrinterMetrics printerMetrics(const QPrinter& printer);

// How the image page is printed (the print dialog's state).
struct ImagePrintSettings {
    int dpi = 200;
    bool centre = true;
    bool frame = false;
    QColor frameColour = Qt::black;
    int frameWidth = 1;
    bool caption = false;
    QFont captionFont;
    QColor captionColour = Qt::black;
};
// The settings of the preferences (the frame, the caption and their fonts; list resolution DpiI),
// centred.
ImagePrintSettings imagePrintSettings(const storage::Preferences& prefs);

// How the parameter sheet is printed.
struct SheetPrintSettings {
    QFont font;
    QColor colour = Qt::black;
    bool markers = false;
    int markerSize = 29;  // screen pixels; drawn at the same size relative to the page's resolution
    QColor markerColour = Qt::black;
};
SheetPrintSettings sheetPrintSettings(const storage::Preferences& prefs);

// A font of the preferences: name and size in points.
QFont printFont(const std::string& name, int points);

// Prints one page: the display bitmap of `f` stretched to the image rectangle at settings.dpi, the frame
// and the caption lines under it. False (with `error`) when the image does not fit the printable area
// or the printer could not be started.
bool printImagePage(QPrinter& printer, const document::TFractal& f, int language, const ImagePrintSettings& settings,
                    QString* error = nullptr);

// Prints the parameter sheet on one page.
bool printParameterSheet(QPrinter& printer, const document::TFractal& f, int language,
                         const SheetPrintSettings& settings, QString* error = nullptr);

}  // namespace ui
