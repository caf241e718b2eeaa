// The fractal variables dialog, driven through its controls by objectName.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>
#include <algorithm>
#include <initializer_list>
#include <memory>

#include "document/Fractal.h"
#include "engine/NumberFormat.h"
#include "storage/Workspace.h"
#include "ui/dialogs/FractForm.h"

namespace {

// A document with an image of that size, as the program has it after New and Compute.
std::unique_ptr<document::TFractal> makeDocument(int type = 0, int width = 64, int height = 48,
                                           uint8_t format = engine::PixelFormat8)
{
    auto f = std::make_unique<document::TFractal>();
    storage::ResetToDefaults(*f);
    f->ApplyTypeDefaults(engine::TypeId(type));
    storage::AllocImage(*f, width, height, format, true);
    f->UpdateCorners();
    f->CommitImageParams();
    return f;
}

struct Recorder {
    QStringList statuses, errors;
    int colourQuestions = 0;
    bool colourAnswer = false;
};

ui::FractFormOptions options(Recorder& rec, uint64_t available = uint64_t(1) << 34)
{
    ui::FractFormOptions o;
    o.availableMemory = [available] { return available; };
    o.showStatus = [&rec](const QString& s) { rec.statuses << s; };
    o.showError = [&rec](const QString& s) { rec.errors << s; };
    o.askColourCorrection = [&rec](QWidget*) {
        ++rec.colourQuestions;
        return rec.colourAnswer;
    };
    return o;
}

template <typename T>
T* child(QWidget& form, const char* name)
{
    T* w = form.findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

// Types into a field as the user does, then leaves it with Tab.
void typeAndLeave(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

bool showActive(QWidget& form)
{
    form.show();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

}  // namespace

class TestFractForm : public QObject {
    Q_OBJECT
private slots:
    void fieldsAreNamedAfterTheirLabels();
    void separatorSelectsTheEntryAbove_data();
    void separatorSelectsTheEntryAbove();
    void scaleGivesStep_data();
    void scaleGivesStep();
    void stepButtons_data();
    void stepButtons();
    void centreIsClampedWhenLeft_data();
    void centreIsClampedWhenLeft();
    void keyFilterSwallowsOtherKeys_data();
    void keyFilterSwallowsOtherKeys();
    void memoryFigures_data();
    void memoryFigures();
    void controlStates_data();
    void controlStates();
    void defaultsBoxLoadsTheTypeDefaults();
    void clipboardText_data();
    void clipboardText();
    void okWithNewSizeReallocates();
    void okWithUnchangedSizeKeepsTheWorkspace();
    void cancelChangesNothing();
    void colourCheck_data();
    void colourCheck();
    void openingPage_data();
    void openingPage();
    void spinBoxesTakeTheSharedLimits();
    void controlStatesOfEveryType_data();
    void controlStatesOfEveryType();
};

void TestFractForm::separatorSelectsTheEntryAbove_data()
{
    QTest::addColumn<int>("picked");
    QTest::addColumn<int>("selected");
    QTest::newRow("2 -> Julia") << 2 << 1;
    QTest::newRow("5 -> Julia ZC(1-Z)") << 5 << 4;
    QTest::newRow("8 -> Julia fn(Z)C") << 8 << 7;
    QTest::newRow("10 -> Mandelbrot Z(1/C)") << 10 << 9;
    QTest::newRow("a real type stays") << 13 << 13;
}

void TestFractForm::separatorSelectsTheEntryAbove()
{
    QFETCH(int, picked);
    QFETCH(int, selected);
    auto f = makeDocument();
    Recorder rec;
    ui::TFractForm form(*f, 1, false, 0, options(rec));
    auto* types = child<QComboBox>(form, "FComboBox");
    QCOMPARE(types->count(), engine::TypeCount);
    types->setCurrentIndex(picked);
    QCOMPARE(types->currentIndex(), selected);
    QCOMPARE(int(form.working().FractalType), selected);
}

void TestFractForm::scaleGivesStep_data()
{
    QTest::addColumn<QString>("scale");
    QTest::addColumn<QString>("stepText");
    QTest::addColumn<double>("step");
    // step = 1 / (200 x scale)
    QTest::newRow("scale 1") << "1" << "5.000000000000000E-0003" << 0.005;
    QTest::newRow("scale 1e12") << "1e12" << "5.000000000000000E-0015" << 5e-15;
    QTest::newRow("scale 0.1 is clamped to the largest step") << "0.1" << "1.000000000000000E-0002" << 0.01;
    QTest::newRow("scale 1e15 is clamped to the smallest step") << "1e15" << "1.000000000000000E-0015" << 1e-15;
}

void TestFractForm::scaleGivesStep()
{
    QFETCH(QString, scale);
    QFETCH(QString, stepText);
    QFETCH(double, step);
    auto f = makeDocument();
    Recorder rec;
    ui::TFractForm form(*f, 3, false, 0, options(rec));
    QVERIFY(showActive(form));
    auto* box = child<QComboBox>(form, "ZComboBox");
    typeAndLeave(box->lineEdit(), scale);
    QCOMPARE(child<QLineEdit>(form, "PEdit")->text(), stepText);
    QCOMPARE(form.working().Step, step);
    QCOMPARE(box->currentText(), QString::fromStdString(engine::formatScientific(1.0 / (200 * step), 16, 4)));
}

void TestFractForm::stepButtons_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<QString>("button");  // empty: none pressed
    QTest::addColumn<double>("step");
    QTest::addColumn<bool>("div5");
    QTest::addColumn<bool>("div2");
    QTest::addColumn<bool>("x2");
    QTest::addColumn<bool>("x5");
    // Mandelbrot: largest step 0.01, smallest 1e-15.
    QTest::newRow("at the largest step") << 0.01 << "" << 0.01 << false << false << true << true;
    QTest::newRow("at the smallest step") << 1e-15 << "" << 1e-15 << true << true << false << false;
    QTest::newRow("between: / 2 still possible") << 0.004 << "" << 0.004 << false << true << true << true;
    QTest::newRow("/ 5 multiplies the step") << 0.001 << "Div5Button" << 0.005 << false << true << true << true;
    QTest::newRow("/ 2 up to the largest step") << 0.005 << "Div2Button" << 0.01 << false << false << true << true;
    QTest::newRow("x 2 divides the step") << 0.01 << "X2Button" << 0.005 << false << true << true << true;
    QTest::newRow("x 5 near the smallest step") << 8e-15 << "X5Button" << 1.6e-15 << true << true << false << false;
    QTest::newRow("x 2 down to twice the smallest") << 4e-15 << "X2Button" << 2e-15 << true << true << true << false;
}

void TestFractForm::stepButtons()
{
    QFETCH(double, start);
    QFETCH(QString, button);
    QFETCH(double, step);
    auto f = makeDocument();
    f->Params.Step = start;
    Recorder rec;
    ui::TFractForm form(*f, 3, false, 0, options(rec));
    if (!button.isEmpty()) {
        auto* b = child<QPushButton>(form, button.toLatin1().constData());
        QVERIFY(b->isEnabled());
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QCOMPARE(form.working().Step, step);
    QCOMPARE(child<QLineEdit>(form, "PEdit")->text(), QString::fromStdString(engine::formatScientific(step, 16, 4)));
    QTEST(child<QPushButton>(form, "Div5Button")->isEnabled(), "div5");
    QTEST(child<QPushButton>(form, "Div2Button")->isEnabled(), "div2");
    QTEST(child<QPushButton>(form, "X2Button")->isEnabled(), "x2");
    QTEST(child<QPushButton>(form, "X5Button")->isEnabled(), "x5");
}

void TestFractForm::centreIsClampedWhenLeft_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    // Limits of the catalogue: Mandelbrot X -2.18..1.5, Y -1.25..1.25; Newton -10..10; PertZ -5..5.
    QTest::newRow("Mandelbrot X above") << 0 << "XEdit" << "7" << "1.5";
    QTest::newRow("Mandelbrot X below") << 0 << "XEdit" << "-3e1" << "-2.18";
    QTest::newRow("Mandelbrot Y below") << 0 << "YEdit" << "-9" << "-1.25";
    QTest::newRow("Newton X inside") << 13 << "XEdit" << "-9.5" << "-9.5";
    QTest::newRow("Julia Cr above") << 1 << "JuliaCEdit" << "4" << "1.5";
    QTest::newRow("PertZi below") << 0 << "PertZiEdit" << "-12" << "-5";
    QTest::newRow("not a number keeps the value") << 0 << "XEdit" << "1-2" << "-0.5";
}

void TestFractForm::centreIsClampedWhenLeft()
{
    QFETCH(int, type);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    auto f = makeDocument(type);
    Recorder rec;
    ui::TFractForm form(*f, field.startsWith(QLatin1String("X")) || field.startsWith(QLatin1String("Y")) ? 3 : 1,
                        false, 0, options(rec));
    if (!field.startsWith(QLatin1String("X")) && !field.startsWith(QLatin1String("Y")))
        child<QTabWidget>(form, "PageControl")->setCurrentIndex(4);
    QVERIFY(showActive(form));
    auto* edit = child<QLineEdit>(form, field.toLatin1().constData());
    typeAndLeave(edit, typed);
    QCOMPARE(edit->text(), shown);
    // The document is untouched until OK.
    QCOMPARE(f->Params, f->ImageParams);
}

void TestFractForm::keyFilterSwallowsOtherKeys_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("digits, sign, point and exponent pass") << "-1.5e2" << "-1.5e2";
    QTest::newRow("letters and blanks are swallowed") << "1a 2bE3x" << "12E3";
    QTest::newRow("comma and plus are swallowed") << "+1,5" << "15";
}

void TestFractForm::keyFilterSwallowsOtherKeys()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    auto f = makeDocument();
    Recorder rec;
    ui::TFractForm form(*f, 3, false, 0, options(rec));
    for (const char* name : {"XEdit", "PEdit", "PertZEdit"}) {
        auto* edit = child<QLineEdit>(form, name);
        edit->clear();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), kept);
    }
    auto* scale = child<QComboBox>(form, "ZComboBox")->lineEdit();
    scale->clear();
    QTest::keyClicks(scale, typed);
    QCOMPARE(scale->text(), kept);
}

