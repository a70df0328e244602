#include "nativefile.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

// How a save writes, decided afresh each time from what stands at the name
// (a link followed as the kernel would, to the file in its own folder):
//
//   found at the name                              the save
//   ---------------------------------------------  -------------------------------------------
//   a link that another user placed in a sticky,   refuses (LinkRefused), follows nothing
//     world-writable folder
//   something other than a regular file            refuses (NotRegular), leaves it
//   a file that another user placed in such a      refuses (Planted), leaves it
//     folder
//   a file this user may not write                 refuses (Failed), leaves it
//   nothing                                        writes a new file, renamed to the name
//   a file with one name whose owner, group,       writes a new file that takes them all,
//     mode and extended attributes (ACLs too)        renamed over the old one
//     a new file in its folder can take
//   any other file: more names, an owner, group,   rewrites it in place: reserves the space,
//     mode or attribute that a new file cannot       keeps the old bytes it covers, puts
//     take, a folder that takes no new files         them and the old length back on failure
//
// A text longer than the file-size limit allows is refused before anything is
// written. A new file is named .autoexec.cfg.quorrel-XXXXXX until its rename;
// each save removes such files of this user that a save ended early left.

namespace NativeFile {

using ScriptFile::Found;
using ScriptFile::OldFile;
using ScriptFile::Outcome;
using ScriptFile::Problem;

namespace {

constexpr int MaxLinks = 40;  // the kernel's own limit for one lookup
// Every open of the file itself: no link followed, no wait for a FIFO's other
// end or a device, no controlling terminal.
constexpr int FileFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
constexpr int DirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
constexpr char TempTag[] = ".quorrel-";
constexpr char TempLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr int TempRandom = 6;      // letters after the tag
constexpr time_t StaleAfter = 10;  // seconds; a running save is done with its file sooner

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

Outcome outcome(Problem problem, int error, OldFile old)
{
    Outcome r;
    r.problem = problem;
    r.error = error;
    r.old = old;
    return r;
}

Outcome failure(int error, OldFile old)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return outcome(Problem::NoSpace, error, old);
    case EFBIG: return outcome(Problem::TooLarge, error, old);
    default: return outcome(Problem::Failed, error, old);
    }
}

Outcome notRegular(mode_t mode)
{
    Outcome r = outcome(Problem::NotRegular, 0, OldFile::Untouched);
    switch (mode & S_IFMT) {
    case S_IFDIR: r.found = Found::Folder; break;
    case S_IFIFO: r.found = Found::Fifo; break;
    case S_IFSOCK: r.found = Found::Socket; break;
    case S_IFCHR: r.found = Found::CharDevice; break;
    case S_IFBLK: r.found = Found::BlockDevice; break;
    default: r.found = Found::Other; break;
    }
    return r;
}

// The file that a name stands for: the folder that holds it and its name there.
struct Target {
    Fd dir;
    QByteArray name;
    struct stat st {};
    bool exists = false;
    bool viaLink = false;
};

