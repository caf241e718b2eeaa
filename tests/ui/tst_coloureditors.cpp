// The colour editors: the 8-bit palette editor and the 24-bit colour-table editor in the window, with the
// picture recoloured in the background while they are open.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <cmath>

#include "ui/editors/BackgroundRecolour.h"
#include "ui/editors/Color24bForm.h"
#include "ui/editors/Color8bForm.h"
#include "ui/editors/ColourFiles.h"
#include "ui/ImageView.h"
#include "UiTestUtil.h"

using namespace vxtest;
using colour::PaletteEntry;

namespace {

// A picture of `width` x `height` whose values run through 0..MaxIter with some inside pixels, so that
// every colouring rule gives it many colours.
void fillValues(WindowFixture& fx, int width, int height, uint8_t format)
{
    QVERIFY(fx.allocate(width, height, format));
    document::TFractal& f = fx.f();
    const int limit = f.Params.MaxIter;
    for (int r = 0; r < f.Data.height(); ++r)
        for (int c = 0; c < f.Data.width(); ++c)
            f.Data.at(r, c) = (r + c) % 17 == 0 ? engine::Inside : uint16_t((r * 7 + c * 3) % limit);
    f.SelectColorLine();
    f.ColourAllRows();
    fx.w().pictureChanged();
}

// A 24-bit picture whose scale runs from 1 to 5000 (the default table's boundaries at 16 .. 2900).
void fillValues24(WindowFixture& fx, int width, int height)
{
    fx.f().Params.MaxIter = 5000;
    fillValues(fx, width, height, engine::PixelFormat24);
}

// The palette editor's window in English (or `language`), shown.
std::unique_ptr<ui::TColor8bForm> openPaletteEditor(WindowFixture& fx, int language = 0, int preview = 0)
{
    fx.w().settings().prefs.language = uint8_t(language);
    fx.w().settings().prefs.previewMode = preview;
    auto form = std::make_unique<ui::TColor8bForm>(fx.w());
    form->show();
    return form;
}

template <class T>
T* child(QObject* parent, const char* name)
{
    return parent->findChild<T*>(QLatin1String(name));
}

void clickCell(ui::TColor8bForm& form, int cell)
{
    QTest::mouseClick(form.grid(), Qt::LeftButton, {}, form.grid()->cellCentre(cell));
}

void press(QObject* form, const char* button)
{
    QPushButton* b = child<QPushButton>(form, button);
    QVERIFY2(b, button);
    QTest::mouseClick(b, Qt::LeftButton);
}

bool waitForRecolouring(ui::BackgroundRecolourer& r, int ms = 60000)
{
    QElapsedTimer t;
    t.start();
    while (r.busy() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    return !r.busy();
}

// The hue (degrees, -1 when grey), saturation and value of a colour, from its red, green and blue.
struct Hsv {
    double h, s, v;
};
Hsv toHsv(const PaletteEntry& e)
{
    const double r = e.red / 255.0, g = e.green / 255.0, b = e.blue / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b}), d = mx - mn;
    Hsv out{-1, mx > 0 ? d / mx : 0, mx};
    if (d > 0) {
        if (mx == r)
            out.h = 60 * ((g - b) / d);
        else if (mx == g)
            out.h = 60 * (2 + (b - r) / d);
        else
            out.h = 60 * (4 + (r - g) / d);
        if (out.h < 0)
            out.h += 360;
    }
    return out;
}

PaletteEntry rgb(int r, int g, int b)
{
    return PaletteEntry{uint8_t(r), uint8_t(g), uint8_t(b), 0};
}

// The colour-table editor's window in English (or `language`), shown.
std::unique_ptr<ui::TColor24bForm> openTableEditor(WindowFixture& fx, int tag = 2, int language = 0, int preview = 0)
{
    fx.w().settings().prefs.language = uint8_t(language);
    fx.w().settings().prefs.previewMode = preview;
    auto form = std::make_unique<ui::TColor24bForm>(fx.w(), tag);
    form->show();
    return form;
}

void clickStrip(ui::TColor24bForm& form, int x, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(form.strip(), Qt::LeftButton, modifiers, QPoint(x, 10));
}

// The positions of the boundaries in use.
std::vector<uint32_t> positions(const colour::ColorTable24& t)
{
    std::vector<uint32_t> out;
    for (int i = 1; i <= 99; ++i)
        if (t.records[size_t(i)].position != colour::FreePosition)
            out.push_back(t.records[size_t(i)].position);
    return out;
}

// Answers the editors' file dialogs from a queue (empty: cancelled).
class FakeColourDialogs : public ui::ColourFileDialogs {
public:
    QStringList paths;
    QList<int> filters;
    QString openPath(QWidget*, const QString&, const QString&, const QStringList&, int& filter) override
    {
        return take(filter);
    }
    QString savePath(QWidget*, const QString&, const QString&, const QStringList&, int& filter) override
    {
        return take(filter);
    }

private:
    QString take(int& filter)
    {
        if (paths.isEmpty())
            return {};
        filter = filters.isEmpty() ? 0 : filters.takeFirst();
        return paths.takeFirst();
    }
};

}  // namespace

class TestColourEditors : public QObject {
    Q_OBJECT
private slots:
    void rgbGradientRoundsHalfToEven();
    void hsvGradientTakesTheShortWayRound();
    void hsvGradientFromGreyKeepsTheHue();
    void gradientPointOnEntryZeroStartsAtOne();
    void keyboardDrivesTheGrid();
    void cancelRestoresEverything();
    void manualPreviewChangesThePictureOnlyOnClick();
    void editsDuringALongRecolouringEndWithTheLastOne();
    void savedActIsReadByPillow();
    void paletteEditorNamesInBothLanguages_data();
    void paletteEditorNamesInBothLanguages();
    void menuOpensThePaletteEditor();
    void zoomKeepsTheValueUnderTheMouse();
    void typedPositionWaitsAndStaysBetweenNeighbours();
    void deleteThenCancelLeavesTheTable();
    void hundredthBoundaryIsRefused();
    void tableEditorManualPreview();
    void tableEditorRecoloursInTheBackground();
    void tableEditorNamesInBothLanguages_data();
    void tableEditorNamesInBothLanguages();
    void menusOpenTheTableEditor();
    void tableEditorControlRulesAndFiles();
    void editorsWaitForAnIdleEngine();
    void previewOffByDefaultTogglesBetweenInitialAndCandidates();
    void stripFromTheKeyboard();
};

