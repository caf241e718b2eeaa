#pragma once

#include <QDialog>

#include "storage/Preferences.h"

class QCheckBox;
class QFontComboBox;
class QPushButton;
class QSpinBox;

namespace ui {

// `TPrintCfgForm`, the details of the printed image: the frame ("Border", its colour and width) and the
// caption ("Print Image Caption", its font name, size and colour). It edits a copy of the preferences;
// OK keeps the edits (see prefs()).
class TPrintCfgForm : public QDialog {
    Q_OBJECT
public:
    TPrintCfgForm(const storage::Preferences& prefs, int language, int fontSize, QWidget* parent = nullptr);
    const storage::Preferences& prefs() const { return m_prefs; }
    void accept() override;

private:
    void chooseColour(uint32_t& colour, QPushButton* button);
    static void showColour(QPushButton* button, uint32_t colour);

    storage::Preferences m_prefs;
    QCheckBox* m_border;
    QPushButton* m_frameColour;
    QSpinBox* m_frameWidth;
    QCheckBox* m_caption;
    QFontComboBox* m_font;
    QSpinBox* m_fontSize;
    QPushButton* m_fontColour;
};

}  // namespace ui
