#include "scriptfile.h"

#include "nativefile.h"

#include <QDir>
#include <QFile>
#include <utility>

namespace ScriptFile {

namespace {

// Windows-1250's bytes 0x80 to 0xFF, as the code page maps them; 0 where it
// defines none (0x81, 0x83, 0x88, 0x90, 0x98). Below 0x80 it is ASCII.
// clang-format off
constexpr char16_t Upper[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
// clang-format on

// A name in the system's own bytes as text: on Windows, whose names are UTF-16,
// the bytes between the program's layers are UTF-8 (its ANSI code page would
// lose letters).
QString decodeName(const QByteArray &name)
{
#ifdef Q_OS_WIN
    return QString::fromUtf8(name);
#else
    return QFile::decodeName(name);
#endif
}

char byteFor(char16_t c)
{
    if (c < 0x80)
        return char(c);
    for (int i = 0; i < 128; ++i)
        if (Upper[i] == c)
            return char(0x80 + i);
    return '?';  // also for a surrogate, alone or in a pair
}

}  // namespace

QString fileName()
{
    return QStringLiteral("autoexec") + QStringLiteral(".cfg");
}

QByteArray encode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += byteFor(text[i].unicode());
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;  // one character, one byte
    }
    return out;
}

Folder Folder::current()
{
    return Folder(nullptr);
}

Folder::Folder(const QByteArray &path) : Folder(path.constData())
{
}

Folder::Folder(const char *path) : m_error(NativeFile::openFolder(path, &m_handle))
{
}

Folder::Folder(Folder &&other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_error(other.m_error)
{
}

Folder &Folder::operator=(Folder &&other) noexcept
{
    std::swap(m_handle, other.m_handle);
    std::swap(m_error, other.m_error);
    return *this;
}

Folder::~Folder()
{
    if (m_handle >= 0)
        NativeFile::closeFolder(m_handle);
}

QString Folder::displayPath() const
{
    // Asked of the open folder each time: a renamed folder is named as it is now.
    const QByteArray where = m_error == Cause::None ? NativeFile::folderPath(m_handle)
                                                    : QByteArray();
    return where.isEmpty() ? fileName()
                           : QDir::cleanPath(decodeName(where) + QLatin1Char('/') + fileName());
}

Outcome save(const Folder &folder, QStringView text)
{
    Outcome r;
    if (folder.error() != Cause::None) {
        r.problem = folder.error() == Cause::Missing ? Problem::FolderGone : Problem::Failed;
        r.cause = folder.error();
    } else {
        r = NativeFile::replace(folder.handle(), QFile::encodeName(fileName()).constData(),
                                encode(text));
    }
    if (r.path.isEmpty())
        r.path = folder.displayPath();
    return r;
}

Recovery recover(const Folder &folder)
{
    if (folder.error() != Cause::None)
        return {};
    return NativeFile::recover(folder.handle(), QFile::encodeName(fileName()).constData());
}

}  // namespace ScriptFile
