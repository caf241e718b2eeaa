// What a first session meets: a new fractal that draws at once, file dialogs that start somewhere
// sensible, entries of features still to come shown disabled, and the About window.
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "UiTestUtil.h"
#include "ui/CommandTable.h"
#include "ui/DocumentCommands.h"
#include "ui/ImageView.h"
#include "ui/Splash.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/FractForm.h"

namespace {

// The variables dialog as the user meets it, answered with OK.
void okTheVariablesDialog(vxtest::WindowFixture& fx)
{
    fx.w().setVariablesDialogHook([&fx](int page, bool newFractal) {
        QTimer::singleShot(0, [] {
            if (QWidget* form = QApplication::activeModalWidget())
                if (auto* ok = form->findChild<QPushButton*>(QStringLiteral("OKButton")))
                    ok->click();
        });
        ui::runVariablesDialog(fx.w(), page, newFractal);
    });
}

int distinctColours(const QImage& image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            seen.insert(image.pixel(x, y));
    return int(seen.size());
}

}  // namespace

class TestNewUser : public QObject {
    Q_OBJECT
private slots:
    void newFractalOkComputeDrawsAPicture();
    void newFractalKeepsThePreviousSize();
    void dialogsStartWhereFilesAre();
    void pendingEntriesAreDisabled();
    void aboutShowsLogoVersionAndCredits_data();
    void aboutShowsLogoVersionAndCredits();
};

void TestNewUser::newFractalOkComputeDrawsAPicture()
{
    vxtest::WindowFixture fx;
    QCOMPARE(fx.f().Params.Width, 1);  // the first start
    okTheVariablesDialog(fx);
    QVERIFY(fx.trigger("MenuNew"));
    QCOMPARE(fx.f().Params.Width, 640);
    QCOMPARE(fx.f().Params.Height, 480);
    QCOMPARE(fx.panel(4), QString::fromUtf8("Fractale doit être recalculée"));
    QVERIFY(fx.computeAndWait());
    const QImage shown = fx.w().mainImage()->image();
    QCOMPARE(shown.size(), QSize(640, 480));
    QVERIFY(distinctColours(shown) > 10);
}

void TestNewUser::newFractalKeepsThePreviousSize()
{
    vxtest::WindowFixture fx;
    QVERIFY(fx.allocate(200, 150));
    okTheVariablesDialog(fx);
    QVERIFY(fx.trigger("MenuNew"));
    QCOMPARE(fx.f().Params.Width, 200);
    QCOMPARE(fx.f().Params.Height, 150);
    QVERIFY(fx.computeAndWait());
    QCOMPARE(fx.w().mainImage()->image().size(), QSize(200, 150));
}

void TestNewUser::dialogsStartWhereFilesAre()
{
    QTemporaryDir program, documents;
    const QString home = QStringLiteral("/home/someone");
    const QString missing = program.filePath(QStringLiteral("gone"));
    const struct { const char* what; QString programDir; std::string recent; QString expected; } rows[] = {
        {"the last document's directory", program.path(), documents.filePath(QStringLiteral("a.mbt")).toStdString(), documents.path()},
        {"no recent file: the program's directory", program.path(), "", program.path()},
        {"the recent directory is gone", program.path(), (missing + QStringLiteral("/a.mbt")).toStdString(), program.path()},
        {"the program's directory cannot be written", missing, "", home},
    };
    for (const auto& row : rows)
        QVERIFY2(ui::startDirectory(row.programDir, row.recent, home) == row.expected, row.what);

    // The window starts its document dialogs in the directory of the most recent document.
    const QByteArray cfg = "[LFiles]\nL001=" + QFile::encodeName(documents.filePath(QStringLiteral("b.mbt"))) + "\n";
    vxtest::WindowFixture fx({}, cfg);
    QCOMPARE(QString::fromStdString(fx.w().settings().prefs.recentFiles[0]), documents.filePath(QStringLiteral("b.mbt")));
    QCOMPARE(fx.w().settings().fractalDirectory, documents.path());
}

void TestNewUser::pendingEntriesAreDisabled()
{
    vxtest::WindowFixture fx;
    QVERIFY(fx.allocate(64, 48, engine::PixelFormat24));
    QVERIFY(fx.computeAndWait());
    fx.w().DrawMainMenus();
    const ui::CommandState state = fx.w().commandState();
    for (const ui::Cmd cmd : ui::pendingCommands()) {
        const char* name = ui::commandInfo(cmd).objectName;
        QVERIFY2(!fx.action(name)->isEnabled(), name);
        QVERIFY2(!ui::availableRule(cmd, state).enabled, name);
    }
    // Entries of features that are there stay as their rules say.
    for (const ui::Cmd cmd : {ui::Cmd::MenuInfos, ui::Cmd::MenuCal, ui::Cmd::PopZoom, ui::Cmd::MenuVar, ui::Cmd::MenuSavePict,
                              ui::Cmd::MenuPrint, ui::Cmd::MenuPrintPar, ui::Cmd::MenuPos, ui::Cmd::MenuCoul24,
                              ui::Cmd::MenuGoto, ui::Cmd::MenuOrb}) {
        QVERIFY(!ui::isPending(cmd));
        QVERIFY2(fx.action(ui::commandInfo(cmd).objectName)->isEnabled(), ui::commandInfo(cmd).objectName);
    }
}

void TestNewUser::aboutShowsLogoVersionAndCredits_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("licence");
    QTest::newRow("English") << 0 << QStringLiteral("Vorex uses these libraries and licences:");
    QTest::newRow("French") << 1 << QString::fromUtf8("Vorex utilise ces bibliothèques et licences :");
}

void TestNewUser::aboutShowsLogoVersionAndCredits()
{
    QFETCH(int, language);
    QFETCH(QString, licence);
    ui::TAboutForm form(language);
    auto* logo = form.findChild<QLabel*>(QStringLiteral("VorexLogo"));
    QVERIFY(logo);
    const QImage picture = logo->pixmap().toImage();
    QCOMPARE(picture.size(), QSize(96, 72));
    QVERIFY(distinctColours(picture) > 4);
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("VersionLabel"))->text(), ui::Splash::versionLine());
    const QString credits = form.findChild<QLabel*>(QStringLiteral("CreditsLabel"))->text();
    QVERIFY(credits.startsWith(licence));
    for (const char* library : {"Qt 6: LGPL-3.0-only", "libpng: libpng-2.0", "zlib: Zlib",
                                "libjpeg-turbo: IJG AND BSD-3-Clause AND Zlib", "libtiff: libtiff"})
        QVERIFY2(credits.contains(QLatin1String(library)), library);
    form.show();
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(TestNewUser)
#include "tst_newuser.moc"
