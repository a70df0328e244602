// src/app/main.cpp with the start-up probe: the language dialog's OK is clicked
// as soon as the dialog is on screen.
#include "app/form1.h"
#include "app/windowkit.h"
#include "i18n/form2.h"
#include "probe.h"
#include "ui_form2.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorrel - setup"));
    WindowKit::setupApplication();
    Form1 window;
    StartupProbe probe(&window, [](QDialog *d) {
        if (auto *form2 = qobject_cast<Form2 *>(d))
            form2->ui->Command1->click();
    });
    window.Form_Load();
    window.show();
    return app.exec();
}
