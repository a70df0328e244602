#include "commandline.h"

#include "i18n/messages.h"
#include "script/maker.h"
#include "script/scriptfile.h"
#include "startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace CommandLine {

namespace {

constexpr int Failure = 1;
constexpr int BadGameFolder = 2;

// Qt's own options, which QApplication takes out of argv (those of Qt 6's
// QGuiApplication, QApplication and xcb plugin), with one dash or two. The
// value options take the next argument, the joined ones also -style=NAME.
constexpr char QtValueOptions[] =
    "platform platformpluginpath platformtheme plugin qwindowgeometry geometry qwindowicon icon "
    "qwindowtitle title session display name visual style stylesheet qmljsdebugger";
constexpr char QtJoinedOptions[] = "style stylesheet qmljsdebugger";
constexpr char QtFlags[] = "reverse widgetcount nograb dograb testability";

bool among(const QByteArray &name, const char *names)
{
    return QByteArray(names).split(' ').contains(name);
}

void say(const QString &line)
{
    Startup::print(QLatin1String(Program::Command) + QLatin1String(": ") + line + u'\n', true);
}

int refuse(const QString &why)
{
    Startup::print(QLatin1String(Program::Command) + QLatin1String(": ") + why
                       + QStringLiteral("\nTry '%1 --help' for more information.\n")
                             .arg(QLatin1String(Program::Command)),
                   true);
    return Failure;
}

void nameApplication()
{
    QCoreApplication::setApplicationName(QLatin1String(Program::Command));
    QCoreApplication::setApplicationVersion(QLatin1String(Program::Version));
    QGuiApplication::setDesktopFileName(QLatin1String(Program::DesktopId));
}

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

// The command line without Qt's options, for QCommandLineParser, and the
// GAME_DIRs as the system gave them: names that are not UTF-8 must not go
// through QString on their way to the file system.
struct Parsed {
    QStringList arguments;
    QList<QByteArray> gameDirs;
    QByteArray platform;        // -platform NAME
    bool displayNamed = false;  // -display NAME
    QString error;
};

Parsed split(const QList<QByteArray> &argv, QtArguments *qt)
{
    Parsed p;
    const qsizetype argc = argv.size();
    p.arguments << Startup::decode(argv.value(0));
    qt->bytes = {argv.value(0)};
    for (qsizetype i = 1; i < argc; ++i) {
        const QByteArray &arg = argv[i];
        if (arg == "--") {  // the rest is the program's, even what looks like Qt's
            for (qsizetype j = i; j < argc; ++j)
                p.arguments << Startup::decode(argv[j]);
            for (qsizetype j = i + 1; j < argc; ++j)
                p.gameDirs << argv[j];
            break;
        }
        const QByteArray name = arg.mid(arg.startsWith("--") ? 2 : 1);
        const qsizetype equals = name.indexOf('=');
        if (arg.startsWith('-') && equals < 0 && among(name, QtValueOptions)) {
            if (i + 1 == argc || argv[i + 1] == "--") {
                p.error = QStringLiteral("Missing value after '%1'.").arg(Startup::decode(arg));
                return p;
            }
            qt->bytes << arg << argv[++i];
            if (name == "platform")
                p.platform = argv[i];
            p.displayNamed = p.displayNamed || name == "display";
        } else if (arg.startsWith('-')
                   && (equals < 0 ? among(name, QtFlags)
                                  : among(name.left(equals), QtJoinedOptions))) {
            qt->bytes << arg;
        } else {
            p.arguments << Startup::decode(arg);
            if (!arg.startsWith('-') || arg == "-")
                p.gameDirs << arg;
        }
    }
    return p;
}

// Whether Qt will find a window system: a display for xcb or Wayland, or a
// platform that needs none (offscreen, vnc, eglfs ...).
bool windowSystemFound(const Parsed &p)
{
    const QByteArray platforms = p.platform.isEmpty() ? qgetenv("QT_QPA_PLATFORM") : p.platform;
    for (const QByteArray &platform : platforms.split(';')) {
        const QByteArray name = platform.split(':').first();
        if (!name.isEmpty() && name != "xcb" && !name.startsWith("wayland"))
            return true;
    }
    return p.displayNamed || Startup::displayFound();
}

void printVersion()
{
    Startup::print(QStringLiteral("%1 %2\nCopyright (C) %3 %4\n"
                                  "Freeware under the MIT licence <%5>; there is NO WARRANTY.\n")
                       .arg(QLatin1String(Program::Command), QLatin1String(Program::Version),
                            QLatin1String(Maker::Year), QString::fromUtf8(Maker::Name),
                            QLatin1String(Maker::LicenceUrl)),
                   false);
}

int showHelp(QCommandLineParser &parser, QByteArray argv0, bool withQt)
{
    // Qt lists its own options once a QGuiApplication runs, which this platform
    // does without a display.
    QByteArray platform("-platform"), windowless(Startup::WindowlessPlatform);
    char *args[] = {argv0.data(), platform.data(), windowless.data(), nullptr};
    int argc = withQt ? 3 : 1;
    std::unique_ptr<QCoreApplication> app;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    if (withQt)
        app = std::make_unique<QApplication>(argc, args);
    else
        app = std::make_unique<QCoreApplication>(argc, args);
    nameApplication();
    if (withQt) {  // prints and ends the program
        Startup::connectStreams();
        parser.process(QStringList{Startup::decode(argv0), QStringLiteral("--help-all")});
    }
    Startup::print(parser.helpText(), false);
    return EXIT_SUCCESS;
}

QtMessageHandler qtHandler = nullptr;

// A fatal message while QApplication starts (no platform plugin could start: a
// display that cannot be reached, a platform that does not exist) ends the
// program with Qt's own words and status 1, instead of Qt's abort.
void fatalAsFailure(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        qtHandler(type, context, message);
        return;
    }
    say(message.trimmed());
    std::fflush(stderr);
    std::_Exit(Failure);
}

}  // namespace

