// Save when the file system or another user turns against it. Each row sets up
// the folder g as root, then saves once into it in a child process, as user 4001
// unless it says otherwise, under strace or a limit where it says so. Checked:
// the outcome's kinds, the reason's wording against the golden file, the bytes
// (new where the save went ahead, else old), that every entry of the folders
// keeps its type, owner, group, mode and names, that the file keeps its extended
// attributes, that no temporary file stays, and that memory stays bounded.
#include "script/scriptfile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using ScriptFile::OldFile;
using ScriptFile::Problem;

namespace {

const QByteArray New = QByteArray("bind w forward\r\n").repeated(300) + "\xf8";  // saveonce's
constexpr int Killed = -1;
// saveonce by a path the rows can use unquoted, wherever the build folder is.
QString saveOnce()
{
    static QTemporaryDir dir;
    static const QString link = dir.path() + "/saveonce";
    if (!QFile::exists(link)) {
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther);
        QFile::link(SAVEONCE, link);
    }
    return link;
}

// Shared by the setups and the runs.
const QString Prelude = QStringLiteral(
    "AS1='setpriv --reuid=4001 --regid=4001 --clear-groups'\n"
    "old() { f=${2:-g/autoexec.cfg}; for i in $(seq ${1:-90}); do printf 'old %d\\r\\n' $i; "
    "done >$f; chown 4001:4001 $f; }\n"
    "INJECT='strace -f -qq -o /dev/null -e inject='\n");

}  // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> base;

    QByteArray sh(const QString &script)
    {
        QProcess p;
        p.setWorkingDirectory(base->path());
        p.start("sh", {"-c", "SAVE=" + saveOnce() + '\n' + Prelude + script});
        return p.waitForFinished(20000) ? p.readAllStandardOutput() : "<timed out>";
    }
    QByteArray entries()  // of every folder, and the file's attributes
    {
        return sh("find . -mindepth 1 -printf '%p %y %u %g %m %n\\n' | sort; "
                  "getfattr -d -m - g/autoexec.cfg 2>/dev/null");
    }
    QByteArray oldBytes() { return sh("[ -f g/autoexec.cfg ] && cksum <g/autoexec.cfg"); }

