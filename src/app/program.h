#pragma once

#include <functional>

class Form1;

// The whole program: the command line, then the main window until it closes.
// `starting` runs once the main window exists, before its language dialog opens.
int runProgram(int argc, char **argv, const std::function<void(Form1 &)> &starting = {});
