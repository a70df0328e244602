#include "composer.h"

#include "script/maker.h"

namespace {

// The fixed lines; nullptr marks a setting line.
const char *const FixedLines[ScriptLineCount] = {
    nullptr,  // 1 name
    nullptr,  // 2 team
    nullptr,  // 3 invmouse
    nullptr,  // 4 sensitivity
    nullptr,  // 5 fov
    nullptr,  // 6 musicvol
    nullptr,  // 7 soundvol
    nullptr,  // 8 fpsrange
    "minlod 100",
    "dynlight 16",
    nullptr,  // 11 gamma
    "bind F6 showmip",
    "bind F5 toggleocull",
    "bind F8 \"savegame RychleUlozeni\"",
    "bind F9 \"loadgame RychleUlozeni\"",
    nullptr,  // 16 forward
    nullptr,  // 17 backward
    nullptr,  // 18 left
    nullptr,  // 19 right
    "hudgun 1",
    "alias sp    [ mode -2; map $arg1 ]",
    "alias dmsp  [ mode -1; map $arg1 ]",
    "alias ffa   [ mode  0; map $arg1 ]",
    "alias insta [ mode  4; map $arg1 ]",
    "alias modifier 0",
    "alias domodifier [ alias modifier $arg1; onrelease [ alias modifier 0 ] ]",
    "bind Q [ domodifier 1 ]",
    "bind Z [ domodifier 2 ]",
    "bind X [ domodifier 3 ]",
    "alias universaldelta [",
    "  if $editing [ alias s \"edit\" ] [ alias s \"game\" ]",
    "  concatword delta _ $s _ $modifier",
    "  s",
    "]",
    "",
    "bind MOUSE4 [ universaldelta  1 ]",
    "bind MOUSE5 [ universaldelta -1 ]",
    "",
    "alias delta_edit_0 [ editheight $flrceil $arg1 ]",
    "alias delta_edit_1 [ if $flrceil [ vdelta $arg1 ] [ vdelta (- 0 $arg1) ] ]",
    "alias delta_edit_2 [ edittex $flrceil $arg1 ]",
    "alias delta_edit_3 [ edittex (+ $flrceil 1) $arg1 ]",
    "alias delta_edit_4 [ equalize $flrceil ]",
    "alias delta_edit_5 [ entproperty 0 $arg1 ]",
    "",
    "alias delta_game_0 [ if (= $arg1 1) [ weapon 2 3 1 ] [ weapon 4 1 2 ] ]",
    "",
    "alias zfov 120",
    "alias delta_game_1 [",
    "  alias zfov (+ $zfov (* $arg1 (div $zfov -5)))",
    "  if (< $zfov 10)  [ alias zfov 10 ]",
    "  if (> $zfov 120) [ alias zfov 120 ]",
    "  fov $zfov",
    "]",
    "",
    "",
    nullptr,  // 57 program comment (holds a non-ASCII letter)
    nullptr,  // 58 maker's address
    nullptr,  // 59 copyright
};

const char *const KeyActions[4] = {" forward", " backward", " left", " right"};
constexpr int KeyLines[4] = {16, 17, 18, 19};

QString &at(ScriptLines &l, int lineNumber)
{
    return l.line[size_t(lineNumber - 1)];
}

}  // namespace

ScriptLines::ScriptLines()
{
    for (int i = 0; i < ScriptLineCount; ++i)
        if (FixedLines[i])
            line[size_t(i)] = QString::fromLatin1(FixedLines[i]);
    at(*this, 57) = QStringLiteral(
        u"//Vytvořeno v programu : Quorrel - setup;;; Create in program : Quorrel - setup");
    at(*this, 58) = QStringLiteral("//Jdi na ") + QLatin1String(Maker::WebText)
        + QStringLiteral(";;; Go to ") + QLatin1String(Maker::WebText);
    at(*this, 59) = QStringLiteral("// ") + Maker::copyright() + QStringLiteral(";;; FREEWARE");
    formSettingLines(ScriptSettings(), *this);
}

void formSettingLines(const ScriptSettings &s, ScriptLines &l)
{
    const QChar quote(u'"');
    at(l, 1) = QStringLiteral("name ") + quote + singleLine(s.name) + quote;
    at(l, 2) = QStringLiteral("team ") + quote + singleLine(s.team) + quote;
    at(l, 3) = s.invertMouse ? QStringLiteral("invmouse 1") : QStringLiteral("invmouse 0");
    for (const GameBar &g : GameBars)
        at(l, g.line) = QLatin1String(g.keyword)
            + QString::number(gameValue(g, s.bars[size_t(g.bar)]));
    const int option = qBound(0, s.fpsOption, int(FpsPresets.size()) - 1);
    at(l, 8) = QStringLiteral("fpsrange ") + QLatin1String(FpsPresets[size_t(option)]);
    for (int k = 0; k < 4; ++k)
        at(l, KeyLines[k]) = QStringLiteral("bind ") + singleLine(s.keys[size_t(k)])
            + QLatin1String(KeyActions[k]);
}

const QString &ComposeScript(ScriptLines &l)
{
    qsizetype size = 2 * (ScriptLineCount - 1);
    for (const QString &s : l.line)
        size += s.size();
    QString text;
    text.reserve(size);
    for (int i = 0; i < ScriptLineCount; ++i) {
        if (i)
            text += QLatin1String("\r\n");
        text += l.line[size_t(i)];
    }
    l.text = std::move(text);
    return l.text;
}

QString scriptFor(const ScriptSettings &s)
{
    ScriptLines l;
    formSettingLines(s, l);
    return ComposeScript(l);
}
