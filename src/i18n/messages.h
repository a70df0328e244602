#pragma once

#include "script/scriptfile.h"

#include <QString>
#include <optional>

// A text in both languages, and what stands before a language is chosen
// (null: nothing).
struct Wording {
    const char *czech;
    const char *english;
    const char *unchosen;
};

// The wording for the current language, `unchosen` before one is chosen. A null QString means
// nothing is shown.
QString inLanguage(const Wording &w);

// Every message the program shows, in the current language.
namespace Messages {

struct Message {
    QString title;
    QString text;
};

// A key field that did not hold exactly one character was put back.
Message keyRepaired();

// The help command's text; none before a language is chosen.
std::optional<Message> help();

// Why a save failed and what became of the old file, with the system's reason
// where it adds something; every word in the chosen language.
Message saveFailed(const ScriptFile::Outcome &outcome);

// What a screen reader says after a save succeeded, and after Reset.
QString saved(const QString &path);
QString settingsReset();

// What the start found of a save that ended half-way; none when nothing.
std::optional<Message> recovered(const ScriptFile::Recovery &recovery);

// The system's reason in words of the chosen language; empty where there are none.
QString cause(ScriptFile::Cause cause);

// The Save button's and menu item's tooltip.
QString saveToolTip(const QString &path);

}  // namespace Messages
