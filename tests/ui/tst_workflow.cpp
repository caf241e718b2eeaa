// A user's road through the main window: New with the variables dialog, Compute, the iteration
// probe, a zoom rectangle dragged up-left, moved and applied with Enter, Compute again.
#include <QMouseEvent>
#include <QRadioButton>
#include <QSpinBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "UiTestUtil.h"
#include "document/Fractal.h"
#include "ui/dialogs/FractForm.h"
#include "ui/ImageView.h"
#include "ui/MainForm.h"
#include "ui/modes/ModeBinding.h"
#include "ui/modes/ZoomMode.h"

using vxtest::WindowFixture;

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void drag(QWidget* w, QPoint from, QPoint to)
{
    sendMouse(w, QEvent::MouseButtonPress, from);
    sendMouse(w, QEvent::MouseMove, to);
    sendMouse(w, QEvent::MouseButtonRelease, to);
}

}  // namespace

class TestWorkflow : public QObject {
    Q_OBJECT
private slots:
    void newComputeProbeZoomCompute();
    void zoomAtTheLimit();
};

void TestWorkflow::newComputeProbeZoomCompute()
{
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    fx.w().setVariablesDialogHook(nullptr);  // the real dialog

    // New: the variables dialog opens for a new fractal; a custom 160 x 120 image.
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<ui::TFractForm*>(QApplication::activeModalWidget());
        if (!form)
            return;
        dialogSeen = true;
        form->findChild<QRadioButton*>(QStringLiteral("RB5"))->click();
        form->findChild<QSpinBox*>(QStringLiteral("WSpinEdit"))->setValue(160);
        form->findChild<QSpinBox*>(QStringLiteral("HSpinEdit"))->setValue(120);
        form->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    QVERIFY(fx.trigger("MenuNew"));
    QVERIFY(dialogSeen);
    QCOMPARE(fx.f().Data.width(), 160);
    QCOMPARE(fx.f().Data.height(), 120);
    QCOMPARE(fx.f().Params.Step, 0.01);  // the Mandelbrot defaults
    QCOMPARE(fx.panel(4), QStringLiteral("Fractal must be re-calculated"));

    QVERIFY(fx.computeAndWait());
    QVERIFY(!fx.f().ImageParamsChanged());
    ui::ImageView* view = fx.w().mainImage();
    QCOMPARE(view->image().size(), QSize(160, 120));

    // The probe at the centre, inside the main cardioid, counts to the probe's own limit.
    fx.w().runCommand(ui::Cmd::MenuIter);
    sendMouse(view, QEvent::MouseButtonPress, QPoint(80, 60));
    sendMouse(view, QEvent::MouseButtonRelease, QPoint(80, 60));
    QCOMPARE(fx.panel(4), QStringLiteral("Iterations: 65535"));
    fx.w().CancelModes();

    // A zoom rectangle dragged up-left: its height follows the image's proportions (60 / (4/3) = 45).
    const double step = fx.f().Params.Step, leftX = fx.f().LeftX, topY = fx.f().TopY;
    fx.w().runCommand(ui::Cmd::PopZoom);
    drag(view, QPoint(100, 90), QPoint(40, 40));
    auto* zoom = dynamic_cast<ui::ZoomMode*>(fx.w().modes().controller().mode());
    QVERIFY(zoom);
    QCOMPARE(zoom->state(), ui::ZoomMode::State::Moving);
    QCOMPARE(zoom->corner1(), QPoint(100, 90));
    QCOMPARE(zoom->corner2(), QPoint(40, 45));
    // Moved 5 right and 10 down, then applied.
    drag(view, QPoint(70, 70), QPoint(75, 80));
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(!fx.w().modes().controller().active());
    QCOMPARE(fx.f().Params.Step, step / (160.0 / 60));
    QCOMPARE(fx.f().Params.CentreX, 30 * step + (45 * step + leftX));
    QCOMPARE(fx.f().Params.CentreY, (topY - 55 * step) - 22 * step);
    QCOMPARE(fx.panel(4), QStringLiteral("Fractal must be re-calculated"));

    // Compute again: the picture is the new view.
    QVERIFY(fx.computeAndWait());
    QVERIFY(!fx.f().ImageParamsChanged());
    QCOMPARE(fx.f().ResumeLine, 0);
    auto reference = vxtest::referenceImage(fx.f().Params, engine::PixelFormat8);
    QVERIFY(vxtest::sameData(fx.f().Data, reference->Data));
}

void TestWorkflow::zoomAtTheLimit()
{
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    QVERIFY(fx.allocate(160, 120));
    fx.f().Params.Step = 2e-15;
    fx.f().UpdateCorners();
    QVERIFY(fx.computeAndWait());
    fx.w().runCommand(ui::Cmd::PopZoom);
    ui::ImageView* view = fx.w().mainImage();
    drag(fx.w().mainImage(), QPoint(10, 10), QPoint(30, 30));
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(fx.f().Params.Step, 1e-15);
    QCOMPARE(fx.panel(4), QStringLiteral("Zoom at limits... Fractal must be re-calculated"));
}

QTEST_MAIN(TestWorkflow)
#include "tst_workflow.moc"
