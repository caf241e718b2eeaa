// The cross-section window: filled from the pick on the picture, its zoom steps, its alignment with the
// picture's horizontal scroll, and the row it plots.
#include <QAction>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "UiTestUtil.h"
#include "ui/ImageView.h"
#include "ui/Texts.h"
#include "ui/tools/ProfilForm.h"

namespace {

constexpr int W = 120, H = 90;
constexpr int LabelColumns = 40;  // the labels at the left may cover the line there

bool isGreen(QRgb c)
{
    return (c & 0xFFFFFFu) == 0x00FF00u;
}

// The cross-section of `row`, chosen on the picture as the user does.
ui::TProfilForm* pickRow(vxtest::WindowFixture& fx, int row, int column = 30)
{
    if (!fx.trigger("MenuProfilH"))
        return nullptr;
    QTest::mouseClick(fx.w().mainImage(), Qt::LeftButton, {}, QPoint(column, row));
    return fx.w().profileForm();
}

uint32_t rawAt(const QImage& img, int x, int y)
{
    return img.format() == QImage::Format_Indexed8 ? uint32_t(img.pixelIndex(x, y)) : img.pixel(x, y);
}

// Every column x of the row is plotted at height round(value x client height x zoom / MaxIter), the
// window's column x - scroll; points above the window sit on its top line.
void checkPlottedRow(vxtest::WindowFixture& fx, ui::TProfilForm& form, int row, int scroll, int firstColumn, int lastColumn)
{
    const document::TFractal& f = fx.f();
    const QImage img = form.render();
    const int h = img.height();
    const double k = h * form.profile().Zoom() / f.Params.MaxIter;
    int checked = 0;
    for (int x = firstColumn; x <= lastColumn; ++x) {
        const int wx = x - scroll;
        if (wx < LabelColumns || wx >= img.width())
            continue;
        const int y = std::max(0, h - int(std::lrint(f.Data.at(row, x) * k)));
        // Unzoomed below 1, the band above the maximum's line is black again.
        if (y >= h || (form.profile().Zoom() < 1 && y < h - int(std::lrint(f.Params.MaxIter * k))))
            continue;
        QVERIFY2(isGreen(img.pixel(wx, y)), qPrintable(QStringLiteral("column %1 value %2 at %3,%4").arg(x).arg(f.Data.at(row, x)).arg(wx).arg(y)));
        ++checked;
    }
    QVERIFY2(checked > 20, qPrintable(QString::number(checked)));
}

}  // namespace

class TestProfile : public QObject {
    Q_OBJECT
private slots:
    void zoomStepsAndLimits();
    void plotsTheValuesOfTheRow_data();
    void plotsTheValuesOfTheRow();
    void followsTheHorizontalScroll();
    void closingTakesTheLineOffThePicture();
    void accessibleNameInBothLanguages();
    void keyboardZoom();
    void touchedUpImageShowsItsFirstIterations();
};

void TestProfile::zoomStepsAndLimits()
{
    vxtest::WindowFixture fx;
    fx.w().show();
    fx.f().Params.MaxIter = 50;
    QVERIFY(fx.allocate(W, H));
    QVERIFY(fx.computeAndWait());
    ui::TProfilForm* form = pickRow(fx, 40);
    QVERIFY(form);
    QVERIFY(form->isVisible());
    QCOMPARE(form->height(), ui::TProfilForm::WindowHeight);
    QVERIFY(form->windowTitle().endsWith(QStringLiteral("  [1X]")));
    auto* zoom = form->findChild<QAction*>(QStringLiteral("Zoom"));
    auto* unzoom = form->findChild<QAction*>(QStringLiteral("UnZoom"));
    QVERIFY(zoom && unzoom);
    // 50 / 4 = 12.5 allows a third doubling; 50 / 8 = 6.25 does not.
    for (double z : {2.0, 4.0, 8.0}) {
        QVERIFY(zoom->isEnabled());
        zoom->trigger();
        QCOMPARE(form->profile().Zoom(), z);
    }
    QVERIFY(!zoom->isEnabled());
    zoom->trigger();
    QCOMPARE(form->profile().Zoom(), 8.0);
    QVERIFY(form->windowTitle().endsWith(QStringLiteral("  [8X]")));
    for (double z : {4.0, 2.0, 1.0, 0.5, 0.25}) {
        QVERIFY(unzoom->isEnabled());
        unzoom->trigger();
        QCOMPARE(form->profile().Zoom(), z);
    }
    QVERIFY(!unzoom->isEnabled());
    QVERIFY(form->windowTitle().endsWith(QStringLiteral("  [0.25X]")));
    // Another row fills the same window again; the zoom stays.
    QCOMPARE(pickRow(fx, 10), form);
    QCOMPARE(form->profile().Row(), 10);
    QCOMPARE(form->profile().Zoom(), 0.25);
}

void TestProfile::plotsTheValuesOfTheRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("zoomSteps");  // > 0: Zoom X 2, < 0: Zoom / 2
    QTest::newRow("middle row") << H / 2 << 0;
    QTest::newRow("upper row, zoomed in") << 20 << 2;
    QTest::newRow("top row, zoomed out") << 3 << -2;
}

