#pragma once

#include <QDialog>
#include <cstdint>

#include "engine/Catalogue.h"

class QSpinBox;

namespace ui {

// `TRetoucheForm`: the iteration limit of a touch-up. `IterationEdit` (at most 5 digits) starts at the
// current touch-up count and accepts minimum..MaxTouchUpIterations, the minimum being the document's
// maximum iterations: a touch-up never lowers the limit below the one the image was computed with.
class TRetoucheForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxTouchUpIterations = engine::FieldLimits.TouchUpIterations.max;

    TRetoucheForm(uint16_t current, uint16_t minimum, int language, QWidget* parent = nullptr);

    // The chosen count, valid after accept().
    uint16_t iterations() const;

    // Shows the dialog; the chosen count, or 0 when the user cancelled.
    static uint16_t ask(uint16_t current, uint16_t minimum, int language, QWidget* parent = nullptr);

private:
    QSpinBox* m_edit;
};

}  // namespace ui
