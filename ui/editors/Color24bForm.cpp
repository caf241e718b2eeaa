#include "ui/text/CatalogueTexts.h"
#include "ui/text/ColourEditorTexts.h"
// (the text tables before the lookup helpers of ui/Texts.h)
#include "ui/editors/Color24bForm.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "document/Fractal.h"
#include "ui/Cursors.h"
#include "ui/editors/BackgroundRecolour.h"
#include "ui/editors/Color8bForm.h"
#include "ui/editors/ColourFiles.h"
#include "ui/ImageView.h"
#include "ui/MainForm.h"
#include "ui/tools/MarkerLayer.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"

namespace ui {

using colour::editors::ColourTableEditorModel;
using Panel = ColourTableEditorModel::Panel;
using text::ColourEditorA11yText;
using text::ColourTableEditorText;

namespace {

constexpr int RefreshMs = 300, PositionDelayMs = 500;
constexpr int TransferFunctionCount = 6;

QColor fromBgr(uint32_t c)
{
    return QColor(colour::colourRed(c), colour::colourGreen(c), colour::colourBlue(c));
}

uint32_t toBgr(const QColor& c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------

ColourStrip::ColourStrip(ColourTableEditorModel& model, const colour::Colour24State& document, int language,
                         QWidget* parent)
    : QWidget(parent), m_model(model), m_document(document), m_language(language)
{
    setObjectName(QStringLiteral("ColPaintBox"));
    setFixedSize(StripWidth, StripHeight);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAccessibleName(tx(ColourEditorA11yText::Strip, language));
    model.setStripWidth(StripWidth);
}

void ColourStrip::setCursorX(int x)
{
    m_cursorX = std::clamp(x, 0, StripWidth - 1);
    refresh();
}

void ColourStrip::refresh()
{
    const QString description = QStringLiteral("%1 %2, %3 %4, %5")
                                    .arg(tx(ColourEditorA11yText::StripStart, m_language))
                                    .arg(m_model.startLabelValue())
                                    .arg(tx(ColourEditorA11yText::StripEnd, m_language))
                                    .arg(m_model.endLabelValue())
                                    .arg(qstr(m_model.zoomLabel()).trimmed());
    if (accessibleDescription() != description) {
        setAccessibleDescription(description);
        if (QAccessible::isActive()) {
            QAccessibleEvent event(this, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
        }
    }
    update();
}

void ColourStrip::paint(QPainter& painter) const
{
    painter.fillRect(rect(), Qt::black);
    const colour::ColorTable24& t = m_model.workingTable();
    const int64_t p0 = t.records[0].position;
    const int64_t p100 = t.records[colour::ColorTable24::EndRecord].position;
    const int64_t last = std::min<int64_t>(p100, int64_t(m_document.TableR.size()) - 1);
    const int penWidth = int(std::lround(m_model.inverseScale())) + 1;
    int64_t previousX = INT64_MIN;
    for (int64_t v = p0; v <= last; ++v) {
        const int64_t x = m_model.xOf(uint32_t(v));
        if (x == previousX)
            continue;
        previousX = x;
        if (x < -penWidth || x > width() + penWidth)
            continue;
        colour::RgbBytes c;
        m_document.tableEntry(int(v), c);
        painter.setPen(QPen(QColor(c.red, c.green, c.blue), penWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(double(x), 0), QPointF(double(x), height()));
    }
    for (int i = ColourTableEditorModel::FirstBoundary; i <= ColourTableEditorModel::LastBoundary; ++i) {
        const uint32_t position = t.records[size_t(i)].position;
        if (position == colour::FreePosition)
            continue;
        const int64_t x = m_model.xOf(position);
        painter.setPen(QPen(i == m_model.selected() ? Qt::white : Qt::black, 1));
        painter.drawLine(QPointF(double(x), 0), QPointF(double(x), height()));
    }
    if (hasFocus()) {
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawLine(m_cursorX, 0, m_cursorX, height());
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ColourStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter);
}

QImage ColourStrip::render() const
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter);
    return image;
}

void ColourStrip::updateCursorShape(bool altHeld)
{
    if (m_model.zoomMode())
        setCursor(vorexCursor(altHeld ? CursorId::ZoomOut : CursorId::ZoomIn));
    else if (m_model.moveMode())
        setCursor(vorexCursor(CursorId::ZMove));
    else
        unsetCursor();
}

void ColourStrip::mousePressEvent(QMouseEvent* event)
{
    const int x = int(event->position().x());
    if (event->button() == Qt::RightButton) {
        emit rightPressed();
        updateCursorShape(false);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_cursorX = std::clamp(x, 0, StripWidth - 1);
    if (m_model.moveMode()) {
        m_dragging = true;
        m_lastDragX = x;
        return;
    }
    emit clicked(x, (event->modifiers() & Qt::AltModifier) != 0);
}

void ColourStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const int x = int(event->position().x());
    const int dx = x - m_lastDragX;
    m_lastDragX = x;
    if (dx != 0)
        emit dragged(dx);
}

void ColourStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

void ColourStrip::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !m_model.zoomMode() && !m_model.moveMode())
        emit doubleClicked(int(event->position().x()));
}

void ColourStrip::keyPressEvent(QKeyEvent* event)
{
    const int step = (event->modifiers() & Qt::ShiftModifier) ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Left:
        if (m_model.moveMode())
            emit dragged(step);
        else
            setCursorX(m_cursorX - step);
        break;
    case Qt::Key_Right:
        if (m_model.moveMode())
            emit dragged(-step);
        else
            setCursorX(m_cursorX + step);
        break;
    case Qt::Key_Home: setCursorX(0); break;
    case Qt::Key_End: setCursorX(StripWidth - 1); break;
    case Qt::Key_Space: emit selectAt(m_cursorX); break;
    case Qt::Key_Insert: emit addAt(m_cursorX); break;
    case Qt::Key_Plus: emit zoomAt(m_cursorX, false); break;
    case Qt::Key_Minus: emit zoomAt(m_cursorX, true); break;
    case Qt::Key_Alt: updateCursorShape(true); break;
    case Qt::Key_Escape: emit escapePressed(); updateCursorShape(false); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void ColourStrip::keyReleaseEvent(QKeyEvent* event)
{
    updateCursorShape(false);
    QWidget::keyReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------------------

TColor24bForm::TColor24bForm(TMainForm& window, int tag)
    : QDialog(&window),
      m_window(window),
      m_language(window.settings().language()),
      m_tag(tag),
      m_model(window.fractal().colour24(), window.fractal().Params.MaxIter, window.fractal().Params.Algorithm),
      m_recolourer(new BackgroundRecolourer(window.fractal(), this)),
      m_preview(window.settings().prefs.previewMode == 0)
{
    setObjectName(QStringLiteral("Color24bForm"));
    const colour::editors::EditorModel::FillingScope filling(m_model);
    window.ShowStatus(QString());
    QFont f = font();
    f.setPointSize(window.settings().prefs.fontSize);
    setFont(f);
    setWindowTitle(tx(ColourTableEditorText::Caption, m_language));
    setAcceptDrops(true);

    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(RefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &TColor24bForm::onRefresh);
    m_positionDelay = new QTimer(this);
    m_positionDelay->setSingleShot(true);
    m_positionDelay->setInterval(PositionDelayMs);
    connect(m_positionDelay, &QTimer::timeout, this, &TColor24bForm::applyTypedPosition);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    m_pages->addTab(buildBoundariesPage(), tx(ColourTableEditorText::ColorBoundaries, m_language));
    m_pages->addTab(buildTablePage(), tx(ColourTableEditorText::ColorTable, m_language));

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

    const bool calculated = m_model.candidateMode() == colour::TableModeKind::Calculated;
    if (calculated)
        m_model.rebuildTables();
    applyControlRules();
    updateBoundaryControls();
    updateStripLabels();
    refillBoundaryList();
    m_pages->setCurrentIndex(tag == 2 && !calculated ? 1 : 0);
    m_initialising = false;
    m_refresh->stop();
}

TColor24bForm::~TColor24bForm() = default;

QPushButton* TColor24bForm::makeButton(QWidget* parent, const char* name, int hintText, bool checkable)
{
    const QString hint = tx(ColourTableEditorText(hintText), m_language);
    auto* b = new QPushButton(hint, parent);
    b->setObjectName(QLatin1String(name));
    b->setCheckable(checkable);
    b->setAccessibleName(hint);
    if (m_window.settings().prefs.hints)
        b->setToolTip(hint);
    return b;
}

QWidget* TColor24bForm::buildBoundariesPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("BoundariesSheet"));
    m_mode = new QComboBox(page);
    m_mode->setObjectName(QStringLiteral("FrontComboBox"));
    for (int i = 0; i < 2; ++i)
        m_mode->addItem(qstr(text::catalogueName(text::CatalogueList::TableModes, i, m_language)));
    m_mode->setCurrentIndex(m_model.candidateMode() == colour::TableModeKind::Calculated ? 1 : 0);

    m_params = new QGroupBox(tx(ColourTableEditorText::Parameters, m_language), page);
    m_params->setObjectName(QStringLiteral("ParamGroupBox"));
    const colour::CalcParams& p = m_model.candidateParams();
    auto spin = [this](const char* name, int low, int high, int value) {
        auto* s = new QSpinBox(m_params);
        s->setObjectName(QLatin1String(name));
        s->setRange(low, high);
        s->setValue(std::clamp(value, low, high));
        s->setStyleSheet(QStringLiteral("QSpinBox:disabled { background-color: #C0C0C0; }"));
        return s;
    };
    // The offset accepts one turn more: above 359 it loses 360.
    m_hueOffset = spin("OffsetHueEdit", 0, ColourTableEditorModel::HueOffsetMax + 360, p.hueOffset);
    m_hueMult = spin("MultHueEdit", 1, ColourTableEditorModel::HueMultMax, p.hueMult);
    m_valueMult = spin("MultValueEdit", 1, ColourTableEditorModel::ValueMultMax, p.valueMult);
    auto functions = [this](const char* name, int current) {
        auto* c = new QComboBox(m_params);
        c->setObjectName(QLatin1String(name));
        for (int i = 0; i < TransferFunctionCount; ++i)
            c->addItem(qstr(text::catalogueName(text::CatalogueList::TransferFunctions, i, m_language)));
        c->setCurrentIndex(std::clamp(current, 0, TransferFunctionCount - 1));
        c->setStyleSheet(QStringLiteral("QComboBox:disabled { background-color: #C0C0C0; }"));
        return c;
    };
    m_hueFunction = functions("HueComboBox", p.hueFunction);
    m_valueFunction = functions("ValueComboBox", p.valueFunction);

    auto labelled = [this](QWidget* parent, ColourTableEditorText id, QWidget* field) {
        auto* l = new QLabel(tx(id, m_language), parent);
        l->setBuddy(field);
        field->setAccessibleName(tx(id, m_language));
        return l;
    };
    auto* modeRow = new QFormLayout;
    modeRow->addRow(labelled(page, ColourTableEditorText::ColorBoundariesType, m_mode), m_mode);
    auto* grid = new QGridLayout(m_params);
    grid->addWidget(labelled(m_params, ColourTableEditorText::HueOffset, m_hueOffset), 0, 0);
    grid->addWidget(m_hueOffset, 0, 1);
    grid->addWidget(labelled(m_params, ColourTableEditorText::Hue, m_hueFunction), 1, 0);
    grid->addWidget(m_hueFunction, 1, 1);
    grid->addWidget(m_hueMult, 1, 2);
    grid->addWidget(labelled(m_params, ColourTableEditorText::Value, m_valueFunction), 2, 0);
    grid->addWidget(m_valueFunction, 2, 1);
    grid->addWidget(labelled(m_params, ColourTableEditorText::Multiplier, m_valueMult), 3, 0);
    grid->addWidget(m_valueMult, 3, 1);
    // The hue multiplier has no label of its own: it is the multiplier of the hue function.
    m_hueMult->setAccessibleName(tx(ColourTableEditorText::Hue, m_language) + QLatin1Char(' ')
                                 + tx(ColourTableEditorText::Multiplier, m_language));

    m_biomorph2 = makeButton(page, "BioMoButton2", int(ColourTableEditorText::BiomorphColor));
    const bool sticky = m_window.settings().prefs.previewMode != 2;
    m_see2 = makeButton(page, "SeeButton2", int(ColourTableEditorText::ViewModifications), sticky);
    m_filaments2 = makeButton(page, "FilaButton2", int(ColourTableEditorText::FilamentsColor));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_biomorph2, m_see2, m_filaments2})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(modeRow);
    layout->addWidget(m_params);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(m_mode, &QComboBox::currentIndexChanged, this, &TColor24bForm::onMode);
    for (QSpinBox* s : {m_hueOffset, m_hueMult, m_valueMult})
        connect(s, &QSpinBox::valueChanged, this, &TColor24bForm::onParams);
    for (QComboBox* c : {m_hueFunction, m_valueFunction})
        connect(c, &QComboBox::currentIndexChanged, this, &TColor24bForm::onParams);
    connect(m_biomorph2, &QPushButton::clicked, this, [this] { pickSpecialColour(Panel::Biomorph, true); });
    connect(m_filaments2, &QPushButton::clicked, this, [this] { pickSpecialColour(Panel::Filaments, true); });
    connect(m_see2, &QPushButton::clicked, this, [this] { onPreview(m_see2); });
    return page;
}

