// The view history of the main window: recording the views a document goes through, Back and Forward.
#include <QString>

#include "document/Fractal.h"
#include "storage/Workspace.h"
#include "ui/ComputeRunner.h"
#include "ui/MainForm.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"

namespace ui {

document::ViewRecord TMainForm::currentView() const
{
    // While a computation runs its thread writes the values: they are not taken.
    return document::CaptureView(*m_fractal, m_valuesHeld && isIdle());
}

void TMainForm::recordViewChange()
{
    recordView(currentView());
}

void TMainForm::recordView(document::ViewRecord replaced)
{
    m_history.record(std::move(replaced));
}

void TMainForm::viewChanged()
{
    DrawMainMenus();
    if (m_settings.prefs.computeAfterViewChange && isIdle() && m_fractal->ImageParamsChanged())
        runCommand(Cmd::MenuCal);
}

void TMainForm::wheelZoom(QPoint imagePixel, bool zoomIn)
{
    // As the zoom rectangle: on the plain picture, not while it is computed or filtered.
    const CommandState s = commandState();
    if (!s.idle || !s.image || s.view3D || s.filter != 0)
        return;
    CancelModes();
    recordViewChange();
    const bool withinLimits = document::ZoomAboutPixel(*m_fractal, imagePixel.x(), imagePixel.y(), zoomIn);
    const int language = m_settings.language();
    ShowStatus(withinLimits ? QString()
                            : tx(text::StatusText::ZoomAtLimits, language) + QLatin1Char(' ')
                                  + tx(text::StatusText::MustRecalculate, language));
    viewChanged();
}

void TMainForm::stepView(bool back)
{
    if (!isIdle() || !(back ? m_history.canGoBack() : m_history.canGoForward()))
        return;
    CancelModes();
    std::optional<document::ViewRecord> target = back ? m_history.back(currentView()) : m_history.forward(currentView());
    if (!target)
        return;
    document::TFractal& f = *m_fractal;
    const engine::FractalParams& p = target->Params;
    // The workspace follows a view of another size, depth, algorithm or maximum of iterations, as the
    // variables dialog does.
    const bool realloc = p.Width != f.Params.Width || p.Height != f.Params.Height || target->PixelFormat != f.PixelFormat
        || p.Algorithm != f.Params.Algorithm || p.MaxIter != f.Params.MaxIter;
    if (realloc) {
        ShowStatus(tx(text::StatusText::AllocatingBitmap, m_settings.language()));
        f.Params = p;
        const storage::AllocResult r = storage::AllocImage(f, p.Width, p.Height, target->PixelFormat, false);
        if (!r.ok) {
            m_services->beep();
            m_services->showError(this, QString(), QString::fromStdString(r.message));
            resetDocument();
            ShowStatus(QString());
            DrawMainMenus();
            return;
        }
    }
    const bool fromValues = document::RestoreView(f, *target);
    m_valuesHeld = fromValues;
    f.Modified = true;
    pictureChanged();
    ShowStatus(QString());
    viewChanged();
}

}  // namespace ui
