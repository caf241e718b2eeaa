#include "ui/text/CatalogueTexts.h"
#include "ui/text/ColourEditorTexts.h"
// (the text tables before the lookup helpers of ui/Texts.h)
#include "ui/editors/Color8bForm.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "document/Fractal.h"
#include "ui/editors/BackgroundRecolour.h"
#include "ui/editors/ColourFiles.h"
#include "ui/ImageView.h"
#include "ui/MainForm.h"
#include "ui/tools/MarkerLayer.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"

namespace ui {

using colour::editors::PaletteEditorModel;
using text::ColourEditorA11yText;
using text::PaletteEditorText;

namespace {

constexpr int Cell = PaletteEditorModel::CellPixels;
constexpr int Columns = PaletteEditorModel::GridColumns;
constexpr int Rows = PaletteEditorModel::GridRows;

QColor entryColour(const colour::PaletteEntry& e)
{
    return QColor(e.red, e.green, e.blue);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------

PaletteGrid::PaletteGrid(const PaletteEditorModel& model, const colour::Colour8State& document, int language,
                         QWidget* parent)
    : QWidget(parent), m_model(model), m_document(document), m_language(language)
{
    setObjectName(QStringLiteral("PalPaintBox"));
    setFixedSize(Columns * Cell, Rows * Cell);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleDescription(tx(ColourEditorA11yText::PaletteGrid, language));
    announce();
}

QString PaletteGrid::cellName(int cell) const
{
    if (cell < 0 || cell >= PaletteEditorModel::EntryCells)
        return tx(ColourEditorA11yText::EmptyCell, m_language).arg(cell);
    const colour::PaletteEntry& e = m_model.editPalette().entries[size_t(cell)];
    return tx(ColourEditorA11yText::CellName, m_language).arg(cell).arg(e.red).arg(e.green).arg(e.blue);
}

QPoint PaletteGrid::cellCentre(int cell) const
{
    return QPoint((cell % Columns) * Cell + Cell / 2, (cell / Columns) * Cell + Cell / 2);
}

void PaletteGrid::setFocusCell(int cell)
{
    cell = std::clamp(cell, 0, PaletteEditorModel::CellCount - 1);
    if (cell == m_focus)
        return;
    m_focus = cell;
    announce();
    update();
}

void PaletteGrid::setEditing(bool editing)
{
    m_editing = editing;
    update();
}

void PaletteGrid::refresh()
{
    announce();
    update();
}

void PaletteGrid::announce()
{
    const QString name = cellName(m_focus);
    if (accessibleName() == name)
        return;
    setAccessibleName(name);
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
        QAccessibleEvent focus(this, QAccessible::Focus);
        if (hasFocus())
            QAccessible::updateAccessibility(&focus);
    }
}

void PaletteGrid::paint(QPainter& painter) const
{
    const colour::Palette& palette = m_model.editPalette();
    const QColor face = QWidget::palette().color(QPalette::Button);
    painter.fillRect(QRect(0, 0, Columns * Cell, Rows * Cell), QWidget::palette().color(QPalette::Window));
    for (int cell = 0; cell < PaletteEditorModel::CellCount; ++cell) {
        const int x = (cell % Columns) * Cell, y = (cell / Columns) * Cell;
        if (cell < PaletteEditorModel::EntryCells) {
            // A 14 x 14 square with a black border.
            painter.setPen(Qt::black);
            painter.setBrush(entryColour(palette.entries[size_t(cell)]));
            painter.drawRect(x, y, Cell - 2, Cell - 2);
        } else {
            painter.fillRect(x, y, Cell - 1, Cell - 1, face);
        }
    }
    painter.setBrush(Qt::NoBrush);
    const int current = m_model.currentCell();
    if (m_editing && current >= 0) {
        const int x = (current % Columns) * Cell, y = (current / Columns) * Cell;
        painter.setPen(Qt::white);
        painter.drawRect(x, y, Cell - 2, Cell - 2);
        painter.setPen(Qt::black);
        painter.drawRect(x + 1, y + 1, Cell - 4, Cell - 4);
    }
    const int bio = m_document.BiomorphIndex;
    if (bio >= 0 && bio < PaletteEditorModel::EntryCells) {
        const colour::PaletteEntry& e = palette.entries[size_t(bio)];
        const int mean = (int(e.red) + int(e.green) + int(e.blue)) / 3;
        const int x = (bio % Columns) * Cell, y = (bio / Columns) * Cell;
        painter.setPen(mean < 128 ? Qt::white : Qt::black);
        painter.drawRect(x + 1, y + 1, Cell - 4, Cell - 4);
    }
    if (hasFocus()) {
        const int x = (m_focus % Columns) * Cell, y = (m_focus / Columns) * Cell;
        QPen pen(QWidget::palette().color(QPalette::Highlight), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(x - 1 < 0 ? 0 : x - 1, y - 1 < 0 ? 0 : y - 1, Cell, Cell);
    }
}

void PaletteGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter);
}

QImage PaletteGrid::render() const
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter);
    return image;
}

void PaletteGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    const int cell = PaletteEditorModel::cellAt(p.x(), p.y());
    if (cell < 0)
        return;
    setFocusCell(cell);
    m_pressed = true;
    emit cellPressed(cell);
}

void PaletteGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    emit cellReleased();
}

void PaletteGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    const int cell = PaletteEditorModel::cellAt(p.x(), p.y());
    if (cell >= 0)
        emit cellDoubleClicked(cell);
}

void PaletteGrid::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: setFocusCell(m_focus - 1); break;
    case Qt::Key_Right: setFocusCell(m_focus + 1); break;
    case Qt::Key_Up: setFocusCell(m_focus - Columns >= 0 ? m_focus - Columns : m_focus); break;
    case Qt::Key_Down:
        setFocusCell(m_focus + Columns < PaletteEditorModel::CellCount ? m_focus + Columns : m_focus);
        break;
    case Qt::Key_Home: setFocusCell(0); break;
    case Qt::Key_End: setFocusCell(PaletteEditorModel::EntryCells - 1); break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->isAutoRepeat())
            break;
        emit cellPressed(m_focus);
        emit cellReleased();
        break;
    case Qt::Key_F2: emit cellDoubleClicked(m_focus); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void PaletteGrid::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void PaletteGrid::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

// ---------------------------------------------------------------------------------------------------------

TColor8bForm::TColor8bForm(TMainForm& window)
    : QDialog(&window),
      m_window(window),
      m_language(window.settings().language()),
      m_model(window.fractal().colour8(),
              colour::editors::PreviewPolicy(std::clamp(window.settings().prefs.previewMode, 0, 2))),
      m_recolourer(new BackgroundRecolourer(window.fractal(), this))
{
    setObjectName(QStringLiteral("Color8bForm"));
    const colour::editors::EditorModel::FillingScope filling(m_model);
    window.ShowStatus(QString());
    QFont f = font();
    f.setPointSize(window.settings().prefs.fontSize);
    setFont(f);
    setWindowTitle(tx(PaletteEditorText::Caption, m_language));
    setAcceptDrops(true);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    auto* palettePage = new QWidget(m_pages);
    palettePage->setObjectName(QStringLiteral("PaletteSheet"));
    auto* boundariesPage = new QWidget(m_pages);
    boundariesPage->setObjectName(QStringLiteral("BoundariesSheet"));
    buildPalettePage(palettePage);
    buildBoundariesPage(boundariesPage);
    m_pages->addTab(palettePage, tx(PaletteEditorText::Palette, m_language));
    m_pages->addTab(boundariesPage, tx(PaletteEditorText::ColorBoundaries, m_language));
    m_pages->setCurrentIndex(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);

    ImageView* image = window.mainImage();
    document::TFractal* fractal = &window.fractal();
    connect(m_recolourer, &BackgroundRecolourer::rowsRecoloured, this, [image, fractal](int first, int last) {
        image->copyRows(fractal->Bitmap, first, last);
    });
    connect(m_recolourer, &BackgroundRecolourer::finished, this, [this] { m_window.ShowStatus(m_status); });
    syncButtons();
    m_grid->setFocus();
}

TColor8bForm::~TColor8bForm() = default;