QWidget* TColor24bForm::buildTablePage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TableSheet"));
    m_strip = new ColourStrip(m_model, m_window.fractal().colour24(), m_language, page);

    auto panel = [this, page](const char* name, ColourEditorA11yText id) {
        auto* b = new QPushButton(page);
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(48, 22);
        b->setAccessibleName(tx(id, m_language));
        return b;
    };
    m_bottomColour = panel("BotColorPanel", ColourEditorA11yText::ScaleStartColor);
    m_topColour = panel("TopColorPanel", ColourEditorA11yText::ScaleEndColor);
    m_selUpper = panel("TopPosPanel", ColourEditorA11yText::BoundaryUpperColor);
    m_selLower = panel("BotPosPanel", ColourEditorA11yText::BoundaryLowerColor);
    auto label = [this, page](const char* name, ColourEditorA11yText id) {
        auto* l = new QLabel(page);
        l->setObjectName(QLatin1String(name));
        l->setAccessibleName(tx(id, m_language));
        return l;
    };
    m_loLabel = label("LoLabel", ColourEditorA11yText::ScaleStart);
    m_hiLabel = label("HiLabel", ColourEditorA11yText::ScaleEnd);
    m_startLabel = label("StartLabel", ColourEditorA11yText::StripStart);
    m_endLabel = label("EndLabel", ColourEditorA11yText::StripEnd);

    m_position = new QSpinBox(page);
    m_position->setObjectName(QStringLiteral("PosEdit"));
    m_position->setRange(int(ColourTableEditorModel::PositionMin), int(ColourTableEditorModel::PositionMax));
    m_position->setAccessibleName(tx(ColourEditorA11yText::Position, m_language));
    m_track = new QSlider(Qt::Horizontal, page);
    m_track->setObjectName(QStringLiteral("ColTrackBar"));
    m_track->setRange(0, int(ColourTableEditorModel::PositionMax));
    m_track->setFixedWidth(ColourStrip::StripWidth);
    m_track->setAccessibleName(tx(ColourEditorA11yText::Position, m_language));
    m_left = new QPushButton(QStringLiteral("<"), page);
    m_left->setObjectName(QStringLiteral("LeftButton"));
    m_left->setAccessibleName(tx(ColourEditorA11yText::MoveLeft, m_language));
    m_right = new QPushButton(QStringLiteral(">"), page);
    m_right->setObjectName(QStringLiteral("RigthButton"));
    m_right->setAccessibleName(tx(ColourEditorA11yText::MoveRight, m_language));
    m_delete = makeButton(page, "DelButton", int(ColourTableEditorText::DeleteSelectedBoundary));
    m_boundaries = new QComboBox(page);
    m_boundaries->setObjectName(QStringLiteral("IteraComboBox"));
    m_boundaries->setAccessibleName(tx(ColourEditorA11yText::Boundaries, m_language));

    m_zoomIn = makeButton(page, "ZoomInButton", int(ColourTableEditorText::ZoomColorTable), true);
    m_zoomMove = makeButton(page, "ZoomMoveButton", int(ColourTableEditorText::MoveColorTable), true);
    m_zoomLabel = makeButton(page, "ZoomLabelButton", int(ColourTableEditorText::ResetZoom));
    m_zoomLabel->setText(qstr(m_model.zoomLabel()));

    const bool sticky = m_window.settings().prefs.previewMode != 2;
    m_open = makeButton(page, "OpenButton", int(ColourTableEditorText::OpenColorTable));
    m_save = makeButton(page, "SaveButton", int(ColourTableEditorText::SaveColorTable));
    m_biomorph = makeButton(page, "BioMoButton", int(ColourTableEditorText::BiomorphColor));
    m_see = makeButton(page, "SeeButton", int(ColourTableEditorText::ViewModifications), sticky);
    m_filaments = makeButton(page, "FilaButton", int(ColourTableEditorText::FilamentsColor));
    if (sticky) {
        m_see->setChecked(m_preview);
        m_see2->setChecked(m_preview);
    }

    auto* scale = new QHBoxLayout;
    scale->addWidget(m_bottomColour);
    scale->addWidget(m_loLabel);
    scale->addStretch();
    scale->addWidget(m_hiLabel);
    scale->addWidget(m_topColour);
    auto* ends = new QHBoxLayout;
    ends->addWidget(m_startLabel);
    ends->addStretch();
    ends->addWidget(m_endLabel);
    auto* selected = new QHBoxLayout;
    selected->addWidget(m_selLower);
    selected->addWidget(m_left);
    selected->addWidget(m_position);
    selected->addWidget(m_right);
    selected->addWidget(m_selUpper);
    selected->addWidget(m_boundaries);
    selected->addWidget(m_delete);
    auto* zoom = new QHBoxLayout;
    zoom->addWidget(m_zoomIn);
    zoom->addWidget(m_zoomMove);
    zoom->addWidget(m_zoomLabel);
    zoom->addStretch();
    auto* files = new QHBoxLayout;
    for (QPushButton* b : {m_open, m_save, m_biomorph, m_see, m_filaments})
        files->addWidget(b);
    files->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(scale);
    layout->addWidget(m_strip);
    layout->addLayout(ends);
    layout->addWidget(m_track);
    layout->addLayout(selected);
    layout->addLayout(zoom);
    layout->addLayout(files);
    layout->addStretch();

    connect(m_strip, &ColourStrip::clicked, this, &TColor24bForm::onStripClick);
    connect(m_strip, &ColourStrip::doubleClicked, this, &TColor24bForm::onStripDoubleClick);
    connect(m_strip, &ColourStrip::dragged, this, &TColor24bForm::onStripDrag);
    connect(m_strip, &ColourStrip::rightPressed, this, &TColor24bForm::endStripModes);
    connect(m_strip, &ColourStrip::escapePressed, this, &TColor24bForm::endStripModes);
    connect(m_strip, &ColourStrip::selectAt, this, [this](int x) {
        m_positionDelay->stop();
        if (m_model.selectNearest(m_model.valueAt(x)))
            updateBoundaryControls();
    });
    connect(m_strip, &ColourStrip::addAt, this, &TColor24bForm::onStripDoubleClick);
    connect(m_strip, &ColourStrip::zoomAt, this, [this](int x, bool out) {
        if (!m_model.zoomMode())
            m_model.toggleZoomMode();
        onStripClick(x, out);
        endStripModes();
    });
    connect(m_track, &QSlider::valueChanged, this, &TColor24bForm::onTrackBar);
    connect(m_left, &QPushButton::clicked, this, [this] { m_track->setValue(m_track->value() - 1); });
    connect(m_right, &QPushButton::clicked, this, [this] { m_track->setValue(m_track->value() + 1); });
    connect(m_position, &QSpinBox::valueChanged, this, &TColor24bForm::onPositionEdit);
    connect(m_boundaries, &QComboBox::activated, this, &TColor24bForm::onBoundaryChosen);
    connect(m_delete, &QPushButton::clicked, this, &TColor24bForm::onDelete);
    connect(m_bottomColour, &QPushButton::clicked, this, [this] { pickPanelColour(Panel::ScaleStart); });
    connect(m_topColour, &QPushButton::clicked, this, [this] { pickPanelColour(Panel::ScaleEnd); });
    connect(m_selUpper, &QPushButton::clicked, this, [this] { pickPanelColour(Panel::SelectedUpper); });
    connect(m_selLower, &QPushButton::clicked, this, [this] { pickPanelColour(Panel::SelectedLower); });
    connect(m_biomorph, &QPushButton::clicked, this, [this] { pickSpecialColour(Panel::Biomorph, false); });
    connect(m_filaments, &QPushButton::clicked, this, [this] { pickSpecialColour(Panel::Filaments, false); });
    connect(m_zoomIn, &QPushButton::clicked, this, [this] { onZoomButton(false); });
    connect(m_zoomMove, &QPushButton::clicked, this, [this] { onZoomButton(true); });
    connect(m_zoomLabel, &QPushButton::clicked, this, &TColor24bForm::onResetZoom);
    connect(m_open, &QPushButton::clicked, this, [this] { openTable({}); });
    connect(m_save, &QPushButton::clicked, this, &TColor24bForm::saveTable);
    connect(m_see, &QPushButton::clicked, this, [this] { onPreview(m_see); });
    return page;
}

