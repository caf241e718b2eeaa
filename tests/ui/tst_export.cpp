// The export dialog and "Export Image": what the dialog offers and remembers, and that the window writes
// the same file as vorex-cli with the same options.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include "storage/Document.h"
#include "ui/dialogs/ExportForm.h"
#include "ui/tools/ProgForm.h"
#include "UiTestUtil.h"

using namespace vxtest;
using storage::ExportFormat;

namespace {

template <typename W>
W* child(QWidget* w, const char* name)
{
    return w->findChild<W*>(QLatin1String(name));
}

QStringList listed(ui::TExportForm& form)
{
    QStringList items;
    auto* box = child<QComboBox>(&form, "ExTypeComboBox");
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QString selectedText(ui::TExportForm& form)
{
    return child<QComboBox>(&form, "ExTypeComboBox")->currentText();
}

// A computed document of that size and depth saved at `path`.
bool writeDocument(const QString& path, int width, int height, uint8_t format, uint8_t algorithm = engine::AlgLevel)
{
    engine::FractalParams p;
    p.Width = width;
    p.Height = height;
    p.CentreX = -0.6;
    p.CentreY = 0.1;
    p.Step = 2.8 / width;
    p.MaxIter = 300;
    p.Algorithm = algorithm;
    auto f = referenceImage(p, format);
    return storage::SaveDocument(*f, QFile::encodeName(path).toStdString());
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void init() { ui::exportSettings() = {}; }
    void formatsFollowTheDepth();
    void dialogRemembersFormatQualityAndResolution();
    void ditherAlwaysOpensOnNone();
    void oneOptionBoxPerFormat();
    void closingWithoutOkExportsNothing();
    void windowWritesTheSameFileAsTheCommandLine_data();
    void windowWritesTheSameFileAsTheCommandLine();
};

void TestExport::formatsFollowTheDepth()
{
    ui::TExportForm eight(engine::PixelFormat8, 0, 8);
    QCOMPARE(listed(eight), QStringList({"GIF (Compuserve)", "TIFF (Tagged Image File Format)", "BMP (Windows Bitmap)"}));
    QCOMPARE(selectedText(eight), QStringLiteral("TIFF (Tagged Image File Format)"));
    QVERIFY(!child<QGroupBox>(&eight, "GroupBoxGIF")->isEnabled());
    ui::TExportForm trueColour(engine::PixelFormat24, 1, 8);
    QCOMPARE(listed(trueColour), QStringList({"JPEG", "GIF (Compuserve)", "TIFF (Tagged Image File Format)"}));
    QCOMPARE(trueColour.windowTitle(), QStringLiteral("Exportation de la fractale"));
    QVERIFY(child<QGroupBox>(&trueColour, "GroupBoxGIF")->isEnabled());
    // No close box: only OK ends it (or Esc, which exports nothing).
    QVERIFY(!(trueColour.windowFlags() & Qt::WindowCloseButtonHint));
}

void TestExport::dialogRemembersFormatQualityAndResolution()
{
    {
        ui::TExportForm form(engine::PixelFormat24, 0, 8);
        child<QComboBox>(&form, "ExTypeComboBox")->setCurrentIndex(0);  // JPEG
        auto* slider = child<QSlider>(&form, "JpegTrackBar");
        QCOMPARE(slider->value(), 90);
        slider->setValue(72);
        QCOMPARE(child<QLabel>(&form, "JpegCompLabel")->text(), QStringLiteral("Image quality: 72"));
        form.accept();
        QCOMPARE(form.choice().format, ExportFormat::Jpeg);
        QCOMPARE(form.choice().options.Quality, 72);
    }
    {
        ui::TExportForm form(engine::PixelFormat24, 0, 8);
        QCOMPARE(selectedText(form), QStringLiteral("JPEG"));
        QCOMPARE(child<QSlider>(&form, "JpegTrackBar")->value(), 72);
        // Switch to TIFF at 600 dpi.
        child<QComboBox>(&form, "ExTypeComboBox")->setCurrentIndex(2);
        auto* dpi = child<QComboBox>(&form, "DPIComboBox");
        QCOMPARE(dpi->currentText(), QStringLiteral("300"));
        dpi->setCurrentIndex(dpi->findText(QStringLiteral("600")));
        form.accept();
        QCOMPARE(form.choice().options.Resolution, 600u);
    }
    {
        ui::TExportForm form(engine::PixelFormat24, 0, 8);
        QCOMPARE(selectedText(form), QStringLiteral("TIFF (Tagged Image File Format)"));
        QCOMPARE(child<QComboBox>(&form, "DPIComboBox")->currentText(), QStringLiteral("600"));
        QCOMPARE(child<QSlider>(&form, "JpegTrackBar")->value(), 72);
    }
    // JPEG remembered, then an 8-bit image: not offered, the dialog falls back on TIFF.
    ui::exportSettings().lastFormat = ExportFormat::Jpeg;
    ui::TExportForm eight(engine::PixelFormat8, 0, 8);
    QCOMPARE(selectedText(eight), QStringLiteral("TIFF (Tagged Image File Format)"));
    // BMP remembered, then a 24-bit image.
    ui::exportSettings().lastFormat = ExportFormat::Bmp;
    ui::TExportForm trueColour(engine::PixelFormat24, 0, 8);
    QCOMPARE(selectedText(trueColour), QStringLiteral("TIFF (Tagged Image File Format)"));
}

void TestExport::ditherAlwaysOpensOnNone()
{
    for (int round = 0; round < 2; ++round) {
        ui::TExportForm form(engine::PixelFormat24, round, 8);
        child<QComboBox>(&form, "ExTypeComboBox")->setCurrentIndex(1);  // GIF
        auto* dither = child<QComboBox>(&form, "GifComboBox");
        QCOMPARE(dither->currentIndex(), 0);
        QCOMPARE(dither->currentText(), round == 0 ? QStringLiteral("None") : QStringLiteral("Aucune"));
        dither->setCurrentIndex(1);
        form.accept();
        QCOMPARE(form.choice().options.Dither, storage::GifDither::ErrorDiffusion);
        QCOMPARE(ui::exportSettings().lastFormat, ExportFormat::Gif);
    }
}

void TestExport::oneOptionBoxPerFormat()
{
    ui::TExportForm form(engine::PixelFormat8, 0, 8);
    form.show();
    auto* type = child<QComboBox>(&form, "ExTypeComboBox");
    const char* boxes[] = {"GroupBoxJPEG", "GroupBoxGIF", "GroupBoxTiff"};
    // 8-bit list: GIF, TIFF, BMP.
    const char* expected[] = {"GroupBoxGIF", "GroupBoxTiff", nullptr};
    for (int i = 0; i < 3; ++i) {
        type->setCurrentIndex(i);
        for (const char* box : boxes)
            QCOMPARE(child<QGroupBox>(&form, box)->isVisible(), expected[i] && qstrcmp(box, expected[i]) == 0);
    }
}

void TestExport::closingWithoutOkExportsNothing()
{
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    const QString doc = fx.path(QStringLiteral("plain.mbt"));
    QVERIFY(writeDocument(doc, 40, 30, engine::PixelFormat8));
    fx.w().openDroppedFile(doc);
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TExportForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        QTest::keyClick(form, Qt::Key_Escape);
    });
    fx.services.exportPaths.push_back(fx.path(QStringLiteral("never.tif")));
    QVERIFY(fx.trigger("MenuSavePict"));
    QCOMPARE(fx.services.exportPaths.size(), size_t(1));  // the save dialog was not shown
    QVERIFY(!QFile::exists(fx.path(QStringLiteral("never.tif"))));
}

