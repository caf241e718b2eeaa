// The command handlers of the main window: what each menu entry does.
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPrinter>
#include <QThread>
#include <QTimer>

#include "colour/Fract3D.h"
#include "document/Recolour.h"
#include "document/View3D.h"
#include "document/Fractal.h"
#include "storage/Workspace.h"
#include "ui/ComputeRunner.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/ExportForm.h"
#include "ui/dialogs/PrintForm.h"
#include "ui/dialogs/PrintParForm.h"
#include "ui/dialogs/PosterForm.h"
#include "ui/dialogs/FilterForms.h"
#include "ui/dialogs/FractInfosForm.h"
#include "ui/dialogs/Par3DForm.h"
#include "ui/editors/Color24bForm.h"
#include "ui/editors/Color8bForm.h"
#include "ui/dialogs/PosForm.h"
#include "ui/ImageView.h"
#include "ui/MainForm.h"
#include "ui/MainMenus.h"
#include "ui/dialogs/PrefForm.h"
#include "ui/dialogs/PrinterSetup.h"
#include "ui/QtLanguage.h"
#include "ui/Splash.h"
#include "ui/StatusLine.h"
#include "ui/tools/MarkerLayer.h"
#include "ui/tools/OrbitForm.h"
#include "ui/tools/ProgForm.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"
#include "ui/modes/ModeBinding.h"

