// The menus: captions in the current language when a menu opens, the enable rules for an empty,
// a stale, a computed and a 24-bit document, and the language switch of the preferences dialog.
#include <QApplication>
#include <QComboBox>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <cstdint>
#include <sys/resource.h>

#include "ui/CommandTable.h"
#include "ui/dialogs/PrefForm.h"
#include "UiTestUtil.h"

using namespace vxtest;

namespace {

enum class Doc { Empty, Stale, Computed, Computed24 };

void prepare(WindowFixture& fx, Doc doc)
{
    if (doc == Doc::Empty)
        return;
    fx.allocate(64, 48, doc == Doc::Computed24 ? engine::PixelFormat24 : engine::PixelFormat8);
    if (doc != Doc::Stale)
        QVERIFY(fx.computeAndWait());
}

// Runs `edit` on the modal dialog the next command opens.
template <typename Dialog, typename Edit>
void onNextDialog(Edit edit)
{
    QTimer::singleShot(0, [edit] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        edit(dialog);
    });
}

ui::Cmd commandNamed(const QString& name)
{
    for (const ui::CommandInfo& info : ui::commandTable())
        if (name == QLatin1String(info.objectName))
            return info.cmd;
    return ui::Cmd::Count;
}

}  // namespace

Q_DECLARE_METATYPE(Doc)

class TestMenus : public QObject {
    Q_OBJECT
private slots:
    void enableRules_data();
    void enableRules();
    void topLevelMenusFollowTheirRules();
    void captionsInTheCurrentLanguage_data();
    void captionsInTheCurrentLanguage();
    void languageSwitchChangesCaptionsAtOnce();
    void preferencesOkWithoutChangesKeepsTheLanguage();
    void ruleTable_data();
    void ruleTable();
    void shortcutsOfTheStandardCommands();
    void computeCaptionNamesOnlyARowOfTheImage_data();
    void computeCaptionNamesOnlyARowOfTheImage();
};

void TestMenus::enableRules_data()
{
    QTest::addColumn<Doc>("doc");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");
    QTest::newRow("empty document")
        << Doc::Empty
        << QStringList{"MenuNew", "MenuOpenFrac", "MenuPrintCfg", "MenuPre", "MenuExi", "MenuVar", "MenuPal8",
                       "MenuPalSys", "PopCalcul", "PopVar", "PopErase"}
        << QStringList{"MenuSaveFrac", "MenuSaveAsFrac", "MenuSavePict", "MenuPrint", "MenuPrintPar", "MenuInfos",
                       "MenuCal", "MenuSto", "MenuEff", "MenuPos", "MenuRet", "MenuRotateOut", "MenuRotateIn",
                       "MenuCoul24", "PopStop", "PopCalculZ", "MenuSeeAll", "MenuSee100", "MenuDraw2D"};
    QTest::newRow("stale document")
        << Doc::Stale
        << QStringList{"MenuCal", "MenuEff", "MenuSavePict", "MenuPrint", "MenuInfos", "MenuRotateOut",
                       "MenuProfilH", "MenuOrb", "PopCalcul", "PopMarker"}
        << QStringList{"MenuSaveFrac", "MenuSaveAsFrac", "MenuPos", "MenuRet", "MenuIter", "MenuGoto", "MenuMarker",
                       "Menu3DParam", "PopZoom", "PopCenter", "PopJulia", "PopPert", "PopAzimut", "PopDraw3D",
                       "MenuSto"};
    QTest::newRow("computed document")
        << Doc::Computed
        << QStringList{"MenuSaveFrac", "MenuSaveAsFrac", "MenuPos", "MenuRet", "MenuIter", "MenuGoto", "MenuMarker",
                       "Menu3DParam", "PopZoom", "PopCenter", "PopJulia", "PopPert", "PopAzimut", "PopDraw3D",
                       "MenuRotateOut", "MenuRotateIn", "MenuPalSys", "MenuPal8"}
        << QStringList{"MenuSto", "PopStop", "MenuCoul24", "MenuDeleteMkr", "MenuDraw2D", "PopCalculZ"};
    QTest::newRow("24-bit document")
        << Doc::Computed24 << QStringList{"MenuCoul24", "PopColor", "MenuNone", "MenuEdg", "MenuRelief"}
        << QStringList{"MenuPal8", "MenuPalSys", "MenuRotateOut", "MenuRotateIn"};
}

