#include "ui/tools/ProgForm.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace ui {

std::atomic<bool>& abortFlag()
{
    static std::atomic<bool> flag{false};
    return flag;
}

TProgForm::TProgForm(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ProgForm"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgBar"));
    m_bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    resize(260, 40);
    setFocusPolicy(Qt::StrongFocus);
}

void TProgForm::open(int maximum, int step)
{
    m_bar->setRange(0, std::max(maximum, 1));
    m_bar->setValue(0);
    m_step = std::max(step, 1);
    abortFlag() = false;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    setFocus();
}

void TProgForm::stepIt()
{
    m_bar->setValue(std::min(m_bar->value() + m_step, m_bar->maximum()));
}

void TProgForm::setFraction(double fraction)
{
    m_bar->setValue(int(std::lround(std::clamp(fraction, 0.0, 1.0) * m_bar->maximum())));
}

int TProgForm::position() const
{
    return m_bar->value();
}

void TProgForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        abortFlag() = true;
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

ProgressWindowObserver::ProgressWindowObserver(QWidget* parent, int maximum) : m_form(new TProgForm(parent))
{
    m_form->open(maximum, 10);
}

ProgressWindowObserver::~ProgressWindowObserver()
{
    delete m_form;
}

void ProgressWindowObserver::progressChanged(double fraction)
{
    m_form->setFraction(fraction);
    // Let the bar be drawn; user input waits until the operation has ended.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace ui
