// On a screen with two device pixels per logical pixel, "Display at 100%" shows one image pixel
// per device pixel, and mouse positions map to image pixels exactly.
#include <QApplication>
#include <QtTest>

#include "ui/ImageView.h"
#include "UiTestUtil.h"

class TestHiDpi : public QObject {
    Q_OBJECT
private slots:
    void onePixelPerDevicePixel();
};

void TestHiDpi::onePixelPerDevicePixel()
{
    document::TFractal f;
    storage::AllocImage(f, 200, 150, engine::PixelFormat8, true);
    ui::ImageView view;
    view.copyAll(f.Bitmap, f.Palette);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.devicePixelRatioF(), 2.0);
    QCOMPARE(view.displaySizeInDevicePixels(), QSize(200, 150));
    QCOMPARE(view.size(), QSize(100, 75));
    QCOMPARE(view.imagePixelAt(QPointF(10.25, 5.75)), QPoint(20, 11));
    QCOMPARE(view.imagePixelAt(QPointF(10.75, 5.25)), QPoint(21, 10));
}

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
