// Markers on the window's picture: placing them with the mouse and the keyboard, the properties dialog,
// showing, hiding and deleting them, and the go-to dialog.
#include <QComboBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>
#include <vector>

#include "colour/Fract3D.h"
#include "document/MarkerSlots.h"
#include "document/View3D.h"
#include "engine/AllocationFault.h"
#include "engine/NumberFormat.h"
#include "storage/Document.h"
#include "UiTestUtil.h"
#include "ui/ImageView.h"
#include "ui/Texts.h"
#include "ui/dialogs/MarkerForm.h"
#include "ui/dialogs/PosForm.h"
#include "ui/modes/ModeBinding.h"
#include "ui/modes/ModeController.h"
#include "ui/tools/MarkerLayer.h"

namespace {

constexpr int W = 120, H = 90;

// Runs `edit` on the modal dialog the next command opens.
template <typename Dialog, typename Edit>
void onNextDialog(Edit edit)
{
    QTimer::singleShot(0, [edit] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        edit(dialog);
    });
}

template <typename T>
T* child(QObject* parent, const char* name)
{
    return parent->findChild<T*>(QLatin1String(name));
}

uint32_t bitmapValue(const document::TFractal& f, int x, int y)
{
    const uint8_t* row = f.Bitmap.row(y);
    if (f.Bitmap.bytesPerPixel() == 1)
        return row[x];
    const uint8_t* p = row + size_t(x) * 3;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

std::vector<uint32_t> bitmapValues(const document::TFractal& f)
{
    std::vector<uint32_t> v;
    for (int y = 0; y < f.Bitmap.Height; ++y)
        for (int x = 0; x < f.Bitmap.Width; ++x)
            v.push_back(bitmapValue(f, x, y));
    return v;
}

uint32_t pictureValue(const QImage& img, int x, int y)
{
    return img.format() == QImage::Format_Indexed8 ? uint32_t(img.pixelIndex(x, y)) : img.pixel(x, y) & 0xFFFFFFu;
}

// The picture shows the bitmap pixel for pixel.
bool pictureShowsBitmap(vxtest::WindowFixture& fx)
{
    const QImage& img = fx.w().mainImage()->image();
    const document::TFractal& f = fx.f();
    if (img.width() != f.Bitmap.Width || img.height() != f.Bitmap.Height)
        return false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pictureValue(img, x, y) != bitmapValue(f, x, y))
                return false;
    return true;
}

uint32_t pen(vxtest::WindowFixture& fx)
{
    const document::TFractal& f = fx.f();
    return document::markerPen(fx.w().settings().prefs.markerColour, f.PixelFormat, f.Palette);
}

// A computed 120 x 90 Mandelbrot image in a window shown on screen.
void computedWindow(vxtest::WindowFixture& fx, uint8_t format = engine::PixelFormat8)
{
    fx.w().show();
    QVERIFY(fx.allocate(W, H, format));
    QVERIFY(fx.computeAndWait());
}

void click(vxtest::WindowFixture& fx, QPoint pixel, Qt::MouseButton button = Qt::LeftButton)
{
    ui::ImageView* image = fx.w().mainImage();
    QTest::mouseMove(image, pixel);
    QTest::mouseClick(image, button, {}, pixel);
}

// "Place Marker" and a click at `pixel`.
bool placeWithMouse(vxtest::WindowFixture& fx, QPoint pixel)
{
    if (!fx.trigger("PopMarker"))
        return false;
    click(fx, pixel);
    return true;
}

std::vector<int> usedNumbers(const document::TFractal& f)
{
    std::vector<int> n;
    for (int i = 0; i < document::MarkerSlots; ++i)
        if (f.Markers[size_t(i)].InUse)
            n.push_back(i + 1);
    return n;
}

QString noMarker(vxtest::WindowFixture& fx)
{
    return ui::tx(text::StatusText::NoMarkerAvailable, fx.w().settings().language());
}

}  // namespace

class TestMarkers : public QObject {
    Q_OBJECT
private slots:
    void placingDrawsTheMarkerAtOnce();
    void freedNumberIsTakenAgain();
    void sixteenthMarkerIsRefused();
    void largestMarkerErasedRestoresEveryPixel_data();
    void largestMarkerErasedRestoresEveryPixel();
    void showingWithoutMarkersReportsIt();
    void keyboardPlacesAMarker();
    void propertiesDialog_data();
    void propertiesDialog();
    void usedTextFollowsTheMemo();
    void sizeAndColourAppliedAtOnce();
    void computingKeepsMarkersOverTheNewPicture();
    void goToRefusesPointsOutsideTheImage_data();
    void goToRefusesPointsOutsideTheImage();
    void goToJuliaConstantFromADocument();
    void goToCentreWithoutMarker();
    void placedWhileComputingIsDrawnAtTheEnd();
    void markersFollowTheReliefIn3D();
    void openedDocumentShowsItsMarkers();
    void accessibleNames_data();
    void accessibleNames();
    void noMemoryForMarkers_data();
    void noMemoryForMarkers();
};

