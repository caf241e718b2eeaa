#include "ui/modes/ModeBinding.h"

#include <QApplication>
#include <algorithm>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTimer>

#include "document/Fractal.h"
#include "ui/ComputeRunner.h"
#include "ui/ImageView.h"
#include "ui/MainForm.h"
#include "ui/dialogs/MarkerForm.h"
#include "ui/dialogs/RetoucheForm.h"
#include "engine/OrbitRecorder.h"
#include "ui/tools/MarkerLayer.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"

namespace ui {

namespace {

constexpr int ArrowStepLarge = 10;  // pixels an arrow key moves the keyboard cursor or the zoom rectangle with Shift
constexpr int ZoomTimerMs = 400;
}

ModeBinding::ModeBinding(TMainForm& window, Canvas& canvas, QTimer* timer)
    : QObject(&window), m_window(window), m_canvas(canvas), m_timer(timer), m_controller(*this)
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(ZoomTimerMs);
    connect(m_timer, &QTimer::timeout, this, [this] { m_controller.timeout(); });
    connect(&window, &TMainForm::computationFinished, this, &ModeBinding::computationFinished);
    ImageView* image = window.mainImage();
    image->setMouseTracking(true);  // live coordinates follow the mouse without a button held
    image->installEventFilter(this);
    // Installed after the window's own filter, so this one sees the keys first.
    qApp->installEventFilter(this);
}

ModeBinding::~ModeBinding() = default;

bool ModeBinding::eventFilter(QObject* watched, QEvent* event)
{
    ImageView* image = m_window.mainImage();
    switch (event->type()) {
    case QEvent::MouseButtonDblClick: {
        if (watched != image)
            break;
        // Any button: the modes end, then the properties of the marker under the point.
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint pixel = image->imagePixelAt(me->position());
        m_window.CancelModes();
        runMarkerPropertiesCommand(m_window, pixel);
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        if (watched != image || !m_controller.active())
            break;
        auto* me = static_cast<QMouseEvent*>(event);
        const MouseEvent e{me->position(), image->imagePixelAt(me->position()), me->button()};
        if (event->type() == QEvent::MouseButtonPress)
            m_controller.mousePress(e);
        else if (event->type() == QEvent::MouseMove)
            m_controller.mouseMove(e);
        else
            m_controller.mouseRelease(e);
        break;
    }
    case QEvent::KeyPress: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != &m_window)
            break;
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        if (key == Qt::Key_Escape && m_controller.escape())
            return true;
        // The arrows move the keyboard cursor or a movable zoom rectangle: one pixel, or ten with Shift.
        const int step = keyEvent->modifiers() & Qt::ShiftModifier ? ArrowStepLarge : 1;
        // Alt+Left and Alt+Right step through the view history, not the picture.
        const bool plain = !(keyEvent->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier));
        const QPoint delta = !plain ? QPoint()
                             : key == Qt::Key_Left ? QPoint(-step, 0)
                             : key == Qt::Key_Right ? QPoint(step, 0)
                             : key == Qt::Key_Up ? QPoint(0, -step)
                             : key == Qt::Key_Down ? QPoint(0, step)
                                                   : QPoint();
        if (!delta.isNull() && m_controller.arrowKey(delta))
            return true;
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_controller.keyPress(key))
            return true;
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

document::TFractal& ModeBinding::fractal()
{
    return m_window.fractal();
}

int ModeBinding::language() const
{
    return m_window.settings().language();
}

void ModeBinding::showStatus(const QString& message)
{
    m_window.ShowStatus(message);
}

void ModeBinding::setModeCursor(const QCursor& cursor)
{
    m_window.mainImage()->setCursor(cursor);
}

void ModeBinding::setTimerEnabled(bool on)
{
    if (on)
        m_timer->start(ZoomTimerMs);
    else
        m_timer->stop();
}

uint32_t ModeBinding::lineColour() const
{
    return m_window.settings().prefs.lineColour;
}

void ModeBinding::viewChanging()
{
    m_window.recordViewChange();
}

void ModeBinding::parametersPicked()
{
    m_window.DrawMainMenus();
    // The mode that picked is still running: a computation (which ends the modes) starts after it.
    QTimer::singleShot(0, &m_window, [window = &m_window] { window->viewChanged(); });
}

uint16_t ModeBinding::askTouchUpIterations(uint16_t current, uint16_t minimum)
{
    return TRetoucheForm::ask(current, minimum, language(), &m_window);
}

bool ModeBinding::placeMarker(QPoint pixel)
{
    if (!m_window.markerLayer().place(pixel, std::string(), document::MarkerShape::Simple))
        return false;
    m_window.fractal().Modified = true;
    m_window.DrawMainMenus();
    return true;
}

engine::OrbitObserver* ModeBinding::probeOrbit()
{
    return m_window.probeOrbit();
}

void ModeBinding::probeFinished()
{
    m_window.probeFinished();
}

void ModeBinding::crossSectionPicked(int row)
{
    m_window.openProfileWindow(row);
}

void ModeBinding::deleteMarkers()
{
    m_window.markerLayer().deleteAll();
}

void ModeBinding::startTouchUp()
{
    m_window.markerLayer().hideForRewrite();
    m_window.ShowStatus(tx(text::StatusText::Working, language()));
    m_window.attachOrbit();
    const engine::RetoucheResult r = m_window.runner().startRetouche();
    m_touchUpRunning = r.ok;
    if (!r.ok) {
        // Refused for lack of memory: nothing computes. It beeps as the other refusals do, whatever the
        // end-of-computation preference, and says why.
        m_window.ShowStatus(QString());
        m_controller.touchUpFinished(false);
        m_window.markerLayer().pictureRewritten();
        if (!r.message.empty()) {
            m_window.services().beep();
            m_window.services().showError(&m_window, QString(), QString::fromStdString(r.message));
        }
    }
    m_window.DrawMainMenus();
}

void ModeBinding::computationFinished(engine::ComputeEnd end)
{
    if (!m_touchUpRunning)
        return;
    m_touchUpRunning = false;
    // The frame's pixels are replaced by the bitmap's rows before it is dropped (or drawn again).
    m_window.pictureChanged();
    m_controller.touchUpFinished(end == engine::ComputeEnd::Stopped);
}

const colour::TFract3D* ModeBinding::view3D()
{
    return m_window.fractal().View3D ? &m_window.fract3D() : nullptr;
}

void ModeBinding::redraw3D()
{
    // The mode that asks is still running: the drawing starts once it has ended.
    QTimer::singleShot(0, &m_window, [window = &m_window] { window->draw3D(); });
}

}  // namespace ui

namespace ui {

QPoint ModeBinding::visibleCentre()
{
    ImageView* image = m_window.mainImage();
    const QWidget* viewport = m_window.scrollBox()->viewport();
    const QPoint middle = image->mapFrom(viewport, viewport->rect().center());
    const QRect shown = image->rect();
    return image->imagePixelAt(QPointF(std::clamp(middle.x(), shown.left(), shown.right()),
                                       std::clamp(middle.y(), shown.top(), shown.bottom())));
}

}  // namespace ui
