// The fractal information dialog, the progress window, palette rotation and the system palette.
#include <QDialogButtonBox>
#include <QPushButton>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

#include "colour/Recolour.h"
#include "ui/dialogs/FractInfosForm.h"
#include "ui/ImageView.h"
#include "ui/tools/ProgForm.h"
#include "document/Recolour.h"
#include "UiTestUtil.h"

using namespace vxtest;

namespace {

// True when `p` is the system palette turned by some number of steps, entry 0 in place.
bool isRotatedSystemPalette(const colour::Palette& p, int* steps)
{
    const colour::Palette system = colour::systemPalette();
    if (!(p.entries[0] == system.entries[0]))
        return false;
    for (int k = 0; k < 255; ++k) {
        bool same = true;
        for (int i = 1; i <= 255 && same; ++i)
            same = p.entries[size_t(i)] == system.entries[size_t(1 + (i - 1 + k) % 255)];
        if (same) {
            *steps = k;
            return true;
        }
    }
    return false;
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void infosCountsUsedText_data();
    void infosCountsUsedText();
    void infosFromTheMenuStoresTheComment();
    void progressWindowEscapeSetsAbort();
    void rotationRunsUntilEscape();
    void rotationEndsWhenAMenuOpens();
    void systemPaletteRestoresTheColours();
    void standardButtonsSpeakTheLanguage_data();
    void standardButtonsSpeakTheLanguage();
};

void TestDialogs::infosCountsUsedText_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    QTest::newRow("empty") << 0 << QString() << "Used text: 0/150";
    QTest::newRow("150 characters fill it") << 0 << QString(150, QLatin1Char('x')) << "Used text: 150/150";
    QTest::newRow("more is cut at 150") << 1 << QString(170, QLatin1Char('y')) << QString::fromUtf8("Texte utilisé: 150/150");
}

void TestDialogs::infosCountsUsedText()
{
    QFETCH(int, language);
    QFETCH(QString, text);
    QFETCH(QString, label);
    ui::TFractInfosForm form(QString(), language, 8);
    form.findChild<QPlainTextEdit*>(QStringLiteral("InfosMemo"))->setPlainText(text);
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("UsedLabel"))->text(), label);
    QCOMPARE(form.comment(), text.left(150));
    QCOMPARE(form.changed(), !text.isEmpty());
}

void TestDialogs::infosFromTheMenuStoresTheComment()
{
    WindowFixture fx;
    fx.allocate(64, 48);
    QVERIFY(fx.computeAndWait());
    fx.f().Modified = false;
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<ui::TFractInfosForm*>(QApplication::activeModalWidget());
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Infos de la fractale"));
        form->findChild<QPlainTextEdit*>(QStringLiteral("InfosMemo"))->setPlainText(QStringLiteral("Spirale"));
        form->accept();
    });
    QVERIFY(fx.trigger("MenuInfos"));
    QCOMPARE(QString::fromStdString(fx.f().Comment), QStringLiteral("Spirale"));
    QVERIFY(fx.f().Modified);
}

void TestDialogs::progressWindowEscapeSetsAbort()
{
    ui::abortFlag() = true;
    ui::TProgForm form;
    form.open(95, 10);
    QVERIFY(!ui::abortFlag());  // opening clears it
    QCOMPARE(form.bar()->maximum(), 95);
    for (int i = 0; i < 12; ++i)
        form.stepIt();
    QCOMPARE(form.position(), 95);
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(ui::abortFlag());
}

void TestDialogs::rotationRunsUntilEscape()
{
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    fx.allocate(64, 48);
    QVERIFY(fx.computeAndWait());
    fx.f().Modified = false;
    QVERIFY(fx.trigger("MenuRotateOut"));
    QVERIFY(fx.w().rotationRunning());
    QCOMPARE(fx.panel(4), QStringLiteral("Rotate... Press [Esc] to stop"));
    QTRY_VERIFY(!(fx.f().Palette.entries[1] == colour::systemPalette().entries[1]));
    QTest::keyClick(fx.w().mainImage(), Qt::Key_Escape);
    QTRY_VERIFY(!fx.w().rotationRunning());
    QTRY_COMPARE(fx.panel(4), QString());
    int steps = -1;
    QVERIFY(isRotatedSystemPalette(fx.f().Palette, &steps));
    QVERIFY(steps > 0);
    // The picture shows the rotated colours, and the document remembers them.
    const QImage& shown = fx.w().mainImage()->image();
    const colour::PaletteEntry& e = fx.f().Palette.entries[1];
    QCOMPARE(shown.color(1), qRgb(e.red, e.green, e.blue));
    QVERIFY(fx.f().Modified);
}

void TestDialogs::rotationEndsWhenAMenuOpens()
{
    WindowFixture fx;
    fx.allocate(64, 48);
    QVERIFY(fx.computeAndWait());
    QVERIFY(fx.trigger("MenuRotateIn"));
    QTRY_VERIFY(!(fx.f().Palette.entries[255] == colour::systemPalette().entries[255]));
    emit fx.menu("MenuCol")->aboutToShow();
    QVERIFY(!fx.w().rotationRunning());
    const colour::Palette after = fx.f().Palette;
    QTest::qWait(20);
    QVERIFY(fx.f().Palette == after);  // no step after the end
}

void TestDialogs::systemPaletteRestoresTheColours()
{
    WindowFixture fx;
    fx.allocate(64, 48);
    QVERIFY(fx.computeAndWait());
    QVERIFY(fx.trigger("MenuRotateOut"));
    QTRY_VERIFY(!document::IsSystemPalette(fx.f()));
    fx.w().CancelModes();
    QTRY_VERIFY(!fx.w().rotationRunning());
    QVERIFY(fx.trigger("MenuPalSys"));
    QVERIFY(document::IsSystemPalette(fx.f()));
    const colour::PaletteEntry e = colour::systemPalette().entries[7];
    QCOMPARE(fx.w().mainImage()->image().color(7), qRgb(e.red, e.green, e.blue));
}

void TestDialogs::standardButtonsSpeakTheLanguage_data()
{
    QTest::addColumn<QString>("preferences");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("English") << QStringLiteral("[Prefer]\nLang=0\n") << QStringLiteral("Cancel");
    QTest::newRow("French") << QStringLiteral("[Prefer]\nLang=1\n") << QStringLiteral("Annuler");
}

void TestDialogs::standardButtonsSpeakTheLanguage()
{
    QFETCH(QString, preferences);
    QFETCH(QString, cancel);
    WindowFixture fx({}, preferences.toUtf8());
    // The buttons Qt makes for dialogs and message boxes follow the program's language.
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), cancel);
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
