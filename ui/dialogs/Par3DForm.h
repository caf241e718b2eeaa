#pragma once

#include <QDialog>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "colour/View3DParams.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace ui {

// Azimuth as the dialog keeps it: 360 becomes 0, larger values lose 360 until below 360, negative values
// gain 360 until non-negative (725 -> 5, -1 -> 359).
int normaliseAzimuth(int azimuth);

// One of the two small pictures of the 3D dialog: a line from a pivot drawn in XOR mode in cyan
// (0xFFFF00 as 0x00BBGGRR) over a white ground; drawing the same line again erases it.
class AngleIndicator : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Azimuth, Elevation };
    AngleIndicator(Kind kind, const QString& objectName, QWidget* parent);

    // Erases the line of the present angle and draws the one of `degrees`.
    void setAngle(int degrees);
    int angle() const { return m_angle; }
    const QImage& image() const { return m_image; }
    QPoint pivot() const;
    // The far end of the line for `degrees`.
    QPoint endPoint(int degrees) const;

    static constexpr uint32_t LineColourBgr = 0xFFFF00;
    static constexpr int AzimuthLength = 40, ElevationLength = 32;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void xorLine(int degrees);

    Kind m_kind;
    int m_angle = 0;
    QImage m_image;
};

// `TPar3DForm`, the 3D parameters: azimuth, vertical angle, Z scale and limit, focal length (in tenths),
// vertical shift, "Inverted 3D" and "Draw in perspective", Reset, and the memory the relief needs against
// what is free (OK only when the need is at most 86 % of it). It works on a copy of the parameters; OK
// stores the edited ones (see params()), Cancel nothing.
class TPar3DForm : public QDialog {
    Q_OBJECT
public:
    struct Context {
        int width = 1, height = 1;
        uint16_t maxIter = 250;
        bool view3DShown = false;  // the present relief will be replaced: its memory counts as free
        int language = 0;
        int fontSize = 8;
        // The free physical memory in bytes, asked at each check.
        std::function<uint64_t()> freeMemory;
    };
    TPar3DForm(const colour::View3DParams& params, Context context, QWidget* parent = nullptr);

    // The edited parameters, valid after accept().
    const colour::View3DParams& params() const { return m_params; }
    // The memory check as last shown.
    uint64_t neededBytes() const { return m_needed; }
    uint64_t availableBytes() const { return m_available; }
    bool memoryFits() const { return m_fits; }
    // Runs the memory check and shows its figures (also done whenever the dialog paints).
    void checkMemory();

    void accept() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void takeAzimuth();
    void takeElevation();
    void reset();
    void perspectiveChanged();

    colour::View3DParams m_params;
    Context m_context;
    QSpinBox* m_azimuth;
    QSpinBox* m_elevation;
    QSpinBox* m_zScale;
    QSpinBox* m_zLimit;
    QSpinBox* m_focal;
    QSpinBox* m_shift;
    QCheckBox* m_inverted;
    QCheckBox* m_perspective;
    QPushButton* m_reset;
    QPushButton* m_ok;
    QLabel* m_availableFigure;
    QLabel* m_neededFigure;
    AngleIndicator* m_azImage;
    AngleIndicator* m_elevImage;
    int m_lastAzimuth = 0, m_lastElevation = 0;
    uint64_t m_needed = 0, m_available = 0;
    bool m_fits = false;
};

// Thousands separated by commas: 1234567 -> "1,234,567".
QString groupedNumber(uint64_t value);

class TMainForm;
// "3D Parameters" (the 3D menu, "Draw in 3D" and "Redraw 3D"): the dialog on a copy of the document's 3D
// parameters; OK writes them back and draws the relief. True when OK was chosen.
bool runPar3DCommand(TMainForm& window);

}  // namespace ui