void TestColourEditors::rgbGradientRoundsHalfToEven()
{
    WindowFixture fx;
    fillValues(fx, 40, 30, engine::PixelFormat8);
    fx.f().Palette.entries[10] = rgb(0, 0, 0);
    fx.f().Palette.entries[20] = rgb(255, 255, 255);
    auto form = openPaletteEditor(fx);
    press(form.get(), "DegraButtonRGB");
    QCOMPARE(form->statusText(), QStringLiteral("Gradient RGB: select 1st point."));
    clickCell(*form, 10);
    QCOMPARE(form->statusText(), QStringLiteral("Gradient RGB: select 2nd point."));
    QVERIFY(child<QPushButton>(form.get(), "DegraButtonRGB")->isChecked());
    clickCell(*form, 20);
    QCOMPARE(form->statusText(), QString());
    QVERIFY(!child<QPushButton>(form.get(), "DegraButtonRGB")->isChecked());
    const colour::Palette& p = form->model().editPalette();
    QCOMPARE(p.entries[15], rgb(128, 128, 128));  // 5 x 25.5 = 127.5, to the even 128
    QCOMPARE(p.entries[11], rgb(26, 26, 26));      // 25.5 to the even 26
    QCOMPARE(p.entries[12], rgb(51, 51, 51));
    // The grid paints the new colour inside the cell.
    const QImage grid = form->grid()->render();
    QCOMPARE(QColor(grid.pixel(form->grid()->cellCentre(15))), QColor(128, 128, 128));
    // Preview on by default: the picture shows the edit palette.
    QVERIFY(waitForRecolouring(form->recolourer()));
    QCOMPARE(QColor(fx.w().mainImage()->image().color(15)), QColor(128, 128, 128));
    form->reject();
}

void TestColourEditors::hsvGradientTakesTheShortWayRound()
{
    WindowFixture fx;
    fillValues(fx, 40, 30, engine::PixelFormat8);
    fx.f().Palette.entries[1] = rgb(255, 0, 0);
    fx.f().Palette.entries[4] = rgb(0, 0, 255);
    auto form = openPaletteEditor(fx);
    press(form.get(), "DegraButtonHSV");
    QCOMPARE(form->statusText(), QStringLiteral("Gradient HSV: select 1st point."));
    clickCell(*form, 4);  // the points in either order
    QCOMPARE(form->statusText(), QStringLiteral("Gradient HSV: select 2nd point."));
    clickCell(*form, 1);
    const colour::Palette& p = form->model().editPalette();
    // Hues 320 and 280: through magenta, not through green.
    QCOMPARE(p.entries[2], rgb(255, 0, 170));
    QCOMPARE(p.entries[3], rgb(170, 0, 255));
    QCOMPARE(p.entries[4], rgb(0, 0, 255));
    QCOMPARE(std::lround(toHsv(p.entries[2]).h), 320L);
    QCOMPARE(std::lround(toHsv(p.entries[3]).h), 280L);
    form->reject();
}

void TestColourEditors::hsvGradientFromGreyKeepsTheHue()
{
    WindowFixture fx;
    fillValues(fx, 40, 30, engine::PixelFormat8);
    fx.f().Palette.entries[30] = rgb(128, 128, 128);
    fx.f().Palette.entries[36] = rgb(0, 200, 100);  // hue 150
    auto form = openPaletteEditor(fx);
    press(form.get(), "DegraButtonHSV");
    clickCell(*form, 30);
    clickCell(*form, 36);
    const colour::Palette& p = form->model().editPalette();
    double lastSaturation = 0;
    for (int i = 31; i <= 35; ++i) {
        const Hsv h = toHsv(p.entries[size_t(i)]);
        QVERIFY2(std::abs(h.h - 150) <= 1.5, qPrintable(QStringLiteral("entry %1 hue %2").arg(i).arg(h.h)));
        QVERIFY2(h.s > lastSaturation, qPrintable(QStringLiteral("entry %1").arg(i)));
        lastSaturation = h.s;
    }
    QCOMPARE(p.entries[30], rgb(128, 128, 128));
    form->reject();
}

void TestColourEditors::gradientPointOnEntryZeroStartsAtOne()
{
    WindowFixture fx;
    fillValues(fx, 40, 30, engine::PixelFormat8);
    const PaletteEntry zero = fx.f().Palette.entries[0];
    fx.f().Palette.entries[1] = rgb(0, 0, 0);
    fx.f().Palette.entries[5] = rgb(200, 100, 40);
    auto form = openPaletteEditor(fx);
    press(form.get(), "DegraButtonRGB");
    clickCell(*form, 0);
    clickCell(*form, 5);
    const colour::Palette& p = form->model().editPalette();
    QCOMPARE(p.entries[0], zero);
    QCOMPARE(p.entries[1], rgb(0, 0, 0));
    QCOMPARE(p.entries[3], rgb(100, 50, 20));
    QCOMPARE(p.entries[2], rgb(50, 25, 10));
    // Both points on entry 0: both count as entry 1, nothing changes.
    const colour::Palette before = p;
    press(form.get(), "DegraButtonRGB");
    clickCell(*form, 0);
    clickCell(*form, 0);
    QVERIFY(form->model().editPalette() == before);
    form->reject();
}

void TestColourEditors::keyboardDrivesTheGrid()
{
    WindowFixture fx;
    fillValues(fx, 40, 30, engine::PixelFormat8);
    fx.f().Palette.entries[21] = rgb(0, 0, 0);
    fx.f().Palette.entries[23] = rgb(100, 200, 50);
    auto form = openPaletteEditor(fx);
    ui::PaletteGrid* grid = form->grid();
    grid->setFocus();
    QCOMPARE(grid->focusCell(), 1);
    QTest::keyClick(grid, Qt::Key_Down);   // 21
    QCOMPARE(grid->focusCell(), 21);
    QCOMPARE(grid->accessibleName(), QStringLiteral("Color 21: red 0, green 0, blue 0"));
    press(form.get(), "DegraButtonRGB");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Space);  // first point 21
    QCOMPARE(form->statusText(), QStringLiteral("Gradient RGB: select 2nd point."));
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(grid->accessibleName(), QStringLiteral("Color 23: red 100, green 200, blue 50"));
    QTest::keyClick(grid, Qt::Key_Return);  // second point 23
    QCOMPARE(form->model().editPalette().entries[22], rgb(50, 100, 25));
    QTest::keyClick(grid, Qt::Key_Left);
    QCOMPARE(grid->accessibleName(), QStringLiteral("Color 22: red 50, green 100, blue 25"));
    // F2 edits the focus cell's colour through the colour dialog.
    ui::setColourPicker([](QWidget*, const QColor& initial) -> std::optional<QColor> {
        if (initial != QColor(50, 100, 25))
            return std::nullopt;
        return QColor(1, 2, 3);
    });
    QTest::keyClick(grid, Qt::Key_F2);
    ui::setColourPicker({});
    QCOMPARE(form->model().editPalette().entries[22], rgb(1, 2, 3));
    // The grey cells are reachable and named, and change nothing.
    QTest::keyClick(grid, Qt::Key_End);
    QCOMPARE(grid->focusCell(), 255);
    QTest::keyClick(grid, Qt::Key_Down);  // the last row: stays
    QCOMPARE(grid->focusCell(), 255);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(grid->focusCell(), 259);
    QCOMPARE(grid->accessibleName(), QStringLiteral("Cell 259: no color"));
    form->reject();
}

