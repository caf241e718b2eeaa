#include "ui/StatusLine.h"

#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <cmath>

#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "ui/Texts.h"

namespace ui {

namespace {

constexpr std::array<int, StatusLine::PanelCount> InitialWidths = {50, 50, 50, 50, 200};
constexpr int LinePanelWidth = 40;
constexpr int ProgressWidth = 260;
// Room added to the text width of panels 1 to 4.
constexpr std::array<int, StatusLine::PanelCount> Padding = {0, 25, 30, 20, 20};

constexpr std::array<const char*, 8> DepthNames = {"Dev", "1 bit", "4 bit", "8 bit", "15 bit", "16 bit", "24 bit", "32 bit"};

}  // namespace

QString sizePanelText(int width, int height, int pixelFormat)
{
    const QString depth = pixelFormat >= 0 && size_t(pixelFormat) < DepthNames.size()
        ? QString::fromLatin1(DepthNames[size_t(pixelFormat)])
        : QString();
    return QStringLiteral("%1x%2x%3").arg(width).arg(height).arg(depth);
}

QString typePanelText(const document::TFractal& f, int language)
{
    const engine::FractalParams& p = f.Params;
    const engine::TypeTraits& type = engine::traits(p.FractalType);
    QString t = qstr(type.name);
    if (type.hasFormula && p.Algorithm == engine::AlgLevel)
        t += QLatin1Char(' ') + qstr(engine::formulaName(p.Formula));
    t += QStringLiteral(" / ") + qstr(engine::algorithmName(p.Algorithm, language));
    if (type.hasFunction)
        t += QStringLiteral(" [fn=") + qstr(engine::functionName(p.FunctionIndex)) + QLatin1Char(']');
    return t;
}

QString scalePanelText(double scale)
{
    return QString::number(std::lround(scale * 100.0)) + QLatin1Char('%');
}

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(true);
    for (int i = 0; i < PanelCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        // The first panel has no bevel.
        label->setFrameShape(i == 0 ? QFrame::NoFrame : QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        // Clicks go to the status line itself, which knows the panels.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        addWidget(label, i == MessagePanel ? 1 : 0);
        m_panels[size_t(i)] = label;
        setPanelWidth(i, InitialWidths[size_t(i)]);
    }
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->setRange(0, 100);
    m_progress->setMaximumWidth(ProgressWidth);
    m_progress->setTextVisible(true);
    m_progress->hide();
    addPermanentWidget(m_progress);
}

void StatusLine::showProgress(int percent, const QString& text, int language)
{
    const QString name = tx(text::NavigationText::Progress, language);
    if (m_progress->accessibleName() != name)
        m_progress->setAccessibleName(name);
    m_progress->setValue(percent);
    // "%p%" is the percentage; a "%" of the text itself is doubled.
    QString format = QStringLiteral("%p%") + QString(text).replace(QLatin1Char('%'), QStringLiteral("%%"));
    m_progress->setFormat(format);
    m_progress->setAccessibleDescription(m_progress->text());
    m_progress->show();
}

void StatusLine::hideProgress()
{
    m_progress->hide();
}

QString StatusLine::panelText(int index) const
{
    return m_panels[size_t(index)]->text();
}

void StatusLine::setPanelWidth(int index, int width)
{
    QLabel* label = m_panels[size_t(index)];
    if (index == MessagePanel)
        label->setMinimumWidth(width);
    else
        label->setFixedWidth(width);
}

void StatusLine::showStatus(const QString& message, bool restorePrevious, const StatusInputs& in)
{
    if (!restorePrevious)
        m_saved = panelText(MessagePanel).left(SavedMessageLength);
    if (message.isEmpty())
        m_panels[0]->clear();
    if (in.width < 2 || in.height < 2) {
        for (int i = 1; i <= 3; ++i)
            m_panels[size_t(i)]->clear();
    } else {
        m_panels[1]->setText(sizePanelText(in.width, in.height, in.pixelFormat));
        m_panels[2]->setText(in.typeText);
        m_panels[3]->setText(scalePanelText(in.displayScale));
    }
    QString last = restorePrevious ? m_saved : message;
    if (message.isEmpty() && in.stale)
        last = tx(text::StatusText::MustRecalculate, in.language);
    if (message.isEmpty() && !in.idle)
        last = tx(text::StatusText::Working, in.language);
    m_panels[MessagePanel]->setText(last);

    setPanelWidth(0, LinePanelWidth);
    const QFontMetrics metrics(font());
    for (int i = 1; i < PanelCount; ++i)
        setPanelWidth(i, metrics.horizontalAdvance(panelText(i)) + Padding[size_t(i)]);
    repaint();
}

void StatusLine::showLine(int row)
{
    m_panels[0]->setText(QString::number(row));
}

int StatusLine::panelAt(int x) const
{
    for (int i = 0; i < PanelCount; ++i) {
        const QRect r = m_panels[size_t(i)]->geometry();
        if (x >= r.left() && x <= r.right())
            return i;
    }
    return -1;
}

void StatusLine::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The double-click arrives where its first press was: that place names the panel.
    const int index = panelAt(int(event->position().x()));
    if (index >= 0)
        emit panelDoubleClicked(index);
    QStatusBar::mouseDoubleClickEvent(event);
}

}  // namespace ui
