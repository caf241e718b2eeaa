#pragma once

#include <QDialog>
#include <QWidget>

#include "colour/editors/ColourTableEditorModel.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTimer;

namespace ui {

class BackgroundRecolourer;
class TMainForm;

// The strip of the 24-bit editor: the table's colours from the scale's start to its end at the zoom
// factor, and a line per boundary (white for the selected one). The mouse selects (click), adds
// (double-click), zooms (zoom mode; Alt zooms out) and drags (move mode); the right button ends the modes.
// From the keyboard Left and Right (Shift: ten pixels) move a strip cursor, Space selects the boundary
// nearest to it, Insert adds one there, + and - zoom in and out there, Escape ends the modes.
class ColourStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int StripWidth = 400, StripHeight = 40;
    ColourStrip(colour::editors::ColourTableEditorModel& model, const colour::Colour24State& document,
                int language, QWidget* parent);

    int cursorX() const { return m_cursorX; }
    void setCursorX(int x);
    // The strip as painted now.
    QImage render() const;
    // Repaints and renames the strip for screen readers (the values at both ends and under the cursor).
    void refresh();

signals:
    void clicked(int x, bool alt);
    void doubleClicked(int x);
    void dragged(int dx);
    void rightPressed();
    // From the keyboard: select (Space) or add (Insert) at the cursor; zoom in or out (+, -).
    void selectAt(int x);
    void addAt(int x);
    void zoomAt(int x, bool out);
    void escapePressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void paint(QPainter& painter) const;
    void updateCursorShape(bool altHeld);

    colour::editors::ColourTableEditorModel& m_model;
    const colour::Colour24State& m_document;
    int m_language;
    int m_cursorX = StripWidth / 2;
    bool m_dragging = false;
    int m_lastDragX = 0;
};

// `TColor24bForm`, the 24-bit colour editor: the table mode and the calculation parameters (page one),
// and in "Color table" mode the boundaries on a zoomable strip (page two): selecting, adding, moving
// (track bar, arrows, position edit), deleting and colouring them, the scale's colours, the biomorph
// and filaments colours, open, drop and save, and the preview buttons the `Prev` preference drives.
// Most edits recolour the picture 300 ms after the last one, in the background. Ending it (OK keeps the
// edits, anything else restores the document) recolours the picture for good.
class TColor24bForm : public QDialog {
    Q_OBJECT
public:
    // tag 1: from the colour menu (page one); 2: from the picture's menu (page two in "Color table" mode).
    TColor24bForm(TMainForm& window, int tag);
    ~TColor24bForm() override;

    colour::editors::ColourTableEditorModel& model() { return m_model; }
    ColourStrip* strip() const { return m_strip; }
    BackgroundRecolourer& recolourer() { return *m_recolourer; }
    QTabWidget* pages() const { return m_pages; }
    const QString& statusText() const { return m_status; }
    const QString& tableCaption() const { return m_caption; }
    bool previewOn() const { return m_preview; }
    // The refresh timer (300 ms) and the position edit's delay (500 ms).
    QTimer* refreshTimer() const { return m_refresh; }
    QTimer* positionTimer() const { return m_positionDelay; }
    // A file dropped on the editor: read as a colour table (".p24") without a dialog.
    void openDroppedFile(const QString& path);

    void done(int result) override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* buildBoundariesPage();
    QWidget* buildTablePage();
    QPushButton* makeButton(QWidget* parent, const char* name, int hintText, bool checkable = false);
    void setStatus(const QString& text);
    void applyControlRules();
    void updateBoundaryControls();
    void updateStripLabels();
    void refillBoundaryList();
    void startRefresh();
    void onRefresh();
    void recolour();
    void onStripClick(int x, bool alt);
    void onStripDoubleClick(int x);
    void onStripDrag(int dx);
    void endStripModes();
    void onTrackBar(int value);
    void onPositionEdit(int value);
    void applyTypedPosition();
    void onBoundaryChosen(int index);
    void onDelete();
    void pickPanelColour(colour::editors::ColourTableEditorModel::Panel panel);
    void pickSpecialColour(colour::editors::ColourTableEditorModel::Panel panel, bool fromFirstPage);
    void onMode(int index);
    void onParams();
    void onZoomButton(bool move);
    void onResetZoom();
    void onPreview(QPushButton* button);
    void openTable(const QString& droppedFile);
    void saveTable();
    void paintPanel(QPushButton* panel, uint32_t colour);

    TMainForm& m_window;
    int m_language;
    int m_tag;
    colour::editors::ColourTableEditorModel m_model;
    BackgroundRecolourer* m_recolourer;
    bool m_preview;
    bool m_initialising = true;
    QTabWidget* m_pages = nullptr;
    ColourStrip* m_strip = nullptr;
    QComboBox *m_mode = nullptr, *m_hueFunction = nullptr, *m_valueFunction = nullptr, *m_boundaries = nullptr;
    QSpinBox *m_hueOffset = nullptr, *m_hueMult = nullptr, *m_valueMult = nullptr, *m_position = nullptr;
    QGroupBox* m_params = nullptr;
    QSlider* m_track = nullptr;
    QPushButton *m_bottomColour = nullptr, *m_topColour = nullptr, *m_selUpper = nullptr, *m_selLower = nullptr;
    QPushButton *m_left = nullptr, *m_right = nullptr, *m_delete = nullptr;
    QPushButton *m_zoomIn = nullptr, *m_zoomMove = nullptr, *m_zoomLabel = nullptr;
    QPushButton *m_open = nullptr, *m_save = nullptr, *m_biomorph = nullptr, *m_see = nullptr, *m_filaments = nullptr;
    QPushButton *m_biomorph2 = nullptr, *m_see2 = nullptr, *m_filaments2 = nullptr;
    QLabel *m_loLabel = nullptr, *m_hiLabel = nullptr, *m_startLabel = nullptr, *m_endLabel = nullptr;
    QTimer* m_refresh = nullptr;
    QTimer* m_positionDelay = nullptr;
    QString m_status, m_caption;
    bool m_ended = false;
};

// "24 bits Color" (tag 1) and "Colors" of the picture's menus on a 24-bit image (tag 2). True when OK was
// chosen.
bool runTable24Command(TMainForm& window, int tag);
// "Colors" of the picture's menus: the 8-bit editor on an 8-bit image, the 24-bit one (tag 2) otherwise.
bool runColoursPopupCommand(TMainForm& window);

}  // namespace ui
