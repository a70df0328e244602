#include "tooldialog.h"

#include "windowkit.h"

#include <QKeyEvent>

int ToolDialog::showModal()
{
    WindowKit::fixWindow(this, true);
    Form_Load();
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

bool ToolDialog::focusNextPrevChild(bool next)
{
    return WindowKit::focusNextSkippingOptions(
        this, next, [this](bool forward) { return QDialog::focusNextPrevChild(forward); });
}