void TestExport::windowWritesTheSameFileAsTheCommandLine_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<int>("quality");
    QTest::addColumn<int>("dither");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QStringList>("cliOptions");
    QTest::newRow("TIFF 8-bit at 600 dpi") << 8 << 0 << 1 << 90 << 0 << 600 << "tif" << QStringList{"--dpi", "600"};
    QTest::newRow("two-tone TIFF at 72 dpi") << 8 << int(engine::AlgBinary) << 1 << 90 << 0 << 72 << "tif"
                                             << QStringList{"--dpi", "72"};
    QTest::newRow("TIFF 24-bit at 100 dpi") << 24 << 0 << 2 << 90 << 0 << 100 << "tif" << QStringList{"--dpi", "100"};
    QTest::newRow("BMP 8-bit") << 8 << 0 << 2 << 90 << 0 << 300 << "bmp" << QStringList{};
    QTest::newRow("GIF 8-bit") << 8 << 0 << 0 << 90 << 0 << 300 << "gif" << QStringList{};
    QTest::newRow("GIF 24-bit diffused") << 24 << 0 << 1 << 90 << 1 << 300 << "gif"
                                         << QStringList{"--dither", "diffusion"};
    QTest::newRow("GIF 24-bit nearest") << 24 << 0 << 1 << 90 << 0 << 300 << "gif" << QStringList{"--dither", "none"};
    QTest::newRow("JPEG quality 75") << 24 << 0 << 0 << 75 << 0 << 300 << "jpg" << QStringList{"--quality", "75"};
    QTest::newRow("JPEG quality 95") << 24 << 0 << 0 << 95 << 0 << 300 << "jpg" << QStringList{"--quality", "95"};
}

