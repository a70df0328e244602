// Save when the file system or another user turns against it. Each row sets up
// the folder g as root, then saves once into it in a child process, as user 4001
// unless it says otherwise, under strace or a limit where it says so. Checked:
// the outcome's kinds, the reason's wording against the golden file, the bytes
// (new where the save went ahead, else old, after the start's recovery where the
// put-back did not end), that every entry of the folders keeps its type, owner,
// group, mode and names, that the file keeps its extended attributes, that no
// temporary file or journal stays, that memory stays bounded, and the file named.
#include "script/scriptfile.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
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
    "INJECT='strace -f -qq -o /dev/null -e inject='\n"
    "fresh() { rm -rf g; mkdir -m 755 g; chown 4001:4001 g; }\n");

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
        return sh("find . -mindepth 1 -printf '%p %y %U %G %m %n\\n' | sort; "
                  "getfattr -d -m - g/autoexec.cfg 2>/dev/null");
    }
    QByteArray oldBytes()  // the size, and the bytes as far as a save in place keeps them
    {
        return sh("[ -f g/autoexec.cfg ] && stat -c %s g/autoexec.cfg && head -c 16M "
                  "g/autoexec.cfg | cksum");
    }

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
            sh("chattr -a g 2>/dev/null; umount g/autoexec.cfg 2>/dev/null; umount g 2>/dev/null");
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
        row("default ACL of the folder not taken", "old; setfacl -d -m u:4002:rw g", "", None);
        row("user attribute kept", "old; setfattr -n user.note -v hi g/autoexec.cfg", "", None);
        row("another user's file in a 0777 folder", "chmod 777 g; old; chown 4002 g/*; "
            "chmod 666 g/*", "", None);
        row("setgid group folder", "chgrp 4100 g; chmod 2775 g; old; chown 4002:4100 g/*; "
            "chmod 664 g/*", "setpriv --reuid=4001 --regid=4001 --groups=4100 $SAVE", None);
        row("root keeps the owner", "old; chown 4002 g/*; chmod 640 g/*", "$SAVE", None);
        row("no chown: ids already right", "old", "${INJECT}fchown:error=ENOSYS -e inject="
            "fallocate:error=EOPNOTSUPP $AS1 $SAVE", None);
        row("write-only file with one name: replaced", "old; chmod 200 g/*", "", None);
        row("0300 folder", "old; chmod 300 g", "", None);
        row("link through a 0711 folder", "mkdir -m 711 d; mkdir d/s; chown 4001 d/s; "
            "old 90 d/s/autoexec.cfg; ln -s ../d/s/autoexec.cfg g/autoexec.cfg", "", None);
        row("write fails at once: untouched", "old; ln g/autoexec.cfg g/other",
            "${INJECT}pwrite64:error=EIO:when=1 $AS1 $SAVE", Problem::Failed);
        row("read-only folder: no journal", "old; ln g/autoexec.cfg g/other; chmod 555 g", "",
            Problem::CannotKeepOld);
        row("hard link: in place", "old; ln g/autoexec.cfg g/other", "", None);
        row("set-uid file: bit put back", "old; chmod 4755 g/*; ln g/autoexec.cfg g/other", "",
            None);
        row("set-gid file of another owner", "old; chown 4002:4100 g/*; chmod 2775 g/*; ln "
            "g/autoexec.cfg g/other", "setpriv --reuid=4001 --regid=4001 --groups=4100 $SAVE",
            Problem::KeepsPrivilege);
        row("file capabilities", "old; setcap cap_net_raw+ep g/autoexec.cfg", "",
            Problem::KeepsPrivilege);
        row("bind-mounted file: in place", "touch g/autoexec.cfg; old 90 b; mount --bind b "
            "g/autoexec.cfg", "", None);
        row("append-only folder", "old; ln g/autoexec.cfg g/other; touch g/.autoexec.cfg.quorrel-"
            "journal; chown 4001 g/.a*; chmod 600 g/.a*; chattr +a g", "", None);
        row("append-only folder, new file", "chattr +a g", "", None, OldFile::None);
        row("20 GiB sparse, hard-linked: refused, memory bounded", "truncate -s 20G "
            "g/autoexec.cfg; chown 4001:4001 g/*; ln g/autoexec.cfg g/other", "",
            Problem::CannotKeepOld);
        row("full disk", "mount -t tmpfs -o size=8k,mode=755,uid=4001 t g; old; "
            "head -c 4096 /dev/zero >g/fill", "", Problem::NoSpace);
        row("full disk, in place", "mount -t tmpfs -o size=8k,mode=755,uid=4001 t g; old; "
            "head -c 4096 /dev/zero >g/fill; ln g/autoexec.cfg g/other", "", Problem::NoSpace);
        row("full disk, the same text", "mount -t tmpfs -o size=12k,mode=755,uid=4001 t g; "
            "(cd g; $AS1 $SAVE); head -c 8k /dev/zero >g/fill 2>/dev/null; true", "", None);
        row("the same text, not synced", "old; (cd g; $AS1 $SAVE)",
            "${INJECT}fsync:error=EIO:when=1 $AS1 $SAVE", Problem::Unsynced, OldFile::None);
        row("locked by another program for longer than a save waits", "old",
            "true; flock autoexec.cfg sleep 3 & sleep 0.3; $AS1 $SAVE; wait", Problem::Failed);
        row("size limit below the old size, in place", "old 900; ln g/autoexec.cfg g/other",
            "prlimit --fsize=1000 $AS1 $SAVE", Problem::TooLarge);
        row("no reservation", "old; ln g/autoexec.cfg g/other",
            "${INJECT}fallocate:error=EOPNOTSUPP $AS1 $SAVE", Problem::NoReservation);
        row("no reservation, a text that does not grow", "old 900; ln g/autoexec.cfg g/other",
            "${INJECT}fallocate:error=EOPNOTSUPP $AS1 $SAVE", None);
        row("fails after the reservation: put back", "old 900; ln g/autoexec.cfg g/other",
            "${INJECT}ftruncate:error=EIO:when=1 $AS1 $SAVE", Problem::Failed, OldFile::PutBack);
        row("grown, then the sync fails: put back", "old; ln g/autoexec.cfg g/other",
            "${INJECT}fsync:error=EIO:when=3 $AS1 $SAVE", Problem::Failed, OldFile::PutBack);
        row("put back fails", "old 900; ln g/autoexec.cfg g/other", "${INJECT}ftruncate:error="
            "EIO:when=1 -e inject=pwrite64:error=EIO:when=2 $AS1 $SAVE", Problem::Failed,
            OldFile::Damaged);
        row("put back's sync fails", "old 900; ln g/autoexec.cfg g/other", "${INJECT}ftruncate:"
            "error=EIO:when=1 -e inject=fsync:error=EIO:when=3 $AS1 $SAVE", Problem::Failed,
            OldFile::PutBackUnsynced);
        row("folder not synced", "old", "${INJECT}fsync:error=EIO:when=2 $AS1 $SAVE",
            Problem::FolderUnsynced, OldFile::None);
        row("folder not synced, in place", "old; ln g/autoexec.cfg g/other",
            "${INJECT}fsync:error=EIO:when=4 $AS1 $SAVE", Problem::FolderUnsynced, OldFile::None);
        row("killed before the rename", "old", "${INJECT}/^renameat:signal=KILL $AS1 $SAVE",
            Problem(Killed));
        row("killed before the rename, another user's folder", "chown 4002 g; chmod 777 g; old",
            "${INJECT}/^renameat:signal=KILL $AS1 $SAVE", Problem(Killed));
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
        row("wording under a Czech system locale", "old; chmod 444 g/autoexec.cfg", "L=$(mktemp "
            "-d); cp -r /usr/lib/locale/C.utf8 $L/cs_CZ.UTF-8; chmod -R a+rX $L; LOCPATH=$L "
            "LC_ALL=cs_CZ.UTF-8 LANGUAGE=cs $AS1 $SAVE; rm -r $L", Problem::Failed);
        row("read-only folder, no file", "chmod 555 g", "", Problem::Failed, OldFile::None);
        row("folder gone", "true", "rmdir ../g && $AS1 $SAVE; mkdir -m 755 ../g; "
            "chown 4001:4001 ../g", Problem::FolderGone, OldFile::None);
        row("FIFO", "mkfifo -m 666 g/autoexec.cfg", "", Problem::NotRegular);
        row("FIFO, read-only folder", "mkfifo -m 666 g/autoexec.cfg; chmod 555 g", "",
            Problem::NotRegular);
        row("folder", "mkdir g/autoexec.cfg", "", Problem::NotRegular);
        row("device node", "mknod -m 666 g/autoexec.cfg c 1 3", "", Problem::NotRegular);
        row("block device", "mknod -m 666 g/autoexec.cfg b 7 0", "", Problem::NotRegular);
        row("socket", "perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Local => "
            "\"g/autoexec.cfg\", Listen => 1)'; chown 4001 g/*", "", Problem::NotRegular);
        row("link to a device", "ln -s /dev/null g/autoexec.cfg", "", Problem::NotRegular);
        row("link to a folder", "ln -s .. g/autoexec.cfg", "", Problem::NotRegular);
        row("link loop", "ln -s b g/autoexec.cfg; ln -s autoexec.cfg g/b", "", Problem::Failed,
            OldFile::None);
        row("planted link", "chmod 1777 g; mkdir r; old 90 r/autoexec.cfg; ln -s ../r/autoexec.cfg"
            " g/autoexec.cfg; chown -h 4002 g/*", "", Problem::LinkRefused, OldFile::None);
        row("own link in a shared folder", "chmod 1777 g; mkdir r; chown 4001 r; old 90 "
            "r/autoexec.cfg; ln -s ../r/autoexec.cfg g/autoexec.cfg; chown -h 4001 g/*", "", None);
        row("planted file", "chmod 1777 g; old; chown 4002 g/*; chmod 666 g/*", "",
            Problem::Planted);
        row("planted file the user may not write", "chmod 1777 g; old; chown 4002 g/*; "
            "chmod 644 g/*", "", Problem::Planted);
        row("planted hard link to the user's file", "chmod 1777 g; mkdir h; chown 4001 h; "
            "old 90 h/notes.txt; ln h/notes.txt g/autoexec.cfg", "", Problem::SharedLinks);
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
        QCOMPARE(said.size(), 6);
        QCOMPARE(said[0], QByteArray::number(problem) + ' ' + QByteArray::number(old));
        QVERIFY2(said[3].toInt() < 8000, said[3]);  // KiB, whatever the old file's size
        // A put-back that did not end is ended by the next start.
        if (old == int(OldFile::Damaged) || old == int(OldFile::PutBackUnsynced))
            QCOMPARE(sh("cd g && $AS1 $SAVE recover | head -1"), "1\n");

        QFile file(base->filePath("g/autoexec.cfg"));
        const bool saved = problem == int(Problem::None) || problem == int(Problem::Unsynced)
            || problem == int(Problem::FolderUnsynced);
        if (saved) {
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == New);
            QCOMPARE(said[4] + '\n', sh("realpath g/autoexec.cfg"));
        } else {
            QCOMPARE(oldBytes(), bytes);
        }
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

    // A save in place killed before each call that changes something (a kill
    // at any other call leaves what the kill at the next one does), then a
    // start: the file is the old or the new one, whole, and nothing else stays.
    void killedAtEveryStep_data()
    {
        QTest::addColumn<int>("oldLines");
        QTest::newRow("old file longer") << 600;
        QTest::newRow("old file shorter") << 90;
    }
    void killedAtEveryStep()
    {
        QFETCH(int, oldLines);
        const QByteArray said = sh(QString(R"(
            setup() { fresh; old %1; ln g/autoexec.cfg g/other; }
            setup; old=$(cksum <g/autoexec.cfg)
            (cd g && strace -qq -o ../trace $AS1 $SAVE >/dev/null); new=$(cksum <g/autoexec.cfg)
            awk '{ n = $0; sub(/\(.*/, "", n); c[n]++ } /autoexec\.cfg/ { on = 1 }
                 on && n ~ /^(openat|write|pwrite64|ftruncate|fallocate|fsync|fchmod|fchown|unlinkat|renameat2?|linkat|flock|fsetxattr|fremovexattr)$/ { print n, c[n] }' trace |
            while read call n; do
                setup
                (cd g && strace -qq -o /dev/null -e inject=$call:signal=KILL:when=$n $AS1 $SAVE) >/dev/null 2>&1
                r=$(cd g && $AS1 $SAVE recover | head -1); f=$(cksum <g/autoexec.cfg)
                [ "$f" = "$old" ] && f=old; [ "$f" = "$new" ] && f=new
                echo "$call $n $f $r" $(ls -A g)
            done)")
                                       .arg(oldLines));
        const QList<QByteArray> steps = said.trimmed().split('\n');
        QVERIFY2(steps.size() >= 15, said);
        for (const QByteArray &step : steps)
            QVERIFY2(QRegularExpression("^\\w+ \\d+ (old [01]|new 0) autoexec.cfg other$")
                         .match(QString::fromUtf8(step))
                         .hasMatch(),
                     step);
        QVERIFY2(said.contains(" old 1 ") && said.contains(" new 0 "), said);  // put back, kept
    }

    // Two saves in place at once: the second, started once the first holds the
    // lock, waits for it and takes the length it left, so the file is the
    // second text, whole.
    void twoSavers()
    {
        const QByteArray said = sh(R"(fresh; old; ln g/autoexec.cfg g/other; cd g
            ${INJECT}pwrite64:delay_enter=300000:when=1 $AS1 $SAVE 100 >/dev/null &
            for i in $(seq 300); do flock -n autoexec.cfg true || break; sleep 0.01; done
            $AS1 $SAVE | head -1; wait; ls -A)");
        QCOMPARE(said, "0 0\nautoexec.cfg\nother\n");
        QFile file(base->filePath("g/autoexec.cfg"));
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == New);
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