void TestMarkers::placingDrawsTheMarkerAtOnce()
{
    vxtest::WindowFixture fx;
    computedWindow(fx);
    fx.f().Modified = false;
    QVERIFY(placeWithMouse(fx, QPoint(50, 40)));
    QCOMPARE(usedNumbers(fx.f()), std::vector<int>{1});
    const document::Marker& m = fx.f().Markers[0];
    QCOMPARE(m.X, 50);
    QCOMPARE(m.Y, 40);
    QVERIFY(m.Label.empty());
    QCOMPARE(m.Shape, document::MarkerShape::Simple);
    QVERIFY(fx.f().Modified);
    // The cross's centre carries the marker colour, on the bitmap and on the picture.
    QCOMPARE(bitmapValue(fx.f(), 50, 40), pen(fx));
    QVERIFY(pictureShowsBitmap(fx));
    // The mode ended with the click.
    QVERIFY(!fx.w().modes().controller().active());
}

void TestMarkers::freedNumberIsTakenAgain()
{
    vxtest::WindowFixture fx;
    computedWindow(fx);
    for (QPoint p : {QPoint(20, 20), QPoint(60, 45), QPoint(100, 70)})
        QVERIFY(placeWithMouse(fx, p));
    QCOMPARE(usedNumbers(fx.f()), (std::vector<int>{1, 2, 3}));
    // Marker 2 deleted from its properties dialog (double-click on it).
    bool shown = false;
    onNextDialog<ui::TMarkerForm>([&shown](ui::TMarkerForm* form) {
        shown = true;
        QTest::mouseClick(child<QPushButton>(form, "DeleteButton"), Qt::LeftButton);
    });
    QTest::mouseDClick(fx.w().mainImage(), Qt::LeftButton, {}, QPoint(62, 44));
    QVERIFY(shown);
    QCOMPARE(usedNumbers(fx.f()), (std::vector<int>{1, 3}));
    QVERIFY(placeWithMouse(fx, QPoint(40, 60)));
    QCOMPARE(usedNumbers(fx.f()), (std::vector<int>{1, 2, 3}));
    QCOMPARE(fx.f().Markers[1].X, 40);
    QCOMPARE(fx.f().Markers[1].Y, 60);
}

void TestMarkers::sixteenthMarkerIsRefused()
{
    vxtest::WindowFixture fx;
    computedWindow(fx);
    for (int i = 0; i < document::MarkerSlots; ++i)
        QVERIFY(placeWithMouse(fx, QPoint(10 + 7 * i, 20 + 3 * i)));
    QCOMPARE(int(usedNumbers(fx.f()).size()), document::MarkerSlots);
    const document::MarkerSet before = fx.f().markers();
    const std::vector<uint32_t> pixels = bitmapValues(fx.f());
    QVERIFY(placeWithMouse(fx, QPoint(100, 10)));
    QCOMPARE(fx.panel(4), noMarker(fx));
    QVERIFY(fx.f().markers() == before);
    QVERIFY(bitmapValues(fx.f()) == pixels);
}

void TestMarkers::largestMarkerErasedRestoresEveryPixel_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QPoint>("at");
    QTest::newRow("8-bit, inside") << int(engine::PixelFormat8) << QPoint(60, 45);
    QTest::newRow("24-bit, inside") << int(engine::PixelFormat24) << QPoint(60, 45);
    QTest::newRow("8-bit, over the corner") << int(engine::PixelFormat8) << QPoint(3, 2);
    QTest::newRow("24-bit, over the far edge") << int(engine::PixelFormat24) << QPoint(W - 1, 70);
}

