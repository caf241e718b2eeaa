// The mouse modes of the picture, driven with synthetic events on a picture and a fractal, and
// the touch-up iterations dialog.
#include <QImage>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <cmath>
#include <deque>
#include <memory>
#include <optional>

#include "engine/AllocationFault.h"
#include "engine/ComputeDriver.h"
#include "document/Computation.h"
#include "document/Fractal.h"
#include "storage/Workspace.h"
#include "UiTestUtil.h"
#include "ui/ImageView.h"
#include "ui/dialogs/RetoucheForm.h"
#include "ui/modes/LineModes.h"
#include "ui/modes/ModeBinding.h"
#include "ui/modes/ModeController.h"
#include "ui/modes/ZoomMode.h"

namespace {

constexpr int W = 120, H = 90;
constexpr double Step = 0.025;  // a 120 x 90 Mandelbrot centred on (-0.5, 0): column 0 is -2.0, row 45 is 0

// A computed Mandelbrot image of W x H.
std::unique_ptr<document::TFractal> computed(uint16_t maxIter = 250, uint8_t algorithm = engine::AlgLevel)
{
    auto f = std::make_unique<document::TFractal>();
    storage::ResetToDefaults(*f);
    f->Params.Algorithm = algorithm;
    f->Params.MaxIter = maxIter;
    storage::AllocImage(*f, W, H, engine::PixelFormat8, true);
    f->Params.Step = Step;
    f->UpdateCorners();
    document::ComputeCommand(*f, true, nullptr);
    return f;
}

// The picture of the window: the fractal's rows through the palette, or a 24-bit pattern.
QImage picture(const document::TFractal& f, bool indexed)
{
    if (indexed) {
        QImage img(f.Bitmap.Width, f.Bitmap.Height, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (const colour::PaletteEntry& e : f.Palette.entries)
            table.append(qRgb(e.red, e.green, e.blue));
        img.setColorTable(table);
        for (int r = 0; r < img.height(); ++r)
            std::memcpy(img.scanLine(r), f.Bitmap.row(r), size_t(img.width()));
        return img;
    }
    QImage img(f.Bitmap.Width, f.Bitmap.Height, QImage::Format_BGR888);
    for (int r = 0; r < img.height(); ++r)
        for (int c = 0; c < img.width(); ++c)
            img.setPixel(c, r, qRgb((c * 7 + r) & 0xFF, (r * 13) & 0xFF, (c ^ r) & 0xFF));
    return img;
}

class FakeHost : public ui::ModeHost {
public:
    FakeHost(document::TFractal& f, QImage& image) : m_fractal(f), m_canvas(image) {}

    document::TFractal& fractal() override { return m_fractal; }
    ui::Canvas& canvas() override { return m_canvas; }
    int language() const override { return 0; }
    void showStatus(const QString& message) override { statuses << message; }
    void setModeCursor(const QCursor& c) override { cursor = c.shape(); }
    void setTimerEnabled(bool on) override { timerOn = on; }
    uint32_t lineColour() const override { return 0x0000FF; }
    void deleteMarkers() override { ++markersDeleted; }
    uint16_t askTouchUpIterations(uint16_t current, uint16_t minimum) override
    {
        asked << QPair<int, int>(current, minimum);
        const uint16_t a = answers.empty() ? 0 : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return a;
    }
    void startTouchUp() override { touchUp = document::Retouche(m_fractal, nullptr); }
    void crossSectionPicked(int row) override { crossRow = row; }
    void azimuthPicked(int degrees) override { azimuth = degrees; }

    QString status() const { return statuses.isEmpty() ? QStringLiteral("<none>") : statuses.last(); }

    QStringList statuses;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    bool timerOn = false;
    int markersDeleted = 0;
    std::deque<uint16_t> answers;
    QList<QPair<int, int>> asked;
    engine::RetoucheResult touchUp;
    int crossRow = -1, azimuth = -1;

private:
    document::TFractal& m_fractal;
    ui::ImageCanvas m_canvas;
};

ui::MouseEvent at(int x, int y, Qt::MouseButton button = Qt::LeftButton)
{
    return ui::MouseEvent{QPointF(x, y), QPoint(x, y), button};
}

void press(ui::ModeController& c, int x, int y, Qt::MouseButton b = Qt::LeftButton) { c.mousePress(at(x, y, b)); }
void move(ui::ModeController& c, int x, int y) { c.mouseMove(at(x, y)); }
void release(ui::ModeController& c, int x, int y) { c.mouseRelease(at(x, y)); }

ui::ZoomMode* zoomMode(ui::ModeController& c) { return dynamic_cast<ui::ZoomMode*>(c.mode()); }

// How a zoom's result differs from the box it was given, or nothing. The box (corners as the mode
// reports them, left and right the edges, so its width is right - left) on a picture whose top-left
// corner was (leftX, topY) must become the picture: the plane points under its left and right edges
// are those of the new picture's edges, and the point under its middle pixel is the new centre.
QString zoomedOnto(const document::TFractal& f, double leftX, double topY, const QRect& box)
{
    const auto planeX = [&](double column) { return leftX + column * Step; };
    const auto planeY = [&](double row) { return topY - row * Step; };
    const int left = box.left(), right = box.left() + box.width() - 1, top = box.top();
    const int bottom = box.top() + box.height() - 1;
    const struct { const char* what; double got, expected; } checks[] = {
        {"left edge", f.LeftX, planeX(left)},
        {"right edge", f.LeftX + W * f.Params.Step, planeX(right)},
        {"centre x", f.Params.CentreX, planeX((left + right) / 2)},
        {"centre y", f.Params.CentreY, planeY((top + bottom) / 2)},
    };
    for (const auto& c : checks)
        if (std::abs(c.got - c.expected) > 1e-12)
            return QStringLiteral("%1: %2, expected %3").arg(QLatin1String(c.what)).arg(c.got, 0, 'g', 17).arg(c.expected, 0, 'g', 17);
    return {};
}

}  // namespace

class TestModes : public QObject {
    Q_OBJECT
private slots:
    void zoomRectangleDraggedUpLeftMovedAndApplied();
    void smallRectangleKeepsSelecting();
    void zoomAtTheLimit();
    void overlaysLeaveThePictureAsItWas_data();
    void overlaysLeaveThePictureAsItWas();
    void touchUpChangesOnlyTheRectangle();
    void touchUpCancelledInTheDialog();
    void probe_data();
    void probe();
    void pointPicks_data();
    void pointPicks();
    void azimuth_data();
    void azimuth();
    void retoucheFormRange_data();
    void retoucheFormRange();
    void windowZoomThroughThePicturesEvents();
    void windowTouchUpOnTheComputeRunner();
    void windowTouchUpRefusedForLackOfMemoryBeeps_data();
    void windowTouchUpRefusedForLackOfMemoryBeeps();
    void arrowKeysMoveTheZoomRectangleLikeTheMouse();
};

void TestModes::zoomRectangleDraggedUpLeftMovedAndApplied()
{
    auto f = computed();
    QImage image = picture(*f, true);
    const QImage before = image.copy();
    FakeHost host(*f, image);
    ui::ModeController modes(host);
    const double leftX = f->LeftX, topY = f->TopY;

    modes.start(ui::ModeKind::Zoom);
    QCOMPARE(host.status(), QStringLiteral("1st corner of Zoom: "));
    move(modes, 80, 45);
    QCOMPARE(host.status(), QStringLiteral("1st corner of Zoom: X: 0 Y: 0"));
    press(modes, 80, 60);
    QCOMPARE(host.status(), QStringLiteral("2st corner of Zoom: "));
    // Up-left by 30 columns: the height is round(30 / (120 / 90)) = round(22.5) = 22 (ties to even).
    move(modes, 50, 40);
    QCOMPARE(zoomMode(modes)->corner2(), QPoint(50, 38));
    QVERIFY(image != before);
    release(modes, 50, 40);
    QCOMPARE(zoomMode(modes)->state(), ui::ZoomMode::State::Moving);
    QCOMPARE(host.cursor, Qt::SizeAllCursor);
    QVERIFY(host.timerOn);
    QCOMPARE(host.status(), QStringLiteral("Moving Zoom: Press [Return]/[Esc]"));

    modes.timeout();
    QVERIFY(zoomMode(modes)->savedRectangleShown());
    QVERIFY(!host.timerOn);
    // Drag it by (+10, +5).
    press(modes, 60, 45);
    move(modes, 65, 47);
    move(modes, 70, 50);
    QVERIFY(!zoomMode(modes)->savedRectangleShown());
    QVERIFY(host.timerOn);
    release(modes, 70, 50);
    QCOMPARE(zoomMode(modes)->corner1(), QPoint(90, 65));
    QCOMPARE(zoomMode(modes)->corner2(), QPoint(60, 43));
    modes.timeout();

    QVERIFY(modes.keyPress(Qt::Key_Return));
    QVERIFY(!modes.active());
    QCOMPARE(image, before);
    QCOMPARE(host.status(), QString());
    QCOMPARE(host.markersDeleted, 1);
    QCOMPARE(host.cursor, Qt::ArrowCursor);
    const QString mismatch = zoomedOnto(*f, leftX, topY, QRect(QPoint(60, 43), QPoint(90, 65)));
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QVERIFY(f->ImageParamsChanged());
}

void TestModes::smallRectangleKeepsSelecting()
{
    auto f = computed();
    QImage image = picture(*f, true);
    FakeHost host(*f, image);
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::Zoom);
    press(modes, 30, 30);
    move(modes, 40, 50);  // 10 columns: not above 10
    release(modes, 40, 50);
    QCOMPARE(zoomMode(modes)->state(), ui::ZoomMode::State::SecondCorner);
    // Enter fixes the second corner at the keyboard cursor, the mouse's last point: still too small,
    // so nothing is zoomed and the selection goes on.
    const double step = f->Params.Step, centreX = f->Params.CentreX;
    QVERIFY(modes.keyPress(Qt::Key_Return));
    QCOMPARE(zoomMode(modes)->state(), ui::ZoomMode::State::SecondCorner);
    QCOMPARE(f->Params.Step, step);
    QCOMPARE(f->Params.CentreX, centreX);
    // Click-move-click also works.
    move(modes, 61, 10);
    QCOMPARE(zoomMode(modes)->corner2(), QPoint(61, 30 - 23));  // above-right: round(31 / 1.333...) = 23 up
    release(modes, 61, 10);
    QCOMPARE(zoomMode(modes)->state(), ui::ZoomMode::State::Moving);
}

