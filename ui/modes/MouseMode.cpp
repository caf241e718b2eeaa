#include "ui/modes/MouseMode.h"

#include "document/Fractal.h"
#include "engine/NumberFormat.h"

namespace ui {

namespace {
constexpr int PromptLength = 40;
constexpr int LiveDigits = 15;
}  // namespace

MouseMode::MouseMode(ModeHost& host, LingeringOverlays& lingering)
    : m_host(host), m_lingering(lingering), m_step(host.fractal().Params.Step), m_leftX(host.fractal().LeftX),
      m_topY(host.fractal().TopY)
{
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
