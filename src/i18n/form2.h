#pragma once

#include "widgets/tooldialog.h"

#include <memory>

namespace Ui {
class Form2;
}

// The language dialog: sets the interface language and relabels itself and the
// main window as soon as an option is clicked.
class Form2 : public ToolDialog {
    Q_OBJECT
public:
    // `mainWindow` is the window whose captions follow the language.
    explicit Form2(QWidget *mainWindow, QWidget *parent = nullptr);
    ~Form2() override;

    // Applies the caption tables for the current language; `aktiv` is not used.
    void optjazyk(float &aktiv);

signals:
    // The captions of the current language stand.
    void captionsApplied();
    // "About prg." was clicked: the about box should open above this dialog.
    void aboutRequested();

protected:
    void Form_Load() override;

private:
    void readBack();
    void Option1_Click();
    void Option2_Click();

    std::unique_ptr<Ui::Form2> ui;
    QWidget *m_mainWindow;
};