void TestModes::zoomAtTheLimit()
{
    auto f = computed();
    f->Params.Step = 2e-15;
    f->UpdateCorners();
    const double leftX = f->LeftX, topY = f->TopY;
    QImage image = picture(*f, true);
    FakeHost host(*f, image);
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::Zoom);
    press(modes, 10, 10);
    move(modes, 40, 40);
    release(modes, 40, 40);
    QVERIFY(modes.keyPress(Qt::Key_Enter));
    QCOMPARE(host.status(), QStringLiteral("Zoom at limits... Fractal must be re-calculated"));
    QCOMPARE(f->Params.Step, 1e-15);
    // Still centred on the rectangle (10, 10)-(40, 33).
    QCOMPARE(f->Params.CentreX, leftX + 25 * 2e-15);
    QCOMPARE(f->Params.CentreY, topY - (10 + 11) * 2e-15);
}

void TestModes::overlaysLeaveThePictureAsItWas_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<bool>("indexed");
    QTest::addColumn<int>("algorithm");
    for (bool indexed : {true, false}) {
        const char* depth = indexed ? "8-bit" : "24-bit";
        for (const char* s : {"zoom second corner", "zoom movable band", "zoom saved rectangle", "zoom dragged",
                              "touch-up band", "azimuth", "cross-section line", "touch-up frame of a stopped run"})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(s), QLatin1String(depth))))
                << QString::fromLatin1(s) << indexed << 0;
    }
    QTest::newRow("Distance keeps the rubber band") << "zoom saved rectangle" << true << 1;
}