void TestFractForm::memoryFigures_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("depth");  // DComboBox index
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("orbits");
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("tooMuch");
    // 1,000,000 bytes available and a 1 x 1 8-bit document (3 bytes given back): 1,000,003.
    // Image: 3 bytes a pixel in 8 bits, 5 in 24 bits; orbits 16 x MaxIter (250) for algorithms
    // 1, 2, 4; colour table 3 x MaxIter in 24 bits, which the 0.86 test leaves out.
    QTest::newRow("300 x 300 8-bit fits") << 300 << 300 << 0 << 0 << "270,000" << "0" << "0" << false;
    QTest::newRow("500 x 500 24-bit is refused") << 500 << 500 << 1 << 0 << "1,250,750" << "0" << "750" << true;
    QTest::newRow("the orbits count") << 534 << 534 << 0 << 1 << "855,468" << "4,000" << "0" << false;
    QTest::newRow("orbits tip it over") << 535 << 535 << 0 << 1 << "858,675" << "4,000" << "0" << true;
    // 430 x 400 x 5 = 860,000 fits under 860,002.58; with the table's 750 it would not.
    QTest::newRow("the colour table does not count") << 430 << 400 << 1 << 0 << "860,750" << "0" << "750" << false;
}

void TestFractForm::memoryFigures()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, depth);
    QFETCH(int, algorithm);
    QFETCH(bool, tooMuch);
    auto f = std::make_unique<document::TFractal>();
    storage::ResetToDefaults(*f);
    Recorder rec;
    ui::TFractForm form(*f, 2, true, 0, options(rec, 1000000));
    child<QComboBox>(form, "AComboBox")->setCurrentIndex(algorithm);
    QTest::mouseClick(child<QRadioButton>(form, "RB5"), Qt::LeftButton);
    QVERIFY(child<QSpinBox>(form, "WSpinEdit")->isEnabled());
    child<QSpinBox>(form, "WSpinEdit")->setValue(width);
    child<QSpinBox>(form, "HSpinEdit")->setValue(height);
    child<QComboBox>(form, "DComboBox")->setCurrentIndex(depth);

    QCOMPARE(child<QLabel>(form, "MALabel")->text(), QStringLiteral("1,000,003"));
    QTEST(child<QLabel>(form, "MULabel")->text(), "image");
    QTEST(child<QLabel>(form, "OrLabel")->text(), "orbits");
    QTEST(child<QLabel>(form, "TcLabel")->text(), "table");
    const QColor expected = tooMuch ? QColor(Qt::red) : QColor(Qt::blue);
    for (const char* name : {"MULabel", "OrLabel", "TcLabel"})
        QCOMPARE(child<QLabel>(form, name)->palette().color(QPalette::WindowText), expected);
    QVERIFY(child<QLabel>(form, "MALabel")->palette().color(QPalette::WindowText) != QColor(Qt::red));
    QCOMPARE(child<QPushButton>(form, "OKButton")->isEnabled(), !tooMuch);
}

