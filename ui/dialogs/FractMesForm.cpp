#include "ui/dialogs/FractMesForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/text/VariablesTexts.h"
#include "ui/Texts.h"

namespace ui {

namespace {

// The middle line of the question; the text tables hold only the first and the last.
QString wrongForAlgorithm(int language)
{
    return language == text::French ? QString::fromUtf8("incorrect pour l'algorithme choisi")
                                    : QStringLiteral("wrong for the selected algorithm");
}

}  // namespace

TFractMesForm::TFractMesForm(int language, QWidget* parent) : QDialog(parent)
{
    using text::VariablesText;
    setObjectName(QStringLiteral("FractMesForm"));
    setWindowTitle(tx(VariablesText::Caption, language));

    auto* layout = new QVBoxLayout(this);
    const QString lines[] = {tx(VariablesText::CurrentColourConfiguration, language), wrongForAlgorithm(language),
                             tx(VariablesText::CorrectColourQuestion, language)};
    int n = 1;
    for (const QString& line : lines) {
        auto* label = new QLabel(line, this);
        label->setObjectName(QStringLiteral("MesLabel%1").arg(n++));
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    auto* no = new QPushButton(tx(VariablesText::No, language), this);
    no->setObjectName(QStringLiteral("NoButton"));
    auto* yes = new QPushButton(tx(VariablesText::Yes, language), this);
    yes->setObjectName(QStringLiteral("YesButton"));
    yes->setDefault(true);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(no);
    buttons->addWidget(yes);
    layout->addLayout(buttons);
}

}  // namespace ui
