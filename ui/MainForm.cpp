#include "ui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QSysInfo>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "colour/Fract3D.h"
#include "document/Recolour.h"
#include "document/Fractal.h"
#include "storage/Workspace.h"
#include "ui/ComputeRunner.h"
#include "ui/Cursors.h"
#include "ui/Accessibility.h"
#include "ui/dialogs/FractForm.h"
#include "ui/ImageView.h"
#include "ui/QtLanguage.h"
#include "ui/modes/Canvas.h"
#include "ui/modes/ModeBinding.h"
#include "ui/modes/ModeController.h"
#include "ui/modes/MouseMode.h"
#include "ui/MainMenus.h"
#include "ui/tools/MarkerLayer.h"
#include "ui/tools/ProgForm.h"
#include "ui/StatusLine.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"

namespace ui {

namespace {

constexpr int TopPanelHeight = 25;
constexpr int MinimumWindowSide = 200;
constexpr int DesignWidth = 645, DesignHeight = 434;
constexpr int FitMargin = 40;
constexpr double FitShrink = 0.95;
constexpr int StopWaitMilliseconds = 5000;

QString withSeparator(const QString& directory)
{
    return directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
}

}  // namespace

TMainForm::TMainForm(const StartupOptions& options, QWidget* parent)
    : QMainWindow(parent), m_fractal(std::make_unique<document::TFractal>()),
      m_fract3D(std::make_unique<colour::TFract3D>())
{
    setObjectName(QStringLiteral("MainForm"));
    installAccessibility();
    if (options.services) {
        m_services = options.services;
    } else {
        m_ownServices = std::make_unique<QtUiServices>();
        m_services = m_ownServices.get();
    }

    // 1. Title; program directory and the working directories.
    setDocumentTitle({});
    m_settings.programDirectory = withSeparator(
        options.programDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : options.programDirectory);
    m_settings.fractalDirectory = m_settings.paletteDirectory = m_settings.exportDirectory = m_settings.programDirectory;

    // 2. Preferences.
    m_settings.preferencesFile = options.preferencesFile.empty()
        ? storage::preferencesPath(QFile::encodeName(m_settings.programDirectory).toStdString())
        : options.preferencesFile;
    m_settings.prefs = storage::loadPreferences(m_settings.preferencesFile);
    applyQtLanguage(m_settings.language());
    // The dialogs start where the last document was, or where files can be written.
    m_settings.fractalDirectory =
        startDirectory(m_settings.programDirectory, m_settings.prefs.recentFiles[0], QDir::homePath());
    m_settings.paletteDirectory = m_settings.exportDirectory =
        startDirectory(m_settings.programDirectory, std::string(), QDir::homePath());

    // 3. Window state, size and font.
    buildWindow();
    m_markerLayer = std::make_unique<MarkerLayer>(*this);
    applyWindowPreferences();
    applyFontSize();

    // 4, 5. The fractal with its defaults and an empty image.
    m_documents = std::make_unique<DocumentCommands>(*m_fractal, m_settings, *m_services, static_cast<DocumentHost&>(*this));
    m_runner = new ComputeRunner(*m_fractal, this);
    connect(m_runner, &ComputeRunner::rowsReady, this, &TMainForm::onRowsReady);
    connect(m_runner, &ComputeRunner::started, this, &TMainForm::onComputationStarted);
    connect(m_runner, &ComputeRunner::finished, this, &TMainForm::onComputationFinished);
    resetDocument();

    // 6. Menus.
    DrawMainMenus();

    // 7. The fifteen marker slots.
    if (const document::MarkerAllocation a = m_markerLayer->create(); a != document::MarkerAllocation::Ok)
        m_services->showError(this, qstr(text::ProductTitle), QString::fromUtf8(document::allocationMessage(a)));

    // 8. Cursors and screen.
    loadCursors();
    readScreenMetrics();

    // 9. Coming back to the program refreshes the status line.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive) {
            m_applicationWasInactive = true;
        } else if (m_applicationWasInactive) {
            m_applicationWasInactive = false;
            ShowStatus(QString());
        }
    });

    // 10. Normal priority.
    m_settings.osLoad = OsLoad::Default;
    applyOsLoad();

    // 11. Names of the user and the machine.
    readMachineNames();

    // 12, 13. A document named on the command line.
    openCommandLine(options.arguments);
    setDocumentTitle(m_fractal->FileName);
    m_fractal->CommitImageParams();
    if (options.arguments.isEmpty())
        ShowStatus(QString());

    qApp->installEventFilter(this);
    // The modes filter events after the window's own filter, so that they see Esc and Enter first.
    m_canvas = std::make_unique<ImageCanvas>(m_image->canvasImage(), [this](const QRect&) { m_image->update(); });
    m_modes = new ModeBinding(*this, *m_canvas, m_formTimer);
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    m_rotating = false;
    // A 3D drawing or a filter pass uses the fractal too: stop it and wait for its end.
    if (m_task) {
        abortFlag() = true;
        m_task->disconnect(this);
        m_task->wait();
        delete m_task;
        m_task = nullptr;
    }
    // The worker uses the fractal: it must have ended before the fractal is freed.
    m_runner->disconnect(this);
    delete m_runner;
    m_runner = nullptr;
    // A mode binding filters every event of the application and calls into this window: each one
    // must go before the QWidget part destroys the children (sending events) with this part gone.
    qDeleteAll(findChildren<ModeBinding*>(Qt::FindDirectChildrenOnly));
    m_modes = nullptr;
}

