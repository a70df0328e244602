// Floor of the process figures: a dialog with only an OK button, accepted as the program's
// language dialog is, then a bare main window of the program's size with a 10 ms no-op timer.
#include "drive.h"
#include "probe.h"

#include <QDialog>
#include <QMainWindow>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(469, 373);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start(10);
    StartupProbe probe(&window);
    {
        QDialog dialog(&window);
        dialog.resize(159, 110);
        auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setObjectName(QStringLiteral("OK"));
        ok->setGeometry(8, 80, 73, 25);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        ModalResponder modal;
        modal.steps << [](QWidget *d) {
            waitPainted(d);
            click(d, "OK");
        };
        dialog.exec();
    }
    window.show();
    return app.exec();
}
