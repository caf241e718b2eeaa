#include "ui/dialogs/MarkerForm.h"
// The tool texts come before ui/Texts.h so that its tx() sees their lookup().
#include "ui/text/ToolTexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "document/Fractal.h"
#include "engine/NumberFormat.h"
#include "ui/Accessibility.h"
#include "ui/MainForm.h"
#include "ui/dialogs/PosForm.h"
#include "ui/tools/MarkerLayer.h"
#include "ui/Texts.h"

namespace ui {

using text::MarkerText;

TMarkerForm::TMarkerForm(int number, const Values& values, QPoint pixel, bool view3D, int language, bool hints,
                         QWidget* parent)
    : QDialog(parent), m_initial(values), m_language(language)
{
    setObjectName(QStringLiteral("MarkerForm"));
    setWindowTitle(tx(MarkerText::MarkerProperties, language));

    auto* group = new QGroupBox(tx(MarkerText::MarkerNo, language) + QLatin1Char(' ') + QString::number(number), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* form = new QFormLayout;
    m_xEdit = new QLineEdit(planeText(values.x), group);
    m_xEdit->setObjectName(QStringLiteral("XEdit"));
    m_yEdit = new QLineEdit(planeText(values.y), group);
    m_yEdit->setObjectName(QStringLiteral("YEdit"));
    for (QLineEdit* e : {m_xEdit, m_yEdit})
        e->installEventFilter(this);
    form->addRow(tx(MarkerText::XPosition, language), m_xEdit);
    form->addRow(tx(MarkerText::YPosition, language), m_yEdit);
    m_pixel = new QLabel(QStringLiteral("X: %1  Y: %2").arg(pixel.x()).arg(pixel.y()), group);
    m_pixel->setObjectName(QStringLiteral("PixelLabel"));
    form->addRow(tx(MarkerText::PosEnPixels, language), m_pixel);
    group->setLayout(form);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("MarkerMemo"));
    m_memo->setTabChangesFocus(true);  // Tab leaves the text, as in the other fields
    m_memo->setPlainText(QString::fromStdString(values.text).left(TextLength));
    m_memo->setFixedHeight(m_memo->fontMetrics().lineSpacing() * 4 + 12);
    m_used = new QLabel(this);
    m_used->setObjectName(QStringLiteral("UsedLabel"));
    connect(m_memo, &QPlainTextEdit::textChanged, this, &TMarkerForm::textEdited);

    m_shape = new QComboBox(this);
    m_shape->setObjectName(QStringLiteral("TComboBox"));
    for (MarkerText id : {MarkerText::Simple, MarkerText::Circle, MarkerText::Square, MarkerText::Diamond,
                          MarkerText::Triangle})
        m_shape->addItem(tx(id, language));
    m_shape->setCurrentIndex(int(document::drawnShape(document::Marker{true, values.shape, 0, 0, {}})));

    m_delete = new QPushButton(tx(MarkerText::Delete, language), this);
    m_delete->setObjectName(QStringLiteral("DeleteButton"));
    if (hints)
        m_delete->setToolTip(tx(MarkerText::DeleteMarker, language));
    m_delete->setAccessibleDescription(tx(MarkerText::DeleteMarker, language));
    connect(m_delete, &QPushButton::clicked, this, [this] {
        m_deleted = true;
        reject();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_memo);
    layout->addWidget(m_used);
    auto* row = new QHBoxLayout;
    row->addWidget(m_shape, 1);
    row->addWidget(m_delete);
    layout->addLayout(row);
    layout->addWidget(buttons);

    labelFields(this);
    m_xEdit->setAccessibleName(shownCaption(tx(MarkerText::XPosition, language)).trimmed());
    m_yEdit->setAccessibleName(shownCaption(tx(MarkerText::YPosition, language)).trimmed());
    m_pixel->setAccessibleName(tx(MarkerText::PosEnPixels, language) + m_pixel->text());
    m_memo->setAccessibleName(tx(text::ToolText::MarkerTextField, language));
    m_memo->setAccessibleDescription(m_used->text());
    m_shape->setAccessibleName(tx(text::ToolText::MarkerShapeField, language));
    if (view3D) {
        for (QWidget* w : {static_cast<QWidget*>(m_xEdit), static_cast<QWidget*>(m_yEdit),
                           static_cast<QWidget*>(m_memo), static_cast<QWidget*>(m_shape)})
            w->setEnabled(false);
    }
    textEdited();
}

QString TMarkerForm::usedText() const
{
    return m_used->text();
}

void TMarkerForm::textEdited()
{
    const QString t = m_memo->toPlainText();
    if (t.size() > TextLength) {
        // Typed or pasted beyond the limit: the end is cut off and the cursor stays at the end.
        QSignalBlocker block(m_memo);
        m_memo->setPlainText(t.left(TextLength));
        m_memo->moveCursor(QTextCursor::End);
    }
    m_used->setText(tx(MarkerText::UsedText, m_language) + QString::number(m_memo->toPlainText().size())
                    + QLatin1Char('/') + QString::number(TextLength));
    m_memo->setAccessibleDescription(m_used->text());
}

TMarkerForm::Values TMarkerForm::values() const
{
    Values v;
    v.x = readPlaneField(m_xEdit).value_or(m_initial.x);
    v.y = readPlaneField(m_yEdit).value_or(m_initial.y);
    v.text = m_memo->toPlainText().toStdString();
    v.shape = document::MarkerShape(m_shape->currentIndex());
    return v;
}

bool TMarkerForm::changed() const
{
    const Values v = values();
    const bool moved = m_xEdit->text() != planeText(m_initial.x) || m_yEdit->text() != planeText(m_initial.y);
    return (moved && (v.x != m_initial.x || v.y != m_initial.y)) || v.text != m_initial.text
        || v.shape != document::drawnShape(document::Marker{true, m_initial.shape, 0, 0, {}});
}

bool TMarkerForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_xEdit || watched == m_yEdit)
        && !acceptedPlaneKey(static_cast<QKeyEvent*>(event)->text()))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool runMarkerPropertiesCommand(TMainForm& window, QPoint shownPixel)
{
    MarkerLayer& layer = window.markerLayer();
    if (!window.isIdle())
        return false;  // the picture is being drawn
    const std::optional<int> number = layer.find(shownPixel);
    if (!number)
        return false;
    document::TFractal& f = window.fractal();
    const document::Marker& m = f.Markers[size_t(*number - 1)];
    TMarkerForm::Values values;
    values.x = m.X * f.Params.Step + f.LeftX;
    values.y = f.TopY - m.Y * f.Params.Step;
    values.text = m.Label;
    values.shape = m.Shape;
    const AppSettings& settings = window.settings();
    TMarkerForm form(*number, values, QPoint(m.X, m.Y), f.View3D, settings.language(), settings.prefs.hints, &window);
    const bool accepted = form.exec() == QDialog::Accepted;
    if (form.deleted()) {
        layer.erase(*number, true);
        f.Modified = true;
    } else if (accepted && !f.View3D && form.changed()) {
        const TMarkerForm::Values v = form.values();
        const std::optional<QPoint> pixel = planeToPixel(f, v.x, v.y);
        if (pixel) {
            centreViewOn(window, *pixel);
            layer.move(*number, *pixel, v.text, v.shape);
        } else {
            layer.erase(*number, true);  // moved out of the image: the marker is gone
        }
        f.Modified = true;
    }
    window.DrawMainMenus();
    return true;
}

}  // namespace ui
