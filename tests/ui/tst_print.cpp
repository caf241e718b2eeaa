// The print dialog: the printer's measures, the image rectangle's fit rule, the settings written back,
// and printing from the window to a PDF file (read back with poppler; the test fails without it).
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include "engine/NumberFormat.h"
#include "storage/Document.h"
#include "ui/dialogs/PrintCfgForm.h"
#include "ui/dialogs/PrintForm.h"
#include "ui/dialogs/PrintParForm.h"
#include "ui/dialogs/ExportForm.h"
#include "ui/dialogs/PosterForm.h"
#include "PdfTestUtil.h"
#include "UiTestUtil.h"

using namespace vxtest;

namespace {

template <typename W>
W* child(QWidget* w, const char* name)
{
    return w->findChild<W*>(QLatin1String(name));
}

// A4 as the PDF printer reports it.
ui::TPrintForm::Context a4Context(int width, int height, int language = 0)
{
    ui::TPrintForm::Context c;
    c.width = width;
    c.height = height;
    c.language = language;
    c.printers = {QStringLiteral("PDF file")};
    c.metrics = [](int) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return ui::printerMetrics(printer);
    };
    return c;
}

bool writeDocument(const QString& path, int width, int height, engine::TypeId type = engine::TypeId::Mandelbrot)
{
    engine::FractalParams p;
    p.FractalType = type;
    p.ParamCr = -0.4;
    p.ParamCi = 0.6;
    p.Width = width;
    p.Height = height;
    p.CentreX = -0.6;
    p.CentreY = 0.1;
    p.Step = 2.8 / width;
    p.MaxIter = 120;
    auto f = referenceImage(p, engine::PixelFormat8);
    return storage::SaveDocument(*f, QFile::encodeName(path).toStdString());
}

}  // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void dialogShowsThePrinterAndTheFitRule();
    void customResolutionAndCentring();
    void okWritesTheSettingsBack();
    void detailsSetFrameAndCaption();
    void windowPrintsToAPdfFile();
    void cancelWritesNothingBack();
    void parameterSheetFromTheWindow();
    void everyControlHasANameInBothLanguages();
};

void TestPrint::dialogShowsThePrinterAndTheFitRule()
{
    storage::Preferences prefs;  // DpiI 2: 200 dpi
    ui::TPrintForm form(prefs, a4Context(1000, 750));
    QCOMPARE(child<QLabel>(&form, "PaperSizeLabel")->text(), QStringLiteral("210mm x 297mm"));
    QCOMPARE(child<QLabel>(&form, "PrinterResLabel")->text(), QStringLiteral("1200 x 1200 DPI"));
    QCOMPARE(child<QLabel>(&form, "FractalSizeLabel")->text(), QStringLiteral("1000 x 750 x 8 bits"));
    QCOMPARE(form.resolution(), 200);
    QCOMPARE(form.placement().widthMm, 127.0);
    QVERIFY(form.okEnabled());
    QCOMPARE(child<QLabel>(&form, "PrintedSizeLabel")->text(), QStringLiteral("127.00 x 95.25 mm"));
    // 1000 x 1200 / 200 device pixels.
    QCOMPARE(form.placement().width, 6000);
    // 72 dpi: 352.78 mm, wider than A4.
    child<QComboBox>(&form, "DPIComboBox")->setCurrentIndex(0);
    QCOMPARE(form.resolution(), 72);
    QVERIFY(qAbs(form.placement().widthMm - 352.78) < 0.005);
    QVERIFY(!form.okEnabled());
    QCOMPARE(child<QLabel>(&form, "PrintedSizeLabel")->text(), QStringLiteral("352.78 x 264.58 mm"));
    form.accept();  // refused while it does not fit: nothing is taken
    QCOMPARE(form.prefs().printDpiIndex, uint8_t(2));
}

