#pragma once

#include "script/scriptfile.h"

#include <optional>

// The command line: quorrel-setup [options] [GAME_DIR]. Each step returns the
// exit status when the program is to end at once, nothing when it goes on.
namespace CommandLine {

// The program's name, version and desktop entry, for the window system and --version.
void nameApplication();

// --help and --version, answered before any window system is needed.
std::optional<int> answerAtOnce(int argc, char **argv);

// After QApplication has taken Qt's own options out of argc and argv: refuses
// unknown options, and opens GAME_DIR into *folder (status 2 when it cannot be
// opened; *folder unchanged without a GAME_DIR).
std::optional<int> openGameFolder(int argc, char **argv, ScriptFile::Folder *folder);

}  // namespace CommandLine
