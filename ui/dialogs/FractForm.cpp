#include "ui/dialogs/FractForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "document/Fractal.h"
#include "engine/Catalogue.h"
#include "engine/NumberFormat.h"
#include "storage/SystemMemory.h"
#include "storage/VariablesSummary.h"
#include "storage/Workspace.h"
#include "ui/Accessibility.h"
#include "ui/dialogs/FractMesForm.h"
#include "ui/text/VariablesTexts.h"
#include "ui/MainForm.h"
#include "ui/tools/MarkerLayer.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"

namespace ui {

const std::array<const char*, 37> ScaleList = {
    "1",    "2",    "5",     "10",    "20",    "50",    "100",   "200",   "500",   "1e3",  "2e3",  "5e3",   "10e3",
    "20e3", "50e3", "100e3", "200e3", "500e3", "1e6",   "2e6",   "5e6",   "10e6",  "20e6", "50e6", "100e6", "200e6",
    "500e6", "1e9", "2e9",   "5e9",   "10e9",  "20e9",  "50e9",  "100e9", "200e9", "500e9", "1e12"};

namespace {

using text::VariablesText;

constexpr int GeneralDigits = 16;
constexpr int ScientificDigits = 16;
constexpr int ExponentDigits = 4;
constexpr int CustomPreset = 5;
const char* const FloatTagProperty = "vorexFloatTag";

QString general(double v) { return qstr(engine::formatGeneral(v, GeneralDigits)); }
QString scientific(double v) { return qstr(engine::formatScientific(v, ScientificDigits, ExponentDigits)); }

bool acceptedFloatKey(QChar c)
{
    return c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('.') || c == QLatin1Char('E')
        || c == QLatin1Char('e');
}

void setRange(QSpinBox* box, engine::IntRange range)
{
    box->setRange(range.min, range.max);
}

// FComboBox lists every row of the catalogue, separators included: a row's index is the type's value.
int typeRow(engine::TypeId type) { return int(type); }
engine::TypeId typeAtRow(int row) { return engine::TypeId(row); }

bool levelBinaryFamily(int algorithm)
{
    return algorithm == engine::AlgLevel || algorithm == engine::AlgLevelDistance || algorithm == engine::AlgBinary;
}

void setFigureColour(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

QLabel* captionLabel(VariablesText id, int language, QWidget* parent)
{
    return new QLabel(tx(id, language), parent);
}

}  // namespace

TFractForm::TFractForm(document::TFractal& fractal, int page, bool newFractal, int language, FractFormOptions options,
                       QWidget* parent)
    : QDialog(parent), m_fractal(fractal), m_options(std::move(options)), m_language(language),
      m_newFractal(newFractal)
{
    setObjectName(QStringLiteral("FractForm"));
    setWindowTitle(tx(VariablesText::Caption, language));
    QFont f = font();
    f.setPointSize(m_options.fontSize);
    setFont(f);
    if (!m_options.availableMemory)
        m_options.availableMemory = [] { return storage::availablePhysicalMemory(); };

    m_work = fractal.Params;
    if (newFractal && m_options.proposedWidth >= 2 && m_options.proposedHeight >= 2) {
        m_work.Width = m_options.proposedWidth;
        m_work.Height = m_options.proposedHeight;
    }
    m_periodicity = fractal.Periodicity;
    m_pixelFormat = fractal.PixelFormat;
    m_palette = fractal.Palette;
    m_boundaryType = fractal.BoundaryType;
    m_currentUse = storage::CurrentImageUse(fractal);

    installAccessibility();  // the combo boxes' names
    buildPages();
    loadControls();
    m_pages->setCurrentIndex(std::clamp(page, 1, 4) - 1);
    labelFields(this);
    nameFields();
}

void TFractForm::nameFields()
{
    const auto clean = [](const QString& caption) {
        QString s = shownCaption(caption).trimmed();
        while (s.endsWith(QLatin1Char(':')))
            s.chop(1);
        return s.trimmed();
    };
    const auto name = [this, &clean](QWidget* field, VariablesText page, const QString& label) {
        const QString n = clean(tx(page, m_language)) + QStringLiteral(": ") + clean(label);
        if (field->accessibleName() != n)
            field->setAccessibleName(n);
        if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit()
            && combo->lineEdit()->accessibleName() != n)
            combo->lineEdit()->setAccessibleName(n);
    };
    const auto text = [this](VariablesText id) { return tx(id, m_language); };
    const auto nav = [this](text::NavigationText id) { return tx(id, m_language); };
    name(m_type, VariablesText::FractalPage, text(VariablesText::FractalType));
    name(m_formula, VariablesText::FractalPage, nav(text::NavigationText::Formula));
    name(m_newtonP, VariablesText::FractalPage, nav(text::NavigationText::NewtonDegree));
    name(m_function, VariablesText::FractalPage, text(VariablesText::Function));
    name(m_algorithm, VariablesText::FractalPage, text(VariablesText::Algorithm));
    name(m_iterations, VariablesText::FractalPage, text(VariablesText::IterationsMax));
    name(m_escape, VariablesText::FractalPage, text(VariablesText::EscapeLevel));
    name(m_bailout, VariablesText::FractalPage, QStringLiteral("Bailout"));
    name(m_width, VariablesText::ImagePage, text(VariablesText::WidthPixels));
    name(m_height, VariablesText::ImagePage, text(VariablesText::HeighPixels));
    name(m_depth, VariablesText::ImagePage, text(VariablesText::ImageDeep));
    name(m_x, VariablesText::VariablesPage, text(VariablesText::XCenter));
    name(m_y, VariablesText::VariablesPage, text(VariablesText::YCenter));
    name(m_step, VariablesText::VariablesPage, text(VariablesText::CalculationStep));
    name(m_scale, VariablesText::VariablesPage, text(VariablesText::AbsoluteScale));
    const QString topLeft = shownCaption(text(VariablesText::TopLeftCorner)).trimmed().remove(QLatin1Char(':'));
    const QString bottomRight = shownCaption(text(VariablesText::BottomRigthCorner)).trimmed().remove(QLatin1Char(':'));
    name(m_topX, VariablesText::DimensionsPage, topLeft + QStringLiteral(" X"));
    name(m_topY, VariablesText::DimensionsPage, topLeft + QStringLiteral(" Y"));
    name(m_botX, VariablesText::DimensionsPage, bottomRight + QStringLiteral(" X"));
    name(m_botY, VariablesText::DimensionsPage, bottomRight + QStringLiteral(" Y"));
    // The type constant is labelled after the type ("Julia Cr:"); a type without one has empty labels.
    name(m_cr, VariablesText::MorePage,
         m_crLabel->text().trimmed().isEmpty() ? nav(text::NavigationText::ConstantReal) : m_crLabel->text());
    name(m_ci, VariablesText::MorePage,
         m_ciLabel->text().trimmed().isEmpty() ? nav(text::NavigationText::ConstantImaginary) : m_ciLabel->text());
    name(m_pr, VariablesText::MorePage, QStringLiteral("PertZ"));
    name(m_pi, VariablesText::MorePage, QStringLiteral("PertZi"));
    name(m_delta, VariablesText::MorePage, QStringLiteral("Delta"));
}

// --- construction ---

TFractForm::~TFractForm()
{
    // Closing the dialog takes the focus from its fields, and a float field that loses it reports
    // editingFinished: no handler may run on the dialog once this part of it is gone.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

QLineEdit* TFractForm::floatEdit(const char* name, FloatTag tag)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setProperty(FloatTagProperty, int(tag));
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, tag] { floatFieldLeft(tag, edit->text()); });
    return edit;
}

