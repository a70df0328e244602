#pragma once

#include <QByteArray>
#include <QString>

namespace ScriptFile {

// The script's file name, resolved against the current working directory.
QString fileName();

// Absolute path of the file that a save writes now; the bare name when the
// current directory cannot be determined.
QString targetPath();
inline QString displayPath() { return targetPath(); }

// The text as Windows-1250 bytes, one per character; a character the code page
// lacks (a surrogate pair counting as one) becomes '?'.
QByteArray encode(QStringView text);
inline bool encode(QStringView text, QByteArray *out) { *out = encode(text); return true; }

struct Outcome {
    bool ok = false;
    QString path;    // the file written or attempted
    QString reason;  // why it failed
};

// Replaces autoexec.cfg in the current directory with the encoded text: written
// to a temporary file that then replaces the old one, or directly into the file
// where the folder takes no new files. On failure the old file stays as it was.
Outcome save(QStringView text);

} // namespace ScriptFile
