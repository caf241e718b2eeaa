#pragma once

#include <QDialog>

namespace ui {

class TMainForm;

// "About": the logo (a small picture of the Mandelbrot set computed by Vorex itself), the product, its
// version line, the copyright and the credits of the libraries Vorex uses with their licences. OK or Esc
// closes it.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(int language, QWidget* parent = nullptr);
};

void runAboutCommand(TMainForm& window);

}  // namespace ui
