#include "messages.h"

#include "language.h"

#include <QDir>

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

// A path with the system's own separators (backslashes on Windows).
QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

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

// The cause's own words; empty where the program has none.
QString causeWords(ScriptFile::Cause cause)
{
    using ScriptFile::Cause;
    switch (cause) {
    case Cause::Denied: return pick("přístup odepřen", "permission denied");
    case Cause::ReadOnly:
        return pick("systém souborů je jen pro čtení", "the file system is read-only");
    case Cause::Io: return pick("chyba vstupu/výstupu", "input/output error");
    case Cause::NoSpace: return pick("na disku není místo", "no space left on the disk");
    case Cause::Quota: return pick("disková kvóta je vyčerpána", "the disk quota is used up");
    case Cause::TooLarge: return pick("soubor je příliš velký", "the file is too large");
    case Cause::LinkLoop: return pick("příliš mnoho odkazů za sebou", "too many links in a row");
    case Cause::NameTooLong: return pick("název je příliš dlouhý", "the name is too long");
    case Cause::NotFolder:
        return pick("část cesty není složka", "a part of the path is not a folder");
    case Cause::Missing: return pick("soubor nebo složka neexistuje", "no such file or folder");
    case Cause::Busy: return pick("soubor používá systém", "the system is using the file");
    case Cause::Locked:
        return pick("soubor právě ukládá jiný program", "another program is saving the file");
    case Cause::InUse:
        return pick("soubor má otevřený jiný program", "another program has the file open");
    case Cause::ReadOnlyFile:
        return pick("soubor je označen jen pro čtení", "the file is marked read-only");
    case Cause::Unsupported:
        return pick("souborový systém to nepodporuje", "the file system does not support it");
    case Cause::NoMemory: return pick("nedostatek paměti", "not enough memory");
    case Cause::TooManyOpen: return pick("příliš mnoho otevřených souborů", "too many open files");
    case Cause::None:
    case Cause::Other: break;
    }
    return {};
}

// " (the cause)", or nothing where there are no words for it.
QString inBrackets(ScriptFile::Cause cause)
{
    const QString words = causeWords(cause);
    return words.isEmpty() ? words : QStringLiteral(" (%1)").arg(words);
}

