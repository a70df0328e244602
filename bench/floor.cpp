// Floor of the process figures: a bare dialog, then a bare main window of the
// program's size with a 10 ms timer that does nothing.
#include "probe.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(469, 373);
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start();
    StartupProbe probe(&window, [](QDialog *d) { d->accept(); });
    QDialog dialog(&window);
    dialog.resize(159, 110);
    dialog.exec();
    window.show();
    return app.exec();
}