void TestModes::overlaysLeaveThePictureAsItWas()
{
    QFETCH(QString, scenario);
    QFETCH(bool, indexed);
    QFETCH(int, algorithm);
    auto f = computed(60, uint8_t(algorithm));
    QImage image = picture(*f, indexed);
    const QImage before = image.copy();
    FakeHost host(*f, image);
    ui::ModeController modes(host);

    if (scenario.startsWith(QLatin1String("zoom"))) {
        modes.start(ui::ModeKind::Zoom);
        press(modes, 100, 80);
        move(modes, 20, 10);
        if (scenario != QLatin1String("zoom second corner")) {
            release(modes, 20, 10);
            if (scenario != QLatin1String("zoom movable band")) {
                modes.timeout();
                QCOMPARE(zoomMode(modes)->savedRectangleShown(), algorithm != engine::AlgDistance);
            }
            if (scenario == QLatin1String("zoom dragged")) {
                press(modes, 50, 50);
                move(modes, 45, 60);
                release(modes, 45, 60);
                modes.timeout();
                // Dragged partly out of the picture.
                press(modes, 50, 50);
                move(modes, -20, 70);
                release(modes, -20, 70);
            }
        }
    } else if (scenario == QLatin1String("touch-up band")) {
        modes.start(ui::ModeKind::TouchUp);
        press(modes, 5, 5);
        move(modes, 60, 70);
        move(modes, 119, 89);
    } else if (scenario == QLatin1String("azimuth")) {
        modes.start(ui::ModeKind::Azimuth);
        move(modes, 10, 80);
        move(modes, 100, 3);
    } else if (scenario == QLatin1String("cross-section line")) {
        modes.start(ui::ModeKind::CrossSection);
        press(modes, 30, 77);
        QVERIFY(!modes.active());
        QCOMPARE(host.crossRow, 77);
    } else if (scenario == QLatin1String("touch-up frame of a stopped run")) {
        f->ZoomRect = {10, 12, 50, 40};
        modes.touchUpFinished(true);
    }
    QVERIFY(image != before);
    QVERIFY(modes.escape());
    QCOMPARE(image, before);
    QCOMPARE(host.status(), QString());
    QCOMPARE(host.cursor, Qt::ArrowCursor);
    QVERIFY(!host.timerOn);
    QVERIFY(!modes.escape());
}

