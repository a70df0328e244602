#pragma once

#include <QByteArrayView>
#include <QString>

// The operating system's side of Save and the only code that calls it: replaces
// one file of the working folder with new bytes, or leaves the old file as it
// was. One implementation per platform; nativefile_posix.cpp is the POSIX one.
namespace NativeFile {

enum class Status {
    Written,
    FolderGone,     // the working folder has been removed
    NotRegular,     // the name is, or links to, something other than a regular file
    LinkRefused,    // a link that another user placed in a shared sticky folder
    NoSpace,        // no room left on the disk or in the quota
    TooLarge,       // beyond the file-size limit
    NoReservation,  // only an in-place write is possible, and its space cannot be reserved
    Unsynced,       // the new file is in place, but its folder could not be synced
    Failed,         // any other error
};

enum class Kind { Regular, Folder, Fifo, Socket, CharDevice, BlockDevice, Other };

// What became of the previous file when the save failed.
enum class OldFile { None, Untouched, PutBack, Damaged };

struct Result {
    Status status = Status::Failed;
    Kind kind = Kind::Regular;  // what was found, for NotRegular
    bool viaLink = false;       // the name is a link to what was found
    OldFile old = OldFile::None;
    QString error;  // the system's description of the error
};

// Replaces the file `name` (a bare file name) of the working folder with `bytes`.
// A link is followed where the system's own rules would follow it, and the file
// it names is replaced in its own folder. Only regular files are written; no
// call blocks. SIGXFSZ is ignored from the first call on, so that a write past
// the file-size limit fails instead of ending the process.
Result replace(const char *name, QByteArrayView bytes);

// The working folder's path in the system's own bytes, however long; empty when
// it cannot be found (the folder has been removed).
QByteArray workingFolder();

enum class Entry { Entered, Missing, NotAFolder, Failed };

// Makes `path` the working folder; `error` is the system's description of a failure.
Entry enterFolder(const char *path, QString *error);

}  // namespace NativeFile
