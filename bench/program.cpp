// The program as main.cpp starts it, with the start-up probe.
#include "app/program.h"
#include "app/mainwindow.h"
#include "drive.h"
#include "probe.h"

#include <memory>

int main(int argc, char *argv[])
{
    std::unique_ptr<StartupProbe> probe;
    return runProgram(argc, argv, [&probe](MainWindow &window) {
        probe = std::make_unique<StartupProbe>(&window);
        auto *modal = new ModalResponder;  // answers the dialog, then goes
        modal->steps << [modal](QWidget *d) {
            waitPainted(d);
            click(d, "Command1");
            modal->deleteLater();
        };
    });
}
