#include "nativefile.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace NativeFile {

namespace {

constexpr int MaxLinks = 40;  // the kernel's own limit for one lookup
// Every open of the file itself: no link followed, no wait for a FIFO's other
// end or a device, no controlling terminal.
constexpr int FileFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
constexpr int DirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

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

private:
    int m_fd;
};

Result outcome(Status status, int error, OldFile old)
{
    Result r;
    r.status = status;
    r.old = old;
    if (error)
        r.error = QString::fromLocal8Bit(std::strerror(error));
    return r;
}

Result failure(int error, OldFile old)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return outcome(Status::NoSpace, error, old);
    case EFBIG: return outcome(Status::TooLarge, error, old);
    default: return outcome(Status::Failed, error, old);
    }
}

Kind kindOf(mode_t mode)
{
    switch (mode & S_IFMT) {
    case S_IFREG: return Kind::Regular;
    case S_IFDIR: return Kind::Folder;
    case S_IFIFO: return Kind::Fifo;
    case S_IFSOCK: return Kind::Socket;
    case S_IFCHR: return Kind::CharDevice;
    case S_IFBLK: return Kind::BlockDevice;
    default: return Kind::Other;
    }
}

// The file that a name stands for: the folder that holds it and its name there.
struct Target {
    Fd dir;
    QByteArray name;
    struct stat st {};
    bool exists = false;
    bool viaLink = false;
};

