#include "app/form1.h"
#include "widgets/windowkit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorrel - setup"));
    WindowKit::setupApplication();
    Form1 window;
    window.Form_Load();
    window.show();
    return app.exec();
}
