// The picture from the keyboard alone: its context menu (Shift+F10, the Menu key) and every pick
// mode driven by a crosshair cursor that the arrows move and Enter clicks with.
#include <QMenu>
#include <QScreen>
#include <QMouseEvent>
#include <QSpinBox>
#include <QtTest>
#include <cmath>

#include "UiTestUtil.h"
#include "document/Fractal.h"
#include "ui/ImageView.h"
#include "ui/dialogs/RetoucheForm.h"
#include "ui/MainMenus.h"
#include "ui/modes/ModeBinding.h"
#include "ui/modes/ModeController.h"
#include "ui/modes/MouseMode.h"
#include "ui/modes/ZoomMode.h"

namespace {

constexpr int W = 120, H = 90;

// A menu asked for at `at` opens there: its left edge at that column, and its top at that row, unless
// it does not fit below: then its bottom is at that row, or it is pushed up against the bottom of the
// screen, still covering that row.
QString openedAt(const QMenu* menu, QPoint at)
{
    const QRect r = menu->geometry();
    const int screenBottom = menu->screen()->availableGeometry().bottom();
    const bool column = std::abs(r.left() - at.x()) <= 1;
    const bool row = std::abs(r.top() - at.y()) <= 1 || std::abs(r.bottom() + 1 - at.y()) <= 1
        || (r.bottom() == screenBottom && r.top() < at.y() && at.y() <= r.bottom());
    if (column && row)
        return {};
    return QStringLiteral("menu at %1,%2 to %3,%4, asked at %5,%6")
        .arg(r.left()).arg(r.top()).arg(r.right()).arg(r.bottom()).arg(at.x()).arg(at.y());
}
constexpr double Step = 0.025;

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void click(QWidget* w, QPoint pos)
{
    sendMouse(w, QEvent::MouseMove, pos);
    sendMouse(w, QEvent::MouseButtonPress, pos);
    sendMouse(w, QEvent::MouseButtonRelease, pos);
}

// A window with a computed 120 x 90 Mandelbrot shown at 100 %.
bool prepare(vxtest::WindowFixture& fx)
{
    fx.w().show();
    if (!fx.allocate(W, H))
        return false;
    fx.f().Params.Step = Step;
    fx.f().UpdateCorners();
    return fx.computeAndWait();
}

ui::MouseMode* armed(vxtest::WindowFixture& fx)
{
    return fx.w().modes().controller().mode();
}

// Takes the keyboard cursor of the armed mode to `target` with the arrows: Shift for tens, then ones.
bool keysTo(vxtest::WindowFixture& fx, QPoint target)
{
    ui::MouseMode* mode = armed(fx);
    if (!mode)
        return false;
    QWidget* view = fx.w().mainImage();
    const QPoint d = target - mode->keyPoint();
    const auto press = [view](int count, Qt::Key key) {
        for (int i = 0; i < std::abs(count) / 10; ++i)
            QTest::keyClick(view, key, Qt::ShiftModifier);
        for (int i = 0; i < std::abs(count) % 10; ++i)
            QTest::keyClick(view, key);
    };
    press(d.x(), d.x() < 0 ? Qt::Key_Left : Qt::Key_Right);
    press(d.y(), d.y() < 0 ? Qt::Key_Up : Qt::Key_Down);
    return armed(fx) == mode && mode->keyPoint() == target;
}

struct View {
    bool ok = false;
    double centreX = 0, centreY = 0, step = 0, paramCr = 0, paramCi = 0, pertZr = 0, pertZi = 0;
    QString status;
};

View viewOf(vxtest::WindowFixture& fx, bool ok)
{
    const engine::FractalParams& p = fx.f().Params;
    return View{ok, p.CentreX, p.CentreY, p.Step, p.ParamCr, p.ParamCi, p.PertZr, p.PertZi, fx.panel(4)};
}

enum class By { Mouse, Keyboard };

// The zoom rectangle from (20, 30) to the column 60 (the row follows the image's proportions), moved
// 7 pixels right and 5 up, then applied.
View zoomBy(By how)
{
    vxtest::WindowFixture fx;
    if (!prepare(fx) || !fx.trigger("PopZoom"))
        return {};
    ui::ImageView* view = fx.w().mainImage();
    if (how == By::Mouse) {
        sendMouse(view, QEvent::MouseMove, QPoint(20, 30));
        sendMouse(view, QEvent::MouseButtonPress, QPoint(20, 30));
        sendMouse(view, QEvent::MouseMove, QPoint(60, 40));
        sendMouse(view, QEvent::MouseButtonRelease, QPoint(60, 40));
        sendMouse(view, QEvent::MouseButtonPress, QPoint(40, 40));
        sendMouse(view, QEvent::MouseMove, QPoint(47, 35));
        sendMouse(view, QEvent::MouseButtonRelease, QPoint(47, 35));
    } else {
        if (!keysTo(fx, QPoint(20, 30)))
            return {};
        QTest::keyClick(view, Qt::Key_Return);  // the first corner
        if (!keysTo(fx, QPoint(60, 40)))
            return {};
        QTest::keyClick(view, Qt::Key_Return);  // the second corner: the rectangle can move
        auto* zoom = dynamic_cast<ui::ZoomMode*>(armed(fx));
        if (!zoom || zoom->state() != ui::ZoomMode::State::Moving)
            return {};
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(view, Qt::Key_Left);
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(view, Qt::Key_Up);
    }
    QTest::keyClick(view, Qt::Key_Return);
    return viewOf(fx, !fx.w().modes().controller().active());
}

// One pick at pixel (33, 61) with the mouse or with the keyboard.
View pickBy(const char* command, By how)
{
    vxtest::WindowFixture fx;
    if (!prepare(fx) || !fx.trigger(command))
        return {};
    ui::ImageView* view = fx.w().mainImage();
    const QPoint target(33, 61);
    if (how == By::Mouse) {
        click(view, target);
    } else {
        if (!keysTo(fx, target))
            return {};
        QTest::keyClick(view, Qt::Key_Enter);
    }
    return viewOf(fx, !fx.w().modes().controller().active());
}

}  // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void contextMenuFromTheKeyboard_data();
    void contextMenuFromTheKeyboard();
    void contextMenuAtTheKeyboardCursor();
    void zoomFromTheKeyboardEqualsTheMouse();
    void pointPicksFromTheKeyboard_data();
    void pointPicksFromTheKeyboard();
    void statusFollowsTheKeyboardCursor();
    void crosshairLeavesThePictureAsItWas();
    void touchUpAreaFromTheKeyboard();
};