void TestPrint::customResolutionAndCentring()
{
    storage::Preferences prefs;
    prefs.printDpi = 150;
    ui::TPrintForm form(prefs, a4Context(300, 200, 1));
    QCOMPARE(form.windowTitle(), QStringLiteral("Imprime la fractale"));
    auto* centre = child<QCheckBox>(&form, "CenterCheckBox");
    QVERIFY(centre->isChecked());
    child<QCheckBox>(&form, "CustomCheckBox")->setChecked(true);
    QCOMPARE(form.resolution(), 150);
    QCOMPARE(form.placement().width, 2400);
    const storage::PrinterMetrics m = a4Context(1, 1).metrics(0);
    QCOMPARE(form.placement().left, (m.printableWidthPx - 2400) / 2);
    centre->setChecked(false);
    QCOMPARE(form.placement().left, 0);
    QCOMPARE(form.placement().top, 0);
    child<QSpinBox>(&form, "CustomSpinEdit")->setValue(10);  // 762 mm: too wide
    QVERIFY(!form.okEnabled());
    child<QCheckBox>(&form, "CustomCheckBox")->setChecked(false);  // back to the list's 200 dpi
    QCOMPARE(form.resolution(), 200);
    QVERIFY(form.okEnabled());
}

void TestPrint::okWritesTheSettingsBack()
{
    storage::Preferences prefs;
    {
        ui::TPrintForm form(prefs, a4Context(500, 400));
        child<QComboBox>(&form, "DPIComboBox")->setCurrentIndex(3);
        child<QSpinBox>(&form, "CustomSpinEdit")->setValue(333);  // not used: not written back
        form.accept();
        QCOMPARE(form.prefs().printDpiIndex, uint8_t(3));
        QCOMPARE(form.prefs().printDpi, 200);
        QCOMPARE(form.settings().dpi, 300);
    }
    ui::TPrintForm form(prefs, a4Context(500, 400));
    child<QCheckBox>(&form, "CustomCheckBox")->setChecked(true);
    child<QSpinBox>(&form, "CustomSpinEdit")->setValue(333);
    form.accept();
    QCOMPARE(form.prefs().printDpi, 333);
    QCOMPARE(form.settings().dpi, 333);
}

void TestPrint::detailsSetFrameAndCaption()
{
    storage::Preferences prefs;
    prefs.printFrameColour = 0x0000FF;  // red
    ui::TPrintCfgForm cfg(prefs, 0, 8);
    QCOMPARE(child<QPushButton>(&cfg, "BorderColorButton")->text(), QStringLiteral("#FF0000"));
    child<QCheckBox>(&cfg, "BorderCheckBox")->setChecked(true);
    child<QSpinBox>(&cfg, "BorderWidthSpinEdit")->setValue(4);
    child<QCheckBox>(&cfg, "CaptionCheckBox")->setChecked(true);
    child<QSpinBox>(&cfg, "CaptionSizeSpinEdit")->setValue(11);
    cfg.accept();
    QVERIFY(cfg.prefs().printFrame);
    QCOMPARE(cfg.prefs().printFrameWidth, 4);
    QVERIFY(cfg.prefs().printCaption);
    QCOMPARE(cfg.prefs().captionFontSize, 11);
    QCOMPARE(cfg.prefs().printFrameColour, 0x0000FFu);
    const ui::ImagePrintSettings s = ui::imagePrintSettings(cfg.prefs());
    QVERIFY(s.frame && s.caption);
    QCOMPARE(s.frameColour, QColor(255, 0, 0));
    QCOMPARE(s.captionFont.pointSize(), 11);
}

