#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>

#include "colour/filters/Filters.h"
#include "document/ComputeProgress.h"
#include "document/ViewHistory.h"
#include "engine/ComputeDriver.h"
#include "ui/AppSettings.h"
#include "ui/CommandTable.h"
#include "ui/DocumentCommands.h"

class QPrinter;
class QScrollArea;
class QThread;
class QTimer;

namespace colour {
class TFract3D;
}
namespace engine {
class OrbitRecorder;
}
namespace document {
class TFractal;
}

namespace ui {

class ComputeRunner;
class ImageCanvas;
enum class ModeKind;
class ModeBinding;
class ImageView;
class MarkerLayer;
class TOrbitForm;
class TProfilForm;
class MainMenus;
class StatusLine;
class TProgForm;
class UiServices;

struct StartupOptions {
    QString programDirectory;                // empty: the directory of the executable
    std::filesystem::path preferencesFile;   // empty: storage::preferencesPath(program directory)
    QStringList arguments;                   // command-line arguments, without the program name
    UiServices* services = nullptr;          // null: the platform's dialogs and beep
};

// `TMainForm`, the main window: every user event enters here. It owns the fractal, the settings,
// the menus (MainMenus), the status line (StatusLine), the picture (ImageView in MainScrollBox)
// and the computation (ComputeRunner).
class TMainForm : public QMainWindow, private DocumentHost {
    Q_OBJECT
public:
    // Start-up: preferences, window state and font, a new document, cursors, screen metrics,
    // machine names, then the document named by the arguments.
    explicit TMainForm(const StartupOptions& options = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    document::TFractal& fractal() { return *m_fractal; }
    AppSettings& settings() { return m_settings; }
    MainMenus& menus() { return *m_menus; }
    StatusLine* statusLine() const { return m_status; }
    ImageView* mainImage() const { return m_image; }
    QScrollArea* scrollBox() const { return m_scroll; }
    ComputeRunner& runner() { return *m_runner; }
    // The mouse modes of the picture, armed by their commands.
    ModeBinding& modes() { return *m_modes; }
    // The markers drawn on the picture.
    MarkerLayer& markerLayer() { return *m_markerLayer; }

    // The orbit window (MainFormTools.cpp): opened, or opened again, by "See Orbits"; null when closed.
    void openOrbitWindow(uint16_t escapeValue, uint16_t maxIter, QPoint topLeft, int language, int fontSize);
    TOrbitForm* orbitForm() const;
    // While the window is open and nothing computes, the computation records its orbits for it: this
    // hands the window's recorder to the kernels, or takes it back. Only called while idle.
    void attachOrbit();
    // The observer of the iteration probe (the orbit window's recorder, while it is open), and the end
    // of the probe: what it recorded is drawn.
    engine::OrbitRecorder* probeOrbit();
    void probeFinished();
    // The cross-section window for an image row (opened, or filled again); null when closed.
    void openProfileWindow(int row);
    TProfilForm* profileForm() const;
    // Closes the orbit and the cross-section windows (the Files, Fractal, Colors and 3D menus).
    void closeToolWindows();
    // The dialogs and the beep the window uses (the platform's, or a test's).
    UiServices& services() { return *m_services; }

    // The status line: an empty message means none (see StatusLine::showStatus).
    void ShowStatus(const QString& message, bool restorePrevious = false);
    // Captions of every menu in the current language, their rules, and the picture's context menu.
    void DrawMainMenus();
    // Ends every mouse mode and palette rotation; default cursor.
    void CancelModes();
    bool QuerySave(text::MessageText title);

    // Runs a command as its menu entry does; nothing happens when its rule disables it.
    void runCommand(Cmd cmd);
    // The state the command rules look at, now.
    CommandState commandState() const;
    bool isIdle() const;
    // The palette rotation loop runs.
    bool rotationRunning() const { return m_rotating; }

    // Takes the whole display bitmap into the picture again (no computation may be running).
    void pictureChanged();
    // "Fit Screen" and "Display at 100%".
    void fit();
    void showAt100();
    bool fitPossible() const;

    // Opens a document as a dropped file does.
    void openDroppedFile(const QString& path);
    // The printer chosen and set up by "Printer Configuration", kept for printing.
    QPrinter& printer();

    // The title: "Vorex", or "Vorex: NAME" for a document with a name.
    void setDocumentTitle(const std::string& fileName);
    // The font size and the process priority of the preferences, applied to the window and the workers.
    void applyFontSize();
    void applyOsLoad();

    // The relief of the 3D parameters, drawn off the user-interface thread with the progress window
    // (Esc stops it and leaves what was drawn); backgroundTaskFinished is emitted when it has ended.
    void draw3D();
    // The plain picture again (leaving the 3D view); keepModified keeps the document's Modified flag.
    void redraw2D(bool keepModified);
    // A long picture operation (3D drawing, filter pass) runs on its thread.
    bool backgroundTaskRunning() const { return m_task != nullptr; }
    // Passes the picture through the filter of `kind` (the settings of filterSettings()) off the
    // user-interface thread with the progress window (Esc stops it, the rows below stay as they were);
    // the kind becomes the menu's check mark. backgroundTaskFinished is emitted at the end.
    void applyFilter(colour::filters::FilterKind kind);
    colour::filters::FilterSettings& filterSettings() { return m_filterSettings; }
    // The projection of the 3D view, refreshed before each drawing.
    colour::TFract3D& fract3D() { return *m_fract3D; }

    // The view history (ViewNavigation.cpp). A command about to change the view (a zoom, a pick, the
    // variables dialog, go-to, a poster move) calls recordViewChange() first: the view in force goes into
    // the history, with its values while the picture holds them. recordView() takes a view captured earlier.
    void recordViewChange();
    void recordView(document::ViewRecord replaced);
    // The view in force, with its values when the picture holds them (and the window is idle).
    document::ViewRecord currentView() const;
    // The view has changed: with the preference "Compute after each view change" the computation starts.
    void viewChanged();
    // Back (true) or Forward: the view comes back from its values when they are held, else it is marked
    // for recalculation.
    void stepView(bool back);
    document::ViewHistory& viewHistory() { return m_history; }
    // Ctrl and the wheel: one zoom step in or out about a pixel of the picture.
    void wheelZoom(QPoint imagePixel, bool zoomIn);

    // The variables dialog (a later feature) is reached through this hook: page 1 fractal,
    // 2 image, 3 from the picture's context menu; newFractal for New. Without a hook the
    // commands that open it do the rest of their work only.
    using VariablesDialogHook = std::function<void(int page, bool newFractal)>;
    // The image size the variables dialog proposes for a new fractal: that of the image before New.
    QSize newFractalSize() const { return m_newFractalSize; }
    void setVariablesDialogHook(VariablesDialogHook hook) { m_variablesHook = std::move(hook); }

signals:
    void computationFinished(engine::ComputeEnd end);
    void backgroundTaskFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // DocumentHost
    QWidget* dialogParent() override { return this; }
    void showStatusMessage(const QString& message) override { ShowStatus(message); }
    void setBusyCursor(bool busy) override;

    void buildWindow();
    void applyWindowPreferences();
    void readMachineNames();
    void readScreenMetrics();
    void openCommandLine(const QStringList& arguments);
    void handleLoad(const DocumentCommands::OpenResult& result);
    void resetDocument();
    void openVariablesDialog(int page, bool newFractal);

    void onMenuOpening(MenuId menu);
    void onStatusPanelDoubleClicked(int panel);
    void onRowsReady(int first, int last);
    void onComputationStarted(int rows);
    void showProgress();
    void onComputationFinished(engine::ComputeEnd end);
    void onImagePressed();
    void onContextMenu(const QPoint& globalPos);
    // The picture's context menu from the keyboard: at the keyboard cursor of a mode, or in the
    // middle of the visible picture.
    void openContextMenuFromKeyboard();
    void handleEscape();

    // Command handlers (MainFormCommands.cpp).
    void cmdNew();
    void cmdOpen();
    void cmdOpenRecent(int index);
    void cmdSave(bool saveAs);
    void cmdCompute(bool fromStart);
    void cmdStop();
    void cmdErase();
    void cmdRotate(bool outwards);
    void rotationStep();
    void finishRotation();
    void cmdSystemPalette();
    void cmdToggleMarkers();
    void cmdDeleteMarkers();
    void startMode(ModeKind kind);
    // Runs `work` on a thread of its own with the progress window open; `work` gets the stop flag (set
    // by Esc) and reports its progress (done of total, from any thread). `done` runs afterwards on the
    // user-interface thread. While it runs the window is not idle.
    using BackgroundWork = std::function<void(const std::atomic<bool>* stop,
                                              const std::function<void(int done, int total)>& progress)>;
    void startBackground(BackgroundWork work, std::function<void()> done);

    std::unique_ptr<document::TFractal> m_fractal;
    AppSettings m_settings;
    std::unique_ptr<UiServices> m_ownServices;
    UiServices* m_services = nullptr;
    std::unique_ptr<DocumentCommands> m_documents;
    std::unique_ptr<QPrinter> m_printer;
    MainMenus* m_menus = nullptr;
    StatusLine* m_status = nullptr;
    ImageView* m_image = nullptr;
    QScrollArea* m_scroll = nullptr;
    ComputeRunner* m_runner = nullptr;
    QTimer* m_formTimer = nullptr;     // MainFormTimer, for the zoom rectangle
    QTimer* m_rotationTimer = nullptr; // drives the palette rotation loop
    bool m_rotateOutwards = true;
    bool m_rotating = false;  // the palette rotation loop runs; cleared by the mode reset, a new document and closing
    // The last filter applied (the menu's check mark) and the settings of both filters, kept for the run.
    colour::filters::FilterSettings m_filterSettings;
    int m_resumeLineShown = 0;         // ResumeLine as the GUI last read it while idle
    bool m_applicationWasInactive = false;
    VariablesDialogHook m_variablesHook;
    std::unique_ptr<MarkerLayer> m_markerLayer;
    QPointer<TOrbitForm> m_orbitForm;
    QPointer<TProfilForm> m_profileForm;
    // The recorder the kernels write to (FractalCore::State.Orbit); kept alive until the next idle moment.
    std::shared_ptr<engine::OrbitRecorder> m_orbitInUse;
    std::unique_ptr<ImageCanvas> m_canvas;  // the picture as the mouse modes draw on it
    ModeBinding* m_modes = nullptr;
    std::unique_ptr<colour::TFract3D> m_fract3D;
    QThread* m_task = nullptr;           // the long picture operation running, if any
    TProgForm* m_taskProgress = nullptr; // its progress window
    document::ComputeProgress m_progress;  // of the computation running
    QElapsedTimer m_progressClock;
    QSize m_newFractalSize{640, 480};
    document::ViewHistory m_history;     // the views of this document, cleared with a new one
    bool m_valuesHeld = false;           // Data holds the values of the view (not erased or reset since)
};

}  // namespace ui
