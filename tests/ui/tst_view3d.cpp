// The 3D parameters dialog and the 3D view of the window: drawing the relief and going back to the plain picture.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include "colour/Fract3D.h"
#include "document/View3D.h"
#include "ui/dialogs/Par3DForm.h"
#include "ui/ImageView.h"
#include "ui/tools/ProgForm.h"
#include "UiTestUtil.h"

using namespace vxtest;

namespace {

ui::TPar3DForm::Context context(int width, int height, uint64_t freeBytes, bool view3DShown = false, int language = 0)
{
    ui::TPar3DForm::Context c;
    c.width = width;
    c.height = height;
    c.maxIter = 400;
    c.view3DShown = view3DShown;
    c.language = language;
    c.freeMemory = [freeBytes] { return freeBytes; };
    return c;
}

QSpinBox* spin(QWidget* form, const char* name)
{
    return form->findChild<QSpinBox*>(QLatin1String(name));
}

// Types `text` into a spin box over what it shows, then leaves the field (Enter).
void typeInto(QSpinBox* box, const QString& text)
{
    QLineEdit* edit = box->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// The colour a white pixel takes under the cyan XOR line: red.
constexpr QRgb XorOnWhite = qRgb(255, 0, 0);

}  // namespace

class TestView3D : public QObject {
    Q_OBJECT
private slots:
    void azimuthIsNormalisedWhenLeft_data();
    void azimuthIsNormalisedWhenLeft();
    void arrowStepTakesTheAzimuthAtOnce();
    void focalLengthFollowsPerspective();
    void resetKeepsAnglesAndCheckBoxes();
    void memoryRule_data();
    void memoryRule();
    void controlsAreNamedInBothLanguages_data();
    void controlsAreNamedInBothLanguages();
    void okFromTheMenuWritesAndDraws3D();
    void cancelLeavesTheDocument();
    void escapeStopsTheDrawingAndKeepsWhatWasDrawn();
    void draw2DShowsThePlainPictureAgain();
    void verticalShiftPickedByKeyboardDrawsAgain();
};

void TestView3D::azimuthIsNormalisedWhenLeft_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("shown");
    QTest::newRow("725 -> 5") << "725" << 5;
    QTest::newRow("-1 -> 359") << "-1" << 359;
    QTest::newRow("360 -> 0") << "360" << 0;
    QTest::newRow("359 stays") << "359" << 359;
    QTest::newRow("720 -> 0") << "720" << 0;
}

void TestView3D::azimuthIsNormalisedWhenLeft()
{
    QFETCH(QString, typed);
    QFETCH(int, shown);
    colour::View3DParams p;  // azimuth 135
    ui::TPar3DForm form(p, context(64, 48, 1u << 30));
    form.show();
    auto* image = form.findChild<ui::AngleIndicator*>(QStringLiteral("AzImage"));
    QVERIFY(image);
    QCOMPARE(image->image().pixel(image->endPoint(135)), XorOnWhite);
    QSpinBox* az = spin(&form, "AzSpinEdit");
    typeInto(az, typed);
    QCOMPARE(az->value(), shown);
    QCOMPARE(image->angle(), shown);
    // The old line is erased by the XOR, the new one drawn.
    if (image->endPoint(shown) != image->endPoint(135))
        QCOMPARE(image->image().pixel(image->endPoint(135)), qRgb(255, 255, 255));
    QCOMPARE(image->image().pixel(image->endPoint(shown)), XorOnWhite);
    form.accept();
    QCOMPARE(form.params().Azimuth, shown);
}

void TestView3D::arrowStepTakesTheAzimuthAtOnce()
{
    colour::View3DParams p;
    p.Azimuth = 359;
    p.Elevation = 89;
    ui::TPar3DForm form(p, context(64, 48, 1u << 30));
    form.show();
    QSpinBox* az = spin(&form, "AzSpinEdit");
    az->stepUp();
    QCOMPARE(az->value(), 0);
    az->stepDown();
    QCOMPARE(az->value(), 359);
    QSpinBox* el = spin(&form, "ElSpinEdit");
    el->stepUp();
    auto* elevation = form.findChild<ui::AngleIndicator*>(QStringLiteral("ElevImage"));
    QCOMPARE(elevation->angle(), 90);
    // Straight up: the end is 32 pixels above the pivot.
    QCOMPARE(elevation->endPoint(90), elevation->pivot() + QPoint(0, -32));
    QCOMPARE(elevation->image().pixel(elevation->endPoint(90)), XorOnWhite);
    QCOMPARE(elevation->image().pixel(elevation->endPoint(89)), qRgb(255, 255, 255));
}

