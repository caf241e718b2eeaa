// Computing from the main window: the worker thread, stop and resume, Esc, the rules while a
// computation runs, and a window that keeps handling events.
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <sys/resource.h>

#include "storage/Workspace.h"
#include "ui/ImageView.h"
#include "UiTestUtil.h"

using namespace vxtest;

namespace {

// Every pixel of the shown picture equals the fractal's bitmap.
bool pictureShowsBitmap(ui::TMainForm& w)
{
    const QImage& image = w.mainImage()->image();
    const colour::ImageBitmap& b = w.fractal().Bitmap;
    if (image.width() != b.Width || image.height() != b.Height)
        return false;
    for (int r = 0; r < b.Height; ++r)
        if (std::memcmp(image.constScanLine(r), b.row(r), b.stride()) != 0)
            return false;
    return true;
}

// A slow image: most of the plane inside the set, with a high iteration limit.
void makeSlow(WindowFixture& fx, int width, int height, uint16_t maxIter)
{
    fx.allocate(width, height);
    fx.f().Params.MaxIter = maxIter;
    fx.f().Params.CentreX = -0.2;
    fx.f().Params.Step = 0.6 / height;
    // Without periodicity checking every inside pixel costs the full limit, even on the vector engine;
    // orbits started from 1e-300 (its square vanishes: the orbits of 0) keep the engine from taking the
    // cardioid's pixels for inside without iterating them.
    fx.f().Periodicity = false;
    fx.f().Params.PertZr = 1e-300;
    fx.w().DrawMainMenus();
}

}  // namespace

class TestCompute : public QObject {
    Q_OBJECT
private slots:
    void computesTheDefaultFractal_data();
    void computesTheDefaultFractal();
    void stopInTheMiddleAndResume();
    void computeFromStartAfterAStop();
    void rulesAndStatusWhileComputing();
    void escapeStopsTheComputation();
    void eventLoopKeepsRunningWhileComputing();
    void closingWhileComputingStopsIt();
    void destroyingWhileComputingWaitsForTheWorker();
    void workerRunsAtTheChosenNiceValue();
};

void TestCompute::computesTheDefaultFractal_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("sizeText");
    QTest::newRow("8-bit") << int(engine::PixelFormat8) << QStringLiteral("200x150x8 bit");
    QTest::newRow("24-bit") << int(engine::PixelFormat24) << QStringLiteral("200x150x24 bit");
}

void TestCompute::computesTheDefaultFractal()
{
    QFETCH(int, format);
    QFETCH(QString, sizeText);
    WindowFixture fx;
    QVERIFY(fx.allocate(200, 150, uint8_t(format)));
    fx.w().ShowStatus(QString());
    QCOMPARE(fx.panel(1), sizeText);
    QCOMPARE(fx.panel(4), QStringLiteral("Fractale doit être recalculée"));
    QVERIFY(!fx.action("MenuSaveAsFrac")->isEnabled());

    QVERIFY(fx.computeAndWait());
    auto reference = referenceImage(fx.f().Params, uint8_t(format));
    QVERIFY(sameData(fx.f().Data, reference->Data));
    QVERIFY(fx.f().Bitmap.Pixels == reference->Bitmap.Pixels);
    QVERIFY(pictureShowsBitmap(fx.w()));
    QCOMPARE(fx.f().ResumeLine, 0);
    QVERIFY(fx.f().Modified);
    QCOMPARE(fx.panel(4), QString());
    QCOMPARE(fx.services.beeps, 1);
    QVERIFY(fx.action("MenuSaveFrac")->isEnabled());
    QVERIFY(fx.action("MenuSaveAsFrac")->isEnabled());
    QCOMPARE(fx.action("PopCalcul")->text(), QStringLiteral("Calculer "));
}

