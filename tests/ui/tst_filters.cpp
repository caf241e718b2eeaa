// The edges and emboss dialogs and the Filters menu of the window.
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include "document/View3D.h"
#include "ui/dialogs/FilterForms.h"
#include "ui/dialogs/PrefForm.h"
#include "ui/ImageView.h"
#include "ui/tools/ProgForm.h"
#include "document/Recolour.h"
#include "UiTestUtil.h"

using namespace vxtest;
using colour::filters::FilterKind;

class TestFilters : public QObject {
    Q_OBJECT
private slots:
    void edgesControlsReachTheSettings_data();
    void edgesControlsReachTheSettings();
    void edgesShowsOnlyTheChoicesThatApply();
    void reliefControlsReachTheSettings_data();
    void reliefControlsReachTheSettings();
    void dialogsSpeakBothLanguages();
    void reliefFromTheMenuFiltersAndChecks();
    void cancelLeavesPictureAndMark();
    void noneShowsThePlainPictureAgain();
    void escapeLeavesTheLowerRowsUnfiltered();
};

void TestFilters::edgesControlsReachTheSettings_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("background");
    QTest::addColumn<int>("brightness");
    QTest::newRow("fixed, fixed") << 0 << 0 << 100;
    QTest::newRow("fractal lines") << 1 << 0 << 100;
    QTest::newRow("fractal background, dark") << 0 << 1 << 0;
    QTest::newRow("both from the fractal, bright") << 1 << 1 << 200;
}

void TestFilters::edgesControlsReachTheSettings()
{
    QFETCH(int, lines);
    QFETCH(int, background);
    QFETCH(int, brightness);
    ui::TEdgesForm form(colour::filters::EdgesSettings{}, 0, 8);
    form.findChild<QComboBox*>(QStringLiteral("EdgesLineBox"))->setCurrentIndex(lines);
    form.findChild<QComboBox*>(QStringLiteral("EdgesBkgdBox"))->setCurrentIndex(background);
    form.findChild<QSpinBox*>(QStringLiteral("BkgdSpinEdit"))->setValue(brightness);
    form.findChild<ui::ColourSwatch*>(QStringLiteral("LinesColorShape"))->setColourBgr(0x123456);
    form.findChild<ui::ColourSwatch*>(QStringLiteral("BkgdColorShape"))->setColourBgr(0xABCDEF);
    form.findChild<ui::ColourSwatch*>(QStringLiteral("BioColorShape"))->setColourBgr(0x010203);
    form.accept();
    colour::filters::EdgesSettings expected;
    expected.LinesFromFractal = lines == 1;
    expected.BackgroundFromFractal = background == 1;
    expected.Brightness = uint8_t(brightness);
    expected.Line = 0x123456;
    expected.Background = 0xABCDEF;
    expected.Biomorph = 0x010203;
    QVERIFY(form.settings() == expected);
}

void TestFilters::edgesShowsOnlyTheChoicesThatApply()
{
    ui::TEdgesForm form(colour::filters::EdgesSettings{}, 0, 8);
    form.show();
    auto* lines = form.findChild<QComboBox*>(QStringLiteral("EdgesLineBox"));
    auto* background = form.findChild<QComboBox*>(QStringLiteral("EdgesBkgdBox"));
    auto* lineColour = form.findChild<QWidget*>(QStringLiteral("LinesColorShape"));
    auto* backgroundColour = form.findChild<QWidget*>(QStringLiteral("BkgdColorShape"));
    auto* brightness = form.findChild<QWidget*>(QStringLiteral("BkgdSpinEdit"));
    QVERIFY(lineColour->isVisible() && backgroundColour->isVisible() && !brightness->isVisible());
    lines->setCurrentIndex(1);
    QVERIFY(!lineColour->isVisible());
    background->setCurrentIndex(1);
    QVERIFY(!backgroundColour->isVisible() && brightness->isVisible());
    background->setCurrentIndex(0);
    QVERIFY(backgroundColour->isVisible() && !brightness->isVisible());
}

void TestFilters::reliefControlsReachTheSettings_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("light");
    QTest::newRow("NW") << "HG" << 0;
    QTest::newRow("NE") << "HD" << 1;
    QTest::newRow("SW") << "BG" << 2;
    QTest::newRow("SE") << "BD" << 3;
}

