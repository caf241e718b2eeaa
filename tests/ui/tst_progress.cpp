// The progress of a computation in the status line: a named progress bar with the percentage of rows
// done and the time left, shown only while the computation runs.
#include <QAccessible>
#include <QProgressBar>
#include <QtTest>

#include "UiTestUtil.h"
#include "ui/StatusLine.h"

class TestProgress : public QObject {
    Q_OBJECT
private slots:
    void barFollowsTheComputation();
};

void TestProgress::barFollowsTheComputation()
{
    vxtest::WindowFixture fx;
    fx.w().show();
    QProgressBar* bar = fx.w().statusLine()->findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
    QVERIFY(bar);
    QVERIFY(!bar->isVisible());
    // Long enough to be seen: every pixel is inside the set, without periodicity checking to cut it short.
    fx.f().Params.MaxIter = 65000;
    fx.f().Periodicity = false;
    QVERIFY(fx.allocate(600, 450));
    // The middle of the bulb of period 3 (the main cardioid would be recognised without iterating).
    fx.f().Params.Step = 0.0001;
    fx.f().Params.CentreX = -0.1226;
    fx.f().Params.CentreY = 0.7449;
    fx.f().UpdateCorners();
    QSignalSpy finished(&fx.w(), &ui::TMainForm::computationFinished);
    QVERIFY(fx.trigger("MenuCal"));
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->accessibleName(), QStringLiteral("Progression"));
    QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0 || !finished.isEmpty(), 60000);
    if (!finished.isEmpty())
        qWarning() << "ended" << int(finished.first().first().value<engine::ComputeEnd>()) << fx.f().Params.MaxIter << fx.f().Params.Width;
    QVERIFY2(finished.isEmpty(), "the computation ended before its progress could be read");
    {
        QVERIFY(bar->isVisible());
        QVERIFY(bar->value() < 100);
        QVERIFY(bar->text().startsWith(QString::number(bar->value()) + QLatin1Char('%')));
        // Screen readers meet a progress bar with its value.
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(bar);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::ProgressBar);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Progression"));
        QVERIFY(a->valueInterface());
        QCOMPARE(a->valueInterface()->currentValue().toInt(), bar->value());
        // The time left comes once the pace is known.
        QTRY_VERIFY_WITH_TIMEOUT(bar->text().contains(QStringLiteral(" - temps restant: ")), 60000);
        QVERIFY(finished.isEmpty());
        fx.w().runner().requestStop();
    }
    QVERIFY(!finished.isEmpty() || finished.wait(60000));
    QVERIFY(!bar->isVisible());
}

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