void TestPrint::windowPrintsToAPdfFile()
{
    QVERIFY2(popplerAvailable(), "poppler-utils (pdfimages, pdftotext) is needed: scripts/install-deps.sh installs it");
    WindowFixture fx({}, "[Prefer]\nLang=0\nPriB=1\n");
    const QString doc = fx.path(QStringLiteral("page.mbt"));
    QVERIFY(writeDocument(doc, 1000, 750));
    fx.w().openDroppedFile(doc);
    QCOMPARE(fx.f().Bitmap.Width, 1000);
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TPrintForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        child<QComboBox>(form, "DPIComboBox")->setCurrentIndex(3);  // 300 dpi
        QTest::mouseClick(child<QPushButton>(form, "OKButton"), Qt::LeftButton);
    });
    const QString pdf = fx.path(QStringLiteral("page.pdf"));
    fx.services.exportPaths.push_back(pdf);
    QVERIFY(fx.trigger("MenuPrint"));
    QCOMPARE(fx.services.lastExportSuffix, QStringLiteral("pdf"));
    QCOMPARE(fx.w().settings().prefs.printDpiIndex, uint8_t(3));
    QCOMPARE(fx.panel(4), QString());
    const QList<PlacedImage> images = pdfImages(pdf);
    QCOMPARE(images.size(), 1);
    QCOMPARE(images[0].width, 1000);
    QCOMPARE(images[0].height, 750);
    QCOMPARE(images[0].xppi, 300);
    QCOMPARE(images[0].yppi, 300);
    const QStringList text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("page (1000 x 750 x 8 bits) Mandelbrot / Level")), qPrintable(text.join('|')));
    QVERIFY2(text.contains(QStringLiteral("CenX: -0.6 CenY: 0.1")), qPrintable(text.join('|')));
    QVERIFY2(text.contains(QStringLiteral("Step: 0.0028 Iteration: 120")), qPrintable(text.join('|')));
}

void TestPrint::cancelWritesNothingBack()
{
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    const QString doc = fx.path(QStringLiteral("page.mbt"));
    QVERIFY(writeDocument(doc, 100, 75));
    fx.w().openDroppedFile(doc);
    const storage::Preferences before = fx.w().settings().prefs;
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TPrintForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        child<QComboBox>(form, "DPIComboBox")->setCurrentIndex(5);
        form->reject();
    });
    fx.services.exportPaths.push_back(fx.path(QStringLiteral("never.pdf")));
    QVERIFY(fx.trigger("MenuPrint"));
    QVERIFY(fx.w().settings().prefs == before);
    QVERIFY(!QFile::exists(fx.path(QStringLiteral("never.pdf"))));
}

void TestPrint::parameterSheetFromTheWindow()
{
    QVERIFY2(popplerAvailable(), "poppler-utils (pdfimages, pdftotext) is needed: scripts/install-deps.sh installs it");
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    const QString doc = fx.path(QStringLiteral("julia.mbt"));
    QVERIFY(writeDocument(doc, 200, 150, engine::TypeId::Julia));
    fx.w().openDroppedFile(doc);
    QCOMPARE(fx.f().Bitmap.Width, 200);
    fx.f().Markers[2] = {true, document::MarkerShape::Diamond, 100, 75, "Seahorse valley"};
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TPrintParForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Print parameters"));
        QCOMPARE(child<QLabel>(form, "FontNameLabel")->text(), QStringLiteral("Courier New"));
        QCOMPARE(child<QLabel>(form, "FontSizeLabel")->text(), QStringLiteral("9 pts"));
        form->setSheetFont(QFont(QStringLiteral("DejaVu Sans Mono"), 12), QColor(0, 0, 128));
        QCOMPARE(child<QLabel>(form, "FontSizeLabel")->text(), QStringLiteral("12 pts"));
        child<QCheckBox>(form, "MarkerCheckBox")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(form, "OKButton"), Qt::LeftButton);
    });
    const QString pdf = fx.path(QStringLiteral("sheet.pdf"));
    fx.services.exportPaths.push_back(pdf);
    QVERIFY(fx.trigger("MenuPrintPar"));
    QCOMPARE(fx.w().settings().prefs.parameterFontSize, 12);
    QCOMPARE(fx.w().settings().prefs.parameterFontColour, 0x800000u);
    QCOMPARE(QString::fromStdString(fx.w().settings().prefs.parameterFont), QStringLiteral("DejaVu Sans Mono"));
    const QStringList text = pdfText(pdf);
    const QString all = text.join(QLatin1Char('|'));
    QVERIFY2(text.contains(QStringLiteral("Fractal infos")), qPrintable(all));
    QVERIFY2(text.contains(QStringLiteral("Fractal: julia (200 x 150 x 8 bits) Julia / Level")), qPrintable(all));
    QVERIFY2(text.contains(QStringLiteral("JulC: -0.4 JulCi: 0.6")), qPrintable(all));
    // Marker 3 at pixel (100, 75): X = 100 s + X0, Y = Y0 - 75 s, near the centre (-0.6, 0.1).
    const double x = fx.f().LeftX + 100 * fx.f().Params.Step, y = fx.f().TopY - 75 * fx.f().Params.Step;
    QVERIFY(qAbs(x - -0.6) < 1e-12 && qAbs(y - 0.1) < 1e-12);
    const QString marker = QStringLiteral("3: X: %1 Y: %2 Seahorse valley")
                               .arg(QString::fromStdString(engine::formatGeneral(x, 16)),
                                    QString::fromStdString(engine::formatGeneral(y, 16)));
    QVERIFY2(text.contains(marker), qPrintable(marker + QStringLiteral(" in ") + all));
    QCOMPARE(pdfImages(pdf).size(), 0);
}

