#pragma once

#include <QWidget>

// A caption in Czech and in English. Before a language is chosen the controls
// keep the texts their forms give them.
struct Caption {
    const char *czech;
    const char *english;
};

// Sets the caption of the current language, nothing before one is chosen: a menu's
// or frame's title, an action's, label's or button's text, a window's title.
void setCaption(QObject *target, const Caption &c);

// The captions of the language dialog and of the main window, given their forms'
// generated Ui classes. Each control is reached by its member, so a renamed
// control fails the build; templates, as the main window's form belongs to a
// later layer.
template <class Form>
void applyDialogCaptions(QWidget *dialog, const Form &ui)
{
    setCaption(ui.Command2, {"O programu", "About prg."});
    setCaption(dialog, {"Výběr jazyka", "Select language"});
    setCaption(ui.Frame1, {"Výběr jazyka", "Select language"});
}

template <class Form>
void applyMainCaptions(const Form &ui)
{
    setCaption(ui.file, {"Soubor", "File"});
    setCaption(ui.save, {"Uložit", "Save"});
    setCaption(ui.quit, {"Ukončit", "Quit"});
    setCaption(ui.options, {"Nastavení", "Options"});
    setCaption(ui.lang, {"Jazyk", "Language"});
    setCaption(ui.help, {"Nápověda", "Help"});
    setCaption(ui.about, {"O programu", "About program"});
    setCaption(ui.Frame1, {"Jméno", "Name"});
    setCaption(ui.Frame2, {"Tým", "Team"});
    setCaption(ui.Frame3, {"Myš", "Mause"});
    setCaption(ui.Frame4, {"Hlasitost", "Volume"});
    setCaption(ui.Frame5, {"Rozsah fps", "fps range"});
    setCaption(ui.Frame6, {"Gamma", "Gamma"});
    setCaption(ui.Frame7, {"Pohyb", "Move"});
    setCaption(ui.Label1, {"Rychlost :", "Speed :"});
    setCaption(ui.Label2, {"Zoom :", "Zoom :"});
    setCaption(ui.Label3, {"Hudba :", "Music :"});
    setCaption(ui.Label5, {"Zvuky :", "Sound :"});
    setCaption(ui.Label16, {"Náhled", "Prewiew"});
    setCaption(ui.Label9, {"Gamma :", "Gamma"});
    setCaption(ui.Label11, {"Nahoru :", "Forward :"});
    setCaption(ui.Label12, {"Dolu :", "Backward :"});
    setCaption(ui.Label13, {"Doleva", "Left :"});
    setCaption(ui.Label14, {"Doprava :", "Right :"});
    setCaption(ui.Command2, {"Uložit", "Save"});
    setCaption(ui.Command3, {"Konec", "Quit"});
}
