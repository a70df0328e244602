// Save when the file system turns against it: the old file stays byte for byte
// (or takes the new bytes where the save may go ahead), the reason is named, and
// the process lives on. Run as root, the suite sets up what only root can and
// saves as user nobody; run as a user, the rows that need root are skipped.
#include "script/scriptfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>
#include <utility>

#include <csignal>
#include <grp.h>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

namespace {

// clang-format off
enum Fault {
    InPlace, OwnerKept, DiskFull, DiskFullInPlace, SizeLimit, SizeLimitInPlace, NoConverter,
    ReadOnlyFile, ReadOnlyFolder, FolderGone, Fifo, FifoReadOnlyFolder, Socket, Folder, DeviceNode,
    LinkToDevice, LinkToFolder, PlantedLink, OwnLink, HardLink, NonUtf8, LongPath
};
// clang-format on
const bool startedAsRoot = geteuid() == 0;
constexpr uid_t Nobody = 65534, Stranger = 4242;
const QByteArray Old = QByteArray("old line\r\n").repeated(90);
const QByteArray New =
    QByteArray("bind w forward\r\n").repeated(7000);  // more than the small disk holds

// Root for the setup steps that need it; in between, the suite is nobody.
void become(uid_t uid)
{
    if (startedAsRoot && (uid == 0 ? seteuid(0) || setegid(0) : setegid(uid) || seteuid(uid)))
        qFatal("cannot become uid %u", uid);
}
struct AsRoot {
    AsRoot() { become(0); }
    ~AsRoot() { become(Nobody); }
};

QByteArray contents(const QByteArray &path)
{
    QFile f(QFile::decodeName(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QByteArray &path, const QByteArray &bytes)
{
    QFile f(QFile::decodeName(path));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", path.constData());
}

// Saves as nobody (or root) under a file-size limit, with an alarm that ends a
// save that blocks; a signal that the writer fails to ignore ends the suite.
ScriptFile::Outcome save(bool asRoot, rlim_t sizeLimit, const char *codePage)
{
    const rlimit limited{sizeLimit, RLIM_INFINITY}, unlimited{RLIM_INFINITY, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limited);
    become(asRoot ? 0 : Nobody);
    alarm(10);
    const ScriptFile::Outcome r = ScriptFile::save(QString::fromLatin1(New), codePage);
    alarm(0);
    become(Nobody);
    setrlimit(RLIMIT_FSIZE, &unlimited);
    return r;
}

// What a save may change: the name's type, the target's status, bytes and folder.
struct Seen {
    mode_t type = 0;  // 0: absent
    struct stat target {};
    QByteArray bytes;
    QStringList folder;
};

Seen look(const QByteArray &target)
{
    Seen s;
    struct stat st {};
    s.type = lstat("autoexec.cfg", &st) == 0 ? st.st_mode & S_IFMT : 0;
    if (stat(target.constData(), &s.target) == 0 && S_ISREG(s.target.st_mode))
        s.bytes = contents(target);
    const QByteArray folder = target.contains('/') ? target.left(target.lastIndexOf('/')) : ".";
    s.folder = QDir(QFile::decodeName(folder))
                   .entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                              | QDir::NoDotAndDotDot);
    return s;
}

}  // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT
    QString home = QDir::currentPath();
    std::optional<QTemporaryDir> base;
    bool mounted = false;

private slots:
    void initTestCase()
    {
        QVERIFY(!startedAsRoot || setgroups(0, nullptr) == 0);
        become(Nobody);
    }
    void cleanupTestCase() { become(0); }  // so that the leak checker may trace the process
    void init() { QVERIFY(base.emplace().isValid() && QDir::setCurrent(base->path())); }

    void cleanup()
    {
        QDir::setCurrent(home);
        base->setAutoRemove(false);  // rm, as root, also takes read-only folders and long paths
        AsRoot root;
        if (std::exchange(mounted, false))
            umount2(QFile::encodeName(base->filePath("game")).constData(), MNT_DETACH);
        QProcess::execute("chmod", {"-R", "u+rwX", base->path()});
        QProcess::execute("rm", {"-rf", base->path()});
    }