void TestMenus::enableRules()
{
    QFETCH(Doc, doc);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    WindowFixture fx;
    prepare(fx, doc);
    const ui::CommandState state = fx.w().commandState();
    for (const QString& name : enabled) {
        // An entry whose feature is still to come keeps its rule but is shown disabled.
        const ui::Cmd cmd = commandNamed(name);
        if (ui::isPending(cmd)) {
            QVERIFY2(ui::effectiveRule(cmd, state).enabled, qPrintable(name));
            QVERIFY2(!fx.action(name.toLatin1().constData())->isEnabled(), qPrintable(name + QStringLiteral(" (pending)")));
            continue;
        }
        QVERIFY2(fx.action(name.toLatin1().constData())->isEnabled(), qPrintable(name));
    }
    for (const QString& name : disabled)
        QVERIFY2(!fx.action(name.toLatin1().constData())->isEnabled(), qPrintable(name));
}

void TestMenus::topLevelMenusFollowTheirRules()
{
    WindowFixture fx;
    auto topEnabled = [&](const char* name) { return fx.menu(name)->menuAction()->isEnabled(); };
    // An empty document: no measuring, no 3D, no filters.
    QVERIFY(topEnabled("MenuFil"));
    QVERIFY(topEnabled("MenuFra"));
    QVERIFY(topEnabled("MenuCol"));
    QVERIFY(!topEnabled("Menu3D"));
    QVERIFY(!topEnabled("MenuMes"));
    QVERIFY(!topEnabled("MenuFit"));
    prepare(fx, Doc::Computed24);
    QVERIFY(topEnabled("Menu3D"));
    QVERIFY(topEnabled("MenuMes"));
    QVERIFY(topEnabled("MenuFit"));
    QVERIFY(fx.action("MenuNone")->isChecked());
    QVERIFY(!fx.action("MenuEdg")->isChecked());
    // The orbit and cross-section entries depend on the type and the algorithm.
    fx.f().Params.FractalType = engine::TypeId(3);
    fx.f().Params.Algorithm = 1;
    emit fx.menu("MenuMes")->aboutToShow();
    QVERIFY(!fx.action("MenuOrb")->isEnabled());
    QVERIFY(!fx.action("MenuProfilH")->isEnabled());
}

void TestMenus::captionsInTheCurrentLanguage_data()
{
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<QStringList>("topLevel");
    QTest::addColumn<QString>("compute");
    QTest::addColumn<QString>("fromStart");
    QTest::newRow("English") << QByteArray("[Prefer]\nLang=0\n")
                             << QStringList{"&File", "F&ractal", "&Colors", "&3D", "&Mesuring", "Fil&ters", "&About"}
                             << "&Compute" << "Compute from start";
    QTest::newRow("French") << QByteArray()
                            << QStringList{"&Fichier", "F&ractale", "&Couleurs", "&3D", "&Mesurer", "Fil&tres",
                                           "&A propos"}
                            << "&Calculer" << "Calculer depuis le début";
}

void TestMenus::captionsInTheCurrentLanguage()
{
    QFETCH(QByteArray, cfg);
    QFETCH(QStringList, topLevel);
    QFETCH(QString, compute);
    QFETCH(QString, fromStart);
    WindowFixture fx({}, cfg);
    QStringList shown;
    for (QAction* a : fx.w().menuBar()->actions())
        shown << a->text();
    QCOMPARE(shown, topLevel);
    emit fx.menu("MenuFra")->aboutToShow();
    QCOMPARE(fx.action("MenuCal")->text(), compute);
    emit fx.w().findChild<QMenu*>(QStringLiteral("MainPopupMenu2D"))->aboutToShow();
    QCOMPARE(fx.action("PopCalculZ")->text(), fromStart);
}

void TestMenus::languageSwitchChangesCaptionsAtOnce()
{
    WindowFixture fx;
    fx.allocate(64, 48);
    fx.w().ShowStatus(QString());
    QCOMPARE(fx.menu("MenuFil")->title(), QStringLiteral("&Fichier"));
    QCOMPARE(fx.panel(4), QStringLiteral("Fractale doit être recalculée"));
    onNextDialog<ui::TPrefForm>([](ui::TPrefForm* dialog) {
        QVERIFY(dialog->findChild<QRadioButton*>(QStringLiteral("FrRadioB"))->isChecked());
        dialog->findChild<QRadioButton*>(QStringLiteral("EnRadioB"))->click();
        dialog->accept();
    });
    QVERIFY(fx.trigger("MenuPre"));
    QCOMPARE(int(fx.w().settings().language()), 0);
    QCOMPARE(fx.menu("MenuFil")->title(), QStringLiteral("&File"));
    QCOMPARE(fx.menu("MenuFra")->title(), QStringLiteral("F&ractal"));
    QCOMPARE(fx.action("MenuAbo")->text(), QStringLiteral("&About"));
    QCOMPARE(fx.panel(4), QStringLiteral("Fractal must be re-calculated"));
    QCOMPARE(fx.panel(2), QStringLiteral("Mandelbrot Z^2+C / Level"));
}

