#include "nativefile.h"

#include "saveplan.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMutex>
#include <QRandomGenerator>
#include <QString>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <aclapi.h>

// Gathers the facts of saveplan.h that Windows has and carries out the plan,
// on wide-character paths with \\?\ before them (no length limit):
//
//   new file   a new file .autoexec.cfg.quorrel-XXXXXX in the folder, written
//              with no sharing, flushed and moved to the name (write-through)
//   replace    the same, then ReplaceFileW puts it in the old file's place; it
//              keeps the old file's DACL, attributes and streams, and leaves the
//              old file under a backup name until it is done. Where it cannot
//              (a new file here takes another owner, the old file cannot be
//              removed, its security cannot be carried), the plan is made again
//              knowing that
//   in place   for a file with more than one name: under the file's exclusive
//              open, the old bytes in the journal .autoexec.cfg.quorrel-journal
//              (SavePlan's format) flushed before the first byte changes, the
//              file grown to the new length (NTFS allocates its clusters then),
//              the text written, the file cut to its length and flushed, the
//              journal deleted. On failure the journal is copied back; after a
//              crash the next save or start does that.
//
// The old file is opened with no sharing (share mode 0) while the save reads,
// decides and writes: no other program reads or writes it meanwhile, and another
// save waits for it up to two seconds. ReplaceFileW opens the file itself, so
// that open ends just before it.

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

constexpr wchar_t TempTag[] = L".quorrel-";
constexpr wchar_t JournalTag[] = L".quorrel-journal";
constexpr char TempLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr int TempRandom = 6;             // letters after the tag
constexpr qint64 StaleAfter = 10 * 1000;  // ms; a running save is done with its file sooner
constexpr qsizetype Chunk = 64 * 1024;
constexpr DWORD OpenWait = 2000;  // ms
// ERROR_DISK_QUOTA_EXCEEDED, which MinGW-w64's headers lack.
constexpr DWORD DiskQuotaExceeded = 1295;
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : m_h(h) {}
    Handle(Handle &&other) noexcept : m_h(std::exchange(other.m_h, INVALID_HANDLE_VALUE)) {}
    Handle &operator=(Handle &&other) noexcept
    {
        std::swap(m_h, other.m_h);
        return *this;
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return m_h; }
    bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE release() { return std::exchange(m_h, INVALID_HANDLE_VALUE); }
    void close()
    {
        if (valid())
            CloseHandle(std::exchange(m_h, INVALID_HANDLE_VALUE));
    }

private:
    HANDLE m_h;
};

Cause causeOf(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS: return Cause::None;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_DELETE_PENDING: return Cause::Denied;
    case ERROR_WRITE_PROTECT: return Cause::ReadOnly;
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_SEEK:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_GEN_FAILURE: return Cause::Io;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return Cause::NoSpace;
    case DiskQuotaExceeded: return Cause::Quota;
    case ERROR_FILE_TOO_LARGE: return Cause::TooLarge;
    case ERROR_CANT_RESOLVE_FILENAME: return Cause::LinkLoop;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return Cause::NameTooLong;
    case ERROR_DIRECTORY: return Cause::NotFolder;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NO_UNICODE_TRANSLATION: return Cause::Missing;  // no name on Windows can be
    case ERROR_BUSY:
    case ERROR_DRIVE_LOCKED: return Cause::Busy;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return Cause::InUse;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
    case ERROR_CALL_NOT_IMPLEMENTED: return Cause::Unsupported;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return Cause::NoMemory;
    case ERROR_TOO_MANY_OPEN_FILES: return Cause::TooManyOpen;
    default: return Cause::Other;
    }
}

Outcome outcome(Problem problem, DWORD error, OldFile old)
{
    return SavePlan::outcome(problem, causeOf(error), old);
}

Outcome failure(DWORD error, OldFile old)
{
    return SavePlan::failure(causeOf(error), old);
}

bool startsWith(const std::wstring &s, const wchar_t *prefix)
{
    return s.rfind(prefix, 0) == 0;
}