void TestColourEditors::cancelRestoresEverything()
{
    WindowFixture fx;
    fx.f().BiomorphIndex = 7;
    fx.f().Multiplier = 12;
    fillValues(fx, 60, 40, engine::PixelFormat8);
    const colour::Colour8State before = fx.f().colour8();
    const std::vector<uint8_t> pixelsBefore = fx.f().Bitmap.Pixels;
    const QImage shownBefore = fx.w().mainImage()->image().convertToFormat(QImage::Format_RGB32);
    auto form = openPaletteEditor(fx);
    press(form.get(), "DegraButtonRGB");
    clickCell(*form, 3);
    clickCell(*form, 60);
    press(form.get(), "DegraButtonHSV");
    clickCell(*form, 100);
    clickCell(*form, 140);
    press(form.get(), "LeftButton");
    press(form.get(), "RigthButton");
    press(form.get(), "RigthButton");
    press(form.get(), "BioMoButton");
    QCOMPARE(form->statusText(), QStringLiteral("Select Biomorphe color."));
    clickCell(*form, 42);
    QCOMPARE(fx.f().BiomorphIndex, 42);  // at once
    child<QComboBox>(form.get(), "FrontComboBox")->setCurrentIndex(2);
    QCOMPARE(fx.f().BoundaryType, colour::BoundaryKind::Sqrt);
    QVERIFY(child<QSpinBox>(form.get(), "CorrSpinEdit")->isEnabled());
    child<QSpinBox>(form.get(), "CorrSpinEdit")->setValue(77);
    QCOMPARE(fx.f().Multiplier, 77);
    QVERIFY(!(form->model().editPalette() == before.Palette));
    QVERIFY(waitForRecolouring(form->recolourer()));
    QVERIFY(fx.f().Bitmap.Pixels != pixelsBefore);  // the preview showed the edits
    press(form.get(), "CancelButton");
    QVERIFY(!form->isVisible());
    QVERIFY(fx.f().colour8() == before);
    QVERIFY(fx.f().Bitmap.Pixels == pixelsBefore);
    QCOMPARE(fx.w().mainImage()->image().convertToFormat(QImage::Format_RGB32), shownBefore);
    QVERIFY(!fx.f().Modified);
}

void TestColourEditors::manualPreviewChangesThePictureOnlyOnClick()
{
    WindowFixture fx;
    fillValues(fx, 60, 40, engine::PixelFormat8);
    auto shown = [&fx] { return fx.w().mainImage()->image().convertToFormat(QImage::Format_RGB32); };
    const QImage original = shown();
    auto form = openPaletteEditor(fx, 0, 2);
    QVERIFY(!child<QPushButton>(form.get(), "SeeButton1")->isCheckable());
    QVERIFY(!child<QPushButton>(form.get(), "SeeButton2")->isCheckable());
    // The see-colour flash shows whatever the preview says, and goes away on release.
    press(form.get(), "SeeColButton");
    QTest::mousePress(form->grid(), Qt::LeftButton, {}, form->grid()->cellCentre(0));
    QVERIFY(waitForRecolouring(form->recolourer()));
    QVERIFY(shown() != original);
    QTest::mouseRelease(form->grid(), Qt::LeftButton, {}, form->grid()->cellCentre(0));
    QVERIFY(waitForRecolouring(form->recolourer()));
    press(form.get(), "SeeColButton");
    QCOMPARE(shown(), original);
    press(form.get(), "DegraButtonRGB");
    clickCell(*form, 1);
    clickCell(*form, 200);
    QCOMPARE(shown(), original);
    press(form.get(), "LeftButton");
    QCOMPARE(shown(), original);
    child<QComboBox>(form.get(), "FrontComboBox")->setCurrentIndex(1);
    child<QSpinBox>(form.get(), "CorrSpinEdit")->setValue(30);
    QCOMPARE(shown(), original);
    press(form.get(), "BioMoButton");
    clickCell(*form, 9);
    QVERIFY(waitForRecolouring(form->recolourer()));
    QCOMPARE(shown(), original);

    press(form.get(), "SeeButton2");
    QVERIFY(waitForRecolouring(form->recolourer()));
    const QImage previewed = shown();
    QVERIFY(previewed != original);
    // What the preview shows: the candidates, coloured through the edit palette.
    auto ref = referenceImage(fx.f().Params, engine::PixelFormat8);
    ref->Data = fx.f().Data;
    ref->colour8() = fx.f().colour8();
    ref->Palette = form->model().editPalette();
    ref->SelectColorLine();
    ref->ColourAllRows();
    QVERIFY(ref->Bitmap.Pixels == fx.f().Bitmap.Pixels);
    QCOMPARE(QColor(previewed.pixel(5, 5)), QColor(QRgb(fx.w().mainImage()->image().color(fx.f().Bitmap.row(5)[5]))));
    form->reject();
}

void TestColourEditors::editsDuringALongRecolouringEndWithTheLastOne()
{
    WindowFixture fx;
    fillValues(fx, 4000, 3000, engine::PixelFormat8);
    const std::vector<uint8_t> opened = fx.f().Bitmap.Pixels;
    auto form = openPaletteEditor(fx);
    form->findChild<QTabWidget*>()->setCurrentIndex(1);
    auto* type = child<QComboBox>(form.get(), "FrontComboBox");
    auto* mult = child<QSpinBox>(form.get(), "CorrSpinEdit");
    QSignalSpy bands(&form->recolourer(), &ui::BackgroundRecolourer::rowsRecoloured);
    type->setCurrentIndex(1);
    QVERIFY(form->recolourer().busy());  // the request did not wait
    int edits = 0, whileBusy = 0;
    for (int m : {3, 250, 41, 9, 120}) {
        const bool busy = form->recolourer().busy();
        const int shown = mult->value();
        QTest::keyClick(mult, Qt::Key_Up);  // the control answers at once
        QCOMPARE(mult->value(), shown + 1);
        QCOMPARE(fx.f().Multiplier, shown + 1);
        mult->setValue(m);
        QCOMPARE(fx.f().Multiplier, m);
        ++edits;
        whileBusy += busy ? 1 : 0;
        QCoreApplication::processEvents();
    }
    QVERIFY(whileBusy >= 3);
    type->setCurrentIndex(2);
    QVERIFY(waitForRecolouring(form->recolourer()));
    QVERIFY(bands.count() > 0);
    // The picture is the one of the last edit: the same as colouring it all at once now.
    const std::vector<uint8_t> background = fx.f().Bitmap.Pixels;
    fx.f().SelectColorLine();
    fx.f().ColourAllRows();
    QVERIFY(background == fx.f().Bitmap.Pixels);
    QCOMPARE(fx.f().BoundaryType, colour::BoundaryKind::Sqrt);
    QCOMPARE(edits, 5);

    // A newer request stops the running one at its next band: ten requests in a row cost far less than
    // ten pictures.
    const int bandsPerPicture = (3000 + ui::BackgroundRecolourer::bandRows(4000) - 1)
                                / ui::BackgroundRecolourer::bandRows(4000);
    QVERIFY(bandsPerPicture > 20);
    const uint64_t coloured = form->recolourer().bandsColoured();
    for (int m = 1; m <= 10; ++m) {
        // Each request once the worker has taken up the previous one.
        mult->setValue(m);
        QTRY_VERIFY_WITH_TIMEOUT(form->recolourer().startedGeneration() == form->recolourer().generation(), 10000);
    }
    QVERIFY(waitForRecolouring(form->recolourer()));
    QVERIFY2(form->recolourer().bandsColoured() - coloured < uint64_t(3 * bandsPerPicture),
             qPrintable(QString::number(form->recolourer().bandsColoured() - coloured)));

    // Cancel while a recolouring runs: nothing of it reaches the picture afterwards.
    const uint64_t before = form->recolourer().bandsColoured();
    mult->setValue(200);
    QVERIFY(form->recolourer().busy());
    while (form->recolourer().bandsColoured() < before + 3)
        QThread::msleep(1);  // bands wait for the event loop
    form->reject();
    QTest::qWait(300);
    QVERIFY(fx.f().Bitmap.Pixels == opened);
}