// The kernel's rule for links in sticky world-writable folders (protected_symlinks),
// applied whatever the system's setting: such a link is followed only when it
// belongs to the user or to the folder's owner.
bool mayFollow(int dir, const struct stat &link)
{
    struct stat folder {};
    if (fstat(dir, &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || link.st_uid == geteuid() || link.st_uid == folder.st_uid;
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
            if (!mayFollow(t.dir.get(), st))
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

int writeAll(int fd, QByteArrayView bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        done += n;
    }
    return 0;
}

int readAll(int fd, qsizetype size, QByteArray *out)
{
    QByteArray buf(size, Qt::Uninitialized);
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = pread(fd, buf.data() + done, size_t(size - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        done += n;
    }
    buf.truncate(done);
    *out = buf;
    return 0;
}

// Allocates the file's first `size` bytes, so that writing them cannot run out
// of space. Returns 0 or an errno value.
int reserve(int fd, qsizetype size)
{
    int e = 0;
    if (size > 0) {
        do
            e = posix_fallocate(fd, 0, off_t(size));
        while (e == EINTR);
    }
    return e;
}

int keepOwnerAndMode(int fd, const struct stat &old)
{
    // The owner where the user may give the file away, else the group where the
    // user belongs to it; otherwise the new file stays the user's. Mode after
    // owner, which clears the set-id bits.
    if (fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, uid_t(-1), old.st_gid) != 0) {
        // neither: the new file stays the user's
    }
    return fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

// Writes a new file next to the old one and renames it over the name: the old
// file stays whole until the rename replaces it at once. *denied: the folder
// takes no new files, or (sticky) will not let the old one be replaced.
Result viaTemporary(const Target &t, QByteArrayView bytes, bool *denied)
{
    const OldFile old = t.exists ? OldFile::Untouched : OldFile::None;
    const int dir = t.dir.get();
    QByteArray temp;
    Fd fd;
    for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
        temp = '.' + t.name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // Private until it takes the old file's mode; a new file gets 0666 less the umask.
        fd = Fd(openat(dir, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | FileFlags,
                       t.exists ? 0600 : 0666));
        if (!fd.valid() && errno != EEXIST)
            break;
    }
    int e = fd.valid() ? 0 : errno;
    *denied = e == EACCES || e == EPERM || e == EROFS;
    if (e)
        return failure(e, old);
    e = reserve(fd.get(), bytes.size());
    if (e == EOPNOTSUPP || e == EINVAL)
        e = 0;  // the old file is safe without it
    if (!e)
        e = writeAll(fd.get(), bytes);
    if (!e && t.exists)
        e = keepOwnerAndMode(fd.get(), t.st);
    if (!e && fsync(fd.get()) != 0)
        e = errno;
    if (!e && renameat(dir, temp.constData(), dir, t.name.constData()) != 0)
        e = errno;
    if (e) {
        unlinkat(dir, temp.constData(), 0);
        *denied = e == EACCES || e == EPERM;
        return failure(e, old);
    }
    // The rename reaches the disk with the folder.
    if (fsync(dir) != 0 && errno != EINVAL)
        return outcome(Status::Unsynced, errno, OldFile::None);
    return outcome(Status::Written, 0, OldFile::None);
}

// Rewrites the file where it stands: for a file with more than one name, and
// where the folder takes no new files. The full new length is reserved before
// a byte changes, the new bytes go over the old from the start, and the file is
// cut to length last; when writing fails even so, the old bytes go back.
Result inPlace(const Target &t, QByteArrayView bytes)
{
    const int dir = t.dir.get();
    const char *name = t.name.constData();
    Fd fd(openat(dir, name, O_RDWR | FileFlags));
    const bool readable = fd.valid();
    if (!readable && errno == EACCES)
        fd = Fd(openat(dir, name, O_WRONLY | FileFlags));
    struct stat st {};
    if (!fd.valid() || fstat(fd.get(), &st) != 0)
        return failure(errno, OldFile::Untouched);
    if (!S_ISREG(st.st_mode)) {
        Result r = outcome(Status::NotRegular, 0, OldFile::Untouched);
        r.kind = kindOf(st.st_mode);
        return r;
    }
    if (st.st_dev != t.st.st_dev || st.st_ino != t.st.st_ino) {
        Result r = outcome(Status::Failed, 0, OldFile::Untouched);
        r.error = QStringLiteral("it was replaced while being saved");
        return r;
    }

    QByteArray old;
    if (readable) {
        if (const int e = readAll(fd.get(), qsizetype(st.st_size), &old))
            return failure(e, OldFile::Untouched);
    }
    if (const int e = reserve(fd.get(), bytes.size())) {
        // A reservation that failed part way may have lengthened the file.
        struct stat now {};
        const bool same = fstat(fd.get(), &now) == 0
            && (now.st_size == st.st_size || ftruncate(fd.get(), st.st_size) == 0);
        Result r = e == EOPNOTSUPP || e == EINVAL
            ? outcome(Status::NoReservation, e, OldFile::Untouched)
            : failure(e, OldFile::Untouched);
        r.old = same ? OldFile::Untouched : OldFile::Damaged;
        return r;
    }
    int e = writeAll(fd.get(), bytes);
    if (!e && ftruncate(fd.get(), off_t(bytes.size())) != 0)
        e = errno;
    if (!e && fsync(fd.get()) != 0)
        e = errno;
    if (!e)
        return outcome(Status::Written, 0, OldFile::None);
    const bool back = readable && writeAll(fd.get(), old) == 0
        && ftruncate(fd.get(), off_t(old.size())) == 0 && fsync(fd.get()) == 0;
    return failure(e, back ? OldFile::PutBack : OldFile::Damaged);
}

}  // namespace

Result replace(const char *name, QByteArrayView bytes)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, nullptr);

    Target t;
    t.dir = Fd(::open(".", DirFlags));
    struct stat here {};
    if (!t.dir.valid() || fstat(t.dir.get(), &here) != 0)
        return errno == ENOENT ? outcome(Status::FolderGone, 0, OldFile::None)
                               : failure(errno, OldFile::None);
    if (here.st_nlink == 0)
        return outcome(Status::FolderGone, 0, OldFile::None);

    Result r;
    if (const int e = locate(name, t)) {
        r = e == Refused ? outcome(Status::LinkRefused, 0, OldFile::None)
                         : failure(e, OldFile::None);
    } else if (t.exists && !S_ISREG(t.st.st_mode)) {
        r = outcome(Status::NotRegular, 0, OldFile::Untouched);
        r.kind = kindOf(t.st.st_mode);
    } else if (t.exists && faccessat(t.dir.get(), t.name.constData(), W_OK, AT_EACCESS) != 0) {
        r = failure(errno, OldFile::Untouched);  // a read-only file stays so
    } else if (t.exists && t.st.st_nlink > 1) {
        r = inPlace(t, bytes);  // a new file would part it from its other names
    } else {
        bool denied = false;
        r = viaTemporary(t, bytes, &denied);
        if (denied && t.exists)
            r = inPlace(t, bytes);
    }
    r.viaLink = t.viaLink;
    return r;
}

QByteArray workingFolder()
{
    // Unlike a fixed buffer, an allocated one takes paths longer than PATH_MAX.
    char *path = getcwd(nullptr, 0);
    const QByteArray bytes(path);
    std::free(path);
    return bytes;
}

Entry enterFolder(const char *path, QString *error)
{
    if (::chdir(path) == 0)
        return Entry::Entered;
    const int e = errno;
    *error = QString::fromLocal8Bit(std::strerror(e));
    return e == ENOENT ? Entry::Missing : e == ENOTDIR ? Entry::NotAFolder : Entry::Failed;
}

}  // namespace NativeFile
