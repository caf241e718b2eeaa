#pragma once

#include <QDialog>

#include "colour/filters/Filters.h"

class QComboBox;
class QRadioButton;
class QSpinBox;

namespace ui {

class ColourSwatch;

// `TEdgesForm`, the edges filter: lines and background each from a fixed colour or from the fractal, the
// background's brightness (with the fractal's colours), and the colour of the inside pixels. It works on a
// copy; OK stores all six values (see settings()), Cancel none.
class TEdgesForm : public QDialog {
    Q_OBJECT
public:
    TEdgesForm(const colour::filters::EdgesSettings& settings, int language, int fontSize, QWidget* parent = nullptr);
    const colour::filters::EdgesSettings& settings() const { return m_settings; }
    void accept() override;

private:
    void showChoices();

    colour::filters::EdgesSettings m_settings;
    QComboBox* m_lines;
    QComboBox* m_background;
    ColourSwatch* m_lineColour;
    ColourSwatch* m_backgroundColour;
    ColourSwatch* m_biomorph;
    QSpinBox* m_brightness;
};

// `TReliefForm`, the emboss filter: depth, contrast, the corner the light comes from and the colour of the
// inside pixels. OK stores the four values (see settings()), Cancel none.
class TReliefForm : public QDialog {
    Q_OBJECT
public:
    TReliefForm(const colour::filters::EmbossSettings& settings, int language, int fontSize, QWidget* parent = nullptr);
    const colour::filters::EmbossSettings& settings() const { return m_settings; }
    void accept() override;

private:
    colour::filters::EmbossSettings m_settings;
    QSpinBox* m_deep;
    QSpinBox* m_contrast;
    QRadioButton* m_light[4];
    ColourSwatch* m_biomorph;
};

class TMainForm;
// The Filters menu: "Edges" and "Relief" (each after its dialog) pass the picture through the filter on a
// thread of their own; "None" shows the plain picture again. The menu's check mark follows the kind.
void runEdgesCommand(TMainForm& window);
void runReliefCommand(TMainForm& window);
void runNoFilterCommand(TMainForm& window);

}  // namespace ui
