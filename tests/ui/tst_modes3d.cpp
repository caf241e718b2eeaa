// The picks on the 3D view: a new azimuth and the vertical shift, each ending in a new drawing.
#include <QtTest>
#include <deque>

#include "colour/Fract3D.h"
#include "document/Computation.h"
#include "document/Fractal.h"
#include "storage/Workspace.h"
#include "ui/modes/Canvas.h"
#include "ui/modes/ModeController.h"
#include "ui/modes/Modes3D.h"

namespace {

constexpr int W = 120, H = 90;

std::unique_ptr<document::TFractal> computed()
{
    auto f = std::make_unique<document::TFractal>();
    storage::ResetToDefaults(*f);
    storage::AllocImage(*f, W, H, engine::PixelFormat8, true);
    f->UpdateCorners();
    document::ComputeCommand(*f, true, nullptr);
    return f;
}

QImage picture(const document::TFractal& f)
{
    QImage img(f.Bitmap.Width, f.Bitmap.Height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const colour::PaletteEntry& e : f.Palette.entries)
        table.append(qRgb(e.red, e.green, e.blue));
    img.setColorTable(table);
    for (int r = 0; r < img.height(); ++r)
        std::memcpy(img.scanLine(r), f.Bitmap.row(r), size_t(img.width()));
    return img;
}

class Host3D : public ui::ModeHost {
public:
    Host3D(document::TFractal& f, QImage& image, const colour::TFract3D* view)
        : m_fractal(f), m_canvas(image), m_view(view) {}

    document::TFractal& fractal() override { return m_fractal; }
    ui::Canvas& canvas() override { return m_canvas; }
    int language() const override { return m_language; }
    void showStatus(const QString& message) override { statuses << message; }
    void setModeCursor(const QCursor&) override {}
    void setTimerEnabled(bool) override {}
    uint32_t lineColour() const override { return 0x0000FF; }
    uint16_t askTouchUpIterations(uint16_t, uint16_t) override { return 0; }
    void startTouchUp() override {}
    const colour::TFract3D* view3D() override { return m_view; }
    void redraw3D() override { ++redraws; }

    QString status() const { return statuses.isEmpty() ? QStringLiteral("<none>") : statuses.last(); }
    QStringList statuses;
    int redraws = 0;
    int m_language = 0;

private:
    document::TFractal& m_fractal;
    ui::ImageCanvas m_canvas;
    const colour::TFract3D* m_view;
};

ui::MouseEvent at(int x, int y, Qt::MouseButton button = Qt::LeftButton)
{
    return ui::MouseEvent{QPointF(x, y), QPoint(x, y), button};
}

// Azimuth 0, elevation 90, no perspective: the picture turned by a half turn, heights without effect.
colour::TFract3D halfTurn()
{
    colour::View3DParams p;
    p.Azimuth = 0;
    p.Elevation = 90;
    p.Perspective = 0;
    colour::TFract3D view;
    view.Init(p, W, H, engine::PixelFormat8);
    return view;
}

}  // namespace

class TestModes3D : public QObject {
    Q_OBJECT
private slots:
    void azimuthFollowsTheMouse_data();
    void azimuthFollowsTheMouse();
    void azimuthRightClickChangesNothing();
    void compassLettersAtTheFrame();
    void azimuthByKeyboard();
    void verticalShiftAddsUp();
    void verticalShiftInFrench();
    void withoutThe3DViewTheAzimuthModeEnds();
};

void TestModes3D::azimuthFollowsTheMouse_data()
{
    // Half turn: a screen point above the centre shows a source point below it.
    QTest::addColumn<QPoint>("mouse");
    QTest::addColumn<int>("degrees");
    QTest::newRow("above on screen: south") << QPoint(60, 10) << 180;
    QTest::newRow("below on screen: north") << QPoint(60, 80) << 0;
    QTest::newRow("right on screen: west") << QPoint(100, 45) << 270;
    QTest::newRow("left on screen: east") << QPoint(10, 45) << 90;
}