void TestFractForm::controlStates_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<bool>("periodicity");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<bool>("bailout");
    QTest::addColumn<bool>("formula");
    QTest::addColumn<bool>("delta");
    QTest::addColumn<bool>("constant");
    QTest::addColumn<bool>("pert");
    QTest::addColumn<QString>("crLabel");
    QTest::newRow("Mandelbrot Level") << 0 << 0 << true << true << true << true << false << false << true << "";
    QTest::newRow("Mandelbrot Distance") << 0 << 1 << false << false << false << false << true << false << false << "";
    QTest::newRow("Julia Level+Distance") << 1 << 2 << true << true << true << false << true << true << false << "Julia Cr:";
    QTest::newRow("Mandelbrot ZC(1-Z) offers PertZ") << 3 << 0 << true << true << false << false << false << false << true << "";
    QTest::newRow("Magnetism") << 11 << 0 << false << true << true << false << false << true << false << "Magnetism Qr:";
    QTest::newRow("Newton") << 13 << 0 << false << false << true << false << false << false << true << "";
    QTest::newRow("Volterra-Lotka") << 17 << 0 << false << true << true << false << false << true << false << "Volterra h:";
}

void TestFractForm::controlStates()
{
    QFETCH(int, type);
    QFETCH(int, algorithm);
    auto f = makeDocument(type);
    f->Params.Algorithm = uint8_t(algorithm);
    Recorder rec;
    ui::TFractForm form(*f, 1, false, 0, options(rec));
    QVERIFY(showActive(form));
    QTEST(child<QCheckBox>(form, "PeriodicityCheck")->isEnabled(), "periodicity");
    QTEST(child<QSpinBox>(form, "SSpinEdit")->isEnabled(), "escape");
    QTEST(child<QComboBox>(form, "BailComboBox")->isEnabled(), "bailout");
    QTEST(child<QComboBox>(form, "pMpComboBox")->isVisible(), "formula");
    QCOMPARE(child<QSpinBox>(form, "pNewtonEdit")->isVisible(), type == 13);
    QTEST(child<QSpinBox>(form, "DeltaSpinEdit")->isEnabled(), "delta");
    QTEST(child<QLineEdit>(form, "JuliaCEdit")->isEnabled(), "constant");
    QTEST(child<QLineEdit>(form, "PertZEdit")->isEnabled(), "pert");
    QTEST(child<QLabel>(form, "JuliaCLabel")->text(), "crLabel");
}

