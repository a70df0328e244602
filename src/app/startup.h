#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What starting differs in between the systems: startup_posix.cpp and
// startup_win.cpp, one chosen by the build.
namespace Startup {

// The command line, each argument in the bytes that name files on this system
// (Windows: UTF-8 of its own wide command line; char **argv there is in the
// ANSI code page, which loses letters such as 'ř').
QList<QByteArray> arguments(int argc, char **argv);

// An argument's bytes as text.
QString decode(const QByteArray &argument);

// Writes `text` (lines ending in '\n') where the user sees it: the standard
// output or error, or, for a Windows program started without either, the
// console it was started from or else a message box.
void print(const QString &text, bool error);

// Connects the C streams, which Qt prints its own help to, to where print()
// writes; where there is nowhere, Qt shows a message box.
void connectStreams();

// A platform plugin that starts without a display, to list Qt's own options.
extern const char WindowlessPlatform[];

// Whether Qt will find a display without a platform being named: X11 or
// Wayland need one named in the environment; Windows always has its own.
bool displayFound();

}  // namespace Startup