void TestProfile::plotsTheValuesOfTheRow()
{
    QFETCH(int, row);
    QFETCH(int, zoomSteps);
    vxtest::WindowFixture fx;
    fx.w().show();
    fx.f().Params.MaxIter = 60;
    fx.f().Params.Step = 0.02;  // -1.7 .. 0.7 by -0.9 .. 0.9: most rows leave the set
    QVERIFY(fx.allocate(W, H));
    QVERIFY(fx.computeAndWait());
    ui::TProfilForm* form = pickRow(fx, row);
    QVERIFY(form);
    for (int i = 0; i < std::abs(zoomSteps); ++i)
        (zoomSteps > 0 ? form->zoomIn() : form->zoomOut());
    const QString head = QStringLiteral("%1%2  %3").arg(ui::tx(text::ProfileText::Line, fx.w().settings().language())).arg(row)
        .arg(ui::tx(text::ProfileText::PosY, fx.w().settings().language()));
    QVERIFY2(form->windowTitle().startsWith(head), qPrintable(form->windowTitle()));
    checkPlottedRow(fx, *form, row, 0, 0, W - 2);
}

void TestProfile::followsTheHorizontalScroll()
{
    constexpr int BigW = 1500, BigH = 300;
    vxtest::WindowFixture fx;
    fx.w().show();
    fx.f().Params.MaxIter = 60;
    fx.f().Params.Step = 0.002;
    QVERIFY(fx.allocate(BigW, BigH));
    QVERIFY(fx.computeAndWait());
    ui::TProfilForm* form = pickRow(fx, 150);
    QVERIFY(form);
    QScrollBar* bar = fx.w().scrollBox()->horizontalScrollBar();
    QVERIFY(bar->maximum() >= 200);
    bar->setValue(200);
    QCOMPARE(form->profile().Offset(), -200);
    checkPlottedRow(fx, *form, 150, 200, 200, std::min(BigW - 2, 200 + form->width() - 1));
    bar->setValue(0);
    QCOMPARE(form->profile().Offset(), 0);
    checkPlottedRow(fx, *form, 150, 0, 0, form->width() - 1);
}

void TestProfile::closingTakesTheLineOffThePicture()
{
    vxtest::WindowFixture fx;
    fx.w().show();
    QVERIFY(fx.allocate(W, H));
    QVERIFY(fx.computeAndWait());
    const QImage before = fx.w().mainImage()->image().copy();
    ui::TProfilForm* form = pickRow(fx, 33);
    QVERIFY(form);
    // The chosen row is drawn across the picture in one colour.
    const QImage& img = fx.w().mainImage()->image();
    const uint32_t line = rawAt(img, 0, 33);
    for (int x = 0; x < W; ++x)
        QCOMPARE(rawAt(img, x, 33), line);
    QVERIFY(img != before);
    form->close();
    QCOMPARE(fx.w().mainImage()->image(), before);
}

void TestProfile::accessibleNameInBothLanguages()
{
    const QString expected[] = {QStringLiteral("Cross section, Line: 12  PosY: "), QStringLiteral("Profil, Ligne: 12  PosY: ")};
    for (int language : {0, 1}) {
        vxtest::WindowFixture fx;
        fx.w().settings().prefs.language = language;
        fx.w().show();
        QVERIFY(fx.allocate(W, H));
        QVERIFY(fx.computeAndWait());
        ui::TProfilForm* form = pickRow(fx, 12);
        QVERIFY(form);
        QVERIFY2(form->accessibleName().startsWith(expected[language]), qPrintable(form->accessibleName()));
        QVERIFY(form->accessibleName().endsWith(QStringLiteral("[1X]")));
    }
}

void TestProfile::keyboardZoom()
{
    vxtest::WindowFixture fx;
    fx.w().show();
    fx.f().Params.MaxIter = 50;
    QVERIFY(fx.allocate(W, H));
    QVERIFY(fx.computeAndWait());
    ui::TProfilForm* form = pickRow(fx, 40);
    QVERIFY(form);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(form, Qt::Key_Plus);
    QCOMPARE(form->profile().Zoom(), 8.0);
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(form, Qt::Key_Minus);
    QCOMPARE(form->profile().Zoom(), 0.25);
    QVERIFY(form->windowTitle().endsWith(QStringLiteral("[0.25X]")));
}

void TestProfile::touchedUpImageShowsItsFirstIterations()
{
    vxtest::WindowFixture fx;
    fx.w().show();
    fx.f().Params.MaxIter = 60;
    QVERIFY(fx.allocate(W, H));
    QVERIFY(fx.computeAndWait());
    // As after a touch-up with more iterations: the image was first computed with 30.
    fx.f().UniformIter = false;
    fx.f().BaseMaxIter = 30;
    ui::TProfilForm* form = pickRow(fx, 44);
    QVERIFY(form);
    const QImage img = form->render();
    const int h = img.height();
    const int y = h - int(std::lrint(30 * double(h) / 60));
    int red = 0;
    for (int x = LabelColumns; x < img.width(); ++x)
        red += (img.pixel(x, y) & 0xFFFFFFu) == 0xFF0000u;
    // The line runs under the profile: only where the green line crosses it is it covered.
    QVERIFY2(red > (img.width() - LabelColumns) / 2, qPrintable(QString::number(red)));
    // An image computed from the start has no such line.
    fx.f().UniformIter = true;
    QCOMPARE(pickRow(fx, 44), form);
    const QImage plain = form->render();
    for (int x = LabelColumns; x < plain.width(); ++x)
        QVERIFY((plain.pixel(x, y) & 0xFFFFFFu) != 0xFF0000u);
}

QTEST_MAIN(TestProfile)
#include "tst_profile.moc"