void TestFractForm::defaultsBoxLoadsTheTypeDefaults()
{
    auto f = makeDocument();
    Recorder rec;
    ui::TFractForm form(*f, 1, true, 0, options(rec));
    QVERIFY(child<QCheckBox>(form, "DefaultCheckBox")->isChecked());
    child<QComboBox>(form, "FComboBox")->setCurrentIndex(13);  // Newton
    QCOMPARE(child<QSpinBox>(form, "ISpinEdit")->value(), 200);
    QCOMPARE(child<QLineEdit>(form, "PEdit")->text(), QStringLiteral("1.000000000000000E+0001"));
    QCOMPARE(child<QLineEdit>(form, "XEdit")->text(), QStringLiteral("0"));
    QCOMPARE(child<QSpinBox>(form, "DeltaSpinEdit")->value(), 20);

    // Unticked: the type changes, the values stay.
    ui::TFractForm plain(*f, 1, false, 0, options(rec));
    QVERIFY(!child<QCheckBox>(plain, "DefaultCheckBox")->isChecked());
    child<QComboBox>(plain, "FComboBox")->setCurrentIndex(1);
    QCOMPARE(int(plain.working().FractalType), 1);
    QCOMPARE(child<QLineEdit>(plain, "XEdit")->text(), QStringLiteral("-0.5"));
}