void TestModes::touchUpChangesOnlyTheRectangle()
{
    auto f = computed(30);
    const engine::TVxWork old = f->Data;
    auto reference = computed(500);
    QImage image = picture(*f, true);
    FakeHost host(*f, image);
    host.answers = {500};
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::TouchUp);
    move(modes, 20, 15);
    QCOMPARE(host.status(), QStringLiteral("1st corner of Touching up area: X: 20 Y: 15"));
    press(modes, 70, 55);
    move(modes, 20, 15);  // up-left of the first corner: the corners are put in order
    QCOMPARE(host.status(), QStringLiteral("2st corner of Touching up area: X: 20 Y: 15 / dX: -50 dY: -40"));
    release(modes, 20, 15);

    QVERIFY(!modes.active());
    QCOMPARE(host.asked, (QList<QPair<int, int>>{{30, 30}}));
    QVERIFY(host.touchUp.ok);
    QCOMPARE(host.touchUp.end, engine::ComputeEnd::Completed);
    QCOMPARE(f->RetoucheIter, uint16_t(500));
    QCOMPARE(f->Params.MaxIter, uint16_t(500));
    QVERIFY(!f->UniformIter);
    QVERIFY(modes.touchUpRunning());
    QVERIFY(modes.lingering().touchUpRect);

    int changed = 0;
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c) {
            const bool inside = c >= 20 && c <= 70 && r >= 15 && r <= 55;
            if (inside) {
                QCOMPARE(f->Data.at(r, c), reference->Data.at(r, c));
                changed += f->Data.at(r, c) != old.at(r, c);
            } else {
                QCOMPARE(f->Data.at(r, c), old.at(r, c));
            }
        }
    QVERIFY(changed > 0);

    // The mode reset leaves the frame of a running touch-up; its end takes it off.
    modes.cancel();
    QVERIFY(modes.lingering().touchUpRect);
    modes.touchUpFinished(false);
    QVERIFY(!modes.lingering().touchUpRect);
    QVERIFY(!modes.touchUpRunning());
}

void TestModes::touchUpCancelledInTheDialog()
{
    auto f = computed(30);
    const engine::TVxWork old = f->Data;
    QImage image = picture(*f, true);
    const QImage before = image.copy();
    FakeHost host(*f, image);
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::TouchUp);
    press(modes, 10, 10);
    move(modes, 15, 40);  // 5 columns: too narrow, the selection goes on
    release(modes, 15, 40);
    QVERIFY(modes.active());
    QVERIFY(host.asked.isEmpty());
    move(modes, 200, 200);  // beyond the picture: clamped to its last column and row
    release(modes, 200, 200);
    QCOMPARE(host.asked.size(), 1);
    QVERIFY(host.statuses.contains(QStringLiteral("Select iteration value")));
    QCOMPARE(host.status(), QString());
    QCOMPARE(image, before);
    QVERIFY(!modes.active());
    QVERIFY(!modes.touchUpRunning());
    QCOMPARE(f->Params.MaxIter, uint16_t(30));
    QVERIFY(f->Data.at(20, 20) == old.at(20, 20));
}