private slots:
    void init()
    {
        if (geteuid() != 0)
            QSKIP(
                "the rows set up other users' files and save as users 4001 and 4002: run as root");
        QVERIFY(base.emplace().isValid()
                && chmod(QFile::encodeName(base->path()).constData(), 0755) == 0);
    }
    void cleanup()
    {
        if (base)
            sh("umount g 2>/dev/null");
    }

    void faults_data()
    {
        // clang-format off
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("run");
        QTest::addColumn<int>("problem");
        QTest::addColumn<int>("old");
        const auto row = [](const char *name, const char *setup, const char *run, Problem p,
                            OldFile old = OldFile::Untouched) {
            QTest::newRow(name) << setup << (*run ? run : "$AS1 $SAVE") << int(p)
                                << int(p == Problem::None ? OldFile::None : old);
        };
        constexpr auto None = Problem::None;
        row("new file", "true", "", None, OldFile::None);
        row("ACL entry kept", "old; setfacl -m u:4002:rw g/autoexec.cfg", "", None);
        row("user attribute kept", "old; setfattr -n user.note -v hi g/autoexec.cfg", "", None);
        row("another user's file in a 0777 folder", "chmod 777 g; old; chown 4002 g/*; "
            "chmod 666 g/*", "", None);
        row("setgid group folder", "chgrp 4100 g; chmod 2775 g; old; chown 4002:4100 g/*; "
            "chmod 664 g/*", "setpriv --reuid=4001 --regid=4001 --groups=4100 $SAVE", None);
        row("root keeps the owner", "old; chown 4002 g/*; chmod 640 g/*", "$SAVE", None);
        row("write fails at once: untouched", "old; ln g/autoexec.cfg g/other",
            "${INJECT}pwrite64:error=EIO:when=1 $AS1 $SAVE", Problem::Failed);
        row("read-only folder: in place", "old; chmod 555 g", "", None);
        row("hard link: in place", "old; ln g/autoexec.cfg g/other", "", None);
        row("20 GiB sparse, hard-linked: memory bounded", "truncate -s 20G g/autoexec.cfg; "
            "chown 4001:4001 g/*; ln g/autoexec.cfg g/other", "", None);
        row("full disk", "mount -t tmpfs -o size=8k,mode=755,uid=4001 t g; old; "
            "head -c 4096 /dev/zero >g/fill", "", Problem::NoSpace);
        row("full disk, in place", "mount -t tmpfs -o size=8k,mode=755,uid=4001 t g; old; "
            "head -c 4096 /dev/zero >g/fill; chmod 555 g", "", Problem::NoSpace);
        row("size limit below the old size, in place", "old 900; ln g/autoexec.cfg g/other",
            "prlimit --fsize=1000 $AS1 $SAVE", Problem::TooLarge);
        row("no reservation", "old; ln g/autoexec.cfg g/other",
            "${INJECT}fallocate:error=EOPNOTSUPP $AS1 $SAVE", Problem::NoReservation);
        row("fails after the reservation: put back", "old 900; ln g/autoexec.cfg g/other",
            "${INJECT}ftruncate:error=EIO:when=1 $AS1 $SAVE", Problem::Failed, OldFile::PutBack);
        row("put back fails", "old 900; ln g/autoexec.cfg g/other", "${INJECT}ftruncate:error="
            "EIO:when=1 -e inject=pwrite64:error=EIO:when=2 $AS1 $SAVE", Problem::Failed,
            OldFile::Damaged);
        row("not synced", "old", "${INJECT}fsync:error=EIO:when=2 $AS1 $SAVE", Problem::Unsynced,
            OldFile::None);
        row("killed before the rename", "old", "${INJECT}/^renameat:signal=KILL $AS1 $SAVE",
            Problem(Killed));
        row("killed while writing", "old", "${INJECT}pwrite64:signal=KILL $AS1 $SAVE",
            Problem(Killed));
        row("killed after the reservation", "old; ln g/autoexec.cfg g/other",
            "${INJECT}pwrite64:signal=KILL $AS1 $SAVE", Problem(Killed));
        row("others' files and a running save's kept", "old; cd g; p=.autoexec.cfg.quorrel-; "
            "mkdir ${p}cccccc; ln -s x ${p}dddddd; touch ${p}aaaaaa ${p}bbbbbb ${p}fffffff "
            ".autoexec.cfg.ffffff .other.cfg.quorrel-ffffff; ln ${p}bbbbbb b; chown -h 4001 .??* "
            "b; chown 4002 ${p}aaaaaa; touch -hd '-1 hour' .??*; touch ${p}eeeeee; chown 4001 "
            "${p}eeeeee", "", None);
        row("read-only file", "old; chmod 444 g/autoexec.cfg", "", Problem::Failed);
        row("read-only folder, no file", "chmod 555 g", "", Problem::Failed, OldFile::None);
        row("folder gone", "true", "rmdir ../g && $AS1 $SAVE; mkdir -m 755 ../g; "
            "chown 4001:4001 ../g", Problem::FolderGone, OldFile::None);
        row("FIFO", "mkfifo -m 666 g/autoexec.cfg", "", Problem::NotRegular);
        row("FIFO, read-only folder", "mkfifo -m 666 g/autoexec.cfg; chmod 555 g", "",
            Problem::NotRegular);
        row("folder", "mkdir g/autoexec.cfg", "", Problem::NotRegular);
        row("device node", "mknod -m 666 g/autoexec.cfg c 1 3", "", Problem::NotRegular);
        row("link to a device", "ln -s /dev/null g/autoexec.cfg", "", Problem::NotRegular);
        row("link to a folder", "ln -s .. g/autoexec.cfg", "", Problem::NotRegular);
        row("link loop", "ln -s b g/autoexec.cfg; ln -s autoexec.cfg g/b", "", Problem::Failed,
            OldFile::None);
        row("planted link", "chmod 1777 g; mkdir r; old 90 r/autoexec.cfg; ln -s ../r/autoexec.cfg"
            " g/autoexec.cfg; chown -h 4002 g/*", "", Problem::LinkRefused, OldFile::None);
        row("own link in a shared folder", "chmod 1777 g; mkdir r; old 90 r/autoexec.cfg; "
            "ln -s ../r/autoexec.cfg g/autoexec.cfg; chown -h 4001 g/*", "", None);
        row("planted file", "chmod 1777 g; old; chown 4002 g/*; chmod 666 g/*", "",
            Problem::Planted);
        row("the shared folder's owner's file", "chmod 1777 g; chown 4002 g; old; "
            "chown 4002 g/*; chmod 666 g/*", "", None);
        // clang-format on
    }

    void faults()
    {
        QFETCH(QString, setup);
        QFETCH(QString, run);
        QFETCH(int, problem);
        QFETCH(int, old);
        QVERIFY2(sh("mkdir -m 755 g && chown 4001:4001 g && (" + setup + ") >&2 && echo ok")
                     == "ok\n",
                 "setup failed");
        const QByteArray before = entries(), bytes = problem ? oldBytes() : "";
        QList<QByteArray> said =
            sh("cd g && " + run + (problem == Killed ? "; echo $?" : "")).split('\n');
        if (problem == Killed) {  // the next save removes what the killed one left
            QCOMPARE(said, QList<QByteArray>({"137", ""}));
            QCOMPARE(oldBytes(), bytes);
            said = sh("touch -hd '-1 min' g/.*quorrel*; cd g && $AS1 $SAVE").split('\n');
            problem = old = 0;
        }
        QCOMPARE(said.size(), 5);
        QCOMPARE(said[0], QByteArray::number(problem) + ' ' + QByteArray::number(old));
        QVERIFY2(said[3].toInt() < 8000, said[3]);  // KiB, whatever the old file's size

        QFile file(base->filePath("g/autoexec.cfg"));
        const bool saved = problem == int(Problem::None) || problem == int(Problem::Unsynced);
        if (saved)
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == New);
        else if (old != int(OldFile::Damaged))
            QCOMPARE(oldBytes(), bytes);
        QByteArray after = entries();
        if (!before.contains("./g/autoexec.cfg ") && saved)  // a new file, and nothing else
            after.replace(QByteArray("./g/autoexec.cfg f 4001 4001 644 1\n"), "");
        QCOMPARE(after, before);

        QFile golden(QUORREL_GOLDEN_DIR "/savefailures.txt");
        QVERIFY(golden.open(QIODevice::ReadOnly | QIODevice::Text));
        const QList<QByteArray> lines = golden.readAll().split('\n');
        const qsizetype at = lines.indexOf('[' + QByteArray(QTest::currentDataTag()) + ']');
        QCOMPARE(said[1] + '\n' + said[2],
                 problem == 0 || at < 0 ? "\n" : lines[at + 1] + '\n' + lines[at + 2]);
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