DWORD fromUtf8(const char *bytes, std::wstring *out)
{
    const int size = int(std::strlen(bytes));
    out->clear();
    if (size == 0)
        return 0;
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, size, nullptr, 0);
    out->resize(size_t(n));
    return n > 0
            && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, size, out->data(), n) == n
        ? 0
        : GetLastError();
}

// A path for people to read: without the \\?\ that the calls need.
std::wstring shown(const std::wstring &path)
{
    if (startsWith(path, L"\\\\?\\UNC\\"))
        return L"\\\\" + path.substr(8);
    return startsWith(path, L"\\\\?\\") ? path.substr(4) : path;
}

QString display(const std::wstring &path)
{
    return QString::fromStdWString(shown(path));
}

// `path` absolute, with \\?\ before it: the wide-character calls then take any length.
DWORD longPath(const std::wstring &path, std::wstring *out)
{
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFullPathNameW(path.c_str(), DWORD(full.size()), full.data(), nullptr);
        if (n == 0)
            return GetLastError();
        if (n < full.size()) {
            full.resize(n);
            break;
        }
        full.resize(n);
    }
    if (startsWith(full, L"\\\\?\\") || startsWith(full, L"\\\\.\\"))
        *out = full;
    else if (startsWith(full, L"\\\\"))
        *out = L"\\\\?\\UNC\\" + full.substr(2);
    else
        *out = L"\\\\?\\" + full;
    return 0;
}

// Whether one part of a path is a name that Windows takes for a device (CON,
// NUL, COM1 …), whatever follows its first dot and whatever trails it; by hand,
// as no documented call of Windows or Qt tells.
bool isDeviceName(std::wstring part)
{
    part = part.substr(0, part.find(L'.'));
    while (!part.empty() && part.back() == L' ')
        part.pop_back();
    for (wchar_t &c : part)
        c = c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c;
    for (const wchar_t *device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (part == device)
            return true;
    return part.size() == 4 && (startsWith(part, L"COM") || startsWith(part, L"LPT"))
        && std::wstring_view(L"123456789\u00b9\u00b2\u00b3").find(part[3]) != std::wstring::npos;
}

// Whether a part of `path` names a device; a path in the \\?\ or \\.\ form
// names exactly what it says.
bool namesDevice(const std::wstring &path)
{
    if (startsWith(path, L"\\\\?\\") || startsWith(path, L"\\\\.\\"))
        return false;
    size_t start = 0;
    for (size_t end = 0; end <= path.size(); ++end) {
        if (end == path.size() || path[end] == L'\\' || path[end] == L'/') {
            if (isDeviceName(path.substr(start, end - start)))
                return true;
            start = end + 1;
        }
    }
    return false;
}

// The path of what `h` is open on, links and junctions resolved, \\?\ before it.
DWORD finalPath(HANDLE h, std::wstring *out)
{
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFinalPathNameByHandleW(h, buf.data(), DWORD(buf.size()),
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0)
            return GetLastError();
        if (n < buf.size()) {
            buf.resize(n);
            *out = buf;
            return 0;
        }
        buf.resize(n);
    }
}

// The path each open folder was opened by, for where GetFinalPathNameByHandleW
// cannot say (a share whose folders this user may not all see; Wine's gives up
// beyond MAX_PATH characters).
QMutex openedLock;
std::map<qintptr, std::wstring> opened;

DWORD folderFinalPath(qintptr folder, std::wstring *out)
{
    const DWORD e = finalPath(HANDLE(folder), out);
    if (!e)
        return e;
    const QMutexLocker lock(&openedLock);
    const auto it = opened.find(folder);
    if (it == opened.end())
        return e;
    *out = it->second;
    return 0;
}

std::wstring joined(const std::wstring &dir, const std::wstring &name)
{
    return dir.empty() || dir.back() == L'\\' ? dir + name : dir + L'\\' + name;
}

quint64 fileIndex(const BY_HANDLE_FILE_INFORMATION &info)
{
    return quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
}

