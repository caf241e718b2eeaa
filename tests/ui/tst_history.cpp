// Back and Forward through the views of a document: what comes back, from the values held or to be
// computed, the entries and shortcuts, and a new document forgetting the views.
#include <QAction>
#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>

#include "UiTestUtil.h"
#include "document/Fractal.h"
#include "ui/ImageView.h"
#include "ui/dialogs/FractForm.h"
#include "ui/dialogs/PrefForm.h"
#include "ui/MainMenus.h"
#include "ui/modes/ModeBinding.h"
#include "ui/modes/ModeController.h"

namespace {

constexpr int W = 120, H = 90;
constexpr double Step = 0.025;

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

bool prepare(vxtest::WindowFixture& fx)
{
    if (!fx.allocate(W, H))
        return false;
    fx.f().Params.Step = Step;
    fx.f().UpdateCorners();
    return fx.computeAndWait();
}

// Zooms on the rectangle from (x, y), 40 columns wide, with the mouse and Enter.
bool zoom(vxtest::WindowFixture& fx, int x, int y)
{
    if (!fx.trigger("PopZoom"))
        return false;
    ui::ImageView* view = fx.w().mainImage();
    sendMouse(view, QEvent::MouseButtonPress, QPoint(x, y));
    sendMouse(view, QEvent::MouseMove, QPoint(x + 40, y + 10));
    sendMouse(view, QEvent::MouseButtonRelease, QPoint(x + 40, y + 10));
    QTest::keyClick(view, Qt::Key_Return);
    return !fx.w().modes().controller().active();
}

// What a view is made of, as the window shows it.
struct Seen {
    engine::FractalParams params;
    engine::TVxWork values;
    QImage picture;
};

Seen seen(vxtest::WindowFixture& fx)
{
    return Seen{fx.f().Params, fx.f().Data, fx.w().mainImage()->image().copy()};
}

QString differences(const engine::FractalParams& got, const engine::FractalParams& expected)
{
    QString d;
    if (got.CentreX != expected.CentreX)
        d += QStringLiteral(" centre x %1 not %2").arg(got.CentreX, 0, 'g', 17).arg(expected.CentreX, 0, 'g', 17);
    if (got.CentreY != expected.CentreY)
        d += QStringLiteral(" centre y %1 not %2").arg(got.CentreY, 0, 'g', 17).arg(expected.CentreY, 0, 'g', 17);
    if (got.Step != expected.Step)
        d += QStringLiteral(" step %1 not %2").arg(got.Step, 0, 'g', 17).arg(expected.Step, 0, 'g', 17);
    if (got.MaxIter != expected.MaxIter)
        d += QStringLiteral(" MaxIter %1 not %2").arg(got.MaxIter).arg(expected.MaxIter);
    if (!(got == expected))
        d += QStringLiteral(" (parameters differ)");
    return d;
}

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void backAndForwardFromTheValuesHeld();
    void viewWithoutValuesMustBeRecalculated();
    void shortcutsAndCaptions();
    void newAndOpenForgetTheViews();
    void computeAfterEachViewChange();
    void variablesDialogOkIsAViewChange();
    void ctrlWheelZoomsAboutThePointer();
    void preferenceInTheDialog();
};

void TestHistory::backAndForwardFromTheValuesHeld()
{
    vxtest::WindowFixture fx;
    QVERIFY(prepare(fx));
    QVERIFY(!fx.action("MenuBack")->isEnabled());
    QVERIFY(!fx.action("MenuForward")->isEnabled());
    const Seen first = seen(fx);
    QVERIFY(zoom(fx, 20, 30));
    QVERIFY(fx.computeAndWait());
    const Seen second = seen(fx);
    QVERIFY(zoom(fx, 50, 20));
    QVERIFY(fx.computeAndWait());
    const Seen third = seen(fx);
    QVERIFY(second.params.Step < first.params.Step && third.params.Step < second.params.Step);
    QVERIFY(fx.action("MenuBack")->isEnabled());
    QVERIFY(fx.action("PopBack")->isEnabled());
    QVERIFY(!fx.action("MenuForward")->isEnabled());

    QSignalSpy computed(&fx.w(), &ui::TMainForm::computationFinished);
    const struct { const char* command; const Seen* expected; bool back, forward; } steps[] = {
        {"MenuBack", &second, true, true},
        {"PopBack", &first, false, true},
        {"MenuForward", &second, true, true},
        {"PopForward", &third, true, false},
        {"MenuBack", &second, true, true},
    };
    for (const auto& step : steps) {
        QVERIFY2(fx.trigger(step.command), step.command);
        QCoreApplication::processEvents();
        const QString d = differences(fx.f().Params, step.expected->params);
        QVERIFY2(d.isEmpty(), qPrintable(QLatin1String(step.command) + d));
        // At once, from the values held: nothing computed, nothing to recompute, the same picture.
        QVERIFY(!fx.w().runner().busy());
        QVERIFY(!fx.f().ImageParamsChanged());
        QVERIFY(vxtest::sameData(fx.f().Data, step.expected->values));
        QCOMPARE(fx.w().mainImage()->image(), step.expected->picture);
        QCOMPARE(fx.action("MenuBack")->isEnabled(), step.back);
        QCOMPARE(fx.action("MenuForward")->isEnabled(), step.forward);
    }
    QCOMPARE(computed.count(), 0);
    QVERIFY(fx.f().Modified);
}