void TColor24bForm::setStatus(const QString& text)
{
    m_status = text;
    m_window.ShowStatus(text);
}

void TColor24bForm::applyControlRules()
{
    const bool calculated = m_model.candidateMode() == colour::TableModeKind::Calculated;
    const bool colourDistance = m_window.fractal().Params.Algorithm == engine::AlgColorDistance;
    m_pages->setTabVisible(1, !calculated);
    m_params->setEnabled(calculated);
    m_hueMult->setEnabled(calculated && m_model.hueMultEnabled());
    m_valueMult->setEnabled(calculated && m_model.valueMultEnabled());
    m_biomorph2->setEnabled(calculated);
    m_filaments->setEnabled(colourDistance);
    m_filaments2->setEnabled(colourDistance && calculated);
}

void TColor24bForm::paintPanel(QPushButton* panel, uint32_t colour)
{
    const QColor c = fromBgr(colour);
    panel->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid black; }"
                                        "QPushButton:focus { border: 2px dotted palette(highlight); }")
                             .arg(c.name()));
    panel->setAccessibleDescription(QStringLiteral("%1, %2, %3").arg(c.red()).arg(c.green()).arg(c.blue()));
}

void TColor24bForm::updateBoundaryControls()
{
    const colour::editors::EditorModel::FillingScope filling(m_model);
    const colour::ColorTable24& t = m_model.workingTable();
    paintPanel(m_bottomColour, m_model.panelColour(Panel::ScaleStart));
    paintPanel(m_topColour, m_model.panelColour(Panel::ScaleEnd));
    m_loLabel->setText(QString::number(t.records[0].position));
    m_hiLabel->setText(QString::number(t.records[colour::ColorTable24::EndRecord].position));
    const bool selected = m_model.selected() != ColourTableEditorModel::NoSelection;
    for (QWidget* w : {static_cast<QWidget*>(m_selUpper), static_cast<QWidget*>(m_selLower),
                       static_cast<QWidget*>(m_position), static_cast<QWidget*>(m_delete),
                       static_cast<QWidget*>(m_left), static_cast<QWidget*>(m_right)})
        w->setEnabled(selected);
    m_track->setEnabled(selected && m_model.trackBarEnabled());
    if (selected) {
        const uint32_t position = t.records[size_t(m_model.selected())].position;
        paintPanel(m_selUpper, m_model.panelColour(Panel::SelectedUpper));
        paintPanel(m_selLower, m_model.panelColour(Panel::SelectedLower));
        m_track->setValue(int(std::min<uint32_t>(position, ColourTableEditorModel::PositionMax)));
        // A value being typed (waiting for its delay) stays as the user typed it.
        if (!m_positionDelay->isActive())
            m_position->setValue(int(std::clamp<uint32_t>(position, ColourTableEditorModel::PositionMin,
                                                          ColourTableEditorModel::PositionMax)));
        const int index = m_boundaries->findText(QString::number(position));
        if (index >= 0)
            m_boundaries->setCurrentIndex(index);
    }
    m_strip->refresh();
}

