// Printing to PDF without a window (vorex --print, --print-parameters), read back with poppler's
// pdfimages and pdftotext. The tests fail when poppler-utils is missing.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "PdfTestUtil.h"

using namespace vxtest;

class TestPrintPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void imagePlacedAtTheRequestedResolution_data();
    void imagePlacedAtTheRequestedResolution();
    void centringPlacesTheImageInTheMiddle();
    void captionHoldsTheExactNumbers();
    void imageTooLargeFailsAndKeepsThePreviousFile();
    void unwritableTargetFails();
    void parameterSheetLines();
    void parameterSheetLinesByType_data();
    void parameterSheetLinesByType();
    void badCommandLine();

private:
    QString makeDocument(const QString& name, const QStringList& options);
    QList<PlacedImage> images(const QString& pdf) { return pdfImages(pdf); }
    QStringList pageText(const QString& pdf) { return pdfText(pdf); }

    QTemporaryDir m_dir;
};

void TestPrintPdf::initTestCase()
{
    QVERIFY2(popplerAvailable(),
             "poppler-utils (pdfimages, pdftotext) is needed: scripts/install-deps.sh installs it");
    QVERIFY(m_dir.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
}

QString TestPrintPdf::makeDocument(const QString& name, const QStringList& options)
{
    const QString path = m_dir.filePath(name + QStringLiteral(".mbt"));
    const Run r = run(QStringLiteral(VOREX_CLI), QStringList{QStringLiteral("new")} + options
                                                     + QStringList{QStringLiteral("--quiet"), QStringLiteral("-o"), path});
    if (r.status != 0)
        qWarning("vorex-cli new failed: %s", qPrintable(r.err));
    return path;
}

void TestPrintPdf::imagePlacedAtTheRequestedResolution_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("depth");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QStringList>("flags");
    QTest::newRow("1000 x 750 at 200 dpi") << "1000x750" << "8" << 200 << QStringList{"--centre"};
    QTest::newRow("24-bit 321 x 123 at 300 dpi") << "321x123" << "24" << 300 << QStringList{"--border", "--caption"};
    QTest::newRow("500 x 400 at 72 dpi, corner") << "500x400" << "8" << 72 << QStringList{};
}

void TestPrintPdf::imagePlacedAtTheRequestedResolution()
{
    QFETCH(QString, size);
    QFETCH(QString, depth);
    QFETCH(int, dpi);
    QFETCH(QStringList, flags);
    const QString doc = makeDocument(QStringLiteral("img") + size + depth,
                                     {QStringLiteral("--size"), size, QStringLiteral("--depth"), depth});
    const QString pdf = m_dir.filePath(QStringLiteral("img%1-%2.pdf").arg(size, depth));
    const Run r = run(QStringLiteral(VOREX_GUI), QStringList{QStringLiteral("--print"), doc, QStringLiteral("--pdf"), pdf,
                                                             QStringLiteral("--dpi"), QString::number(dpi)} + flags);
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const QList<PlacedImage> placed = images(pdf);
    QCOMPARE(placed.size(), 1);
    const QStringList wh = size.split(QLatin1Char('x'));
    QCOMPARE(placed[0].width, wh[0].toInt());
    QCOMPARE(placed[0].height, wh[1].toInt());
    QCOMPARE(placed[0].xppi, dpi);
    QCOMPARE(placed[0].yppi, dpi);
}

// The page rendered by pdftoppm at 20 dpi: the box of its non-white pixels.
static QRect inkBox(const QString& pdf, const QString& prefix, QSize* page)
{
    const Run r = run(tool("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-gray"),
                                         QStringLiteral("-singlefile"), pdf, prefix});
    if (r.status != 0)
        return {};
    const QImage image(prefix + QStringLiteral(".pgm"));
    *page = image.size();
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 250)
                box |= QRect(x, y, 1, 1);
    return box;
}

void TestPrintPdf::centringPlacesTheImageInTheMiddle()
{
    QVERIFY2(!tool("pdftoppm").isEmpty(), "poppler-utils (pdftoppm) is needed");
    const QString doc = makeDocument(QStringLiteral("centred"), {QStringLiteral("--size"), QStringLiteral("1000x750")});
    const QString centred = m_dir.filePath(QStringLiteral("centred.pdf")), corner = m_dir.filePath(QStringLiteral("corner.pdf"));
    QCOMPARE(run(QStringLiteral(VOREX_GUI), {QStringLiteral("--print"), doc, QStringLiteral("--pdf"), centred,
                                             QStringLiteral("--dpi"), QStringLiteral("200"), QStringLiteral("--centre")}).status, 0);
    QCOMPARE(run(QStringLiteral(VOREX_GUI), {QStringLiteral("--print"), doc, QStringLiteral("--pdf"), corner,
                                             QStringLiteral("--dpi"), QStringLiteral("200")}).status, 0);
    QSize page;
    const QRect middle = inkBox(centred, m_dir.filePath(QStringLiteral("centred")), &page);
    QVERIFY(!middle.isEmpty());
    // A4 at 20 dpi; the image is 5 x 3.75 inches: 100 x 75 dots.
    QVERIFY(qAbs(page.width() - 165) <= 1 && qAbs(page.height() - 234) <= 1);
    QVERIFY2(qAbs(middle.width() - 100) <= 2 && qAbs(middle.height() - 75) <= 2, qPrintable(QStringLiteral("%1x%2").arg(middle.width()).arg(middle.height())));
    QVERIFY(qAbs(middle.center().x() - page.width() / 2) <= 2);
    QVERIFY(qAbs(middle.center().y() - page.height() / 2) <= 2);
    const QRect topLeft = inkBox(corner, m_dir.filePath(QStringLiteral("corner")), &page);
    QCOMPARE(topLeft.size(), middle.size());
    QVERIFY(topLeft.left() < 10 && topLeft.top() < 10);
}

