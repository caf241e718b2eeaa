// The status line: panel texts in both languages, the saved message, the scale panel with Fit and
// 100 %, and the double-click on it.
#include <QScrollArea>
#include <QtTest>

#include "ui/ImageView.h"
#include "ui/StatusLine.h"
#include "UiTestUtil.h"

using namespace vxtest;

class TestStatus : public QObject {
    Q_OBJECT
private slots:
    void typePanel_data();
    void typePanel();
    void messagesInBothLanguages_data();
    void messagesInBothLanguages();
    void restorePreviousMessage();
    void fitAndDisplayAt100();
    void doubleClickOnScalePanelToggles();
    void doubleClickOnTypeAndSizePanelsOpensVariables();
    void mousePositionsMapToImagePixels_data();
    void mousePositionsMapToImagePixels();
};

void TestStatus::typePanel_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("formula");
    QTest::addColumn<int>("function");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Mandelbrot Level names its formula") << 0 << 0 << 0 << 1 << 0 << "Mandelbrot Z^3+C / Level";
    QTest::newRow("French algorithm name") << 1 << 0 << 0 << 0 << 0 << "Mandelbrot Z^2+C / Niveau";
    QTest::newRow("formula only with Level") << 1 << 0 << 2 << 3 << 0 << "Mandelbrot / Niveau+Filaments";
    QTest::newRow("Julia") << 0 << 1 << 1 << 0 << 0 << "Julia / Distance";
    QTest::newRow("fn(Z)C appends its function") << 0 << 6 << 0 << 0 << 2 << "Mandelbrot  fn(Z)C / Level [fn=sinh]";
    QTest::newRow("Julia fn(Z)C, French") << 1 << 7 << 0 << 0 << 4 << "Julia  fn(Z)C / Niveau [fn=exp]";
}

void TestStatus::typePanel()
{
    QFETCH(int, language);
    QFETCH(int, type);
    QFETCH(int, algorithm);
    QFETCH(int, formula);
    QFETCH(int, function);
    QFETCH(QString, expected);
    WindowFixture fx({}, QByteArray("[Prefer]\nLang=") + QByteArray::number(language) + "\n");
    fx.allocate(40, 30);
    fx.f().Params.FractalType = engine::TypeId(type);
    fx.f().Params.Algorithm = uint8_t(algorithm);
    fx.f().Params.Formula = uint8_t(formula);
    fx.f().Params.FunctionIndex = uint8_t(function);
    fx.w().ShowStatus(QString());
    QCOMPARE(fx.panel(2), expected);
    QCOMPARE(fx.panel(1), QStringLiteral("40x30x8 bit"));
    QCOMPARE(fx.panel(3), QStringLiteral("100%"));
    // Each panel is as wide as its text and its margin.
    const QFontMetrics metrics(fx.w().statusLine()->font());
    QCOMPARE(fx.w().statusLine()->panel(2)->width(), metrics.horizontalAdvance(expected) + 30);
}

void TestStatus::messagesInBothLanguages_data()
{
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<QString>("stale");
    QTest::addColumn<QString>("working");
    QTest::newRow("English") << QByteArray("[Prefer]\nLang=0\n") << "Fractal must be re-calculated"
                             << "Working... Press [Esc] to stop";
    QTest::newRow("French") << QByteArray() << "Fractale doit être recalculée" << "Calcule... [Esc] pour arrêter";
}

void TestStatus::messagesInBothLanguages()
{
    QFETCH(QByteArray, cfg);
    QFETCH(QString, stale);
    QFETCH(QString, working);
    WindowFixture fx({}, cfg);
    fx.allocate(64, 48);
    fx.w().ShowStatus(QString());
    QCOMPARE(fx.panel(4), stale);
    // A message wins over the stale notice.
    fx.w().ShowStatus(QStringLiteral("hello"));
    QCOMPARE(fx.panel(4), QStringLiteral("hello"));

    fx.f().Params.MaxIter = 30000;
    fx.f().Params.CentreX = -0.2;
    fx.f().Params.Step = 0.01;
    QSignalSpy finished(&fx.w(), &ui::TMainForm::computationFinished);
    QVERIFY(fx.trigger("MenuCal"));
    fx.w().ShowStatus(QString());
    QCOMPARE(fx.panel(4), working);
    fx.w().runCommand(ui::Cmd::MenuSto);
    QVERIFY(finished.wait(60000));
    QCOMPARE(fx.panel(4), QString());
    QCOMPARE(fx.panel(0), QString());
}

void TestStatus::restorePreviousMessage()
{
    WindowFixture fx;
    fx.allocate(64, 48);
    QVERIFY(fx.computeAndWait());
    const QString longMessage = QStringLiteral("A message of more than forty characters, cut when saved");
    fx.w().ShowStatus(longMessage);
    fx.w().ShowStatus(QStringLiteral("Position: X: 1 Y: 2"));
    QCOMPARE(fx.panel(4), QStringLiteral("Position: X: 1 Y: 2"));
    fx.w().ShowStatus(QString(), true);
    QCOMPARE(fx.panel(4), longMessage.left(40));
    // Restoring again gives the same text: restoring saves nothing.
    fx.w().ShowStatus(QStringLiteral("other"), true);
    QCOMPARE(fx.panel(4), longMessage.left(40));
}

