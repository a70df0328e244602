#pragma once

#include <QString>
#include <array>

// State of the thirteen settings controls of the main window, read on every tick.
// A default-constructed value is the start state, which Reset restores.
struct ScriptSettings {
    QString name = QStringLiteral("...");  // Text2
    QString team = QStringLiteral("...");  // Text3
    std::array<QString, 4> keys{QStringLiteral("W"), QStringLiteral("S"), QStringLiteral("A"),
                                QStringLiteral("D")};    // Text4..Text7
    bool invertMouse = false;                            // Check1
    std::array<qint16, 5> bars{105, 105, 997, 30, 200};  // VScroll1..VScroll5
    int fpsOption = 3;                                   // Option1..Option5 as 0..4
};

// The longest text a name or key field holds (the line edit's own limit).
inline constexpr int MaxFieldLength = 32767;

// One game value: a constant minus one bar's position.
struct GameBar {
    int bar;          // index into ScriptSettings::bars
    qint16 constant;  // game value = constant - position
    const char *keyword;
    int line;  // script line, 1-based
};

// In the order the tick reads them: VScroll3, VScroll4, VScroll1, VScroll2, VScroll5.
extern const std::array<GameBar, 5> GameBars;

// fps pairs of Option1..Option5.
extern const std::array<const char *, 5> FpsPresets;

qint16 gameValue(const GameBar &g, qint16 position);

// A field's text as it may stand inside one script line: characters that would
// start a new line in the file or in the preview become spaces.
QString singleLine(const QString &text);
