#pragma once

#include <QSplashScreen>
#include <memory>

namespace ui {

// The About window shown as a splash screen while the program starts: the product name, the
// version line "VERSION (built:  N)" and the copyright. It stays at least `minimumMs` milliseconds,
// processing events meanwhile, and closes when finish() is called with the main window.
class Splash {
public:
    explicit Splash(int minimumMs = 700);
    ~Splash();
    void finish(QWidget* mainWindow);

    static QString versionLine();

private:
    std::unique_ptr<QSplashScreen> m_screen;
    int m_minimumMs;
};

}  // namespace ui
