#pragma once

#include "i18n/messages.h"
#include "script/composer.h"
#include "script/scriptfile.h"

#include <QMainWindow>
#include <QMessageBox>
#include <memory>

class QTimer;

namespace Ui {
class MainWindow;
}

// The settings editor. Its controls hold the settings; a 10 ms tick refreshes the
// value labels and the script preview from them.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The folder Save writes into; the working folder unless set.
    void setSaveFolder(ScriptFile::Folder folder)
    {
        m_folder = std::move(folder);
        updateSaveToolTips();
    }
    const ScriptFile::Folder &saveFolder() const { return m_folder; }

    // Start-up: the language dialog first, then the link label's style.
    void startUp();

    // The tick: after a change, repairs the key fields and shows the values and
    // the script the controls stand for. It waits while its message is shown.
    void refresh();
    // Save: a tick, then the script written into the save folder.
    void save();
    void chooseLanguage();
    void showAbout();
    // The captions of the current language, and the names screen readers say.
    void applyCaptions();

    // The settings the controls hold.
    ScriptSettings readSettings() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Reset: the default settings, left to the next tick to show.
    void reset();
    void quit();
    void showHelp();
    // Puts back the default of every key field that does not hold one character.
    void repairKeyFields();
    void applySettings(const ScriptSettings &s);
    void showValues(const ScriptSettings &s);
    void showMessage(QMessageBox::Icon icon, const Messages::Message &message);
    void openAboutBox(QWidget *parent);
    void nameControls();
    void updateSaveToolTips();

    std::unique_ptr<Ui::MainWindow> m_ui;
    QTimer *m_tick;
    ScriptLines m_lines;
    ScriptFile::Folder m_folder = ScriptFile::Folder::current();
    bool m_changed = true;  // a settings control or the preview changed since the last tick
    bool m_shownBefore = false;
    bool m_messageShown = false;  // a message box of the tick or of Save is open
};
