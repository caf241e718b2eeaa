// The picture written when no display is available: a complete PNG, or nothing at all.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ui/HeadlessRender.h"

class TestHeadlessRender : public QObject {
    Q_OBJECT

private slots:
    void writesTheDefaultPicture();
    void failuresLeaveThePreviousFile_data();
    void failuresLeaveThePreviousFile();
};

void TestHeadlessRender::writesTheDefaultPicture()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("default.png");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older file");
    old.close();

    QVERIFY(ui::renderDefaultFractal(path));
    QImage picture;
    QVERIFY(picture.load(path, "PNG"));
    QCOMPARE(picture.size(), QSize(640, 480));
    QVERIFY(picture.pixel(0, 0) != picture.pixel(320, 240));  // outside the set, then inside it
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestHeadlessRender::failuresLeaveThePreviousFile_data()
{
    QTest::addColumn<bool>("missingDirectory");
    QTest::newRow("file size limit") << false;
    QTest::newRow("missing directory") << true;
}

// A failed write reports failure and leaves the previous file byte for byte, with no temporary file.
void TestHeadlessRender::failuresLeaveThePreviousFile()
{
    QFETCH(bool, missingDirectory);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("default.png");
    const QByteArray before = "an older file";
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(before);
    old.close();
    const QString target = missingDirectory ? dir.filePath("missing/default.png") : path;

    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (!missingDirectory) {
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit{1000, 1000};  // the picture is several kilobytes
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::_exit(ui::renderDefaultFractal(target) ? 1 : 0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    QVERIFY(!QFile::exists(dir.filePath("missing")));
}

QTEST_MAIN(TestHeadlessRender)
#include "tst_headlessrender.moc"