void TColor8bForm::buildPalettePage(QWidget* page)
{
    m_grid = new PaletteGrid(m_model, m_window.fractal().colour8(), m_language, page);
    const bool hints = m_window.settings().prefs.hints;
    auto button = [this, page, hints](const char* name, PaletteEditorText hint, bool checkable) {
        auto* b = new QPushButton(tx(hint, m_language), page);
        b->setObjectName(QLatin1String(name));
        b->setCheckable(checkable);
        b->setAccessibleName(tx(hint, m_language));
        if (hints)
            b->setToolTip(tx(hint, m_language));
        return b;
    };
    m_open = button("OpenButton", PaletteEditorText::OpenPalette, false);
    m_save = button("SaveButton", PaletteEditorText::SavePalette, false);
    m_left = button("LeftButton", PaletteEditorText::RotateLeft, false);
    m_right = button("RigthButton", PaletteEditorText::RotateRight, false);
    m_gradientRgb = button("DegraButtonRGB", PaletteEditorText::RGBGradient, true);
    m_gradientHsv = button("DegraButtonHSV", PaletteEditorText::HSVGradient, true);
    m_biomorph = button("BioMoButton", PaletteEditorText::BiomorphColor, true);
    m_seeColour = button("SeeColButton", PaletteEditorText::SeeColorOnFractal, true);
    m_preview1 = button("SeeButton1", PaletteEditorText::ViewModifications, m_model.previewButtonsSticky());

    auto* column = new QVBoxLayout;
    for (QPushButton* b : {m_open, m_save, m_left, m_right, m_gradientRgb, m_gradientHsv, m_biomorph, m_seeColour,
                           m_preview1})
        column->addWidget(b);
    column->addStretch();
    auto* row = new QHBoxLayout(page);
    row->addWidget(m_grid, 0, Qt::AlignTop);
    row->addLayout(column);

    connect(m_grid, &PaletteGrid::cellPressed, this, &TColor8bForm::onPressed);
    connect(m_grid, &PaletteGrid::cellReleased, this, &TColor8bForm::onReleased);
    connect(m_grid, &PaletteGrid::cellDoubleClicked, this, &TColor8bForm::onDoubleClicked);
    for (QPushButton* b : {m_gradientRgb, m_gradientHsv, m_biomorph, m_seeColour})
        connect(b, &QPushButton::clicked, this, [this, b](bool checked) { onModeButton(b, checked); });
    connect(m_left, &QPushButton::clicked, this, [this] { rotate(colour::RotateDirection::Out); });
    connect(m_right, &QPushButton::clicked, this, [this] { rotate(colour::RotateDirection::In); });
    connect(m_open, &QPushButton::clicked, this, [this] { openPalette({}); });
    connect(m_save, &QPushButton::clicked, this, &TColor8bForm::savePalette);
    connect(m_preview1, &QPushButton::clicked, this, &TColor8bForm::onPreview);
}

void TColor8bForm::buildBoundariesPage(QWidget* page)
{
    m_boundaryType = new QComboBox(page);
    m_boundaryType->setObjectName(QStringLiteral("FrontComboBox"));
    using colour::BoundaryKind;
    for (BoundaryKind kind : {BoundaryKind::Linear, BoundaryKind::Log, BoundaryKind::Sqrt})
        m_boundaryType->addItem(
            qstr(text::catalogueName(text::CatalogueList::BoundaryTypes, int(kind), m_language)));
    m_multiplier = new QSpinBox(page);
    m_multiplier->setObjectName(QStringLiteral("CorrSpinEdit"));
    m_multiplier->setRange(PaletteEditorModel::MultiplierMin, PaletteEditorModel::MultiplierMax);
    m_multiplier->setStyleSheet(QStringLiteral("QSpinBox:disabled { background-color: #C0C0C0; }"));
    const QString typeLabel = tx(PaletteEditorText::ColorBoundariesType, m_language);
    const QString multLabel = tx(PaletteEditorText::Multiplier, m_language);
    m_boundaryType->setAccessibleName(typeLabel);
    m_multiplier->setAccessibleName(multLabel);
    auto* typeText = new QLabel(typeLabel, page);
    typeText->setBuddy(m_boundaryType);
    auto* multText = new QLabel(multLabel, page);
    multText->setBuddy(m_multiplier);

    const bool hints = m_window.settings().prefs.hints;
    m_preview2 = new QPushButton(tx(PaletteEditorText::ViewModifications, m_language), page);
    m_preview2->setObjectName(QStringLiteral("SeeButton2"));
    m_preview2->setCheckable(m_model.previewButtonsSticky());
    m_preview2->setAccessibleName(tx(PaletteEditorText::ViewModifications, m_language));
    if (hints)
        m_preview2->setToolTip(tx(PaletteEditorText::ViewModifications, m_language));

    // A code only a damaged file can hold shows the first rule.
    const int rule = int(m_model.candidateBoundary());
    m_boundaryType->setCurrentIndex(rule < m_boundaryType->count() ? rule : 0);
    m_multiplier->setValue(m_model.candidateMultiplier());
    applyMultiplierState();

    auto* form = new QFormLayout;
    form->addRow(typeText, m_boundaryType);
    form->addRow(multText, m_multiplier);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(m_preview2, 0, Qt::AlignLeft);
    layout->addStretch();

    connect(m_boundaryType, &QComboBox::currentIndexChanged, this, &TColor8bForm::onBoundaryType);
    connect(m_multiplier, &QSpinBox::valueChanged, this, &TColor8bForm::onMultiplier);
    connect(m_preview2, &QPushButton::clicked, this, &TColor8bForm::onPreview);
}

