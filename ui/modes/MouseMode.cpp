#include "ui/modes/MouseMode.h"

#include <algorithm>

#include "document/Fractal.h"
#include "engine/NumberFormat.h"

namespace ui {

namespace {
constexpr int PromptLength = 40;
constexpr int LiveDigits = 15;
constexpr int CrossGap = 2;  // the arms start this many pixels from the cursor's pixel
constexpr int CrossArm = 8;  // and end this many pixels from it
}  // namespace

MouseMode::MouseMode(ModeHost& host, LingeringOverlays& lingering)
    : m_host(host), m_lingering(lingering), m_step(host.fractal().Params.Step), m_leftX(host.fractal().LeftX),
      m_topY(host.fractal().TopY),
      m_cross{RubberBand(host.canvas(), RubberBand::Shape::Line), RubberBand(host.canvas(), RubberBand::Shape::Line),
              RubberBand(host.canvas(), RubberBand::Shape::Line), RubberBand(host.canvas(), RubberBand::Shape::Line)}
{
}

QPoint MouseMode::keyPoint()
{
    if (!m_keyPointSet)
        setKeyPoint(m_host.visibleCentre());
    return m_keyPoint;
}

void MouseMode::pointerAt(QPoint pixel)
{
    setKeyPoint(pixel);
    m_crossWanted = false;
}

bool MouseMode::on_arrow(QPoint delta)
{
    const Canvas& c = canvas();
    const QPoint p = keyPoint() + delta;
    setKeyPoint(QPoint(std::clamp(p.x(), 0, std::max(c.width() - 1, 0)), std::clamp(p.y(), 0, std::max(c.height() - 1, 0))));
    m_crossWanted = true;
    MouseEvent e;
    e.imagePos = m_keyPoint;
    e.widgetPos = m_keyPoint;
    e.button = Qt::NoButton;
    on_mousemove(e);
    return true;
}

bool MouseMode::on_keydown(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    MouseEvent e;
    e.imagePos = keyPoint();
    e.widgetPos = e.imagePos;
    switch (enterAction()) {
    case EnterAction::Click:
        on_mousedown(e);
        if (!finished())
            on_mouseup(e);
        break;
    case EnterAction::Press: on_mousedown(e); break;
    case EnterAction::Release: on_mouseup(e); break;
    }
    return true;
}

void MouseMode::hideCrosshair()
{
    for (RubberBand& arm : m_cross)
        arm.hide();
}

void MouseMode::showCrosshair()
{
    hideCrosshair();
    if (!m_crossWanted || m_finished || !showsKeyCursor())
        return;
    const QPoint p = m_keyPoint;
    m_cross[0].show(p - QPoint(CrossArm, 0), p - QPoint(CrossGap, 0));
    m_cross[1].show(p + QPoint(CrossGap, 0), p + QPoint(CrossArm, 0));
    m_cross[2].show(p - QPoint(0, CrossArm), p - QPoint(0, CrossGap));
    m_cross[3].show(p + QPoint(0, CrossGap), p + QPoint(0, CrossArm));
}

void MouseMode::setPrompt(const QString& prompt)
{
    m_prompt = prompt.left(PromptLength);
}

QString MouseMode::general15(double v)
{
    const std::string s = engine::formatGeneral(v, LiveDigits);
    return QString::fromStdString(s);
}

void MouseMode::showPlanePoint(QPoint pixel)
{
    const double x = pixel.x() * m_step + m_leftX;
    const double y = m_topY - pixel.y() * m_step;
    m_host.showStatus(m_prompt + QStringLiteral("X: ") + general15(x) + QStringLiteral(" Y: ") + general15(y));
}

}  // namespace ui
