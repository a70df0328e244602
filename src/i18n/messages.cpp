#include "messages.h"

#include "language.h"

#include <cstring>

QString inLanguage(const Wording &w)
{
    const Language l = language();
    const char *text = l == Language::Czech ? w.czech
        : l == Language::English            ? w.english
                                            : w.unchosen;
    return text ? QString::fromUtf8(text) : QString();
}

namespace Messages {

namespace {

const Wording ErrorTitle{"Chyba", "Error", "Error"};

// Texts of the save's failures; before a language is chosen, English.
QString pick(const char *czech, const char *english)
{
    return inLanguage({czech, english, english});
}

// What was found instead of a regular file: in Czech as the subject and after "na".
QString found(ScriptFile::Found found, bool object)
{
    using ScriptFile::Found;
    switch (found) {
    case Found::Folder: return pick(object ? "složku" : "složka", "a folder");
    case Found::Fifo: return pick(object ? "rouru (FIFO)" : "roura (FIFO)", "a FIFO");
    case Found::Socket: return pick("soket", "a socket");
    case Found::CharDevice: return pick("znakové zařízení", "a character device");
    case Found::BlockDevice: return pick("blokové zařízení", "a block device");
    default: return pick("zvláštní soubor", "a special file");
    }
}

QString saveReason(const ScriptFile::Outcome &r)
{
    using ScriptFile::OldFile;
    using ScriptFile::Problem;
    const QString name = ScriptFile::fileName();
    const QString error = QString::fromLocal8Bit(std::strerror(r.error));
    QString what;
    switch (r.problem) {
    case Problem::None: return {};
    case Problem::FolderGone: return pick("Složka už neexistuje.", "The folder no longer exists.");
    case Problem::NotRegular:
        return (r.viaLink ? pick("%1 je odkaz na %2, ne na obyčejný soubor; zůstává, jak je.",
                                 "%1 links to %2, not to a regular file; it was left as it is.")
                          : pick("%1 je %2, ne obyčejný soubor; zůstává, jak je.",
                                 "%1 is %2, not a regular file; it was left as it is."))
            .arg(name, found(r.found, r.viaLink));
    case Problem::LinkRefused:
        return pick("%1 je odkaz, který jiný uživatel umístil do složky, do níž smí zapisovat "
                    "každý; odkaz nebyl následován a nic nebylo zapsáno.",
                    "%1 is a link that another user placed in a folder everyone may write to; "
                    "it was not followed and nothing was written.")
            .arg(name);
    case Problem::Planted:
        return pick("%1 patří jinému uživateli, který ho umístil do složky, do níž smí zapisovat "
                    "každý; zůstává, jak je, a nic nebylo zapsáno.",
                    "%1 belongs to another user, who placed it in a folder everyone may write "
                    "to; it was left as it is and nothing was written.")
            .arg(name);
    case Problem::Unsynced:
        return pick("Soubor byl zapsán, ale systém nepotvrdil, že je na disku (%1), takže "
                    "uložení nemusí přežít výpadek napájení.",
                    "The file was written, but the system did not confirm that it reached the "
                    "disk (%1), so the save may not survive a power loss.")
            .arg(error);
    case Problem::NoSpace: what = pick("Disk je plný (%1)", "The disk is full (%1)"); break;
    case Problem::TooLarge:
        what = pick("Soubor by byl větší, než dovoluje limit velikosti souborů (%1)",
                    "The file would exceed the file-size limit (%1)");
        break;
    case Problem::NoReservation:
        what = pick("Soubor je třeba přepsat na místě a souborový systém pro něj nedokáže předem "
                    "vyhradit místo (%1)",
                    "The file has to be rewritten in place, and the file system cannot reserve "
                    "its new length first (%1)");
        break;
    case Problem::Failed:
        what = pick("Soubor nelze zapsat (%1)", "The file cannot be written (%1)");
    }
    switch (r.old) {
    case OldFile::None:
        return what.arg(error) + pick("; nic nebylo zapsáno.", "; nothing was written.");
    case OldFile::Untouched:
        return what.arg(error)
            + pick("; původní soubor zůstal, jak byl.", "; the old file was left as it is.");
    case OldFile::PutBack:
        return what.arg(error)
            + pick("; původní obsah souboru byl vrácen.", "; the old file was put back.");
    case OldFile::Damaged: break;
    }
    return what.arg(error)
        + pick("; původní obsah souboru se nepodařilo vrátit.",
               "; the old file could not be put back.");
}

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

Message saveFailed(const ScriptFile::Outcome &outcome)
{
    const Wording text{"Nastavení se nepodařilo uložit do souboru\n%1\n\n%2",
                       "The settings could not be saved to\n%1\n\n%2",
                       "The settings could not be saved to\n%1\n\n%2"};
    return {inLanguage(ErrorTitle), inLanguage(text).arg(outcome.path, saveReason(outcome))};
}

QString saved(const QString &path)
{
    return pick("Nastavení bylo uloženo do %1", "The settings were saved to %1").arg(path);
}

QString settingsReset()
{
    return pick("Nastavení bylo vráceno na výchozí hodnoty",
                "The settings were reset to their defaults");
}

QString saveToolTip(const QString &path)
{
    return inLanguage(
               {"Uloží nastavení do %1", "Saves the settings to %1", "Saves the settings to %1"})
        .arg(path);
}

}  // namespace Messages