void TestModes::probe_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("inside");
    QTest::newRow("(-0.1, 0) is inside: 65535, not the image's 250") << 76 << 45 << true;
    QTest::newRow("(0.975, 1.125) escapes") << 119 << 0 << false;
}

void TestModes::probe()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(bool, inside);
    auto f = computed();
    const engine::TVxWork data = f->Data;
    QImage image = picture(*f, true);
    FakeHost host(*f, image);
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::IterationProbe);
    QCOMPARE(host.status(), QStringLiteral("Position: "));
    press(modes, column, row);
    // An escaping point has the Level count the image holds.
    const QString count = inside ? QStringLiteral("65535") : QString::number(data.at(row, column));
    QCOMPARE(host.status(), QStringLiteral("Iterations: ") + count);
    QVERIFY(host.statuses.contains(QStringLiteral("Please wait ...")));
    QVERIFY(modes.active());  // the next click probes again
    QVERIFY(f->Data.at(row, column) == data.at(row, column));
    QCOMPARE(f->Params.MaxIter, uint16_t(250));
}

void TestModes::pointPicks_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<int>("markersDeleted");
    QTest::newRow("new centre") << int(ui::ModeKind::NewCentre) << "New Center: " << 1;
    QTest::newRow("Julia constant") << int(ui::ModeKind::JuliaCentre) << "Select center Julia center: " << 0;
    QTest::newRow("PertZ") << int(ui::ModeKind::PertZCentre) << "Select center for PertZ & PertZi: " << 0;
}

void TestModes::pointPicks()
{
    QFETCH(int, kind);
    QFETCH(QString, prompt);
    QFETCH(int, markersDeleted);
    auto f = computed();
    QImage image = picture(*f, true);
    FakeHost host(*f, image);
    ui::ModeController modes(host);
    modes.start(ui::ModeKind(kind));
    QCOMPARE(host.status(), prompt);
    // Column 40 is -1.0, row 5 is 1.0 (= 1.125 - 5 x 0.025).
    move(modes, 40, 5);
    QCOMPARE(host.status(), prompt + QStringLiteral("X: -1 Y: 1"));
    press(modes, 40, 5, Qt::RightButton);  // clears the status, picks nothing
    QVERIFY(modes.active());
    QCOMPARE(host.status(), QString());
    press(modes, 40, 5);
    QVERIFY(!modes.active());
    QCOMPARE(host.cursor, Qt::ArrowCursor);
    QCOMPARE(host.markersDeleted, markersDeleted);
    const ui::ModeKind k = ui::ModeKind(kind);
    const double x = k == ui::ModeKind::NewCentre ? f->Params.CentreX
        : k == ui::ModeKind::JuliaCentre          ? f->Params.ParamCr
                                                  : f->Params.PertZr;
    const double y = k == ui::ModeKind::NewCentre ? f->Params.CentreY
        : k == ui::ModeKind::JuliaCentre          ? f->Params.ParamCi
                                                  : f->Params.PertZi;
    QCOMPARE(x, -1.0);
    QCOMPARE(y, 1.0);
    QCOMPARE(f->Params.CentreX == -1.0, k == ui::ModeKind::NewCentre);
}

void TestModes::azimuth_data()
{
    QTest::addColumn<QPoint>("mouse");
    QTest::addColumn<int>("degrees");
    // The pivot is the middle of the 120 x 90 image, (60, 45).
    QTest::newRow("straight above") << QPoint(60, 10) << 0;
    QTest::newRow("to the right") << QPoint(100, 45) << 90;
    QTest::newRow("below") << QPoint(60, 80) << 180;
    QTest::newRow("to the left") << QPoint(0, 45) << 270;
    QTest::newRow("up-left") << QPoint(50, 35) << 315;
}

