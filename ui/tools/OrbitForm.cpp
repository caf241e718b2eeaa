#include "ui/tools/OrbitForm.h"
// The tool texts come before ui/Texts.h so that its tx() sees their lookup().
#include "ui/text/ToolTexts.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <cmath>

#include "document/Fractal.h"
#include "ui/MainForm.h"
#include "ui/Texts.h"

namespace ui {

namespace {

using text::OrbitText;

constexpr int DrainMilliseconds = 15;
constexpr int InitialSide = 300;

}  // namespace

TOrbitForm::TOrbitForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_drainTimer(new QTimer(this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("OrbitForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(InitialSide, InitialSide);
    m_menu->setObjectName(QStringLiteral("OrbitPopupMenu"));
    auto add = [this](const char* name, bool checkable) {
        QAction* a = m_menu->addAction(QString());
        a->setObjectName(QLatin1String(name));
        a->setCheckable(checkable);
        return a;
    };
    m_cumulative = add("PopOrbCulmul", true);
    m_single = add("PopOrbitInstan", true);
    m_colour = add("PopOrbCoul", true);
    m_delete = add("PopOrbitEff", false);
    m_menu->addSeparator();
    m_zoomIn = add("PopOrbitZoom", false);
    m_zoomOut = add("PopOrbitUnZoom", false);
    connect(m_cumulative, &QAction::triggered, this, [this] { setSingleOrbit(false); });
    connect(m_single, &QAction::triggered, this, [this] { setSingleOrbit(true); });
    connect(m_colour, &QAction::triggered, this, &TOrbitForm::toggleColourOrbits);
    connect(m_delete, &QAction::triggered, this, &TOrbitForm::deleteOrbits);
    connect(m_zoomIn, &QAction::triggered, this, &TOrbitForm::zoomIn);
    connect(m_zoomOut, &QAction::triggered, this, &TOrbitForm::zoomOut);
    // From the keyboard: "+" and "-" zoom, Delete clears the orbits (and the menu key opens the menu).
    m_zoomIn->setShortcut(QKeySequence(Qt::Key_Plus));
    m_zoomOut->setShortcut(QKeySequence(Qt::Key_Minus));
    m_delete->setShortcut(QKeySequence(QKeySequence::Delete));
    addActions(m_menu->actions());
    m_drainTimer->setInterval(DrainMilliseconds);
    connect(m_drainTimer, &QTimer::timeout, this, &TOrbitForm::drain);
}

TOrbitForm::~TOrbitForm()
{
    if (m_recorder)
        m_recorder->close();
}

void TOrbitForm::open(uint16_t escapeValue, uint16_t maxIter, QPoint topLeft, int language, int fontSize)
{
    m_language = language;
    QFont f = font();
    f.setPointSize(fontSize);
    setFont(f);
    m_cumulative->setText(tx(OrbitText::CumulativeOrbits, language));
    m_single->setText(tx(OrbitText::SingleOrbit, language));
    m_colour->setText(tx(OrbitText::ColorOrbits, language));
    m_delete->setText(tx(OrbitText::DeleteOrbits, language));
    m_zoomIn->setText(tx(text::ToolText::OrbitZoomIn, language));
    m_zoomOut->setText(tx(text::ToolText::ZoomHalf, language));
    move(topLeft);
    show();
    m_view = engine::OrbitView::open(escapeValue, maxIter, width(), height());
    if (!m_recorder || m_recorder->closed())
        m_recorder = std::make_shared<engine::OrbitRecorder>(m_view);
    redraw();
    m_drainTimer->start();
}

QImage TOrbitForm::canvasImage() const
{
    QImage img(m_canvas.Width, m_canvas.Height, QImage::Format_RGB32);
    for (int y = 0; y < m_canvas.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < m_canvas.Width; ++x)
            line[x] = 0xFF000000u | m_canvas.Pixels[size_t(y) * size_t(m_canvas.Width) + size_t(x)];
    }
    return img;
}

void TOrbitForm::drain()
{
    if (!m_recorder)
        return;
    const std::vector<std::vector<engine::OrbitEvent>> batches = m_recorder->takeBatches();
    if (batches.empty())
        return;
    for (const std::vector<engine::OrbitEvent>& events : batches)
        engine::drawOrbitEvents(m_canvas, m_view, events);
    update();
}

void TOrbitForm::redraw()
{
    setWindowTitle(tx(OrbitText::Scale, m_language) + QString::fromStdString(m_view.scaleText()));
    setAccessibleName(tx(text::ToolText::OrbitWindow, m_language) + QStringLiteral(", ") + windowTitle());
    m_canvas.Width = std::max(width(), 1);
    m_canvas.Height = std::max(height(), 1);
    engine::drawOrbitBackground(m_canvas, m_view);
    if (m_recorder)
        m_recorder->setView(m_view);
    updateMenu();
    update();
}

void TOrbitForm::updateMenu()
{
    m_cumulative->setChecked(!m_view.SingleOrbit);
    m_single->setChecked(m_view.SingleOrbit);
    m_colour->setChecked(m_view.ColourOrbits);
    m_zoomIn->setEnabled(m_view.canZoomIn());
    m_zoomOut->setEnabled(m_view.canZoomOut());
}

void TOrbitForm::setSingleOrbit(bool single)
{
    m_view.SingleOrbit = single;
    if (!single) {
        redraw();
        return;
    }
    if (m_recorder)
        m_recorder->setView(m_view);
    updateMenu();
}

void TOrbitForm::toggleColourOrbits()
{
    m_view.ColourOrbits = !m_view.ColourOrbits;
    if (m_recorder)
        m_recorder->setView(m_view);
    updateMenu();
}

void TOrbitForm::zoomIn()
{
    if (!m_view.canZoomIn())
        return;
    m_view.zoomIn();
    redraw();
}

void TOrbitForm::zoomOut()
{
    if (!m_view.canZoomOut())
        return;
    m_view.zoomOut();
    redraw();
}

void TOrbitForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.drawImage(0, 0, canvasImage());
}

void TOrbitForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_view.resize(width(), height());
    redraw();
}

void TOrbitForm::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        redraw();
    QWidget::mousePressEvent(event);
}

void TOrbitForm::keyPressEvent(QKeyEvent* event)
{
    // The entries' keys, also when the window has the focus without its shortcuts being seen.
    switch (event->key()) {
    case Qt::Key_Plus: zoomIn(); return;
    case Qt::Key_Minus: zoomOut(); return;
    case Qt::Key_Delete: deleteOrbits(); return;
    default: QWidget::keyPressEvent(event);
    }
}

void TOrbitForm::contextMenuEvent(QContextMenuEvent* event)
{
    updateMenu();
    m_menu->popup(event->globalPos());
}

void TOrbitForm::closeEvent(QCloseEvent* event)
{
    m_drainTimer->stop();
    if (m_recorder)
        m_recorder->close();
    emit closed();
    QWidget::closeEvent(event);
}

void runOrbitCommand(TMainForm& window)
{
    window.showAt100();
    window.CancelModes();
    const document::TFractal& f = window.fractal();
    const AppSettings& settings = window.settings();
    window.openOrbitWindow(f.Params.EscapeLevelSq, f.Params.MaxIter, window.geometry().topLeft() + QPoint(10, 75),
                           settings.language(), settings.prefs.fontSize);
}

}  // namespace ui