void TestColourEditors::savedActIsReadByPillow()
{
    WindowFixture fx;
    fillValues(fx, 20, 20, engine::PixelFormat8);
    for (int i = 1; i < 256; ++i)
        fx.f().Palette.entries[size_t(i)] = rgb(i, (i * 37) % 256, 255 - i);
    auto form = openPaletteEditor(fx);
    FakeColourDialogs dialogs;
    const QString path = fx.path(QStringLiteral("saved.act"));
    dialogs.paths << path;
    dialogs.filters << 1;
    ui::setColourFileDialogs(&dialogs);
    press(form.get(), "SaveButton");
    ui::setColourFileDialogs(nullptr);
    QCOMPARE(form->paletteCaption(), QStringLiteral("saved"));
    QVERIFY(QFileInfo::exists(path));

    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys\nfrom PIL import Image\n"
                                 "im = Image.new('P', (1, 1))\n"
                                 "im.putpalette(open(sys.argv[1], 'rb').read(), 'RGB')\n"
                                 "p = im.getpalette()\n"
                                 "print(len(p) // 3)\n"
                                 "print(' '.join(str(v) for v in p))\n"),
                  path});
    QVERIFY2(python.waitForFinished(60000), "python3 did not run");
    QVERIFY2(python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0,
             python.readAllStandardError().constData());
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'));
    QVERIFY(lines.size() >= 2);
    QCOMPARE(lines[0].trimmed(), QStringLiteral("256"));
    const QStringList values = lines[1].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(values.size(), 768);
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = form->model().editPalette().entries[size_t(i)];
        const PaletteEntry read = rgb(values[3 * i].toInt(), values[3 * i + 1].toInt(), values[3 * i + 2].toInt());
        QVERIFY2(read == rgb(e.red, e.green, e.blue), qPrintable(QStringLiteral("entry %1").arg(i)));
    }

    // Opened again through the dialog (".act" filter), then a ".p8" dropped on the editor.
    form->model().rotate(colour::RotateDirection::In);
    dialogs.paths << path;
    dialogs.filters << 2;
    ui::setColourFileDialogs(&dialogs);
    press(form.get(), "OpenButton");
    ui::setColourFileDialogs(nullptr);
    QCOMPARE(form->model().editPalette().entries[77], rgb(77, (77 * 37) % 256, 255 - 77));
    QCOMPARE(form->model().editPalette().entries[0], rgb(0, 0, 0));
    // A dropped ".act" is read as ".p8" and refused: beep and the disk message, palette unchanged.
    const colour::Palette kept = form->model().editPalette();
    const int beeps = fx.services.beeps;
    form->openDroppedFile(path);
    QCOMPARE(fx.services.beeps, beeps + 1);
    QVERIFY(fx.services.errors.contains(QStringLiteral("Error accessing to disk")));
    QVERIFY(form->model().editPalette() == kept);
    form->reject();
}

void TestColourEditors::paletteEditorNamesInBothLanguages_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QStringList>("names");  // object name = accessible name pairs
    QTest::newRow("English") << 0 << QStringLiteral("Color 2: red %1, green %2, blue %3")
                             << QStringList{QStringLiteral("OpenButton=Open palette"),
                                            QStringLiteral("SaveButton=Save palette"),
                                            QStringLiteral("LeftButton=Rotate left"),
                                            QStringLiteral("RigthButton=Rotate right"),
                                            QStringLiteral("DegraButtonRGB=RGB gradient"),
                                            QStringLiteral("DegraButtonHSV=HSV gradient"),
                                            QStringLiteral("BioMoButton=Biomorph color"),
                                            QStringLiteral("SeeColButton=See color on fractal"),
                                            QStringLiteral("SeeButton1=View modifications"),
                                            QStringLiteral("SeeButton2=View modifications"),
                                            QStringLiteral("FrontComboBox=Color Boundaries type:"),
                                            QStringLiteral("CorrSpinEdit=Multiplier:")};
    QTest::newRow("French") << 1 << QStringLiteral("Couleur 2 : rouge %1, vert %2, bleu %3")
                            << QStringList{QStringLiteral("OpenButton=Ouvrir une palette"),
                                           QStringLiteral("SaveButton=Enregistrer la palette"),
                                           QStringLiteral("LeftButton=Rotation vers la gauche"),
                                           QStringLiteral("RigthButton=Rotation vers la droite"),
                                           QStringLiteral("DegraButtonRGB=Dégradé RGB"),
                                           QStringLiteral("DegraButtonHSV=Dégradé HSV"),
                                           QStringLiteral("BioMoButton=Couleur du Biomorphe"),
                                           QStringLiteral("SeeColButton=Voir une couleur sur la fractale"),
                                           QStringLiteral("SeeButton1=Prévue des modifications"),
                                           QStringLiteral("SeeButton2=Prévue des modifications"),
                                           QStringLiteral("FrontComboBox=Type de frontières:"),
                                           QStringLiteral("CorrSpinEdit=Multiplicateur:")};
}

void TestColourEditors::paletteEditorNamesInBothLanguages()
{
    QFETCH(int, language);
    QFETCH(QString, cell);
    QFETCH(QStringList, names);
    WindowFixture fx;
    fillValues(fx, 20, 20, engine::PixelFormat8);
    fx.f().Palette.entries[2] = rgb(9, 8, 7);
    auto form = openPaletteEditor(fx, language);
    QCOMPARE(form->windowTitle(), language == 0 ? QStringLiteral("8 bits color") : QStringLiteral("Couleurs 8 bits"));
    for (const QString& pair : names) {
        const QString object = pair.section(QLatin1Char('='), 0, 0), name = pair.section(QLatin1Char('='), 1);
        QWidget* w = form->findChild<QWidget*>(object);
        QVERIFY2(w, qPrintable(object));
        QCOMPARE(w->accessibleName(), name);
        // What assistive tools read.
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        QVERIFY(a);
        if (!qobject_cast<QComboBox*>(w))
            QCOMPARE(a->text(QAccessible::Name), name);
    }
    ui::PaletteGrid* grid = form->grid();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(grid->accessibleName(), cell.arg(9).arg(8).arg(7));
    QCOMPARE(QAccessible::queryAccessibleInterface(grid)->text(QAccessible::Name), cell.arg(9).arg(8).arg(7));
    form->reject();
}

