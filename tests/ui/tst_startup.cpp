// Start-up of the main window: preferences, controls, and documents named on the command line.
#include <QScrollArea>
#include <QStatusBar>
#include <QtTest>

#include "storage/Document.h"
#include "ui/CommandTable.h"
#include "ui/Cursors.h"
#include "ui/ImageView.h"
#include "ui/StatusLine.h"
#include "UiTestUtil.h"

using namespace vxtest;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void emptyPreferencesStartMaximizedInFrench();
    void windowStateFromPreferences_data();
    void windowStateFromPreferences();
    void everyControlAndCommandHasItsName();
    void commandLineArgumentsAreJoinedIntoOnePath();
    void damagedDocumentOnTheCommandLine_data();
    void damagedDocumentOnTheCommandLine();
    void customCursorsAreDrawn();
};

void TestStartup::emptyPreferencesStartMaximizedInFrench()
{
    WindowFixture fx;
    QVERIFY(fx.w().windowState() & Qt::WindowMaximized);
    QCOMPARE(int(fx.w().settings().language()), 1);
    QCOMPARE(fx.w().settings().prefs.fontSize, 8);
    QCOMPARE(fx.w().font().pointSize(), 8);
    QCOMPARE(fx.w().statusLine()->font().pointSize(), 8);
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex"));
    // A new document is empty: 1 x 1, so the size, type and scale panels are blank.
    QCOMPARE(fx.f().Params.Width, 1);
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(fx.panel(i), QString());
    QCOMPARE(fx.menu("MenuFil")->title(), QStringLiteral("&Fichier"));
    QVERIFY(fx.w().settings().userName.size() <= 20);
    QVERIFY(fx.w().settings().computerName.size() <= 20);
}

void TestStartup::windowStateFromPreferences_data()
{
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("fontSize");
    QTest::newRow("normal 800x600") << QByteArray("[Prefer]\nWst=0\nWid=800\nHei=600\nFntS=10\n") << false
                                    << QSize(800, 600) << 10;
    QTest::newRow("font 11 is corrected to 8") << QByteArray("[Prefer]\nWst=0\nWid=700\nHei=500\nFntS=11\n") << false
                                              << QSize(700, 500) << 8;
    QTest::newRow("below the 200 pixel minimum") << QByteArray("[Prefer]\nWst=0\nWid=50\nHei=20\n") << false
                                                << QSize(200, 200) << 8;
    QTest::newRow("maximized") << QByteArray("[Prefer]\nWst=1\nFntS=6\n") << true << QSize() << 6;
}

void TestStartup::windowStateFromPreferences()
{
    QFETCH(QByteArray, cfg);
    QFETCH(bool, maximized);
    QFETCH(QSize, size);
    QFETCH(int, fontSize);
    WindowFixture fx({}, cfg);
    QCOMPARE(bool(fx.w().windowState() & Qt::WindowMaximized), maximized);
    if (!maximized)
        QCOMPARE(fx.w().size(), size);
    QCOMPARE(fx.w().font().pointSize(), fontSize);
}

void TestStartup::everyControlAndCommandHasItsName()
{
    WindowFixture fx;
    for (const char* name : {"TopPanel", "MainImage", "StatusBar"})
        QVERIFY2(fx.w().findChild<QWidget*>(QLatin1String(name)), name);
    QVERIFY(fx.w().findChild<QScrollArea*>(QStringLiteral("MainScrollBox")));
    QVERIFY(fx.w().findChild<QMenu*>(QStringLiteral("MainPopupMenu2D")));
    QVERIFY(fx.w().findChild<QMenu*>(QStringLiteral("MainPopupMenu3D")));
    QVERIFY(fx.w().findChild<QTimer*>(QStringLiteral("MainFormTimer")));
    for (const ui::CommandInfo& info : ui::commandTable()) {
        QObject* found = fx.action(info.objectName);
        if (!found)
            found = fx.menu(info.objectName);
        QVERIFY2(found, info.objectName);
    }
    // The status line: five panels, 50, 50, 50, 50 and 200 pixels before the first refresh.
    ui::StatusLine status;
    const int widths[] = {50, 50, 50, 50, 200};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(status.panel(i)->minimumWidth(), widths[i]);
}

void TestStartup::commandLineArgumentsAreJoinedIntoOnePath()
{
    QTemporaryDir docs;
    engine::FractalParams params;
    params.Width = 64;
    params.Height = 48;
    auto g = referenceImage(params, engine::PixelFormat8);
    const QString path = docs.filePath(QStringLiteral("spiral arms deep.mbt"));
    QVERIFY(storage::SaveDocument(*g, QFile::encodeName(path).toStdString()));

    // The path arrives split at its blanks.
    WindowFixture fx(path.split(QLatin1Char(' ')));
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex: spiral arms deep"));
    QCOMPARE(fx.f().Params.Width, 64);
    QCOMPARE(fx.f().Params.Height, 48);
    QVERIFY(!fx.f().Modified);
    QVERIFY(!fx.f().ImageParamsChanged());
    QVERIFY(sameData(fx.f().Data, g->Data));
    QCOMPARE(fx.services.beeps, 0);
    QCOMPARE(fx.panel(1), QStringLiteral("64x48x8 bit"));
    // The picture shows the document's pixels.
    auto* image = fx.w().findChild<ui::ImageView*>(QStringLiteral("MainImage"));
    QCOMPARE(image->image().size(), QSize(64, 48));
    QCOMPARE(image->image().pixelIndex(10, 5), int(g->Bitmap.row(5)[10]));
}

void TestStartup::damagedDocumentOnTheCommandLine_data()
{
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    const QByteArray wrongMagic = QByteArray("\x04\xD9", 2) + QByteArray(5000, '\0');
    QTest::newRow("wrong magic, French") << QByteArray() << wrongMagic << QStringLiteral("Erreur de lecture du fichier");
    QTest::newRow("wrong magic, English") << QByteArray("[Prefer]\nLang=0\n") << wrongMagic
                                          << QStringLiteral("Error reading file");
    QTest::newRow("truncated header") << QByteArray() << QByteArray("\x03\xD9 short", 8)
                                      << QStringLiteral("Erreur de lecture du fichier");
}

void TestStartup::damagedDocumentOnTheCommandLine()
{
    QFETCH(QByteArray, cfg);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir docs;
    const QString path = docs.filePath(QStringLiteral("damaged.mbt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    WindowFixture fx({path}, cfg);
    QCOMPARE(fx.services.beeps, 1);
    QCOMPARE(fx.panel(4), message);
    QCOMPARE(fx.f().Params.Width, 1);
    QVERIFY(fx.f().FileName.empty());
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex"));
    QVERIFY(!fx.action("MenuCal")->isEnabled());
}

void TestStartup::customCursorsAreDrawn()
{
    QVERIFY(ui::loadCursors());
    for (int id = 1; id <= 5; ++id) {
        const QCursor& c = ui::vorexCursor(ui::CursorId(id));
        QVERIFY(!c.pixmap().isNull());
        QVERIFY(c.hotSpot().x() > 0 && c.hotSpot().y() > 0);
    }
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