void TestHistory::viewWithoutValuesMustBeRecalculated()
{
    vxtest::WindowFixture fx;
    QVERIFY(prepare(fx));
    const Seen first = seen(fx);
    QVERIFY(zoom(fx, 20, 30));
    const engine::FractalParams second = fx.f().Params;  // not computed
    QVERIFY(fx.f().ImageParamsChanged());

    // The first view's values are held.
    QVERIFY(fx.trigger("MenuBack"));
    QVERIFY(differences(fx.f().Params, first.params).isEmpty());
    QVERIFY(!fx.f().ImageParamsChanged());
    QCOMPARE(fx.w().mainImage()->image(), first.picture);

    // The second view never had values: it must be recalculated.
    QVERIFY(fx.trigger("MenuForward"));
    QVERIFY(differences(fx.f().Params, second).isEmpty());
    QVERIFY(fx.f().ImageParamsChanged());
    QCOMPARE(fx.panel(4), QString::fromUtf8("Fractale doit être recalculée"));
    QVERIFY(!fx.w().runner().busy());

    // Once computed, its values are kept for the next return.
    QVERIFY(fx.computeAndWait());
    const Seen secondComputed = seen(fx);
    QVERIFY(fx.trigger("MenuBack"));
    QVERIFY(vxtest::sameData(fx.f().Data, first.values));
    QVERIFY(fx.trigger("MenuForward"));
    QVERIFY(differences(fx.f().Params, second).isEmpty());
    QVERIFY(!fx.f().ImageParamsChanged());
    QVERIFY(vxtest::sameData(fx.f().Data, secondComputed.values));

    // Without room for values, a view comes back to be computed.
    fx.w().viewHistory().setCacheLimit(0);
    QVERIFY(fx.trigger("MenuBack"));
    QVERIFY(differences(fx.f().Params, first.params).isEmpty());
    QVERIFY(fx.f().ImageParamsChanged());
    QVERIFY(vxtest::sameData(fx.f().Data, secondComputed.values));  // the picture stays until computed
}

void TestHistory::shortcutsAndCaptions()
{
    vxtest::WindowFixture fx;
    QCOMPARE(fx.action("MenuBack")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Left));
    QCOMPARE(fx.action("MenuForward")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Right));
    // A window without preferences speaks French; the entries follow the language.
    QCOMPARE(fx.action("MenuBack")->text(), QString::fromUtf8("Vue &précédente"));
    QCOMPARE(fx.action("PopForward")->text(), QStringLiteral("Vue &suivante"));
    fx.w().settings().prefs.language = 0;
    fx.w().DrawMainMenus();
    QCOMPARE(fx.action("MenuBack")->text(), QStringLiteral("&Back"));
    QCOMPARE(fx.action("PopForward")->text(), QStringLiteral("&Forward"));
    // The entries sit in the Fractal menu and the picture's menu.
    QVERIFY(fx.menu("MenuFra")->actions().contains(fx.action("MenuBack")));
    QVERIFY(fx.w().menus().popup2D()->actions().contains(fx.action("PopForward")));

    QVERIFY(prepare(fx));
    const engine::FractalParams first = fx.f().Params;
    QVERIFY(zoom(fx, 20, 30));
    const engine::FractalParams second = fx.f().Params;
    fx.w().show();
    QVERIFY(QTest::qWaitForWindowActive(&fx.w()));
    fx.w().mainImage()->setFocus();
    QTest::keyClick(fx.w().mainImage(), Qt::Key_Left, Qt::AltModifier);
    QVERIFY(differences(fx.f().Params, first).isEmpty());
    QTest::keyClick(fx.w().mainImage(), Qt::Key_Right, Qt::AltModifier);
    QVERIFY(differences(fx.f().Params, second).isEmpty());
    QVERIFY(fx.computeAndWait());
    // In a pick mode too, Alt+arrow steps through the history rather than moving the keyboard cursor.
    QVERIFY(fx.trigger("PopCenter"));
    QTest::keyClick(fx.w().mainImage(), Qt::Key_Left, Qt::AltModifier);
    QVERIFY(differences(fx.f().Params, first).isEmpty());
}

