#pragma once

#include "widgets/tooldialog.h"

#include <memory>

namespace Ui {
class LanguageDialog;
}

// The language dialog: sets the interface language and relabels itself and the
// main window as soon as an option is clicked.
class LanguageDialog : public ToolDialog {
    Q_OBJECT
public:
    // `mainWindow` is the window whose captions follow the language.
    explicit LanguageDialog(QWidget *mainWindow, QWidget *parent = nullptr);
    ~LanguageDialog() override;

    // Applies the captions of the current language to both windows.
    void applyCaptions();

signals:
    // The captions of the current language stand.
    void captionsApplied();
    // "About prg." was clicked: the about box should open above this dialog.
    void aboutRequested();

protected:
    void prepare() override;

private:
    // The checked option becomes the language.
    void takeChoice();

    std::unique_ptr<Ui::LanguageDialog> m_ui;
    QWidget *m_mainWindow;
};
