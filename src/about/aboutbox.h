#pragma once

#include "widgets/tooldialog.h"

#include <memory>

namespace Ui {
class AboutBox;
}

// The about box: program, maker, author and licence, with links to the game's
// and the maker's web pages.
class AboutBox : public ToolDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);
    ~AboutBox() override;

protected:
    void prepare() override;

private:
    std::unique_ptr<Ui::AboutBox> m_ui;
};
