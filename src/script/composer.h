#pragma once

#include "scriptsettings.h"

#include <QString>
#include <array>

inline constexpr int ScriptLineCount = 59;

// The longest line a script can hold: a name line with the longest name.
inline constexpr int LongestScriptLine = MaxFieldLength + int(sizeof("name \"\"")) - 1;

// One string per script line (empty lines stay empty) and the assembled text.
struct ScriptLines {
    ScriptLines();  // constant lines filled, setting lines from the default settings
    std::array<QString, ScriptLineCount> line;
    QString text;
};

// Writes the thirteen setting lines of `s` into `lines`.
void formSettingLines(const ScriptSettings &s, ScriptLines &lines);

// Joins the lines with CR LF (none after the last), stores and returns the text.
const QString &ComposeScript(ScriptLines &lines);

// The whole script for the given settings.
QString scriptFor(const ScriptSettings &s);