void TestFractForm::clipboardText_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("pertZr");
    QTest::addColumn<QString>("expected");
    // Written from the documented line rules: escape level only for the Level family of the types
    // that have one, the constant lines of the Julia types, PertZ lines only for the types that list
    // them, no Delta line for Level. Step 0.01 gives the scale 1 / (200 x 0.01) = 0.5.
    QTest::newRow("Julia, Level") << 1 << 0.0
                                  << "Fractal:\tJulia\r\n"
                                     "Algorithm:\tLevel\r\n"
                                     "Image Size: \t64x48\r\n"
                                     "X Center:\t0\r\n"
                                     "Y Center:\t0\r\n"
                                     "Calculation step:\t1.000000000000000E-0002\r\n"
                                     "Scale:   \t5.000000000000000E-0001\r\n"
                                     "Iterations:\t250\r\n"
                                     "Escape level:\t2\r\n"
                                     "Julia Cr: \t0.09\r\n"
                                     "Julia Ci:\t0.65\r\n";
    QTest::newRow("Mandelbrot ZC(1-Z) has no PertZ lines") << 3 << 0.25
                                                           << "Fractal:\tMandelbrot  ZC(1-Z)\r\n"
                                                              "Algorithm:\tLevel\r\n"
                                                              "Image Size: \t64x48\r\n"
                                                              "X Center:\t0.5\r\n"
                                                              "Y Center:\t-0.5\r\n"
                                                              "Calculation step:\t1.000000000000000E-0002\r\n"
                                                              "Scale:   \t5.000000000000000E-0001\r\n"
                                                              "Iterations:\t250\r\n"
                                                              "Escape level:\t2\r\n";
}

void TestFractForm::clipboardText()
{
    QFETCH(int, type);
    QFETCH(double, pertZr);
    QFETCH(QString, expected);
    auto f = makeDocument(type);
    f->Params.PertZr = pertZr;
    Recorder rec;
    ui::TFractForm form(*f, 1, false, 0, options(rec));
    if (type == 3)
        QVERIFY(child<QLineEdit>(form, "PertZEdit")->isEnabled());
    QApplication::clipboard()->clear();
    QTest::mouseClick(child<QPushButton>(form, "CopyButton"), Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), expected);
}