    void faults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("reason");  // empty where the save goes ahead
        const auto row = [](const char *name, Fault fault, const char *reason) {
            QTest::newRow(name) << int(fault) << QString::fromLatin1(reason);
        };
        row("writable file, read-only folder: in place", InPlace, "");
        row("owner kept as root", OwnerKept, "");
        row("full disk", DiskFull, "The disk is full (No space left on device)");
        row("full disk, in place", DiskFullInPlace, "The disk is full (No space left on device)");
        row("size limit", SizeLimit, "file-size limit (File too large)");
        row("size limit, in place", SizeLimitInPlace, "file-size limit (File too large)");
        row("no converter", NoConverter, "no-such-code-page cannot be opened; nothing was written");
        row("read-only file", ReadOnlyFile, "cannot be written (Permission denied)");
        row("read-only folder", ReadOnlyFolder, "(Permission denied); nothing was written");
        row("folder gone", FolderGone, "The folder no longer exists.");
        row("FIFO", Fifo, "autoexec.cfg is a FIFO");
        row("FIFO, read-only folder", FifoReadOnlyFolder, "autoexec.cfg is a FIFO");
        row("socket", Socket, "autoexec.cfg is a socket");
        row("folder", Folder, "autoexec.cfg is a folder");
        row("device node", DeviceNode, "autoexec.cfg is a character device");
        row("link to a device", LinkToDevice, "autoexec.cfg links to a character device");
        row("link to a folder", LinkToFolder, "autoexec.cfg links to a folder");
        row("planted link", PlantedLink, "a link that another user placed in a folder everyone");
        row("own link", OwnLink, "");
        row("hard link", HardLink, "");
        row("non-UTF-8 folder", NonUtf8, "");
        row("long path", LongPath, "");
    }

    void faults()
    {
        QFETCH(int, fault);
        QFETCH(QString, reason);
        const bool ok = reason.isEmpty();
        if (!startedAsRoot
            && (fault == OwnerKept || fault == DiskFull || fault == DiskFullInPlace
                || fault == DeviceNode || fault == PlantedLink || fault == OwnLink))
            QSKIP("needs root to set up (a tmpfs, a device node, another user's link or file)");

        QByteArray dir = fault == NonUtf8 ? "game\xff" : "game", target = "autoexec.cfg", watch;
        QVERIFY(mkdir(dir.constData(), 0755) == 0);
        if (fault == DiskFull || fault == DiskFullInPlace) {
            AsRoot root;
            QVERIFY(mount("tmpfs", "game", "tmpfs", 0, "size=64k,mode=0755,uid=65534,gid=65534")
                    == 0);
            mounted = true;
        }
        if (fault == NonUtf8) {  // its U+FFFD spelling beside it, which must stay as it is
            QVERIFY(mkdir("game\xef\xbf\xbd", 0755) == 0);
            put("game\xef\xbf\xbd/autoexec.cfg", Old);
            watch = "../game\xef\xbf\xbd/autoexec.cfg";
        }
        if (fault == PlantedLink || fault == OwnLink) {  // a link in a shared sticky folder
            put("game/autoexec.cfg", Old);
            QVERIFY(chmod("game/autoexec.cfg", 0604) == 0);
            AsRoot root;
            const uid_t owner = fault == PlantedLink ? Stranger : Nobody;
            QVERIFY(mkdir("shared", 0) == 0 && chmod("shared", 01777) == 0);
            QVERIFY(symlink("../game/autoexec.cfg", "shared/autoexec.cfg") == 0);
            QVERIFY(lchown("shared/autoexec.cfg", owner, owner) == 0);
            dir = "shared";
            target = "../game/autoexec.cfg";
        }
        QVERIFY(chdir(dir.constData()) == 0);
        for (int i = 0; fault == LongPath && i < 25; ++i) {  // 5,000 bytes deeper
            const QByteArray name = QByteArray::number(i).rightJustified(200, 'd');
            QVERIFY(mkdir(name.constData(), 0755) == 0 && chdir(name.constData()) == 0);
        }
        if (dir != "shared")
            put("autoexec.cfg", fault == HardLink ? Old.repeated(200) : Old);  // in place: longer
        if (fault >= ReadOnlyFolder && fault <= LinkToFolder)
            QVERIFY(unlink("autoexec.cfg") == 0);
        sockaddr_un address{AF_UNIX, "autoexec.cfg"};
        const int socketFd = fault == Socket ? socket(AF_UNIX, SOCK_STREAM, 0) : -1;
        switch (fault) {
        case InPlace: QVERIFY(chmod("autoexec.cfg", 0604) == 0 && chmod(".", 0555) == 0); break;
        case OwnerKept: QVERIFY(chmod("autoexec.cfg", 0640) == 0); break;
        case ReadOnlyFile: QVERIFY(chmod("autoexec.cfg", 0444) == 0); break;
        case ReadOnlyFolder:
        case DiskFullInPlace:
        case SizeLimitInPlace: QVERIFY(chmod(".", 0555) == 0); break;
        case HardLink:
            QVERIFY(link("autoexec.cfg", (target = "other.cfg").constData()) == 0);
            break;
        case FolderGone: QVERIFY(rmdir("../game") == 0); break;
        case Fifo: QVERIFY(mkfifo("autoexec.cfg", 0644) == 0); break;
        case FifoReadOnlyFolder:
            QVERIFY(mkfifo("autoexec.cfg", 0666) == 0 && chmod(".", 0555) == 0);
            break;
        case Socket:
            QVERIFY(bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
            ::close(socketFd);
            break;
        case Folder: QVERIFY(mkdir("autoexec.cfg", 0755) == 0); break;
        case DeviceNode: {
            AsRoot root;
            QVERIFY(mknod("autoexec.cfg", S_IFCHR | 0666, makedev(1, 3)) == 0);
            break;
        }
        case LinkToDevice: QVERIFY(symlink("/dev/null", "autoexec.cfg") == 0); break;
        case LinkToFolder: QVERIFY(symlink("..", "autoexec.cfg") == 0); break;
        default: break;
        }

        const Seen before = look(target);
        const bool limited = fault == SizeLimit || fault == SizeLimitInPlace;
        const auto saved = save(fault == OwnerKept, limited ? 1000 : RLIM_INFINITY,
                                fault == NoConverter ? "no-such-code-page" : ScriptFile::CodePage);
        const Seen after = look(target);
        if (fault == LongPath)  // named whole, for people to read
            QVERIFY(ScriptFile::displayPath().size() > 5000);

        QVERIFY2(saved.reason.contains(reason), qPrintable(saved.reason));
        QCOMPARE(saved.ok, ok);
        QCOMPARE(after.bytes, ok ? New : before.bytes);
        QCOMPARE(after.type, ok && !before.type ? S_IFREG : before.type);
        QCOMPARE(after.folder, before.folder);  // no temporary file left behind
        if (!watch.isEmpty())
            QCOMPARE(contents(watch), Old);
        const auto owner = [](const struct stat &st) {
            return QList<uint>{st.st_mode, st.st_uid, st.st_gid};
        };
        QVERIFY(!ok || owner(after.target) == owner(before.target));  // mode, owner and group kept
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
