// Save when the file system says no: the program keeps running with its settings,
// names the file and the reason, and the previous file stays as it was.
#include "script/scriptfile.h"
#include "testkit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

static QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

static void setFileSizeLimit(rlim_t limit)
{
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &r);
}

class TestSaveFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestApplication();
        signal(SIGXFSZ, SIG_IGN);  // a write past the size limit fails instead of killing
    }

    void faults()
    {
        enum { AsDirectory, ReadOnlyFile, ReadOnlyFolder, WritableFileInReadOnlyFolder, SizeLimit, Deleted };
        const struct { int fault; bool hadFile; const char *reason; } cases[] = {
            {AsDirectory, false, "directory"}, {ReadOnlyFile, true, "not writable"},
            {ReadOnlyFolder, false, "ermission denied"}, {WritableFileInReadOnlyFolder, true, nullptr},
            {SizeLimit, true, "too large"}, {Deleted, false, "no longer exists"}};
        const QString home = QDir::currentPath();
        const auto rw = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        for (const auto &c : cases) {
            if (geteuid() == 0 && c.fault >= ReadOnlyFile && c.fault <= WritableFileInReadOnlyFolder) {
                qInfo("case %d skipped: root writes anyway; ctest runs this as nobody", c.fault);
                continue;
            }
            QTemporaryDir tmp;
            const QString dir = tmp.filePath("game"), file = dir + "/autoexec.cfg";
            QVERIFY(QDir().mkpath(dir) && QDir::setCurrent(dir));
            const QByteArray old = QByteArray("old script\r\n").repeated(200);
            QFile f(file);
            QVERIFY(!c.hadFile || (f.open(QIODevice::WriteOnly) && f.write(old) == old.size()));
            f.close();

            // The program runs, then the file system turns against it.
            TestWindow w;
            w.field("Text2")->setText("Kept");
            w.bar("VScroll1")->setValue(7);
            click(&w.form, "Option1");
            w.form.Timer1_Timer();
            const QString before = w.expected();
            if (c.fault == AsDirectory) QVERIFY(QDir().mkdir(file));
            if (c.fault == ReadOnlyFile) QFile::setPermissions(file, QFile::ReadOwner);
            if (c.fault == ReadOnlyFolder || c.fault == WritableFileInReadOnlyFolder)
                QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
            if (c.fault == SizeLimit) setFileSizeLimit(100);
            if (c.fault == Deleted) QVERIFY(QDir().rmdir(dir));
            ModalResponder modal;
            click(&w.form, "Command2");
            setFileSizeLimit(RLIM_INFINITY);

            if (!c.reason) {  // the file itself is replaced in place
                QCOMPARE(modal.messages.size(), 0);
                QCOMPARE(readAll(file), ScriptFile::encode(before));
                QFile::setPermissions(dir, rw);
                continue;
            }
            QCOMPARE(modal.messages.size(), 1);
            const auto &m = modal.messages.first();
            QCOMPARE(m.icon, QMessageBox::Critical);
            QVERIFY2((c.fault == Deleted || m.text.contains(file)) && m.text.contains(c.reason), qPrintable(m.text));
            QVERIFY(w.form.isVisible());
            QCOMPARE(w.expected(), before);

            // The old file is untouched and nothing else was left; with the fault
            // cleared, the next save succeeds.
            if (c.fault == AsDirectory) QVERIFY(QDir().rmdir(file));
            if (c.fault == ReadOnlyFile) QFile::setPermissions(file, rw);
            if (c.fault == ReadOnlyFolder) QFile::setPermissions(dir, rw);
            if (c.fault == Deleted) QVERIFY(QDir().mkpath(dir) && QDir::setCurrent(dir));
            const auto entries = [&] { return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); };
            QCOMPARE(entries(), c.hadFile ? QStringList{"autoexec.cfg"} : QStringList{});
            QCOMPARE(readAll(file), c.hadFile ? old : QByteArray());
            child<QAction>(&w.form, "save")->trigger();
            QCOMPARE(modal.messages.size(), 1);
            QCOMPARE(readAll(file), ScriptFile::encode(before));
            QCOMPARE(entries(), QStringList{"autoexec.cfg"});
            QDir::setCurrent(home);
        }
    }
};

QTEST_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