void TestPrintPdf::captionHoldsTheExactNumbers()
{
    const QString doc = makeDocument(QStringLiteral("caption"),
                                     {QStringLiteral("--type"), QStringLiteral("1"), QStringLiteral("--size"),
                                      QStringLiteral("300x200"), QStringLiteral("--centre"),
                                      QStringLiteral("-0.743643887037158,0.1318259042053188"), QStringLiteral("--step"),
                                      QStringLiteral("1.5e-9"), QStringLiteral("--iter"), QStringLiteral("1234"),
                                      QStringLiteral("--param"), QStringLiteral("-0.4,0.6000000000000001")});
    const QString pdf = m_dir.filePath(QStringLiteral("caption.pdf"));
    const Run r = run(QStringLiteral(VOREX_GUI), {QStringLiteral("--print"), doc, QStringLiteral("--pdf"), pdf,
                                                  QStringLiteral("--caption")});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const QStringList lines = pageText(pdf);
    const QString all = lines.join(QLatin1Char('|'));
    QVERIFY2(lines.contains(QStringLiteral("caption (300 x 200 x 8 bits) Julia / Level"))
                 || lines.contains(QStringLiteral("caption (300 x 200 x 8 bits) Julia / Niveau")),
             qPrintable(all));
    QVERIFY2(lines.contains(QStringLiteral("CenX: -0.743643887037158 CenY: 0.1318259042053188")), qPrintable(all));
    QVERIFY2(lines.contains(QStringLiteral("Step: 1.5E-9 Iteration: 1234"))
                 || lines.contains(QStringLiteral("Pas: 1.5E-9 Itérations: 1234")),
             qPrintable(all));
    QVERIFY2(lines.contains(QStringLiteral("JulC: -0.4 JulCi: 0.6000000000000001")), qPrintable(all));
    QVERIFY2(!all.contains(QStringLiteral("PertZ")), qPrintable(all));
    // Without --caption the page holds no text.
    const QString bare = m_dir.filePath(QStringLiteral("bare.pdf"));
    QCOMPARE(run(QStringLiteral(VOREX_GUI), {QStringLiteral("--print"), doc, QStringLiteral("--pdf"), bare}).status, 0);
    QCOMPARE(pageText(bare), QStringList());
    QCOMPARE(images(bare).size(), 1);
}

void TestPrintPdf::imageTooLargeFailsAndKeepsThePreviousFile()
{
    const QString doc = makeDocument(QStringLiteral("wide"), {QStringLiteral("--size"), QStringLiteral("1000x100")});
    const QString pdf = m_dir.filePath(QStringLiteral("previous.pdf"));
    {
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("previous contents");
    }
    const Run r = run(QStringLiteral(VOREX_GUI), {QStringLiteral("--print"), doc, QStringLiteral("--pdf"), pdf,
                                                  QStringLiteral("--dpi"), QStringLiteral("72")});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(QStringLiteral("does not fit")) && r.err.contains(QStringLiteral("352.78")), qPrintable(r.err));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("previous contents"));
    // No temporary file is left beside it.
    const QStringList left = QDir(m_dir.path()).entryList(QStringList{QStringLiteral("*.pdf")}, QDir::Files | QDir::Hidden);
    QVERIFY2(!left.join(QLatin1Char(' ')).contains(QStringLiteral("vorex-print")), qPrintable(left.join(QLatin1Char(' '))));
    // At 200 dpi the same image prints.
    QCOMPARE(run(QStringLiteral(VOREX_GUI), {QStringLiteral("--print"), doc, QStringLiteral("--pdf"), pdf,
                                             QStringLiteral("--dpi"), QStringLiteral("200")}).status, 0);
    QCOMPARE(images(pdf).size(), 1);
}

void TestPrintPdf::unwritableTargetFails()
{
    const QString doc = makeDocument(QStringLiteral("small"), {QStringLiteral("--size"), QStringLiteral("50x40")});
    const Run r = run(QStringLiteral(VOREX_GUI), {QStringLiteral("--print-parameters"), doc, QStringLiteral("--pdf"),
                                                  m_dir.filePath(QStringLiteral("no/such/dir/out.pdf"))});
    QCOMPARE(r.status, 1);
    QVERIFY(!r.err.isEmpty());
    const Run missing = run(QStringLiteral(VOREX_GUI), {QStringLiteral("--print"), m_dir.filePath(QStringLiteral("none.mbt")),
                                                        QStringLiteral("--pdf"), m_dir.filePath(QStringLiteral("x.pdf"))});
    QCOMPARE(missing.status, 1);
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x.pdf"))));
}

