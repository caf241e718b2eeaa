#include "ui/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "document/Fractal.h"
#include "engine/NumberFormat.h"
#include "ui/StatusLine.h"
#include "ui/Texts.h"
#include "ui/text/VariablesTexts.h"

namespace ui {

namespace {

// Significant digits of the numbers of the status line.
constexpr int StatusDigits = 15;

// A combo box read as its label says: Qt on X11 gives a combo box its current text as its name, so a
// screen reader would announce "Mandelbrot" rather than "Fractal Type". With an accessible name set,
// this interface answers it as the name and the current text as the value; without one it answers as
// Qt does. The list of entries and the line edit of an editable box are its children.
class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        const QString current = box()->isEditable() && box()->lineEdit() ? box()->lineEdit()->text() : box()->currentText();
        switch (t) {
        case QAccessible::Name: return box()->accessibleName().isEmpty() ? current : box()->accessibleName();
        case QAccessible::Value: return current;
        default: return QAccessibleWidget::text(t);
        }
    }
    int childCount() const override { return box()->isEditable() && box()->lineEdit() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(box()->view());
        if (index == 1 && box()->isEditable() && box()->lineEdit())
            return QAccessible::queryAccessibleInterface(box()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }
    QStringList actionNames() const override
    {
        return {QAccessibleActionInterface::showMenuAction(), QAccessibleActionInterface::pressAction()};
    }
    void doAction(const QString& action) override
    {
        if (action == QAccessibleActionInterface::showMenuAction() || action == QAccessibleActionInterface::pressAction())
            box()->showPopup();
    }
};

QAccessibleInterface* vorexAccessibleFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    // The picture: an image, named by updatePictureAccessibleName.
    if (className == QLatin1String("ui::ImageView"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    if (className == QLatin1String("QComboBox"))
        return new NamedComboBox(static_cast<QComboBox*>(object));
    return nullptr;
}

QString labelled(text::VariablesText label, double value, int language)
{
    return qstr(text::lookup(label, language)) + QLatin1Char(' ') + qstr(engine::formatGeneral(value, StatusDigits));
}

}  // namespace

void installAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(vorexAccessibleFactory);
}

QString pictureDescription(const document::TFractal& f, int language)
{
    const engine::FractalParams& p = f.Params;
    if (p.Width < 2 || p.Height < 2)
        return {};
    const QString separator = QStringLiteral(", ");
    return typePanelText(f, language) + separator + sizePanelText(p.Width, p.Height, f.PixelFormat) + separator
        + labelled(text::VariablesText::XCenter, p.CentreX, language) + separator
        + labelled(text::VariablesText::YCenter, p.CentreY, language) + separator
        + labelled(text::VariablesText::CalculationStep, p.Step, language);
}

void updatePictureAccessibleName(QWidget* picture, const document::TFractal& f, int language)
{
    if (!picture)
        return;
    const QString name = pictureDescription(f, language);
    // QWidget::setAccessibleName tells assistive tools of the change.
    if (picture->accessibleName() != name)
        picture->setAccessibleName(name);
}

QString shownCaption(const QString& caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
                shown += QLatin1Char('&');
            else
                continue;
            ++i;
            continue;
        }
        shown += caption[i];
    }
    return shown;
}

void nameMenus(QMenuBar* bar)
{
    if (!bar)
        return;
    for (QAction* action : bar->actions()) {
        if (QMenu* menu = action->menu()) {
            const QString name = shownCaption(action->text());
            if (menu->accessibleName() != name)
                menu->setAccessibleName(name);
        }
    }
}

void labelFields(QWidget* root)
{
    for (QGridLayout* grid : root->findChildren<QGridLayout*>()) {
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (int col = 0; col + 1 < grid->columnCount(); ++col) {
                QLayoutItem* left = grid->itemAtPosition(row, col);
                QLayoutItem* right = grid->itemAtPosition(row, col + 1);
                auto* label = left ? qobject_cast<QLabel*>(left->widget()) : nullptr;
                QWidget* field = right ? right->widget() : nullptr;
                if (!label || !field || label->buddy() || label->text().isEmpty() || qobject_cast<QLabel*>(field)
                    || field->focusPolicy() == Qt::NoFocus)
                    continue;
                label->setBuddy(field);
            }
        }
    }
    for (QFormLayout* form : root->findChildren<QFormLayout*>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* left = form->itemAt(row, QFormLayout::LabelRole);
            QLayoutItem* right = form->itemAt(row, QFormLayout::FieldRole);
            auto* label = left ? qobject_cast<QLabel*>(left->widget()) : nullptr;
            QWidget* field = right ? right->widget() : nullptr;
            if (label && field && !label->buddy() && field->focusPolicy() != Qt::NoFocus)
                label->setBuddy(field);
        }
    }
    // Qt names a field inside a group box after the group; the label beside it says more.
    for (QLabel* label : root->findChildren<QLabel*>()) {
        QWidget* field = label->buddy();
        if (field && field->accessibleName().isEmpty() && !label->text().isEmpty())
            field->setAccessibleName(shownCaption(label->text()));
    }
}

}  // namespace ui
