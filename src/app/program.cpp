#include "program.h"

#include "commandline.h"
#include "form1.h"
#include "widgets/windowkit.h"

#include <QApplication>

int runProgram(int argc, char **argv, const std::function<void(Form1 &)> &starting)
{
    if (const auto status = CommandLine::answerAtOnce(argc, argv))
        return *status;
    QApplication app(argc, argv);
    CommandLine::nameApplication();
    WindowKit::setupApplication();
    ScriptFile::Folder folder = ScriptFile::Folder::current();
    if (const auto status = CommandLine::openGameFolder(argc, argv, &folder))
        return *status;
    Form1 window;
    window.setSaveFolder(std::move(folder));
    if (starting)
        starting(window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
