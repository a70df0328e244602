#include "nativefile.h"

#include "saveplan.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QList>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

// Gathers the facts of saveplan.h from the system and carries out the plan:
//
//   new file   an unnamed file in the folder, written, synced and linked to the
//              name (a named one renamed there where the file system has no
//              unnamed files), the folder synced
//   replace    a new file .autoexec.cfg.quorrel-XXXXXX beside the old one takes
//              its owner, group, mode and attributes, is synced and renamed over
//              it, the folder synced; where it cannot take them all, the plan is
//              made again knowing that
//   in place   under the file's exclusive lock: the space reserved; a journal
//              .autoexec.cfg.quorrel-journal beside it holds the old length, mode
//              and bytes and is synced with the folder before the first byte
//              changes; the text written, the file cut to its length, its set-id
//              bits and capabilities put back, the file synced; the journal
//              removed (emptied in an append-only folder) and the folder synced.
//              On failure the journal is copied back; after a crash the next save
//              or start does that.
//
// The old file is locked for the whole save, its length taken under the lock.
// Each save removes the temporary files of this user that a save ended early left.

namespace NativeFile {

using SavePlan::Action;
using SavePlan::JournalHead;
using ScriptFile::Cause;
using ScriptFile::Found;
using ScriptFile::OldFile;
using ScriptFile::Outcome;
using ScriptFile::Problem;
using ScriptFile::Recovery;

namespace {

constexpr int MaxLinks = 40;  // the kernel's own limit for one lookup
// Every open of the file itself: no link followed, no wait for a FIFO's other
// end or a device, no controlling terminal.
constexpr int FileFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
constexpr int PassFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
constexpr char TempTag[] = ".quorrel-";
constexpr char JournalTag[] = ".quorrel-journal";
constexpr char TempLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr int TempRandom = 6;      // letters after the tag
constexpr time_t StaleAfter = 10;  // seconds; a running save is done with its file sooner
constexpr qsizetype Chunk = 64 * 1024;
constexpr int LockTries = 200;  // 10 ms apart

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(Fd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd &operator=(Fd &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// While it lives, a write beyond the file-size limit fails with EFBIG on this
// thread instead of ending the process; a signal it raised is taken on the way out.
class NoSizeSignal {
public:
    NoSizeSignal()
    {
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &m_set, &m_old);
    }
    ~NoSizeSignal()
    {
        sigset_t pending;
        const timespec now{};
        if (!sigismember(&m_old, SIGXFSZ) && sigpending(&pending) == 0
            && sigismember(&pending, SIGXFSZ))
            sigtimedwait(&m_set, nullptr, &now);
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    NoSizeSignal(const NoSizeSignal &) = delete;
    NoSizeSignal &operator=(const NoSizeSignal &) = delete;

private:
    sigset_t m_set, m_old;
};

Cause causeOf(int error)
{
    switch (error) {
    case 0: return Cause::None;
    case EACCES:
    case EPERM: return Cause::Denied;
    case EROFS: return Cause::ReadOnly;
    case EIO: return Cause::Io;
    case ENOSPC: return Cause::NoSpace;
    case EDQUOT: return Cause::Quota;
    case EFBIG: return Cause::TooLarge;
    case ELOOP: return Cause::LinkLoop;
    case ENAMETOOLONG: return Cause::NameTooLong;
    case ENOTDIR: return Cause::NotFolder;
    case ENOENT: return Cause::Missing;
    case EBUSY:
    case ETXTBSY: return Cause::Busy;
    case EWOULDBLOCK: return Cause::Locked;
    case EOPNOTSUPP:
    case ENOSYS: return Cause::Unsupported;
    case ENOMEM: return Cause::NoMemory;
    case EMFILE:
    case ENFILE: return Cause::TooManyOpen;
    default: return Cause::Other;
    }
}

Outcome outcome(Problem problem, int error, OldFile old)
{
    return SavePlan::outcome(problem, causeOf(error), old);
}

Outcome failure(int error, OldFile old)
{
    return SavePlan::failure(causeOf(error), old);
}

Found kindOf(mode_t mode)
{
    switch (mode & S_IFMT) {
    case S_IFREG: return Found::Regular;
    case S_IFDIR: return Found::Folder;
    case S_IFIFO: return Found::Fifo;
    case S_IFSOCK: return Found::Socket;
    case S_IFCHR: return Found::CharDevice;
    case S_IFBLK: return Found::BlockDevice;
    default: return Found::Other;
    }
}

bool shared(const struct stat &folder)
{
    return (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
}

bool inGroup(gid_t gid)
{
    if (gid == getegid())
        return true;
    gid_t groups[256];
    const int n = getgroups(256, groups);
    return std::find(groups, groups + std::max(n, 0), gid) != groups + std::max(n, 0);
}

quint64 attributes(int fd, const char *name = "")
{
    struct statx sx {};
    return statx(fd, name, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, 0, &sx) == 0
        ? sx.stx_attributes & sx.stx_attributes_mask
        : 0;
}

// Opens the folder `path` from `dir` to pass through it; the kernel walks its
// links and applies its own rules to them.
int passThrough(int dir, const char *path)
{
    static std::atomic<bool> noOpenat2{false};
    if (!noOpenat2) {
        open_how how{};
        how.flags = PassFlags;
        how.resolve = RESOLVE_NO_MAGICLINKS;
        const long fd = syscall(SYS_openat2, dir, path, &how, sizeof how);
        // Only the call itself tells whether the kernel has openat2.
        if (fd >= 0 || errno != ENOSYS)
            return int(fd);
        noOpenat2 = true;
    }
    return openat(dir, path, PassFlags);
}

int readLink(int dir, const char *name, QByteArray *target)
{
    QByteArray buf(256, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = readlinkat(dir, name, buf.data(), size_t(buf.size()));
        if (n < 0)
            return errno;
        if (n < buf.size()) {
            buf.truncate(n);
            *target = buf;
            return 0;
        }
        buf.resize(buf.size() * 2);
    }
}

// The file that a name stands for: the folder that holds it and its name there.
struct Target {
    Fd dir;
    QByteArray name;
    struct stat st {};
    bool exists = false;
    bool viaLink = false;
    bool plantedLink = false;
};

// Follows links at the name itself; the kernel follows those of the folders on
// the way. The rule of protected_symlinks for sticky world-writable folders is
// applied here to the name's own links whatever the system's setting: no flag
// of open asks for it, and the name is the one place another user can plant.
int resolve(Target &t)
{
    for (int links = 0;; ++links) {
        if (fstatat(t.dir.get(), t.name.constData(), &t.st, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? 0 : errno;  // nothing: a new file
        if (!S_ISLNK(t.st.st_mode)) {
            t.exists = true;
            return 0;
        }
        struct stat folder {};
        if (fstat(t.dir.get(), &folder) != 0)
            return errno;
        if (shared(folder) && t.st.st_uid != geteuid() && t.st.st_uid != folder.st_uid) {
            t.plantedLink = true;
            return 0;
        }
        QByteArray target;
        if (links == MaxLinks)
            return ELOOP;
        if (const int e = readLink(t.dir.get(), t.name.constData(), &target))
            return e;
        if (target.isEmpty())
            return ENOENT;
        t.viaLink = true;
        const qsizetype slash = target.lastIndexOf('/');
        if (slash >= 0) {
            Fd next(passThrough(t.dir.get(), slash ? target.left(slash).constData() : "/"));
            if (!next.valid())
                return errno;
            t.dir = std::move(next);
        }
        t.name = target.mid(slash + 1);
        if (t.name.isEmpty())
            t.name = ".";  // a trailing slash asks for a folder
    }
}

QByteArray pathOf(const Target &t)
{
    const QByteArray folder = folderPath(t.dir.get());
    return folder.isEmpty() ? QByteArray() : folder + (folder.endsWith('/') ? "" : "/") + t.name;
}

// Writes `bytes` at `offset` (at the file's position where it is -1).
int writeAll(int fd, QByteArrayView bytes, qint64 offset = 0, qsizetype *done = nullptr)
{
    int e = 0;
    qsizetype n = 0;
    while (n < bytes.size() && !e) {
        const size_t left = size_t(bytes.size() - n);
        const ssize_t w = offset < 0 ? ::write(fd, bytes.data() + n, left)
                                     : pwrite(fd, bytes.data() + n, left, off_t(offset + n));
        if (w > 0)
            n += w;
        else if (w == 0 || errno != EINTR)
            e = w == 0 ? EIO : errno;
    }
    if (done)
        *done = n;
    return e;
}

// Reads `size` bytes at `offset`; fewer where the file ends before.
int readAt(int fd, qint64 offset, qsizetype size, QByteArray *out)
{
    out->resize(size);
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = pread(fd, out->data() + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno != EINTR)
            return errno;
        if (n == 0)
            break;
        done += std::max(n, ssize_t(0));
    }
    out->truncate(done);
    return 0;
}

// Copies `length` bytes, in chunks, from `from` at `at` to `to` (at its position
// where `to_at` is -1), adding them to `sum` when given.
int copy(int from, qint64 at, int to, qint64 toAt, qint64 length, QCryptographicHash *sum)
{
    QByteArray chunk;
    for (qint64 done = 0; done < length; done += chunk.size()) {
        if (const int e = readAt(from, at + done, qsizetype(std::min<qint64>(Chunk, length - done)),
                                 &chunk))
            return e;
        if (chunk.isEmpty())
            return EIO;  // shorter than it said
        if (sum)
            sum->addData(chunk);
        if (const int e = writeAll(to, chunk, toAt < 0 ? -1 : toAt + done))
            return e;
    }
    return 0;
}

int lock(int fd, bool wait)
{
    for (int i = 0;; ++i) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return 0;
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS)
            return 0;  // a file system without locks
        if (errno != EWOULDBLOCK && errno != EINTR)
            return errno;
        if (!wait || i == LockTries)
            return EWOULDBLOCK;
        const timespec pause{0, 10'000'000};
        nanosleep(&pause, nullptr);
    }
}

// Syncs the folder's names: through a descriptor that reads it, or, where this
// user may not read it, with the whole file system that holds `file`.
int syncFolder(int dir, int file)
{
    if (faccessat(dir, ".", R_OK, AT_EACCESS) != 0)
        return syncfs(file) == 0 ? 0 : errno;
    Fd listed(openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return listed.valid() && (fsync(listed.get()) == 0 || errno == EINVAL) ? 0 : errno;
}

// The names of the file's extended attributes; false when they cannot be read.
bool attributeNames(int fd, QList<QByteArray> *names)
{
    QByteArray list;
    for (ssize_t n = flistxattr(fd, nullptr, 0);; n = flistxattr(fd, nullptr, 0)) {
        if (n <= 0)
            return n == 0 || errno == EOPNOTSUPP;  // none where the file system has none
        list.resize(n);
        if ((n = flistxattr(fd, list.data(), size_t(n))) >= 0) {
            list.truncate(n);
            break;
        }
        if (errno != ERANGE)
            return false;
    }
    *names = list.split('\0');
    names->removeAll(QByteArray());
    return true;
}

bool attribute(int fd, const QByteArray &name, QByteArray *value)
{
    for (ssize_t n = fgetxattr(fd, name.constData(), nullptr, 0); n >= 0;
         n = fgetxattr(fd, name.constData(), nullptr, 0)) {
        value->resize(n);
        if ((n = fgetxattr(fd, name.constData(), value->data(), size_t(n))) >= 0) {
            value->truncate(n);
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
    return false;
}

// Gives the new file `fd` the old file's owner, group, mode and extended
// attributes (ACLs among them), and none that the old file lacks. False when
// it cannot take them all: only trying tells what the file system and this
// user's privileges let a new file take.
bool carry(int old, int fd, const struct stat &st)
{
    // Owner first, which clears set-id bits and capabilities; mode last, after
    // the ACLs that share its bits. A new file that has the owner and group
    // already is not asked again: some file systems cannot change owners at all.
    struct stat now {};
    QList<QByteArray> names, present;
    if (fstat(fd, &now) != 0
        || ((now.st_uid != st.st_uid || now.st_gid != st.st_gid)
            && fchown(fd, st.st_uid, st.st_gid) != 0)
        || !attributeNames(old, &names) || !attributeNames(fd, &present))
        return false;
    for (const QByteArray &name : present) {
        if (!names.contains(name) && fremovexattr(fd, name.constData()) != 0)
            return false;
    }
    for (const QByteArray &name : names) {
        QByteArray value, had;
        if (!attribute(old, name, &value))
            return false;
        if ((!attribute(fd, name, &had) || had != value)
            && fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    }
    return fchmod(fd, st.st_mode & 07777) == 0 && fstat(fd, &now) == 0 && now.st_uid == st.st_uid
        && now.st_gid == st.st_gid && now.st_mode == st.st_mode;
}

bool isTemporary(const QByteArray &entry, const QByteArray &prefix)
{
    return entry.size() == prefix.size() + TempRandom && entry.startsWith(prefix)
        && std::all_of(entry.cbegin() + prefix.size(), entry.cend(),
                       [](char c) { return std::strchr(TempLetters, c) != nullptr; });
}

// Removes the temporary files of `name` that a save of this user, ended
// before its rename, left in the folder: regular files with one name, this
// user's, not written to for longer than a save takes. A folder this user may
// not list keeps them.
void removeStale(int dir, const QByteArray &name)
{
    // Without an access time to update, the listing leaves the folder's inode
    // clean, and the syncs that follow have nothing more to write (only the
    // folder's owner may ask so).
    struct stat folder {};
    if (faccessat(dir, ".", R_OK, AT_EACCESS) != 0 || fstat(dir, &folder) != 0)
        return;
    const int noAtime = folder.st_uid == geteuid() ? O_NOATIME : 0;
    Fd listed(openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC | noAtime));
    DIR *list = listed.valid() ? fdopendir(listed.get()) : nullptr;
    if (!list)
        return;
    listed.release();
    const QByteArray prefix = '.' + name + TempTag;
    const time_t now = std::time(nullptr);
    while (const dirent *entry = readdir(list)) {
        struct stat st {};
        if (isTemporary(entry->d_name, prefix)
            && fstatat(dir, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)
            && st.st_nlink == 1 && st.st_uid == geteuid() && now - st.st_mtime > StaleAfter)
            unlinkat(dir, entry->d_name, 0);
    }
    closedir(list);
}

// ---- facts -----------------------------------------------------------------------

SavePlan::Facts gather(const Target &t, int file, bool readable, bool writable,
                       QByteArrayView bytes)
{
    SavePlan::Facts f;
    f.plantedLink = t.plantedLink;
    f.exists = t.exists;
    f.kind = kindOf(t.st.st_mode);
    struct stat folder {};
    fstat(t.dir.get(), &folder);
    const quint64 folderAttributes = attributes(t.dir.get());
    f.shared = shared(folder);
    f.folderTakesNew = faccessat(t.dir.get(), ".", W_OK | X_OK, AT_EACCESS) == 0
        && !(folderAttributes & STATX_ATTR_IMMUTABLE);
    f.folderAppendOnly = folderAttributes & STATX_ATTR_APPEND;
    rlimit limit{};
    f.textTooLarge = getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
        && rlim_t(bytes.size()) > limit.rlim_cur;
    if (!t.exists)
        return f;
    const struct stat &st = t.st;
    f.ownerIsUser = st.st_uid == geteuid();
    f.ownerIsFolderOwner = st.st_uid == folder.st_uid;
    f.links = int(std::min<nlink_t>(st.st_nlink, 1000));
    f.readable = readable;
    f.writable = writable;
    f.privileged = geteuid() == 0;
    if (file < 0)
        return f;
    const quint64 own = attributes(file);
    f.locked = own & (STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND);
    f.mountPoint = own & STATX_ATTR_MOUNT_ROOT;
    f.setId = st.st_mode & (S_ISUID | S_ISGID);
    f.mayRestoreSetId = f.privileged
        || (f.ownerIsUser && (!(st.st_mode & S_ISGID) || inGroup(st.st_gid)));
    QList<QByteArray> names;
    const bool listed = attributeNames(file, &names);
    f.capabilities = names.contains("security.capability");
    f.attributesReadable = listed
        && (readable || std::none_of(names.cbegin(), names.cend(), [](const QByteArray &n) {
                               return n.startsWith("user.");
                           }));
    const gid_t newGroup = folder.st_mode & S_ISGID ? folder.st_gid : getegid();
    f.newFileTakesIds = f.privileged
        || (f.ownerIsUser && (st.st_gid == newGroup || inGroup(st.st_gid)));
    f.empty = st.st_size == 0;
    f.oldTooLarge = st.st_size > SavePlan::MaxKept;
    QByteArray old;
    f.sameBytes = readable && st.st_size == bytes.size() && readAt(file, 0, bytes.size(), &old) == 0
        && old == bytes;
    return f;
}

// ---- the journal -----------------------------------------------------------------

QByteArray journalName(const QByteArray &name)
{
    return '.' + name + JournalTag;
}

// Removes the journal, or empties it where the folder keeps every name.
int dropJournal(const Target &t, int journal, bool stays)
{
    if (stays)
        return ftruncate(journal, 0) == 0 && fsync(journal) == 0 ? 0 : errno;
    return unlinkat(t.dir.get(), journalName(t.name).constData(), 0) == 0 ? 0 : errno;
}

std::optional<JournalHead> checkJournal(int journal)
{
    struct stat st {};
    if (fstat(journal, &st) != 0)
        return std::nullopt;
    return SavePlan::checkJournal(st.st_size, [journal](qint64 at, qsizetype n, QByteArray *bytes) {
        return readAt(journal, at, n, bytes) == 0;
    });
}

// Copies the old file into a new journal beside it, on disk with its name before
// the old file changes.
int writeJournal(const Target &t, int file, bool stays, Fd *journal)
{
    const int create = stays ? O_CREAT : O_CREAT | O_EXCL;
    *journal = Fd(
        openat(t.dir.get(), journalName(t.name).constData(), O_RDWR | create | FileFlags, 0600));
    struct stat js {};
    if (!journal->valid() || fstat(journal->get(), &js) != 0)
        return errno;
    if (!S_ISREG(js.st_mode) || js.st_uid != geteuid() || js.st_nlink != 1)
        return EEXIST;  // another's, kept by an append-only folder
    JournalHead h;
    h.length = t.st.st_size;
    h.mode = t.st.st_mode & 07777;
    h.device = t.st.st_dev;
    h.file = t.st.st_ino;
    const QByteArray head = SavePlan::journalHead(h);
    QCryptographicHash sum(QCryptographicHash::Sha1);
    sum.addData(head);
    int e = stays && ftruncate(journal->get(), 0) != 0 ? errno : 0;
    if (!e)
        e = writeAll(journal->get(), head, -1);
    if (!e)
        e = copy(file, 0, journal->get(), -1, h.length, &sum);
    if (!e)
        e = writeAll(journal->get(), sum.result(), -1);
    if (!e && fsync(journal->get()) != 0)
        e = errno;
    if (!e)
        e = syncFolder(t.dir.get(), journal->get());
    return e;
}

// Puts the journal's old bytes, length and mode back into `file`. 0 once done
// and on disk; else the first error, *written telling whether all was written.
int putBack(int journal, int file, const JournalHead &h, bool *written)
{
    struct stat st {};
    *written = false;
    if (const int e = copy(journal, SavePlan::JournalHeadSize, file, 0, h.length, nullptr))
        return e;
    if (ftruncate(file, off_t(h.length)) != 0 || fstat(file, &st) != 0
        || ((st.st_mode & 07777) != h.mode && fchmod(file, mode_t(h.mode)) != 0))
        return errno;
    *written = true;
    return fsync(file) == 0 ? 0 : errno;
}

// Puts back what a save in place that ended early left in the journal beside
// the locked, writable `file`. Journals of other users are left alone; one that
// is not complete was written before the file changed, and is removed.
Recovery::What recoverAt(const Target &t, int file, int *error)
{
    const QByteArray name = journalName(t.name);
    struct stat js {};
    if (fstatat(t.dir.get(), name.constData(), &js, AT_SYMLINK_NOFOLLOW) != 0
        || !S_ISREG(js.st_mode) || js.st_uid != geteuid() || js.st_nlink != 1)
        return Recovery::Nothing;
    const bool stays = attributes(t.dir.get()) & STATX_ATTR_APPEND;
    if (stays && js.st_size == 0)
        return Recovery::Nothing;  // emptied where the folder keeps every name
    Fd journal(openat(t.dir.get(), name.constData(), O_RDWR | FileFlags));
    struct stat st {};
    if (!journal.valid() || fstat(file, &st) != 0) {
        *error = errno;
        return Recovery::Failed;
    }
    const auto h = checkJournal(journal.get());
    bool written = false;
    if (h && h->device == st.st_dev && h->file == st.st_ino) {
        if ((*error = putBack(journal.get(), file, *h, &written)))
            return Recovery::Failed;  // the journal stays for the next try
    }
    if (const int e = dropJournal(t, journal.get(), stays))
        *error = e;
    else
        *error = syncFolder(t.dir.get(), file);
    return !h || !written ? Recovery::Nothing : *error ? Recovery::Failed : Recovery::PutBack;
}

// ---- the plans -------------------------------------------------------------------

// Reserves the file's first `size` bytes without changing its length or bytes.
int reserve(int fd, qsizetype size, off_t length)
{
    int e = 0;
    do
        e = size > 0 && fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0 ? errno : 0;
    while (e == EINTR);
    // Only trying tells whether the file system reserves; without that,
    // overwriting blocks that are there already needs none.
    if (e == EOPNOTSUPP && size <= length && lseek(fd, 0, SEEK_HOLE) >= off_t(size))
        return 0;
    return e;
}

Outcome inPlace(const Target &t, int fd, const SavePlan::Plan &plan, QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    const off_t length = t.st.st_size;
    int e = reserve(fd, size, length);
    if (e == EOPNOTSUPP)
        return outcome(Problem::NoReservation, e, OldFile::Untouched);
    if (e)
        return failure(e, OldFile::Untouched);
    QByteArray capabilities;
    if (plan.restoreSetId)
        attribute(fd, "security.capability", &capabilities);
    Fd journal;
    if ((e = writeJournal(t, fd, plan.journalStays, &journal))) {
        if (journal.valid())
            dropJournal(t, journal.get(), plan.journalStays);
        return failure(e, OldFile::Untouched);
    }
    qsizetype done = 0;
    e = writeAll(fd, bytes, 0, &done);
    if (!e && size < length && ftruncate(fd, off_t(size)) != 0)
        e = errno;
    // Writing cleared the set-id bits of a user without the privilege, and
    // everyone's capabilities.
    if (!e && plan.restoreSetId
        && (fchmod(fd, t.st.st_mode & 07777) != 0
            || (!capabilities.isEmpty()
                && fsetxattr(fd, "security.capability", capabilities.constData(),
                             size_t(capabilities.size()), 0)
                    != 0)))
        e = errno;
    if (!e && fsync(fd) != 0)
        e = errno;
    if (e && done == 0) {
        dropJournal(t, journal.get(), plan.journalStays);
        return failure(e, OldFile::Untouched);
    }
    // Kept, the journal would undo the save at the next start.
    if (!e && dropJournal(t, journal.get(), plan.journalStays) != 0
        && (ftruncate(journal.get(), 0) != 0 || fsync(journal.get()) != 0))
        e = errno;
    if (e) {
        JournalHead h;
        h.length = length;
        h.mode = t.st.st_mode & 07777;
        bool written = false;
        if (putBack(journal.get(), fd, h, &written) != 0)
            return failure(e, written ? OldFile::PutBackUnsynced : OldFile::Damaged);
        dropJournal(t, journal.get(), plan.journalStays);
        return failure(e, OldFile::PutBack);
    }
    if ((e = syncFolder(t.dir.get(), fd)))
        return outcome(Problem::FolderUnsynced, e, OldFile::None);
    return outcome(Problem::None, 0, OldFile::None);
}

// Links a new, synced file to the name. Returns whether it took all that the
// old file `old` carries; false, with nothing changed, when it could not.
bool viaNewFile(const Target &t, int old, QByteArrayView bytes, Outcome *r)
{
    const int dir = t.dir.get();
    const OldFile kept = t.exists ? OldFile::Untouched : OldFile::None;
    QByteArray temp;
    Fd fd;
    // An unnamed file leaves nothing behind, and needs no rename where a folder
    // keeps every name; only trying tells whether the file system has them.
    if (!t.exists)
        fd = Fd(openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    const bool unnamed = fd.valid();
    for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
        temp = '.' + t.name + TempTag;
        for (int i = 0; i < TempRandom; ++i)
            temp += TempLetters[QRandomGenerator::global()->bounded(int(sizeof TempLetters - 1))];
        // Private until it takes the old file's mode; a new file gets 0666 less the umask.
        fd = Fd(openat(dir, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | FileFlags,
                       t.exists ? 0600 : 0666));
        if (!fd.valid() && errno != EEXIST)
            break;
    }
    int e = fd.valid() ? 0 : errno;
    if (!e)
        e = writeAll(fd.get(), bytes);
    if (!e && t.exists && !carry(old, fd.get(), t.st)) {
        unlinkat(dir, temp.constData(), 0);
        return false;
    }
    if (!e && fsync(fd.get()) != 0)
        e = errno;
    if (!e && unnamed
        && linkat(AT_FDCWD, ("/proc/self/fd/" + QByteArray::number(fd.get())).constData(), dir,
                  t.name.constData(), AT_SYMLINK_FOLLOW)
            != 0)
        e = errno;
    if (!e && !unnamed && renameat(dir, temp.constData(), dir, t.name.constData()) != 0)
        e = errno;
    if (fd.valid() && e && !unnamed)
        unlinkat(dir, temp.constData(), 0);
    if (e)
        *r = failure(e, kept);
    else if ((e = syncFolder(dir, fd.get())))
        *r = outcome(Problem::FolderUnsynced, e, OldFile::None);
    else
        *r = outcome(Problem::None, 0, OldFile::None);
    return true;
}

Outcome write(Target &t, QByteArrayView bytes)
{
    if (const int e = resolve(t))
        return failure(e, OldFile::None);
    // The decisions below go by the file opened, locked and stated under the lock.
    Fd fd;
    bool readable = false, writable = false;
    if (t.exists && S_ISREG(t.st.st_mode) && !t.plantedLink) {
        const char *name = t.name.constData();
        readable = faccessat(t.dir.get(), name, R_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) == 0;
        writable = faccessat(t.dir.get(), name, W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) == 0;
        const int mode = readable && writable ? O_RDWR : writable ? O_WRONLY : O_RDONLY;
        fd = Fd(openat(t.dir.get(), name, mode | FileFlags));
        if (!fd.valid() && (readable || writable))
            return failure(errno, OldFile::Untouched);
        if (writable) {
            if (const int e = lock(fd.get(), true))
                return failure(e, OldFile::Untouched);
            int e = 0;
            if (recoverAt(t, fd.get(), &e) == Recovery::Failed)
                return failure(e, OldFile::Damaged);
        }
        if (fd.valid() && fstat(fd.get(), &t.st) != 0)
            return failure(errno, OldFile::Untouched);
    }
    SavePlan::Facts facts = gather(t, fd.get(), readable, writable, bytes);
    SavePlan::Plan plan = SavePlan::decide(facts);
    Outcome r;
    switch (plan.action) {
    case Action::Refuse: break;
    case Action::Unchanged:
        return fsync(fd.get()) == 0 ? outcome(Problem::None, 0, OldFile::None)
                                    : outcome(Problem::Unsynced, errno, OldFile::None);
    case Action::NewFile:
    case Action::Replace:
        removeStale(t.dir.get(), t.name);
        if (viaNewFile(t, fd.get(), bytes, &r))
            return r;
        facts.carryFailed = true;
        plan = SavePlan::decide(facts);
        if (plan.action == Action::InPlace)
            return inPlace(t, fd.get(), plan, bytes);
        break;
    case Action::InPlace: return inPlace(t, fd.get(), plan, bytes);
    }
    r = outcome(plan.problem, 0, t.exists && !t.plantedLink ? OldFile::Untouched : OldFile::None);
    r.cause = plan.cause;
    if (plan.problem == Problem::NotRegular)
        r.found = facts.kind;
    return r;
}

Target at(qintptr folder, const char *name, int *error)
{
    Target t;
    t.dir = Fd(fcntl(int(folder), F_DUPFD_CLOEXEC, 0));
    t.name = name;
    *error = t.dir.valid() && fstat(t.dir.get(), &t.st) == 0 ? 0 : errno;
    return t;
}

}  // namespace

Outcome replace(qintptr folder, const char *name, QByteArrayView bytes)
{
    NoSizeSignal guard;
    int e = 0;
    Target t = at(folder, name, &e);
    if (e)
        return failure(e, OldFile::None);
    if (t.st.st_nlink == 0)
        return outcome(Problem::FolderGone, 0, OldFile::None);
    Outcome r = write(t, bytes);
    r.viaLink = t.viaLink;
    r.path = QFile::decodeName(pathOf(t));
    return r;
}

Recovery recover(qintptr folder, const char *name)
{
    NoSizeSignal guard;
    Recovery r;
    int e = 0;
    Target t = at(folder, name, &e);
    struct stat js {};
    if (e || resolve(t) || !t.exists || t.plantedLink || !S_ISREG(t.st.st_mode)
        || fstatat(t.dir.get(), journalName(t.name).constData(), &js, AT_SYMLINK_NOFOLLOW) != 0)
        return r;
    r.path = QFile::decodeName(pathOf(t));
    Fd fd(openat(t.dir.get(), t.name.constData(), O_WRONLY | FileFlags));
    if (!fd.valid()) {
        r.what = Recovery::Failed;
        r.cause = causeOf(errno);
    } else if (lock(fd.get(), false) == 0) {  // else a save is running, with its own journal
        r.what = recoverAt(t, fd.get(), &e);
        r.cause = causeOf(e);
    }
    return r;
}

Cause openFolder(const char *path, qintptr *folder)
{
    const int fd = ::open(path ? path : ".", PassFlags);
    *folder = fd;
    return fd < 0 ? causeOf(errno) : Cause::None;
}

QByteArray folderPath(qintptr folder)
{
    QByteArray path(256, Qt::Uninitialized);
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(folder);
    if (folder < 0 || readLink(AT_FDCWD, link.constData(), &path) != 0 || !path.startsWith('/'))
        return {};
    return path;
}

void closeFolder(qintptr folder)
{
    ::close(int(folder));
}

}  // namespace NativeFile