void TestModes3D::azimuthFollowsTheMouse()
{
    QFETCH(QPoint, mouse);
    QFETCH(int, degrees);
    auto f = computed();
    const colour::TFract3D view = halfTurn();
    QImage image = picture(*f);
    const QImage before = image.copy();
    Host3D host(*f, image, &view);
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::Azimuth3D);
    QVERIFY(modes.active());
    QCOMPARE(host.status(), QStringLiteral("Azimuth: "));
    auto* mode = dynamic_cast<ui::Azimuth3DMode*>(modes.mode());
    QVERIFY(mode);
    QCOMPARE(mode->pivot(), QPoint(60, 45));
    // The base frame is drawn: with the half turn the horizontal centre line stays on the pivot's row.
    QVERIFY(image != before);
    QVERIFY(image.pixelIndex(20, 45) != before.pixelIndex(20, 45));
    modes.mouseMove(at(mouse.x(), mouse.y()));
    QCOMPARE(host.status(), QStringLiteral("Azimuth: ") + QString::number(degrees));
    QCOMPARE(degrees, view.AzimuthFromPoint(mouse.x(), mouse.y()));
    modes.mousePress(at(mouse.x(), mouse.y()));
    QVERIFY(!modes.active());
    QCOMPARE(f->Azimuth, degrees);
    QCOMPARE(host.redraws, 1);
    QCOMPARE(host.status(), QString());
    QCOMPARE(image, before);  // frame and rubber line taken away
}

void TestModes3D::azimuthRightClickChangesNothing()
{
    auto f = computed();
    const colour::TFract3D view = halfTurn();
    QImage image = picture(*f);
    const QImage before = image.copy();
    Host3D host(*f, image, &view);
    ui::ModeController modes(host);
    const int azimuth = f->Azimuth;
    modes.start(ui::ModeKind::Azimuth3D);
    modes.mouseMove(at(60, 10));
    modes.mousePress(at(60, 10, Qt::RightButton));
    QVERIFY(!modes.active());
    QCOMPARE(f->Azimuth, azimuth);
    QCOMPARE(host.redraws, 0);
    QCOMPARE(image, before);
}

void TestModes3D::compassLettersAtTheFrame()
{
    auto f = computed();
    const colour::TFract3D view = halfTurn();
    QImage image = picture(*f);
    const QImage before = image.copy();
    Host3D host(*f, image, &view);
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::Azimuth3D);
    auto* mode = dynamic_cast<ui::Azimuth3DMode*>(modes.mode());
    QVERIFY(mode);
    // With the half turn the north edge's middle lands at the bottom of the screen, the east edge's at the left.
    const uint16_t b = view.compassBase();
    const std::vector<QRect> areas = mode->letterAreas();
    QCOMPARE(int(areas.size()), 4);
    const QPoint expected[4] = {
        QPoint(view.ProjectPoint(W / 2, 0, b).X, view.ProjectPoint(W / 2, 0, b).Y),
        QPoint(view.ProjectPoint(W, H / 2, b).X, view.ProjectPoint(W, H / 2, b).Y),
        QPoint(view.ProjectPoint(W / 2, H, b).X, view.ProjectPoint(W / 2, H, b).Y),
        QPoint(view.ProjectPoint(0, H / 2, b).X, view.ProjectPoint(0, H / 2, b).Y),
    };
    QVERIFY(expected[0].y() > H / 2 && expected[1].x() < W / 2);
    const ui::ImageCanvas canvas(image);
    const uint32_t box = canvas.rawColour(host.lineColour()), ink = canvas.rawColour(0);
    QVERIFY(box != ink);
    int checked = 0;
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(areas[size_t(i)].topLeft(), expected[i]);
        // Each letter box shows the line colour with black strokes where it lies on the picture.
        int boxPixels = 0, inkPixels = 0;
        const QRect visible = areas[size_t(i)].intersected(image.rect());
        for (int y = visible.top(); y <= visible.bottom(); ++y)
            for (int x = visible.left(); x <= visible.right(); ++x) {
                const uint32_t raw = canvas.pixel(x, y);
                boxPixels += raw == box;
                inkPixels += raw == ink;
            }
        if (visible.width() > 4 && visible.height() > 8) {
            ++checked;
            QVERIFY(boxPixels > 0);
            QVERIFY(inkPixels > 0);
        }
    }
    QVERIFY(checked >= 2);  // the west and east letters lie inside the picture
    modes.cancel();
    QCOMPARE(image, before);  // letters, frame and line all taken away
}

