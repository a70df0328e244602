#pragma once

#include <QByteArray>
#include <QString>

namespace ScriptFile {

// The code page of the file.
inline constexpr char CodePage[] = "windows-1250";

// The script's file name, in the working folder.
QString fileName();

// Where a save writes, for people to read: the working folder's path as it is
// now (lossy for names that are not UTF-8), or the bare file name when that path
// cannot be read. Save itself never goes through this path.
QString displayPath();

// The text in `codePage`, one byte per code point (a surrogate pair counting once);
// whatever the code page lacks, including what the converter would silently drop,
// becomes '?'. False, and nothing in *out, when the converter cannot be created.
// `codePage` is a parameter so that tests can name one that cannot be opened.
bool encode(QStringView text, QByteArray *out, const char *codePage = CodePage);

struct Outcome {
    bool ok = false;
    QString path;    // displayPath() of the file written or attempted
    QString reason;  // why it failed, in English
};

// Replaces autoexec.cfg of the working folder with the encoded text: through a
// temporary file renamed over it, or in place where the folder takes no new
// files or the file has other names. Whatever fails, the old file stays as it
// was; only regular files are written.
Outcome save(QStringView text, const char *codePage = CodePage);

// Makes the folder `path` (in the system's own bytes, as given on the command
// line) the working folder that Save writes into. Empty, or why it cannot.
QString enterFolder(const QByteArray &path);

}  // namespace ScriptFile
