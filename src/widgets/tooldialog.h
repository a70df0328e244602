#pragma once

#include <QDialog>

// A small fixed-size tool window shown modally in the middle of the screen. Only
// its own buttons and its close box close it: Escape does not.
class ToolDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    // Runs the load step, then shows the window modally until it is closed.
    int showModal();

protected:
    // Prepares the window each time it is opened, before it shows.
    virtual void prepare() {}

    void keyPressEvent(QKeyEvent *event) override;
};
