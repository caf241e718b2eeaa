// The orbit window: its scale and menu, and the orbits it draws for the iteration probe and for a
// computation, compared with iterates computed here independently of the kernels.
#include <QAction>
#include <QMenu>
#include <QtTest>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "engine/Catalogue.h"
#include "engine/OrbitRecorder.h"
#include "UiTestUtil.h"
#include "ui/ImageView.h"
#include "ui/Texts.h"
#include "ui/tools/OrbitForm.h"

namespace {

constexpr int W = 120, H = 90;
using Pixels = std::set<std::pair<int, int>>;

// The white pixels of the orbit window's canvas.
Pixels whitePixels(const QImage& img)
{
    Pixels p;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu)
                p.insert({x, y});
    return p;
}

// Where the window puts a plane point: the origin is the middle of the canvas, `scale` pixels per unit,
// rounded to the nearest pixel (halves to even); points off the canvas are not drawn.
void addPoint(Pixels& p, const ui::TOrbitForm& form, double zr, double zi)
{
    const engine::OrbitView& v = form.view();
    const QImage img = form.canvasImage();
    const int x = v.OriginX + int(std::lrint(zr * v.Scale));
    const int y = v.OriginY - int(std::lrint(zi * v.Scale));
    if (x >= 0 && y >= 0 && x < img.width() && y < img.height())
        p.insert({x, y});
}

// The iterates 1, 2, ... of z -> z^2 + a from z0 until |z|^2 exceeds 4 or 65535 iterations are made,
// in the evaluation order of the quadratic recurrence (zi first, from the previous squares).
void addQuadraticOrbit(Pixels& p, const ui::TOrbitForm& form, double zr, double zi, double ar, double ai,
                       int limit = 65535)
{
    double zr2 = zr * zr, zi2 = zi * zi;
    for (int n = 1; n <= limit; ++n) {
        zi = 2 * zr * zi + ai;
        zr = zr2 - zi2 + ar;
        zr2 = zr * zr;
        zi2 = zi * zi;
        addPoint(p, form, zr, zi);
        if (zr2 + zi2 > 4)
            break;
    }
}

ui::TOrbitForm* openOrbits(vxtest::WindowFixture& fx)
{
    if (!fx.trigger("MenuOrb"))
        return nullptr;
    return fx.w().orbitForm();
}

}  // namespace

class TestOrbits : public QObject {
    Q_OBJECT
private slots:
    void scaleLimitsAndCaption();
    void menuEntriesFollowTheFlags();
    void probePlotsTheOrbitOfThePoint_data();
    void probePlotsTheOrbitOfThePoint();
    void distanceImagePlotsItsSavedOrbits();
    void computationPlotsEveryPixelInOrder_data();
    void computationPlotsEveryPixelInOrder();
    void closingEndsOrbitMode();
    void menusThatOpenCloseTheWindow();
    void accessibleNameInBothLanguages();
    void keyboardZoomAndDelete();
};

void TestOrbits::scaleLimitsAndCaption()
{
    vxtest::WindowFixture fx;
    fx.w().show();
    QVERIFY(fx.allocate(W, H));
    ui::TOrbitForm* form = openOrbits(fx);
    QVERIFY(form);
    const QString label = ui::tx(text::OrbitText::Scale, fx.w().settings().language());
    QCOMPARE(form->windowTitle(), label + QStringLiteral("1"));
    auto* zoomIn = form->findChild<QAction*>(QStringLiteral("PopOrbitZoom"));
    auto* zoomOut = form->findChild<QAction*>(QStringLiteral("PopOrbitUnZoom"));
    QVERIFY(zoomIn && zoomOut);
    // Down: 100, 50, 25; halving from 25 is not offered.
    const int downs[] = {50, 25};
    for (int s : downs) {
        QVERIFY(zoomOut->isEnabled());
        zoomOut->trigger();
        QCOMPARE(form->view().Scale, s);
    }
    QVERIFY(!zoomOut->isEnabled());
    zoomOut->trigger();
    QCOMPARE(form->view().Scale, 25);
    QCOMPARE(form->windowTitle(), label + QStringLiteral("0.25"));
    // Up: 50, 100, ... 12800; doubling from 12800 is not offered.
    int expected = 25;
    while (expected < 12800) {
        QVERIFY(zoomIn->isEnabled());
        zoomIn->trigger();
        expected *= 2;
        QCOMPARE(form->view().Scale, expected);
    }
    QVERIFY(!zoomIn->isEnabled());
    QVERIFY(zoomOut->isEnabled());
    zoomIn->trigger();
    QCOMPARE(form->view().Scale, 12800);
    QCOMPARE(form->windowTitle(), label + QStringLiteral("128"));
}

