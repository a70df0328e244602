#pragma once

#include "script/composer.h"
#include "script/scriptfile.h"

#include <QMainWindow>
#include <memory>

class QTimer;

namespace Ui {
class Form1;
}

// The settings editor. Its controls hold the settings; Timer1 rebuilds the value
// labels and the script preview from them.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The folder Save writes into; the working folder unless set.
    void setSaveFolder(ScriptFile::Folder folder)
    {
        m_folder = std::move(folder);
        updateSaveToolTips();
    }
    const ScriptFile::Folder &saveFolder() const { return m_folder; }

    // Start-up: the language dialog first, then the link label's style.
    void Form_Load();

    void Timer1_Timer();
    void ValidateKeyFields();

    void Command1_Click();  // Reset
    void Command2_Click();  // Save
    void Command3_Click();  // Close
    void help1_Click();
    void lang_Click();
    void about_Click();
    void Label15_Click();

    // The settings controls as a value, and back: Reset applies the defaults.
    ScriptSettings readSettings() const;
    void applySettings(const ScriptSettings &s);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showValues(const ScriptSettings &s);
    void openAbout(QWidget *parent);
    void nameControls();
    void updateSaveToolTips();

    std::unique_ptr<Ui::Form1> ui;
    QTimer *Timer1;
    ScriptLines m_lines;
    ScriptFile::Folder m_folder = ScriptFile::Folder::current();
    bool m_changed = true;  // a settings control or the preview changed since the last tick
    bool m_shownBefore = false;
};
