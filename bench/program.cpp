// src/app/main.cpp with the start-up probe; the language dialog's OK is clicked as
// soon as the dialog is on screen.
#include "app/form1.h"
#include "drive.h"
#include "probe.h"
#include "widgets/windowkit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorrel-setup"));
    WindowKit::setupApplication();
    Form1 window;
    StartupProbe probe(&window);
    {
        ModalResponder modal;
        modal.steps << [](QWidget *d) { waitPainted(d); click(d, "Command1"); };
        window.Form_Load();
    }
    window.show();
    return app.exec();
}