void TestExport::windowWritesTheSameFileAsTheCommandLine()
{
    QFETCH(int, depth);
    QFETCH(int, algorithm);
    QFETCH(int, listIndex);
    QFETCH(int, quality);
    QFETCH(int, dither);
    QFETCH(int, dpi);
    QFETCH(QString, suffix);
    QFETCH(QStringList, cliOptions);

    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    const QString doc = fx.path(QStringLiteral("scene.mbt"));
    QVERIFY(writeDocument(doc, 61, 43, depth == 24 ? engine::PixelFormat24 : engine::PixelFormat8, uint8_t(algorithm)));
    fx.w().openDroppedFile(doc);
    QCOMPARE(fx.f().Bitmap.Width, 61);

    QTimer::singleShot(0, [=] {
        auto* form = qobject_cast<ui::TExportForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        child<QComboBox>(form, "ExTypeComboBox")->setCurrentIndex(listIndex);
        child<QSlider>(form, "JpegTrackBar")->setValue(quality);
        child<QComboBox>(form, "GifComboBox")->setCurrentIndex(dither);
        auto* dpiBox = child<QComboBox>(form, "DPIComboBox");
        dpiBox->setCurrentIndex(dpiBox->findText(QString::number(dpi)));
        QTest::mouseClick(child<QPushButton>(form, "OKButton"), Qt::LeftButton);
    });
    const QString fromWindow = fx.path(QStringLiteral("window.") + suffix);
    fx.services.exportPaths.push_back(fromWindow);
    // The status line while the rows are written.
    QStringList statuses;
    bool progressShown = false;
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, [&] {
        statuses << fx.panel(4);
        for (QWidget* w : QApplication::topLevelWidgets())
            progressShown = progressShown || (qobject_cast<ui::TProgForm*>(w) && w->isVisible());
    });
    watch.start();
    QVERIFY(fx.trigger("MenuSavePict"));
    watch.stop();
    QVERIFY2(statuses.contains(QStringLiteral("Exporting: ") + QDir::toNativeSeparators(fromWindow)),
             qPrintable(statuses.join(QLatin1Char('|'))));
    QCOMPARE(fx.panel(4), QString());  // cleared afterwards
    QVERIFY(progressShown);  // the progress window while the rows were written
    QCOMPARE(fx.services.lastExportSuffix, suffix);
    QVERIFY(fx.services.lastExportFilter.startsWith(QStringLiteral("Vorex ")));
    QVERIFY(fx.services.lastExportFilter.endsWith(QStringLiteral("(*.") + suffix + QStringLiteral(")")));
    QCOMPARE(fx.services.lastExportProposal, QStringLiteral("scene"));
    QCOMPARE(fx.w().settings().exportDirectory, fx.dir.path());

    const QString fromCli = fx.path(QStringLiteral("cli.") + suffix);
    QProcess cli;
    cli.start(QStringLiteral(VOREX_CLI),
              QStringList{QStringLiteral("export"), doc, QStringLiteral("-o"), fromCli, QStringLiteral("--quiet")} + cliOptions);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QByteArray a = readAll(fromWindow), b = readAll(fromCli);
    QVERIFY(a.size() > 100);
    QVERIFY(a == b);
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
