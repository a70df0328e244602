#include "captions.h"

#include "messages.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

const std::array<Caption, 29> Captions{{
    {Caption::Dialog, "Command2", "O programu", "About prg."},
    {Caption::Dialog, "", "Výběr jazyka", "Select language"},
    {Caption::Dialog, "Frame1", "Výběr jazyka", "Select language"},
    {Caption::Main, "file", "Soubor", "File"},
    {Caption::Main, "save", "Uložit", "Save"},
    {Caption::Main, "quit", "Ukončit", "Quit"},
    {Caption::Main, "options", "Nastavení", "Options"},
    {Caption::Main, "lang", "Jazyk", "Language"},
    {Caption::Main, "help", "Nápověda", "Help"},
    {Caption::Main, "about", "O programu", "About program"},
    {Caption::Main, "Frame1", "Jméno", "Name"},
    {Caption::Main, "Frame2", "Tým", "Team"},
    {Caption::Main, "Frame3", "Myš", "Mause"},
    {Caption::Main, "Frame4", "Hlasitost", "Volume"},
    {Caption::Main, "Frame5", "Rozsah fps", "fps range"},
    {Caption::Main, "Frame6", "Gamma", "Gamma"},
    {Caption::Main, "Frame7", "Pohyb", "Move"},
    {Caption::Main, "Label1", "Rychlost :", "Speed :"},
    {Caption::Main, "Label2", "Zoom :", "Zoom :"},
    {Caption::Main, "Label3", "Hudba :", "Music :"},
    {Caption::Main, "Label5", "Zvuky :", "Sound :"},
    {Caption::Main, "Label16", "Náhled", "Prewiew"},
    {Caption::Main, "Label9", "Gamma :", "Gamma"},
    {Caption::Main, "Label11", "Nahoru :", "Forward :"},
    {Caption::Main, "Label12", "Dolu :", "Backward :"},
    {Caption::Main, "Label13", "Doleva", "Left :"},
    {Caption::Main, "Label14", "Doprava :", "Right :"},
    {Caption::Main, "Command2", "Uložit", "Save"},
    {Caption::Main, "Command3", "Konec", "Quit"},
}};

namespace {

// Looks inside one window only: dialogs parented to it are windows of their own.
QObject *findTarget(QObject *root, const QString &name)
{
    for (QObject *child : root->children()) {
        if (qobject_cast<QDialog *>(child))
            continue;
        if (child->objectName() == name)
            return child;
        if (QObject *found = findTarget(child, name))
            return found;
    }
    return nullptr;
}

void setCaption(QWidget *window, const char *target, const QString &text)
{
    if (!*target) {
        window->setWindowTitle(text);
        return;
    }
    QObject *o = findTarget(window, QString::fromLatin1(target));
    if (auto *menu = qobject_cast<QMenu *>(o))
        menu->setTitle(text);
    else if (auto *action = qobject_cast<QAction *>(o))
        action->setText(text);
    else if (auto *frame = qobject_cast<QGroupBox *>(o))
        frame->setTitle(text);
    else if (auto *label = qobject_cast<QLabel *>(o))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(o))
        button->setText(text);
    else
        qWarning("caption target %s not found", target);
}

}  // namespace

void applyCaptions(QWidget *dialog, QWidget *mainWindow)
{
    for (const Caption &c : Captions) {
        QWidget *window = c.window == Caption::Dialog ? dialog : mainWindow;
        const QString text = inLanguage({c.czech, c.english, nullptr});
        if (window && !text.isNull())
            setCaption(window, c.target, text);
    }
}