void TestHistory::newAndOpenForgetTheViews()
{
    vxtest::WindowFixture fx;
    QVERIFY(prepare(fx));
    QVERIFY(zoom(fx, 20, 30));
    QVERIFY(fx.computeAndWait());
    // Saved, so that opening it again works.
    fx.services.savePaths.push_back(fx.path(QStringLiteral("zoomed.mbt")));
    QVERIFY(fx.trigger("MenuSaveAsFrac"));
    QVERIFY(zoom(fx, 20, 30));
    QVERIFY(fx.action("MenuBack")->isEnabled());

    fx.f().Modified = false;
    fx.services.openPaths.push_back(fx.path(QStringLiteral("zoomed.mbt")));
    QVERIFY(fx.trigger("MenuOpenFrac"));
    QCOMPARE(fx.f().FileName, std::string("zoomed"));
    QVERIFY(!fx.w().viewHistory().canGoBack());
    QVERIFY(!fx.action("MenuBack")->isEnabled());

    QVERIFY(zoom(fx, 20, 30));
    QVERIFY(fx.action("MenuBack")->isEnabled());
    fx.f().Modified = false;
    QVERIFY(fx.trigger("MenuNew"));
    QVERIFY(!fx.w().viewHistory().canGoBack());
    QVERIFY(!fx.w().viewHistory().canGoForward());
    QVERIFY(!fx.action("MenuBack")->isEnabled());
    QVERIFY(!fx.action("PopBack")->isEnabled());
}

void TestHistory::computeAfterEachViewChange()
{
    for (const bool on : {false, true}) {
        vxtest::WindowFixture fx({}, on ? "[Prefer]\nCmpV=1\n" : "[Prefer]\nCmpV=0\n");
        QVERIFY(fx.w().settings().prefs.computeAfterViewChange == on);
        QVERIFY(prepare(fx));
        QSignalSpy computed(&fx.w(), &ui::TMainForm::computationFinished);
        QVERIFY(zoom(fx, 20, 30));
        if (on) {
            QVERIFY(computed.wait(120000));
            QVERIFY(!fx.f().ImageParamsChanged());
        } else {
            QTest::qWait(50);
            QCOMPARE(computed.count(), 0);
            QVERIFY(fx.f().ImageParamsChanged());
            QVERIFY(fx.computeAndWait());
        }
        // A history step to a view whose values are not held: computed at once, or marked.
        fx.w().viewHistory().setCacheLimit(0);
        computed.clear();
        QVERIFY(fx.trigger("MenuBack"));
        if (on) {
            QVERIFY(computed.count() == 1 || computed.wait(120000));
            QVERIFY(!fx.f().ImageParamsChanged());
        } else {
            QTest::qWait(50);
            QCOMPARE(computed.count(), 0);
            QVERIFY(fx.f().ImageParamsChanged());
        }
    }
}

void TestHistory::variablesDialogOkIsAViewChange()
{
    vxtest::WindowFixture fx;
    QVERIFY(prepare(fx));
    const Seen first = seen(fx);
    // "x 2" on the variables page, then OK; then the same dialog cancelled, which records nothing.
    for (const char* button : {"X2Button", "CancelButton"}) {
        QTimer::singleShot(0, [button] {
            QWidget* form = QApplication::activeModalWidget();
            if (!form)
                return;
            if (auto* b = form->findChild<QPushButton*>(QLatin1String(button)); b && b->isEnabled())
                b->click();
            if (auto* ok = form->findChild<QPushButton*>(QStringLiteral("OKButton")); ok && form->isVisible())
                ok->click();
        });
        ui::runVariablesDialog(fx.w(), 3, false);
    }
    QVERIFY(fx.f().Params.Step < Step);  // "x 2" (the dialog first brings the step within the type's limits)
    QCOMPARE(fx.w().viewHistory().backCount(), size_t(1));
    fx.w().DrawMainMenus();
    QVERIFY(fx.trigger("MenuBack"));
    QVERIFY(differences(fx.f().Params, first.params).isEmpty());
    QVERIFY(!fx.f().ImageParamsChanged());
    QCOMPARE(fx.w().mainImage()->image(), first.picture);
}