void TestModes::azimuth()
{
    QFETCH(QPoint, mouse);
    QFETCH(int, degrees);
    auto f = computed();
    QImage image = picture(*f, true);
    const QImage before = image.copy();
    FakeHost host(*f, image);
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::Azimuth);
    move(modes, 60, 45);
    QCOMPARE(host.status(), QStringLiteral("Azimuth: "));
    move(modes, mouse.x(), mouse.y());
    QCOMPARE(host.status(), QStringLiteral("Azimuth: ") + QString::number(degrees));
    press(modes, mouse.x(), mouse.y());
    QVERIFY(!modes.active());
    QCOMPARE(f->Azimuth, degrees);
    QCOMPARE(host.azimuth, degrees);
    QCOMPARE(image, before);
}

void TestModes::retoucheFormRange_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("result");
    QTest::newRow("starts at the current count") << 400 << 250 << -1 << 400;
    QTest::newRow("never below the document's iterations") << 250 << 300 << 100 << 300;
    QTest::newRow("at most 65000") << 250 << 250 << 70000 << 65000;
    QTest::newRow("within the range") << 250 << 250 << 1234 << 1234;
}

void TestModes::retoucheFormRange()
{
    QFETCH(int, current);
    QFETCH(int, minimum);
    QFETCH(int, typed);
    QFETCH(int, result);
    ui::TRetoucheForm form(uint16_t(current), uint16_t(minimum), 0);
    auto* edit = form.findChild<QSpinBox*>(QStringLiteral("IterationEdit"));
    QVERIFY(edit);
    if (typed >= 0)
        edit->setValue(typed);
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(int(form.iterations()), result);
}

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), type == QEvent::MouseMove ? Qt::NoButton : button,
                  held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// The window's picture with a 120 x 90 Mandelbrot, computed, shown at 100 %.
struct BoundWindow {
    vxtest::WindowFixture fx;
    QImage image;
    std::unique_ptr<ui::ImageCanvas> canvas;
    QTimer timer;
    ui::ModeBinding* binding = nullptr;

    bool prepare()
    {
        if (!fx.allocate(W, H))
            return false;
        fx.f().Params.Step = Step;
        fx.f().UpdateCorners();
        if (!fx.computeAndWait())
            return false;
        image = fx.w().mainImage()->image().copy();
        canvas = std::make_unique<ui::ImageCanvas>(image);
        binding = new ui::ModeBinding(fx.w(), *canvas, &timer);
        return true;
    }
};

}  // namespace

void TestModes::windowZoomThroughThePicturesEvents()
{
    BoundWindow bw;
    QVERIFY(bw.prepare());
    ui::ImageView* view = bw.fx.w().mainImage();
    QCOMPARE(view->displayScale(), 1.0);
    const QImage before = bw.image.copy();
    const double leftX = bw.fx.f().LeftX, topY = bw.fx.f().TopY;

    // Esc ends a mode and leaves the computation alone.
    bw.binding->start(ui::ModeKind::Zoom);
    sendMouse(view, QEvent::MouseButtonPress, QPoint(10, 10));
    sendMouse(view, QEvent::MouseMove, QPoint(50, 50));
    QVERIFY(bw.image != before);
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(!bw.binding->controller().active());
    QCOMPARE(bw.image, before);

    bw.binding->start(ui::ModeKind::Zoom);
    // A window without preferences speaks French.
    QCOMPARE(bw.fx.panel(4), QStringLiteral("1er point du Zoom: "));
    sendMouse(view, QEvent::MouseButtonPress, QPoint(20, 30));
    sendMouse(view, QEvent::MouseMove, QPoint(60, 40));
    sendMouse(view, QEvent::MouseButtonRelease, QPoint(60, 40));
    QCOMPARE(bw.fx.panel(4), QString::fromUtf8("Déplacement: [Entrée]/[Esc]"));
    QVERIFY(bw.timer.isActive());
    QCOMPARE(view->cursor().shape(), Qt::SizeAllCursor);
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(!bw.binding->controller().active());
    QCOMPARE(bw.image, before);
    // (20, 30)-(60, 60): 40 columns, 30 rows (40 / (4 / 3)).
    const QString mismatch = zoomedOnto(bw.fx.f(), leftX, topY, QRect(QPoint(20, 30), QPoint(60, 60)));
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(bw.fx.panel(4), QString::fromUtf8("Fractale doit être recalculée"));
}