void TestModes3D::azimuthByKeyboard()
{
    auto f = computed();
    const colour::TFract3D view = halfTurn();
    QImage image = picture(*f);
    Host3D host(*f, image, &view);
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::Azimuth3D);
    // From the pivot (60, 45), three steps to the right on screen: west.
    for (int i = 0; i < 3; ++i)
        QVERIFY(modes.arrowKey(QPoint(10, 0)));
    QCOMPARE(host.status(), QStringLiteral("Azimuth: 270"));
    QVERIFY(modes.keyPress(Qt::Key_Return));
    QVERIFY(!modes.active());
    QCOMPARE(f->Azimuth, 270);
    QCOMPARE(host.redraws, 1);
}

void TestModes3D::verticalShiftAddsUp()
{
    auto f = computed();
    const colour::TFract3D view = halfTurn();
    QImage image = picture(*f);
    const QImage before = image.copy();
    Host3D host(*f, image, &view);
    ui::ModeController modes(host);
    f->VerticalShift = 5;
    modes.start(ui::ModeKind::VerticalShift);
    QCOMPARE(host.status(), QStringLiteral("Y Shift: origin"));
    modes.mouseMove(at(30, 20));  // no line before the origin
    QCOMPARE(image, before);
    modes.mousePress(at(30, 50));
    QVERIFY(modes.active());
    QVERIFY(image != before);  // the line at the origin's row
    modes.mouseMove(at(70, 20));
    QCOMPARE(host.status(), QStringLiteral("Y Shift: 30"));
    modes.mouseMove(at(70, 60));
    QCOMPARE(host.status(), QStringLiteral("Y Shift: -10"));
    modes.mousePress(at(70, 60));
    QVERIFY(!modes.active());
    QCOMPARE(f->VerticalShift, -5);
    QCOMPARE(host.redraws, 1);
    QCOMPARE(image, before);

    // A second pick adds to the first; the keyboard works too.
    modes.start(ui::ModeKind::VerticalShift);
    modes.mousePress(at(10, 40));
    QVERIFY(modes.arrowKey(QPoint(0, -7)));
    QCOMPARE(host.status(), QStringLiteral("Y Shift: 7"));
    QVERIFY(modes.keyPress(Qt::Key_Enter));
    QCOMPARE(f->VerticalShift, 2);
    QCOMPARE(host.redraws, 2);

    // Right button: nothing changes.
    modes.start(ui::ModeKind::VerticalShift);
    modes.mousePress(at(10, 40));
    modes.mousePress(at(10, 20, Qt::RightButton));
    QVERIFY(!modes.active());
    QCOMPARE(f->VerticalShift, 2);
    QCOMPARE(host.redraws, 2);
    QCOMPARE(image, before);
}

void TestModes3D::verticalShiftInFrench()
{
    auto f = computed();
    QImage image = picture(*f);
    const colour::TFract3D view = halfTurn();
    Host3D host(*f, image, &view);
    host.m_language = 1;
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::VerticalShift);
    QCOMPARE(host.status(), QString::fromUtf8("Déplacement Y: origine"));
}

void TestModes3D::withoutThe3DViewTheAzimuthModeEnds()
{
    auto f = computed();
    QImage image = picture(*f);
    const QImage before = image.copy();
    Host3D host(*f, image, nullptr);
    ui::ModeController modes(host);
    modes.start(ui::ModeKind::Azimuth3D);
    QVERIFY(!modes.active());
    QCOMPARE(image, before);
}

QTEST_MAIN(TestModes3D)
#include "tst_modes3d.moc"