namespace {

void wheel(ui::ImageView* view, QPoint pixel, int notches, Qt::KeyboardModifiers modifiers)
{
    const QPointF at = view->widgetPointOf(pixel);
    QWheelEvent e(at, view->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, modifiers,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &e);
}

}  // namespace

void TestHistory::ctrlWheelZoomsAboutThePointer()
{
    vxtest::WindowFixture fx;
    QVERIFY(prepare(fx));
    fx.f().Params.Step = 0.008;  // within the Mandelbrot limits
    fx.f().UpdateCorners();
    QVERIFY(fx.computeAndWait());
    ui::ImageView* view = fx.w().mainImage();
    const struct { QPoint pixel; int notches; double stepFactor; } rows[] = {
        {{30, 20}, 1, 0.5}, {{100, 70}, 1, 0.5}, {{5, 80}, -1, 2.0}, {{60, 45}, 2, 0.25}, {{119, 0}, -3, 8.0},
    };
    size_t recorded = 0;
    for (const auto& row : rows) {
        const QString what = QStringLiteral("pixel %1,%2, %3 notches").arg(row.pixel.x()).arg(row.pixel.y()).arg(row.notches);
        const document::TFractal& f = fx.f();
        const double step = f.Params.Step;
        const double x = f.LeftX + row.pixel.x() * step, y = f.TopY - row.pixel.y() * step;
        wheel(view, row.pixel, row.notches, Qt::ControlModifier);
        QVERIFY2(std::abs(f.Params.Step - step * row.stepFactor) < 1e-18, qPrintable(what));
        QVERIFY2(std::abs(f.LeftX + row.pixel.x() * f.Params.Step - x) < 1e-12, qPrintable(what));
        QVERIFY2(std::abs(f.TopY - row.pixel.y() * f.Params.Step - y) < 1e-12, qPrintable(what));
        recorded += size_t(std::abs(row.notches));
        QCOMPARE(fx.w().viewHistory().backCount(), recorded);
        QCOMPARE(fx.panel(4), QString::fromUtf8("Fractale doit être recalculée"));
    }

    // The plain wheel leaves the view alone.
    const engine::FractalParams before = fx.f().Params;
    wheel(view, QPoint(30, 20), 1, Qt::NoModifier);
    QVERIFY(fx.f().Params == before);

    // At the limits of the type's step: held there, with the limits message.
    const struct { double step; int notches; double held; } limits[] = {{0.008, -1, 0.01}, {1.5e-15, 1, 1e-15}};
    for (const auto& row : limits) {
        fx.f().Params.Step = row.step;
        fx.f().UpdateCorners();
        wheel(view, QPoint(30, 20), row.notches, Qt::ControlModifier);
        QCOMPARE(fx.f().Params.Step, row.held);
        QCOMPARE(fx.panel(4), QString::fromUtf8("Limites du Zoom atteintes... Fractale doit être recalculée"));
    }
}

void TestHistory::preferenceInTheDialog()
{
    vxtest::WindowFixture fx;
    QVERIFY(!fx.w().settings().prefs.computeAfterViewChange);  // off by default
    for (const bool tick : {true, false}) {
        QString caption;
        QTimer::singleShot(0, [tick, &caption] {
            auto* dialog = qobject_cast<ui::TPrefForm*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("ComputeAfterViewChangeCheckBox"));
            if (box) {
                caption = box->text();
                box->setChecked(tick);
            }
            dialog->accept();
        });
        QVERIFY(fx.trigger("MenuPre"));
        QCOMPARE(caption, QString::fromUtf8("Calculer après chaque changement de vue"));
        QCOMPARE(fx.w().settings().prefs.computeAfterViewChange, tick);
    }
    // In English too.
    fx.w().settings().prefs.language = 0;
    ui::TPrefForm form(fx.w().settings().prefs, fx.w().settings().osLoad, &fx.w());
    QCOMPARE(form.findChild<QCheckBox*>(QStringLiteral("ComputeAfterViewChangeCheckBox"))->text(),
             QStringLiteral("Compute after each view change"));
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