void TestColourEditors::menuOpensThePaletteEditor()
{
    WindowFixture fx;
    fillValues(fx, 30, 20, engine::PixelFormat8);
    fx.w().settings().prefs.language = 0;
    fx.w().DrawMainMenus();
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        auto* form = qobject_cast<ui::TColor8bForm*>(QApplication::activeModalWidget());
        opened = form != nullptr;
        if (!form)
            return;
        press(form, "RigthButton");
        press(form, "OKButton");
    });
    const colour::Palette before = fx.f().Palette;
    QVERIFY(fx.trigger("MenuPal8"));
    QVERIFY(opened);
    // OK keeps the rotated palette: entry 1 took the old entry 255.
    QCOMPARE(fx.f().Palette.entries[1], before.entries[255]);
    QCOMPARE(fx.f().Palette.entries[2], before.entries[1]);
    QVERIFY(fx.f().Modified);
}

void TestColourEditors::zoomKeepsTheValueUnderTheMouse()
{
    WindowFixture fx;
    fillValues24(fx, 40, 30);
    auto form = openTableEditor(fx);
    QCOMPARE(form->pages()->currentIndex(), 1);  // from the picture's menu, "Color table" mode
    auto& m = form->model();
    auto* label = child<QPushButton>(form.get(), "ZoomLabelButton");
    QCOMPARE(label->text(), QStringLiteral(" Zoom: 1 X"));
    press(form.get(), "ZoomInButton");
    QCOMPARE(form->statusText(), QStringLiteral("Zoom: click on gradient to zoom."));
    QVERIFY(!child<QSlider>(form.get(), "ColTrackBar")->isEnabled());
    const int x = 123;
    const uint32_t value = m.valueAt(x);
    QVERIFY(value > 1000);
    for (int i = 0; i < 3; ++i)
        clickStrip(*form, x);
    QCOMPARE(m.zoomFactor(), 8);
    QCOMPARE(label->text(), QStringLiteral(" Zoom: 8 X"));
    QVERIFY2(std::abs(int64_t(m.valueAt(x)) - int64_t(value)) <= int64_t(std::ceil(m.scale())),
             qPrintable(QStringLiteral("%1 -> %2").arg(value).arg(m.valueAt(x))));
    QCOMPARE(child<QLabel>(form.get(), "StartLabel")->text(), QString::number(m.startLabelValue()));
    QCOMPARE(child<QLabel>(form.get(), "EndLabel")->text(), QString::number(m.endLabelValue()));
    QVERIFY(m.endLabelValue() - m.startLabelValue() < (5000 - 1) / 7);
    clickStrip(*form, x);
    clickStrip(*form, x);
    QCOMPARE(m.zoomFactor(), 32);
    const int32_t offset = m.offset();
    clickStrip(*form, x);  // 32 is the limit
    QCOMPARE(m.zoomFactor(), 32);
    QCOMPARE(m.offset(), offset);
    QCOMPARE(label->text(), QStringLiteral(" Zoom: 32 X"));
    clickStrip(*form, x, Qt::AltModifier);  // Alt zooms out
    QCOMPARE(m.zoomFactor(), 16);
    // The right button ends the mode; the track bar comes back.
    QTest::mouseClick(form->strip(), Qt::RightButton, {}, QPoint(x, 10));
    QVERIFY(!m.zoomMode());
    QVERIFY(!child<QPushButton>(form.get(), "ZoomInButton")->isChecked());
    QVERIFY(child<QSlider>(form.get(), "ColTrackBar")->isEnabled());
    QCOMPARE(form->statusText(), QString());
    // Move mode: dragging right shows lower values.
    press(form.get(), "ZoomMoveButton");
    QCOMPARE(form->statusText(), QStringLiteral("Move gradient."));
    const int64_t start = m.startLabelValue();
    QTest::mousePress(form->strip(), Qt::LeftButton, {}, QPoint(100, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(140, 10), form->strip()->mapToGlobal(QPointF(140, 10)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(form->strip(), &move);
    QTest::mouseRelease(form->strip(), Qt::LeftButton, {}, QPoint(140, 10));
    QCOMPARE(m.startLabelValue(), start + std::lround(-40 * m.scale()));
    QCOMPARE(child<QLabel>(form.get(), "StartLabel")->text(), QString::number(m.startLabelValue()));
    press(form.get(), "ZoomLabelButton");
    QCOMPARE(m.zoomFactor(), 1);
    QCOMPARE(m.offset(), 0);
    QCOMPARE(label->text(), QStringLiteral(" Zoom: 1 X "));
    QVERIFY(!m.moveMode());
    form->reject();
}

void TestColourEditors::typedPositionWaitsAndStaysBetweenNeighbours()
{
    WindowFixture fx;
    fillValues24(fx, 40, 30);
    auto form = openTableEditor(fx);
    auto& m = form->model();
    auto* list = child<QComboBox>(form.get(), "IteraComboBox");
    const int index = list->findText(QStringLiteral("160"));
    QVERIFY(index >= 0);
    list->setCurrentIndex(index);
    emit list->activated(index);
    QCOMPARE(m.workingTable().records[size_t(m.selected())].position, 160u);
    QCOMPARE(m.neighbours().lower, 100u);
    QCOMPARE(m.neighbours().upper, 290u);
    auto* pos = child<QSpinBox>(form.get(), "PosEdit");
    QCOMPARE(pos->value(), 160);
    QLineEdit* edit = pos->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("500"));
    QCOMPARE(pos->value(), 500);
    QCOMPARE(m.workingTable().records[size_t(m.selected())].position, 160u);  // not yet
    QVERIFY(form->positionTimer()->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(m.workingTable().records[size_t(m.selected())].position, 289u, 2000);
    QCOMPARE(pos->value(), 289);
    QCOMPARE(child<QSlider>(form.get(), "ColTrackBar")->value(), 289);
    // An arrow step is taken at once.
    QTest::keyClick(pos, Qt::Key_Down);
    QCOMPARE(m.workingTable().records[size_t(m.selected())].position, 288u);
    QVERIFY(!form->positionTimer()->isActive());
    QVERIFY(form->refreshTimer()->isActive());
    // Below the lower neighbour: just above it.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("50"));
    QCOMPARE(pos->value(), 50);
    QTRY_COMPARE_WITH_TIMEOUT(m.workingTable().records[size_t(m.selected())].position, 101u, 2000);
    // The track bar and the arrow buttons stay strictly between the neighbours.
    auto* track = child<QSlider>(form.get(), "ColTrackBar");
    press(form.get(), "LeftButton");
    QCOMPARE(m.workingTable().records[size_t(m.selected())].position, 101u);
    press(form.get(), "RigthButton");
    QCOMPARE(m.workingTable().records[size_t(m.selected())].position, 102u);
    QCOMPARE(track->value(), 102);
    form->reject();
}

void TestColourEditors::deleteThenCancelLeavesTheTable()
{
    WindowFixture fx;
    fillValues24(fx, 60, 40);
    const colour::Colour24State before = fx.f().colour24();
    const std::vector<uint8_t> pixels = fx.f().Bitmap.Pixels;
    auto form = openTableEditor(fx);
    auto& m = form->model();
    clickStrip(*form, m.xOf(400) + 1 > 0 ? int(m.xOf(400)) : 0);
    QCOMPARE(m.workingTable().records[size_t(m.selected())].position, 400u);
    const int count = m.boundaryCount();
    press(form.get(), "DelButton");
    QCOMPARE(m.boundaryCount(), count - 1);
    const std::vector<uint32_t> left = positions(m.workingTable());
    QVERIFY(std::find(left.begin(), left.end(), 400u) == left.end());
    QCOMPARE(child<QComboBox>(form.get(), "IteraComboBox")->count(), count - 1);
    // The refresh rebuilds the document's tables from the working table: the preview shows the deletion.
    QTRY_VERIFY_WITH_TIMEOUT(!form->refreshTimer()->isActive(), 2000);
    QVERIFY(waitForRecolouring(form->recolourer()));
    QVERIFY(fx.f().TableR != before.TableR || fx.f().TableG != before.TableG || fx.f().TableB != before.TableB);
    QVERIFY(fx.f().Bitmap.Pixels != pixels);
    press(form.get(), "CancelButton");
    QVERIFY(fx.f().colour24() == before);
    QVERIFY(fx.f().Bitmap.Pixels == pixels);
    QVERIFY(!fx.f().Modified);
}

void TestColourEditors::hundredthBoundaryIsRefused()
{
    WindowFixture fx;
    fillValues24(fx, 40, 30);
    colour::ColorTable24& t = fx.f().ColorTable24;
    for (int i = 1; i <= 98; ++i)
        t.records[size_t(i)] = {uint32_t(10 * i), colour::rgbToColour(0x00FF00), colour::rgbToColour(0x0000FF)};
    fx.f().RebuildTables();
    auto form = openTableEditor(fx);
    auto& m = form->model();
    QCOMPARE(m.boundaryCount(), 98);
    const int x = 300;  // far above the last boundary at 980
    QVERIFY(m.valueAt(x) > 980);
    QTest::mouseDClick(form->strip(), Qt::LeftButton, {}, QPoint(x, 10));
    QCOMPARE(m.boundaryCount(), 99);
    QCOMPARE(m.workingTable().records[size_t(m.selected())].position, m.valueAt(x));
    QCOMPARE(child<QComboBox>(form.get(), "IteraComboBox")->count(), 99);
    const colour::ColorTable24 full = m.workingTable();
    QTest::mouseDClick(form->strip(), Qt::LeftButton, {}, QPoint(x + 20, 10));
    QCOMPARE(m.boundaryCount(), 99);
    QVERIFY(m.workingTable() == full);
    // From the keyboard (Insert at the strip cursor) too.
    form->strip()->setFocus();
    form->strip()->setCursorX(x + 40);
    QTest::keyClick(form->strip(), Qt::Key_Insert);
    QVERIFY(m.workingTable() == full);
    form->reject();
}

void TestColourEditors::tableEditorManualPreview()
{
    WindowFixture fx;
    fillValues24(fx, 60, 40);
    auto shown = [&fx] { return fx.w().mainImage()->image().convertToFormat(QImage::Format_RGB32); };
    const QImage original = shown();
    auto form = openTableEditor(fx, 2, 0, 2);
    auto& m = form->model();
    QVERIFY(!child<QPushButton>(form.get(), "SeeButton")->isCheckable());
    QTest::mouseDClick(form->strip(), Qt::LeftButton, {}, QPoint(3, 10));
    ui::setColourPicker([](QWidget*, const QColor&) -> std::optional<QColor> { return QColor(250, 10, 10); });
    press(form.get(), "TopPosPanel");
    press(form.get(), "BotColorPanel");
    ui::setColourPicker({});
    QCOMPARE(m.panelColour(colour::editors::ColourTableEditorModel::Panel::ScaleStart),
             colour::rgbToColour(0xFA0A0A));
    QTest::qWait(400);  // past the refresh timer
    QVERIFY(!form->refreshTimer()->isActive());
    QVERIFY(!form->recolourer().busy());
    QCOMPARE(shown(), original);
    press(form.get(), "SeeButton");
    QVERIFY(waitForRecolouring(form->recolourer()));
    QVERIFY(shown() != original);
    // What the preview shows: the working table's colours.
    auto ref = referenceImage(fx.f().Params, engine::PixelFormat24);
    ref->Data = fx.f().Data;
    ref->colour24() = fx.f().colour24();
    ref->ColorTable24 = m.workingTable();
    ref->RebuildTables();
    ref->SelectColorLine();
    ref->ColourAllRows();
    QVERIFY(ref->Bitmap.Pixels == fx.f().Bitmap.Pixels);
    form->reject();
}

void TestColourEditors::tableEditorRecoloursInTheBackground()
{
    WindowFixture fx;
    fillValues24(fx, 4000, 3000);
    auto form = openTableEditor(fx, 1);
    QCOMPARE(form->pages()->currentIndex(), 0);
    auto* mode = child<QComboBox>(form.get(), "FrontComboBox");
    mode->setCurrentIndex(1);  // "Calculated": recolours at once
    QVERIFY(form->recolourer().busy());
    QVERIFY(!form->pages()->isTabVisible(1));
    auto* hue = child<QComboBox>(form.get(), "HueComboBox");
    auto* offset = child<QSpinBox>(form.get(), "OffsetHueEdit");
    QVERIFY(!child<QSpinBox>(form.get(), "MultHueEdit")->isEnabled());
    hue->setCurrentIndex(1);
    QVERIFY(child<QSpinBox>(form.get(), "MultHueEdit")->isEnabled());
    // A table recolouring is quick, so whether an edit lands while the previous one still colours depends on
    // the machine (the 8-bit editor's test covers that case with a slow boundary rule); here each edit
    // comes once the previous one's recolouring has started, and the picture must end as the last edit.
    for (int degrees : {30, 400, 200, 90}) {
        QTRY_VERIFY_WITH_TIMEOUT(!form->refreshTimer()->isActive(), 5000);
        offset->setValue(degrees);
        QCOMPARE(fx.f().HueOffset, degrees > 359 ? degrees - 360 : degrees);  // at once
    }
    QCOMPARE(offset->value(), 90);
    QTRY_VERIFY_WITH_TIMEOUT(!form->refreshTimer()->isActive(), 5000);
    QVERIFY(waitForRecolouring(form->recolourer()));
    const std::vector<uint8_t> background = fx.f().Bitmap.Pixels;
    fx.f().SelectColorLine();
    fx.f().ColourAllRows();
    QVERIFY(background == fx.f().Bitmap.Pixels);
    press(form.get(), "OKButton");
    QCOMPARE(fx.f().TableMode, colour::TableModeKind::Calculated);
    QCOMPARE(fx.f().HueOffset, 90);
    QVERIFY(fx.f().Modified);
}

void TestColourEditors::tableEditorNamesInBothLanguages_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("English") << 0
                             << QStringList{QStringLiteral("ColPaintBox=Gradient of the color table"),
                                            QStringLiteral("BotColorPanel=Start color"),
                                            QStringLiteral("TopColorPanel=End color"),
                                            QStringLiteral("TopPosPanel=Upper color of the boundary"),
                                            QStringLiteral("BotPosPanel=Lower color of the boundary"),
                                            QStringLiteral("PosEdit=Boundary position"),
                                            QStringLiteral("ColTrackBar=Boundary position"),
                                            QStringLiteral("LeftButton=Move boundary left"),
                                            QStringLiteral("RigthButton=Move boundary right"),
                                            QStringLiteral("DelButton=Delete selected boundary"),
                                            QStringLiteral("ZoomInButton=Zoom Color Table"),
                                            QStringLiteral("ZoomMoveButton=Move Color Table"),
                                            QStringLiteral("ZoomLabelButton=Reset Zoom to 1X"),
                                            QStringLiteral("OpenButton=Open color table"),
                                            QStringLiteral("SaveButton=Save color table"),
                                            QStringLiteral("SeeButton=View modifications"),
                                            QStringLiteral("BioMoButton=Biomorph color"),
                                            QStringLiteral("FilaButton=Filaments color"),
                                            QStringLiteral("OffsetHueEdit=Hue Offset:"),
                                            QStringLiteral("MultValueEdit=Multiplier:")};
    QTest::newRow("French") << 1
                            << QStringList{QStringLiteral("ColPaintBox=Spectre de la table des couleurs"),
                                           QStringLiteral("BotColorPanel=Couleur de début"),
                                           QStringLiteral("TopColorPanel=Couleur de fin"),
                                           QStringLiteral("TopPosPanel=Couleur supérieure de la frontière"),
                                           QStringLiteral("BotPosPanel=Couleur inférieure de la frontière"),
                                           QStringLiteral("PosEdit=Position de la frontière"),
                                           QStringLiteral("ColTrackBar=Position de la frontière"),
                                           QStringLiteral("LeftButton=Déplacer la frontière à gauche"),
                                           QStringLiteral("RigthButton=Déplacer la frontière à droite"),
                                           QStringLiteral("DelButton=Effacer la frontière sélectionnée"),
                                           QStringLiteral("ZoomInButton=Zoom table des couleurs"),
                                           QStringLiteral("ZoomMoveButton=Déplacement table des couleurs"),
                                           QStringLiteral("ZoomLabelButton=Reset Zoom table des couleurs"),
                                           QStringLiteral("OpenButton=Ouvrir une table des couleurs"),
                                           QStringLiteral("SaveButton=Enregistrer la table des couleurs"),
                                           QStringLiteral("SeeButton=Prévue des modifications"),
                                           QStringLiteral("BioMoButton=Couleur du Biomorphe"),
                                           QStringLiteral("FilaButton=Couleur des filaments"),
                                           QStringLiteral("OffsetHueEdit=Déc. couleur:"),
                                           QStringLiteral("MultValueEdit=Multiplic.:")};
}

void TestColourEditors::tableEditorNamesInBothLanguages()
{
    QFETCH(int, language);
    QFETCH(QStringList, names);
    WindowFixture fx;
    fillValues24(fx, 20, 20);
    auto form = openTableEditor(fx, 2, language);
    QCOMPARE(form->windowTitle(), language == 0 ? QStringLiteral("24 bits color") : QStringLiteral("Couleurs 24 bits"));
    for (const QString& pair : names) {
        const QString object = pair.section(QLatin1Char('='), 0, 0), name = pair.section(QLatin1Char('='), 1);
        QWidget* w = form->findChild<QWidget*>(object);
        QVERIFY2(w, qPrintable(object));
        QCOMPARE(w->accessibleName(), name);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), name);
    }
    form->reject();
}