void TestOrbits::menuEntriesFollowTheFlags()
{
    vxtest::WindowFixture fx;
    fx.w().show();
    QVERIFY(fx.allocate(W, H));
    ui::TOrbitForm* form = openOrbits(fx);
    QVERIFY(form);
    auto* cumulative = form->findChild<QAction*>(QStringLiteral("PopOrbCulmul"));
    auto* single = form->findChild<QAction*>(QStringLiteral("PopOrbitInstan"));
    auto* colour = form->findChild<QAction*>(QStringLiteral("PopOrbCoul"));
    QVERIFY(cumulative->isChecked() && !single->isChecked() && !colour->isChecked());
    single->trigger();
    QVERIFY(form->view().SingleOrbit && single->isChecked() && !cumulative->isChecked());
    cumulative->trigger();
    QVERIFY(!form->view().SingleOrbit && cumulative->isChecked() && !single->isChecked());
    colour->trigger();
    QVERIFY(form->view().ColourOrbits && colour->isChecked());
    colour->trigger();
    QVERIFY(!form->view().ColourOrbits);
    // Opened again: back to cumulative white orbits at scale 1.
    form->findChild<QAction*>(QStringLiteral("PopOrbitZoom"))->trigger();
    single->trigger();
    QCOMPARE(openOrbits(fx), form);
    QCOMPARE(form->view().Scale, 100);
    QVERIFY(!form->view().SingleOrbit);
    QCOMPARE(form->view().ColourFactor, 256.0 / fx.f().Params.MaxIter);
}

void TestOrbits::probePlotsTheOrbitOfThePoint_data()
{
    QTest::addColumn<bool>("julia");
    QTest::addColumn<QPoint>("pixel");
    // The default 120 x 90 view: step 0.01 around (-0.5, 0), so column c is -1.1 + 0.01 c and row r is
    // 0.45 - 0.01 r.
    QTest::newRow("Mandelbrot, inside the main cardioid") << false << QPoint(90, 35);
    QTest::newRow("Mandelbrot, outside, escaping slowly") << false << QPoint(114, 45);
    QTest::newRow("Mandelbrot, outside, far") << false << QPoint(1, 1);  // (0, 0) would be the middle to QTest
    QTest::newRow("Julia, escaping") << true << QPoint(10, 80);
    QTest::newRow("Julia, near the origin") << true << QPoint(60, 45);
}

void TestOrbits::probePlotsTheOrbitOfThePoint()
{
    QFETCH(bool, julia);
    QFETCH(QPoint, pixel);
    vxtest::WindowFixture fx;
    fx.w().show();
    if (julia) {
        fx.f().Params.FractalType = engine::TypeId::Julia;
        fx.f().Params.ParamCr = -0.745;
        fx.f().Params.ParamCi = 0.113;
        fx.f().Params.CentreX = -0.5;
        fx.f().Params.CentreY = 0;
        fx.f().Params.Step = 0.01;
    }
    QVERIFY(fx.allocate(W, H));
    QVERIFY(fx.computeAndWait());
    ui::TOrbitForm* form = openOrbits(fx);
    QVERIFY(form);
    QVERIFY(whitePixels(form->canvasImage()).empty());
    QVERIFY(fx.trigger("MenuIter"));
    QTest::mouseClick(fx.w().mainImage(), Qt::LeftButton, {}, pixel);
    QVERIFY(fx.panel(4).startsWith(ui::tx(text::StatusText::Iterations, fx.w().settings().language())));

    const document::TFractal& f = fx.f();
    const double cr = f.LeftX + pixel.x() * f.Params.Step, ci = f.TopY - pixel.y() * f.Params.Step;
    Pixels expected;
    if (julia)
        addQuadraticOrbit(expected, *form, cr, ci, -0.745, 0.113);
    else
        addQuadraticOrbit(expected, *form, 0, 0, cr, ci);
    QVERIFY(!expected.empty());
    QCOMPARE(whitePixels(form->canvasImage()), expected);
    QCOMPARE(form->view().OriginX, form->canvasImage().width() / 2);
    QCOMPARE(form->view().OriginY, form->canvasImage().height() / 2);
}