void TestFilters::reliefControlsReachTheSettings()
{
    QFETCH(QString, radio);
    QFETCH(int, light);
    colour::filters::EmbossSettings start;
    start.LightAngle = colour::filters::Light(3 - light);
    ui::TReliefForm form(start, 1, 8);
    QVERIFY(form.findChild<QRadioButton*>(QStringLiteral("HG"))->isChecked() == (light == 3));
    form.findChild<QSpinBox*>(QStringLiteral("ReliefDeepEdit"))->setValue(17 + light);
    form.findChild<QSpinBox*>(QStringLiteral("ReliefColorEdit"))->setValue(200 + light);
    form.findChild<QRadioButton*>(radio)->setChecked(true);
    form.findChild<ui::ColourSwatch*>(QStringLiteral("BioColorShape"))->setColourBgr(0x00FF00);
    form.accept();
    colour::filters::EmbossSettings expected;
    expected.Deep = uint8_t(17 + light);
    expected.Contrast = uint8_t(200 + light);
    expected.LightAngle = colour::filters::Light(light);
    expected.Biomorph = 0x00FF00;
    QVERIFY(form.settings() == expected);
}

void TestFilters::dialogsSpeakBothLanguages()
{
    ui::TEdgesForm edgesEn(colour::filters::EdgesSettings{}, 0, 8);
    ui::TEdgesForm edgesFr(colour::filters::EdgesSettings{}, 1, 8);
    QCOMPARE(edgesEn.windowTitle(), QStringLiteral("Edges filter"));
    QCOMPARE(edgesFr.windowTitle(), QStringLiteral("Filtre Contours"));
    QCOMPARE(edgesEn.findChild<QWidget*>(QStringLiteral("EdgesLineBox"))->accessibleName(), QStringLiteral("Lines:"));
    QCOMPARE(edgesFr.findChild<QWidget*>(QStringLiteral("EdgesBkgdBox"))->accessibleName(), QStringLiteral("Fond:"));
    QCOMPARE(edgesFr.findChild<QComboBox*>(QStringLiteral("EdgesLineBox"))->itemText(0), QStringLiteral("Couleur fixe"));
    ui::TReliefForm reliefEn(colour::filters::EmbossSettings{}, 0, 8);
    ui::TReliefForm reliefFr(colour::filters::EmbossSettings{}, 1, 8);
    QCOMPARE(reliefEn.windowTitle(), QStringLiteral("Emboss filter"));
    QCOMPARE(reliefFr.windowTitle(), QStringLiteral("Filtre Relief"));
    QCOMPARE(reliefEn.findChild<QWidget*>(QStringLiteral("ReliefDeepEdit"))->accessibleName(), QStringLiteral("Deep:"));
    QCOMPARE(reliefFr.findChild<QWidget*>(QStringLiteral("ReliefColorEdit"))->accessibleName(), QStringLiteral("Contraste:"));
    QCOMPARE(reliefFr.findChild<QWidget*>(QStringLiteral("BioColorShape"))->accessibleName(),
             QString::fromUtf8("Couleur Biomorphe:"));
}

void TestFilters::reliefFromTheMenuFiltersAndChecks()
{
    WindowFixture fx;
    fx.allocate(64, 48, engine::PixelFormat24);
    QVERIFY(fx.computeAndWait());
    const colour::ImageBitmap plain = fx.f().Bitmap;
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TReliefForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        form->findChild<QSpinBox*>(QStringLiteral("ReliefDeepEdit"))->setValue(9);
        form->findChild<QRadioButton*>(QStringLiteral("BD"))->setChecked(true);
        form->accept();
    });
    QSignalSpy finished(&fx.w(), &ui::TMainForm::backgroundTaskFinished);
    QVERIFY(fx.trigger("MenuRelief"));
    QVERIFY(finished.count() == 1 || finished.wait(60000));
    QVERIFY(fx.w().isIdle());
    QVERIFY(fx.action("MenuRelief")->isChecked());
    QVERIFY(!fx.action("MenuNone")->isChecked());
    QVERIFY(!fx.action("MenuEdg")->isChecked());

    // The same pass without the window, on one thread.
    colour::filters::FilterSettings s;
    s.Kind = FilterKind::Emboss;
    s.Emboss.Deep = 9;
    s.Emboss.LightAngle = colour::filters::Light::SE;
    colour::ImageBitmap expected = plain;
    QVERIFY(colour::filters::ApplyFilter(s, fx.f().Data, expected));
    QVERIFY(expected.Pixels != plain.Pixels);
    QVERIFY(fx.f().Bitmap.Pixels == expected.Pixels);
    const uint8_t* px = expected.row(20) + 30 * 3;
    QCOMPARE(fx.w().mainImage()->image().pixel(30, 20), qRgb(px[2], px[1], px[0]));
}

