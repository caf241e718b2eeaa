#include "ui/Splash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>

#include "storage/Preferences.h"
#include "ui/Texts.h"

namespace ui {
namespace {

constexpr QSize SplashSize(360, 160);
constexpr int EventSliceMs = 20;

QPixmap splashPicture()
{
    QPixmap pixmap(SplashSize);
    pixmap.fill(QColor(0x2A, 0x3F, 0xAA));
    QPainter p(&pixmap);
    p.setPen(Qt::white);
    QFont title = p.font();
    title.setPointSize(28);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 20, SplashSize.width(), 60), Qt::AlignCenter, qstr(text::ProductTitle));
    QFont small = p.font();
    small.setPointSize(10);
    small.setBold(false);
    p.setFont(small);
    p.drawText(QRect(0, 90, SplashSize.width(), 24), Qt::AlignCenter, Splash::versionLine());
    p.drawText(QRect(0, 116, SplashSize.width(), 24), Qt::AlignCenter, qstr(storage::CopyrightText));
    return pixmap;
}

}  // namespace

QString Splash::versionLine()
{
    return qstr(storage::ProductVersionText) + QStringLiteral(" (built:  %1)").arg(storage::ProductBuild);
}

Splash::Splash(int minimumMs) : m_screen(std::make_unique<QSplashScreen>(splashPicture())), m_minimumMs(minimumMs)
{
    m_screen->setObjectName(QStringLiteral("AboutForm"));
    m_screen->show();
    QElapsedTimer shown;
    shown.start();
    // The splash's own timer: let the screen draw and events flow before the main window is built.
    while (shown.elapsed() < m_minimumMs)
        QApplication::processEvents(QEventLoop::AllEvents, EventSliceMs);
}

Splash::~Splash() = default;

void Splash::finish(QWidget* mainWindow)
{
    if (m_screen) {
        m_screen->finish(mainWindow);
        m_screen.reset();
    }
}

}  // namespace ui
