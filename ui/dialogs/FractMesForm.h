#pragma once

#include <QDialog>

namespace ui {

// `TFractMesForm`: asks whether to correct a colour set-up that does not suit the chosen algorithm.
// "Yes" (YesButton) accepts the dialog, "No" (NoButton) rejects it.
class TFractMesForm : public QDialog {
    Q_OBJECT
public:
    explicit TFractMesForm(int language, QWidget* parent = nullptr);
};

}  // namespace ui
