#include "ui/dialogs/PosForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

#include "document/Fractal.h"
#include "engine/Catalogue.h"
#include "engine/NumberFormat.h"
#include "storage/DocumentHeader.h"
#include "ui/Accessibility.h"
#include "ui/MainForm.h"
#include "ui/StatusLine.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"
#include "ui/modes/ModeBinding.h"
#include "ui/tools/MarkerLayer.h"

namespace ui {

namespace {

using text::MarkerText;

constexpr int PlaneDigits = 16;
constexpr int MarkerTextLength = 80;


bool xInside(const document::TFractal& f, double x)
{
    return f.LeftX < x && x < f.LeftX + f.Params.Width * f.Params.Step;
}

bool yInside(const document::TFractal& f, double y)
{
    return f.TopY - f.Params.Height * f.Params.Step < y && y < f.TopY;
}

void setScroll(QScrollBar* bar, int pixel, int imageSide)
{
    if (imageSide <= 0)
        return;
    // The bar's range covers the content, the visible part (pageStep) included.
    const double content = double(bar->maximum() - bar->minimum() + bar->pageStep());
    const double at = pixel * content / imageSide - bar->pageStep() / 2.0;
    bar->setValue(bar->minimum() + int(std::lround(at)));
}

}  // namespace

QString planeText(double v)
{
    return qstr(engine::formatGeneral(v, PlaneDigits));
}

std::optional<double> readPlaneField(const QLineEdit* edit)
{
    bool ok = false;
    const double v = edit->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool planePointInside(const document::TFractal& f, double x, double y)
{
    return xInside(f, x) && yInside(f, y);
}

std::optional<QPoint> planeToPixel(const document::TFractal& f, double x, double y)
{
    if (!planePointInside(f, x, y))
        return std::nullopt;
    const double s = f.Params.Step;
    return QPoint(int(std::lround((x - f.LeftX) / s)), int(std::lround((f.TopY - y) / s)));
}

void centreViewOn(TMainForm& window, QPoint pixel)
{
    const document::TFractal& f = window.fractal();
    QScrollArea* box = window.scrollBox();
    setScroll(box->horizontalScrollBar(), pixel.x(), f.Params.Width);
    setScroll(box->verticalScrollBar(), pixel.y(), f.Params.Height);
}

bool acceptedPlaneKey(const QString& text)
{
    if (text.size() != 1 || !text[0].isPrint())
        return true;  // editing and moving keys, backspace
    const QChar c = text[0];
    return c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('.') || c == QLatin1Char('E') || c == QLatin1Char('e');
}

TPosForm::TPosForm(const document::TFractal& f, const Context& context, QWidget* parent)
    : QDialog(parent), m_fractal(f), m_context(context), m_x(context.lastX), m_y(context.lastY)
{
    const int language = context.language;
    setObjectName(QStringLiteral("PosForm"));
    setWindowTitle(tx(MarkerText::MoveImageTo, language));

    m_xEdit = new QLineEdit(planeText(context.lastX), this);
    m_xEdit->setObjectName(QStringLiteral("XEdit"));
    m_yEdit = new QLineEdit(planeText(context.lastY), this);
    m_yEdit->setObjectName(QStringLiteral("YEdit"));
    for (QLineEdit* e : {m_xEdit, m_yEdit}) {
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, this, &TPosForm::check);
    }
    auto* form = new QFormLayout;
    form->addRow(tx(MarkerText::XMove, language), m_xEdit);
    form->addRow(tx(MarkerText::YMove, language), m_yEdit);

    m_centre = new QPushButton(tx(MarkerText::CenterOfFractal, language), this);
    m_centre->setObjectName(QStringLiteral("CenterButton"));
    m_file = new QPushButton(tx(MarkerText::GetXAndYFromAFile, language), this);
    m_file->setObjectName(QStringLiteral("FileButton"));
    if (context.hints) {
        m_centre->setToolTip(tx(MarkerText::CenterOfFractal, language));
        m_file->setToolTip(tx(MarkerText::GetXAndYFromAFile, language));
    }
    connect(m_centre, &QPushButton::clicked, this, &TPosForm::takeCentre);
    connect(m_file, &QPushButton::clicked, this, &TPosForm::chooseDocument);

    m_marker = new QCheckBox(tx(MarkerText::PlaceMarker, language), this);
    m_marker->setObjectName(QStringLiteral("MarkerCheckBox"));
    m_marker->setChecked(context.placeMarker);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    row->addWidget(m_centre);
    row->addWidget(m_file);
    layout->addLayout(row);
    layout->addWidget(m_marker);
    layout->addWidget(buttons);
    labelFields(this);
    m_xEdit->setAccessibleName(shownCaption(tx(MarkerText::XMove, language)).trimmed());
    m_yEdit->setAccessibleName(shownCaption(tx(MarkerText::YMove, language)).trimmed());
    m_centre->setAccessibleDescription(tx(MarkerText::CenterOfFractal, language));
    m_file->setAccessibleDescription(tx(MarkerText::GetXAndYFromAFile, language));
    check();
}

bool TPosForm::placeMarker() const
{
    return m_marker->isChecked();
}

bool TPosForm::okEnabled() const
{
    return m_ok->isEnabled();
}

void TPosForm::check()
{
    const std::optional<double> x = readPlaneField(m_xEdit);
    const std::optional<double> y = readPlaneField(m_yEdit);
    const bool xOk = x && xInside(m_fractal, *x);
    const bool yOk = y && yInside(m_fractal, *y);
    const QString red = QStringLiteral("color: red");
    m_xEdit->setStyleSheet(xOk ? QString() : red);
    m_yEdit->setStyleSheet(yOk ? QString() : red);
    m_ok->setEnabled(xOk && yOk);
    if (xOk && yOk) {
        m_x = *x;
        m_y = *y;
    }
}

void TPosForm::takeCentre()
{
    m_xEdit->setText(planeText(m_fractal.Params.CentreX));
    m_yEdit->setText(planeText(m_fractal.Params.CentreY));
}

bool TPosForm::takeFromDocument(const QString& path)
{
    storage::HeaderPosition p;
    if (!storage::ReadHeaderPosition(QFile::encodeName(path).toStdString(), p))
        return false;
    const auto type = engine::TypeId(p.FractalType);
    if (type == engine::TypeId::Julia) {
        m_xEdit->setText(planeText(p.ParamCr));
        m_yEdit->setText(planeText(p.ParamCi));
    } else {
        m_xEdit->setText(planeText(p.CentreX));
        m_yEdit->setText(planeText(p.CentreY));
    }
    const QString name = QFileInfo(path).completeBaseName() + QLatin1Char('/') + qstr(engine::typeName(type));
    m_markerText = name.left(MarkerTextLength).toStdString();
    return true;
}

void TPosForm::chooseDocument()
{
    if (!m_context.services)
        return;
    const QString path = m_context.services->openDocumentPath(this, m_context.directory, QString());
    if (!path.isEmpty())
        takeFromDocument(path);
}

bool TPosForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_xEdit || watched == m_yEdit)
        && !acceptedPlaneKey(static_cast<QKeyEvent*>(event)->text()))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool goToPoint(TMainForm& window, double x, double y, bool placeMarker, const std::string& markerText)
{
    const std::optional<QPoint> pixel = planeToPixel(window.fractal(), x, y);
    if (!pixel)
        return false;
    centreViewOn(window, *pixel);
    if (placeMarker && !window.markerLayer().place(*pixel, markerText, document::MarkerShape::Simple))
        window.ShowStatus(tx(text::StatusText::NoMarkerAvailable, window.settings().language()));
    window.modes().controller().showCrossingLines(*pixel);
    return true;
}

bool runPosCommand(TMainForm& window)
{
    AppSettings& settings = window.settings();
    window.ShowStatus(tx(text::StatusText::EnterMoveCoordinates, settings.language()));
    TPosForm::Context context;
    context.lastX = settings.lastGotoX;
    context.lastY = settings.lastGotoY;
    context.placeMarker = settings.prefs.markersShown;
    context.language = settings.language();
    context.hints = settings.prefs.hints;
    context.services = &window.services();
    context.directory = settings.fractalDirectory;
    TPosForm form(window.fractal(), context, &window);
    const bool accepted = form.exec() == QDialog::Accepted;
    if (!accepted) {
        window.ShowStatus(QString());
        return false;
    }
    settings.lastGotoX = form.x();
    settings.lastGotoY = form.y();
    if (form.placeMarker())
        window.fractal().Modified = true;
    window.ShowStatus(QString());
    goToPoint(window, form.x(), form.y(), form.placeMarker(), form.markerText());
    window.DrawMainMenus();
    return true;
}

}  // namespace ui
