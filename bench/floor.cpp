// Floor of the process figures: a dialog with only an OK button, then a bare
// main window of the program's size with a 10 ms timer that does nothing.
#include "probe.h"

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(469, 373);
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start();
    // Accepted as the program's language dialog is: by a click on its OK button.
    QDialog dialog(&window);
    dialog.resize(159, 110);
    QPushButton ok(QStringLiteral("OK"), &dialog);
    ok.setGeometry(8, 80, 73, 25);
    QObject::connect(&ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    StartupProbe probe(&window, [&ok](QDialog *) { ok.click(); });
    dialog.exec();
    window.show();
    return app.exec();
}