void TestColourEditors::menusOpenTheTableEditor()
{
    WindowFixture fx;
    fillValues24(fx, 30, 20);
    fx.w().DrawMainMenus();
    int page = -1;
    QTimer::singleShot(0, [&page] {
        auto* form = qobject_cast<ui::TColor24bForm*>(QApplication::activeModalWidget());
        if (!form)
            return;
        page = form->pages()->currentIndex();
        press(form, "DelButton");  // the first boundary
        press(form, "OKButton");
    });
    const std::vector<uint32_t> before = positions(fx.f().ColorTable24);
    QVERIFY(fx.trigger("MenuCoul24"));
    QCOMPARE(page, 0);
    const std::vector<uint32_t> after = positions(fx.f().ColorTable24);
    QCOMPARE(after.size() + 1, before.size());
    QCOMPARE(after.front(), before[1]);
    QVERIFY(fx.f().Modified);

    // "Colors" of the picture's menu: page two, and Cancel changes nothing.
    page = -1;
    QTimer::singleShot(0, [&page] {
        auto* form = qobject_cast<ui::TColor24bForm*>(QApplication::activeModalWidget());
        if (!form)
            return;
        page = form->pages()->currentIndex();
        press(form, "DelButton");
        press(form, "CancelButton");
    });
    QVERIFY(fx.trigger("PopColor"));
    QCOMPARE(page, 1);
    QVERIFY(positions(fx.f().ColorTable24) == after);
}