void TestMenus::preferencesOkWithoutChangesKeepsTheLanguage()
{
    WindowFixture fx({}, "[Prefer]\nLang=0\nMarS=29\n");
    onNextDialog<ui::TPrefForm>([](ui::TPrefForm* dialog) {
        QVERIFY(dialog->findChild<QRadioButton*>(QStringLiteral("EnRadioB"))->isChecked());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Vorex Preferences"));
        dialog->findChild<QSpinBox*>(QStringLiteral("MarkerSpinEdit"))->setValue(24);
        dialog->findChild<QComboBox*>(QStringLiteral("LoadCombo"))->setCurrentIndex(0);
        dialog->accept();
    });
    QVERIFY(fx.trigger("MenuPre"));
    QCOMPARE(int(fx.w().settings().language()), 0);
    QCOMPARE(fx.w().settings().prefs.markerSize, 23);  // made odd
    QCOMPARE(int(fx.w().settings().osLoad), int(ui::OsLoad::Low));
    QCOMPARE(getpriority(PRIO_PROCESS, 0), 19);  // "Low" is the lowest priority

    // Cancel stores nothing.
    onNextDialog<ui::TPrefForm>([](ui::TPrefForm* dialog) {
        dialog->findChild<QRadioButton*>(QStringLiteral("FrRadioB"))->click();
        dialog->findChild<QSpinBox*>(QStringLiteral("FontSpinEdit"))->setValue(10);
        QCOMPARE(dialog->font().pointSize(), 10);  // applied to the dialog at once
        dialog->reject();
    });
    QVERIFY(fx.trigger("MenuPre"));
    QCOMPARE(int(fx.w().settings().language()), 0);
    QCOMPARE(fx.w().settings().prefs.fontSize, 8);
}

void TestMenus::ruleTable_data()
{
    QTest::addColumn<int>("cmd");
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("enabled");
    // Each row changes one thing of a computed, idle 8-bit Mandelbrot document.
    QTest::newRow("Julia centre needs PertZ 0") << int(ui::Cmd::PopJulia) << "pert" << false;
    QTest::newRow("Julia centre on Mandelbrot fn(Z)C") << int(ui::Cmd::PopJulia) << "type6" << true;
    QTest::newRow("no Julia centre on Julia") << int(ui::Cmd::PopJulia) << "type1" << false;
    QTest::newRow("PertZ needs Level") << int(ui::Cmd::PopPert) << "alg2" << false;
    QTest::newRow("orbits of Magnetism") << int(ui::Cmd::MenuOrb) << "type11" << true;
    QTest::newRow("no orbits for Newton") << int(ui::Cmd::MenuOrb) << "type13" << false;
    QTest::newRow("cross section with Level+Distance") << int(ui::Cmd::MenuProfilH) << "alg2" << true;
    QTest::newRow("no cross section with Distance") << int(ui::Cmd::MenuProfilH) << "alg1" << false;
    QTest::newRow("3D azimuth needs elevation above 14") << int(ui::Cmd::Pop3DAzimuth) << "elev14" << false;
    QTest::newRow("a filter closes the Fractal menu") << int(ui::Cmd::MenuCal) << "filter" << false;
    QTest::newRow("the 3D view closes the Fractal menu") << int(ui::Cmd::MenuVar) << "3d" << false;
    QTest::newRow("Draw 2D in the 3D view") << int(ui::Cmd::MenuDraw2D) << "3d" << true;
    QTest::newRow("24-bit colours need 16 bits on screen") << int(ui::Cmd::MenuCoul24) << "24bit8screen" << false;
    QTest::newRow("delete markers needs a marker") << int(ui::Cmd::MenuDeleteMkr) << "marker" << true;
    QTest::newRow("compute from start after a stop") << int(ui::Cmd::PopCalculZ) << "resume" << true;
    QTest::newRow("stop while busy") << int(ui::Cmd::MenuSto) << "busy" << true;
    QTest::newRow("open while busy") << int(ui::Cmd::MenuOpenFrac) << "busy" << false;
}

