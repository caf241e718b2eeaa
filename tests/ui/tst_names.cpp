// What a screen reader reads for the fields of the variables dialog: every field named after its
// label and its page, in both languages, never after its value, no two alike; combo boxes too.
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>
#include <map>

#include "document/Fractal.h"
#include "storage/Workspace.h"
#include "ui/Accessibility.h"
#include "ui/dialogs/FractForm.h"

namespace {

ui::FractFormOptions quiet()
{
    ui::FractFormOptions o;
    o.availableMemory = [] { return uint64_t(1) << 34; };
    o.showStatus = [](const QString&) {};
    o.showError = [](const QString&) {};
    o.askColourCorrection = [](QWidget*) { return false; };
    return o;
}

// The fields a user types in or chooses from (the line edit inside a combo box or a spin box is part of it).
QList<QWidget*> fields(QWidget* root)
{
    QList<QWidget*> list;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const bool inner = qobject_cast<QComboBox*>(w->parentWidget()) || qobject_cast<QAbstractSpinBox*>(w->parentWidget());
        if ((qobject_cast<QLineEdit*>(w) && !inner) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w))
            list << w;
    }
    return list;
}

QString valueOf(QWidget* w)
{
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* s = qobject_cast<QAbstractSpinBox*>(w))
        return s->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return {};
}

}  // namespace

class TestNames : public QObject {
    Q_OBJECT
private slots:
    void variablesDialogFields_data();
    void variablesDialogFields();
    void constantFieldsFollowTheType();
};

void TestNames::variablesDialogFields_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QStringList>("expected");  // objectName=name pairs
    QTest::newRow("English") << 0 << QStringList{"Fractal", "Image", "Variables", "Dimensions", "More..."}
                             << QStringList{"XEdit=Variables: X Center", "WSpinEdit=Image: Width (pixels)",
                                            "FComboBox=Fractal: Fractal Type", "ZComboBox=Variables: Absolute Scale",
                                            "TopXEdit=Dimensions: Top left corner X", "BotYEdit=Dimensions: Bottom rigth corner Y",
                                            "pNewtonEdit=Fractal: Newton degree p", "pMpComboBox=Fractal: Formula",
                                            "AComboBox=Fractal: Algorithm", "DComboBox=Image: Image Deep"};
    QTest::newRow("French") << 1 << QStringList{"Fractale", "Image", "Variables", "Dimensions", "Variables suppl."}
                            << QStringList{"XEdit=Variables: Centre X", "WSpinEdit=Image: Largeur (pixels)",
                                           "FComboBox=Fractale: Type de fractale", "ZComboBox=Variables: Echelle absolue",
                                           "TopXEdit=Dimensions: Coin haut à gauche X", "pNewtonEdit=Fractale: Degré p de Newton",
                                           "pMpComboBox=Fractale: Formule"};
}

void TestNames::variablesDialogFields()
{
    QFETCH(int, language);
    QFETCH(QStringList, pages);
    QFETCH(QStringList, expected);
    document::TFractal f;
    storage::ResetToDefaults(f);
    QVERIFY(storage::AllocImage(f, 640, 480, engine::PixelFormat8, true).ok);
    ui::TFractForm form(f, 1, false, language, quiet());
    std::map<QString, QString> names;  // name -> objectName
    const QList<QWidget*> list = fields(&form);
    QVERIFY(list.size() >= 20);
    for (QWidget* w : list) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        QVERIFY(a);
        const QString name = a->text(QAccessible::Name);
        const QString what = w->objectName() + QStringLiteral(" \"") + name + QLatin1Char('"');
        QVERIFY2(!name.isEmpty(), qPrintable(what));
        QVERIFY2(name != valueOf(w), qPrintable(what + QStringLiteral(" is its value")));
        bool onAPage = false;
        for (const QString& page : pages)
            onAPage = onAPage || name.startsWith(page + QStringLiteral(": "));
        QVERIFY2(onAPage, qPrintable(what));
        QVERIFY2(!names.count(name), qPrintable(what + QStringLiteral(" also names ") + names[name]));
        names[name] = w->objectName();
        if (qobject_cast<QComboBox*>(w)) {
            QCOMPARE(a->role(), QAccessible::ComboBox);
            QCOMPARE(a->text(QAccessible::Value), valueOf(w));
        }
    }
    for (const QString& pair : expected) {
        const QString object = pair.section(QLatin1Char('='), 0, 0), name = pair.section(QLatin1Char('='), 1);
        QWidget* w = form.findChild<QWidget*>(object);
        QVERIFY2(w, qPrintable(object));
        QCOMPARE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name), name);
    }
}

void TestNames::constantFieldsFollowTheType()
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    QVERIFY(storage::AllocImage(f, 640, 480, engine::PixelFormat8, true).ok);
    ui::TFractForm form(f, 1, false, 0, quiet());
    auto* cr = form.findChild<QLineEdit*>(QStringLiteral("JuliaCEdit"));
    auto* type = form.findChild<QComboBox*>(QStringLiteral("FComboBox"));
    QVERIFY(cr && type);
    QCOMPARE(cr->accessibleName(), QStringLiteral("More...: Constant, real part"));  // Mandelbrot has none
    type->setCurrentIndex(1);  // Julia
    QCOMPARE(cr->accessibleName(), QStringLiteral("More...: Julia Cr"));
    QCOMPARE(QAccessible::queryAccessibleInterface(type)->text(QAccessible::Name), QStringLiteral("Fractal: Fractal Type"));
    QCOMPARE(QAccessible::queryAccessibleInterface(type)->text(QAccessible::Value), type->currentText());
}

QTEST_MAIN(TestNames)
#include "tst_names.moc"
