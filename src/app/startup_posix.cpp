#include "startup.h"

#include <QFile>
#include <cstdio>

namespace Startup {

const char WindowlessPlatform[] = "offscreen";

QList<QByteArray> arguments(int argc, char **argv)
{
    QList<QByteArray> args;
    for (int i = 0; i < argc; ++i)
        args << argv[i];
    return args;
}

QString decode(const QByteArray &argument)
{
    return QFile::decodeName(argument);
}

void print(const QString &text, bool error)
{
    std::fputs(text.toLocal8Bit().constData(), error ? stderr : stdout);
}

void connectStreams()
{
}

bool displayFound()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace Startup
