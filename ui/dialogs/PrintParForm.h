#pragma once

#include <QDialog>

#include "storage/Preferences.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace ui {

// `TPrintParForm`, "Print parameters": the printer, the font of the parameter sheet (name, size in
// points, colour) with "More ..." for the font dialog, and "Print Markers". It edits a copy of the
// preferences; OK keeps the font (see prefs()).
class TPrintParForm : public QDialog {
    Q_OBJECT
public:
    TPrintParForm(const storage::Preferences& prefs, const QStringList& printers, int printer, int language,
                  int fontSize, QWidget* parent = nullptr);

    const storage::Preferences& prefs() const { return m_prefs; }
    bool printMarkers() const;
    int chosenPrinter() const;
    // Takes a font and colour as the font dialog gives them.
    void setSheetFont(const QFont& font, const QColor& colour);

private:
    void moreFont();
    void showFont();

    storage::Preferences m_prefs;
    int m_language;
    QComboBox* m_printer;
    QLabel* m_fontName;
    QLabel* m_fontSize;
    QLabel* m_fontColour;
    QPushButton* m_more;
    QCheckBox* m_markers;
};

class TMainForm;
// "Print Fractal Parameters": the dialog, then the parameter sheet on the chosen printer (a PDF file
// name asked first when printing to a file); the font goes back to the preferences. True when printed.
bool runPrintParametersCommand(TMainForm& window);

}  // namespace ui