void TFractForm::buildPages()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    const std::array<std::pair<QWidget*, VariablesText>, 5> pages = {{
        {buildFractalPage(), VariablesText::FractalPage},
        {buildImagePage(), VariablesText::ImagePage},
        {buildVariablesPage(), VariablesText::VariablesPage},
        {buildDimensionsPage(), VariablesText::DimensionsPage},
        {buildMorePage(), VariablesText::MorePage},
    }};
    int n = 1;
    for (const auto& [widget, caption] : pages) {
        widget->setObjectName(QStringLiteral("TabSheet%1").arg(n++));
        m_pages->addTab(widget, tx(caption, m_language));
    }
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        refreshStates();
        refreshMemory();
    });

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    auto* cancel = new QPushButton(m_language == text::French ? QStringLiteral("Annuler") : QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setAutoDefault(false);
    auto* copy = new QPushButton(tx(VariablesText::Copy, m_language), this);
    copy->setObjectName(QStringLiteral("CopyButton"));
    copy->setAutoDefault(false);
    if (m_options.hints)
        copy->setToolTip(m_language == text::French ? QString::fromUtf8("Copie les variables dans le presse-papiers")
                                                    : QStringLiteral("Copy variables into clipboard"));
    connect(m_ok, &QPushButton::clicked, this, &TFractForm::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(copy, &QPushButton::clicked, this, &TFractForm::copyToClipboard);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);
}