void TestColourEditors::tableEditorControlRulesAndFiles()
{
    WindowFixture fx;
    fx.f().Params.Algorithm = engine::AlgColorDistance;
    fillValues24(fx, 30, 20);
    auto form = openTableEditor(fx, 1);
    auto enabled = [&form](const char* name) { return form->findChild<QWidget*>(QLatin1String(name))->isEnabled(); };
    // "Color table" mode: no parameters, page two shown; filaments only from page two.
    QVERIFY(form->pages()->isTabVisible(1));
    QVERIFY(!enabled("ParamGroupBox"));
    QVERIFY(!enabled("BioMoButton2"));
    QVERIFY(enabled("FilaButton"));
    QVERIFY(!enabled("FilaButton2"));
    child<QComboBox>(form.get(), "FrontComboBox")->setCurrentIndex(1);
    QVERIFY(!form->pages()->isTabVisible(1));
    QVERIFY(enabled("ParamGroupBox"));
    QVERIFY(enabled("BioMoButton2"));
    QVERIFY(enabled("FilaButton2"));
    QVERIFY(!enabled("MultValueEdit"));  // value function "Unity"
    child<QComboBox>(form.get(), "ValueComboBox")->setCurrentIndex(2);
    QVERIFY(enabled("MultValueEdit"));
    QCOMPARE(fx.f().ValueFunction, uint8_t(2));
    // The biomorph colour from page one: tables rebuilt, the picture recoloured.
    ui::setColourPicker([](QWidget*, const QColor&) -> std::optional<QColor> { return QColor(1, 200, 3); });
    press(form.get(), "BioMoButton2");
    ui::setColourPicker({});
    QCOMPARE(form->model().workingTable().biomorph, colour::rgbToColour(0x01C803));
    QVERIFY(waitForRecolouring(form->recolourer()));
    const uint8_t* inside = fx.f().Bitmap.row(0);  // (0, 0) is inside
    QCOMPARE(int(inside[0]), 3);    // blue
    QCOMPARE(int(inside[1]), 200);  // green
    QCOMPARE(int(inside[2]), 1);    // red
    child<QComboBox>(form.get(), "FrontComboBox")->setCurrentIndex(0);

    // Save as warm.p24: the editor shows "warm.p24"; opened again it shows "warm".
    FakeColourDialogs dialogs;
    const QString path = fx.path(QStringLiteral("warm"));
    dialogs.paths << path << path + QStringLiteral(".p24");
    ui::setColourFileDialogs(&dialogs);
    press(form.get(), "SaveButton");
    QCOMPARE(form->tableCaption(), QStringLiteral("warm.p24"));
    QCOMPARE(QFileInfo(path + QStringLiteral(".p24")).size(), 1804);
    const colour::ColorTable24 saved = form->model().workingTable();
    press(form.get(), "DelButton");
    QVERIFY(!(form->model().workingTable() == saved));
    press(form.get(), "OpenButton");
    ui::setColourFileDialogs(nullptr);
    QCOMPARE(form->tableCaption(), QStringLiteral("warm"));
    QVERIFY(form->model().workingTable() == saved);
    // Dropped: read as ".p24" whatever its name; a palette file is refused with two beeps.
    press(form.get(), "DelButton");
    form->openDroppedFile(path + QStringLiteral(".p24"));
    QVERIFY(form->model().workingTable() == saved);
    const int beeps = fx.services.beeps;
    QFile act(fx.path(QStringLiteral("x.act")));
    QVERIFY(act.open(QIODevice::WriteOnly));
    act.write(QByteArray(1804, '\x01'));
    act.close();
    form->openDroppedFile(act.fileName());
    QCOMPARE(fx.services.beeps, beeps + 2);
    QVERIFY(form->model().workingTable() == saved);
    form->reject();
}