void TColor24bForm::updateStripLabels()
{
    const colour::editors::EditorModel::FillingScope filling(m_model);
    m_startLabel->setText(QString::number(m_model.startLabelValue()));
    m_endLabel->setText(QString::number(m_model.endLabelValue()));
    const int low = int(std::clamp<int64_t>(m_model.startLabelValue(), 0, ColourTableEditorModel::PositionMax));
    const int high = int(std::clamp<int64_t>(m_model.endLabelValue(), low, ColourTableEditorModel::PositionMax));
    m_track->setRange(low, high);
    m_zoomLabel->setText(qstr(m_model.zoomLabel()));
    m_zoomIn->setChecked(m_model.zoomMode());
    m_zoomMove->setChecked(m_model.moveMode());
    m_track->setEnabled(m_model.selected() != ColourTableEditorModel::NoSelection && m_model.trackBarEnabled());
    if (m_model.selected() != ColourTableEditorModel::NoSelection)
        m_track->setValue(int(m_model.workingTable().records[size_t(m_model.selected())].position));
    m_strip->refresh();
}

void TColor24bForm::refillBoundaryList()
{
    const colour::editors::EditorModel::FillingScope filling(m_model);
    m_boundaries->clear();
    for (uint32_t position : m_model.boundaryPositions())
        m_boundaries->addItem(QString::number(position));
    if (m_model.selected() != ColourTableEditorModel::NoSelection) {
        const uint32_t position = m_model.workingTable().records[size_t(m_model.selected())].position;
        m_boundaries->setCurrentIndex(m_boundaries->findText(QString::number(position)));
    }
}