void TestFractForm::okWithNewSizeReallocates()
{
    auto f = makeDocument(0, 64, 48);
    Recorder rec;
    ui::TFractForm form(*f, 2, false, 0, options(rec));
    QTest::mouseClick(child<QRadioButton>(form, "RB1"), Qt::LeftButton);
    QVERIFY(!child<QSpinBox>(form, "WSpinEdit")->isEnabled());
    QCOMPARE(child<QSpinBox>(form, "WSpinEdit")->value(), 640);
    QTest::mouseClick(child<QPushButton>(form, "OKButton"), Qt::LeftButton);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(form.imageReallocated());
    QCOMPARE(f->Data.width(), 640);
    QCOMPARE(f->Data.height(), 480);
    QCOMPARE(f->Bitmap.Width, 640);
    QCOMPARE(f->Params.Width, 640);
    QCOMPARE(rec.statuses, QStringList{QStringLiteral("Allocating Memory for BitMap...")});
    QVERIFY(rec.errors.isEmpty());
    // The corners follow the centre and the new size.
    QCOMPARE(f->LeftX, -0.5 - 320 * 0.01);
    QCOMPARE(f->TopY, 0 + 240 * 0.01);
}

void TestFractForm::okWithUnchangedSizeKeepsTheWorkspace()
{
    auto f = makeDocument(0, 64, 48);
    f->Data.at(3, 5) = 77;
    Recorder rec;
    ui::TFractForm form(*f, 3, false, 1, options(rec));
    QVERIFY(showActive(form));
    typeAndLeave(child<QLineEdit>(form, "XEdit"), QStringLiteral("-1.25"));
    QTest::mouseClick(child<QPushButton>(form, "OKButton"), Qt::LeftButton);
    QVERIFY(!form.imageReallocated());
    QVERIFY(rec.statuses.isEmpty());
    QCOMPARE(f->Data.at(3, 5), uint16_t(77));
    QCOMPARE(f->Params.CentreX, -1.25);
    QCOMPARE(f->LeftX, -1.25 - 32 * 0.01);
    QVERIFY(f->ImageParamsChanged());
}

void TestFractForm::cancelChangesNothing()
{
    auto f = makeDocument(0, 64, 48);
    const engine::FractalParams before = f->Params;
    const double leftX = f->LeftX;
    Recorder rec;
    ui::TFractForm form(*f, 2, false, 0, options(rec));
    QVERIFY(showActive(form));
    QTest::mouseClick(child<QRadioButton>(form, "RB3"), Qt::LeftButton);
    child<QComboBox>(form, "AComboBox")->setCurrentIndex(1);
    child<QComboBox>(form, "FComboBox")->setCurrentIndex(1);
    child<QTabWidget>(form, "PageControl")->setCurrentIndex(2);
    typeAndLeave(child<QLineEdit>(form, "XEdit"), QStringLiteral("0.75"));
    QCOMPARE(form.working().CentreX, 0.75);
    QTest::mouseClick(child<QPushButton>(form, "CancelButton"), Qt::LeftButton);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(f->Params == before);
    QCOMPARE(f->LeftX, leftX);
    QCOMPARE(f->Data.width(), 64);
    QVERIFY(rec.statuses.isEmpty());
}

void TestFractForm::colourCheck_data()
{
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("depth");  // DComboBox index
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("format");
    QTest::newRow("Level never asks") << 0 << 1 << true << 0 << int(engine::PixelFormat24);
    QTest::newRow("Binary on 8 bits with the default palette") << 3 << 0 << true << 0 << int(engine::PixelFormat8);
    QTest::newRow("Binary on 24 bits, Yes") << 3 << 1 << true << 1 << int(engine::PixelFormat8);
    QTest::newRow("Distance on 24 bits, No") << 1 << 1 << false << 1 << int(engine::PixelFormat24);
}

void TestFractForm::colourCheck()
{
    QFETCH(int, algorithm);
    QFETCH(int, depth);
    QFETCH(bool, answer);
    QFETCH(int, format);
    auto f = makeDocument(0, 64, 48);
    Recorder rec;
    rec.colourAnswer = answer;
    ui::TFractForm form(*f, 1, false, 0, options(rec));
    child<QComboBox>(form, "AComboBox")->setCurrentIndex(algorithm);
    child<QComboBox>(form, "DComboBox")->setCurrentIndex(depth);
    QTest::mouseClick(child<QPushButton>(form, "OKButton"), Qt::LeftButton);
    QTEST(rec.colourQuestions, "questions");
    QCOMPARE(int(f->PixelFormat), format);
    QCOMPARE(int(f->Params.Algorithm), algorithm);
}

