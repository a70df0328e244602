#pragma once

#include "script/scriptfile.h"

#include <QByteArray>
#include <QList>
#include <memory>
#include <optional>

class QApplication;

// The command line: quorrel-setup [options] [--] [GAME_DIR]. Qt's own options
// before "--" are for QApplication; everything after "--" is the program's.
namespace CommandLine {

// What QApplication is given: the program's name and Qt's options.
struct QtArguments {
    QList<QByteArray> bytes;
    int argc = 0;
    QList<char *> argv;  // into bytes, ending in a null pointer
};

// Answers --help, --help-all and --version, refuses unknown options and a second
// GAME_DIR (status 1), opens GAME_DIR into *gameDir (status 2 when it cannot)
// and checks that there is a window system to open windows on (status 1), all
// before one starts. Returns the exit status when the program is to end at once.
std::optional<int> read(int argc, char **argv, QtArguments *forQt,
                        std::optional<ScriptFile::Folder> *gameDir);

// QApplication on the window system that read() found; Qt's message and
// status 1, not Qt's abort, when no platform plugin starts.
std::unique_ptr<QApplication> startWindowSystem(QtArguments *args);

}  // namespace CommandLine
