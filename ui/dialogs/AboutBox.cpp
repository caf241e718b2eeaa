#include "ui/dialogs/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>
#include <array>
#include <cstring>
#include <utility>

#include "document/Computation.h"
#include "document/Fractal.h"
#include "storage/Preferences.h"
#include "storage/Workspace.h"
#include "ui/MainForm.h"
#include "ui/Splash.h"
#include "ui/Texts.h"

namespace ui {

namespace {

constexpr int LogoWidth = 96, LogoHeight = 72;

// The libraries Vorex is linked with and their licences (SPDX identifiers, the same in every language).
constexpr std::array<std::pair<const char*, const char*>, 5> Libraries = {{
    {"Qt 6", "LGPL-3.0-only"},
    {"libpng", "libpng-2.0"},
    {"zlib", "Zlib"},
    {"libjpeg-turbo", "IJG AND BSD-3-Clause AND Zlib"},
    {"libtiff", "libtiff"},
}};
constexpr int CreditsWidth = 320;

// The logo: the Mandelbrot set at its default view, 24-bit, computed here.
QPixmap logo()
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    f.Params.MaxIter = 64;
    if (!storage::AllocImage(f, LogoWidth, LogoHeight, engine::PixelFormat24, true).ok)
        return {};
    f.Params.Step = 3.2 / LogoWidth;
    f.UpdateCorners();
    document::ComputeCommand(f, true, nullptr);
    QImage image(LogoWidth, LogoHeight, QImage::Format_BGR888);
    for (int r = 0; r < LogoHeight; ++r)
        std::memcpy(image.scanLine(r), f.Bitmap.row(r), size_t(LogoWidth) * 3);
    return QPixmap::fromImage(image);
}

}  // namespace

TAboutForm::TAboutForm(int language, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(qstr(text::ProductTitle));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("VorexLogo"));
    picture->setPixmap(logo());
    picture->setAccessibleName(qstr(text::ProductTitle));

    auto* product = new QLabel(qstr(text::ProductTitle), this);
    product->setObjectName(QStringLiteral("ProductLabel"));
    QFont big = product->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    product->setFont(big);
    auto* version = new QLabel(Splash::versionLine(), this);
    version->setObjectName(QStringLiteral("VersionLabel"));
    auto* copyright = new QLabel(qstr(storage::CopyrightText), this);
    copyright->setObjectName(QStringLiteral("CopyrightLabel"));
    QString creditsText = tx(text::NavigationText::Credits, language);
    for (const auto& [library, licence] : Libraries)
        creditsText += QStringLiteral("\n  ") + QLatin1String(library) + QStringLiteral(": ") + QLatin1String(licence);
    auto* credits = new QLabel(creditsText, this);
    credits->setObjectName(QStringLiteral("CreditsLabel"));
    credits->setTextFormat(Qt::PlainText);
    credits->setMinimumWidth(CreditsWidth);
    for (QLabel* l : {product, version, copyright, credits})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName(QStringLiteral("AboutButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(version);
    texts->addWidget(copyright);
    texts->addSpacing(8);
    texts->addWidget(credits);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

void runAboutCommand(TMainForm& window)
{
    window.CancelModes();
    window.ShowStatus(QString());
    TAboutForm form(window.settings().language(), &window);
    form.exec();
}

}  // namespace ui
