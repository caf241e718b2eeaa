// Documents from the main window: save, reopen, the recent files, the ask-to-save question at
// close, New, Erase, failed loads and dropped files.
#include <QMimeData>
#include <QUrl>
#include <QtTest>

#include "storage/Document.h"
#include "storage/Preferences.h"
#include "ui/ImageView.h"
#include "UiTestUtil.h"

using namespace vxtest;
using Answer = ui::UiServices::Answer;

namespace {

// A small computed image in the window, ready to save.
void computeSmall(WindowFixture& fx)
{
    QVERIFY(fx.allocate(64, 48));
    QVERIFY(fx.computeAndWait());
}

}  // namespace

class TestDocuments : public QObject {
    Q_OBJECT
private slots:
    void saveReopenAndRecentFiles();
    void saveProposesTheDocumentName();
    void cancelledSaveKeepsTheDocumentModified();
    void recentFilesKeepTheFourLatest();
    void closingWithUnsavedChanges_data();
    void closingWithUnsavedChanges();
    void preferencesAreWrittenAtClose();
    void newFractalAsksAndResets();
    void eraseClearsThePicture();
    void failedOpenBeepsAndResets();
    void droppedFileOpens();
};

void TestDocuments::saveReopenAndRecentFiles()
{
    WindowFixture fx;
    computeSmall(fx);
    const QString path = fx.path(QStringLiteral("first.mbt"));
    fx.services.savePaths.push_back(path);
    QVERIFY(fx.trigger("MenuSaveFrac"));
    QVERIFY(QFile::exists(path));
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex: first"));
    QVERIFY(!fx.f().Modified);
    QVERIFY(!fx.action("MenuSaveFrac")->isEnabled());

    // The Files menu lists the document.
    emit fx.menu("MenuFil")->aboutToShow();
    QVERIFY(fx.action("file01")->isVisible());
    QVERIFY(fx.action("file05")->isVisible());
    QVERIFY(!fx.action("file02")->isVisible());
    QCOMPARE(fx.action("file01")->text(), QString::fromStdString(storage::recentFileCaption(path.toStdString())));
    const engine::TVxWork saved = fx.f().Data;

    // A new document, then Open through the dialog.
    QVERIFY(fx.trigger("MenuNew"));
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex"));
    QCOMPARE(fx.f().Params.Width, 1);
    fx.services.openPaths.push_back(path);
    QVERIFY(fx.trigger("MenuOpenFrac"));
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex: first"));
    QVERIFY(sameData(fx.f().Data, saved));
    QVERIFY(!fx.f().Modified);
    QVERIFY(!fx.f().ImageParamsChanged());
    QCOMPARE(fx.w().mainImage()->image().size(), QSize(64, 48));
    QCOMPARE(fx.panel(4), QStringLiteral(" "));

    // And through the recent-files entry.
    QVERIFY(fx.trigger("MenuNew"));
    QVERIFY(fx.trigger("file01"));
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex: first"));
    QVERIFY(sameData(fx.f().Data, saved));
    QCOMPARE(fx.services.questions, 0);  // nothing was modified: no question
}

void TestDocuments::saveProposesTheDocumentName()
{
    WindowFixture fx;
    computeSmall(fx);
    fx.services.savePaths.push_back(fx.path(QStringLiteral("named.mbt")));
    QVERIFY(fx.trigger("MenuSaveAsFrac"));
    QCOMPARE(fx.services.lastSaveProposal, QString());
    fx.f().Modified = true;
    fx.w().DrawMainMenus();
    fx.services.savePaths.push_back(fx.path(QStringLiteral("named.mbt")));
    QVERIFY(fx.trigger("MenuSaveFrac"));
    QCOMPARE(fx.services.lastSaveProposal, QStringLiteral("named"));
}

void TestDocuments::cancelledSaveKeepsTheDocumentModified()
{
    WindowFixture fx;
    computeSmall(fx);
    QVERIFY(fx.trigger("MenuSaveFrac"));  // the dialog is cancelled: no path queued
    QVERIFY(fx.f().Modified);
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex"));
    QVERIFY(fx.action("MenuSaveFrac")->isEnabled());
}

void TestDocuments::recentFilesKeepTheFourLatest()
{
    WindowFixture fx;
    computeSmall(fx);
    const QStringList names = {"a", "b", "c", "d", "e", "c"};
    for (const QString& name : names) {
        fx.services.savePaths.push_back(fx.path(name + QStringLiteral(".mbt")));
        QVERIFY(fx.trigger("MenuSaveAsFrac"));
    }
    const storage::RecentFiles& recent = fx.w().settings().prefs.recentFiles;
    const QStringList expected = {"e", "d", "c", "b"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(QString::fromStdString(recent[size_t(i)]), fx.path(expected[i] + QStringLiteral(".mbt")));
    emit fx.menu("MenuFil")->aboutToShow();
    for (const char* entry : {"file01", "file02", "file03", "file04"})
        QVERIFY2(fx.action(entry)->isVisible(), entry);
}

void TestDocuments::closingWithUnsavedChanges_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("giveSavePath");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("fileWritten");
    QTest::newRow("Cancel keeps the window") << int(Answer::Cancel) << false << false << false;
    QTest::newRow("No closes without saving") << int(Answer::No) << false << true << false;
    QTest::newRow("Yes saves, then closes") << int(Answer::Yes) << true << true << true;
    QTest::newRow("Yes with the save dialog cancelled keeps the window") << int(Answer::Yes) << false << false << false;
}