void TColor24bForm::startRefresh()
{
    m_refresh->start();
}

void TColor24bForm::recolour()
{
    if (m_initialising || m_model.zoomMode() || m_model.moveMode())
        return;
    m_window.ShowStatus(tx(ColourTableEditorText::Redrawing, m_language));
    m_recolourer->request();
}

void TColor24bForm::onRefresh()
{
    if (m_model.candidateMode() == colour::TableModeKind::Calculated) {
        if (m_preview)
            recolour();
        return;
    }
    m_model.rebuildTables();
    m_strip->refresh();
    refillBoundaryList();
    updateBoundaryControls();
    if (m_see->isCheckable())
        m_preview = m_see->isChecked();
    if (m_preview)
        recolour();
}

void TColor24bForm::onStripClick(int x, bool alt)
{
    if (m_model.zoomMode()) {
        if (m_model.zoomClick(x, alt)) {
            updateStripLabels();
            startRefresh();
        }
        return;
    }
    if (m_model.moveMode())
        return;
    m_positionDelay->stop();  // a position being typed belonged to the boundary selected until now
    if (m_model.selectNearest(m_model.valueAt(x)))
        updateBoundaryControls();
}

void TColor24bForm::onStripDoubleClick(int x)
{
    if (m_model.zoomMode() || m_model.moveMode())
        return;
    if (!m_model.addBoundary(m_model.valueAt(x)))
        return;
    m_positionDelay->stop();
    refillBoundaryList();
    updateBoundaryControls();
    startRefresh();
}