// The kernel's rule for links and files in sticky world-writable folders
// (protected_symlinks, protected_regular), applied whatever the system's
// setting: only those of the user or of the folder's owner are used.
bool trusted(int dir, const struct stat &st)
{
    struct stat folder {};
    if (fstat(dir, &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || st.st_uid == geteuid() || st.st_uid == folder.st_uid;
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

// A link's target as the names to look up in turn; a trailing slash asks for a folder.
QList<QByteArray> components(const QByteArray &path)
{
    QList<QByteArray> parts = path.split('/');
    parts.removeAll(QByteArray());
    if (path.endsWith('/'))
        parts.append(QByteArrayLiteral("."));
    return parts;
}

constexpr int Refused = -1;

// Looks `name` up from t.dir as the kernel would, one name at a time, following
// links by hand. Returns 0, an errno value or Refused.
int locate(const char *name, Target &t)
{
    QList<QByteArray> rest{QByteArray(name)};
    int links = 0;
    while (!rest.isEmpty()) {
        const QByteArray part = rest.takeFirst();
        struct stat st {};
        if (fstatat(t.dir.get(), part.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT || !rest.isEmpty())
                return errno;
            t.name = part;  // a new file
            return 0;
        }
        if (S_ISLNK(st.st_mode)) {
            if (!trusted(t.dir.get(), st))
                return Refused;
            if (++links > MaxLinks)
                return ELOOP;
            QByteArray target;
            if (const int e = readLink(t.dir.get(), part.constData(), &target))
                return e;
            if (target.isEmpty())
                return ENOENT;
            if (target.startsWith('/'))
                t.dir = Fd(::open("/", DirFlags));
            rest = components(target) + rest;
            t.viaLink = true;
            continue;
        }
        if (rest.isEmpty()) {
            t.name = part;
            t.st = st;
            t.exists = true;
            return 0;
        }
        if (!S_ISDIR(st.st_mode))
            return ENOTDIR;
        Fd next(openat(t.dir.get(), part.constData(), DirFlags | O_NOFOLLOW));
        if (!next.valid())
            return errno;
        t.dir = std::move(next);
    }
    return ENOENT;
}

// Writes `bytes` from the file's start; *done counts the bytes written.
int writeAll(int fd, QByteArrayView bytes, qsizetype *done = nullptr)
{
    int e = 0;
    qsizetype n = 0;
    while (n < bytes.size() && !e) {
        const ssize_t w = pwrite(fd, bytes.data() + n, size_t(bytes.size() - n), off_t(n));
        if (w > 0)
            n += w;
        else if (w == 0 || errno != EINTR)
            e = w == 0 ? EIO : errno;
    }
    if (done)
        *done = n;
    return e;
}

int readAll(int fd, qsizetype size, QByteArray *out)
{
    out->resize(size);
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = pread(fd, out->data() + done, size_t(size - done), off_t(done));
        if (n < 0 && errno != EINTR)
            return errno;
        if (n == 0)
            break;
        done += std::max(n, ssize_t(0));
    }
    out->truncate(done);
    return 0;
}

// Reserves the file's first `size` bytes without changing its length or bytes.
int reserve(int fd, qsizetype size, off_t length)
{
    int e = 0;
    do
        e = size > 0 && fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0 ? errno : 0;
    while (e == EINTR);
    // Without reservations, overwriting blocks that are there already needs none.
    if (e == EOPNOTSUPP && size <= length && lseek(fd, 0, SEEK_HOLE) >= off_t(size))
        return 0;
    return e;
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
// it cannot take them all.
bool carry(int old, int fd, const struct stat &st)
{
    // Owner first, which clears set-id bits and capabilities; mode last, after
    // the ACLs that share its bits.
    QList<QByteArray> names, present;
    if (fchown(fd, st.st_uid, st.st_gid) != 0 || !attributeNames(old, &names)
        || !attributeNames(fd, &present))
        return false;
    for (const QByteArray &name : present) {
        if (!names.contains(name) && fremovexattr(fd, name.constData()) != 0)
            return false;
    }
    for (const QByteArray &name : names) {
        QByteArray value, now;
        if (!attribute(old, name, &value))
            return false;
        if ((!attribute(fd, name, &now) || now != value)
            && fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    }
    struct stat now {};
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
// user's, not written to for longer than a save takes.
void removeStale(int dir, const QByteArray &name)
{
    // Without an access time to update, the listing leaves the folder's inode
    // clean, and the syncs that follow have nothing more to write (only the
    // folder's owner may ask so).
    Fd listed(openat(dir, ".", DirFlags | O_NOATIME));
    if (!listed.valid() && errno == EPERM)
        listed = Fd(openat(dir, ".", DirFlags));
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

// Writes a new file beside the old one (`old`, when t.exists) and renames it
// over the name. False, with nothing changed, when the new file cannot carry
// all that the old one does or the folder takes no new files.
bool viaTemporary(const Target &t, int old, QByteArrayView bytes, Outcome *r)
{
    const int dir = t.dir.get();
    const OldFile kept = t.exists ? OldFile::Untouched : OldFile::None;
    QByteArray temp;
    Fd fd;
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
    if (!e && t.exists && !carry(old, fd.get(), t.st))
        e = EPERM;
    if (!e && fsync(fd.get()) != 0)
        e = errno;
    if (!e && renameat(dir, temp.constData(), dir, t.name.constData()) != 0)
        e = errno;
    if (fd.valid() && e)
        unlinkat(dir, temp.constData(), 0);
    if (t.exists && (e == EACCES || e == EPERM || e == EROFS))
        return false;  // not created, not carried, or (sticky) not to be replaced
    if (e)
        *r = failure(e, kept);
    else  // the rename reaches the disk with the folder
        *r = fsync(dir) != 0 && errno != EINVAL ? outcome(Problem::Unsynced, errno, OldFile::None)
                                                : outcome(Problem::None, 0, OldFile::None);
    return true;
}

// Rewrites the open file where it stands (`readable`: its old bytes can be
// kept). Memory stays bounded by the new text, whatever the old file's size.
Outcome inPlace(int fd, bool readable, off_t length, QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    QByteArray kept;  // the old bytes that the new ones cover
    int e = readable ? readAll(fd, qsizetype(std::min(off_t(size), length)), &kept) : 0;
    if (!e && (e = reserve(fd, size, length)) == EOPNOTSUPP)
        return outcome(Problem::NoReservation, e, OldFile::Untouched);
    if (e)
        return failure(e, OldFile::Untouched);
    qsizetype done = 0;
    e = writeAll(fd, bytes, &done);
    if (!e && size < length && ftruncate(fd, off_t(size)) != 0)
        e = errno;
    if (!e)
        return fsync(fd) == 0 ? outcome(Problem::None, 0, OldFile::None)
                              : outcome(Problem::Unsynced, errno, OldFile::None);
    if (done == 0)
        return failure(e, OldFile::Untouched);
    const bool back = readable && writeAll(fd, kept) == 0 && ftruncate(fd, length) == 0
        && fsync(fd) == 0;
    return failure(e, back ? OldFile::PutBack : OldFile::Damaged);
}

Outcome write(Target &t, const char *name, QByteArrayView bytes)
{
    if (const int e = locate(name, t))
        return e == Refused ? outcome(Problem::LinkRefused, 0, OldFile::None)
                            : failure(e, OldFile::None);
    if (t.exists && !S_ISREG(t.st.st_mode))
        return notRegular(t.st.st_mode);
    if (t.exists && !trusted(t.dir.get(), t.st))
        return outcome(Problem::Planted, 0, OldFile::Untouched);
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
        && rlim_t(bytes.size()) > limit.rlim_cur)
        return failure(EFBIG, t.exists ? OldFile::Untouched : OldFile::None);
    removeStale(t.dir.get(), t.name);

    Outcome r;
    if (!t.exists) {
        viaTemporary(t, -1, bytes, &r);
        return r;
    }
    // The decisions below go by the file opened, whatever its name leads to now.
    const char *file = t.name.constData();
    Fd fd(openat(t.dir.get(), file, O_RDWR | FileFlags));
    const bool readable = fd.valid();
    if (!readable && errno == EACCES)
        fd = Fd(openat(t.dir.get(), file, O_WRONLY | FileFlags));
    if (!fd.valid() || fstat(fd.get(), &t.st) != 0)
        return failure(errno, OldFile::Untouched);
    if (!S_ISREG(t.st.st_mode))
        return notRegular(t.st.st_mode);
    if (!trusted(t.dir.get(), t.st))
        return outcome(Problem::Planted, 0, OldFile::Untouched);
    if (readable && t.st.st_nlink == 1 && viaTemporary(t, fd.get(), bytes, &r))
        return r;
    return inPlace(fd.get(), readable, t.st.st_size, bytes);
}

}  // namespace

Outcome replace(int folder, const char *name, QByteArrayView bytes)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, nullptr);

    Target t;
    t.dir = Fd(fcntl(folder, F_DUPFD_CLOEXEC, 0));
    struct stat here {};
    if (!t.dir.valid() || fstat(t.dir.get(), &here) != 0)
        return failure(errno, OldFile::None);
    if (here.st_nlink == 0)
        return outcome(Problem::FolderGone, 0, OldFile::None);
    Outcome r = write(t, name, bytes);
    r.viaLink = t.viaLink;
    return r;
}

int openFolder(const char *path, int *fd, QByteArray *where)
{
    *fd = ::open(path ? path : ".", DirFlags);
    if (*fd < 0)
        return errno;
    // Unlike a fixed buffer, an allocated one takes paths longer than PATH_MAX.
    char *current = getcwd(nullptr, 0);
    const QByteArray here(current);
    std::free(current);
    if (path && path[0] == '/')
        *where = path;
    else if (!here.isEmpty())
        *where = path ? here + '/' + path : here;
    return 0;
}

void closeFolder(int fd)
{
    ::close(fd);
}

}  // namespace NativeFile
