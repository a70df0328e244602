#include "program.h"

#include "commandline.h"
#include "i18n/messages.h"
#include "mainwindow.h"
#include "widgets/windowkit.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QVersionNumber>
#include <cstdio>
#include <cstdlib>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// Qt 6.4's Wayland plugin can hang in QApplication's destructor: ~QWaylandDisplay
// stops its event thread and waits for it, while that thread is blocked in
// wl_display_read_events for a read the main thread prepared and never
// completes (about 1 exit in 30 under load). Later versions are not known to.
bool platformTeardownHangs()
{
    const QVersionNumber qt = QLibraryInfo::version();
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
        && qt.majorVersion() == 6 && qt.minorVersion() == 4;
}

}  // namespace

int runProgram(int argc, char **argv, const std::function<void(MainWindow &)> &starting)
{
    CommandLine::QtArguments qtArguments;
    std::optional<ScriptFile::Folder> gameDir;  // else the window saves in the working folder
    if (const auto status = CommandLine::read(argc, argv, &qtArguments, &gameDir))
        return *status;
    const auto app = CommandLine::startWindowSystem(&qtArguments);
    WindowKit::setupApplication();
    int status = 0;
    {
        MainWindow window;
        if (gameDir)
            window.setSaveFolder(std::move(*gameDir));
        if (starting)
            starting(window);
        // A save in place that a crash ended half-way is put right before anything
        // else, and told once the language is chosen.
        const ScriptFile::Recovery recovery = ScriptFile::recover(window.saveFolder());
        window.startUp();
        if (const auto message = Messages::recovered(recovery))
            QMessageBox(QMessageBox::Warning, message->title, message->text).exec();
        window.show();
        status = QApplication::exec();
    }
    if (platformTeardownHangs()) {
        // Every save is synced and the windows are gone; only Qt's own teardown
        // is skipped. A sanitizer build still checks for leaks up to here.
#if defined(__SANITIZE_ADDRESS__)
        __lsan_do_leak_check();
#endif
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