void TestFilters::cancelLeavesPictureAndMark()
{
    WindowFixture fx;
    fx.allocate(64, 48, engine::PixelFormat24);
    QVERIFY(fx.computeAndWait());
    const std::vector<uint8_t> plain = fx.f().Bitmap.Pixels;
    const colour::filters::EdgesSettings before = fx.w().filterSettings().Edges;
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TEdgesForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        form->findChild<QComboBox*>(QStringLiteral("EdgesLineBox"))->setCurrentIndex(1);
        form->reject();
    });
    QVERIFY(fx.trigger("MenuEdg"));
    QVERIFY(fx.w().isIdle());
    QVERIFY(fx.w().filterSettings().Edges == before);
    QVERIFY(fx.f().Bitmap.Pixels == plain);
    QVERIFY(fx.action("MenuNone")->isChecked());
    QVERIFY(!fx.action("MenuEdg")->isChecked());
}

void TestFilters::escapeLeavesTheLowerRowsUnfiltered()
{
    // A large picture (values laid out directly), so that Esc arrives long before the pass could end.
    WindowFixture fx;
    QVERIFY(fx.allocate(3000, 2400, engine::PixelFormat24));
    document::TFractal& f = fx.f();
    for (int r = 0; r < f.Data.height(); ++r)
        for (int c = 0; c < f.Data.width(); ++c)
            f.Data.at(r, c) = uint16_t(1 + (r / 5 + c / 3) % 300);
    document::RecolorAll(f);
    fx.w().pictureChanged();
    const colour::ImageBitmap plain = f.Bitmap;
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TReliefForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        form->accept();
    });
    QSignalSpy finished(&fx.w(), &ui::TMainForm::backgroundTaskFinished);
    QVERIFY(fx.trigger("MenuRelief"));
    auto* progress = fx.w().findChild<ui::TProgForm*>();
    QVERIFY(progress);
    QTest::keyClick(progress, Qt::Key_Escape);
    QVERIFY(finished.count() == 1 || finished.wait(60000));
    QVERIFY(fx.w().isIdle());

    // The whole pass, for comparison.
    colour::filters::FilterSettings s = fx.w().filterSettings();
    s.Kind = FilterKind::Emboss;
    colour::ImageBitmap whole = plain;
    QVERIFY(colour::filters::ApplyFilter(s, f.Data, whole));
    auto changedRows = [&plain](const colour::ImageBitmap& b) {
        int n = 0;
        for (int r = 0; r < b.Height; ++r)
            n += std::memcmp(b.row(r), plain.row(r), size_t(b.Width) * 3) != 0;
        return n;
    };
    const int filtered = changedRows(f.Bitmap), all = changedRows(whole);
    QVERIFY2(filtered < all, qPrintable(QStringLiteral("%1 of %2 rows").arg(filtered).arg(all)));
    // The last row is as it was; every filtered row is the pass's own.
    const int last = plain.Height - 1;
    QVERIFY(std::memcmp(f.Bitmap.row(last), plain.row(last), size_t(plain.Width) * 3) == 0);
    for (int r = 0; r < plain.Height; ++r)
        if (std::memcmp(f.Bitmap.row(r), plain.row(r), size_t(plain.Width) * 3) != 0)
            QVERIFY2(std::memcmp(f.Bitmap.row(r), whole.row(r), size_t(plain.Width) * 3) == 0, qPrintable(QString::number(r)));
    // The window shows the document's picture.
    const uint8_t* px = f.Bitmap.row(last) + 30 * 3;
    QCOMPARE(fx.w().mainImage()->image().pixel(30, last), qRgb(px[2], px[1], px[0]));
}

void TestFilters::noneShowsThePlainPictureAgain()
{
    WindowFixture fx;
    fx.allocate(64, 48, engine::PixelFormat24);
    QVERIFY(fx.computeAndWait());
    fx.f().Modified = true;
    const std::vector<uint8_t> plain = fx.f().Bitmap.Pixels;
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TEdgesForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        form->accept();  // fixed black lines on white
    });
    QSignalSpy finished(&fx.w(), &ui::TMainForm::backgroundTaskFinished);
    QVERIFY(fx.trigger("MenuEdg"));
    QVERIFY(finished.count() == 1 || finished.wait(60000));
    QVERIFY(fx.action("MenuEdg")->isChecked());
    QVERIFY(fx.f().Bitmap.Pixels != plain);
    QVERIFY(fx.trigger("MenuNone"));
    QVERIFY(fx.action("MenuNone")->isChecked());
    QVERIFY(!fx.action("MenuEdg")->isChecked());
    QVERIFY(fx.f().Bitmap.Pixels == plain);
    QVERIFY(fx.f().Modified);  // kept as it was
}

QTEST_MAIN(TestFilters)
#include "tst_filters.moc"