void TestCompute::stopInTheMiddleAndResume()
{
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    makeSlow(fx, 320, 240, 20000);
    // Stop as soon as the first rows are in.
    bool stopped = false;
    connect(&fx.w().runner(), &ui::ComputeRunner::rowsReady, this, [&](int, int last) {
        if (!stopped && last >= 3) {
            stopped = true;
            QVERIFY(fx.trigger("MenuSto"));
        }
    });
    QVERIFY(fx.computeAndWait());
    QVERIFY(stopped);
    const int resume = fx.f().ResumeLine;
    QVERIFY2(resume > 3 && resume < 240, qPrintable(QString::number(resume)));
    QCOMPARE(fx.services.beeps, 1);  // the beep sounds after a stop too
    QCOMPARE(fx.action("PopCalcul")->text(), QStringLiteral("Compute from line %1").arg(resume));
    QVERIFY(fx.action("PopCalculZ")->isEnabled());
    QVERIFY(fx.action("MenuCal")->isEnabled());
    QVERIFY(pictureShowsBitmap(fx.w()));

    // Resuming computes from the reported line on and completes the same image.
    QSignalSpy rows(&fx.w().runner(), &ui::ComputeRunner::rowsReady);
    stopped = true;
    QVERIFY(fx.computeAndWait("PopCalcul"));
    QVERIFY(!rows.isEmpty());
    QCOMPARE(rows.first().at(0).toInt(), resume);
    QCOMPARE(fx.f().ResumeLine, 0);
    auto reference = referenceImage(fx.f().Params, engine::PixelFormat8);
    QVERIFY(sameData(fx.f().Data, reference->Data));
    QVERIFY(pictureShowsBitmap(fx.w()));
    QCOMPARE(fx.action("PopCalcul")->text(), QStringLiteral("Compute "));
    QVERIFY(!fx.action("PopCalculZ")->isEnabled());
}

void TestCompute::computeFromStartAfterAStop()
{
    WindowFixture fx;
    makeSlow(fx, 320, 240, 20000);
    bool stopped = false;
    connect(&fx.w().runner(), &ui::ComputeRunner::rowsReady, this, [&](int, int last) {
        if (!stopped && last >= 3) {
            stopped = true;
            fx.w().runCommand(ui::Cmd::PopStop);
        }
    });
    QVERIFY(fx.computeAndWait());
    QVERIFY(fx.f().ResumeLine > 0);
    QVERIFY(fx.action("PopCalcul")->text().startsWith(QStringLiteral("Calculer depuis la ligne ")));

    QSignalSpy rows(&fx.w().runner(), &ui::ComputeRunner::rowsReady);
    QVERIFY(fx.computeAndWait("PopCalculZ"));
    QCOMPARE(rows.first().at(0).toInt(), 0);
    QCOMPARE(fx.f().ResumeLine, 0);
}

void TestCompute::rulesAndStatusWhileComputing()
{
    WindowFixture fx;
    makeSlow(fx, 600, 400, 60000);
    QSignalSpy finished(&fx.w(), &ui::TMainForm::computationFinished);
    QVERIFY(fx.trigger("MenuCal"));
    QVERIFY(fx.w().runner().busy());
    QCOMPARE(fx.panel(4), QStringLiteral("Calcule... [Esc] pour arrêter"));
    // A menu opening refreshes the status line: it still says that the computation runs.
    emit fx.menu("MenuFra")->aboutToShow();
    QCOMPARE(fx.panel(4), QStringLiteral("Calcule... [Esc] pour arrêter"));

    struct Rule {
        const char* name;
        bool enabled;
    };
    const Rule whileComputing[] = {
        {"MenuCal", false}, {"PopCalcul", false}, {"PopCalculZ", false}, {"MenuSto", true}, {"PopStop", true},
        {"MenuNew", false}, {"MenuOpenFrac", false}, {"MenuSaveFrac", false}, {"MenuSaveAsFrac", false},
        {"MenuEff", false}, {"PopErase", false}, {"MenuVar", false}, {"MenuPrint", false},
        {"MenuRotateOut", false}, {"MenuPalSys", false}, {"MenuExi", true}, {"MenuPre", true},
        {"MenuInfos", true}, {"MenuPrintCfg", true},
    };
    for (const Rule& r : whileComputing)
        QVERIFY2(fx.action(r.name)->isEnabled() == r.enabled, r.name);
    // A shortcut cannot start a second computation either.
    fx.w().runCommand(ui::Cmd::MenuCal);
    QVERIFY(fx.w().runner().busy());

    QVERIFY(fx.trigger("PopStop"));
    QVERIFY(finished.wait(60000));
    QVERIFY(fx.action("MenuCal")->isEnabled());
    QVERIFY(!fx.action("MenuSto")->isEnabled());
}

