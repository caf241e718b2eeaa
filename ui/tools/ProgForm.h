#pragma once

#include <QWidget>
#include <atomic>

#include "engine/ComputeObserver.h"

class QProgressBar;

namespace ui {

// The abort flag of the long operations that show the progress window: set by every key press on
// the main window and by Esc in the progress window, cleared when a progress window opens.
std::atomic<bool>& abortFlag();

// `TProgForm`: a small stay-on-top tool window, centred on the screen, with the bar `ProgBar`.
class TProgForm : public QWidget {
    Q_OBJECT
public:
    explicit TProgForm(QWidget* parent = nullptr);

    // Sets the maximum and the step, the position to 0, clears the abort flag and shows the window.
    void open(int maximum, int step);
    // Advances the bar by one step (not beyond the maximum).
    void stepIt();
    // Moves the bar to `fraction` (0..1) of the maximum.
    void setFraction(double fraction);
    int position() const;
    QProgressBar* bar() const { return m_bar; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QProgressBar* m_bar;
    int m_step = 1;
};

// Shows the progress of a document load or save (run on the GUI thread) in a progress window.
class ProgressWindowObserver : public engine::ComputeObserver {
public:
    ProgressWindowObserver(QWidget* parent, int maximum);
    ~ProgressWindowObserver() override;
    void progressChanged(double fraction) override;

private:
    TProgForm* m_form;
};

}  // namespace ui