void TMainForm::buildWindow()
{
    setMinimumSize(MinimumWindowSide, MinimumWindowSide);
    setAcceptDrops(true);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("MainClient"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* top = new QWidget(central);
    top->setObjectName(QStringLiteral("TopPanel"));
    top->setFixedHeight(TopPanelHeight);
    layout->addWidget(top);

    m_scroll = new QScrollArea(central);
    m_scroll->setObjectName(QStringLiteral("MainScrollBox"));
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setWidgetResizable(false);
    m_image = new ImageView(m_scroll);
    m_scroll->setWidget(m_image);
    layout->addWidget(m_scroll, 1);
    setCentralWidget(central);

    m_status = new StatusLine(this);
    setStatusBar(m_status);
    connect(m_status, &StatusLine::panelDoubleClicked, this, &TMainForm::onStatusPanelDoubleClicked);

    m_menus = new MainMenus(this);
    connect(m_menus, &MainMenus::commandTriggered, this, &TMainForm::runCommand);
    connect(m_menus, &MainMenus::menuOpening, this, &TMainForm::onMenuOpening);

    m_formTimer = new QTimer(this);
    m_formTimer->setObjectName(QStringLiteral("MainFormTimer"));
    m_formTimer->setSingleShot(true);

    m_rotationTimer = new QTimer(this);
    m_rotationTimer->setObjectName(QStringLiteral("RotationTimer"));
    m_rotationTimer->setInterval(0);
    connect(m_rotationTimer, &QTimer::timeout, this, &TMainForm::rotationStep);

    connect(m_image, &ImageView::mousePressed, this, &TMainForm::onImagePressed);
    connect(m_image, &ImageView::contextMenuRequested, this, &TMainForm::onContextMenu);
    connect(m_image, &ImageView::keyboardMenuRequested, this, &TMainForm::openContextMenuFromKeyboard);
    connect(m_image, &ImageView::wheelZoomRequested, this, &TMainForm::wheelZoom);
}

void TMainForm::applyWindowPreferences()
{
    resize(DesignWidth, DesignHeight);
    if (m_settings.prefs.maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    resize(std::max(m_settings.prefs.width, MinimumWindowSide), std::max(m_settings.prefs.height, MinimumWindowSide));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TMainForm::applyFontSize()
{
    QFont f = font();
    f.setPointSize(m_settings.prefs.fontSize);
    setFont(f);
    m_status->setFont(f);
}

void TMainForm::applyOsLoad()
{
    const int nice = niceValueFor(m_settings.osLoad);
    applyNiceToCurrentThread(nice);
    m_runner->setNiceValue(nice);
}

void TMainForm::readScreenMetrics()
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        m_settings.screenDepth = screen->depth();
        const QSize size = screen->size() * screen->devicePixelRatio();
        m_settings.screenWidth = size.width();
        m_settings.screenHeight = size.height();
    }
}

void TMainForm::readMachineNames()
{
    m_settings.userName = QString::fromStdString(storage::DefaultUserName()).left(MachineNameLength);
    m_settings.computerName = QSysInfo::machineHostName().left(MachineNameLength);
}

void TMainForm::resetDocument()
{
    m_rotating = false;
    if (m_markerLayer)
        m_markerLayer->forget();
    m_history.clear();
    m_valuesHeld = false;
    storage::ResetToDefaults(*m_fractal);
    m_filterSettings.Kind = colour::filters::FilterKind::None;
    pictureChanged();
}

void TMainForm::pictureChanged()
{
    if (!isIdle())
        return;
    if (m_markerLayer)
        m_markerLayer->pictureRewritten();
    m_image->copyAll(m_fractal->Bitmap, m_fractal->Palette);
    m_resumeLineShown = m_fractal->ResumeLine;
}

void TMainForm::setDocumentTitle(const std::string& fileName)
{
    const QString product = qstr(text::ProductTitle);
    setWindowTitle(fileName.empty() ? product : product + QStringLiteral(": ") + QString::fromUtf8(fileName));
}

bool TMainForm::isIdle() const
{
    return !m_runner->busy() && !m_task && m_fractal->Run.idle();
}

CommandState TMainForm::commandState() const
{
    const document::TFractal& f = *m_fractal;
    const bool idle = isIdle();
    CommandState s;
    s.idle = idle;
    // While the worker runs it owns Modified and ResumeLine; a computation always modifies.
    s.modified = idle ? f.Modified : true;
    s.resumeLine = idle ? f.ResumeLine : m_resumeLineShown;
    s.image = f.Params.Width >= 2 && f.Params.Height >= 2;
    s.stale = f.ImageParamsChanged();
    s.filter = int(m_filterSettings.Kind);
    s.view3D = f.View3D;
    s.touchUpRunning = false;
    s.markersAvailable = m_markerLayer && m_markerLayer->available();
    s.markersShown = m_settings.prefs.markersShown;
    s.anyMarkerPlaced = std::any_of(f.Markers.begin(), f.Markers.end(), [](const document::Marker& m) { return m.InUse; });
    s.pixelFormat24 = f.PixelFormat == engine::PixelFormat24;
    s.screenDepth = m_settings.screenDepth;
    s.fitPossible = fitPossible();
    s.scaleIsOne = m_image->displayScale() == 1.0;
    s.fractalType = f.Params.FractalType;
    s.algorithm = f.Params.Algorithm;
    s.pertZero = f.Params.PertZr == 0.0 && f.Params.PertZi == 0.0;
    s.elevation = f.Elevation;
    s.canGoBack = m_history.canGoBack();
    s.canGoForward = m_history.canGoForward();
    for (int i = 0; i < storage::RecentFileCount; ++i)
        s.recentFile[i] = !m_settings.prefs.recentFiles[size_t(i)].empty();
    return s;
}

void TMainForm::ShowStatus(const QString& message, bool restorePrevious)
{
    const document::TFractal& f = *m_fractal;
    StatusInputs in;
    in.language = m_settings.language();
    in.width = f.Params.Width;
    in.height = f.Params.Height;
    in.pixelFormat = f.PixelFormat;
    in.typeText = typePanelText(f, in.language);
    in.displayScale = m_image->displayScale();
    in.stale = f.ImageParamsChanged();
    in.idle = isIdle();
    m_status->showStatus(message, restorePrevious, in);
    updatePictureAccessibleName(m_image, f, in.language);
}

void TMainForm::DrawMainMenus()
{
    const CommandState state = commandState();
    std::array<QString, 4> recent;
    for (int i = 0; i < storage::RecentFileCount; ++i)
        recent[size_t(i)] = QString::fromStdString(storage::recentFileCaption(m_settings.prefs.recentFiles[size_t(i)]));
    m_menus->setCaptions(m_settings.language(), state.resumeLine, m_fractal->Params.Height, recent);
    m_menus->applyRules(state);
    nameMenus(menuBar());
    // The context menus are announced by name too, like the menus of the bar.
    const int language = m_settings.language();
    m_menus->popup2D()->setAccessibleName(shownCaption(tx(text::NavigationText::PictureMenu, language)));
    m_menus->popup3D()->setAccessibleName(shownCaption(tx(text::NavigationText::Picture3DMenu, language)));
}

void TMainForm::CancelModes()
{
    if (m_modes)
        m_modes->controller().cancel();
    m_formTimer->stop();
    finishRotation();
    m_image->unsetCursor();
}

bool TMainForm::QuerySave(text::MessageText title)
{
    return m_documents->querySave(title);
}

void TMainForm::setBusyCursor(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TMainForm::onMenuOpening(MenuId menu)
{
    if (menu == MenuId::File || menu == MenuId::Fractal || menu == MenuId::Colors || menu == MenuId::View3D)
        closeToolWindows();
    CancelModes();
    ShowStatus(QString());
    DrawMainMenus();
}

void TMainForm::onContextMenu(const QPoint& globalPos)
{
    // While a 3D drawing or a filter pass runs the picture has no popup menu.
    if (m_task)
        return;
    QMenu* menu = m_fractal->View3D ? m_menus->popup3D() : m_menus->popup2D();
    menu->popup(globalPos);
}

void TMainForm::openContextMenuFromKeyboard()
{
    QPointF at;
    const ModeController* modes = m_modes ? &m_modes->controller() : nullptr;
    if (modes && modes->active() && modes->mode()->keyboardDriven()) {
        at = m_image->widgetPointOf(modes->mode()->keyPoint());
    } else {
        const QWidget* viewport = m_scroll->viewport();
        const QRect visible = QRect(m_image->mapTo(viewport, QPoint(0, 0)), m_image->size()) & viewport->rect();
        at = QPointF(m_image->mapFrom(viewport, visible.isEmpty() ? viewport->rect().center() : visible.center()));
    }
    onContextMenu(m_image->mapToGlobal(at.toPoint()));
}

void TMainForm::onImagePressed()
{
    if (m_rotating)
        CancelModes();
}

void TMainForm::onStatusPanelDoubleClicked(int panel)
{
    CancelModes();
    switch (panel) {
    case 1:
        if (!m_fractal->View3D && isIdle())
            openVariablesDialog(2, false);
        break;
    case 2:
        if (!m_fractal->View3D && isIdle())
            openVariablesDialog(1, false);
        break;
    case 3:
        if (m_image->displayScale() == 1.0)
            fit();
        else
            showAt100();
        break;
    default: break;
    }
    ShowStatus(QString());
}

void TMainForm::openVariablesDialog(int page, bool newFractal)
{
    if (m_variablesHook) {
        m_variablesHook(page, newFractal);
        return;
    }
    runVariablesDialog(*this, page, newFractal);
}

bool TMainForm::fitPossible() const
{
    const int w = m_image->imageWidth();
    const int h = m_image->imageHeight();
    if (m_fractal->Params.Width < 2 || m_fractal->Params.Height < 2)
        return false;
    const QSize client = m_scroll->maximumViewportSize() * m_image->devicePixelRatioF();
    return w > client.width() - FitMargin || h > client.height() - FitMargin;
}

void TMainForm::fit()
{
    if (!fitPossible())
        return;
    const QSize client = m_scroll->maximumViewportSize() * m_image->devicePixelRatioF();
    const double sx = double(client.width() - FitMargin) / m_image->imageWidth();
    const double sy = double(client.height() - FitMargin) / m_image->imageHeight();
    m_image->setDisplayScale(FitShrink * std::min(sx, sy));
    ShowStatus(QString());
}

void TMainForm::showAt100()
{
    if (m_image->displayScale() != 1.0)
        m_image->setDisplayScale(1.0);
    ShowStatus(QString());
}

void TMainForm::onRowsReady(int first, int last)
{
    m_image->copyRows(m_fractal->Bitmap, first, last);
    m_status->showLine(last);
    m_progress.rowsDone(last - first + 1, m_progressClock.elapsed() / 1000.0);
    showProgress();
}

void TMainForm::onComputationStarted(int rows)
{
    m_progressClock.start();
    m_progress.start(rows, 0.0);
    showProgress();
}

void TMainForm::showProgress()
{
    const double now = m_progressClock.elapsed() / 1000.0;
    if (!m_progress.due(now))
        return;
    const double left = m_progress.secondsLeft(now);
    const QString text = left < 0 ? QString()
                                   : tx(text::NavigationText::TimeLeft, m_settings.language())
                                         + QString::fromStdString(document::formatDuration(left));
    m_status->showProgress(m_progress.percent(), text, m_settings.language());
}

void TMainForm::onComputationFinished(engine::ComputeEnd end)
{
    if (end == engine::ComputeEnd::Completed)
        m_valuesHeld = true;
    m_status->hideProgress();
    m_resumeLineShown = m_fractal->ResumeLine;
    m_image->unsetCursor();
    // The rows were rewritten: the markers go over them again.
    m_markerLayer->pictureRewritten();
    // The last orbits recorded are drawn; the recorder is handed over again or taken back.
    probeFinished();
    attachOrbit();
    ShowStatus(QString());
    if (m_settings.prefs.beep)
        m_services->beep();
    DrawMainMenus();
    emit computationFinished(end);
}

void TMainForm::handleEscape()
{
    if (!m_rotating) {
        m_runner->requestStop();
        ShowStatus(QString());
        return;
    }
    CancelModes();
    m_image->unsetCursor();
    ShowStatus(QString());
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            abortFlag() = true;
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) {
                handleEscape();
                return true;
            }
            if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
                openContextMenuFromKeyboard();
                return true;
            }
        }
    } else if (event->type() == QEvent::ContextMenu
               && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        // The platform's own keyboard request (the Menu key on X11) reaches the focused widget.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            openContextMenuFromKeyboard();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::openCommandLine(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return;
    ShowStatus(QString());
    if (!QuerySave(text::MessageText::OpenTitle))
        return;
    resetDocument();
    ShowStatus(QStringLiteral(" "));
    // A path with blanks arrives split into several arguments.
    const QString path = arguments.join(QLatin1Char(' '));
    handleLoad(m_documents->openFile(path));
    DrawMainMenus();
}

