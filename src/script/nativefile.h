#pragma once

#include "scriptfile.h"

#include <QByteArrayView>

// The operating system's side of Save and the only code that calls it. One
// implementation per platform; nativefile_posix.cpp is the POSIX one.
namespace NativeFile {

// Replaces the file `name` (a bare file name) of the open folder `folder` with
// `bytes`, as the table in the implementation decides. A link is followed where
// the system's own rules would follow it. Only regular files are written; no
// call blocks. SIGXFSZ is ignored from the first call on. Fills in all of the
// outcome but its path.
ScriptFile::Outcome replace(int folder, const char *name, QByteArrayView bytes);

// Opens the folder `path` (null: the working folder) for replace(): 0 and the
// folder in *fd, or an error number. *where: the folder's absolute path in the
// system's own bytes, however long; empty when it cannot be found.
int openFolder(const char *path, int *fd, QByteArray *where);

void closeFolder(int fd);

}  // namespace NativeFile
