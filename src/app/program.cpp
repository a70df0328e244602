#include "program.h"

#include "commandline.h"
#include "form1.h"
#include "widgets/windowkit.h"

#include <QApplication>

int runProgram(int argc, char **argv, const std::function<void(Form1 &)> &starting)
{
    CommandLine::QtArguments qtArguments;
    ScriptFile::Folder folder = ScriptFile::Folder::current();
    if (const auto status = CommandLine::read(argc, argv, &qtArguments, &folder))
        return *status;
    const auto app = CommandLine::startWindowSystem(&qtArguments);
    WindowKit::setupApplication();
    Form1 window;
    window.setSaveFolder(std::move(folder));
    if (starting)
        starting(window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
