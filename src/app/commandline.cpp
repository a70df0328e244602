#include "commandline.h"

#include "script/scriptfile.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace CommandLine {

namespace {

constexpr int BadGameFolder = 2;

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Edits the settings of the game Quorrel and saves them as autoexec.cfg "
                       "in the game's folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("GAME_DIR"),
        QStringLiteral("The game's folder, where Save writes autoexec.cfg (default: the current "
                       "folder)."),
        QStringLiteral("[GAME_DIR]"));
}

QStringList arguments(int argc, char **argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

// The positional arguments as the system gave them: names that are not UTF-8
// must not go through QString on their way to open().
QList<QByteArray> positionalBytes(int argc, char **argv)
{
    QList<QByteArray> bytes;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (!optionsEnded && arg == "--")
            optionsEnded = true;
        else if (optionsEnded || !arg.startsWith('-') || arg == "-")
            bytes << arg;
    }
    return bytes;
}

}  // namespace

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral(QUORREL_DESKTOP_ID));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORREL_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORREL_DESKTOP_ID));
}

std::optional<int> answerAtOnce(int argc, char **argv)
{
    QCommandLineParser parser;
    describe(parser);
    parser.parse(arguments(argc, argv));  // Qt's own options are not known here yet
    const bool version = parser.isSet(QStringLiteral("version"));
    if (!version && !parser.isSet(QStringLiteral("help")))
        return std::nullopt;
    QCoreApplication app(argc, argv);
    nameApplication();
    if (version)
        parser.showVersion();
    parser.showHelp(0);
}

std::optional<int> openGameFolder(int argc, char **argv, ScriptFile::Folder *folder)
{
    QCommandLineParser parser;
    describe(parser);
    parser.process(arguments(argc, argv));  // ends the program on a bad option
    const QList<QByteArray> positional = positionalBytes(argc, argv);
    if (positional.size() > 1) {
        std::fprintf(stderr, "%s: only one GAME_DIR may be given\n", QUORREL_DESKTOP_ID);
        return EXIT_FAILURE;
    }
    if (positional.isEmpty())
        return std::nullopt;
    ScriptFile::Folder game(positional.first());
    const int e = game.error();
    if (!e) {
        *folder = std::move(game);
        return std::nullopt;
    }
    const QString why = e == ENOENT ? QStringLiteral("no such folder")
        : e == ENOTDIR              ? QStringLiteral("not a folder")
                                    : QString::fromLocal8Bit(std::strerror(e));
    std::fprintf(stderr, "%s: GAME_DIR '%s': %s\n", QUORREL_DESKTOP_ID,
                 qPrintable(QFile::decodeName(positional.first())), qPrintable(why));
    return BadGameFolder;
}

}  // namespace CommandLine