QString saveReason(const ScriptFile::Outcome &r)
{
    using ScriptFile::Cause;
    using ScriptFile::OldFile;
    using ScriptFile::Problem;
    const QString name = ScriptFile::fileName();
    // A file left as it was, named and said why.
    const auto leftAlone = [&name](const char *czech, const char *english) {
        return pick(czech, english).arg(name)
            + pick("; zůstává, jak je, a nic nebylo zapsáno.",
                   "; it was left as it is and nothing was written.");
    };
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
        return leftAlone(
            "%1 patří jinému uživateli, který ho umístil do složky, do níž smí zapisovat "
            "každý",
            "%1 belongs to another user, who placed it in a folder everyone may write to");
    case Problem::SharedLinks:
        return leftAlone(
            "%1 má více názvů a leží ve složce, do níž smí zapisovat každý, kde ho jiný "
            "uživatel mohl propojit s jiným souborem",
            "%1 has more than one name, in a folder everyone may write to, where another "
            "user may have linked it to another file");
    case Problem::KeepsPrivilege:
        return leftAlone(
            "%1 má zvláštní práva (set-user-ID, set-group-ID nebo capabilities), která by "
            "uložení odebralo a nemohlo vrátit",
            "%1 carries special permissions (set-user-ID, set-group-ID or capabilities) "
            "that saving would remove and could not give back");
    case Problem::Unsynced:
    case Problem::FolderUnsynced:
        return (r.problem == Problem::Unsynced
                    ? pick("Soubor byl zapsán, ale systém nepotvrdil, že je na disku",
                           "The file was written, but the system did not confirm that it "
                           "reached the disk")
                    : pick("Soubor je na disku, ale systém nepotvrdil zápis jeho položky ve "
                           "složce",
                           "The file is on the disk, but the system did not confirm its entry "
                           "in the folder"))
            + inBrackets(r.cause)
            + pick(", takže uložení nemusí přežít výpadek napájení.",
                   ", so the save may not survive a power loss.");
    case Problem::NoSpace:
        what = pick("Disk je plný", "The disk is full")
            + (r.cause == Cause::Quota ? inBrackets(r.cause) : QString());
        break;
    case Problem::TooLarge:
        what = pick("Soubor by byl větší, než dovoluje limit velikosti souborů",
                    "The file would exceed the file-size limit");
        break;
    case Problem::NoReservation:
        what = pick("Soubor je třeba přepsat na místě a souborový systém pro něj nedokáže předem "
                    "vyhradit místo",
                    "The file has to be rewritten in place, and the file system cannot reserve "
                    "its new length first");
        break;
    case Problem::CannotKeepOld:
        what = pick("Soubor je třeba přepsat na místě a jeho původní obsah nelze mezitím uschovat",
                    "The file has to be rewritten in place, and its old bytes cannot be kept "
                    "meanwhile")
            + inBrackets(r.cause);
        break;
    case Problem::Failed:
        what = pick("Soubor nelze zapsat", "The file cannot be written") + inBrackets(r.cause);
    }
    switch (r.old) {
    case OldFile::None: return what + pick("; nic nebylo zapsáno.", "; nothing was written.");
    case OldFile::Untouched:
        return what
            + pick("; původní soubor zůstal, jak byl.", "; the old file was left as it is.");
    case OldFile::PutBack:
        return what + pick("; původní obsah souboru byl vrácen.", "; the old file was put back.");
    case OldFile::PutBackUnsynced:
        return what
            + pick("; původní obsah souboru byl vrácen, ale systém nepotvrdil, že je na disku.",
                   "; the old file was put back, but the system did not confirm that it reached "
                   "the disk.");
    case OldFile::Damaged: break;
    }
    return what
        + pick("; původní obsah souboru se zatím nepodařilo vrátit, zkusí to příští spuštění "
               "programu.",
               "; the old file could not be put back yet; the next start of the program will try "
               "again.");
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
    // The new text is there where only the confirmation is missing.
    const bool saved = outcome.problem == ScriptFile::Problem::Unsynced
        || outcome.problem == ScriptFile::Problem::FolderUnsynced;
    const QString head = saved ? pick("Nastavení bylo uloženo do souboru\n%1\n\n%2",
                                      "The settings were saved to\n%1\n\n%2")
                               : pick("Nastavení se nepodařilo uložit do souboru\n%1\n\n%2",
                                      "The settings could not be saved to\n%1\n\n%2");
    return {inLanguage(ErrorTitle), head.arg(native(outcome.path), saveReason(outcome))};
}

std::optional<Message> recovered(const ScriptFile::Recovery &r)
{
    using ScriptFile::Recovery;
    if (r.what == Recovery::Nothing)
        return std::nullopt;
    const QString text = r.what == Recovery::PutBack
        ? pick("Předchozí uložení souboru\n%1\nbylo přerušeno; původní obsah souboru byl vrácen.",
               "An earlier save of\n%1\nwas interrupted; the old file was put back.")
        : pick("Předchozí uložení souboru\n%1\nbylo přerušeno a původní obsah souboru se "
               "nepodařilo vrátit%2; zkusí to příští spuštění programu.",
               "An earlier save of\n%1\nwas interrupted, and the old file could not be put "
               "back%2; the next start of the program will try again.")
              .arg(QStringLiteral("%1"), inBrackets(r.cause));
    return Message{inLanguage({"Upozornění", "Warning", "Warning"}), text.arg(native(r.path))};
}

QString cause(ScriptFile::Cause cause)
{
    return causeWords(cause);
}

QString saved(const QString &path)
{
    return pick("Nastavení bylo uloženo do %1", "The settings were saved to %1").arg(native(path));
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
        .arg(native(path));
}

}  // namespace Messages