QWidget* TFractForm::buildFractalPage()
{
    auto* page = new QWidget;
    auto* group = new QGroupBox(tx(VariablesText::FractalSpecifications, m_language), page);
    auto* form = new QFormLayout(group);

    m_type = new QComboBox(group);
    m_type->setObjectName(QStringLiteral("FComboBox"));
    for (int row = 0; row < engine::TypeCount; ++row)
        m_type->addItem(qstr(engine::typeName(typeAtRow(row))));
    connect(m_type, &QComboBox::currentIndexChanged, this, &TFractForm::typeChosen);
    form->addRow(captionLabel(VariablesText::FractalType, m_language, group), m_type);

    m_formula = new QComboBox(group);
    m_formula->setObjectName(QStringLiteral("pMpComboBox"));
    for (int i = 0; i < engine::FormulaCount; ++i)
        m_formula->addItem(qstr(engine::formulaName(i)));
    connect(m_formula, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!m_loading && i >= 0)
            m_work.Formula = uint8_t(i);
    });
    m_newtonLabel = new QLabel(group);
    m_newtonLabel->setObjectName(QStringLiteral("NewtonLabel"));
    m_newtonP = new QSpinBox(group);
    m_newtonP->setObjectName(QStringLiteral("pNewtonEdit"));
    setRange(m_newtonP, engine::FieldLimits.NewtonP);
    connect(m_newtonP, &QSpinBox::valueChanged, this, [this](int v) {
        if (!m_loading)
            m_work.NewtonP = v;
    });
    m_function = new QComboBox(group);
    m_function->setObjectName(QStringLiteral("FuncComboBox"));
    for (int i = 0; i < engine::FunctionCount; ++i)
        m_function->addItem(qstr(engine::functionName(i)));
    connect(m_function, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (m_loading || i < 0)
            return;
        m_work.FunctionIndex = uint8_t(i);
        refreshStates();
    });
    auto* variant = new QHBoxLayout;
    variant->addWidget(m_formula);
    variant->addWidget(m_newtonLabel);
    variant->addWidget(m_newtonP);
    variant->addWidget(m_function);
    variant->addStretch();
    form->addRow(QString(), variant);

    m_algorithm = new QComboBox(group);
    m_algorithm->setObjectName(QStringLiteral("AComboBox"));
    connect(m_algorithm, &QComboBox::currentIndexChanged, this, &TFractForm::algorithmChosen);
    form->addRow(captionLabel(VariablesText::Algorithm, m_language, group), m_algorithm);

    m_iterations = new QSpinBox(group);
    m_iterations->setObjectName(QStringLiteral("ISpinEdit"));
    setRange(m_iterations, engine::FieldLimits.Iterations);
    connect(m_iterations, &QSpinBox::valueChanged, this, [this](int v) {
        if (m_loading)
            return;
        m_work.MaxIter = uint16_t(v);
        refreshMemory();
    });
    form->addRow(captionLabel(VariablesText::IterationsMax, m_language, group), m_iterations);

    m_escapeLabel = captionLabel(VariablesText::EscapeLevel, m_language, group);
    m_escapeLabel->setObjectName(QStringLiteral("SeuilLabel"));
    m_escape = new QSpinBox(group);
    m_escape->setObjectName(QStringLiteral("SSpinEdit"));
    setRange(m_escape, engine::FieldLimits.EscapeLevel);
    connect(m_escape, &QSpinBox::valueChanged, this, [this](int v) {
        if (!m_loading)
            m_work.EscapeLevelSq = uint16_t(v * v);
    });
    form->addRow(m_escapeLabel, m_escape);

    m_bailout = new QComboBox(group);
    m_bailout->setObjectName(QStringLiteral("BailComboBox"));
    connect(m_bailout, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!m_loading && i >= 0)
            m_work.Bailout = uint8_t(i);
    });
    form->addRow(QStringLiteral("Bailout:"), m_bailout);

    m_periodicityCheck = new QCheckBox(tx(VariablesText::PeriodicityChecking, m_language), group);
    m_periodicityCheck->setObjectName(QStringLiteral("PeriodicityCheck"));
    connect(m_periodicityCheck, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading)
            m_periodicity = on;
    });
    form->addRow(QString(), m_periodicityCheck);

    m_defaults = new QCheckBox(tx(VariablesText::DefaultValuesWhenChoosing, m_language), page);
    m_defaults->setObjectName(QStringLiteral("DefaultCheckBox"));
    m_defaults->setChecked(m_newFractal);
    m_defImage2 = new QPushButton(tx(VariablesText::DefaultImage, m_language), page);
    m_defImage2->setObjectName(QStringLiteral("DefImageButton2"));
    m_defImage2->setAutoDefault(false);
    connect(m_defImage2, &QPushButton::clicked, this, &TFractForm::restoreImageValues);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_defaults);
    bottom->addStretch();
    bottom->addWidget(m_defImage2);
    layout->addLayout(bottom);
    layout->addStretch();
    return page;
}