void TestOrbits::distanceImagePlotsItsSavedOrbits()
{
    constexpr int DW = 6, DH = 4;
    constexpr uint16_t MaxIter = 40;
    vxtest::WindowFixture fx;
    fx.w().show();
    fx.f().Params.Algorithm = engine::AlgDistance;
    fx.f().Params.MaxIter = MaxIter;
    fx.f().Params.Step = 0.3;
    QVERIFY(fx.allocate(DW, DH));
    ui::TOrbitForm* form = openOrbits(fx);
    QVERIFY(form);
    // The saved orbit as the arrays hold it before the computation; each pixel overwrites its own
    // entries and the whole array is drawn, the tail from earlier pixels included.
    std::vector<double> xs = fx.f().XOrbit, ys = fx.f().YOrbit;
    xs.resize(MaxIter + 1, 0.0);
    ys.resize(MaxIter + 1, 0.0);
    QVERIFY(fx.computeAndWait());
    const document::TFractal& f = fx.f();
    Pixels expected;
    for (int row = 0; row < DH; ++row)
        for (int col = 0; col < DW; ++col) {
            const double cr = f.LeftX + col * f.Params.Step, ci = f.TopY - row * f.Params.Step;
            double zr = 0, zi = 0, zr2 = 0, zi2 = 0;
            xs[0] = 0;
            ys[0] = 0;
            for (int n = 1;; ++n) {
                zi = 2 * zr * zi + ci;
                zr = zr2 - zi2 + cr;
                xs[size_t(n)] = zr;
                ys[size_t(n)] = zi;
                zr2 = zr * zr;
                zi2 = zi * zi;
                if (n >= MaxIter || zr2 + zi2 > 100000.0)
                    break;
            }
            for (size_t j = 0; j <= MaxIter; ++j)
                addPoint(expected, *form, xs[j], ys[j]);
        }
    QCOMPARE(whitePixels(form->canvasImage()), expected);
}

void TestOrbits::computationPlotsEveryPixelInOrder_data()
{
    QTest::addColumn<bool>("single");
    QTest::newRow("cumulative: every pixel's orbit") << false;
    QTest::newRow("single: the last pixel's orbit only") << true;
}

void TestOrbits::computationPlotsEveryPixelInOrder()
{
    QFETCH(bool, single);
    constexpr int CW = 5, CH = 4;
    constexpr uint16_t MaxIter = 30;
    vxtest::WindowFixture fx;
    fx.w().show();
    fx.f().Params.MaxIter = MaxIter;
    fx.f().Params.Step = 0.35;
    fx.f().Periodicity = false;  // every pixel takes all its iterations
    QVERIFY(fx.allocate(CW, CH));
    ui::TOrbitForm* form = openOrbits(fx);
    QVERIFY(form);
    if (single)
        form->findChild<QAction*>(QStringLiteral("PopOrbitInstan"))->trigger();
    QVERIFY(fx.computeAndWait());
    const document::TFractal& f = fx.f();
    Pixels expected;
    for (int row = 0; row < CH; ++row)
        for (int col = 0; col < CW; ++col) {
            if (single && (row != CH - 1 || col != CW - 1))
                continue;
            addQuadraticOrbit(expected, *form, 0, 0, f.LeftX + col * f.Params.Step, f.TopY - row * f.Params.Step, MaxIter);
        }
    QVERIFY(!expected.empty());
    QCOMPARE(whitePixels(form->canvasImage()), expected);
}

