#pragma once

#include "widgets/tooldialog.h"

#include <memory>

namespace Ui {
class LanguageDialog;
}

// The language dialog: sets the interface language and relabels itself, and has
// the main window relabelled, as soon as an option is clicked.
class LanguageDialog : public ToolDialog {
    Q_OBJECT
public:
    explicit LanguageDialog(QWidget *parent = nullptr);
    ~LanguageDialog() override;

    // Applies the captions of the current language, then says so.
    void applyCaptions();

signals:
    // The dialog's captions of the current language stand; the main window
    // follows.
    void captionsApplied();
    // "About prg." was clicked: the about box should open above this dialog.
    void aboutRequested();

protected:
    void prepare() override;

private:
    // The checked option becomes the language.
    void takeChoice();

    std::unique_ptr<Ui::LanguageDialog> m_ui;
};
