#include "tooldialog.h"

#include "windowkit.h"

#include <QKeyEvent>

int ToolDialog::showModal()
{
    WindowKit::fixWindow(this, true);
    WindowKit::tabToSelectedOptions(this);
    prepare();
    WindowKit::centreOnScreen(this);
    return exec();
}

void ToolDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
