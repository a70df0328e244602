#pragma once

#include <QByteArray>
#include <QString>

namespace ScriptFile {

// The script's file name in the folder Save writes into.
QString fileName();

// The text in Windows-1250, one byte per code point (a surrogate pair counting
// once); whatever the code page lacks becomes '?'.
QByteArray encode(QStringView text);

// The folder Save writes into, opened once and held open: it stays the same
// folder whatever later becomes of its path or of the working folder.
class Folder {
public:
    // The working folder as it is now.
    static Folder current();
    // `path` in the system's own bytes, as given on the command line.
    explicit Folder(const QByteArray &path);
    Folder(Folder &&other) noexcept;
    Folder &operator=(Folder &&other) noexcept;
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;
    ~Folder();

    // 0, or the system's error number for why the folder could not be opened.
    int error() const { return m_error; }
    int fd() const { return m_fd; }
    // The script's file in this folder, for people to read (lossy for names
    // that are not UTF-8; the bare file name when the path is unknown).
    QString displayPath() const { return m_display; }

private:
    explicit Folder(const char *path);  // null: the working folder
    int m_fd = -1;
    int m_error = 0;
    QString m_display;
};

// What kept a save from ending well.
enum class Problem {
    None,
    FolderGone,     // the folder has been removed
    NotRegular,     // the name is, or links to, something other than a regular file
    LinkRefused,    // a link that another user placed in a sticky world-writable folder
    Planted,        // a file that another user placed in such a folder
    NoSpace,        // no room left on the disk or in the quota
    TooLarge,       // beyond the file-size limit
    NoReservation,  // only an in-place write is possible, and its space cannot be reserved
    Unsynced,       // the new bytes are in place, but the system did not confirm them on disk
    Failed,         // any other error
};

// What was found at the name, for NotRegular.
enum class Found { Regular, Folder, Fifo, Socket, CharDevice, BlockDevice, Other };

// What became of the old file when the save failed.
enum class OldFile { None, Untouched, PutBack, Damaged };

struct Outcome {
    Problem problem = Problem::Failed;
    OldFile old = OldFile::None;
    Found found = Found::Regular;
    bool viaLink = false;  // the name is a link to what was found
    int error = 0;         // the system's error number, 0 when none applies
    QString path;          // the folder's displayPath()
    bool ok() const { return problem == Problem::None; }
};

// Replaces the script's file in `folder` with the encoded text, keeping what
// the old file carried (see the table in nativefile_posix.cpp). Whatever
// fails, the old file stays as it was, or is put back where it had to be
// rewritten in place.
Outcome save(const Folder &folder, QStringView text);

}  // namespace ScriptFile
