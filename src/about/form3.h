#pragma once

#include <QDialog>

namespace Ui {
class Form3;
}

// The about box: program, maker, author and licence, with links to the game's
// and the maker's web pages.
class Form3 : public QDialog {
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);
    ~Form3() override;

    // Runs the load step, then shows the box modally until it is closed.
    int showModal();

    Ui::Form3 *ui;

private:
    void Form_Load();
};
