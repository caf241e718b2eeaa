#pragma once

#include <QDialog>
#include <QPushButton>

#include "storage/Preferences.h"
#include "ui/OsLoad.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;

namespace ui {

// A colour swatch of the preferences dialog: a button showing the colour; clicking it, or Space
// or Enter while it has the focus, opens the colour dialog.
class ColourSwatch : public QPushButton {
    Q_OBJECT
public:
    ColourSwatch(const QString& objectName, uint32_t colourBgr, QWidget* parent);
    // 0x00BBGGRR, red in the low byte.
    uint32_t colourBgr() const { return m_colour; }
    void setColourBgr(uint32_t colour);

private:
    void chooseColour();

    uint32_t m_colour = 0;
};

// `TPrefForm`: language, preview mode, OS load, hints, beep, the three colours, font and marker size.
// OK stores everything into the values given to the constructor (see result()); Cancel nothing.
class TPrefForm : public QDialog {
    Q_OBJECT
public:
    TPrefForm(const storage::Preferences& prefs, OsLoad load, QWidget* parent = nullptr);

    // The edited preferences and OS load, valid after accept().
    const storage::Preferences& preferences() const { return m_prefs; }
    OsLoad osLoad() const { return m_load; }

    void accept() override;

private:
    void applyTexts();

    storage::Preferences m_prefs;
    OsLoad m_load;
    uint8_t m_pendingLanguage;
    QRadioButton* m_french;
    QRadioButton* m_english;
    QComboBox* m_preview;
    QComboBox* m_loadCombo;
    QCheckBox* m_hints;
    QCheckBox* m_beep;
    QCheckBox* m_computeAfterViewChange;
    ColourSwatch* m_lineColour;
    ColourSwatch* m_rangeColour;
    ColourSwatch* m_markerColour;
    QSpinBox* m_fontSize;
    QSpinBox* m_markerSize;
};

// The marker size the dialog stores: made odd by taking 1 from an even value.
int oddMarkerSize(int size);

class TMainForm;
// "Preferences": the dialog on the window's preferences; OK stores what it edits (the recent files and the
// rest stay as they are) and applies the language, the font size and the priority.
void runPreferencesCommand(TMainForm& window);

}  // namespace ui
