#pragma once

#include "script/composer.h"

#include <QMainWindow>
#include <array>

class QLineEdit;
class QScrollBar;
class QTimer;

namespace Ui {
class Form1;
}

// The settings editor. Its controls hold the settings; Timer1 rebuilds the value
// labels and the script preview from them every 10 ms.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

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

    // The preview's text with its line breaks as CR LF, as Save writes it.
    QString previewText() const;

    // The current state of the settings controls.
    ScriptSettings readSettings() const;

    Ui::Form1 *ui;
    QTimer *Timer1;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void save();
    void showValues(const ScriptSettings &s);
    void showScript();
    void captionsChanged();

    std::array<QLineEdit *, 4> m_keyFields;
    ScriptLines m_lines;
    ScriptSettings m_composedFrom;
    bool m_composed = false;
    bool m_controlsChanged = true;  // a settings control changed since the last tick
    std::array<qint16, 5> m_shownValues;
    QString m_previewDoc;          // the preview document's text as last written
    bool m_previewEdited = true;   // changed by someone other than the tick since then
    bool m_writingPreview = false;
    bool m_shownBefore = false;
};
