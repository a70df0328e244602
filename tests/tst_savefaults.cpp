// Save when the file system says no: the program keeps running with its
// settings, says which file and why, and the previous file stays as it was.
#include "script/scriptfile.h"
#include "testkit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void setFileSizeLimit(rlim_t limit)
{
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &r);
}

enum Fault { FolderNamedLikeFile, ReadOnlyFile, ReadOnlyFolder, FullDisk, FolderDeleted };

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT
    QString m_home;

private slots:
    void initTestCase()
    {
        initTestApplication();
        signal(SIGXFSZ, SIG_IGN);  // a write past the size limit fails instead of killing
        m_home = QDir::currentPath();
    }
    void cleanup() { QDir::setCurrent(m_home); }

    void faultKeepsFileAndProgram_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("hadFile");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder named autoexec.cfg") << int(FolderNamedLikeFile) << false << "directory";
        QTest::newRow("read-only file") << int(ReadOnlyFile) << true << "not writable";
        QTest::newRow("read-only folder") << int(ReadOnlyFolder) << false << "ermission denied";
        QTest::newRow("write fails part-way") << int(FullDisk) << true << "too large";
        QTest::newRow("current folder deleted") << int(FolderDeleted) << false << "no longer exists";
    }
    void faultKeepsFileAndProgram()
    {
        QFETCH(int, fault);
        QFETCH(bool, hadFile);
        QFETCH(QString, reason);
        if (geteuid() == 0 && (fault == ReadOnlyFile || fault == ReadOnlyFolder))
            QSKIP("root writes anyway; ctest runs this as an unprivileged user");

        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString dir = tmp.filePath("game");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(QDir::setCurrent(dir));
        const QString file = QDir(dir).filePath("autoexec.cfg");
        const QByteArray old = QByteArray("old script\r\n").repeated(200);
        if (hadFile)
            QVERIFY(writeFile(file, old));

        // The program runs, then the file system turns against it.
        TestWindow w;
        w.ui.Text2->setText("Kept");
        w.ui.VScroll1->setValue(7);
        w.ui.Option1->setChecked(true);
        w.form.Timer1_Timer();
        const ScriptSettings before = w.form.readSettings();
        switch (fault) {
        case FolderNamedLikeFile: QVERIFY(QDir().mkdir(file)); break;
        case ReadOnlyFile: QFile::setPermissions(file, QFile::ReadOwner); break;
        case ReadOnlyFolder: QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner); break;
        case FullDisk: setFileSizeLimit(100); break;
        case FolderDeleted: QVERIFY(QDir().rmdir(dir)); break;
        }

        ModalResponder modal;
        w.ui.Command2->click();
        setFileSizeLimit(RLIM_INFINITY);

        QCOMPARE(modal.messages.size(), 1);
        const auto &m = modal.messages.first();
        QCOMPARE(m.icon, QMessageBox::Critical);
        QVERIFY2(m.text.contains(file), qPrintable(m.text));
        QVERIFY2(m.text.contains(reason), qPrintable(m.text));
        QVERIFY(w.form.isVisible());
        QCOMPARE(w.form.readSettings(), before);

        // Clear the fault: the next save succeeds, and nothing else was left behind.
        switch (fault) {
        case FolderNamedLikeFile: QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"autoexec.cfg"});
                                  QVERIFY(QDir().rmdir(file)); break;
        case ReadOnlyFile: QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner); break;
        case ReadOnlyFolder: QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); break;
        case FullDisk: break;
        case FolderDeleted: QVERIFY(QDir().mkpath(dir)); QVERIFY(QDir::setCurrent(dir)); break;
        }
        if (hadFile)
            QCOMPARE(readAll(file), old);
        else if (fault != FolderNamedLikeFile)
            QVERIFY(!QFile::exists(file));
        const QStringList left = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QCOMPARE(left, hadFile ? QStringList{"autoexec.cfg"} : QStringList{});

        w.ui.save->trigger();
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(readAll(file), ScriptFile::encode(scriptFor(before)));
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"autoexec.cfg"});
    }

    void writableFileInReadOnlyFolder()
    {
        // The file itself may be replaced in place when the folder takes no new files.
        if (geteuid() == 0)
            QSKIP("root writes anyway; ctest runs this as an unprivileged user");
        QTemporaryDir tmp;
        const QString file = tmp.filePath("autoexec.cfg");
        QVERIFY(writeFile(file, QByteArray(5000, 'o')));
        QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(QDir::setCurrent(tmp.path()));
        const ScriptFile::Outcome r = ScriptFile::save(u"new\r\ntext");
        QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(r.ok, qPrintable(r.reason));
        QCOMPARE(readAll(file), QByteArray("new\r\ntext"));
    }
};

QTEST_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
