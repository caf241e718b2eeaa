// "Poster": the 3 x 3 grid, the neighbour's centre and the move to the next tile.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "ui/dialogs/PosterForm.h"
#include "ui/tools/MarkerLayer.h"
#include "UiTestUtil.h"

using namespace vxtest;

class TestPoster : public QObject {
    Q_OBJECT
private slots:
    void gridHasTheImagesProportions();
    void neighbourCentres_data();
    void neighbourCentres();
    void keyboardChoosesANeighbour();
    void okMovesToTheUpperRightTile();
    void cancelLeavesTheDocument();
};

namespace {

void setView(document::TFractal& f, int width, int height)
{
    f.Params.Width = width;
    f.Params.Height = height;
    f.Params.CentreX = -0.5;
    f.Params.CentreY = 0.25;
    f.Params.Step = 0.01;
    f.UpdateCorners();
}

}  // namespace

void TestPoster::gridHasTheImagesProportions()
{
    struct Case {
        int width, height;
        QSize cell;
    };
    const Case cases[] = {{400, 300, {50, 38}}, {300, 400, {38, 50}}, {640, 640, {50, 50}}, {2000, 10, {50, 1}}};
    for (const Case& c : cases) {
        document::TFractal f;
        setView(f, c.width, c.height);
        ui::TPosterForm form(f, 0, 8);
        QCOMPARE(form.cell(-1, -1)->size(), c.cell);
        QCOMPARE(form.cell(0, 0)->size(), c.cell);
        QVERIFY(!form.cell(0, 0)->isEnabled());  // the current image
    }
}

void TestPoster::neighbourCentres_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::newRow("upper left") << -1 << -1 << -4.0 << 3.0;
    QTest::newRow("upper centre") << 0 << -1 << 0.0 << 3.0;
    QTest::newRow("upper right") << 1 << -1 << 4.0 << 3.0;
    QTest::newRow("centre left") << -1 << 0 << -4.0 << 0.0;
    QTest::newRow("centre right") << 1 << 0 << 4.0 << 0.0;
    QTest::newRow("lower left") << -1 << 1 << -4.0 << -3.0;
    QTest::newRow("lower centre") << 0 << 1 << 0.0 << -3.0;
    QTest::newRow("lower right") << 1 << 1 << 4.0 << -3.0;
}

void TestPoster::neighbourCentres()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(double, dx);
    QFETCH(double, dy);
    document::TFractal f;
    setView(f, 400, 300);
    ui::TPosterForm form(f, 1, 8);
    // Without a click the centre stays.
    QCOMPARE(form.newCentre().x, -0.5);
    QCOMPARE(form.newCentre().y, 0.25);
    QTest::mouseClick(form.cell(column, row), Qt::LeftButton);
    QVERIFY(qAbs(form.newCentre().x - (-0.5 + dx)) < 1e-12);
    QVERIFY(qAbs(form.newCentre().y - (0.25 + dy)) < 1e-12);
    // The chosen one is highlighted, no other.
    for (int r = -1; r <= 1; ++r)
        for (int c = -1; c <= 1; ++c)
            QCOMPARE(form.cell(c, r)->isChecked(), c == column && r == row);
}

void TestPoster::keyboardChoosesANeighbour()
{
    document::TFractal f;
    setView(f, 400, 300);
    ui::TPosterForm form(f, 0, 8);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.cell(1, 1)->setFocus();
    QTest::keyClick(form.cell(1, 1), Qt::Key_Space);
    QCOMPARE(form.neighbour().column, 1);
    QCOMPARE(form.neighbour().row, 1);
    QCOMPARE(form.cell(1, 1)->accessibleName(), QStringLiteral("Lower right"));
}

void TestPoster::okMovesToTheUpperRightTile()
{
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    QVERIFY(fx.allocate(400, 300));
    setView(fx.f(), 400, 300);
    QVERIFY(fx.computeAndWait());
    fx.f().FileName = "tile";
    // A marker on the present tile: it marks a pixel of this picture, not of the next one.
    QVERIFY(fx.w().markerLayer().place(QPoint(100, 80), "here", document::MarkerShape::Circle).has_value());
    QVERIFY(fx.f().Markers[0].InUse);
    fx.f().Modified = true;
    fx.services.answers.push_back(ui::UiServices::Answer::No);  // do not save the present tile
    QStringList statuses;
    QTimer::singleShot(0, [&] {
        statuses << fx.panel(4);
        auto* form = qobject_cast<ui::TPosterForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        QTest::mouseClick(form->cell(1, -1), Qt::LeftButton);
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    });
    QVERIFY(fx.trigger("MenuPos"));
    QCOMPARE(fx.services.questionTitles, QStringList{QStringLiteral("New Fractal")});
    QCOMPARE(statuses, QStringList{QStringLiteral("Select next image")});
    QVERIFY(qAbs(fx.f().Params.CentreX - 3.5) < 1e-12);
    QVERIFY(qAbs(fx.f().Params.CentreY - 3.25) < 1e-12);
    QVERIFY(qAbs(fx.f().LeftX - (3.5 - 200 * 0.01)) < 1e-12);
    QVERIFY(qAbs(fx.f().TopY - (3.25 + 150 * 0.01)) < 1e-12);
    QCOMPARE(fx.f().Params.Step, 0.01);
    QVERIFY(fx.f().FileName.empty());
    QCOMPARE(fx.f().ResumeLine, 0);
    bool cleared = true;
    for (int r = 0; r < 300 && cleared; ++r)
        for (int c = 0; c < 400 && cleared; ++c)
            cleared = fx.f().Data.at(r, c) == 0;
    QVERIFY(cleared);
    for (const document::Marker& m : fx.f().Markers)
        QVERIFY(!m.InUse);  // the new tile starts without markers, as after Erase
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex"));
    // Back returns to the tile before, with its values.
    QVERIFY(fx.trigger("MenuBack"));
    QVERIFY(qAbs(fx.f().Params.CentreX - (3.5 - 4)) < 1e-12);
    QVERIFY(qAbs(fx.f().Params.CentreY - (3.25 - 3)) < 1e-12);
    QVERIFY(fx.f().Data.at(150, 200) != 0 || fx.f().Data.at(0, 0) != 0);
    // Neither the dialog's prompt nor the wait message stays.
    QVERIFY(fx.panel(4) != QStringLiteral("Select next image") && fx.panel(4) != QStringLiteral("Please wait ..."));
}

void TestPoster::cancelLeavesTheDocument()
{
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    QVERIFY(fx.allocate(100, 80));
    setView(fx.f(), 100, 80);
    QVERIFY(fx.computeAndWait());
    fx.f().Modified = false;
    fx.f().FileName = "kept";
    const uint16_t value = fx.f().Data.at(40, 50);
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TPosterForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        QTest::mouseClick(form->cell(-1, 1), Qt::LeftButton);
        form->reject();
    });
    QVERIFY(fx.trigger("MenuPos"));
    QCOMPARE(fx.f().Params.CentreX, -0.5);
    QCOMPARE(fx.f().FileName, std::string("kept"));
    QCOMPARE(fx.f().Data.at(40, 50), value);
    QVERIFY(value != 0);
}

QTEST_MAIN(TestPoster)
#include "tst_poster.moc"
