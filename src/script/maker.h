#pragma once

// Names and addresses of the game and its maker, shown in the windows and
// written into the script's closing comment lines.
namespace Maker {
inline constexpr char WebText[] = "www.zelviksoft.example";
inline constexpr char WebUrl[] = "http://www.zelviksoft.example/";
inline constexpr char GameUrl[] = "http://www.zelviksoft.example/quorrel/";
inline constexpr char LicenceText[] = "www.zelviksoft.example/licence";
inline constexpr char Copyright[] = "(c) 2004 Zelvik Soft";
}