void TestKeyboard::contextMenuFromTheKeyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    QTest::newRow("Menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
}

void TestKeyboard::contextMenuFromTheKeyboard()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    vxtest::WindowFixture fx;
    QVERIFY(prepare(fx));
    QMenu* popup = fx.w().menus().popup2D();
    QVERIFY(!popup->isVisible());
    // F10 alone does not open it.
    QTest::keyClick(fx.w().mainImage(), Qt::Key_F10);
    QVERIFY(!popup->isVisible());
    QTest::keyClick(fx.w().mainImage(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTRY_VERIFY(popup->isVisible());
    // Named for screen readers, in the window's language (French without preferences).
    QCOMPARE(popup->accessibleName(), QStringLiteral("Image"));
    // Opened in the middle of the visible picture: the picture is smaller than the window here.
    const QString where = openedAt(popup, fx.w().mainImage()->mapToGlobal(QPoint(W / 2, H / 2)));
    QVERIFY2(where.isEmpty(), qPrintable(where));
    popup->close();

    // The 3D view has its own menu.
    fx.f().View3D = true;
    QTest::keyClick(fx.w().mainImage(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTRY_VERIFY(fx.w().menus().popup3D()->isVisible());
    QCOMPARE(fx.w().menus().popup3D()->accessibleName(), QStringLiteral("Vue 3D"));
    fx.w().menus().popup3D()->close();
    fx.f().View3D = false;
}

void TestKeyboard::contextMenuAtTheKeyboardCursor()
{
    vxtest::WindowFixture fx;
    QVERIFY(prepare(fx));
    QVERIFY(fx.trigger("PopCenter"));
    QVERIFY(keysTo(fx, QPoint(15, 70)));
    QTest::keyClick(fx.w().mainImage(), Qt::Key_F10, Qt::ShiftModifier);
    QMenu* popup = fx.w().menus().popup2D();
    QTRY_VERIFY(popup->isVisible());
    // The middle of pixel (15, 70).
    const QString where = openedAt(popup, fx.w().mainImage()->mapToGlobal(QPoint(15, 70)));
    QVERIFY2(where.isEmpty(), qPrintable(where));
    // Opening a menu ends the mode.
    QVERIFY(!fx.w().modes().controller().active());
    popup->close();
}

void TestKeyboard::zoomFromTheKeyboardEqualsTheMouse()
{
    const View mouse = zoomBy(By::Mouse);
    const View keys = zoomBy(By::Keyboard);
    QVERIFY(mouse.ok);
    QVERIFY(keys.ok);
    QCOMPARE(keys.step, mouse.step);
    QCOMPARE(keys.centreX, mouse.centreX);
    QCOMPARE(keys.centreY, mouse.centreY);
    QCOMPARE(keys.status, mouse.status);
    // And it did zoom: 40 of 120 columns.
    QVERIFY(std::abs(mouse.step - Step * 40 / W) < 1e-15);
}

void TestKeyboard::pointPicksFromTheKeyboard_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("new centre") << QStringLiteral("PopCenter");
    QTest::newRow("Julia constant") << QStringLiteral("PopJulia");
    QTest::newRow("PertZ") << QStringLiteral("PopPert");
}

void TestKeyboard::pointPicksFromTheKeyboard()
{
    QFETCH(QString, command);
    const QByteArray name = command.toLatin1();
    const View mouse = pickBy(name.constData(), By::Mouse);
    const View keys = pickBy(name.constData(), By::Keyboard);
    QVERIFY(mouse.ok);
    QVERIFY(keys.ok);
    QCOMPARE(keys.centreX, mouse.centreX);
    QCOMPARE(keys.centreY, mouse.centreY);
    QCOMPARE(keys.paramCr, mouse.paramCr);
    QCOMPARE(keys.paramCi, mouse.paramCi);
    QCOMPARE(keys.pertZr, mouse.pertZr);
    QCOMPARE(keys.pertZi, mouse.pertZi);
    // The pick did change something: the plane point of (33, 61) is (-2 + 33 step, (45 - 61) step).
    const double x = -2.0 + 33 * Step, y = (45 - 61) * Step;
    const bool changed = (std::abs(mouse.centreX - x) < 1e-12 && std::abs(mouse.centreY - y) < 1e-12)
        || (std::abs(mouse.paramCr - x) < 1e-12 && std::abs(mouse.paramCi - y) < 1e-12)
        || (std::abs(mouse.pertZr - x) < 1e-12 && std::abs(mouse.pertZi - y) < 1e-12);
    QVERIFY(changed);
}

void TestKeyboard::statusFollowsTheKeyboardCursor()
{
    vxtest::WindowFixture fx;
    QVERIFY(prepare(fx));
    ui::ImageView* view = fx.w().mainImage();
    QVERIFY(fx.trigger("MenuIter"));
    sendMouse(view, QEvent::MouseMove, QPoint(81, 12));
    const QString byMouse = fx.panel(4);
    QVERIFY(byMouse.contains(QStringLiteral("X: ")));
    sendMouse(view, QEvent::MouseMove, QPoint(5, 5));
    QVERIFY(fx.panel(4) != byMouse);
    // The arrows start from the mouse's last point.
    QVERIFY(keysTo(fx, QPoint(81, 12)));
    QCOMPARE(fx.panel(4), byMouse);
    // Enter probes there as a click does.
    QTest::keyClick(view, Qt::Key_Return);
    const QString probed = fx.panel(4);
    click(view, QPoint(81, 12));
    QCOMPARE(fx.panel(4), probed);
    QVERIFY(probed.startsWith(QStringLiteral("Nbr Itérations: ")));
}

void TestKeyboard::crosshairLeavesThePictureAsItWas()
{
    vxtest::WindowFixture fx;
    QVERIFY(prepare(fx));
    ui::ImageView* view = fx.w().mainImage();
    const QImage before = view->image().copy();
    QVERIFY(fx.trigger("PopCenter"));
    QTest::keyClick(view, Qt::Key_Right);
    QVERIFY(armed(fx)->crosshairShown());
    QVERIFY(view->image() != before);
    // Its pixels are XOR-ed: the arms around the cursor, the cursor's own pixel left alone.
    const QPoint p = armed(fx)->keyPoint();
    QCOMPARE(view->image().pixel(p), before.pixel(p));
    QVERIFY(view->image().pixel(p + QPoint(4, 0)) != before.pixel(p + QPoint(4, 0)));
    QVERIFY(view->image().pixel(p + QPoint(0, -4)) != before.pixel(p + QPoint(0, -4)));
    // The mouse takes over: the crosshair goes.
    sendMouse(view, QEvent::MouseMove, QPoint(3, 3));
    QVERIFY(!armed(fx)->crosshairShown());
    QCOMPARE(view->image(), before);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(armed(fx)->keyPoint(), QPoint(3, 13));
    QVERIFY(view->image() != before);
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(!fx.w().modes().controller().active());
    QCOMPARE(view->image(), before);
    // The cursor stays on the picture.
    QVERIFY(fx.trigger("PopCenter"));
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(armed(fx)->keyPoint().x(), 0);
    QTest::keyClick(view, Qt::Key_Escape);
    QCOMPARE(view->image(), before);
}

void TestKeyboard::touchUpAreaFromTheKeyboard()
{
    vxtest::WindowFixture fx;
    fx.f().Params.MaxIter = 30;
    QVERIFY(prepare(fx));
    ui::ImageView* view = fx.w().mainImage();
    QVERIFY(fx.trigger("MenuRet"));
    QVERIFY(keysTo(fx, QPoint(30, 20)));
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(keysTo(fx, QPoint(90, 70)));
    // The second Enter ends the selection and asks for the iterations.
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TRetoucheForm*>(QApplication::activeModalWidget());
        if (!form)
            return;
        form->findChild<QSpinBox*>(QStringLiteral("IterationEdit"))->setValue(400);
        form->accept();
    });
    QSignalSpy finished(&fx.w(), &ui::TMainForm::computationFinished);
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(finished.wait(120000));
    QVERIFY(!fx.w().modes().controller().active());
    QCOMPARE(fx.f().Params.MaxIter, uint16_t(400));
    const engine::PixelRect& r = fx.f().ZoomRect;
    QCOMPARE(QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom)), QRect(QPoint(30, 20), QPoint(90, 70)));
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