void TestFractForm::openingPage_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("Fractal") << 1;
    QTest::newRow("Image") << 2;
    QTest::newRow("Variables") << 3;
    QTest::newRow("Dimensions") << 4;
}

void TestFractForm::openingPage()
{
    QFETCH(int, page);
    auto f = makeDocument();
    f->Params.Step = 0.0078125;  // 2^-7: the corners are exact
    Recorder rec;
    ui::TFractForm form(*f, page, false, 1, options(rec));
    auto* pages = child<QTabWidget>(form, "PageControl");
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet%1").arg(page));
    QCOMPARE(pages->tabText(1), QStringLiteral("&Image"));
    QCOMPARE(pages->tabText(0), QStringLiteral("&Fractale"));
    // The corners of the Dimensions page: centre -/+ half the size (64 x 48) in steps.
    QCOMPARE(child<QLineEdit>(form, "TopXEdit")->text(), QStringLiteral("-0.75"));
    QCOMPARE(child<QLineEdit>(form, "TopYEdit")->text(), QStringLiteral("0.1875"));
    QCOMPARE(child<QLineEdit>(form, "BotXEdit")->text(), QStringLiteral("-0.25"));
    QCOMPARE(child<QLineEdit>(form, "BotYEdit")->text(), QStringLiteral("-0.1875"));
}

void TestFractForm::controlStatesOfEveryType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("function");
    for (int type = 0; type < engine::TypeCount; ++type) {
        if (!engine::isValidType(type))
            continue;
        const int algorithms = engine::typeDefaults(engine::TypeId(type)).MaxAlgorithm;
        for (int algorithm = 0; algorithm <= algorithms; ++algorithm)
            for (int function : {int(engine::FnSin), int(engine::FnExp)})
                QTest::addRow("type %d algorithm %d function %d", type, algorithm, function)
                    << type << algorithm << function;
    }
}

// The control states written from the dialog's rules with the type numbers they are stated in.
void TestFractForm::controlStatesOfEveryType()
{
    QFETCH(int, type);
    QFETCH(int, algorithm);
    QFETCH(int, function);
    const auto in = [type](std::initializer_list<int> set) {
        return std::find(set.begin(), set.end(), type) != set.end();
    };
    const bool levelFamily = algorithm == 0 || algorithm == 2 || algorithm == 3;
    auto f = makeDocument(type);
    f->Params.Algorithm = uint8_t(algorithm);
    f->Params.FunctionIndex = uint8_t(function);
    Recorder rec;
    ui::TFractForm form(*f, 1, false, 0, options(rec));
    QVERIFY(showActive(form));
    QCOMPARE(child<QCheckBox>(form, "PeriodicityCheck")->isEnabled(),
             type < 5 && (algorithm == 0 || algorithm == 2));
    QCOMPARE(child<QSpinBox>(form, "SSpinEdit")->isEnabled(),
             (in({0, 1, 3, 4, 9, 11, 12, 14, 15, 16, 17}) && levelFamily) || (in({6, 7}) && function == engine::FnExp));
    QCOMPARE(child<QComboBox>(form, "BailComboBox")->isEnabled(),
             in({0, 1, 9, 11, 12, 13, 14, 15, 16, 17}) && levelFamily);
    QCOMPARE(child<QComboBox>(form, "pMpComboBox")->isVisible(), type == 0 && algorithm == 0);
    QCOMPARE(child<QSpinBox>(form, "pNewtonEdit")->isVisible(), type == 13);
    QCOMPARE(child<QComboBox>(form, "FuncComboBox")->isVisible(), in({6, 7}));
    QCOMPARE(child<QLabel>(form, "NewtonLabel")->isVisible(), in({6, 7, 13}));
    QCOMPARE(child<QLabel>(form, "NewtonLabel")->text(), in({0, 13}) ? QStringLiteral("p:") : QStringLiteral("fn:"));
    QCOMPARE(child<QLineEdit>(form, "JuliaCEdit")->isEnabled(), in({1, 4, 7, 11, 14, 15, 17}));
    QCOMPARE(child<QLineEdit>(form, "JuliaCiEdit")->isEnabled(), in({1, 4, 7, 11, 14, 15, 17}));
    QCOMPARE(child<QLineEdit>(form, "PertZEdit")->isEnabled(), in({0, 3, 6, 9, 12, 13, 14, 15, 16}) && algorithm == 0);
    QCOMPARE(child<QLineEdit>(form, "PertZiEdit")->isEnabled(), in({0, 3, 6, 9, 12, 13, 14, 15, 16}) && algorithm == 0);
    const char* const crLabel = in({1, 4, 7}) ? "Julia Cr:" : type == 11 ? "Magnetism Qr:"
        : in({14, 15})                         ? "Phoenix Cr:"
        : type == 17                           ? "Volterra h:"
                                               : "";
    QCOMPARE(child<QLabel>(form, "JuliaCLabel")->text(), QString::fromLatin1(crLabel));
    QCOMPARE(child<QComboBox>(form, "AComboBox")->count(), in({0, 1}) ? 5 : type == 9 ? 4 : 1);
}

