// The program as a person uses it, for the Wayland check: accepts the language
// dialog once it is on screen, saves once the main window is, and quits. Fails
// when a window has a title bar other than its own (icon, title, close box).
// Usage: quorrel-drive [GAME_DIR]
#include "drive.h"
#include "app/mainwindow.h"
#include "app/program.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>

// Runs `then` once `w` is on screen.
static void whenExposed(QWidget *w, const std::function<void()> &then)
{
    auto *poll = new QTimer(w);
    QObject::connect(poll, &QTimer::timeout, w, [w, poll, then] {
        if (!w->windowHandle() || !w->windowHandle()->isExposed())
            return;
        poll->deleteLater();
        if (!w->windowHandle()->frameMargins().isNull()
            || !w->findChild<QWidget *>(QStringLiteral("closeBox")))
            qFatal("%s has a title bar not its own", qPrintable(w->windowTitle()));
        then();
    });
    poll->start(10);
}

int main(int argc, char *argv[])
{
    return runProgram(argc, argv, [](MainWindow &window) {
        auto *modal = new ModalResponder;
        modal->onMessage = [](const ModalResponder::Message &m) {
            qFatal("unexpected message: %s", qPrintable(m.text));
        };
        modal->steps << [&window](QWidget *dialog) {
            whenExposed(dialog, [dialog] { click(dialog, "Command1"); });
            whenExposed(&window, [&window] {
                click(&window, "Command2");
                QCoreApplication::quit();
            });
        };
    });
}