void TestPrintPdf::parameterSheetLines()
{
    const QString doc = makeDocument(QStringLiteral("sheet"),
                                     {QStringLiteral("--type"), QStringLiteral("1"), QStringLiteral("--size"),
                                      QStringLiteral("400x300"), QStringLiteral("--centre"), QStringLiteral("0,0"),
                                      QStringLiteral("--step"), QStringLiteral("0.01"), QStringLiteral("--param"),
                                      QStringLiteral("0.285,0.01"), QStringLiteral("--algorithm"), QStringLiteral("1"),
                                      QStringLiteral("--delta"), QStringLiteral("17")});
    const QString pdf = m_dir.filePath(QStringLiteral("sheet.pdf"));
    const Run r = run(QStringLiteral(VOREX_GUI), {QStringLiteral("--print-parameters"), doc, QStringLiteral("--pdf"), pdf});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QCOMPARE(images(pdf).size(), 0);
    const QStringList lines = pageText(pdf);
    const QString all = lines.join(QLatin1Char('|'));
    QVERIFY2(lines.contains(QStringLiteral("Fractal infos")) || lines.contains(QStringLiteral("Infos fractale")), qPrintable(all));
    QVERIFY2(lines.contains(QStringLiteral("Fractal: sheet (400 x 300 x 8 bits) Julia / Distance"))
                 || lines.contains(QStringLiteral("Fractale: sheet (400 x 300 x 8 bits) Julia / Filaments")),
             qPrintable(all));
    QVERIFY2(lines.contains(QStringLiteral("X1: -2 Y1: 1.5")), qPrintable(all));
    QVERIFY2(lines.contains(QStringLiteral("X2: 1.99 Y2: -1.49")), qPrintable(all));
    QVERIFY2(lines.contains(QStringLiteral("CenX: 0 CenY: 0")), qPrintable(all));
    QVERIFY2(lines.contains(QStringLiteral("JulC: 0.285 JulCi: 0.01")), qPrintable(all));
    QVERIFY2(lines.contains(QStringLiteral("Delta: 17 BailOut: Mod")), qPrintable(all));
}

void TestPrintPdf::parameterSheetLinesByType_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("Mandelbrot, no perturbation") << QStringList{"--type", "0"} << "CenX: -0.5 CenY: 0"
                                                 << QStringList{"PertZ", "JulC", "p Newton"};
    QTest::newRow("Mandelbrot, perturbed") << QStringList{"--type", "0", "--pert", "0.125,-0.25"}
                                           << "PertZ: 0.125 PertZi: -0.25" << QStringList{"JulC", "p Newton"};
    QTest::newRow("Newton") << QStringList{"--type", "13", "--newton-p", "5"} << "p Newton: 5"
                            << QStringList{"JulC"};
    QTest::newRow("Julia") << QStringList{"--type", "1"} << "JulC: " << QStringList{"p Newton", "PertZ"};
}

void TestPrintPdf::parameterSheetLinesByType()
{
    QFETCH(QStringList, options);
    QFETCH(QString, present);
    QFETCH(QStringList, absent);
    const QString name = QStringLiteral("type%1").arg(QTest::currentDataTag()).remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
    const QString doc = makeDocument(name, options + QStringList{QStringLiteral("--size"), QStringLiteral("80x60")});
    const QString pdf = m_dir.filePath(name + QStringLiteral(".pdf"));
    const Run r = run(QStringLiteral(VOREX_GUI), {QStringLiteral("--print-parameters"), doc, QStringLiteral("--pdf"), pdf});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const QString all = pageText(pdf).join(QLatin1Char('|'));
    QVERIFY2(all.contains(present), qPrintable(all));
    for (const QString& a : absent)
        QVERIFY2(!all.contains(a), qPrintable(a + QStringLiteral(" in ") + all));
}

void TestPrintPdf::badCommandLine()
{
    const QString doc = makeDocument(QStringLiteral("cmd"), {QStringLiteral("--size"), QStringLiteral("20x20")});
    const QList<QStringList> bad = {
        {QStringLiteral("--print"), doc},
        {QStringLiteral("--print"), doc, QStringLiteral("--pdf"), m_dir.filePath(QStringLiteral("b.pdf")), QStringLiteral("--dpi"), QStringLiteral("zero")},
        {QStringLiteral("--print-parameters"), doc, QStringLiteral("--pdf"), m_dir.filePath(QStringLiteral("b.pdf")), QStringLiteral("--caption")},
        {QStringLiteral("--print"), doc, QStringLiteral("--pdf"), m_dir.filePath(QStringLiteral("b.pdf")), QStringLiteral("--colour")},
    };
    for (const QStringList& args : bad) {
        const Run r = run(QStringLiteral(VOREX_GUI), args);
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains(QStringLiteral("usage: vorex --print")));
    }
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("b.pdf"))));
}

QTEST_GUILESS_MAIN(TestPrintPdf)
#include "tst_printpdf.moc"
