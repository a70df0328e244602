#include "program.h"

#include "commandline.h"
#include "form1.h"
#include "i18n/messages.h"
#include "widgets/windowkit.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

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
    // A save in place that a crash ended half-way is put right before anything
    // else, and told once the language is chosen.
    const ScriptFile::Recovery recovery = ScriptFile::recover(window.saveFolder());
    window.Form_Load();
    if (const auto message = Messages::recovered(recovery))
        QMessageBox(QMessageBox::Warning, message->title, message->text).exec();
    window.show();
    const int status = QApplication::exec();
    // Qt 6.4's Wayland plugin can deadlock as it tears down: it waits for its
    // event thread, which waits in wl_display_read_events. Every save is synced
    // and nothing else is kept, so there the program ends without that teardown.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