void TMainForm::handleLoad(const DocumentCommands::OpenResult& result)
{
    switch (result.outcome) {
    case DocumentCommands::Opened::Loaded:
        m_valuesHeld = true;
        m_fractal->CommitImageParams();
        m_fractal->Modified = false;
        pictureChanged();
        ShowStatus(QStringLiteral(" "));
        break;
    case DocumentCommands::Opened::Failed:
        m_services->beep();
        resetDocument();
        ShowStatus(tx(result.load == storage::LoadResult::NotEnoughMemory ? text::StatusText::NotEnoughMemory
                                                                           : text::StatusText::ErrorReadingFile,
                      m_settings.language()));
        break;
    case DocumentCommands::Opened::Cancelled:
        pictureChanged();
        break;
    }
}

void TMainForm::openDroppedFile(const QString& path)
{
    if (!isIdle())
        return;
    ShowStatus(QString());
    if (!QuerySave(text::MessageText::OpenTitle))
        return;
    setDocumentTitle({});
    resetDocument();
    ShowStatus(QStringLiteral(" "));
    handleLoad(m_documents->openFile(path));
    setDocumentTitle(m_fractal->FileName);
    m_fractal->CommitImageParams();
    DrawMainMenus();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().constFirst().isLocalFile())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    const QString path = urls.constFirst().toLocalFile();
    // Open after the drop has finished, outside the platform's drag handling.
    QTimer::singleShot(0, this, [this, path] { openDroppedFile(path); });
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    m_rotating = false;
    closeToolWindows();
    m_runner->requestStop();
    // The computation sees the stop before its next pixel.
    m_runner->waitUntilIdle(StopWaitMilliseconds);
    QCoreApplication::processEvents();
    ShowStatus(QString());
    if (!QuerySave(text::MessageText::EraseTitle)) {
        event->ignore();
        ShowStatus(QString());
        return;
    }
    ShowStatus(tx(text::StatusText::PleaseWait, m_settings.language()));
    setBusyCursor(true);
    storage::Preferences& prefs = m_settings.prefs;
    prefs.maximized = isMaximized();
    const QSize normal = isMaximized() || isFullScreen() ? normalGeometry().size() : size();
    if (normal.isValid()) {
        prefs.width = normal.width();
        prefs.height = normal.height();
    }
    const storage::PreferencesWriteResult written =
        storage::savePreferences(m_settings.preferencesFile, prefs, storage::localDateTimeText());
    setBusyCursor(false);
    if (!written.ok) {
        m_services->beep();
        m_services->showError(this, qstr(text::ProductTitle), messageText(written.message));
    }
    if (isIdle())
        event->accept();
    else
        event->ignore();
    QCoreApplication::processEvents();
}

}  // namespace ui
