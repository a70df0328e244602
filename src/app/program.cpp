#include "program.h"

#include "commandline.h"
#include "form1.h"
#include "widgets/windowkit.h"

#include <QApplication>

int runProgram(int argc, char **argv, const std::function<void(Form1 &)> &starting)
{
    CommandLine::QtArguments qtArguments;
    std::optional<ScriptFile::Folder> gameDir;  // else the window saves in the working folder
    if (const auto status = CommandLine::read(argc, argv, &qtArguments, &gameDir))
        return *status;
    const auto app = CommandLine::startWindowSystem(&qtArguments);
    WindowKit::setupApplication();
    Form1 window;
    if (gameDir)
        window.setSaveFolder(std::move(*gameDir));
    if (starting)
        starting(window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
