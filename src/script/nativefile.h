#pragma once

#include "scriptfile.h"

#include <QByteArrayView>

// The operating system's side of Save and the only code that calls it: it
// gathers the facts for the plan (saveplan.h) and carries the plan out. One
// implementation per platform: nativefile_posix.cpp and nativefile_win.cpp.
namespace NativeFile {

// Replaces the file `name` (a bare file name) of the open folder `folder` with
// `bytes`, as the plan decides. A link is followed where the system's own rules
// would follow it; only regular files are written. Waits up to two seconds for
// another save's lock, and for the disk's syncs. Signals a write may raise go
// to this call alone.
ScriptFile::Outcome replace(qintptr folder, const char *name, QByteArrayView bytes);

// Puts back the old file where a save in place of `name` ended half-way.
ScriptFile::Recovery recover(qintptr folder, const char *name);

// Opens the folder `path` (null: the working folder) to pass through it.
ScriptFile::Cause openFolder(const char *path, qintptr *folder);

// The open folder's absolute path as it is now, in the system's own bytes;
// empty when it cannot be known.
QByteArray folderPath(qintptr folder);

void closeFolder(qintptr folder);

}  // namespace NativeFile