void TestOrbits::closingEndsOrbitMode()
{
    vxtest::WindowFixture fx;
    fx.w().show();
    QVERIFY(fx.allocate(W, H));
    ui::TOrbitForm* form = openOrbits(fx);
    QVERIFY(form);
    QVERIFY(fx.f().State.Orbit != nullptr);
    const std::shared_ptr<engine::OrbitRecorder> recorder = form->recorder();
    // Closed while a computation runs: the recorder stops and is handed back at the end.
    QSignalSpy finished(&fx.w(), &ui::TMainForm::computationFinished);
    QVERIFY(fx.trigger("MenuCal"));
    form->close();
    QVERIFY(recorder->closed());
    if (finished.isEmpty())
        QVERIFY(finished.wait(60000));
    QCOMPARE(fx.f().State.Orbit, nullptr);
    QVERIFY(!fx.w().orbitForm() || !fx.w().orbitForm()->isVisible());
    // The probe records nothing now.
    recorder->takeBatches();
    QVERIFY(fx.trigger("MenuIter"));
    QTest::mouseClick(fx.w().mainImage(), Qt::LeftButton, {}, QPoint(90, 35));
    recorder->flush();
    QVERIFY(recorder->takeBatches().empty());
    QCOMPARE(fx.f().State.Orbit, nullptr);
}

void TestOrbits::menusThatOpenCloseTheWindow()
{
    for (const char* menu : {"MenuFil", "MenuFra", "MenuCol", "Menu3D"}) {
        QTest::qWait(0);
        vxtest::WindowFixture fx;
        fx.w().show();
        QVERIFY(fx.allocate(W, H));
        ui::TOrbitForm* form = openOrbits(fx);
        QVERIFY(form);
        QPointer<ui::TOrbitForm> watch(form);
        QMenu* m = fx.menu(menu);
        QVERIFY2(m, menu);
        emit m->aboutToShow();
        QVERIFY2(!watch || !watch->isVisible(), menu);
        QCOMPARE(fx.f().State.Orbit, nullptr);
    }
    // The measuring menu leaves it open.
    vxtest::WindowFixture fx;
    fx.w().show();
    QVERIFY(fx.allocate(W, H));
    ui::TOrbitForm* form = openOrbits(fx);
    QVERIFY(form);
    emit fx.menu("MenuMes")->aboutToShow();
    QVERIFY(form->isVisible());
}

void TestOrbits::accessibleNameInBothLanguages()
{
    const QString expected[] = {QStringLiteral("Orbits, Scale: 1"), QStringLiteral("Orbites, Echelle: 1")};
    for (int language : {0, 1}) {
        vxtest::WindowFixture fx;
        fx.w().settings().prefs.language = language;
        fx.w().show();
        QVERIFY(fx.allocate(W, H));
        ui::TOrbitForm* form = openOrbits(fx);
        QVERIFY(form);
        QCOMPARE(form->accessibleName(), expected[language]);
        form->zoomIn();
        QVERIFY(form->accessibleName().endsWith(QStringLiteral(": 2")));
    }
}

void TestOrbits::keyboardZoomAndDelete()
{
    vxtest::WindowFixture fx;
    fx.w().show();
    QVERIFY(fx.allocate(W, H));
    QVERIFY(fx.computeAndWait());
    ui::TOrbitForm* form = openOrbits(fx);
    QVERIFY(form);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form, Qt::Key_Plus);
    QCOMPARE(form->view().Scale, 200);
    QTest::keyClick(form, Qt::Key_Minus);
    QTest::keyClick(form, Qt::Key_Minus);
    QCOMPARE(form->view().Scale, 50);
    // An orbit drawn, then deleted from the keyboard.
    QVERIFY(fx.trigger("MenuIter"));
    QTest::mouseClick(fx.w().mainImage(), Qt::LeftButton, {}, QPoint(114, 45));
    QVERIFY(!whitePixels(form->canvasImage()).empty());
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form, Qt::Key_Delete);
    QVERIFY(whitePixels(form->canvasImage()).empty());
}

QTEST_MAIN(TestOrbits)
#include "tst_orbits.moc"