void TColor24bForm::onStripDrag(int dx)
{
    if (!m_model.moveMode())
        return;
    m_model.dragBy(dx);
    updateStripLabels();
}

void TColor24bForm::endStripModes()
{
    m_model.endStripModes();
    m_strip->unsetCursor();
    setStatus(QString());
    updateStripLabels();
    updateBoundaryControls();
}

void TColor24bForm::onTrackBar(int value)
{
    if (m_model.filling())
        return;
    if (m_model.moveSelected(uint32_t(std::max(value, 0)))) {
        const colour::editors::EditorModel::FillingScope filling(m_model);
        m_position->setValue(value);
        m_strip->refresh();
        startRefresh();
    } else if (m_model.selected() != ColourTableEditorModel::NoSelection) {
        const colour::editors::EditorModel::FillingScope filling(m_model);
        m_track->setValue(int(m_model.workingTable().records[size_t(m_model.selected())].position));
    }
}

void TColor24bForm::onPositionEdit(int value)
{
    if (m_model.filling() || m_model.selected() == ColourTableEditorModel::NoSelection)
        return;
    const int64_t current = m_model.workingTable().records[size_t(m_model.selected())].position;
    if (std::abs(int64_t(value) - current) == 1) {
        m_positionDelay->stop();
        applyTypedPosition();
    } else {
        m_positionDelay->start();
    }
}