void TestMarkers::largestMarkerErasedRestoresEveryPixel()
{
    QFETCH(int, format);
    QFETCH(QPoint, at);
    vxtest::WindowFixture fx;
    fx.w().settings().prefs.markerSize = document::MarkerBlock;
    computedWindow(fx, uint8_t(format));
    const std::vector<uint32_t> before = bitmapValues(fx.f());
    const QImage pictureBefore = fx.w().mainImage()->image().copy();
    QVERIFY(placeWithMouse(fx, at));
    QCOMPARE(usedNumbers(fx.f()), std::vector<int>{1});
    // The cross reaches 20 pixels on each side: the ends of its arms are drawn, nothing beyond them.
    const std::vector<uint32_t> drawn = bitmapValues(fx.f());
    int changed = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (drawn[size_t(y * W + x)] != before[size_t(y * W + x)]) {
                ++changed;
                QVERIFY2(std::abs(x - at.x()) <= 20 && std::abs(y - at.y()) <= 20, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
    QVERIFY(changed > 0);
    if (at.x() - 20 >= 0)
        QCOMPARE(bitmapValue(fx.f(), at.x() - 20, at.y()), pen(fx));
    QVERIFY(pictureShowsBitmap(fx));

    // Deleting every marker gives back the picture as it was, pixel for pixel.
    fx.services.answers.push_back(ui::UiServices::Answer::Yes);
    QVERIFY(fx.trigger("MenuDeleteMkr"));
    QVERIFY(usedNumbers(fx.f()).empty());
    QVERIFY(bitmapValues(fx.f()) == before);
    QCOMPARE(fx.w().mainImage()->image(), pictureBefore);
}

void TestMarkers::showingWithoutMarkersReportsIt()
{
    vxtest::WindowFixture fx;
    computedWindow(fx);
    fx.w().settings().prefs.markersShown = false;
    fx.w().DrawMainMenus();
    QVERIFY(fx.trigger("MenuMarker"));
    QVERIFY(fx.w().settings().prefs.markersShown);
    QCOMPARE(fx.panel(4), noMarker(fx));

    // With a marker, hiding takes it off and showing puts it back, and no report is made.
    QVERIFY(placeWithMouse(fx, QPoint(30, 30)));
    const std::vector<uint32_t> withMarker = bitmapValues(fx.f());
    QVERIFY(fx.trigger("MenuMarker"));
    QVERIFY(!fx.w().settings().prefs.markersShown);
    QVERIFY(bitmapValues(fx.f()) != withMarker);
    QVERIFY(pictureShowsBitmap(fx));
    QVERIFY(fx.trigger("MenuMarker"));
    QVERIFY(bitmapValues(fx.f()) == withMarker);
    QVERIFY(fx.panel(4) != noMarker(fx));
    QVERIFY(pictureShowsBitmap(fx));
}

void TestMarkers::keyboardPlacesAMarker()
{
    vxtest::WindowFixture fx;
    computedWindow(fx);
    QVERIFY(fx.trigger("PopMarker"));
    ui::ImageView* image = fx.w().mainImage();
    // The keyboard cursor starts in the middle of the visible picture.
    QVERIFY(fx.w().modes().controller().mode());
    const QPoint start = fx.w().modes().controller().mode()->keyPoint();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(image, Qt::Key_Right);
    QTest::keyClick(image, Qt::Key_Up, Qt::ShiftModifier);  // ten pixels
    QTest::keyClick(image, Qt::Key_Return);
    QCOMPARE(usedNumbers(fx.f()), std::vector<int>{1});
    QCOMPARE(fx.f().Markers[0].X, start.x() + 3);
    QCOMPARE(fx.f().Markers[0].Y, start.y() - 10);
}

void TestMarkers::propertiesDialog_data()
{
    QTest::addColumn<QPoint>("target");  // the pixel whose plane point is typed; outside: deleted
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("kept");
    QTest::newRow("moved, labelled, circle") << QPoint(80, 60) << QStringLiteral("Here") << 1 << true;
    QTest::newRow("same place, new shape") << QPoint(30, 25) << QString() << 4 << true;
    QTest::newRow("moved out of the image") << QPoint(W + 30, 10) << QStringLiteral("gone") << 0 << false;
}

void TestMarkers::propertiesDialog()
{
    QFETCH(QPoint, target);
    QFETCH(QString, text);
    QFETCH(int, shape);
    QFETCH(bool, kept);
    vxtest::WindowFixture fx;
    computedWindow(fx);
    const std::vector<uint32_t> clean = bitmapValues(fx.f());
    QVERIFY(placeWithMouse(fx, QPoint(30, 25)));
    fx.f().Modified = false;
    const document::TFractal& f = fx.f();
    const double x = target.x() * f.Params.Step + f.LeftX, y = f.TopY - target.y() * f.Params.Step;
    QString shownPixel;
    onNextDialog<ui::TMarkerForm>([&](ui::TMarkerForm* form) {
        shownPixel = child<QLabel>(form, "PixelLabel")->text();
        child<QLineEdit>(form, "XEdit")->setText(QString::fromStdString(engine::formatGeneral(x, 16)));
        child<QLineEdit>(form, "YEdit")->setText(QString::fromStdString(engine::formatGeneral(y, 16)));
        child<QPlainTextEdit>(form, "MarkerMemo")->setPlainText(text);
        child<QComboBox>(form, "TComboBox")->setCurrentIndex(shape);
        form->accept();
    });
    QTest::mouseDClick(fx.w().mainImage(), Qt::LeftButton, {}, QPoint(31, 26));
    QCOMPARE(shownPixel, QStringLiteral("X: 30  Y: 25"));
    QVERIFY(fx.f().Modified);
    if (!kept) {
        QVERIFY(usedNumbers(fx.f()).empty());
        QVERIFY(bitmapValues(fx.f()) == clean);
        return;
    }
    QCOMPARE(usedNumbers(fx.f()), std::vector<int>{1});
    const document::Marker& m = fx.f().Markers[0];
    QCOMPARE(QPoint(m.X, m.Y), target);
    QCOMPARE(QString::fromStdString(m.Label), text);
    QCOMPARE(int(m.Shape), shape);
    QCOMPARE(bitmapValue(fx.f(), target.x(), target.y()), pen(fx));
    QVERIFY(pictureShowsBitmap(fx));
}

void TestMarkers::usedTextFollowsTheMemo()
{
    ui::TMarkerForm form(3, {0.5, -0.25, "abc", document::MarkerShape::Square}, QPoint(4, 5), false, 0, true);
    QCOMPARE(form.usedText(), QStringLiteral("Used text: 3/80"));
    auto* memo = child<QPlainTextEdit>(&form, "MarkerMemo");
    memo->setPlainText(QString(100, QLatin1Char('x')));
    QCOMPARE(memo->toPlainText().size(), 80);
    QCOMPARE(form.usedText(), QStringLiteral("Used text: 80/80"));
    QCOMPARE(child<QComboBox>(&form, "TComboBox")->currentIndex(), 2);
    // The position fields take digits, signs, points and exponents only.
    auto* xEdit = child<QLineEdit>(&form, "XEdit");
    xEdit->clear();
    QTest::keyClicks(xEdit, QStringLiteral("-1.5e-3xyz,"));
    QCOMPARE(xEdit->text(), QStringLiteral("-1.5e-3"));
    // In the 3D view only Delete, OK and Cancel are usable.
    ui::TMarkerForm form3D(1, {}, QPoint(), true, 1, false);
    QVERIFY(!child<QLineEdit>(&form3D, "XEdit")->isEnabled());
    QVERIFY(!child<QPlainTextEdit>(&form3D, "MarkerMemo")->isEnabled());
    QVERIFY(!child<QComboBox>(&form3D, "TComboBox")->isEnabled());
    QVERIFY(child<QPushButton>(&form3D, "DeleteButton")->isEnabled());
    QCOMPARE(form3D.usedText(), QStringLiteral("Texte utilisé: 0/80"));
}

void TestMarkers::sizeAndColourAppliedAtOnce()
{
    vxtest::WindowFixture fx;
    computedWindow(fx);
    fx.w().settings().prefs.markersShown = true;
    fx.w().settings().prefs.markerSize = 29;
    const std::vector<uint32_t> clean = bitmapValues(fx.f());
    QVERIFY(placeWithMouse(fx, QPoint(60, 45)));
    QCOMPARE(bitmapValue(fx.f(), 60 - 14, 45), pen(fx));  // the arm of a 29-pixel cross
    onNextDialog<QDialog>([](QDialog* form) {
        child<QSpinBox>(form, "MarkerSpinEdit")->setValue(21);
        form->accept();
    });
    QVERIFY(fx.trigger("MenuPre"));
    QCOMPARE(fx.w().settings().prefs.markerSize, 21);
    // Now a 21-pixel cross: its arm ends 10 pixels out; 14 pixels out shows the picture again.
    QCOMPARE(bitmapValue(fx.f(), 60 - 10, 45), pen(fx));
    QCOMPARE(bitmapValue(fx.f(), 60 - 14, 45), clean[size_t(45 * W + 60 - 14)]);
    QVERIFY(pictureShowsBitmap(fx));
}

void TestMarkers::computingKeepsMarkersOverTheNewPicture()
{
    vxtest::WindowFixture fx;
    computedWindow(fx);
    fx.w().settings().prefs.markersShown = true;
    const std::vector<uint32_t> clean = bitmapValues(fx.f());
    QVERIFY(placeWithMouse(fx, QPoint(60, 45)));
    const std::vector<uint32_t> marked = bitmapValues(fx.f());
    QVERIFY(fx.computeAndWait());
    // The same image computed again, with the marker over it; hiding it leaves the plain image.
    QVERIFY(bitmapValues(fx.f()) == marked);
    QVERIFY(pictureShowsBitmap(fx));
    QVERIFY(fx.trigger("MenuMarker"));
    QVERIFY(bitmapValues(fx.f()) == clean);
}

void TestMarkers::goToRefusesPointsOutsideTheImage_data()
{
    // Offsets in pixel steps from the image's corners (X0, Y0) at the left and top edges.
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<bool>("ok");
    QTest::newRow("inside") << 10.0 << 10.0 << true;
    QTest::newRow("left of the image") << -1.0 << 10.0 << false;
    QTest::newRow("on the left edge") << 0.0 << 10.0 << false;
    QTest::newRow("on the top edge") << 10.0 << 0.0 << false;
    QTest::newRow("above the image") << 10.0 << -3.0 << false;
    QTest::newRow("right of the image") << double(W) + 0.5 << 10.0 << false;
    QTest::newRow("just inside the right edge") << double(W) - 0.5 << 10.0 << true;
    QTest::newRow("below the image") << 10.0 << double(H) + 2 << false;
}

void TestMarkers::goToRefusesPointsOutsideTheImage()
{
    QFETCH(double, dx);
    QFETCH(double, dy);
    QFETCH(bool, ok);
    vxtest::WindowFixture fx;
    QVERIFY(fx.allocate(W, H));
    const document::TFractal& f = fx.f();
    ui::TPosForm::Context context;
    context.lastX = f.Params.CentreX;
    context.lastY = f.Params.CentreY;
    ui::TPosForm form(f, context);
    QVERIFY(form.okEnabled());
    auto* xEdit = child<QLineEdit>(&form, "XEdit");
    auto* yEdit = child<QLineEdit>(&form, "YEdit");
    xEdit->setText(QString::fromStdString(engine::formatGeneral(f.LeftX + dx * f.Params.Step, 16)));
    yEdit->setText(QString::fromStdString(engine::formatGeneral(f.TopY - dy * f.Params.Step, 16)));
    QCOMPARE(form.okEnabled(), ok);
    const bool xOutside = dx <= 0 || dx >= W, yOutside = dy <= 0 || dy >= H;
    QCOMPARE(xEdit->styleSheet().contains(QLatin1String("red")), xOutside);
    QCOMPARE(yEdit->styleSheet().contains(QLatin1String("red")), yOutside);
    // Back inside: OK again.
    form.takeCentre();
    QVERIFY(form.okEnabled());
    QCOMPARE(form.x(), f.Params.CentreX);
}

void TestMarkers::goToJuliaConstantFromADocument()
{
    // A small Julia document whose constant the go-to reads; its centre is elsewhere on purpose.
    vxtest::WindowFixture fx;
    const QString juliaPath = fx.path(QStringLiteral("seahorse.mbt"));
    {
        document::TFractal julia;
        storage::ResetToDefaults(julia);
        julia.Params.FractalType = engine::TypeId::Julia;
        julia.Params.ParamCr = -0.745;
        julia.Params.ParamCi = 0.113;
        julia.Params.CentreX = 0.9;
        julia.Params.CentreY = -0.7;
        QVERIFY(storage::AllocImage(julia, 8, 6, engine::PixelFormat8, true).ok);
        QVERIFY(storage::SaveDocument(julia, QFile::encodeName(juliaPath).toStdString()));
    }
    fx.w().show();
    constexpr int BigW = 1200, BigH = 900;  // larger than the view, so that it scrolls
    QVERIFY(fx.allocate(BigW, BigH));
    QVERIFY(fx.computeAndWait());
    fx.w().settings().prefs.markersShown = true;
    fx.w().DrawMainMenus();
    const document::TFractal& f = fx.f();
    const QPoint expected(int(std::lround((-0.745 - f.LeftX) / f.Params.Step)), int(std::lround((f.TopY - 0.113) / f.Params.Step)));
    QVERIFY(expected.x() > 0 && expected.x() < BigW && expected.y() > 0 && expected.y() < BigH);

    fx.services.openPaths.push_back(juliaPath);
    QString xShown, yShown;
    bool markerChecked = false;
    onNextDialog<ui::TPosForm>([&](ui::TPosForm* form) {
        QTest::mouseClick(child<QPushButton>(form, "FileButton"), Qt::LeftButton);
        xShown = child<QLineEdit>(form, "XEdit")->text();
        yShown = child<QLineEdit>(form, "YEdit")->text();
        markerChecked = child<QCheckBox>(form, "MarkerCheckBox")->isChecked();
        QVERIFY(form->okEnabled());
        form->accept();
    });
    QVERIFY(fx.trigger("MenuGoto"));
    QCOMPARE(xShown, QStringLiteral("-0.745"));
    QCOMPARE(yShown, QStringLiteral("0.113"));
    QVERIFY(markerChecked);
    QCOMPARE(fx.w().settings().lastGotoX, -0.745);
    QCOMPARE(fx.w().settings().lastGotoY, 0.113);

    // The marker, labelled with the document's name and type.
    QCOMPARE(usedNumbers(f), std::vector<int>{1});
    QCOMPARE(QPoint(f.Markers[0].X, f.Markers[0].Y), expected);
    QCOMPARE(QString::fromStdString(f.Markers[0].Label), QStringLiteral("seahorse/") + QString::fromUtf8(engine::typeName(engine::TypeId::Julia).data()));
    QVERIFY(f.Modified);

    // The point is in the middle of the view.
    QScrollArea* box = fx.w().scrollBox();
    const int viewLeft = box->horizontalScrollBar()->value(), viewTop = box->verticalScrollBar()->value();
    const QSize view = box->viewport()->size();
    QVERIFY(box->horizontalScrollBar()->maximum() > 0 && box->verticalScrollBar()->maximum() > 0);
    QVERIFY2(std::abs(viewLeft + view.width() / 2 - expected.x()) <= 1, qPrintable(QString::number(viewLeft)));
    QVERIFY2(std::abs(viewTop + view.height() / 2 - expected.y()) <= 1, qPrintable(QString::number(viewTop)));

    // Two lines cross there, over the whole image, until the next mode reset.
    const QImage& img = fx.w().mainImage()->image();
    const uint32_t line = pictureValue(img, expected.x(), 0);
    for (int y = 0; y < BigH; ++y)
        QCOMPARE(pictureValue(img, expected.x(), y), line);
    for (int x = 0; x < BigW; ++x)
        QCOMPARE(pictureValue(img, x, expected.y()), line);
    QVERIFY(!pictureShowsBitmap(fx));
    fx.w().CancelModes();
    QVERIFY(pictureShowsBitmap(fx));
}

void TestMarkers::goToCentreWithoutMarker()
{
    vxtest::WindowFixture fx;
    computedWindow(fx);
    fx.w().settings().prefs.markersShown = false;
    fx.f().Modified = false;
    onNextDialog<ui::TPosForm>([](ui::TPosForm* form) {
        QVERIFY(!child<QCheckBox>(form, "MarkerCheckBox")->isChecked());
        QTest::mouseClick(child<QPushButton>(form, "CenterButton"), Qt::LeftButton);
        form->accept();
    });
    QVERIFY(fx.trigger("MenuGoto"));
    QVERIFY(usedNumbers(fx.f()).empty());
    QVERIFY(!fx.f().Modified);
    QCOMPARE(fx.w().settings().lastGotoX, fx.f().Params.CentreX);
    QCOMPARE(fx.panel(4), QString());
    // The lines cross at the centre pixel.
    const QImage& img = fx.w().mainImage()->image();
    const uint32_t line = pictureValue(img, W / 2, 0);
    for (int y = 0; y < H; ++y)
        QCOMPARE(pictureValue(img, W / 2, y), line);
}

void TestMarkers::placedWhileComputingIsDrawnAtTheEnd()
{
    vxtest::WindowFixture fx;
    fx.w().show();
    fx.f().Params.MaxIter = 3000;
    fx.f().Periodicity = false;
    QVERIFY(fx.allocate(400, 300));
    QVERIFY(fx.computeAndWait());
    fx.w().settings().prefs.markersShown = true;
    const std::vector<uint32_t> clean = bitmapValues(fx.f());
    // The same image again; a marker is placed while it computes (or just after, on a fast machine).
    QSignalSpy finished(&fx.w(), &ui::TMainForm::computationFinished);
    QVERIFY(fx.trigger("MenuCal"));
    QVERIFY(placeWithMouse(fx, QPoint(200, 150)));
    QCOMPARE(usedNumbers(fx.f()), std::vector<int>{1});
    QVERIFY(finished.count() == 1 || finished.wait(120000));
    QCOMPARE(bitmapValue(fx.f(), 200, 150), pen(fx));
    QVERIFY(pictureShowsBitmap(fx));
    QVERIFY(fx.trigger("MenuMarker"));
    QVERIFY(bitmapValues(fx.f()) == clean);
}

void TestMarkers::markersFollowTheReliefIn3D()
{
    vxtest::WindowFixture fx;
    computedWindow(fx);
    fx.w().settings().prefs.markersShown = true;
    const QPoint at(12, 10);  // outside the set: the relief is low there
    QVERIFY(placeWithMouse(fx, at));
    QSignalSpy finished(&fx.w(), &ui::TMainForm::backgroundTaskFinished);
    fx.w().draw3D();
    QVERIFY(finished.count() == 1 || finished.wait(60000));
    QVERIFY(fx.f().View3D);

    // The same relief drawn without the window and without markers.
    auto ref = vxtest::referenceImage(fx.f().Params, fx.f().PixelFormat);
    ref->view3D() = fx.f().view3D();
    colour::TFract3D view;
    QCOMPARE(document::Draw3D(*ref, view, 1), document::Draw3DResult::Done);
    const colour::ScreenPoint p = view.ProjectPoint(at.x(), at.y(), ref->Data.at(at.y(), at.x()));
    QVERIFY2(p.X >= 0 && p.Y >= 0 && p.X < W && p.Y < H, qPrintable(QStringLiteral("%1,%2 h %3").arg(p.X).arg(p.Y).arg(ref->Data.at(at.y(), at.x()))));
    // The marker is drawn where the relief shows its pixel, and nowhere else.
    QCOMPARE(bitmapValue(fx.f(), p.X, p.Y), pen(fx));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (std::abs(x - p.X) > 20 || std::abs(y - p.Y) > 20)
                QCOMPARE(bitmapValue(fx.f(), x, y), bitmapValue(*ref, x, y));
    QVERIFY(pictureShowsBitmap(fx));
    QCOMPARE(fx.f().Markers[0].X, at.x());  // the document keeps its plain position

    // Its properties from a double-click on the relief: only Delete can change it, and it does.
    bool positionLocked = false;
    onNextDialog<ui::TMarkerForm>([&positionLocked](ui::TMarkerForm* form) {
        positionLocked = !child<QLineEdit>(form, "XEdit")->isEnabled();
        QTest::mouseClick(child<QPushButton>(form, "DeleteButton"), Qt::LeftButton);
    });
    QTest::mouseDClick(fx.w().mainImage(), Qt::LeftButton, {}, QPoint(p.X, p.Y));
    QVERIFY(positionLocked);
    QVERIFY(usedNumbers(fx.f()).empty());
    QVERIFY(fx.f().Bitmap.Pixels == ref->Bitmap.Pixels);
}

void TestMarkers::openedDocumentShowsItsMarkers()
{
    vxtest::WindowFixture fx;
    computedWindow(fx);
    fx.w().settings().prefs.markersShown = false;
    const std::vector<uint32_t> clean = bitmapValues(fx.f());
    QVERIFY(placeWithMouse(fx, QPoint(25, 30)));
    QVERIFY(placeWithMouse(fx, QPoint(90, 60)));
    const QString path = fx.path(QStringLiteral("marked.mbt"));
    fx.services.savePaths.push_back(path);
    QVERIFY(fx.trigger("MenuSaveAsFrac"));
    QVERIFY(QFile::exists(path));
    // Hidden, then the document opened again: its markers are drawn and shown.
    QVERIFY(fx.trigger("MenuMarker"));
    QVERIFY(fx.trigger("MenuMarker"));
    QVERIFY(!fx.w().settings().prefs.markersShown);
    QVERIFY(bitmapValues(fx.f()) == clean);
    fx.f().Modified = false;
    fx.services.openPaths.push_back(path);
    QVERIFY(fx.trigger("MenuOpenFrac"));
    QVERIFY(fx.w().settings().prefs.markersShown);
    QCOMPARE(usedNumbers(fx.f()), (std::vector<int>{1, 2}));
    QCOMPARE(bitmapValue(fx.f(), 25, 30), pen(fx));
    QCOMPARE(bitmapValue(fx.f(), 90, 60), pen(fx));
    QVERIFY(pictureShowsBitmap(fx));
    // Deleting them gives the plain picture back.
    fx.services.answers.push_back(ui::UiServices::Answer::Yes);
    QVERIFY(fx.trigger("MenuDeleteMkr"));
    QVERIFY(bitmapValues(fx.f()) == clean);
}

void TestMarkers::accessibleNames_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("markerNames");  // XEdit, YEdit, MarkerMemo, TComboBox, PixelLabel
    QTest::addColumn<QStringList>("goToNames");    // XEdit, YEdit, MarkerCheckBox, title
    QTest::newRow("English") << 0
        << QStringList{"X Position", "Y Position", "Marker text", "Marker shape", "Pos. en pixels: X: 4  Y: 5"}
        << QStringList{"X Move", "Y Move", "Place Marker", "Move image to:"};
    QTest::newRow("French") << 1
        << QStringList{"Position X:", "Position Y:", "Texte du repère", "Forme du repère", "Pos. en pixels: X: 4  Y: 5"}
        << QStringList{"Déplacement X:", "Déplacement Y:", "Placer un repère", "Déplacement à:"};
}

void TestMarkers::accessibleNames()
{
    QFETCH(int, language);
    QFETCH(QStringList, markerNames);
    QFETCH(QStringList, goToNames);
    ui::TMarkerForm form(2, {0.5, -0.25, "abc", document::MarkerShape::Circle}, QPoint(4, 5), false, language, true);
    const char* names[] = {"XEdit", "YEdit", "MarkerMemo", "TComboBox", "PixelLabel"};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(child<QWidget>(&form, names[i])->accessibleName(), markerNames[i]);
    QVERIFY(child<QPushButton>(&form, "DeleteButton")->accessibleDescription().size() > 0);
    QVERIFY(child<QPlainTextEdit>(&form, "MarkerMemo")->accessibleDescription().endsWith(QStringLiteral("3/80")));

    vxtest::WindowFixture fx;
    QVERIFY(fx.allocate(W, H));
    ui::TPosForm::Context context;
    context.language = language;
    ui::TPosForm pos(fx.f(), context);
    QCOMPARE(child<QWidget>(&pos, "XEdit")->accessibleName(), goToNames[0]);
    QCOMPARE(child<QWidget>(&pos, "YEdit")->accessibleName(), goToNames[1]);
    QCOMPARE(child<QCheckBox>(&pos, "MarkerCheckBox")->text(), goToNames[2]);
    QCOMPARE(pos.windowTitle(), goToNames[3]);
    QCOMPARE(child<QPushButton>(&pos, "FileButton")->accessibleDescription(),
             ui::tx(text::MarkerText::GetXAndYFromAFile, language));
}

void TestMarkers::noMemoryForMarkers_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("skip");
    QTest::addColumn<QString>("message");
    QTest::newRow("first 2D area") << int(engine::AllocationStep::Markers2D) << 0 << QStringLiteral("No Memory for Markers 2D");
    QTest::newRow("ninth 2D area") << int(engine::AllocationStep::Markers2D) << 8 << QStringLiteral("No Memory for Markers 2D");
    QTest::newRow("first 3D area") << int(engine::AllocationStep::Markers3D) << 0 << QStringLiteral("No Memory for Markers 3D");
}

void TestMarkers::noMemoryForMarkers()
{
    QFETCH(int, step);
    QFETCH(int, skip);
    QFETCH(QString, message);
    std::unique_ptr<vxtest::WindowFixture> fx;
    {
        engine::ScopedAllocationFailure fault(engine::AllocationStep(step), skip);
        fx = std::make_unique<vxtest::WindowFixture>();
    }
    QCOMPARE(fx->services.errors, QStringList{message});
    QVERIFY(!fx->w().markerLayer().available());
    QVERIFY(fx->allocate(W, H));
    // Without marker slots the marker entries are disabled.
    for (const char* entry : {"PopMarker", "MenuMarker", "MenuGoto", "PopShowMarker"})
        QVERIFY2(!fx->action(entry)->isEnabled(), entry);

    // A window whose slots were made offers them.
    vxtest::WindowFixture ok;
    QVERIFY(ok.services.errors.isEmpty());
    QVERIFY(ok.allocate(W, H));
    QVERIFY(ok.computeAndWait());
    QVERIFY(ok.action("PopMarker")->isEnabled());
}

QTEST_MAIN(TestMarkers)
#include "tst_markers.moc"
