// The main window's side of the orbit and cross-section windows.
#include "document/Fractal.h"
#include "engine/OrbitRecorder.h"
#include "ui/MainForm.h"
#include "ui/tools/OrbitForm.h"
#include "ui/tools/ProfilForm.h"

namespace ui {

TOrbitForm* TMainForm::orbitForm() const
{
    return m_orbitForm;
}

TProfilForm* TMainForm::profileForm() const
{
    return m_profileForm;
}

void TMainForm::openOrbitWindow(uint16_t escapeValue, uint16_t maxIter, QPoint topLeft, int language, int fontSize)
{
    if (!m_orbitForm) {
        m_orbitForm = new TOrbitForm(this);
        connect(m_orbitForm, &TOrbitForm::closed, this, [this] {
            // Orbit mode ends: a running computation stops recording from its next pixel on.
            if (isIdle()) {
                m_fractal->State.Orbit = nullptr;
                m_orbitInUse.reset();
            }
        });
    }
    m_orbitForm->open(escapeValue, maxIter, topLeft, language, fontSize);
    if (isIdle())
        attachOrbit();
}

void TMainForm::attachOrbit()
{
    if (!isIdle())
        return;
    m_orbitInUse = m_orbitForm && m_orbitForm->isVisible() ? m_orbitForm->recorder() : nullptr;
    m_fractal->State.Orbit = m_orbitInUse.get();
}

engine::OrbitRecorder* TMainForm::probeOrbit()
{
    if (!isIdle() || !m_orbitForm || !m_orbitForm->isVisible())
        return nullptr;
    return m_orbitForm->recorder().get();
}

void TMainForm::probeFinished()
{
    if (!isIdle())
        return;
    // The computing side has ended: what it recorded last is published and drawn.
    if (m_orbitInUse)
        m_orbitInUse->flush();
    if (m_orbitForm) {
        if (m_orbitForm->recorder() && m_orbitForm->recorder() != m_orbitInUse)
            m_orbitForm->recorder()->flush();
        m_orbitForm->drain();
    }
}

void TMainForm::openProfileWindow(int row)
{
    if (!m_profileForm)
        m_profileForm = new TProfilForm(*this);
    m_profileForm->fill(row);
}

void TMainForm::closeToolWindows()
{
    if (m_orbitForm)
        m_orbitForm->close();
    if (m_profileForm)
        m_profileForm->close();
}

}  // namespace ui