void TColor24bForm::applyTypedPosition()
{
    m_positionDelay->stop();
    if (m_model.selected() == ColourTableEditorModel::NoSelection)
        return;
    m_model.typePosition(m_position->value());
    updateStripLabels();
    updateBoundaryControls();
    startRefresh();
}

void TColor24bForm::onBoundaryChosen(int index)
{
    if (index < 0)
        return;
    m_positionDelay->stop();
    if (m_model.selectNearest(m_boundaries->itemText(index).toUInt()))
        updateBoundaryControls();
}

void TColor24bForm::onDelete()
{
    m_positionDelay->stop();
    if (!m_model.deleteSelected())
        return;
    refillBoundaryList();
    updateBoundaryControls();
    startRefresh();
}

void TColor24bForm::pickPanelColour(Panel panel)
{
    if ((panel == Panel::SelectedUpper || panel == Panel::SelectedLower)
        && m_model.selected() == ColourTableEditorModel::NoSelection)
        return;
    setStatus(tx(ColourTableEditorText::SelectNewColor, m_language));
    if (const std::optional<QColor> chosen = pickColour(this, fromBgr(m_model.panelColour(panel))))
        m_model.setPanelColour(panel, toBgr(*chosen));
    setStatus(QString());
    updateBoundaryControls();
    m_model.rebuildTables();
    m_strip->refresh();
    startRefresh();
}

void TColor24bForm::pickSpecialColour(Panel panel, bool fromFirstPage)
{
    setStatus(tx(panel == Panel::Biomorph ? ColourTableEditorText::SelectBiomorpheColor
                                          : ColourTableEditorText::SelectFilamentsColor,
                 m_language));
    const std::optional<QColor> chosen = pickColour(this, fromBgr(m_model.panelColour(panel)));
    setStatus(QString());
    if (!chosen)
        return;
    m_model.setPanelColour(panel, toBgr(*chosen));
    if (fromFirstPage) {
        m_model.rebuildTables();
        recolour();
    } else {
        startRefresh();
    }
}

void TColor24bForm::onMode(int index)
{
    if (m_model.filling() || index < 0)
        return;
    m_model.setTableMode(index == 1 ? colour::TableModeKind::Calculated : colour::TableModeKind::FromBoundaries);
    applyControlRules();
    m_strip->refresh();
    if (m_preview)
        recolour();
}

