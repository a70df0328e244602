#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace ScriptFile {

// The script's file name in the folder Save writes into.
QString fileName();

// The text in Windows-1250, one byte per code point (a surrogate pair counting
// once); whatever the code page lacks becomes '?'.
QByteArray encode(QStringView text);

// Why an operation of the system failed, in words of the program's own.
enum class Cause {
    None,
    Denied,        // permission denied, or not permitted
    ReadOnly,      // a read-only file system
    Io,            // an input/output error
    NoSpace,       // no room left on the disk
    Quota,         // the user's disk quota is used up
    TooLarge,      // beyond the file-size limit, or larger than a save keeps
    LinkLoop,      // too many links in a row
    NameTooLong,   // a name or path too long
    NotFolder,     // a part of the path is not a folder
    Missing,       // no such file or folder
    Busy,          // in use by the system
    Locked,        // another program is saving the same file
    InUse,         // another program has the file open and shares it with none
    ReadOnlyFile,  // the file is marked read-only
    Unsupported,   // the file system does not support what was asked
    NoMemory,      // not enough memory
    TooManyOpen,   // too many open files
    Other,         // anything else: no words of its own
};

// The folder Save writes into, opened once and held open (for passing through,
// not for reading): it stays the same folder whatever later becomes of its path
// or of the working folder.
class Folder {
public:
    // The working folder as it is now.
    static Folder current();
    // `path` in the system's own bytes (UTF-8 on Windows), as given on the command line.
    explicit Folder(const QByteArray &path);
    Folder(Folder &&other) noexcept;
    Folder &operator=(Folder &&other) noexcept;
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;
    ~Folder();

    // None, or why the folder could not be opened.
    Cause error() const { return m_error; }
    // The platform's handle of the open folder.
    qintptr handle() const { return m_handle; }
    // The script's file in this folder as it is named now, for people to read
    // (lossy for names that are not UTF-8; the bare file name when unknown).
    QString displayPath() const;

private:
    explicit Folder(const char *path);  // null: the working folder
    qintptr m_handle = -1;
    Cause m_error = Cause::None;
};

// What kept a save from ending well.
enum class Problem {
    None,
    FolderGone,      // the folder has been removed
    NotRegular,      // the name is, or links to, something other than a regular file
    LinkRefused,     // a link that another user placed in a sticky world-writable folder
    Planted,         // a file that another user placed in such a folder
    SharedLinks,     // a file with more than one name in such a folder
    KeepsPrivilege,  // set-id bits or capabilities that this save could not give back
    CannotKeepOld,   // only an in-place write is possible, and the old bytes cannot be kept
    NoSpace,         // no room left on the disk or in the quota
    TooLarge,        // beyond the file-size limit
    NoReservation,   // only an in-place write is possible, and its space cannot be reserved
    Unsynced,        // the new bytes are in place, but the system did not confirm them on disk
    FolderUnsynced,  // the file is on disk, but the folder's new entry was not confirmed
    Failed,          // any other error
};

// What was found at the name, for NotRegular.
enum class Found { Regular, Folder, Fifo, Socket, CharDevice, BlockDevice, Other };

// What became of the old file when the save failed.
enum class OldFile { None, Untouched, PutBack, PutBackUnsynced, Damaged };

struct Outcome {
    Problem problem = Problem::Failed;
    OldFile old = OldFile::None;
    Found found = Found::Regular;
    bool viaLink = false;       // the name is a link to what was found
    Cause cause = Cause::None;  // the system's reason, where one applies
    QString path;               // the file written, or that would have been
    bool ok() const { return problem == Problem::None; }
};

// Replaces the script's file in `folder` with the encoded text, keeping what
// the old file carried, as the plan in saveplan.h decides. Whatever fails or
// ends the program, the file is the old one or the new one, whole: where it is
// rewritten in place, a journal beside it keeps the old bytes until the new
// ones are on disk. Waits up to two seconds for another save of the same file,
// and for the disk to confirm the bytes.
Outcome save(const Folder &folder, QStringView text);

// What a start found of a save that ended half-way in place.
struct Recovery {
    enum What { Nothing, PutBack, Failed } what = Nothing;
    Cause cause = Cause::None;
    QString path;  // the file
};

// Puts the old bytes back where a save in place in `folder` was ended before
// the new ones were complete and on disk, and removes its journal. A save
// running at the same time is left alone.
Recovery recover(const Folder &folder);

}  // namespace ScriptFile
