#pragma once

#include <QDialog>

namespace Ui {
class Form2;
}

// The language dialog: sets the interface language and relabels itself and the
// main window as soon as an option is clicked.
class Form2 : public QDialog {
    Q_OBJECT
public:
    // `mainWindow` is the window whose captions follow the language.
    explicit Form2(QWidget *mainWindow, QWidget *parent = nullptr);
    ~Form2() override;

    // Runs the load step, then shows the dialog modally until it is closed.
    int showModal();

    // Applies the caption tables for the current language; `aktiv` is not used.
    void optjazyk(float &aktiv);

    Ui::Form2 *ui;

protected:
    bool focusNextPrevChild(bool next) override;

private:
    void Form_Load();
    void readBack();
    void Option1_Click();
    void Option2_Click();
    void Command2_Click();

    QWidget *m_mainWindow;
};
