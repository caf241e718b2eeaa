#include "ui/dialogs/Par3DForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "colour/Fract3D.h"
#include "document/Fractal.h"
#include "storage/SystemMemory.h"
#include "ui/Accessibility.h"
#include "ui/MainForm.h"
#include "ui/text/ViewTexts.h"
#include "ui/Texts.h"

namespace ui {

namespace {

using text::Params3DText;

constexpr int MinFocalTenths = 20, MaxFocalTenths = 300;
constexpr int DefaultZScale = 30, DefaultFocalLength = 1000, DefaultShift = 0;

double radians(int degrees)
{
    return double(degrees) * std::numbers::pi / 180.0;
}

}  // namespace

int normaliseAzimuth(int azimuth)
{
    if (azimuth == 360)
        return 0;
    while (azimuth >= 360)
        azimuth -= 360;
    while (azimuth < 0)
        azimuth += 360;
    return azimuth;
}

QString groupedNumber(uint64_t value)
{
    QString digits = QString::number(value);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

// ---------------------------------------------------------------------------------------------------------

AngleIndicator::AngleIndicator(Kind kind, const QString& objectName, QWidget* parent) : QWidget(parent), m_kind(kind)
{
    setObjectName(objectName);
    const QSize size = kind == Kind::Azimuth ? QSize(2 * AzimuthLength + 11, 2 * AzimuthLength + 11)
                                             : QSize(ElevationLength + 9, ElevationLength + 9);
    setFixedSize(size);
    m_image = QImage(size, QImage::Format_RGB32);
    m_image.fill(Qt::white);
    xorLine(m_angle);
}

QPoint AngleIndicator::pivot() const
{
    if (m_kind == Kind::Azimuth)
        return QPoint(m_image.width() / 2, m_image.height() / 2);
    return QPoint(4, m_image.height() - 5);
}

QPoint AngleIndicator::endPoint(int degrees) const
{
    const QPoint p = pivot();
    const double a = radians(degrees);
    if (m_kind == Kind::Azimuth)
        return p + QPoint(int(std::lround(AzimuthLength * std::sin(a))), -int(std::lround(AzimuthLength * std::cos(a))));
    return p + QPoint(int(std::lround(ElevationLength * std::cos(a))), -int(std::lround(ElevationLength * std::sin(a))));
}

void AngleIndicator::xorLine(int degrees)
{
    QPainter painter(&m_image);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    // 0x00BBGGRR: blue and green full, no red.
    painter.setPen(QPen(QColor(int(LineColourBgr & 0xFF), int((LineColourBgr >> 8) & 0xFF),
                               int((LineColourBgr >> 16) & 0xFF)), 1));
    painter.drawLine(pivot(), endPoint(degrees));
}

void AngleIndicator::setAngle(int degrees)
{
    if (degrees == m_angle)
        return;
    xorLine(m_angle);  // erases the present line
    m_angle = degrees;
    xorLine(m_angle);
    update();
}

void AngleIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

// ---------------------------------------------------------------------------------------------------------

TPar3DForm::TPar3DForm(const colour::View3DParams& params, Context context, QWidget* parent)
    : QDialog(parent), m_params(params), m_context(std::move(context))
{
    setObjectName(QStringLiteral("Par3DForm"));
    if (!m_context.freeMemory)
        m_context.freeMemory = [] { return storage::availablePhysicalMemory(); };
    QFont f = font();
    f.setPointSize(m_context.fontSize);
    setFont(f);
    const int language = m_context.language;
    const QString caption = tx(Params3DText::Caption, language);
    setWindowTitle(caption.trimmed());

    auto* group = new QGroupBox(caption, this);
    group->setObjectName(QStringLiteral("Par3DGroup"));
    auto spin = [group](const char* name, int low, int high, int value) {
        auto* s = new QSpinBox(group);
        s->setObjectName(QLatin1String(name));
        s->setRange(low, high);
        s->setValue(std::clamp(value, low, high));
        return s;
    };
    m_params.Azimuth = normaliseAzimuth(m_params.Azimuth);
    m_params.Elevation = std::clamp(m_params.Elevation, 0, 90);
    m_azimuth = spin("AzSpinEdit", -1, 999, m_params.Azimuth);
    m_elevation = spin("ElSpinEdit", 0, 90, m_params.Elevation);
    m_zScale = spin("EchZSpinEdit", 0, 500, m_params.ZScale);
    m_zLimit = spin("LimZSpinEdit", 0, std::min<int>(65000, m_context.maxIter), m_params.ZLimit);
    m_focal = spin("DistSpinEdit", MinFocalTenths, MaxFocalTenths, m_params.FocalLength / 10);
    m_shift = spin("ShiftSpinEdit", -500, 500, m_params.VerticalShift);
    // Azimuth and elevation are taken when the field is left, or at once on an arrow step.
    for (QSpinBox* s : {m_azimuth, m_elevation})
        s->setKeyboardTracking(false);
    m_lastAzimuth = m_azimuth->value();
    m_lastElevation = m_elevation->value();

    m_inverted = new QCheckBox(tx(Params3DText::Inverted3D, language), group);
    m_inverted->setObjectName(QStringLiteral("ProjCheckBox"));
    m_inverted->setChecked(m_params.Inverted3D != 0);
    m_perspective = new QCheckBox(tx(Params3DText::DrawInPerspective, language), group);
    m_perspective->setObjectName(QStringLiteral("PersCheckBox"));
    m_perspective->setChecked(m_params.Perspective != 0);
    // Light grey while there is no perspective.
    m_focal->setStyleSheet(QStringLiteral("QSpinBox:disabled { background-color: #C0C0C0; }"));

    m_azImage = new AngleIndicator(AngleIndicator::Kind::Azimuth, QStringLiteral("AzImage"), group);
    m_elevImage = new AngleIndicator(AngleIndicator::Kind::Elevation, QStringLiteral("ElevImage"), group);
    m_azImage->setAngle(m_params.Azimuth);
    m_elevImage->setAngle(m_params.Elevation);

    auto name = [language](QWidget* w, Params3DText id) {
        w->setAccessibleName(shownCaption(tx(id, language)).trimmed());
    };
    auto label = [language, group](Params3DText id, QWidget* field) {
        auto* l = new QLabel(tx(id, language), group);
        l->setBuddy(field);
        return l;
    };
    name(m_azimuth, Params3DText::Azimuth);
    name(m_elevation, Params3DText::VerticalAngle);
    name(m_zScale, Params3DText::ZScale);
    name(m_zLimit, Params3DText::ZLimit);
    name(m_focal, Params3DText::FocalLength);
    name(m_shift, Params3DText::VerticalShift);
    name(m_inverted, Params3DText::Inverted3D);
    name(m_perspective, Params3DText::DrawInPerspective);
    name(m_azImage, Params3DText::Azimuth);
    name(m_elevImage, Params3DText::VerticalAngle);

    auto* angles = new QGridLayout;
    angles->addWidget(label(Params3DText::Azimuth, m_azimuth), 0, 0);
    angles->addWidget(m_azimuth, 0, 1);
    angles->addWidget(m_azImage, 1, 0, 1, 2, Qt::AlignCenter);
    angles->addWidget(label(Params3DText::VerticalAngle, m_elevation), 0, 2);
    angles->addWidget(m_elevation, 0, 3);
    angles->addWidget(m_elevImage, 1, 2, 1, 2, Qt::AlignCenter);

    auto* fields = new QFormLayout;
    fields->addRow(label(Params3DText::ZScale, m_zScale), m_zScale);
    fields->addRow(label(Params3DText::ZLimit, m_zLimit), m_zLimit);
    fields->addRow(label(Params3DText::FocalLength, m_focal), m_focal);
    fields->addRow(label(Params3DText::VerticalShift, m_shift), m_shift);
    fields->addRow(m_inverted);
    fields->addRow(m_perspective);

    m_availableFigure = new QLabel(group);
    m_availableFigure->setObjectName(QStringLiteral("AvailableRAMLabel"));
    m_neededFigure = new QLabel(group);
    m_neededFigure->setObjectName(QStringLiteral("NeededRAMLabel"));
    name(m_availableFigure, Params3DText::AvailableRAM);
    name(m_neededFigure, Params3DText::NecessaryRAMFor3D);
    auto* memory = new QFormLayout;
    memory->addRow(new QLabel(tx(Params3DText::AvailableRAM, language), group), m_availableFigure);
    memory->addRow(new QLabel(tx(Params3DText::NecessaryRAMFor3D, language), group), m_neededFigure);

    auto* inGroup = new QVBoxLayout(group);
    inGroup->addLayout(angles);
    inGroup->addLayout(fields);
    inGroup->addLayout(memory);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Reset, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    m_reset = buttons->button(QDialogButtonBox::Reset);
    m_reset->setObjectName(QStringLiteral("DefButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_reset, &QPushButton::clicked, this, &TPar3DForm::reset);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);

    connect(m_azimuth, &QSpinBox::editingFinished, this, &TPar3DForm::takeAzimuth);
    connect(m_azimuth, &QSpinBox::valueChanged, this, [this](int v) {
        if (std::abs(v - m_lastAzimuth) == 1)
            takeAzimuth();
    });
    connect(m_elevation, &QSpinBox::editingFinished, this, &TPar3DForm::takeElevation);
    connect(m_elevation, &QSpinBox::valueChanged, this, [this](int v) {
        if (std::abs(v - m_lastElevation) == 1)
            takeElevation();
    });
    connect(m_perspective, &QCheckBox::toggled, this, &TPar3DForm::perspectiveChanged);
    perspectiveChanged();
    checkMemory();
}

void TPar3DForm::takeAzimuth()
{
    m_azimuth->interpretText();
    const int az = normaliseAzimuth(m_azimuth->value());
    m_lastAzimuth = az;
    if (m_azimuth->value() != az) {
        const QSignalBlocker block(m_azimuth);
        m_azimuth->setValue(az);
    }
    m_params.Azimuth = az;
    m_azImage->setAngle(az);
}

void TPar3DForm::takeElevation()
{
    m_elevation->interpretText();
    m_lastElevation = m_elevation->value();
    m_params.Elevation = m_lastElevation;
    m_elevImage->setAngle(m_lastElevation);
}

void TPar3DForm::reset()
{
    m_zScale->setValue(DefaultZScale);
    m_zLimit->setValue(std::min<int>(m_context.maxIter, m_zLimit->maximum()));
    m_focal->setValue(DefaultFocalLength / 10);
    m_shift->setValue(DefaultShift);
}

void TPar3DForm::perspectiveChanged()
{
    m_focal->setEnabled(m_perspective->isChecked());
}

void TPar3DForm::checkMemory()
{
    const colour::Memory3D m = colour::memoryFor3D(m_context.width, m_context.height, m_context.freeMemory(),
                                                   m_context.view3DShown);
    m_needed = m.needed;
    m_available = m.available;
    m_fits = m.fits;
    const QString available = groupedNumber(m.available), needed = groupedNumber(m.needed);
    if (m_availableFigure->text() != available)
        m_availableFigure->setText(available);
    if (m_neededFigure->text() != needed)
        m_neededFigure->setText(needed);
    const QString style = m.fits ? QStringLiteral("color: blue;") : QStringLiteral("color: red;");
    if (m_neededFigure->styleSheet() != style)
        m_neededFigure->setStyleSheet(style);
    m_ok->setEnabled(m.fits);
}

void TPar3DForm::paintEvent(QPaintEvent* event)
{
    checkMemory();
    QDialog::paintEvent(event);
}

void TPar3DForm::accept()
{
    if (!m_ok->isEnabled())
        return;
    takeAzimuth();
    takeElevation();
    for (QSpinBox* s : {m_zScale, m_zLimit, m_focal, m_shift})
        s->interpretText();
    m_params.ZScale = m_zScale->value();
    m_params.ZLimit = m_zLimit->value();
    m_params.FocalLength = m_focal->value() * 10;
    m_params.VerticalShift = m_shift->value();
    m_params.Inverted3D = m_inverted->isChecked() ? 1 : 0;
    m_params.Perspective = m_perspective->isChecked() ? 1 : 0;
    QDialog::accept();
}

bool runPar3DCommand(TMainForm& window)
{
    document::TFractal& f = window.fractal();
    const AppSettings& settings = window.settings();
    window.ShowStatus(QString());
    TPar3DForm::Context context;
    context.width = f.Bitmap.Width;
    context.height = f.Bitmap.Height;
    context.maxIter = f.Params.MaxIter;
    context.view3DShown = f.View3D;
    context.language = settings.language();
    context.fontSize = settings.prefs.fontSize;
    const colour::View3DParams before = f.view3D();
    TPar3DForm form(before, context, &window);
    const bool accepted = form.exec() == QDialog::Accepted;
    window.ShowStatus(QString());
    if (!accepted)
        return false;
    if (!(form.params() == before)) {
        f.view3D() = form.params();
        f.Modified = true;
    }
    window.draw3D();
    return true;
}

}  // namespace ui