void TColor24bForm::onParams()
{
    if (m_model.filling())
        return;
    {
        const colour::editors::EditorModel::FillingScope filling(m_model);
        m_model.setHueOffset(m_hueOffset->value());
        if (m_hueOffset->value() != m_model.candidateParams().hueOffset)
            m_hueOffset->setValue(m_model.candidateParams().hueOffset);
        m_model.setHueMult(m_hueMult->value());
        m_model.setValueMult(m_valueMult->value());
        m_model.setHueFunction(m_hueFunction->currentIndex());
        m_model.setValueFunction(m_valueFunction->currentIndex());
    }
    applyControlRules();
    if (m_preview)
        startRefresh();
}

void TColor24bForm::onZoomButton(bool move)
{
    if (move)
        m_model.toggleMoveMode();
    else
        m_model.toggleZoomMode();
    if (m_model.zoomMode()) {
        setStatus(tx(ColourTableEditorText::ZoomHint, m_language));
        m_strip->setCursor(vorexCursor(CursorId::ZoomIn));
    } else if (m_model.moveMode()) {
        setStatus(tx(ColourTableEditorText::MoveGradient, m_language));
        m_strip->setCursor(vorexCursor(CursorId::ZMove));
    } else {
        setStatus(QString());
        m_strip->unsetCursor();
    }
    updateStripLabels();
}

void TColor24bForm::onResetZoom()
{
    m_model.resetZoom();
    m_strip->unsetCursor();
    setStatus(QString());
    updateStripLabels();
    startRefresh();
}

void TColor24bForm::onPreview(QPushButton* button)
{
    if (button->isCheckable()) {
        m_preview = button->isChecked();
        m_see->setChecked(m_preview);
        m_see2->setChecked(m_preview);
    }
    if (m_preview || !button->isCheckable()) {
        m_model.rebuildTables();
        const bool zooming = m_model.zoomMode() || m_model.moveMode();
        if (!zooming) {
            m_window.ShowStatus(tx(ColourTableEditorText::Redrawing, m_language));
            m_recolourer->request();
        }
    }
}

void TColor24bForm::openTable(const QString& droppedFile)
{
    m_positionDelay->stop();
    endStripModes();
    setStatus(tx(ColourTableEditorText::OpenTableStatus, m_language));
    colour::ColorTable24 loaded = m_model.workingTable();
    loadTable24(this, m_window.services(), loaded, m_caption, droppedFile);
    m_model.loadTable(loaded);
    setWindowTitle(m_caption.isEmpty() ? tx(ColourTableEditorText::Caption, m_language) : m_caption);
    setStatus(QString());
    m_model.rebuildTables();
    refillBoundaryList();
    updateStripLabels();
    updateBoundaryControls();
    startRefresh();
}

void TColor24bForm::openDroppedFile(const QString& path)
{
    openTable(path);
}

void TColor24bForm::saveTable()
{
    setStatus(tx(ColourTableEditorText::SaveTableStatus, m_language));
    saveTable24(this, m_window.services(), m_model.workingTable(), m_caption);
    if (!m_caption.isEmpty())
        setWindowTitle(m_caption);
    setStatus(QString());
}

void TColor24bForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TColor24bForm::dropEvent(QDropEvent* event)
{
    const QString path = droppedLocalFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openDroppedFile(path);
}

void TColor24bForm::done(int result)
{
    if (!m_ended) {
        m_ended = true;
        m_refresh->stop();
        m_positionDelay->stop();
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
        m_window.pictureChanged();
        m_window.ShowStatus(QString());
    }
    QDialog::done(result);
}

bool runTable24Command(TMainForm& window, int tag)
{
    if (window.fractal().Bitmap.PixelFormat != engine::PixelFormat24)
        return false;
    // The editors recolour the picture and change the colour state the row colouring reads: not while
    // a computation or a picture operation runs on another thread.
    if (!window.isIdle()) {
        window.services().beep();
        return false;
    }
    TColor24bForm form(window, tag);
    // The editor recolours the picture: the markers come off it meanwhile and go on again afterwards.
    window.markerLayer().hideForRewrite();
    const bool accepted = form.exec() == QDialog::Accepted;
    window.markerLayer().pictureRewritten();
    window.DrawMainMenus();
    return accepted;
}

bool runColoursPopupCommand(TMainForm& window)
{
    if (window.fractal().Bitmap.PixelFormat == engine::PixelFormat8)
        return runPalette8Command(window);
    return runTable24Command(window, 2);
}

}  // namespace ui