QWidget* TFractForm::buildImagePage()
{
    auto* page = new QWidget;
    auto* group = new QGroupBox(tx(VariablesText::ImageSizeGroup, m_language), page);
    auto* grid = new QGridLayout(group);

    m_width = new QSpinBox(group);
    m_width->setObjectName(QStringLiteral("WSpinEdit"));
    setRange(m_width, engine::FieldLimits.ImageSide);
    m_height = new QSpinBox(group);
    m_height->setObjectName(QStringLiteral("HSpinEdit"));
    setRange(m_height, engine::FieldLimits.ImageSide);
    m_depth = new QComboBox(group);
    m_depth->setObjectName(QStringLiteral("DComboBox"));
    m_depth->addItems({QStringLiteral("8 bits"), QStringLiteral("24 bits")});
    for (QWidget* w : {static_cast<QWidget*>(m_width), static_cast<QWidget*>(m_height)})
        connect(static_cast<QSpinBox*>(w), &QSpinBox::valueChanged, this, &TFractForm::sizeEdited);
    connect(m_depth, &QComboBox::currentIndexChanged, this, &TFractForm::sizeEdited);
    grid->addWidget(captionLabel(VariablesText::WidthPixels, m_language, group), 0, 0);
    grid->addWidget(m_width, 0, 1);
    grid->addWidget(captionLabel(VariablesText::HeighPixels, m_language, group), 1, 0);
    grid->addWidget(m_height, 1, 1);
    grid->addWidget(captionLabel(VariablesText::ImageDeep, m_language, group), 2, 0);
    grid->addWidget(m_depth, 2, 1);

    auto* presets = new QVBoxLayout;
    for (int i = 0; i < int(m_presets.size()); ++i) {
        const QString caption = i < CustomPreset
            ? QStringLiteral("%1 x %2").arg(SizePresets[size_t(i)].width).arg(SizePresets[size_t(i)].height)
            : QStringLiteral("Custom");
        auto* rb = new QRadioButton(caption, group);
        rb->setObjectName(QStringLiteral("RB%1").arg(i));
        connect(rb, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                presetChosen(i);
        });
        m_presets[size_t(i)] = rb;
        presets->addWidget(rb);
    }
    grid->addLayout(presets, 0, 2, 4, 1);

    auto* memory = new QGroupBox(page);
    auto* mem = new QGridLayout(memory);
    const std::array<std::pair<QLabel**, VariablesText>, 4> figures = {{
        {&m_available, VariablesText::AvailableRAM},
        {&m_imageMemory, VariablesText::RAMForCalculation},
        {&m_orbitMemory, VariablesText::RAMForOrbits},
        {&m_tableMemory, VariablesText::RAMForColorTable},
    }};
    const char* names[] = {"MALabel", "MULabel", "OrLabel", "TcLabel"};
    int row = 0;
    for (const auto& [label, caption] : figures) {
        mem->addWidget(captionLabel(caption, m_language, memory), row, 0);
        *label = new QLabel(memory);
        (*label)->setObjectName(QLatin1String(names[row]));
        (*label)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        mem->addWidget(*label, row, 1);
        ++row;
    }

    auto* defImage = new QPushButton(tx(VariablesText::DefaultImage, m_language), page);
    defImage->setObjectName(QStringLiteral("DefImageButton"));
    defImage->setAutoDefault(false);
    connect(defImage, &QPushButton::clicked, this, &TFractForm::restoreImageValues);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addWidget(memory);
    layout->addWidget(defImage, 0, Qt::AlignRight);
    layout->addStretch();
    return page;
}

QWidget* TFractForm::buildVariablesPage()
{
    auto* page = new QWidget;
    auto* group = new QGroupBox(tx(VariablesText::FractalVariablesGroup, m_language), page);
    auto* form = new QFormLayout(group);
    m_x = floatEdit("XEdit", TagX);
    m_y = floatEdit("YEdit", TagY);
    m_step = floatEdit("PEdit", TagStep);
    form->addRow(captionLabel(VariablesText::XCenter, m_language, group), m_x);
    form->addRow(captionLabel(VariablesText::YCenter, m_language, group), m_y);
    form->addRow(captionLabel(VariablesText::CalculationStep, m_language, group), m_step);

    m_scale = new QComboBox(group);
    m_scale->setObjectName(QStringLiteral("ZComboBox"));
    m_scale->setEditable(true);
    m_scale->setInsertPolicy(QComboBox::NoInsert);
    for (const char* s : ScaleList)
        m_scale->addItem(QLatin1String(s));
    m_scale->lineEdit()->setProperty(FloatTagProperty, int(TagScale));
    m_scale->lineEdit()->installEventFilter(this);
    connect(m_scale->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { floatFieldLeft(TagScale, m_scale->currentText()); });
    connect(m_scale, &QComboBox::textActivated, this, [this](const QString& t) { floatFieldLeft(TagScale, t); });
    form->addRow(captionLabel(VariablesText::AbsoluteScale, m_language, group), m_scale);

    auto* steps = new QHBoxLayout;
    const char* names[] = {"Div5Button", "Div2Button", "X2Button", "X5Button"};
    const char* captions[] = {"/ 5", "/ 2", "x 2", "x 5"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(QLatin1String(captions[i]), group);
        b->setObjectName(QLatin1String(names[i]));
        b->setAutoDefault(false);
        const int tag = i + 1;
        connect(b, &QPushButton::clicked, this, [this, tag] { stepButton(tag); });
        m_stepButtons[size_t(i)] = b;
        steps->addWidget(b);
    }
    form->addRow(captionLabel(VariablesText::RelativeScale, m_language, group), steps);

    auto* defaults = new QPushButton(tx(VariablesText::DefaultValues, m_language), page);
    defaults->setObjectName(QStringLiteral("DefSoftButton"));
    defaults->setAutoDefault(false);
    connect(defaults, &QPushButton::clicked, this, &TFractForm::applyVariablesDefaults);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addWidget(defaults, 0, Qt::AlignRight);
    layout->addStretch();
    return page;
}

