#include "app/commandline.h"
#include "app/form1.h"
#include "widgets/windowkit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const auto status = CommandLine::answerAtOnce(argc, argv))
        return *status;
    QApplication app(argc, argv);
    CommandLine::nameApplication();
    WindowKit::setupApplication();
    if (const auto status = CommandLine::enterGameFolder(argc, argv))
        return *status;
    Form1 window;
    window.Form_Load();
    window.show();
    return app.exec();
}