void TestView3D::focalLengthFollowsPerspective()
{
    colour::View3DParams p;
    p.Perspective = 1;
    ui::TPar3DForm form(p, context(64, 48, 1u << 30));
    QSpinBox* focal = spin(&form, "DistSpinEdit");
    auto* perspective = form.findChild<QCheckBox*>(QStringLiteral("PersCheckBox"));
    QVERIFY(focal->isEnabled());
    perspective->setChecked(false);
    QVERIFY(!focal->isEnabled());
    perspective->setChecked(true);
    QVERIFY(focal->isEnabled());

    p.Perspective = 0;
    ui::TPar3DForm flat(p, context(64, 48, 1u << 30));
    QVERIFY(!spin(&flat, "DistSpinEdit")->isEnabled());
}

void TestView3D::resetKeepsAnglesAndCheckBoxes()
{
    colour::View3DParams p;
    p.Azimuth = 20;
    p.Elevation = 70;
    p.ZScale = 250;
    p.ZLimit = 100;
    p.FocalLength = 2500;
    p.VerticalShift = -120;
    p.Inverted3D = 0;
    p.Perspective = 0;
    ui::TPar3DForm form(p, context(64, 48, 1u << 30));
    form.findChild<QPushButton*>(QStringLiteral("DefButton"))->click();
    QCOMPARE(spin(&form, "EchZSpinEdit")->value(), 30);
    QCOMPARE(spin(&form, "LimZSpinEdit")->value(), 400);  // the document's MaxIter
    QCOMPARE(spin(&form, "DistSpinEdit")->value(), 100);
    QCOMPARE(spin(&form, "ShiftSpinEdit")->value(), 0);
    form.accept();
    colour::View3DParams expected = p;
    expected.ZScale = 30;
    expected.ZLimit = 400;
    expected.FocalLength = 1000;
    expected.VerticalShift = 0;
    QVERIFY(form.params() == expected);
}

void TestView3D::memoryRule_data()
{
    // 43 x 100 pixels need 8600 bytes: exactly 86 % of 10000.
    QTest::addColumn<qulonglong>("freeBytes");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("available");
    QTest::addColumn<bool>("fits");
    QTest::newRow("exactly 0.86 x available") << 10000ull << false << "10,000" << true;
    QTest::newRow("one byte less free") << 9999ull << false << "9,999" << false;
    QTest::newRow("plenty") << 123456789ull << false << "123,456,789" << true;
    QTest::newRow("the shown relief counts as free") << 1400ull << true << "10,000" << true;
    QTest::newRow("the shown relief, one byte short") << 1399ull << true << "9,999" << false;
}

void TestView3D::memoryRule()
{
    QFETCH(qulonglong, freeBytes);
    QFETCH(bool, shown);
    QFETCH(QString, available);
    QFETCH(bool, fits);
    colour::View3DParams p;
    ui::TPar3DForm form(p, context(43, 100, freeBytes, shown));
    form.show();
    QCOMPARE(form.neededBytes(), 8600ull);
    QCOMPARE(form.memoryFits(), fits);
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("AvailableRAMLabel"))->text(), available);
    auto* needed = form.findChild<QLabel*>(QStringLiteral("NeededRAMLabel"));
    QCOMPARE(needed->text(), QStringLiteral("8,600"));
    QVERIFY(needed->styleSheet().contains(fits ? QStringLiteral("blue") : QStringLiteral("red")));
    QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("OKButton"))->isEnabled(), fits);
    // OK cannot be forced past the check.
    form.accept();
    QCOMPARE(form.result() == QDialog::Accepted, fits);
}

void TestView3D::controlsAreNamedInBothLanguages_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("English") << 0
        << QStringList{"Azimuth", "Vertical angle", "Z Scale:", "Z Limit:", "Focal Length:", "Vertical shift:",
                       "Inverted 3D", "Draw in perspective", "Available RAM:", "Necessary RAM for 3D:"};
    QTest::newRow("French") << 1
        << QStringList{"Azimut", QString::fromUtf8("Elévation"), "Echelle Z:", "Limite Z:", "Dist. focale:",
                       QString::fromUtf8("Dépl. vertical:"), QString::fromUtf8("Projection négative"),
                       "Projection en perspective", "RAM disponible:", QString::fromUtf8("RAM nécessaire pour 3D:")};
}

