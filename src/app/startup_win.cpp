#include "startup.h"

#include "script/maker.h"

#include <cstdio>
#include <string>
#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

namespace Startup {

const char WindowlessPlatform[] = "windows";

namespace {

bool isOpen(HANDLE h)
{
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

// A Windows program has no console of its own: the handle it was given (a
// pipe, a file), else the console of the command prompt it was started from.
HANDLE userHandle(bool error)
{
    const HANDLE given = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (isOpen(given))
        return given;
    static const HANDLE console = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return INVALID_HANDLE_VALUE;
        std::freopen("CONOUT$", "w", stdout);  // for what Qt prints itself
        std::freopen("CONOUT$", "w", stderr);
        return CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }();
    return console;
}

}  // namespace

QList<QByteArray> arguments(int, char **)
{
    QList<QByteArray> args;
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return args;
    for (int i = 0; i < count; ++i)
        args << QString::fromWCharArray(wide[i]).toUtf8();
    LocalFree(wide);
    return args;
}

QString decode(const QByteArray &argument)
{
    return QString::fromUtf8(argument);
}

void print(const QString &text, bool error)
{
    const HANDLE h = userHandle(error);
    DWORD mode = 0, written = 0;
    if (isOpen(h) && GetConsoleMode(h, &mode)) {
        const std::wstring wide = text.toStdWString();
        WriteConsoleW(h, wide.c_str(), DWORD(wide.size()), &written, nullptr);
    } else if (isOpen(h)) {
        const QByteArray bytes = text.toUtf8();
        WriteFile(h, bytes.constData(), DWORD(bytes.size()), &written, nullptr);
    } else {
        const std::wstring title = QString::fromLatin1(Program::Command).toStdWString();
        MessageBoxW(nullptr, text.trimmed().toStdWString().c_str(), title.c_str(),
                    MB_OK | MB_SETFOREGROUND | (error ? MB_ICONERROR : MB_ICONINFORMATION));
    }
}

void connectStreams()
{
    userHandle(false);
}

bool displayFound()
{
    return true;
}

}  // namespace Startup