void TestModes::windowTouchUpOnTheComputeRunner()
{
    BoundWindow bw;
    bw.fx.f().Params.MaxIter = 30;
    QVERIFY(bw.prepare());
    const engine::TVxWork old = bw.fx.f().Data;
    ui::ImageView* view = bw.fx.w().mainImage();
    bw.binding->start(ui::ModeKind::TouchUp);
    sendMouse(view, QEvent::MouseButtonPress, QPoint(30, 20));
    sendMouse(view, QEvent::MouseMove, QPoint(90, 70));
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TRetoucheForm*>(QApplication::activeModalWidget());
        if (!form)
            return;
        form->findChild<QSpinBox*>(QStringLiteral("IterationEdit"))->setValue(400);
        form->accept();
    });
    QSignalSpy finished(&bw.fx.w(), &ui::TMainForm::computationFinished);
    sendMouse(view, QEvent::MouseButtonRelease, QPoint(90, 70));
    QVERIFY(finished.wait(120000));
    QCOMPARE(bw.fx.f().Params.MaxIter, uint16_t(400));
    QVERIFY(!bw.binding->controller().touchUpRunning());
    QVERIFY(!bw.binding->controller().lingering().touchUpRect);
    int changed = 0;
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c) {
            const bool inside = c >= 30 && c <= 90 && r >= 20 && r <= 70;
            if (!inside)
                QCOMPARE(bw.fx.f().Data.at(r, c), old.at(r, c));
            else
                changed += bw.fx.f().Data.at(r, c) != old.at(r, c);
        }
    QVERIFY(changed > 0);
}


// A touch-up refused because its larger arrays cannot be had beeps once, as the window's other
// refusals do, whether or not the end of a computation beeps; the message goes through the window's
// error dialog and the picture stays as it was. The allocation seam (engine/AllocationFault.h) makes
// the growth fail. The rows without a seam are the controls: a touch-up that runs beeps by the
// preference only.
void TestModes::windowTouchUpRefusedForLackOfMemoryBeeps_data()
{
    QTest::addColumn<int>("failingStep");  // an engine::AllocationStep, or -1 for none
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("beepAtEnd");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("beeps");
    const int orbits = int(engine::AllocationStep::Orbits), tables = int(engine::AllocationStep::ColourTables);
    const int p8 = engine::PixelFormat8, p24 = engine::PixelFormat24;
    const QString noOrbits = QStringLiteral("No Memory for Orbits"), noColour = QStringLiteral("No Memory Color space");
    QTest::newRow("orbits refused, end beep on") << orbits << int(engine::AlgDistance) << p8 << true << noOrbits << 1;
    QTest::newRow("orbits refused, end beep off") << orbits << int(engine::AlgDistance) << p8 << false << noOrbits << 1;
    QTest::newRow("colour space refused, end beep on") << tables << int(engine::AlgLevel) << p24 << true << noColour << 1;
    QTest::newRow("colour space refused, end beep off") << tables << int(engine::AlgLevel) << p24 << false << noColour << 1;
    QTest::newRow("done, end beep on") << -1 << int(engine::AlgDistance) << p24 << true << QString() << 1;
    QTest::newRow("done, end beep off") << -1 << int(engine::AlgDistance) << p24 << false << QString() << 0;
}