void TestStatus::fitAndDisplayAt100()
{
    WindowFixture fx({}, "[Prefer]\nWst=0\nWid=500\nHei=400\n");
    fx.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&fx.w()));
    fx.allocate(1200, 900);
    QVERIFY(fx.computeAndWait());
    QCOMPARE(fx.panel(3), QStringLiteral("100%"));
    QVERIFY(fx.action("MenuSeeAll")->isEnabled());
    QVERIFY(!fx.action("MenuSee100")->isEnabled());

    QVERIFY(fx.trigger("MenuSeeAll"));
    const double scale = fx.w().mainImage()->displayScale();
    QVERIFY(scale < 1.0);
    QCOMPARE(fx.panel(3), QStringLiteral("%1%").arg(std::lround(scale * 100)));
    // The stretched picture fits in the client area with room to spare.
    const QSize client = fx.w().scrollBox()->maximumViewportSize();
    const QSize shown = fx.w().mainImage()->displaySizeInDevicePixels();
    QVERIFY(shown.width() <= client.width() - 40 && shown.height() <= client.height() - 40);
    QVERIFY(shown.width() >= int(0.9 * (client.width() - 40)) || shown.height() >= int(0.9 * (client.height() - 40)));
    QVERIFY(std::abs(double(shown.width()) / shown.height() - 1200.0 / 900.0) < 0.01);
    emit fx.menu("MenuMes")->aboutToShow();
    QVERIFY(fx.action("MenuSee100")->isEnabled());

    QVERIFY(fx.trigger("MenuSee100"));
    QCOMPARE(fx.w().mainImage()->displayScale(), 1.0);
    QCOMPARE(fx.panel(3), QStringLiteral("100%"));
    QCOMPARE(fx.w().mainImage()->size(), QSize(1200, 900));
}

void TestStatus::doubleClickOnScalePanelToggles()
{
    WindowFixture fx({}, "[Prefer]\nWst=0\nWid=900\nHei=600\n");
    fx.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&fx.w()));
    fx.allocate(1600, 1200);
    fx.w().ShowStatus(QString());
    ui::StatusLine* status = fx.w().statusLine();
    QCoreApplication::processEvents();  // lays the panels out at their new widths
    const QPoint onScale = status->panel(3)->geometry().center();
    QTest::mouseDClick(status, Qt::LeftButton, {}, onScale);
    QVERIFY(fx.w().mainImage()->displayScale() < 1.0);
    QCOMPARE(fx.panel(3), QStringLiteral("%1%").arg(std::lround(fx.w().mainImage()->displayScale() * 100)));
    QCoreApplication::processEvents();
    const QPoint onScaleNow = status->panel(3)->geometry().center();
    QTest::mouseDClick(status, Qt::LeftButton, {}, onScaleNow);
    QCOMPARE(fx.w().mainImage()->displayScale(), 1.0);
    QCOMPARE(fx.panel(3), QStringLiteral("100%"));
}

void TestStatus::doubleClickOnTypeAndSizePanelsOpensVariables()
{
    WindowFixture fx({}, "[Prefer]\nWst=0\nWid=600\nHei=400\n");
    fx.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&fx.w()));
    fx.allocate(64, 48);
    fx.w().ShowStatus(QString());
    QList<int> pages;
    fx.w().setVariablesDialogHook([&](int page, bool) { pages << page; });
    ui::StatusLine* status = fx.w().statusLine();
    QCoreApplication::processEvents();
    QTest::mouseDClick(status, Qt::LeftButton, {}, status->panel(1)->geometry().center());
    QCoreApplication::processEvents();
    QTest::mouseDClick(status, Qt::LeftButton, {}, status->panel(2)->geometry().center());
    QCOMPARE(pages, QList<int>({2, 1}));
}

void TestStatus::mousePositionsMapToImagePixels_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("100%") << 1.0 << QPointF(10.5, 20.5) << QPoint(10, 20);
    QTest::newRow("100%, last pixel") << 1.0 << QPointF(199.9, 149.9) << QPoint(199, 149);
    QTest::newRow("50%") << 0.5 << QPointF(10.5, 20.5) << QPoint(21, 41);
    QTest::newRow("outside is clamped") << 1.0 << QPointF(500, -3) << QPoint(199, 0);
}

void TestStatus::mousePositionsMapToImagePixels()
{
    QFETCH(double, scale);
    QFETCH(QPointF, position);
    QFETCH(QPoint, pixel);
    document::TFractal f;
    storage::AllocImage(f, 200, 150, engine::PixelFormat8, true);
    ui::ImageView view;
    view.copyAll(f.Bitmap, f.Palette);
    view.setDisplayScale(scale);
    QCOMPARE(view.imagePixelAt(position), pixel);
}

QTEST_MAIN(TestStatus)
#include "tst_status.moc"
