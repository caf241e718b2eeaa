#include "ui/dialogs/PosterForm.h"

#include "ui/text/PrintDialogTexts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "document/Fractal.h"
#include "ui/MainForm.h"
#include "ui/tools/MarkerLayer.h"
#include "ui/Texts.h"

namespace ui {

namespace {

using text::PrintDialogText;

}  // namespace

TPosterForm::TPosterForm(const document::TFractal& f, int language, int fontSize, QWidget* parent)
    : QDialog(parent), m_fractal(f)
{
    setObjectName(QStringLiteral("PosterForm"));
    QFont font = this->font();
    font.setPointSize(fontSize);
    setFont(font);
    setWindowTitle(tx(PrintDialogText::PosterCaption, language));
    m_centre = {f.Params.CentreX, f.Params.CentreY};

    const int w = std::max(1, f.Params.Width), h = std::max(1, f.Params.Height);
    const QSize size = w >= h ? QSize(LongerSide, std::max(1, int(std::lround(LongerSide * double(h) / w))))
                              : QSize(std::max(1, int(std::lround(LongerSide * double(w) / h))), LongerSide);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    for (int row = -1; row <= 1; ++row) {
        for (int column = -1; column <= 1; ++column) {
            const int index = (row + 1) * 3 + column + 1;
            auto* b = new QToolButton(this);
            b->setObjectName(QStringLiteral("Cell%1%2").arg(row + 1).arg(column + 1));
            b->setFixedSize(size);
            // The cells' names for screen readers, row by row.
            b->setAccessibleName(tx(PrintDialogText(int(PrintDialogText::UpperLeft) + index), language));
            b->setCheckable(column != 0 || row != 0);
            b->setEnabled(column != 0 || row != 0);
            b->setFocusPolicy(b->isEnabled() ? Qt::StrongFocus : Qt::NoFocus);
            connect(b, &QToolButton::clicked, this, [this, column, row] { choose(column, row); });
            m_cells[size_t(index)] = b;
            grid->addWidget(b, row + 1, column + 1);
        }
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    paintCells();
}

void TPosterForm::choose(int column, int row)
{
    if (column == 0 && row == 0)
        return;
    m_neighbour = {std::clamp(column, -1, 1), std::clamp(row, -1, 1)};
    m_centre = storage::posterNeighbourCentre(m_fractal, m_neighbour);
    paintCells();
}

void TPosterForm::paintCells()
{
    for (int row = -1; row <= 1; ++row) {
        for (int column = -1; column <= 1; ++column) {
            QToolButton* b = cell(column, row);
            const bool current = column == 0 && row == 0;
            const bool chosen = !current && m_neighbour.column == column && m_neighbour.row == row;
            b->setChecked(chosen);
            // The current image grey, the chosen neighbour highlighted, the others a black outline.
            const QString fill = current ? QStringLiteral("#808080") : chosen ? QStringLiteral("palette(highlight)")
                                                                              : QStringLiteral("white");
            b->setStyleSheet(QStringLiteral("QToolButton { background-color: %1; border: 1px solid black; }"
                                            "QToolButton:focus { border: 2px dotted black; }")
                                 .arg(fill));
        }
    }
}

bool runPosterCommand(TMainForm& window)
{
    if (!window.QuerySave(text::MessageText::NewFractalTitle))
        return false;
    document::TFractal& f = window.fractal();
    const int language = window.settings().language();
    window.ShowStatus(tx(text::StatusText::SelectNextImage, language));
    TPosterForm form(f, language, window.settings().prefs.fontSize, &window);
    const bool accepted = form.exec() == QDialog::Accepted;
    if (accepted) {
        window.ShowStatus(tx(text::StatusText::PleaseWait, language));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // The markers point at pixels of the present tile: the next tile starts without them, as after Erase.
        window.markerLayer().deleteAll();
        window.recordViewChange();  // Back returns to the present tile
        storage::moveToPosterTile(f, form.newCentre());
        window.pictureChanged();
        QApplication::restoreOverrideCursor();
    }
    window.ShowStatus(QString());
    window.setDocumentTitle(f.FileName);
    window.DrawMainMenus();
    return accepted;
}

}  // namespace ui
