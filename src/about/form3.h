#pragma once

#include "widgets/tooldialog.h"

#include <memory>

namespace Ui {
class Form3;
}

// The about box: program, maker, author and licence, with links to the game's
// and the maker's web pages.
class Form3 : public ToolDialog {
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);
    ~Form3() override;

protected:
    void Form_Load() override;

private:
    std::unique_ptr<Ui::Form3> ui;
};