void TestColourEditors::editorsWaitForAnIdleEngine()
{
    WindowFixture fx;
    QVERIFY(fx.allocate(600, 400));
    fx.f().Params.MaxIter = 60000;  // long enough to be caught running
    fx.w().DrawMainMenus();
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            opened = true;
            dialog->reject();
        }
    });
    QVERIFY(fx.trigger("MenuCal"));
    QVERIFY(!fx.w().isIdle());
    const int beeps = fx.services.beeps;
    fx.w().runCommand(ui::Cmd::MenuPal8);
    QCOMPARE(fx.services.beeps, beeps + 1);
    QVERIFY(!opened);
    fx.w().runCommand(ui::Cmd::MenuSto);
    QVERIFY(fx.w().runner().waitUntilIdle(30000));
}

void TestColourEditors::previewOffByDefaultTogglesBetweenInitialAndCandidates()
{
    WindowFixture fx;
    fillValues(fx, 60, 40, engine::PixelFormat8);
    const colour::Colour8State initial = fx.f().colour8();
    auto form = openPaletteEditor(fx, 0, 1);
    auto* see1 = child<QPushButton>(form.get(), "SeeButton1");
    auto* see2 = child<QPushButton>(form.get(), "SeeButton2");
    QVERIFY(see1->isCheckable() && !see1->isChecked() && !see2->isChecked());
    child<QComboBox>(form.get(), "FrontComboBox")->setCurrentIndex(1);
    child<QSpinBox>(form.get(), "CorrSpinEdit")->setValue(25);
    press(form.get(), "BioMoButton");
    clickCell(*form, 33);
    press(form.get(), "RigthButton");
    QVERIFY(!form->recolourer().busy());  // nothing previewed
    // On: the candidates, through the edit palette.
    press(form.get(), "SeeButton2");
    QVERIFY(see1->isChecked() && see2->isChecked());
    QCOMPARE(fx.f().BoundaryType, colour::BoundaryKind::Log);
    QCOMPARE(fx.f().BiomorphIndex, 33);
    QVERIFY(waitForRecolouring(form->recolourer()));
    const colour::PaletteEntry edited = form->model().editPalette().entries[1];
    QVERIFY(!(edited == initial.Palette.entries[1]));
    QCOMPARE(QColor(fx.w().mainImage()->image().color(1)), QColor(edited.red, edited.green, edited.blue));
    // Off again: the document as it was at opening, through its own palette.
    press(form.get(), "SeeButton1");
    QVERIFY(!see1->isChecked() && !see2->isChecked());
    QVERIFY(fx.f().colour8() == initial);
    QVERIFY(waitForRecolouring(form->recolourer()));
    auto ref = referenceImage(fx.f().Params, engine::PixelFormat8);
    ref->Data = fx.f().Data;
    ref->colour8() = initial;
    ref->SelectColorLine();
    ref->ColourAllRows();
    QVERIFY(ref->Bitmap.Pixels == fx.f().Bitmap.Pixels);
    const colour::PaletteEntry e1 = initial.Palette.entries[1];
    QCOMPARE(QColor(fx.w().mainImage()->image().color(1)), QColor(e1.red, e1.green, e1.blue));
    // OK keeps the candidates even with the preview off.
    press(form.get(), "OKButton");
    QCOMPARE(fx.f().BoundaryType, colour::BoundaryKind::Log);
    QCOMPARE(fx.f().Multiplier, 25);
    QCOMPARE(fx.f().BiomorphIndex, 33);
    QCOMPARE(fx.f().Palette.entries[2], initial.Palette.entries[1]);
}

void TestColourEditors::stripFromTheKeyboard()
{
    WindowFixture fx;
    fillValues24(fx, 30, 20);
    auto form = openTableEditor(fx);
    auto& m = form->model();
    ui::ColourStrip* strip = form->strip();
    strip->setFocus();
    strip->setCursorX(int(m.xOf(700)));
    QTest::keyClick(strip, Qt::Key_Space);
    QCOMPARE(m.workingTable().records[size_t(m.selected())].position, 700u);
    QTest::keyClick(strip, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(strip->cursorX(), int(m.xOf(700)) + 10);
    const int count = m.boundaryCount();
    const uint32_t value = m.valueAt(strip->cursorX());
    QTest::keyClick(strip, Qt::Key_Insert);
    QCOMPARE(m.boundaryCount(), count + 1);
    QCOMPARE(m.workingTable().records[size_t(m.selected())].position, value);
    QTest::keyClick(strip, Qt::Key_Plus);
    QCOMPARE(m.zoomFactor(), 2);
    QCOMPARE(m.valueAt(strip->cursorX()), value);
    QVERIFY(!m.zoomMode());  // the key zooms once, no mode stays on
    QTest::keyClick(strip, Qt::Key_Minus);
    QCOMPARE(m.zoomFactor(), 1);
    QCOMPARE(m.offset(), 0);
    form->reject();
}

QTEST_MAIN(TestColourEditors)
#include "tst_coloureditors.moc"