void TestDocuments::closingWithUnsavedChanges()
{
    QFETCH(int, answer);
    QFETCH(bool, giveSavePath);
    QFETCH(bool, closes);
    QFETCH(bool, fileWritten);
    WindowFixture fx;
    fx.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&fx.w()));
    computeSmall(fx);
    const QString path = fx.path(QStringLiteral("atclose.mbt"));
    fx.services.answers.push_back(Answer(answer));
    if (giveSavePath)
        fx.services.savePaths.push_back(path);
    QCOMPARE(fx.w().close(), closes);
    QCOMPARE(fx.w().isVisible(), !closes);
    QCOMPARE(fx.services.questions, 1);
    QCOMPARE(fx.services.questionTitles.value(0), QStringLiteral("Effacer la Fractale"));
    QCOMPARE(QFile::exists(path), fileWritten);
    if (!closes)
        QCOMPARE(fx.panel(4), QString());
}

void TestDocuments::preferencesAreWrittenAtClose()
{
    QString cfgPath;
    QString docPath;
    {
        WindowFixture fx({}, "[Prefer]\nLang=0\n[Mine]\nKeep=1\n");
        computeSmall(fx);
        docPath = fx.path(QStringLiteral("kept.mbt"));
        fx.services.savePaths.push_back(docPath);
        QVERIFY(fx.trigger("MenuSaveFrac"));
        QVERIFY(fx.w().close());
        cfgPath = fx.path(QStringLiteral("Vorex.cfg"));
        const storage::Preferences prefs = storage::loadPreferences(QFile::encodeName(cfgPath).toStdString());
        QCOMPARE(int(prefs.language), 0);
        QCOMPARE(QString::fromStdString(prefs.recentFiles[0]), docPath);
        QFile cfg(cfgPath);
        QVERIFY(cfg.open(QIODevice::ReadOnly));
        QVERIFY(cfg.readAll().contains("Keep=1"));
    }
}

void TestDocuments::newFractalAsksAndResets()
{
    WindowFixture fx;
    computeSmall(fx);
    int dialogPage = 0;
    bool dialogForNew = false;
    fx.w().setVariablesDialogHook([&](int page, bool isNew) {
        dialogPage = page;
        dialogForNew = isNew;
    });
    // Cancel: nothing changes.
    fx.services.answers.push_back(Answer::Cancel);
    QVERIFY(fx.trigger("MenuNew"));
    QCOMPARE(fx.f().Params.Width, 64);
    QCOMPARE(dialogPage, 0);
    // No: a new document, and the variables dialog on its first page.
    fx.services.answers.push_back(Answer::No);
    QVERIFY(fx.trigger("MenuNew"));
    QCOMPARE(fx.services.questionTitles, QStringList({"Nouvelle Fractale", "Nouvelle Fractale"}));
    QCOMPARE(fx.f().Params.Width, 1);
    QCOMPARE(fx.f().ResumeLine, 0);
    QCOMPARE(dialogPage, 1);
    QVERIFY(dialogForNew);
    QVERIFY(!fx.action("MenuCal")->isEnabled());
}

void TestDocuments::eraseClearsThePicture()
{
    WindowFixture fx;
    computeSmall(fx);
    fx.services.answers.push_back(Answer::No);
    QVERIFY(fx.trigger("MenuEff"));
    QCOMPARE(fx.services.questionTitles, QStringList({"Effacer la Fractale"}));
    QCOMPARE(fx.f().Params.Width, 64);
    bool allZero = true;
    for (int r = 0; r < 48; ++r)
        for (int c = 0; c < 64; ++c)
            allZero = allZero && fx.f().Data.at(r, c) == 0;
    QVERIFY(allZero);
    QCOMPARE(fx.w().mainImage()->image().pixelIndex(32, 24), 0);
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex"));
    QVERIFY(!fx.f().Modified);
}

void TestDocuments::failedOpenBeepsAndResets()
{
    WindowFixture fx({}, "[Prefer]\nLang=0\n");
    computeSmall(fx);
    const QString bad = fx.path(QStringLiteral("bad.mbt"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a document at all");
    file.close();
    const int beepsBefore = fx.services.beeps;
    fx.services.answers.push_back(Answer::No);
    fx.services.openPaths.push_back(bad);
    QVERIFY(fx.trigger("MenuOpenFrac"));
    QCOMPARE(fx.services.beeps, beepsBefore + 1);
    QCOMPARE(fx.panel(4), QStringLiteral("Error reading file"));
    QCOMPARE(fx.f().Params.Width, 1);
    QCOMPARE(fx.w().windowTitle(), QStringLiteral("Vorex"));
    // A file whose header was refused does not enter the recent files.
    QVERIFY(fx.w().settings().prefs.recentFiles[0].empty());
}

void TestDocuments::droppedFileOpens()
{
    QTemporaryDir docs;
    engine::FractalParams params;
    params.Width = 32;
    params.Height = 24;
    auto g = referenceImage(params, engine::PixelFormat8);
    const QString path = docs.filePath(QStringLiteral("dropped.mbt"));
    QVERIFY(storage::SaveDocument(*g, QFile::encodeName(path).toStdString()));

    WindowFixture fx;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&fx.w(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&fx.w(), &drop);
    QTRY_COMPARE(fx.w().windowTitle(), QStringLiteral("Vorex: dropped"));
    QVERIFY(sameData(fx.f().Data, g->Data));
    QVERIFY(!fx.f().ImageParamsChanged());
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