void TColor8bForm::setStatus(const QString& text)
{
    m_status = text;
    m_window.ShowStatus(text);
}

void TColor8bForm::syncButtons()
{
    using Mode = PaletteEditorModel::Mode;
    const Mode mode = m_model.mode();
    const bool gradient = mode == Mode::GradientFirstPoint || mode == Mode::GradientSecondPoint;
    m_gradientRgb->setChecked(gradient && m_model.gradientKind() == colour::GradientKind::Rgb);
    m_gradientHsv->setChecked(gradient && m_model.gradientKind() == colour::GradientKind::Hsv);
    m_biomorph->setChecked(mode == Mode::BiomorphPick);
    m_seeColour->setChecked(mode == Mode::SeeColour);
    if (m_model.previewButtonsSticky()) {
        m_preview1->setChecked(m_model.previewOn());
        m_preview2->setChecked(m_model.previewOn());
    }
    m_grid->setEditing(gradient);
}

void TColor8bForm::showPalette(const colour::Palette& palette)
{
    m_window.mainImage()->setPalette8(palette);
}

void TColor8bForm::recolour()
{
    m_window.ShowStatus(tx(PaletteEditorText::Redrawing, m_language));
    m_recolourer->request();
}

void TColor8bForm::previewStep()
{
    if (!m_model.previewOn())
        return;
    showPalette(m_model.editPalette());
    recolour();
}

void TColor8bForm::onPressed(int cell)
{
    using Outcome = PaletteEditorModel::PressOutcome;
    switch (m_model.pressCell(cell)) {
    case Outcome::FirstPointChosen:
        setStatus(tx(m_model.gradientKind() == colour::GradientKind::Rgb ? PaletteEditorText::GradientRgbSecond
                                                                         : PaletteEditorText::GradientHsvSecond,
                     m_language));
        break;
    case Outcome::GradientDone:
        setStatus(QString());
        m_grid->refresh();
        previewStep();
        break;
    case Outcome::BiomorphPicked:
        setStatus(QString());
        if (m_model.previewOn())
            recolour();
        break;
    case Outcome::Flashing:
        showPalette(m_model.editPalette());
        recolour();
        break;
    case Outcome::Nothing: break;
    }
    syncButtons();
    m_grid->refresh();
}

void TColor8bForm::onReleased()
{
    if (!m_model.releaseCell())
        return;
    showPalette(m_model.editPalette());
    recolour();
    m_grid->refresh();
}

void TColor8bForm::onDoubleClicked(int cell)
{
    m_model.endModes();
    syncButtons();
    if (cell >= 1 && cell < PaletteEditorModel::EntryCells) {
        m_model.pressCell(cell);  // no mode: only makes it the current cell
        m_grid->setEditing(true);
        setStatus(tx(PaletteEditorText::SelectNewColor, m_language));
        const colour::PaletteEntry e = m_model.editPalette().entries[size_t(cell)];
        if (const std::optional<QColor> chosen = pickColour(this, entryColour(e)))
            m_model.setEntryColour(cell, uint8_t(chosen->red()), uint8_t(chosen->green()), uint8_t(chosen->blue()));
        m_grid->setEditing(false);
        setStatus(QString());
    }
    m_grid->refresh();
    previewStep();
}

