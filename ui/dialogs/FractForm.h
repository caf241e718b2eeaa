#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

#include "colour/Palette.h"
#include "document/Fractal.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace ui {

// What the variables dialog needs from around it. Every member has a working default.
struct FractFormOptions {
    // Physical memory the system can give now, in bytes (storage::availablePhysicalMemory).
    std::function<uint64_t()> availableMemory;
    // Shows a status-line message ("Allocating Memory for BitMap..."); none by default.
    std::function<void(const QString&)> showStatus;
    // Reports an allocation failure ("No Memory for ..."); a message box by default.
    std::function<void(const QString&)> showError;
    // Asks whether to correct a colour set-up that does not suit the algorithm; TFractMesForm by default.
    std::function<bool(QWidget* parent)> askColourCorrection;
    // Called first thing on OK: the markers are hidden before the parameters change.
    std::function<void()> hideMarkers;
    int fontSize = 8;
    bool hints = true;
    // For a new fractal, the image size shown instead of the document's (1 x 1 after New); none: the document's.
    int proposedWidth = 0, proposedHeight = 0;
};

// `TFractForm`: the modal dialog of the fractal's variables. It edits a private copy of the
// parameters on five pages (TabSheet1..TabSheet5) and writes the copy back on OK (accept()); Cancel
// leaves the fractal as it was. The fractal must be idle while the dialog is open.
//
// Float fields (XEdit, YEdit, PEdit, JuliaCEdit, JuliaCiEdit, PertZEdit, PertZiEdit and the scale
// box ZComboBox) accept only digits, "-", ".", "E" and "e"; when one is left its text is taken, then
// every float field is clamped to the limits of the type and all of them are written again. A text
// that is not a number leaves the field's value as it was.
class TFractForm : public QDialog {
    Q_OBJECT
public:
    // page: 1 Fractal, 2 Image, 3 Variables, 4 Dimensions. newFractal: opened by New (ticks the
    // defaults box and starts an empty document when the image is allocated again).
    TFractForm(document::TFractal& fractal, int page, bool newFractal, int language,
               FractFormOptions options = {}, QWidget* parent = nullptr);
    ~TFractForm() override;

    void accept() override;

    // After accept(): the workspace was allocated again (size, depth, algorithm or iterations changed).
    bool imageReallocated() const { return m_reallocated; }
    // After accept(): the allocation failed and the document was reset to a new, empty one.
    bool allocationFailed() const { return m_allocationFailed; }
    // After accept(): the colour check installed the default palette.
    bool coloursCorrected() const { return m_coloursCorrected; }

    // The working copy, for the memory figures and the clipboard text.
    const engine::FractalParams& working() const { return m_work; }

    // Scale and step of a type: step = 1 / (ZoomBase x scale).
    static double stepFromScale(double scale) { return engine::stepFromZoom(scale); }
    static double scaleFromStep(double step) { return engine::zoomFromStep(step); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum FloatTag : int { TagX = 1, TagY, TagStep, TagCr, TagCi, TagPr, TagPi, TagScale = 20 };

    void buildPages();
    QWidget* buildFractalPage();
    QWidget* buildImagePage();
    QWidget* buildVariablesPage();
    QWidget* buildDimensionsPage();
    QWidget* buildMorePage();
    QLineEdit* floatEdit(const char* name, FloatTag tag);

    void loadControls();
    void fillAlgorithms();
    void fillBailouts();
    void selectPreset();
    void writeFloatFields();
    void refreshCorners();
    void refreshStates();
    // Names every field for screen readers after its label and its page ("Variables: X Center"); the
    // fields whose label follows the type are named again when it changes.
    void nameFields();
    void refreshStepButtons();
    void refreshMemory();

    void typeChosen(int index);
    void algorithmChosen(int index);
    void floatFieldLeft(FloatTag tag, const QString& text);
    void clampFloats();
    void stepButton(int tag);
    void presetChosen(int preset);
    void sizeEdited();
    void applyFractalDefaults();
    void applyVariablesDefaults();
    void applyMoreDefaults();
    void restoreImageValues();
    void copyToClipboard();
    bool colourCheck();

    document::TFractal& m_fractal;
    FractFormOptions m_options;
    int m_language;
    bool m_newFractal;
    bool m_loading = false;

    // The working copy.
    engine::FractalParams m_work;
    bool m_periodicity = true;
    uint8_t m_pixelFormat = engine::PixelFormat8;
    colour::Palette m_palette;
    colour::BoundaryKind m_boundaryType = colour::BoundaryKind::Linear;
    uint64_t m_currentUse = 0;  // memory the current image gives back when replaced

    bool m_reallocated = false;
    bool m_allocationFailed = false;
    bool m_coloursCorrected = false;

    QTabWidget* m_pages = nullptr;
    // Fractal page.
    QComboBox* m_type = nullptr;
    QComboBox* m_algorithm = nullptr;
    QSpinBox* m_iterations = nullptr;
    QSpinBox* m_escape = nullptr;
    QLabel* m_escapeLabel = nullptr;
    QCheckBox* m_periodicityCheck = nullptr;
    QComboBox* m_bailout = nullptr;
    QComboBox* m_formula = nullptr;
    QSpinBox* m_newtonP = nullptr;
    QComboBox* m_function = nullptr;
    QLabel* m_newtonLabel = nullptr;
    QCheckBox* m_defaults = nullptr;
    QPushButton* m_defImage2 = nullptr;
    // Image page.
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
    QComboBox* m_depth = nullptr;
    std::array<QRadioButton*, 6> m_presets{};
    QLabel* m_available = nullptr;
    QLabel* m_imageMemory = nullptr;
    QLabel* m_orbitMemory = nullptr;
    QLabel* m_tableMemory = nullptr;
    // Variables page.
    QLineEdit* m_x = nullptr;
    QLineEdit* m_y = nullptr;
    QLineEdit* m_step = nullptr;
    QComboBox* m_scale = nullptr;
    std::array<QPushButton*, 4> m_stepButtons{};  // tags 1..4: "/ 5", "/ 2", "x 2", "x 5"
    // Dimensions page.
    QLineEdit* m_topX = nullptr;
    QLineEdit* m_topY = nullptr;
    QLineEdit* m_botX = nullptr;
    QLineEdit* m_botY = nullptr;
    // More page.
    QLineEdit* m_cr = nullptr;
    QLineEdit* m_ci = nullptr;
    QLabel* m_crLabel = nullptr;
    QLabel* m_ciLabel = nullptr;
    QLineEdit* m_pr = nullptr;
    QLineEdit* m_pi = nullptr;
    QSpinBox* m_delta = nullptr;
    QLabel* m_deltaLabel = nullptr;

    QPushButton* m_ok = nullptr;
};

// The image sizes of the presets RB0..RB4; RB5 is "Custom".
struct SizePreset {
    int width, height;
};
inline constexpr std::array<SizePreset, 5> SizePresets = {{{200, 200}, {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}}};

// Entries of the scale box ZComboBox, smallest first.
extern const std::array<const char*, 37> ScaleList;

class TMainForm;
// The variables dialog of the window's document: page 1 fractal, 2 image, 3 from the picture's context menu;
// newFractal for New. Takes the picture again when the image was reallocated or its colours corrected.
void runVariablesDialog(TMainForm& window, int page, bool newFractal);

}  // namespace ui