qint64 sizeOf(const BY_HANDLE_FILE_INFORMATION &info)
{
    return qint64(quint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
}

// The file that a name stands for: the folder that holds it and its name there.
struct Target {
    std::wstring dir;  // \\?\ before it
    std::wstring name;
    BY_HANDLE_FILE_INFORMATION info{};
    Found kind = Found::Regular;
    bool exists = false;
    bool viaLink = false;
    std::wstring path() const { return joined(dir, name); }
    std::wstring journal() const { return joined(dir, L"." + name + JournalTag); }
};

Found kindOf(HANDLE h, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Found::Folder;
    switch (GetFileType(h)) {
    case FILE_TYPE_DISK: return Found::Regular;
    case FILE_TYPE_CHAR: return Found::CharDevice;
    case FILE_TYPE_PIPE: return Found::Fifo;
    default: return Found::Other;
    }
}

// Follows the name as Windows does (symbolic links, junctions); a regular file
// found at the end is named by its own folder and name from then on.
DWORD resolve(Target &t)
{
    const DWORD own = GetFileAttributesW(t.path().c_str());
    t.viaLink = own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_REPARSE_POINT);
    Handle h(CreateFileW(t.path().c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid()) {
        const DWORD e = GetLastError();
        // Nothing at the name; a link to nothing is not followed.
        return e == ERROR_FILE_NOT_FOUND && own == INVALID_FILE_ATTRIBUTES ? 0 : e;
    }
    t.exists = true;
    if (!GetFileInformationByHandle(h.get(), &t.info))
        return GetLastError();
    t.kind = kindOf(h.get(), t.info.dwFileAttributes);
    std::wstring final;
    if (t.kind != Found::Regular || !t.viaLink)
        return 0;
    if (const DWORD e = finalPath(h.get(), &final))
        return e;
    const size_t slash = final.find_last_of(L'\\');
    t.dir = final.substr(0, slash);
    t.name = final.substr(slash + 1);
    return 0;
}

// Opens the file `path` with no sharing, waiting up to `wait` ms while another
// program (or save) has it open.
DWORD openAlone(const std::wstring &path, DWORD access, DWORD wait, Handle *out)
{
    const ULONGLONG until = GetTickCount64() + wait;
    for (;;) {
        *out = Handle(CreateFileW(path.c_str(), access, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (out->valid())
            return 0;
        const DWORD e = GetLastError();
        if (e != ERROR_SHARING_VIOLATION || GetTickCount64() >= until)
            return e;
        Sleep(10);
    }
}

OVERLAPPED at(qint64 offset)
{
    OVERLAPPED o{};
    o.Offset = DWORD(quint64(offset));
    o.OffsetHigh = DWORD(quint64(offset) >> 32);
    return o;
}

DWORD writeAt(HANDLE h, QByteArrayView bytes, qint64 offset, qsizetype *done = nullptr)
{
    DWORD e = 0;
    qsizetype n = 0;
    while (n < bytes.size() && !e) {
        OVERLAPPED o = at(offset + n);
        DWORD w = 0;
        if (!WriteFile(h, bytes.data() + n, DWORD(std::min(bytes.size() - n, Chunk)), &w, &o))
            e = GetLastError();
        else if (w == 0)
            e = ERROR_WRITE_FAULT;
        n += qsizetype(w);
    }
    if (done)
        *done = n;
    return e;
}

// Reads `size` bytes at `offset`; fewer where the file ends before.
DWORD readAt(HANDLE h, qint64 offset, qsizetype size, QByteArray *out)
{
    out->resize(size);
    qsizetype done = 0;
    while (done < size) {
        OVERLAPPED o = at(offset + done);
        DWORD n = 0;
        if (!ReadFile(h, out->data() + done, DWORD(std::min(size - done, Chunk)), &n, &o)) {
            if (GetLastError() != ERROR_HANDLE_EOF)
                return GetLastError();
        }
        if (n == 0)
            break;
        done += qsizetype(n);
    }
    out->truncate(done);
    return 0;
}

DWORD setLength(HANDLE h, qint64 length)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = length;
    return SetFileInformationByHandle(h, FileEndOfFileInfo, &end, sizeof end) ? 0 : GetLastError();
}

DWORD flush(HANDLE h)
{
    return FlushFileBuffers(h) ? 0 : GetLastError();
}

// Flushes the folder's entries where this user may open it for writing; file
// systems that have no such flush (or deny it) keep their own journal of names.
DWORD syncFolder(const std::wstring &dir)
{
    Handle h(CreateFileW(dir.c_str(), GENERIC_READ | GENERIC_WRITE, ShareAll, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid() || FlushFileBuffers(h.get()))
        return 0;
    const DWORD e = GetLastError();
    return e == ERROR_INVALID_FUNCTION || e == ERROR_ACCESS_DENIED || e == ERROR_NOT_SUPPORTED ? 0
                                                                                               : e;
}

std::wstring tempName(const Target &t)
{
    std::wstring name = L"." + t.name + TempTag;
    for (int i = 0; i < TempRandom; ++i)
        name += wchar_t(
            TempLetters[QRandomGenerator::global()->bounded(int(sizeof TempLetters - 1))]);
    return joined(t.dir, name);
}

bool isTemporary(const std::wstring &entry, const std::wstring &prefix)
{
    return entry.size() == prefix.size() + TempRandom && startsWith(entry, prefix.c_str())
        && std::all_of(entry.cbegin() + qsizetype(prefix.size()), entry.cend(), [](wchar_t c) {
               return c < 128 && std::strchr(TempLetters, char(c)) != nullptr;
           });
}

// Removes the new files and backups of `name` that a save ended early left:
// files (not folders or links) not written to for longer than a save takes.
void removeStale(const Target &t)
{
    const std::wstring prefix = L"." + t.name + TempTag;
    WIN32_FIND_DATAW entry;
    const HANDLE list = FindFirstFileExW(joined(t.dir, prefix + L"*").c_str(), FindExInfoBasic,
                                         &entry, FindExSearchNameMatch, nullptr, 0);
    if (list == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const auto ms = [](const FILETIME &f) {
        return qint64(quint64(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 10000;
    };
    do {
        if (isTemporary(entry.cFileName, prefix)
            && !(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            && ms(now) - ms(entry.ftLastWriteTime) > StaleAfter)
            DeleteFileW(joined(t.dir, entry.cFileName).c_str());
    } while (FindNextFileW(list, &entry));
    FindClose(list);
}

// The owner of the open file, as its SID's bytes; empty where it cannot be read.
QByteArray ownerOf(HANDLE file)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &sd)
        != ERROR_SUCCESS)
        return {};
    const QByteArray sid(static_cast<const char *>(owner), qsizetype(GetLengthSid(owner)));
    LocalFree(sd);
    return sid;
}

// ---- facts -----------------------------------------------------------------------

// The facts Windows has; the POSIX ones (shared folders, set-id bits,
// capabilities, append-only folders, size limits) keep their neutral values.
SavePlan::Facts gather(const Target &t, HANDLE file, bool readable, bool writable,
                       QByteArrayView bytes)
{
    SavePlan::Facts f;
    f.exists = t.exists;
    f.kind = t.kind;
    f.folderTakesNew = true;  // learnt by trying: the new file or the journal refused
    if (!t.exists)
        return f;
    f.links = int(std::min<DWORD>(t.info.nNumberOfLinks, 1000));
    f.readable = readable;
    f.writable = writable;
    // Learnt by trying: ReplaceFileW carries the DACL, attributes and streams
    // itself; the owner is the one a new file takes.
    f.newFileTakesIds = true;
    f.attributesReadable = true;
    const qint64 size = sizeOf(t.info);
    f.empty = size == 0;
    f.oldTooLarge = size > SavePlan::MaxKept;
    QByteArray old;
    f.sameBytes = readable && size == bytes.size() && readAt(file, 0, bytes.size(), &old) == 0
        && old == bytes;
    return f;
}

// ---- the journal -----------------------------------------------------------------

// Marks the open journal to be deleted when it is closed; where that is
// refused, empties it, which the next recovery takes for a journal never completed.
DWORD dropJournal(HANDLE journal)
{
    FILE_DISPOSITION_INFO gone{};
    gone.DeleteFile = TRUE;
    if (SetFileInformationByHandle(journal, FileDispositionInfo, &gone, sizeof gone))
        return 0;
    const DWORD e = GetLastError();
    return setLength(journal, 0) == 0 && flush(journal) == 0 ? 0 : e;
}

std::optional<JournalHead> checkJournal(HANDLE journal)
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(journal, &size))
        return std::nullopt;
    return SavePlan::checkJournal(size.QuadPart,
                                  [journal](qint64 at, qsizetype n, QByteArray *bytes) {
                                      return readAt(journal, at, n, bytes) == 0;
                                  });
}

// Copies `length` bytes from `from` at `offset` to `to` at `toOffset`, adding
// them to `sum` when given.
DWORD copy(HANDLE from, qint64 offset, HANDLE to, qint64 toOffset, qint64 length,
           QCryptographicHash *sum)
{
    QByteArray chunk;
    for (qint64 done = 0; done < length; done += chunk.size()) {
        if (const DWORD e = readAt(from, offset + done,
                                   qsizetype(std::min<qint64>(Chunk, length - done)), &chunk))
            return e;
        if (chunk.isEmpty())
            return ERROR_READ_FAULT;  // shorter than it said
        if (sum)
            sum->addData(chunk);
        if (const DWORD e = writeAt(to, chunk, toOffset + done))
            return e;
    }
    return 0;
}

// Copies the old file into a new journal beside it, flushed with its name
// before the old file changes.
DWORD writeJournal(const Target &t, HANDLE file, Handle *journal)
{
    *journal = Handle(CreateFileW(t.journal().c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!journal->valid())
        return GetLastError();
    JournalHead h;
    h.length = sizeOf(t.info);
    h.mode = t.info.dwFileAttributes;
    h.device = t.info.dwVolumeSerialNumber;
    h.file = fileIndex(t.info);
    const QByteArray head = SavePlan::journalHead(h);
    QCryptographicHash sum(QCryptographicHash::Sha1);
    sum.addData(head);
    DWORD e = writeAt(journal->get(), head, 0);
    if (!e)
        e = copy(file, 0, journal->get(), SavePlan::JournalHeadSize, h.length, &sum);
    if (!e)
        e = writeAt(journal->get(), sum.result(), SavePlan::JournalHeadSize + h.length);
    if (!e)
        e = flush(journal->get());
    if (!e)
        e = syncFolder(t.dir);
    return e;
}

// Puts the journal's old bytes and length back into `file`. 0 once done and
// flushed; else the first error, *written telling whether all was written.
DWORD putBack(HANDLE journal, HANDLE file, qint64 length, bool *written)
{
    *written = false;
    DWORD e = copy(journal, SavePlan::JournalHeadSize, file, 0, length, nullptr);
    if (!e)
        e = setLength(file, length);
    if (e)
        return e;
    *written = true;
    return flush(file);
}

// Puts back what a save in place that ended early left in the journal beside
// the exclusively open `file`; a journal not complete was written before the
// file changed, and is deleted.
Recovery::What recoverAt(const Target &t, HANDLE file, DWORD *error)
{
    if (GetFileAttributesW(t.journal().c_str()) == INVALID_FILE_ATTRIBUTES)
        return Recovery::Nothing;
    Handle journal;
    BY_HANDLE_FILE_INFORMATION info{};
    if ((*error = openAlone(t.journal(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, &journal))
        || !GetFileInformationByHandle(file, &info)) {
        *error = *error ? *error : GetLastError();
        return Recovery::Failed;
    }
    const auto h = checkJournal(journal.get());
    bool written = false;
    if (h && h->device == info.dwVolumeSerialNumber && h->file == fileIndex(info)) {
        if ((*error = putBack(journal.get(), file, h->length, &written)))
            return Recovery::Failed;  // the journal stays for the next try
    }
    *error = dropJournal(journal.get());
    journal.close();
    if (!*error)
        *error = syncFolder(t.dir);
    return !h || !written ? Recovery::Nothing : *error ? Recovery::Failed : Recovery::PutBack;
}

// ---- the plans -------------------------------------------------------------------

Outcome inPlace(const Target &t, HANDLE fd, QByteArrayView bytes)
{
    const qint64 size = bytes.size(), length = sizeOf(t.info);
    Handle journal;
    DWORD e = writeJournal(t, fd, &journal);
    if (e) {
        if (journal.valid())
            dropJournal(journal.get());
        // A folder that takes no new name keeps no journal.
        return e == ERROR_ACCESS_DENIED ? outcome(Problem::CannotKeepOld, e, OldFile::Untouched)
                                        : failure(e, OldFile::Untouched);
    }
    // The room first: a file grown on NTFS has its clusters, and on a full disk
    // the length stays and no byte changes.
    if (size > length && (e = setLength(fd, size))) {
        dropJournal(journal.get());
        return failure(e, OldFile::Untouched);
    }
    qsizetype done = 0;
    e = writeAt(fd, bytes, 0, &done);
    if (!e && size < length)
        e = setLength(fd, size);
    if (!e)
        e = flush(fd);
    if (e && done == 0 && size <= length) {
        dropJournal(journal.get());
        return failure(e, OldFile::Untouched);
    }
    // Kept, the journal would undo the save at the next start.
    if (!e)
        e = dropJournal(journal.get());
    if (e) {
        bool written = false;
        if (putBack(journal.get(), fd, length, &written) != 0)
            return failure(e, written ? OldFile::PutBackUnsynced : OldFile::Damaged);
        dropJournal(journal.get());
        return failure(e, OldFile::PutBack);
    }
    journal.close();
    if ((e = syncFolder(t.dir)))
        return outcome(Problem::FolderUnsynced, e, OldFile::None);
    return outcome(Problem::None, 0, OldFile::None);
}

enum class Via { Done, FolderRefused, CarryFailed };

// Writes a new file beside the old one and puts it at the name. Closes `old`
// just before ReplaceFileW, which opens the old file itself.
Via viaNewFile(const Target &t, Handle &old, QByteArrayView bytes, Outcome *r)
{
    const OldFile kept = t.exists ? OldFile::Untouched : OldFile::None;
    std::wstring temp;
    Handle fd;
    for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
        temp = tempName(t);
        fd = Handle(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!fd.valid() && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    DWORD e = fd.valid() ? 0 : GetLastError();
    if (e == ERROR_ACCESS_DENIED)
        return Via::FolderRefused;
    if (e) {
        *r = failure(e, kept);
        return Via::Done;
    }
    // ReplaceFileW keeps the old file's DACL, not its owner.
    if (t.exists) {
        const QByteArray owner = ownerOf(old.get());
        if (owner.isEmpty() || owner != ownerOf(fd.get())) {
            fd.close();
            DeleteFileW(temp.c_str());
            return Via::CarryFailed;
        }
    }
    e = writeAt(fd.get(), bytes, 0);
    if (!e)
        e = flush(fd.get());
    fd.close();
    if (!e && !t.exists) {
        e = MoveFileExW(temp.c_str(), t.path().c_str(), MOVEFILE_WRITE_THROUGH) ? 0
                                                                                : GetLastError();
    } else if (!e) {
        old.close();
        const std::wstring backup = tempName(t);
        if (ReplaceFileW(t.path().c_str(), temp.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
            DeleteFileW(backup.c_str());
        } else {
            e = GetLastError();
            // The old file is at the backup name: it goes back.
            if (e == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2
                && !MoveFileExW(backup.c_str(), t.path().c_str(), MOVEFILE_WRITE_THROUGH)) {
                *r = failure(e, OldFile::Damaged);
                return Via::Done;
            }
            DeleteFileW(temp.c_str());
            // Both kept their names: the old file cannot be removed, or its
            // security and attributes cannot be carried to the new one.
            if (e == ERROR_ACCESS_DENIED || e == ERROR_UNABLE_TO_REMOVE_REPLACED
                || e == ERROR_UNABLE_TO_MOVE_REPLACEMENT || e == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2
                || e == ERROR_SHARING_VIOLATION || e == ERROR_PRIVILEGE_NOT_HELD)
                return Via::CarryFailed;
            *r = failure(e, kept);
            return Via::Done;
        }
    }
    if (e) {
        DeleteFileW(temp.c_str());
        *r = failure(e, kept);
    } else if ((e = syncFolder(t.dir))) {
        *r = outcome(Problem::FolderUnsynced, e, OldFile::None);
    } else {
        *r = outcome(Problem::None, 0, OldFile::None);
    }
    return Via::Done;
}

// Opens the old file alone, as readable and writable as this user may, waiting
// for another save; then puts back what a save in place left half-done.
DWORD openOld(Target &t, Handle *fd, bool *readable, bool *writable, OldFile *damaged)
{
    DWORD e = ERROR_ACCESS_DENIED;
    const bool readOnly = t.info.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
    for (const DWORD access : {DWORD(GENERIC_READ | GENERIC_WRITE),
                               DWORD(GENERIC_WRITE | FILE_READ_ATTRIBUTES), DWORD(GENERIC_READ)}) {
        // Windows opens a read-only file for reading only (Wine run by root would not).
        if (readOnly && (access & GENERIC_WRITE))
            continue;
        e = openAlone(t.path(), access, OpenWait, fd);
        if (e != ERROR_ACCESS_DENIED) {
            *readable = !e && (access & GENERIC_READ);
            *writable = !e && (access & GENERIC_WRITE);
            break;
        }
    }
    if (e)
        return e == ERROR_ACCESS_DENIED ? 0 : e;  // the plan refuses
    DWORD re = 0;
    if (*writable && recoverAt(t, fd->get(), &re) == Recovery::Failed) {
        *damaged = OldFile::Damaged;
        return re;
    }
    return GetFileInformationByHandle(fd->get(), &t.info) ? 0 : GetLastError();
}

Outcome write(Target &t, QByteArrayView bytes)
{
    if (const DWORD e = resolve(t))
        return failure(e, OldFile::None);
    Handle fd;
    bool readable = false, writable = false;
    if (t.exists && t.kind == Found::Regular) {
        OldFile old = OldFile::Untouched;
        if (const DWORD e = openOld(t, &fd, &readable, &writable, &old))
            return failure(e, old);
    }
    SavePlan::Facts facts = gather(t, fd.get(), readable, writable, bytes);
    SavePlan::Plan plan = SavePlan::decide(facts);
    Outcome r;
    switch (plan.action) {
    case Action::Refuse: break;
    case Action::Unchanged:
        return FlushFileBuffers(fd.get())
            ? outcome(Problem::None, 0, OldFile::None)
            : outcome(Problem::Unsynced, GetLastError(), OldFile::None);
    case Action::NewFile:
    case Action::Replace: {
        removeStale(t);
        const Via via = viaNewFile(t, fd, bytes, &r);
        if (via == Via::Done)
            return r;
        if (via == Via::FolderRefused)
            facts.folderTakesNew = false;
        else
            facts.carryFailed = true;
        plan = SavePlan::decide(facts);
        if (plan.action != Action::InPlace)
            break;
        OldFile old = OldFile::Untouched;
        if (!fd.valid()) {
            if (const DWORD e = openOld(t, &fd, &readable, &writable, &old))
                return failure(e, old);
            if (!writable)
                return failure(ERROR_ACCESS_DENIED, old);
        }
        return inPlace(t, fd.get(), bytes);
    }
    case Action::InPlace: return inPlace(t, fd.get(), bytes);
    }
    r = outcome(plan.problem, 0, t.exists ? OldFile::Untouched : OldFile::None);
    r.cause = plan.cause;
    if (r.cause == Cause::Denied && t.exists && (t.info.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        r.cause = Cause::ReadOnlyFile;
    if (plan.problem == Problem::NotRegular)
        r.found = facts.kind;
    return r;
}

// The target of `name` in the open folder, before links are followed.
DWORD at(qintptr folder, const char *name, Target *t)
{
    FILE_STANDARD_INFO standard{};
    if (GetFileInformationByHandleEx(HANDLE(folder), FileStandardInfo, &standard, sizeof standard)
        && standard.DeletePending)
        return ERROR_FILE_NOT_FOUND;
    if (const DWORD e = folderFinalPath(folder, &t->dir))
        return e;
    return fromUtf8(name, &t->name);
}

}  // namespace

Outcome replace(qintptr folder, const char *name, QByteArrayView bytes)
{
    Target t;
    if (const DWORD e = at(folder, name, &t)) {
        return e == ERROR_FILE_NOT_FOUND ? outcome(Problem::FolderGone, 0, OldFile::None)
                                         : failure(e, OldFile::None);
    }
    Outcome r = write(t, bytes);
    // A folder removed with POSIX semantics while open has no path any more.
    if (!t.exists && r.cause == Cause::Missing
        && GetFileAttributesW(t.dir.c_str()) == INVALID_FILE_ATTRIBUTES)
        r = outcome(Problem::FolderGone, 0, OldFile::None);
    r.viaLink = t.viaLink;
    r.path = display(t.path());
    return r;
}

Recovery recover(qintptr folder, const char *name)
{
    Recovery r;
    Target t;
    if (at(folder, name, &t) || resolve(t) || !t.exists || t.kind != Found::Regular
        || GetFileAttributesW(t.journal().c_str()) == INVALID_FILE_ATTRIBUTES)
        return r;
    r.path = display(t.path());
    Handle fd;
    DWORD e = openAlone(t.path(), GENERIC_READ | GENERIC_WRITE, 0, &fd);
    if (e == ERROR_SHARING_VIOLATION)
        return r;  // a save is running, with its own journal; or another program holds it
    if (e) {
        r.what = Recovery::Failed;
        r.cause = causeOf(e);
        return r;
    }
    r.what = recoverAt(t, fd.get(), &e);
    r.cause = causeOf(e);
    return r;
}

Cause openFolder(const char *path, qintptr *folder)
{
    *folder = -1;
    std::wstring wide, full;
    DWORD e = 0;
    if (path) {
        e = fromUtf8(path, &wide);
    } else {
        wide.resize(GetCurrentDirectoryW(0, nullptr));
        wide.resize(GetCurrentDirectoryW(DWORD(wide.size()), wide.data()));
    }
    if (!e && wide.empty())
        e = ERROR_PATH_NOT_FOUND;
    if (!e && namesDevice(wide))
        return Cause::NotFolder;  // it names a device, not a folder
    if (!e)
        e = longPath(wide, &full);
    if (e)
        return causeOf(e);
    Handle h(CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h.valid() || !GetFileInformationByHandle(h.get(), &info))
        return causeOf(GetLastError());
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        || GetFileType(h.get()) != FILE_TYPE_DISK)
        return Cause::NotFolder;
    *folder = qintptr(h.release());
    const QMutexLocker lock(&openedLock);
    opened[*folder] = full;
    return Cause::None;
}

QByteArray folderPath(qintptr folder)
{
    std::wstring path;
    if (folder < 0 || folderFinalPath(folder, &path))
        return {};
    return display(path).toUtf8();
}

void closeFolder(qintptr folder)
{
    {
        const QMutexLocker lock(&openedLock);
        opened.erase(folder);
    }
    CloseHandle(HANDLE(folder));
}

}  // namespace NativeFile
