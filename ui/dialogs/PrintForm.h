#pragma once

#include <QDialog>
#include <functional>

#include "storage/Preferences.h"
#include "storage/PrintLayout.h"
#include "ui/PrintPages.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QPrinter;

namespace ui {

// `TPrintForm`, "Print fractal": the printer with its resolution, paper and printable area, the image's
// size and depth, the printing resolution (the list 72 .. 1200 dpi or a custom value), centring, and
// "&Detail" for the frame and caption (TPrintCfgForm). The image's printed size follows every change;
// OK is enabled only while the image fits the printable area.
class TPrintForm : public QDialog {
    Q_OBJECT
public:
    struct Context {
        int width = 1, height = 1;
        uint8_t pixelFormat = 8;
        int language = 0;
        int fontSize = 8;
        // The printers offered (the last entry prints to a PDF file) and the metrics of each.
        QStringList printers;
        int printer = 0;
        std::function<storage::PrinterMetrics(int printer)> metrics;
    };
    TPrintForm(const storage::Preferences& prefs, Context context, QWidget* parent = nullptr);

    // The placement as last computed, and the resolution it used.
    const storage::ImagePlacement& placement() const { return m_place; }
    int resolution() const { return m_dpi; }
    bool okEnabled() const;
    int chosenPrinter() const;
    // The print settings of the dialog (valid at any time; what OK prints).
    ImagePrintSettings settings() const;
    // The preferences with the dialog's choices, as written back on OK: the list index, the custom
    // value when it was used, the frame and the caption.
    const storage::Preferences& prefs() const { return m_prefs; }

    void accept() override;

private:
    void printerChanged();
    void update();
    void details();

    storage::Preferences m_prefs;
    Context m_context;
    storage::PrinterMetrics m_metrics;
    storage::ImagePlacement m_place;
    int m_dpi = 200;
    QComboBox* m_printer;
    QLabel* m_printerDpi;
    QLabel* m_paper;
    QLabel* m_area;
    QLabel* m_image;
    QComboBox* m_resolution;
    QCheckBox* m_custom;
    QSpinBox* m_customDpi;
    QLabel* m_printedSize;
    QCheckBox* m_centre;
    QPushButton* m_detail;
    QPushButton* m_ok;
};

// The general float format of the dialog's millimetres (up to 15 significant digits).
QString millimetres(double mm);

// The printers a print dialog offers: the system's, then printing to a PDF file (the last entry).
struct PrinterChoice {
    QStringList names;
    int pdfEntry = 0;
    int current = 0;  // the entry of the printer as it is set now
};
PrinterChoice printerChoice(const QPrinter& printer, int language);
// Sets `printer` to entry `index` of `choice` and returns its measures.
storage::PrinterMetrics selectPrinter(QPrinter& printer, const PrinterChoice& choice, int index);

class TMainForm;
// "Print Fractal": the print dialog on the window's printer; OK prints the page ("Printing ..." in the
// status line, a PDF file name asked first when printing to a file) and writes the settings back to the
// preferences. True when a page was printed.
bool runPrintCommand(TMainForm& window);

// Prints one page with `page` on `printer`, or into the PDF file `pdfPath` when it is not empty, with the
// "Printing" status and the wait cursor meanwhile; a failure is reported in a message box. Both print
// dialogs end here.
bool printFromWindow(TMainForm& window, QPrinter& printer, const QString& pdfPath,
                     const std::function<bool(QPrinter&, QString*)>& page);

}  // namespace ui