namespace ui {

void TMainForm::runCommand(Cmd cmd)
{
    // Shortcuts and direct calls obey the same rules as the menus.
    if (!availableRule(cmd, commandState()).enabled)
        return;
    switch (cmd) {
    case Cmd::MenuNew: cmdNew(); break;
    case Cmd::MenuOpenFrac: cmdOpen(); break;
    case Cmd::MenuSaveFrac: cmdSave(false); break;
    case Cmd::MenuSaveAsFrac: cmdSave(true); break;
    case Cmd::file01: cmdOpenRecent(0); break;
    case Cmd::file02: cmdOpenRecent(1); break;
    case Cmd::file03: cmdOpenRecent(2); break;
    case Cmd::file04: cmdOpenRecent(3); break;
    case Cmd::MenuPre:
        // Shown markers take the new size and colour at once.
        m_markerLayer->hideForRewrite();
        runPreferencesCommand(*this);
        m_markerLayer->pictureRewritten();
        break;
    case Cmd::MenuInfos: runInformationCommand(*this); break;
    case Cmd::MenuExi: close(); break;
    case Cmd::MenuPrintCfg: runPrinterSetupCommand(*this); break;
    case Cmd::MenuSavePict: runExportCommand(*this); DrawMainMenus(); break;
    case Cmd::MenuPrint: runPrintCommand(*this); DrawMainMenus(); break;
    case Cmd::MenuPrintPar: runPrintParametersCommand(*this); DrawMainMenus(); break;
    case Cmd::MenuPos: runPosterCommand(*this); break;

    case Cmd::MenuVar:
    case Cmd::PopVar:
        openVariablesDialog(cmd == Cmd::PopVar ? 3 : 1, false);
        ShowStatus(QString());
        DrawMainMenus();
        break;
    case Cmd::MenuCal:
    case Cmd::PopCalcul: cmdCompute(false); break;
    case Cmd::PopCalculZ: cmdCompute(true); break;
    case Cmd::MenuSto:
    case Cmd::PopStop: cmdStop(); break;
    case Cmd::MenuEff:
    case Cmd::PopErase: cmdErase(); break;

    case Cmd::MenuRotateOut: cmdRotate(true); break;
    case Cmd::MenuRotateIn: cmdRotate(false); break;
    case Cmd::MenuPalSys: cmdSystemPalette(); break;

    case Cmd::MenuSeeAll:
    case Cmd::PopSeeAll: fit(); break;
    case Cmd::MenuSee100:
    case Cmd::PopSee100: showAt100(); break;

    case Cmd::MenuMarker:
    case Cmd::PopShowMarker:
    case Cmd::Pop3DShowMarker: cmdToggleMarkers(); break;
    case Cmd::MenuDeleteMkr: cmdDeleteMarkers(); break;

    case Cmd::MenuNone: runNoFilterCommand(*this); break;
    case Cmd::MenuEdg: runEdgesCommand(*this); break;
    case Cmd::MenuRelief: runReliefCommand(*this); break;
    case Cmd::MenuAbo: runAboutCommand(*this); break;

    // The picks of the picture: each first shows the picture at 100 %.
    case Cmd::PopCenter: startMode(ModeKind::NewCentre); break;
    case Cmd::PopZoom: startMode(ModeKind::Zoom); break;
    case Cmd::PopJulia: startMode(ModeKind::JuliaCentre); break;
    case Cmd::PopPert: startMode(ModeKind::PertZCentre); break;
    case Cmd::MenuRet: startMode(ModeKind::TouchUp); break;
    case Cmd::MenuIter: startMode(ModeKind::IterationProbe); break;
    case Cmd::MenuProfilH: startMode(ModeKind::CrossSection); break;
    case Cmd::PopAzimut: startMode(ModeKind::Azimuth); break;
    case Cmd::Pop3DAzimuth: startMode(ModeKind::Azimuth3D); break;
    case Cmd::Pop3DDeplY: startMode(ModeKind::VerticalShift); break;
    case Cmd::PopMarker: startMode(ModeKind::PlaceMarker); break;
    case Cmd::MenuGoto: runPosCommand(*this); break;
    case Cmd::MenuOrb: runOrbitCommand(*this); break;

    case Cmd::MenuBack:
    case Cmd::PopBack: stepView(true); break;
    case Cmd::MenuForward:
    case Cmd::PopForward: stepView(false); break;

    case Cmd::Menu3DParam:
    case Cmd::PopDraw3D:
    case Cmd::Pop3DParameters: runPar3DCommand(*this); break;
    case Cmd::MenuPal8: runPalette8Command(*this); break;
    case Cmd::MenuCoul24: runTable24Command(*this, 1); break;
    case Cmd::PopColor:
    case Cmd::Pop3DColor: runColoursPopupCommand(*this); break;

    case Cmd::MenuDraw2D:
    case Cmd::Pop3DDraw2D:
        CancelModes();
        redraw2D(false);
        ShowStatus(QString());
        DrawMainMenus();
        break;

    case Cmd::MenuFil: case Cmd::MenuFra: case Cmd::MenuCol: case Cmd::Menu3D: case Cmd::MenuMes:
    case Cmd::MenuFit: case Cmd::file05: case Cmd::Count:
        break;
    }
}

void TMainForm::startMode(ModeKind kind)
{
    showAt100();
    m_modes->start(kind);
}

void TMainForm::cmdNew()
{
    if (!QuerySave(text::MessageText::NewFractalTitle))
        return;
    setDocumentTitle({});
    // The variables dialog proposes the size of the previous image (640 x 480 without one), so that OK
    // and Compute draw a picture.
    constexpr int FirstWidth = 640, FirstHeight = 480;
    const bool hadImage = m_fractal->Params.Width >= 2 && m_fractal->Params.Height >= 2;
    m_newFractalSize = hadImage ? QSize(m_fractal->Params.Width, m_fractal->Params.Height) : QSize(FirstWidth, FirstHeight);
    resetDocument();
    openVariablesDialog(1, true);
    m_fractal->ResumeLine = 0;
    pictureChanged();
    ShowStatus(QString());
    DrawMainMenus();
}

void TMainForm::cmdOpen()
{
    if (!QuerySave(text::MessageText::OpenTitle))
        return;
    setDocumentTitle({});
    resetDocument();
    ShowStatus(QStringLiteral(" "));
    const DocumentCommands::OpenResult result = m_documents->openFractal();
    handleLoad(result);
    if (result.outcome == DocumentCommands::Opened::Loaded)
        setDocumentTitle(m_fractal->FileName);
    DrawMainMenus();
}

void TMainForm::cmdOpenRecent(int index)
{
    if (!QuerySave(text::MessageText::OpenTitle))
        return;
    setDocumentTitle({});
    resetDocument();
    ShowStatus(QStringLiteral(" "));
    const DocumentCommands::OpenResult result = m_documents->openRecent(index);
    handleLoad(result);
    if (result.outcome == DocumentCommands::Opened::Loaded)
        setDocumentTitle(m_fractal->FileName);
    DrawMainMenus();
}

void TMainForm::cmdSave(bool saveAs)
{
    m_documents->saveFractal(saveAs);
    setDocumentTitle(m_fractal->FileName);
    DrawMainMenus();
}

void TMainForm::cmdCompute(bool fromStart)
{
    CancelModes();
    ShowStatus(tx(text::StatusText::Working, m_settings.language()));
    // The corners follow the centre, step and size the image has now.
    m_fractal->UpdateCorners();
    m_markerLayer->hideForRewrite();
    attachOrbit();
    if (m_runner->startCompute(fromStart))
        DrawMainMenus();
}

void TMainForm::cmdStop()
{
    m_runner->requestStop();
    CancelModes();
    ShowStatus(QString());
}

void TMainForm::cmdErase()
{
    if (!QuerySave(text::MessageText::EraseTitle))
        return;
    ShowStatus(tx(text::StatusText::PleaseWait, m_settings.language()));
    setBusyCursor(true);
    m_markerLayer->deleteAll();
    CancelModes();
    m_fractal->FileName.clear();
    m_fractal->ResumeLine = 0;
    storage::ClearImage(*m_fractal, true);
    m_valuesHeld = false;
    setDocumentTitle({});
    pictureChanged();
    setBusyCursor(false);
    ShowStatus(QString());
    DrawMainMenus();
}

void TMainForm::cmdRotate(bool outwards)
{
    m_rotateOutwards = outwards;
    m_markerLayer->hideForRewrite();
    m_rotating = true;
    ShowStatus(tx(text::StatusText::Rotating, m_settings.language()));
    m_rotationTimer->start();
}

void TMainForm::rotationStep()
{
    if (!m_rotating || !isIdle()) {
        // The loop has ended: Esc, a menu, a click on the picture or the window closing.
        finishRotation();
        ShowStatus(QString());
        DrawMainMenus();
        return;
    }
    document::RotateAndRecolour(*m_fractal, m_rotateOutwards ? colour::RotateDirection::Out : colour::RotateDirection::In);
    m_fractal->Modified = true;  // the rotated palette stays in the document
    m_image->setPalette8(m_fractal->Palette);
    m_image->copyRows(m_fractal->Bitmap, 0, m_fractal->Bitmap.Height - 1);
}

void TMainForm::finishRotation()
{
    const bool wasRotating = m_rotating;
    m_rotating = false;
    m_rotationTimer->stop();
    if (wasRotating && isIdle())
        m_markerLayer->pictureRewritten();
}

void TMainForm::cmdSystemPalette()
{
    const bool wasSystem = document::IsSystemPalette(*m_fractal);
    document::ApplySystemPalette(*m_fractal);
    if (!wasSystem)
        m_fractal->Modified = true;
    pictureChanged();
    ShowStatus(QString());
    DrawMainMenus();
}

void TMainForm::cmdToggleMarkers()
{
    bool& shown = m_settings.prefs.markersShown;
    shown = !shown;
    if (!shown)
        m_markerLayer->hideAll();
    else if (!m_markerLayer->showAll(true))
        ShowStatus(tx(text::StatusText::NoMarkerAvailable, m_settings.language()));
    DrawMainMenus();
}

void TMainForm::cmdDeleteMarkers()
{
    const int language = m_settings.language();
    const auto answer = m_services->askYesNoCancel(this, tx(text::MessageText::MarkerTitle, language),
                                                   tx(text::MessageText::DeleteMarkersQuestion, language));
    if (answer != UiServices::Answer::Yes || !commandState().anyMarkerPlaced)
        return;
    if (m_markerLayer->deleteAll())
        m_fractal->Modified = true;
    DrawMainMenus();
}

void TMainForm::startBackground(BackgroundWork work, std::function<void()> done)
{
    m_taskProgress = new TProgForm(this);
    m_taskProgress->open(1000, 1);  // also clears the stop flag
    // Progress comes from the working thread; it reaches the bar through the event loop.
    auto progress = [this](int doneSteps, int total) {
        const double fraction = total > 0 ? double(doneSteps) / double(total) : 1.0;
        QMetaObject::invokeMethod(this, [this, fraction] {
            if (m_taskProgress)
                m_taskProgress->setFraction(fraction);
        }, Qt::QueuedConnection);
    };
    m_task = QThread::create([work = std::move(work), progress] { work(&abortFlag(), progress); });
    connect(m_task, &QThread::finished, this, [this, done = std::move(done)] {
        m_task->wait();
        m_task->deleteLater();
        m_task = nullptr;
        if (m_taskProgress) {
            m_taskProgress->close();
            m_taskProgress->deleteLater();
            m_taskProgress = nullptr;
        }
        done();
        emit backgroundTaskFinished();
    });
    m_task->start();
}

void TMainForm::draw3D()
{
    if (m_task || !isIdle())
        return;
    CancelModes();
    m_markerLayer->hideForRewrite();
    ShowStatus(tx(text::StatusText::Working3D, m_settings.language()));
    document::TFractal* f = m_fractal.get();
    colour::TFract3D* view = m_fract3D.get();
    auto result = std::make_shared<document::Draw3DResult>(document::Draw3DResult::Done);
    startBackground(
        [f, view, result](const std::atomic<bool>* stop, const std::function<void(int, int)>& progress) {
            colour::Render3DControl control;
            control.progress = progress;
            control.stop = stop;
            *result = document::Draw3D(*f, *view, 0, control);
        },
        [this, result] {
            if (*result == document::Draw3DResult::NoMemory)
                m_services->showError(this, qstr(text::ProductTitle), qstr(text::NoMemoryForWorkspace));
            pictureChanged();
            DrawMainMenus();
            ShowStatus(QString());
        });
    DrawMainMenus();
}

void TMainForm::applyFilter(colour::filters::FilterKind kind)
{
    if (m_task || !isIdle())
        return;
    CancelModes();
    m_markerLayer->hideForRewrite();
    m_filterSettings.Kind = kind;
    ShowStatus(tx(text::StatusText::ApplyingFilter, m_settings.language()));
    document::TFractal* f = m_fractal.get();
    const colour::filters::FilterSettings settings = m_filterSettings;
    const int rows = f->Bitmap.Height;
    startBackground(
        [f, settings, rows](const std::atomic<bool>* stop, const std::function<void(int, int)>& progress) {
            colour::filters::FilterControl control;
            control.progress = [&progress, rows](int row) { progress(row + 1, rows); };
            control.stop = stop;
            document::ApplyFilter(*f, settings, 0, control);
        },
        [this] {
            pictureChanged();
            DrawMainMenus();
            ShowStatus(QString());
        });
    DrawMainMenus();
}

void TMainForm::redraw2D(bool keepModified)
{
    if (!isIdle())
        return;
    setBusyCursor(true);
    ShowStatus(tx(text::StatusText::PleaseWait, m_settings.language()));
    const bool modified = m_fractal->Modified;
    m_markerLayer->hideForRewrite();
    document::Redraw2D(*m_fractal);
    if (keepModified)
        m_fractal->Modified = modified;
    if (m_image->displayScale() != 1.0)
        showAt100();
    pictureChanged();
    setBusyCursor(false);
}

QPrinter& TMainForm::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

}  // namespace ui