// The limits vorex-cli checks its options against (tests/cli/CliTest.cpp) are the dialog's.
void TestFractForm::spinBoxesTakeTheSharedLimits()
{
    auto f = makeDocument();
    Recorder rec;
    ui::TFractForm form(*f, 1, false, 0, options(rec));
    const engine::FieldLimitTable& l = engine::FieldLimits;
    const struct {
        const char* name;
        engine::IntRange range;
    } rows[] = {
        {"ISpinEdit", l.Iterations}, {"SSpinEdit", l.EscapeLevel}, {"pNewtonEdit", l.NewtonP},
        {"DeltaSpinEdit", l.Delta},  {"WSpinEdit", l.ImageSide},   {"HSpinEdit", l.ImageSide},
    };
    for (const auto& row : rows) {
        const QSpinBox* box = child<QSpinBox>(form, row.name);
        QVERIFY2(box->minimum() == row.range.min && box->maximum() == row.range.max, row.name);
    }
}

void TestFractForm::fieldsAreNamedAfterTheirLabels()
{
    // What a screen reader says for each field: its page and the text of the label beside it, without
    // its "&" and its colon; the label is also the field's "labelled by" relation.
    auto f = makeDocument();
    Recorder rec;
    ui::TFractForm form(*f, 1, false, 0, options(rec));
    const struct {
        const char* field;
        const char* name;
        const char* page;
    } rows[] = {
        {"ISpinEdit", "Iterations max:", "Fractal"}, {"WSpinEdit", "Width (pixels):", "Image"},
        {"HSpinEdit", "Heigh (pixels):", "Image"},   {"DComboBox", "Image Deep:", "Image"},
        {"XEdit", "X Center:", "Variables"},         {"YEdit", "Y Center:", "Variables"},
        {"PEdit", "Calculation step:", "Variables"},
    };
    for (const auto& row : rows) {
        QWidget* field = form.findChild<QWidget*>(QLatin1String(row.field));
        QVERIFY2(field, row.field);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(field);
        QVERIFY2(iface, row.field);
        // The label is the field's "labelled by" relation; a list box's name on this platform is its
        // current choice, the other fields carry the label as their name too.
        QStringList labels;
        for (const auto& relation : iface->relations(QAccessible::Label))
            labels << relation.first->text(QAccessible::Name);
        QVERIFY2(labels.contains(QString::fromUtf8(row.name)), qPrintable(labels.join(QLatin1Char('|'))));
        QString name = QString::fromUtf8(row.name);
        name.chop(1);  // the colon
        QCOMPARE(iface->text(QAccessible::Name), QLatin1String(row.page) + QStringLiteral(": ") + name);
    }
}

QTEST_MAIN(TestFractForm)
#include "tst_fractform.moc"