void TestModes::windowTouchUpRefusedForLackOfMemoryBeeps()
{
    QFETCH(int, failingStep);
    QFETCH(int, algorithm);
    QFETCH(int, format);
    QFETCH(bool, beepAtEnd);
    QFETCH(QString, message);
    QFETCH(int, beeps);
    vxtest::WindowFixture fx({}, beepAtEnd ? "[Prefer]\nBeep=1\n" : "[Prefer]\nBeep=0\n");
    fx.f().Params.Algorithm = uint8_t(algorithm);
    fx.f().Params.MaxIter = 30;
    QVERIFY(fx.allocate(W, H, uint8_t(format)));
    fx.f().Params.Step = Step;
    fx.f().UpdateCorners();
    QVERIFY(fx.computeAndWait());
    const engine::TVxWork before = fx.f().Data;
    const int beepsBefore = fx.services.beeps;

    std::optional<engine::ScopedAllocationFailure> failure;
    if (failingStep >= 0)
        failure.emplace(engine::AllocationStep(failingStep));
    QVERIFY(fx.trigger("MenuRet"));
    ui::ImageView* view = fx.w().mainImage();
    sendMouse(view, QEvent::MouseButtonPress, QPoint(30, 20));
    sendMouse(view, QEvent::MouseMove, QPoint(90, 70));
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TRetoucheForm*>(QApplication::activeModalWidget());
        if (!form)
            return;
        form->findChild<QSpinBox*>(QStringLiteral("IterationEdit"))->setValue(400);
        form->accept();
    });
    QSignalSpy finished(&fx.w(), &ui::TMainForm::computationFinished);
    sendMouse(view, QEvent::MouseButtonRelease, QPoint(90, 70));
    if (message.isEmpty())
        QVERIFY(finished.wait(120000));
    else
        QTRY_VERIFY(!fx.services.errors.isEmpty());  // refused before anything computes
    QVERIFY(!fx.w().runner().busy());

    QCOMPARE(fx.services.beeps - beepsBefore, beeps);
    QCOMPARE(fx.services.errors, message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(!engine::allocationFailureArmed());  // the growth did reach the armed check
    QVERIFY(!fx.w().modes().controller().touchUpRunning());
    if (message.isEmpty()) {
        QCOMPARE(fx.f().Params.MaxIter, uint16_t(400));
    } else {
        QCOMPARE(fx.f().Params.MaxIter, uint16_t(30));
        QVERIFY(vxtest::sameData(fx.f().Data, before));
    }
}

namespace {

struct ZoomResult {
    bool ok = false;
    double step = 0, centreX = 0, centreY = 0;
};

enum class MoveBy { Nothing, Mouse, Keyboard };

// Zooms the window's computed picture through the Zoom command on the rectangle (20, 30)-(60, 60),
// moved 7 pixels right and 5 up by a drag or by the arrow keys, then applied with Enter.
ZoomResult zoomMovedBy(MoveBy how)
{
    vxtest::WindowFixture fx;
    ZoomResult r;
    if (!fx.allocate(W, H))
        return r;
    fx.f().Params.Step = Step;
    fx.f().UpdateCorners();
    if (!fx.computeAndWait())
        return r;
    fx.w().runCommand(ui::Cmd::PopZoom);
    ui::ImageView* view = fx.w().mainImage();
    sendMouse(view, QEvent::MouseButtonPress, QPoint(20, 30));
    sendMouse(view, QEvent::MouseMove, QPoint(60, 40));
    sendMouse(view, QEvent::MouseButtonRelease, QPoint(60, 40));
    if (how == MoveBy::Mouse) {
        sendMouse(view, QEvent::MouseButtonPress, QPoint(40, 40));
        sendMouse(view, QEvent::MouseMove, QPoint(47, 35));
        sendMouse(view, QEvent::MouseButtonRelease, QPoint(47, 35));
    } else if (how == MoveBy::Keyboard) {
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);  // 10 right
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(view, Qt::Key_Left);
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(view, Qt::Key_Up);
    }
    QTest::keyClick(view, Qt::Key_Return);
    r.ok = !fx.w().modes().controller().active();
    r.step = fx.f().Params.Step;
    r.centreX = fx.f().Params.CentreX;
    r.centreY = fx.f().Params.CentreY;
    return r;
}

}  // namespace

void TestModes::arrowKeysMoveTheZoomRectangleLikeTheMouse()
{
    const ZoomResult still = zoomMovedBy(MoveBy::Nothing);
    const ZoomResult mouse = zoomMovedBy(MoveBy::Mouse);
    const ZoomResult keys = zoomMovedBy(MoveBy::Keyboard);
    QVERIFY(still.ok && mouse.ok && keys.ok);
    QCOMPARE(keys.step, mouse.step);
    QCOMPARE(keys.centreX, mouse.centreX);
    QCOMPARE(keys.centreY, mouse.centreY);
    // And the rectangle really moved: 7 columns right and 5 rows up of the old step.
    QVERIFY(qAbs(mouse.centreX - still.centreX - 7 * Step) < 1e-12);
    QVERIFY(qAbs(mouse.centreY - still.centreY - 5 * Step) < 1e-12);
}

QTEST_MAIN(TestModes)
#include "tst_modes.moc"