void TestView3D::controlsAreNamedInBothLanguages()
{
    QFETCH(int, language);
    QFETCH(QStringList, names);
    const char* objects[] = {"AzSpinEdit", "ElSpinEdit", "EchZSpinEdit", "LimZSpinEdit", "DistSpinEdit",
                             "ShiftSpinEdit", "ProjCheckBox", "PersCheckBox", "AvailableRAMLabel", "NeededRAMLabel"};
    ui::TPar3DForm form(colour::View3DParams{}, context(64, 48, 1u << 30, false, language));
    QCOMPARE(form.windowTitle(), language == 0 ? QStringLiteral("3D Parameters") : QString::fromUtf8("Paramètres 3D"));
    for (int i = 0; i < names.size(); ++i) {
        auto* w = form.findChild<QWidget*>(QLatin1String(objects[i]));
        QVERIFY2(w, objects[i]);
        QCOMPARE(w->accessibleName(), names[i]);
    }
    QVERIFY(!form.findChild<QPushButton*>(QStringLiteral("DefButton"))->text().isEmpty());
}

void TestView3D::okFromTheMenuWritesAndDraws3D()
{
    WindowFixture fx;
    fx.allocate(64, 48);
    QVERIFY(fx.computeAndWait());
    fx.f().Modified = false;
    QVERIFY(!fx.action("MenuDraw2D")->isEnabled());
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TPar3DForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        typeInto(spin(form, "AzSpinEdit"), QStringLiteral("400"));
        spin(form, "ElSpinEdit")->setValue(60);
        spin(form, "EchZSpinEdit")->setValue(3);
        spin(form, "ShiftSpinEdit")->setValue(-7);
        form->findChild<QCheckBox*>(QStringLiteral("PersCheckBox"))->setChecked(false);
        form->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    });
    QSignalSpy finished(&fx.w(), &ui::TMainForm::backgroundTaskFinished);
    QVERIFY(fx.trigger("Menu3DParam"));
    colour::View3DParams expected;
    expected.Azimuth = 40;
    expected.Elevation = 60;
    expected.ZScale = 3;
    expected.ZLimit = 250;
    expected.VerticalShift = -7;
    expected.Perspective = 0;
    QVERIFY(fx.f().view3D() == expected);
    QVERIFY(finished.count() == 1 || finished.wait(60000));
    QVERIFY(fx.w().isIdle());
    QVERIFY(fx.f().View3D);
    QVERIFY(fx.f().Modified);
    QVERIFY(fx.action("MenuDraw2D")->isEnabled());

    // The same relief drawn without the window, from the same values, on one thread.
    auto ref = referenceImage(fx.f().Params, fx.f().PixelFormat);
    ref->view3D() = expected;
    colour::TFract3D view;
    QCOMPARE(document::Draw3D(*ref, view, 1), document::Draw3DResult::Done);
    QVERIFY(sameData(fx.f().Data3D, ref->Data3D));
    QVERIFY(fx.f().Bitmap.Pixels == ref->Bitmap.Pixels);
    int drawn = 0;
    for (int r = 0; r < ref->Data3D.height(); ++r)
        for (int c = 0; c < ref->Data3D.width(); ++c)
            drawn += ref->Data3D.at(r, c) != 0;
    QVERIFY2(drawn > 64 * 48 / 8, qPrintable(QString::number(drawn)));
    // The picture on screen is the relief's.
    const QImage shown = fx.w().mainImage()->image();
    const colour::PaletteEntry e = fx.f().Palette.entries[fx.f().Bitmap.row(24)[32]];
    QCOMPARE(shown.pixel(32, 24), qRgb(e.red, e.green, e.blue));
}

void TestView3D::escapeStopsTheDrawingAndKeepsWhatWasDrawn()
{
    // A large relief (values laid out directly), so that Esc arrives long before the drawing could end.
    WindowFixture fx;
    QVERIFY(fx.allocate(3000, 2400));
    document::TFractal& f = fx.f();
    for (int r = 0; r < f.Data.height(); ++r)
        for (int c = 0; c < f.Data.width(); ++c)
            f.Data.at(r, c) = uint16_t(1 + (r / 8 + c / 8) % 200);
    QSignalSpy finished(&fx.w(), &ui::TMainForm::backgroundTaskFinished);
    fx.w().draw3D();
    auto* progress = fx.w().findChild<ui::TProgForm*>();
    QVERIFY(progress);
    QVERIFY(progress->isVisible());
    QTest::keyClick(progress, Qt::Key_Escape);
    QVERIFY(finished.count() == 1 || finished.wait(60000));
    QVERIFY(fx.w().isIdle());
    QVERIFY(fx.w().findChild<ui::TProgForm*>() == nullptr || !fx.w().findChild<ui::TProgForm*>()->isVisible());
    QVERIFY(f.View3D);  // the relief stays as far as it was drawn
    QCOMPARE(fx.panel(0), QString());

    // What was drawn is on screen.
    const QImage shown = fx.w().mainImage()->image();
    for (int c = 0; c < f.Bitmap.Width; c += 7) {
        const colour::PaletteEntry e = f.Palette.entries[f.Bitmap.row(1200)[c]];
        QCOMPARE(shown.pixel(c, 1200), qRgb(e.red, e.green, e.blue));
    }
    auto drawnPixels = [&f] {
        long n = 0;
        for (int r = 0; r < f.Data3D.height(); ++r)
            for (int c = 0; c < f.Data3D.width(); ++c)
                n += f.Data3D.at(r, c) != 0;
        return n;
    };
    const long stopped = drawnPixels();
    // The whole relief, drawn without stopping, covers more.
    colour::TFract3D view;
    QCOMPARE(document::Draw3D(f, view, 1), document::Draw3DResult::Done);
    const long whole = drawnPixels();
    QVERIFY2(stopped < whole, qPrintable(QStringLiteral("%1 of %2").arg(stopped).arg(whole)));
}

