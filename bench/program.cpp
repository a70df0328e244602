// The program as main.cpp starts it, with the start-up probe; the language
// dialog's OK is clicked once the dialog is on screen.
#include "app/program.h"
#include "app/form1.h"
#include "drive.h"
#include "probe.h"

#include <memory>

int main(int argc, char *argv[])
{
    std::unique_ptr<StartupProbe> probe;
    std::unique_ptr<ModalResponder> modal;
    return runProgram(argc, argv, [&](Form1 &window) {
        probe = std::make_unique<StartupProbe>(&window);
        modal = std::make_unique<ModalResponder>();
        modal->steps << [&modal](QWidget *d) {
            waitPainted(d);
            click(d, "Command1");
            QTimer::singleShot(0, [&modal] { modal.reset(); });  // costs nothing from here on
        };
    });
}
