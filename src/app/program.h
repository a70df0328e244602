#pragma once

#include <functional>

class MainWindow;

// The whole program: the command line, then the main window until it closes.
// `starting` runs once the main window exists, before its language dialog opens.
int runProgram(int argc, char **argv, const std::function<void(MainWindow &)> &starting = {});
