#include "scriptsettings.h"

const std::array<GameBar, 5> GameBars{{
    {3, 1000, 1, 1000, "sensitivity ", 4},
    {4, 120, 0, 110, "fov ", 5},
    {1, 255, 0, 255, "musicvol ", 6},
    {2, 255, 0, 255, "soundvol ", 7},
    {5, 300, 0, 270, "gamma ", 11},
}};

const std::array<const char *, 5> FpsPresets{"8 10", "20 25", "30 40", "50 50", "100 1000"};

qint16 gameValue(const GameBar &g, qint16 position)
{
    return qint16(g.constant - position);
}

static bool sameText(const QString &a, const QString &b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

bool ScriptSettings::operator==(const ScriptSettings &o) const
{
    if (invertMouse != o.invertMouse || bars != o.bars || fpsOption != o.fpsOption)
        return false;
    if (!sameText(name, o.name) || !sameText(team, o.team))
        return false;
    for (size_t i = 0; i < keys.size(); ++i)
        if (!sameText(keys[i], o.keys[i]))
            return false;
    return true;
}

static bool breaksLine(char16_t c)
{
    // C0 controls but tab, NEL, the Unicode line and paragraph separators, and the
    // two frame markers that the preview's document turns into new blocks.
    return (c < 0x20 && c != u'\t') || c == 0x85 || c == 0x2028 || c == 0x2029 || c == 0xFDD0
        || c == 0xFDD1;
}

QString singleLine(const QString &text)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && !breaksLine(p[i]))
        ++i;
    if (i == n)
        return text;
    QString out = text;
    for (QChar &c : out)
        if (breaksLine(c.unicode()))
            c = u' ';
    return out;
}
