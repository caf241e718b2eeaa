#include "ui/dialogs/RetoucheForm.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/text/VariablesTexts.h"
#include "ui/Texts.h"

namespace ui {

TRetoucheForm::TRetoucheForm(uint16_t current, uint16_t minimum, int language, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RetoucheForm"));
    setWindowTitle(tx(text::VariablesText::IterationsForTouchingUp, language));
    auto* group = new QGroupBox(tx(text::VariablesText::IterationsForTouchingUp, language), this);
    m_edit = new QSpinBox(group);
    m_edit->setObjectName(QStringLiteral("IterationEdit"));
    const int low = std::min<int>(minimum, MaxTouchUpIterations);
    m_edit->setRange(low, MaxTouchUpIterations);
    m_edit->setValue(std::clamp<int>(current, low, MaxTouchUpIterations));
    auto* inGroup = new QVBoxLayout(group);
    inGroup->addWidget(m_edit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

uint16_t TRetoucheForm::iterations() const
{
    // A value typed but not yet confirmed in the field counts, within the range.
    m_edit->interpretText();
    return uint16_t(m_edit->value());
}

uint16_t TRetoucheForm::ask(uint16_t current, uint16_t minimum, int language, QWidget* parent)
{
    TRetoucheForm form(current, minimum, language, parent);
    return form.exec() == QDialog::Accepted ? form.iterations() : 0;
}

}  // namespace ui
