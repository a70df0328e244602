#include "scriptsettings.h"

#include <algorithm>

const std::array<GameBar, 5> GameBars{{
    {2, 1000, "sensitivity ", 4},
    {3, 120, "fov ", 5},
    {0, 255, "musicvol ", 6},
    {1, 255, "soundvol ", 7},
    {4, 300, "gamma ", 11},
}};

const std::array<const char *, 5> FpsPresets{"8 10", "20 25", "30 40", "50 50", "100 1000"};

qint16 gameValue(const GameBar &g, qint16 position)
{
    return qint16(g.constant - position);
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
    const auto it = std::find_if(text.cbegin(), text.cend(),
                                 [](QChar c) { return breaksLine(c.unicode()); });
    if (it == text.cend())
        return text;
    QString out = text;
    for (QChar &c : out)
        if (breaksLine(c.unicode()))
            c = u' ';
    return out;
}