QWidget* TFractForm::buildDimensionsPage()
{
    auto* page = new QWidget;
    auto* group = new QGroupBox(tx(VariablesText::FractalSizeGroup, m_language), page);
    auto* grid = new QGridLayout(group);
    auto corner = [group](const char* name) {
        auto* e = new QLineEdit(group);
        e->setObjectName(QLatin1String(name));
        e->setReadOnly(true);
        return e;
    };
    m_topX = corner("TopXEdit");
    m_topY = corner("TopYEdit");
    m_botX = corner("BotXEdit");
    m_botY = corner("BotYEdit");
    grid->addWidget(captionLabel(VariablesText::TopLeftCorner, m_language, group), 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("X:"), group), 1, 0);
    grid->addWidget(m_topX, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Y:"), group), 2, 0);
    grid->addWidget(m_topY, 2, 1);
    grid->addWidget(captionLabel(VariablesText::BottomRigthCorner, m_language, group), 3, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("X:"), group), 4, 0);
    grid->addWidget(m_botX, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Y:"), group), 5, 0);
    grid->addWidget(m_botY, 5, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget* TFractForm::buildMorePage()
{
    auto* page = new QWidget;
    auto* constant = new QGroupBox(tx(VariablesText::ExtendedVariables, m_language), page);
    auto* cform = new QFormLayout(constant);
    m_cr = floatEdit("JuliaCEdit", TagCr);
    m_ci = floatEdit("JuliaCiEdit", TagCi);
    m_crLabel = new QLabel(constant);
    m_crLabel->setObjectName(QStringLiteral("JuliaCLabel"));
    m_ciLabel = new QLabel(constant);
    m_ciLabel->setObjectName(QStringLiteral("JuliaCiLabel"));
    cform->addRow(m_crLabel, m_cr);
    cform->addRow(m_ciLabel, m_ci);

    auto* pert = new QGroupBox(tx(VariablesText::PertubationOfZ, m_language), page);
    auto* pform = new QFormLayout(pert);
    m_pr = floatEdit("PertZEdit", TagPr);
    m_pi = floatEdit("PertZiEdit", TagPi);
    pform->addRow(QStringLiteral("PertZ:"), m_pr);
    pform->addRow(QStringLiteral("PertZi:"), m_pi);

    auto* distance = new QGroupBox(tx(VariablesText::DistanceAlgorithm, m_language), page);
    auto* dform = new QFormLayout(distance);
    m_deltaLabel = new QLabel(QStringLiteral("Delta:"), distance);
    m_deltaLabel->setObjectName(QStringLiteral("DeltaLabel"));
    m_delta = new QSpinBox(distance);
    m_delta->setObjectName(QStringLiteral("DeltaSpinEdit"));
    setRange(m_delta, engine::FieldLimits.Delta);
    connect(m_delta, &QSpinBox::valueChanged, this, [this](int v) {
        if (!m_loading)
            m_work.Delta = v;
    });
    dform->addRow(m_deltaLabel, m_delta);

    auto* defaults = new QPushButton(tx(VariablesText::DefaultValues, m_language), page);
    defaults->setObjectName(QStringLiteral("DefSoftButton2"));
    defaults->setAutoDefault(false);
    connect(defaults, &QPushButton::clicked, this, &TFractForm::applyMoreDefaults);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(constant);
    layout->addWidget(pert);
    layout->addWidget(distance);
    layout->addWidget(defaults, 0, Qt::AlignRight);
    layout->addStretch();
    return page;
}

// --- showing the working copy ---

void TFractForm::loadControls()
{
    m_loading = true;
    m_type->setCurrentIndex(typeRow(m_work.FractalType));
    fillAlgorithms();
    fillBailouts();
    m_formula->setCurrentIndex(m_work.Formula);
    m_function->setCurrentIndex(m_work.FunctionIndex);
    m_newtonP->setValue(m_work.NewtonP);
    m_iterations->setValue(m_work.MaxIter);
    m_escape->setValue(int(std::lround(std::sqrt(double(m_work.EscapeLevelSq)))));
    m_periodicityCheck->setChecked(m_periodicity);
    m_width->setValue(m_work.Width);
    m_height->setValue(m_work.Height);
    m_depth->setCurrentIndex(m_pixelFormat == engine::PixelFormat24 ? 1 : 0);
    m_delta->setValue(m_work.Delta);
    selectPreset();
    m_loading = false;
    clampFloats();
    writeFloatFields();
    refreshStates();
    refreshMemory();
}

void TFractForm::fillAlgorithms()
{
    const QSignalBlocker block(m_algorithm);
    m_algorithm->clear();
    // A document may bring an algorithm the type does not offer (Potential): it stays listed.
    const int last = std::max<int>(engine::typeDefaults(m_work.FractalType).MaxAlgorithm, m_work.Algorithm);
    for (int a = 0; a <= last && a < engine::AlgorithmCount; ++a)
        m_algorithm->addItem(qstr(engine::algorithmName(a, m_language)));
    m_algorithm->setCurrentIndex(m_work.Algorithm);
}

void TFractForm::fillBailouts()
{
    const QSignalBlocker block(m_bailout);
    m_bailout->clear();
    const int last = std::max<int>(engine::typeDefaults(m_work.FractalType).MaxBailout, m_work.Bailout);
    for (int b = 0; b <= last && b < engine::BailoutCount; ++b)
        m_bailout->addItem(qstr(engine::bailoutListName(b)));
    m_bailout->setCurrentIndex(m_work.Bailout);
}

void TFractForm::selectPreset()
{
    int preset = CustomPreset;
    for (int i = 0; i < int(SizePresets.size()); ++i)
        if (SizePresets[size_t(i)].width == m_work.Width && SizePresets[size_t(i)].height == m_work.Height)
            preset = i;
    const QSignalBlocker block(m_presets[size_t(preset)]);
    m_presets[size_t(preset)]->setChecked(true);
    m_width->setEnabled(preset == CustomPreset);
    m_height->setEnabled(preset == CustomPreset);
}

void TFractForm::writeFloatFields()
{
    const QSignalBlocker block(m_scale);
    m_x->setText(general(m_work.CentreX));
    m_y->setText(general(m_work.CentreY));
    m_step->setText(scientific(m_work.Step));
    m_scale->setEditText(scientific(scaleFromStep(m_work.Step)));
    m_cr->setText(general(m_work.ParamCr));
    m_ci->setText(general(m_work.ParamCi));
    m_pr->setText(general(m_work.PertZr));
    m_pi->setText(general(m_work.PertZi));
    refreshCorners();
    refreshStepButtons();
}

void TFractForm::refreshCorners()
{
    const double halfW = double(m_work.Width) / 2 * m_work.Step;
    const double halfH = double(m_work.Height) / 2 * m_work.Step;
    m_topX->setText(general(m_work.CentreX - halfW));
    m_topY->setText(general(m_work.CentreY + halfH));
    m_botX->setText(general(m_work.CentreX + halfW));
    m_botY->setText(general(m_work.CentreY - halfH));
}

void TFractForm::refreshStepButtons()
{
    const engine::TypeDefaults& d = engine::typeDefaults(m_work.FractalType);
    const double s = m_work.Step;
    m_stepButtons[0]->setEnabled(d.MaxStep / 5 >= s);
    m_stepButtons[1]->setEnabled(d.MaxStep / 2 >= s);
    m_stepButtons[2]->setEnabled(d.MinStep * 2 <= s);
    m_stepButtons[3]->setEnabled(d.MinStep * 5 <= s);
}

void TFractForm::refreshStates()
{
    const engine::TypeTraits& type = engine::traits(m_work.FractalType);
    const int alg = m_work.Algorithm;
    m_defImage2->setEnabled(m_fractal.Params.Width > 1 && m_fractal.Params.Height > 1);
    m_periodicityCheck->setEnabled(type.periodicity
                                   && (alg == engine::AlgLevel || alg == engine::AlgLevelDistance));

    const bool escape = (type.escapeLevel == engine::EscapeLevelUse::Always && levelBinaryFamily(alg))
        || (type.escapeLevel == engine::EscapeLevelUse::ExpOnly && m_work.FunctionIndex == engine::FnExp);
    m_escape->setEnabled(escape);
    m_escapeLabel->setEnabled(escape);
    m_bailout->setEnabled(type.bailout != engine::BailoutUse::FixedMod && levelBinaryFamily(alg));

    m_formula->setVisible(type.hasFormula && alg == engine::AlgLevel);
    m_newtonP->setVisible(type.hasNewtonP);
    m_function->setVisible(type.hasFunction);
    m_newtonLabel->setVisible(type.hasNewtonP || type.hasFunction);
    m_newtonLabel->setText(type.hasNewtonP || type.hasFormula ? QStringLiteral("p:") : QStringLiteral("fn:"));

    const bool delta = engine::usesOrbitArrays(alg);
    m_delta->setEnabled(delta);
    m_deltaLabel->setEnabled(delta);

    const bool constant = type.paramC != engine::ParamCRole::None;
    const engine::ParamCLabels labels = engine::paramCLabels(type.id);
    m_crLabel->setText(qstr(labels.real));
    m_ciLabel->setText(qstr(labels.imag));
    m_cr->setEnabled(constant);
    m_ci->setEnabled(constant);

    const bool pert = type.usesPertZ && alg == engine::AlgLevel;
    m_pr->setEnabled(pert);
    m_pi->setEnabled(pert);
    if (m_delta)  // built last
        nameFields();
}

void TFractForm::refreshMemory()
{
    storage::MemoryFiguresInput in;
    in.availablePhysical = m_options.availableMemory();
    in.currentUse = m_currentUse;
    in.width = m_work.Width;
    in.height = m_work.Height;
    in.depth24 = m_pixelFormat == engine::PixelFormat24;
    in.maxIter = m_work.MaxIter;
    in.algorithm = m_work.Algorithm;
    const storage::MemoryFigures fig = storage::ComputeMemoryFigures(in);
    m_available->setText(qstr(engine::formatThousands(fig.available, true)));
    m_imageMemory->setText(qstr(engine::formatThousands(fig.imageAndCalc, true)));
    m_orbitMemory->setText(qstr(engine::formatThousands(fig.orbits, false)));
    m_tableMemory->setText(qstr(engine::formatThousands(fig.colourTable, false)));
    const QColor colour = fig.tooMuch ? QColor(Qt::red) : QColor(Qt::blue);
    for (QLabel* l : {m_imageMemory, m_orbitMemory, m_tableMemory})
        setFigureColour(l, colour);
    m_ok->setEnabled(!fig.tooMuch);
}

// --- editing ---

bool TFractForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->property(FloatTagProperty).isValid()) {
        const QString t = static_cast<QKeyEvent*>(event)->text();
        // Editing and navigation keys carry no printable text and go through; so does backspace.
        if (t.size() == 1 && t[0].isPrint() && !acceptedFloatKey(t[0]))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFractForm::typeChosen(int index)
{
    if (m_loading || index < 0)
        return;
    const engine::TypeId type = typeAtRow(index);
    if (engine::isSeparator(type)) {
        m_type->setCurrentIndex(typeRow(engine::typeAboveSeparator(type)));  // comes back here with that entry
        return;
    }
    m_work.FractalType = type;
    const engine::TypeDefaults& d = engine::typeDefaults(type);
    if (m_work.Algorithm > d.MaxAlgorithm)
        m_work.Algorithm = engine::AlgLevel;
    if (m_work.Bailout > d.MaxBailout)
        m_work.Bailout = engine::BailMod;
    if (m_defaults->isChecked()) {
        m_loading = true;
        applyFractalDefaults();
        m_loading = false;
        applyVariablesDefaults();
        applyMoreDefaults();
    }
    m_loading = true;
    fillAlgorithms();
    fillBailouts();
    m_loading = false;
    clampFloats();
    writeFloatFields();
    refreshStates();
    refreshMemory();
}

void TFractForm::algorithmChosen(int index)
{
    if (m_loading || index < 0)
        return;
    m_work.Algorithm = uint8_t(index);
    m_work.EscapeLevelSq = engine::typeDefaults(m_work.FractalType).LevelSq[size_t(index)];
    {
        const QSignalBlocker block(m_escape);
        m_escape->setValue(int(std::lround(std::sqrt(double(m_work.EscapeLevelSq)))));
    }
    refreshStates();
    refreshMemory();
}

void TFractForm::floatFieldLeft(FloatTag tag, const QString& text)
{
    if (m_loading)
        return;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (ok && std::isfinite(v)) {
        switch (tag) {
        case TagX: m_work.CentreX = v; break;
        case TagY: m_work.CentreY = v; break;
        case TagStep: m_work.Step = v; break;
        case TagCr: m_work.ParamCr = v; break;
        case TagCi: m_work.ParamCi = v; break;
        case TagPr: m_work.PertZr = v; break;
        case TagPi: m_work.PertZi = v; break;
        case TagScale:
            if (v > 0)
                m_work.Step = stepFromScale(v);
            break;
        }
    }
    clampFloats();
    writeFloatFields();
    refreshMemory();
}

void TFractForm::clampFloats()
{
    const engine::TypeDefaults& d = engine::typeDefaults(m_work.FractalType);
    auto clamp = [](double v, double lo, double hi) { return std::clamp(v, std::min(lo, hi), std::max(lo, hi)); };
    m_work.CentreX = clamp(m_work.CentreX, d.Xmin, d.Xmax);
    m_work.CentreY = clamp(m_work.CentreY, d.Ymin, d.Ymax);
    m_work.Step = clamp(m_work.Step, d.MinStep, d.MaxStep);
    m_work.ParamCr = clamp(m_work.ParamCr, d.Crmin, d.Crmax);
    m_work.ParamCi = clamp(m_work.ParamCi, d.Cimin, d.Cimax);
    m_work.PertZr = clamp(m_work.PertZr, d.Pmin, d.Pmax);
    m_work.PertZi = clamp(m_work.PertZi, d.Pmin, d.Pmax);
}

void TFractForm::stepButton(int tag)
{
    // The captions speak of the magnification: "/ 5" makes the step 5 times larger.
    const engine::TypeDefaults& d = engine::typeDefaults(m_work.FractalType);
    switch (tag) {
    case 1: m_work.Step *= 5; break;
    case 2: m_work.Step *= 2; break;
    case 3: m_work.Step /= 2; break;
    case 4: m_work.Step /= 5; break;
    default: return;
    }
    m_work.Step = std::clamp(m_work.Step, d.MinStep, d.MaxStep);
    writeFloatFields();
    refreshMemory();
}

void TFractForm::presetChosen(int preset)
{
    if (m_loading)
        return;
    const bool custom = preset == CustomPreset;
    if (!custom) {
        const QSignalBlocker bw(m_width), bh(m_height);
        m_width->setValue(SizePresets[size_t(preset)].width);
        m_height->setValue(SizePresets[size_t(preset)].height);
    }
    m_width->setEnabled(custom);
    m_height->setEnabled(custom);
    sizeEdited();
}

void TFractForm::sizeEdited()
{
    if (m_loading)
        return;
    m_work.Width = m_width->value();
    m_work.Height = m_height->value();
    m_pixelFormat = m_depth->currentIndex() == 1 ? engine::PixelFormat24 : engine::PixelFormat8;
    refreshCorners();
    refreshMemory();
}

void TFractForm::applyFractalDefaults()
{
    const engine::TypeDefaults& d = engine::typeDefaults(m_work.FractalType);
    m_work.MaxIter = d.MaxIter;
    m_work.EscapeLevelSq = d.LevelSq[size_t(std::min<int>(m_work.Algorithm, engine::AlgorithmCount - 1))];
    m_iterations->setValue(m_work.MaxIter);
    m_escape->setValue(int(std::lround(std::sqrt(double(m_work.EscapeLevelSq)))));
}

void TFractForm::applyVariablesDefaults()
{
    const engine::TypeDefaults& d = engine::typeDefaults(m_work.FractalType);
    m_work.CentreX = d.CentreX;
    m_work.CentreY = d.CentreY;
    m_work.Step = d.MaxStep;
    writeFloatFields();
    refreshMemory();
}

void TFractForm::applyMoreDefaults()
{
    const engine::TypeDefaults& d = engine::typeDefaults(m_work.FractalType);
    m_work.ParamCr = d.ParamCr;
    m_work.ParamCi = d.ParamCi;
    m_work.Delta = d.Delta;
    m_work.PertZr = d.PertZr;
    m_work.PertZi = d.PertZi;
    {
        const QSignalBlocker block(m_delta);
        m_delta->setValue(m_work.Delta);
    }
    writeFloatFields();
}

void TFractForm::restoreImageValues()
{
    // The values of the last computed image, except the size and the type constant, which stay as
    // the document has them (the image's size is the document's).
    const engine::FractalParams& image = m_fractal.ImageParams;
    engine::FractalParams w = image;
    w.Width = m_fractal.Params.Width;
    w.Height = m_fractal.Params.Height;
    w.ParamCr = m_fractal.Params.ParamCr;
    w.ParamCi = m_fractal.Params.ParamCi;
    m_work = w;
    m_pixelFormat = m_fractal.PixelFormat;
    loadControls();
}

void TFractForm::copyToClipboard()
{
    const std::string summary = storage::VariablesSummary(m_work, m_language);
    QApplication::clipboard()->setText(QString::fromStdString(summary));
}

// --- closing ---

bool TFractForm::colourCheck()
{
    if (m_work.Algorithm != engine::AlgDistance && m_work.Algorithm != engine::AlgBinary)
        return false;
    if (m_pixelFormat == engine::PixelFormat8 && colour::IsSystemPalette(m_palette) && m_boundaryType == colour::BoundaryKind::Linear)
        return false;
    const bool correct = m_options.askColourCorrection ? m_options.askColourCorrection(this)
                                                       : TFractMesForm(m_language, this).exec() == QDialog::Accepted;
    if (!correct)
        return false;
    m_pixelFormat = engine::PixelFormat8;
    m_palette = colour::systemPalette();
    m_boundaryType = colour::BoundaryKind::Linear;
    return true;
}

void TFractForm::accept()
{
    if (!m_ok->isEnabled())
        return;
    // A field being edited counts as left.
    if (QWidget* focus = QApplication::focusWidget(); focus && focus->property(FloatTagProperty).isValid()) {
        if (auto* edit = qobject_cast<QLineEdit*>(focus))
            floatFieldLeft(FloatTag(edit->property(FloatTagProperty).toInt()), edit->text());
    }
    if (m_options.hideMarkers)
        m_options.hideMarkers();
    m_coloursCorrected = colourCheck();

    document::TFractal& f = m_fractal;
    const engine::FractalParams& w = m_work;
    const bool realloc = w.Width != f.Params.Width || w.Height != f.Params.Height || m_pixelFormat != f.PixelFormat
        || w.Algorithm != f.Params.Algorithm || w.MaxIter != f.Params.MaxIter;

    if (m_coloursCorrected) {
        f.Palette = m_palette;
        f.SetBoundary(m_boundaryType, f.Multiplier);
    }
    f.SetFractalParams(w.FractalType, w.Algorithm, m_periodicity, w.Bailout, w.EscapeLevelSq, w.MaxIter,
                       w.FunctionIndex, w.Formula);
    const double leftX = w.CentreX - double(w.Width) / 2 * w.Step;
    const double topY = w.CentreY + double(w.Height) / 2 * w.Step;
    f.SetViewParams(w.CentreX, w.CentreY, w.Step, leftX, topY, w.ParamCr, w.ParamCi, w.PertZr, w.PertZi, w.Delta,
                    w.NewtonP);

    if (realloc) {
        if (m_options.showStatus)
            m_options.showStatus(tx(text::StatusText::AllocatingBitmap, m_language));
        const storage::AllocResult r = storage::AllocImage(f, w.Width, w.Height, m_pixelFormat, m_newFractal);
        m_reallocated = true;
        if (!r.ok) {
            const QString message = QString::fromStdString(r.message);
            if (m_options.showError)
                m_options.showError(message);
            else
                QMessageBox::critical(this, QString(), message);
            storage::ResetToDefaults(f);
            m_allocationFailed = true;
        }
    }
    QDialog::accept();
}

void runVariablesDialog(TMainForm& window, int page, bool newFractal)
{
    FractFormOptions options;
    options.showStatus = [&window](const QString& message) { window.ShowStatus(message); };
    options.showError = [&window](const QString& message) { window.services().showError(&window, QString(), message); };
    options.fontSize = window.settings().prefs.fontSize;
    options.hints = window.settings().prefs.hints;
    if (newFractal) {
        options.proposedWidth = window.newFractalSize().width();
        options.proposedHeight = window.newFractalSize().height();
    }
    TFractForm form(window.fractal(), page, newFractal, window.settings().language(), std::move(options), &window);
    // The view before the dialog, for Back (the values are taken before OK may reallocate them).
    document::ViewRecord before = window.currentView();
    // OK may give the picture a new size or new colours: the markers come off it first.
    window.markerLayer().hideForRewrite();
    if (form.exec() != QDialog::Accepted) {
        window.markerLayer().pictureRewritten();
        return;
    }
    if (!newFractal && !(before.Params == window.fractal().Params && before.PixelFormat == window.fractal().PixelFormat))
        window.recordView(std::move(before));
    if (form.imageReallocated() || form.coloursCorrected() || form.allocationFailed())
        window.pictureChanged();
    else
        window.markerLayer().pictureRewritten();
    if (form.allocationFailed())
        window.setDocumentTitle({});
}

}  // namespace ui
