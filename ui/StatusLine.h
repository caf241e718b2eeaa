#pragma once

#include <QStatusBar>
#include <array>

class QLabel;
class QProgressBar;

namespace document {
class TFractal;
}

namespace ui {

// What the status line shows besides the message.
struct StatusInputs {
    int language = 1;
    int width = 1, height = 1;
    int pixelFormat = 3;
    QString typeText;          // panel 2, see typePanelText
    double displayScale = 1.0;
    bool stale = false;        // the parameters need a recalculation
    bool idle = true;
};

// The five-panel status line `StatusBar`: 0 the line being computed, 1 the image size and depth,
// 2 the fractal type and algorithm, 3 the display scale, 4 the message. Each panel is a label
// named StatusPanel0 .. StatusPanel4.
class StatusLine : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int PanelCount = 5;
    static constexpr int MessagePanel = 4;
    static constexpr int SavedMessageLength = 40;

    explicit StatusLine(QWidget* parent = nullptr);

    QLabel* panel(int index) const { return m_panels[size_t(index)]; }
    QString panelText(int index) const;

    // Refreshes the whole line. An empty message means no message: panel 4 then tells that the
    // fractal must be re-calculated, or that a computation is running. With restorePrevious the
    // message saved by the previous call (at most 40 characters) comes back instead of `message`.
    void showStatus(const QString& message, bool restorePrevious, const StatusInputs& in);
    // Panel 0: the number of the line being computed.
    void showLine(int row);
    // The progress bar at the end of the line ("ProgressBar"), shown while a computation runs: `percent`
    // of the rows done, `text` beside the percentage (the time left), named in `language`.
    void showProgress(int percent, const QString& text, int language);
    void hideProgress();
    QProgressBar* progressBar() const { return m_progress; }

signals:
    // A double-click on panel `index` (0..4).
    void panelDoubleClicked(int index);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int panelAt(int x) const;
    void setPanelWidth(int index, int width);

    std::array<QLabel*, PanelCount> m_panels{};
    QString m_saved;
    QProgressBar* m_progress = nullptr;
};

// "640x480x8 bit": width, height and the depth name of the pixel format code.
QString sizePanelText(int width, int height, int pixelFormat);
// Type and algorithm of the edited parameters in `language`: "Mandelbrot Z^2+C / Level",
// "Mandelbrot fn(Z)C / Level [fn=sin]".
QString typePanelText(const document::TFractal& f, int language);
// "100%": the display scale as a rounded percentage.
QString scalePanelText(double scale);

}  // namespace ui