std::optional<int> read(int argc, char **argv, QtArguments *forQt,
                        std::optional<ScriptFile::Folder> *gameDir)
{
    const QList<QByteArray> args = Startup::arguments(argc, argv);
    Parsed p = split(args, forQt);
    QCommandLineParser parser;
    describe(parser);
    if (p.error.isEmpty() && !parser.parse(p.arguments))
        p.error = parser.errorText();
    if (!p.error.isEmpty())
        return refuse(p.error);
    if (parser.isSet(QStringLiteral("help-all")) || parser.isSet(QStringLiteral("help")))
        return showHelp(parser, args.value(0), parser.isSet(QStringLiteral("help-all")));
    if (parser.isSet(QStringLiteral("version"))) {
        printVersion();
        return EXIT_SUCCESS;
    }
    if (p.gameDirs.size() > 1)
        return refuse(QStringLiteral("only one GAME_DIR may be given"));
    if (!p.gameDirs.isEmpty()) {
        ScriptFile::Folder game(p.gameDirs.first());
        if (const ScriptFile::Cause e = game.error(); e != ScriptFile::Cause::None) {
            using ScriptFile::Cause;
            const QString words = Messages::cause(e);
            const QString why = e == Cause::Missing ? QStringLiteral("no such folder")
                : e == Cause::NotFolder             ? QStringLiteral("not a folder")
                : words.isEmpty()                   ? QStringLiteral("cannot be opened")
                                                    : words;
            say(QStringLiteral("GAME_DIR '%1': %2").arg(Startup::decode(p.gameDirs.first()), why));
            return BadGameFolder;
        }
        *gameDir = std::move(game);
    }
    if (!windowSystemFound(p)) {
        say(QStringLiteral("a graphical session is needed, but neither DISPLAY nor WAYLAND_DISPLAY "
                           "is set"));
        return Failure;
    }
    forQt->argc = int(forQt->bytes.size());
    forQt->argv.clear();
    for (QByteArray &arg : forQt->bytes)
        forQt->argv << arg.data();
    forQt->argv << nullptr;
    return std::nullopt;
}

std::unique_ptr<QApplication> startWindowSystem(QtArguments *args)
{
    qtHandler = qInstallMessageHandler(fatalAsFailure);
    auto app = std::make_unique<QApplication>(args->argc, args->argv.data());
    qInstallMessageHandler(qtHandler);
    nameApplication();
    return app;
}

}  // namespace CommandLine