void TestPrint::everyControlHasANameInBothLanguages()
{
    document::TFractal f;
    f.Params.Width = 400;
    f.Params.Height = 300;
    QStringList englishNames, frenchNames;
    for (int language = 0; language < 2; ++language) {
        std::vector<std::unique_ptr<QDialog>> dialogs;
        dialogs.emplace_back(new ui::TExportForm(engine::PixelFormat24, language, 8));
        dialogs.emplace_back(new ui::TExportForm(engine::PixelFormat8, language, 8));
        dialogs.emplace_back(new ui::TPrintForm(storage::Preferences{}, a4Context(400, 300, language)));
        dialogs.emplace_back(new ui::TPrintCfgForm(storage::Preferences{}, language, 8));
        dialogs.emplace_back(new ui::TPrintParForm(storage::Preferences{}, {QStringLiteral("PDF")}, 0, language, 8));
        dialogs.emplace_back(new ui::TPosterForm(f, language, 8));
        for (const auto& d : dialogs) {
            QVERIFY(!d->windowTitle().isEmpty());
            for (QWidget* w : d->findChildren<QWidget*>()) {
                if (w->focusPolicy() == Qt::NoFocus || qobject_cast<QDialog*>(w) || w->parentWidget() == nullptr)
                    continue;
                if (w->objectName().startsWith(QLatin1String("qt_")) || !w->isEnabledTo(d.get()))
                    continue;
                // The parts of a combo box or spin box speak through it.
                bool part = false;
                for (QWidget* up = w->parentWidget(); up && up != d.get(); up = up->parentWidget())
                    part = part || qobject_cast<QComboBox*>(up) || qobject_cast<QAbstractSpinBox*>(up)
                           || up->inherits("QComboBoxPrivateContainer");
                if (part || w->inherits("QComboBoxPrivateContainer"))
                    continue;
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                QVERIFY(a);
                // The name we gave, else what the widget says (a button's caption).
                const QString name = w->accessibleName().isEmpty() ? a->text(QAccessible::Name) : w->accessibleName();
                QVERIFY2(!name.trimmed().isEmpty(),
                         qPrintable(d->objectName() + QLatin1Char('/') + w->objectName() + QLatin1Char('/')
                                    + QLatin1String(w->metaObject()->className())));
                (language == 0 ? englishNames : frenchNames) << name;
            }
        }
    }
    QCOMPARE(englishNames.size(), frenchNames.size());
    QVERIFY(englishNames.contains(QStringLiteral("Printer")) && frenchNames.contains(QStringLiteral("Imprimante")));
    QVERIFY(englishNames.contains(QStringLiteral("Upper right")) && frenchNames.contains(QStringLiteral("En haut à droite")));
    QVERIFY(englishNames.contains(QStringLiteral("Print Markers")) && frenchNames.contains(QStringLiteral("Imprime les repères")));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