void TestMenus::ruleTable()
{
    QFETCH(int, cmd);
    QFETCH(QString, change);
    QFETCH(bool, enabled);
    ui::CommandState s;
    s.image = true;
    if (change == "pert") s.pertZero = false;
    if (change.startsWith("type")) s.fractalType = engine::TypeId(change.mid(4).toInt());
    if (change.startsWith("alg")) s.algorithm = change.mid(3).toInt();
    if (change == "elev14") s.elevation = 14;
    if (change == "filter") s.filter = 1;
    if (change == "3d") s.view3D = true;
    if (change == "24bit8screen") { s.pixelFormat24 = true; s.screenDepth = 8; }
    if (change == "marker") s.anyMarkerPlaced = true;
    if (change == "resume") s.resumeLine = 57;
    if (change == "busy") s.idle = false;
    QCOMPARE(ui::effectiveRule(ui::Cmd(cmd), s).enabled, enabled);
}

void TestMenus::shortcutsOfTheStandardCommands()
{
    WindowFixture fx;
    QCOMPARE(fx.action("MenuNew")->shortcut(), QKeySequence(QKeySequence::New));
    QCOMPARE(fx.action("MenuOpenFrac")->shortcut(), QKeySequence(QKeySequence::Open));
    QCOMPARE(fx.action("MenuSaveFrac")->shortcut(), QKeySequence(QKeySequence::Save));
    QCOMPARE(fx.action("MenuSaveAsFrac")->shortcut(), QKeySequence(QKeySequence::SaveAs));
    QCOMPARE(fx.action("MenuExi")->shortcut(), QKeySequence(QKeySequence::Quit));
    QCOMPARE(fx.action("MenuCal")->shortcut(), QKeySequence(Qt::Key_F5));
    // F5 computes.
    fx.w().show();
    QVERIFY(QTest::qWaitForWindowActive(&fx.w()));
    fx.allocate(64, 48);
    QSignalSpy finished(&fx.w(), &ui::TMainForm::computationFinished);
    QTest::keyClick(&fx.w(), Qt::Key_F5);
    QVERIFY(finished.wait(60000));
    QVERIFY(!fx.f().ImageParamsChanged());
}

// The Compute entry of the picture's menu says "from line N" only when the computation would start
// at row N: above 0 and below the image's height. A document may hold any ResumeLine (a file written
// elsewhere, a height changed since); from any other value the computation starts at the top.
void TestMenus::computeCaptionNamesOnlyARowOfTheImage_data()
{
    QTest::addColumn<int>("resumeLine");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("firstRow");
    QTest::newRow("0: from the top") << 0 << QStringLiteral("Compute ") << 0;
    QTest::newRow("1: the second row") << 1 << QStringLiteral("Compute from line 1") << 1;
    QTest::newRow("47: the last row") << 47 << QStringLiteral("Compute from line 47") << 47;
    QTest::newRow("48: the height, past the last row") << 48 << QStringLiteral("Compute ") << 0;
    QTest::newRow("500: far below the image") << 500 << QStringLiteral("Compute ") << 0;
    QTest::newRow("-1: negative") << -1 << QStringLiteral("Compute ") << 0;
    QTest::newRow("INT32_MIN") << int(INT32_MIN) << QStringLiteral("Compute ") << 0;
    QTest::newRow("INT32_MAX") << int(INT32_MAX) << QStringLiteral("Compute ") << 0;
}

void TestMenus::computeCaptionNamesOnlyARowOfTheImage()
{
    QFETCH(int, resumeLine);
    QFETCH(QString, caption);
    QFETCH(int, firstRow);
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    QVERIFY(fx.allocate(64, 48));
    fx.f().ResumeLine = resumeLine;
    fx.w().DrawMainMenus();
    QCOMPARE(fx.action("PopCalcul")->text(), caption);

    // The caption tells where the computation it starts begins.
    QSignalSpy rows(&fx.w().runner(), &ui::ComputeRunner::rowsReady);
    QVERIFY(fx.computeAndWait("PopCalcul"));
    QVERIFY(!rows.isEmpty());
    QCOMPARE(rows.first().at(0).toInt(), firstRow);
    QCOMPARE(fx.action("PopCalcul")->text(), QStringLiteral("Compute "));
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
