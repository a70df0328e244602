#pragma once

#include <QString>

// Names and addresses of the game and its maker, shown in the windows and
// written into the script's closing comment lines.
namespace Maker {
inline constexpr char Name[] = "Zelvik Soft";
inline constexpr char GameName[] = "Quorrel";
inline constexpr char Author[] = "Ondřej Vymyšlený, ondrej@zelviksoft.example";
inline constexpr char WebText[] = "www.zelviksoft.example";
inline constexpr char WebUrl[] = "http://www.zelviksoft.example/";
inline constexpr char GameUrl[] = "http://www.zelviksoft.example/quorrel/";
inline constexpr char LicenceText[] = "www.zelviksoft.example/licence";

// "(c) 2004 Zelvik Soft"
inline QString copyright()
{
    return QStringLiteral("(c) 2004 ") + QLatin1String(Name);
}
}  // namespace Maker