void TestCompute::escapeStopsTheComputation()
{
    WindowFixture fx;
    makeSlow(fx, 600, 400, 60000);
    QSignalSpy finished(&fx.w(), &ui::TMainForm::computationFinished);
    QSignalSpy rows(&fx.w().runner(), &ui::ComputeRunner::rowsReady);
    QVERIFY(fx.trigger("MenuCal"));
    QVERIFY(rows.wait(60000));
    QTest::keyClick(fx.w().mainImage(), Qt::Key_Escape);
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.first().at(0).value<engine::ComputeEnd>(), engine::ComputeEnd::Stopped);
    QVERIFY(fx.f().ResumeLine > 0);
    QCOMPARE(fx.panel(4), QString());
}

void TestCompute::eventLoopKeepsRunningWhileComputing()
{
    WindowFixture fx;
    makeSlow(fx, 1000, 800, 60000);
    int ticksWhileBusy = 0;
    QTimer timer;
    timer.setInterval(1);
    connect(&timer, &QTimer::timeout, this, [&] {
        if (fx.w().runner().busy())
            ++ticksWhileBusy;
    });
    timer.start();
    QSignalSpy finished(&fx.w(), &ui::TMainForm::computationFinished);
    QVERIFY(fx.trigger("MenuCal"));
    // The timer keeps firing and rows keep arriving while the image is computed.
    QTRY_VERIFY_WITH_TIMEOUT(ticksWhileBusy >= 20 || !finished.isEmpty(), 60000);
    QVERIFY2(finished.isEmpty(), "the image was computed before the timer could fire: make it larger");
    QVERIFY(fx.w().runner().busy());
    fx.w().runCommand(ui::Cmd::MenuSto);
    QVERIFY(finished.wait(60000));
}

void TestCompute::closingWhileComputingStopsIt()
{
    WindowFixture fx;
    makeSlow(fx, 600, 400, 60000);
    QSignalSpy rows(&fx.w().runner(), &ui::ComputeRunner::rowsReady);
    QVERIFY(fx.trigger("MenuCal"));
    QVERIFY(rows.wait(60000));
    // The document is modified by the computation: "No" lets the window close.
    fx.services.answers.push_back(ui::UiServices::Answer::No);
    QVERIFY(fx.w().close());
    QVERIFY(!fx.w().runner().busy());
    QVERIFY(fx.f().Run.idle());
    QVERIFY(fx.f().ResumeLine > 0);
}

void TestCompute::destroyingWhileComputingWaitsForTheWorker()
{
    auto fx = std::make_unique<WindowFixture>();
    makeSlow(*fx, 600, 400, 60000);
    QSignalSpy rows(&fx->w().runner(), &ui::ComputeRunner::rowsReady);
    QVERIFY(fx->trigger("MenuCal"));
    QVERIFY(rows.wait(60000));
    // The window goes while its worker computes: the worker ends before the fractal is freed.
    fx->window.reset();
    fx.reset();
}

// Records, on the computing thread, the nice value it runs at (the first orbit begins there).
struct NiceProbe : engine::OrbitObserver {
    std::atomic<int> nice{-100};
    void beginOrbit() override
    {
        int expected = -100;
        nice.compare_exchange_strong(expected, getpriority(PRIO_PROCESS, 0));
    }
};

void TestCompute::workerRunsAtTheChosenNiceValue()
{
    document::TFractal f;
    QVERIFY(storage::AllocImage(f, 8, 8, engine::PixelFormat8, true).ok);
    NiceProbe probe;
    f.State.Orbit = &probe;
    ui::ComputeRunner runner(f);
    runner.setNiceValue(7);
    QSignalSpy finished(&runner, &ui::ComputeRunner::finished);
    QVERIFY(runner.startCompute(true));
    QVERIFY(runner.busy());
    QVERIFY(!f.Run.idle());
    QVERIFY(finished.wait(10000));
    QCOMPARE(probe.nice.load(), 7);
    QVERIFY(f.Run.idle());
    QVERIFY(!runner.busy());
}

QTEST_MAIN(TestCompute)
#include "tst_compute.moc"