void TestView3D::cancelLeavesTheDocument()
{
    WindowFixture fx;
    fx.allocate(64, 48);
    QVERIFY(fx.computeAndWait());
    fx.f().Modified = false;
    const colour::View3DParams before = fx.f().view3D();
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TPar3DForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        spin(form, "EchZSpinEdit")->setValue(200);
        form->findChild<QPushButton*>(QStringLiteral("DefButton"))->click();
        spin(form, "ShiftSpinEdit")->setValue(99);
        form->reject();
    });
    QVERIFY(fx.trigger("Menu3DParam"));
    QVERIFY(fx.f().view3D() == before);
    QVERIFY(!fx.f().Modified);
    QVERIFY(!fx.f().View3D);
    QVERIFY(fx.w().isIdle());
}

void TestView3D::draw2DShowsThePlainPictureAgain()
{
    WindowFixture fx;
    fx.allocate(64, 48, engine::PixelFormat24);
    QVERIFY(fx.computeAndWait());
    const std::vector<uint8_t> plain = fx.f().Bitmap.Pixels;
    QSignalSpy finished(&fx.w(), &ui::TMainForm::backgroundTaskFinished);
    fx.w().draw3D();
    QVERIFY(finished.count() == 1 || finished.wait(60000));
    QVERIFY(fx.f().View3D);
    QVERIFY(fx.f().Bitmap.Pixels != plain);
    // The 3D popup's "Draw 2D".
    fx.w().runCommand(ui::Cmd::Pop3DDraw2D);
    QVERIFY(!fx.f().View3D);
    QVERIFY(fx.f().Bitmap.Pixels == plain);
    QVERIFY(!fx.action("MenuDraw2D")->isEnabled());
    const QImage shown = fx.w().mainImage()->image();
    const uint8_t* px = fx.f().Bitmap.row(10) + 20 * 3;
    QCOMPARE(shown.pixel(20, 10), qRgb(px[2], px[1], px[0]));
}

void TestView3D::verticalShiftPickedByKeyboardDrawsAgain()
{
    WindowFixture fx;
    fx.allocate(64, 48);
    QVERIFY(fx.computeAndWait());
    fx.f().view3D().ZScale = 3;
    QSignalSpy finished(&fx.w(), &ui::TMainForm::backgroundTaskFinished);
    fx.w().draw3D();
    QVERIFY(finished.count() == 1 || finished.wait(60000));
    // The 3D popup's "Vertical Shift": Enter fixes the origin in the middle, four steps up, Enter.
    fx.w().runCommand(ui::Cmd::Pop3DDeplY);
    QWidget* picture = fx.w().mainImage();
    QTest::keyClick(picture, Qt::Key_Return);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(picture, Qt::Key_Up);
    QCOMPARE(fx.panel(4).trimmed(), QString::fromUtf8("Déplacement Y: 4"));  // the window starts in French
    QTest::keyClick(picture, Qt::Key_Return);
    QCOMPARE(fx.f().VerticalShift, 4);
    QVERIFY(finished.count() == 2 || finished.wait(60000));
    QVERIFY(fx.w().isIdle());
    QVERIFY(fx.f().View3D);
    auto ref = referenceImage(fx.f().Params, fx.f().PixelFormat);
    ref->view3D() = fx.f().view3D();
    colour::TFract3D view;
    QCOMPARE(document::Draw3D(*ref, view, 1), document::Draw3DResult::Done);
    QVERIFY(sameData(fx.f().Data3D, ref->Data3D));
}

QTEST_MAIN(TestView3D)
#include "tst_view3d.moc"
