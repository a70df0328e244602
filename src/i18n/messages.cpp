#include "messages.h"

#include "module1.h"

QString inLanguage(const Wording &w)
{
    const char *text = Module1::LanguageId == 1 ? w.czech
        : Module1::LanguageId == 2              ? w.english
                                                : w.unchosen;
    return text ? QString::fromUtf8(text) : QString();
}

namespace Messages {

namespace {

const Wording ErrorTitle{"Chyba", "Error", "Error"};

}  // namespace

Message keyRepaired()
{
    return {inLanguage({"Chyba", "Error", "Chyba"}),
            inLanguage({"Chybná hodnota", "Erroneous statement", "Chybná hodnota"})};
}

std::optional<Message> help()
{
    const QString title = inLanguage({"Nápověda", "Help", nullptr});
    if (title.isNull())
        return std::nullopt;
    return Message{title,
                   inLanguage({"Tento program musí být ve složce se hrou",
                               "This program must exist in folders with games", nullptr})};
}

Message saveFailed(const QString &path, const QString &reason)
{
    const Wording text{"Nastavení se nepodařilo uložit do souboru\n%1\n\n%2",
                       "The settings could not be saved to\n%1\n\n%2",
                       "The settings could not be saved to\n%1\n\n%2"};
    return {inLanguage(ErrorTitle), inLanguage(text).arg(path, reason)};
}

QString saveToolTip(const QString &path)
{
    return inLanguage(
               {"Uloží nastavení do %1", "Saves the settings to %1", "Saves the settings to %1"})
        .arg(path);
}

}  // namespace Messages