void TColor8bForm::onModeButton(QPushButton* button, bool checked)
{
    if (!checked) {
        m_model.endModes();
        setStatus(QString());
    } else if (button == m_gradientRgb) {
        m_model.startGradient(colour::GradientKind::Rgb);
        setStatus(tx(PaletteEditorText::GradientRgbFirst, m_language));
    } else if (button == m_gradientHsv) {
        m_model.startGradient(colour::GradientKind::Hsv);
        setStatus(tx(PaletteEditorText::GradientHsvFirst, m_language));
    } else if (button == m_biomorph) {
        m_model.startBiomorphPick();
        setStatus(tx(PaletteEditorText::SelectBiomorpheColor, m_language));
    } else {
        m_model.startSeeColour();
        setStatus(tx(PaletteEditorText::ClickToSeeBoundary, m_language));
    }
    syncButtons();
}

void TColor8bForm::rotate(colour::RotateDirection direction)
{
    m_model.endModes();
    setStatus(QString());
    m_model.rotate(direction);
    syncButtons();
    m_grid->refresh();
    previewStep();
}

void TColor8bForm::openPalette(const QString& droppedFile)
{
    m_model.endModes();
    syncButtons();
    setStatus(tx(PaletteEditorText::OpenPaletteStatus, m_language));
    colour::Palette loaded = m_model.editPalette();
    loadPalette8(this, m_window.services(), loaded, m_caption, droppedFile);
    // Whatever the loader left: a failed load leaves the palette as it was.
    m_model.loadPalette(loaded);
    m_grid->refresh();
    showPalette(m_model.shownPalette());
    setWindowTitle(m_caption.isEmpty() ? tx(PaletteEditorText::Caption, m_language) : m_caption);
    setStatus(QString());
    recolour();
}

void TColor8bForm::openDroppedFile(const QString& path)
{
    openPalette(path);
}

void TColor8bForm::savePalette()
{
    m_model.endModes();
    syncButtons();
    setStatus(tx(PaletteEditorText::SavePaletteStatus, m_language));
    savePalette8(this, m_window.services(), m_model.editPalette(), m_caption);
    if (!m_caption.isEmpty())
        setWindowTitle(m_caption);
    setStatus(QString());
}

void TColor8bForm::applyMultiplierState()
{
    m_multiplier->setEnabled(m_model.multiplierEnabled());
}

void TColor8bForm::onBoundaryType(int index)
{
    if (m_model.filling() || index < 0)
        return;
    m_model.setBoundaryType(colour::BoundaryKind(index));
    m_window.fractal().SelectColorLine();
    applyMultiplierState();
    if (m_model.previewOn())
        recolour();
}

void TColor8bForm::onMultiplier(int value)
{
    if (m_model.filling())
        return;
    m_model.setMultiplier(value);
    if (m_model.previewOn())
        recolour();
}

void TColor8bForm::onPreview()
{
    const colour::Palette shown = m_model.clickPreview();
    m_window.fractal().SelectColorLine();
    setStatus(QString());
    syncButtons();
    showPalette(shown);
    recolour();
}

void TColor8bForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TColor8bForm::dropEvent(QDropEvent* event)
{
    const QString path = droppedLocalFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openDroppedFile(path);
}

void TColor8bForm::done(int result)
{
    if (!m_ended) {
        m_ended = true;
        m_recolourer->cancel();
        document::TFractal& f = m_window.fractal();
        if (result == QDialog::Accepted) {
            m_model.accept();
            f.Modified = true;
        } else {
            m_model.cancel();
        }
        f.SelectColorLine();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        f.ColourAllRows();
        QApplication::restoreOverrideCursor();
        m_window.pictureChanged();  // every row, through the document's palette
        m_window.ShowStatus(QString());
    }
    QDialog::done(result);
}

bool runPalette8Command(TMainForm& window)
{
    if (window.fractal().Bitmap.PixelFormat != engine::PixelFormat8)
        return false;
    // The editors recolour the picture and change the colour state the row colouring reads: not while
    // a computation or a picture operation runs on another thread.
    if (!window.isIdle()) {
        window.services().beep();
        return false;
    }
    TColor8bForm form(window);
    // The editor recolours the picture: the markers come off it meanwhile and go on again afterwards.
    window.markerLayer().hideForRewrite();
    const bool accepted = form.exec() == QDialog::Accepted;
    window.markerLayer().pictureRewritten();
    window.DrawMainMenus();
    return accepted;
}

}  // namespace ui
