#include "scriptfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

namespace ScriptFile {

QString fileName()
{
    return QStringLiteral("autoexec") + QStringLiteral(".cfg");
}

namespace {

// The last working directory seen, to name the file when the directory is gone.
QString &lastDirectory()
{
    static QString dir;
    return dir;
}

QString currentDirectory()
{
    const QString dir = QDir::currentPath();
    if (!dir.isEmpty())
        lastDirectory() = dir;
    return dir;
}

constexpr char Substitute = '\x1a';  // what the converter writes for an unmappable character

QByteArray encodeEach(QStringView text)
{
    // Slow path for texts that hold U+001A themselves: convert one code point at a time
    // so that a real SUB character stays apart from the converter's substitutes.
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = (text[i].isHighSurrogate() && i + 1 < text.size()
                             && text[i + 1].isLowSurrogate()) ? 2 : 1;
        if (text[i] == QChar(0x1a)) {
            out += Substitute;
        } else {
            QStringEncoder enc("windows-1250");
            const QByteArray b = enc.encode(text.mid(i, n));
            out += (b.size() == 1 && b[0] != Substitute) ? b[0] : '?';
        }
        i += n;
    }
    return out;
}

} // namespace

QString targetPath()
{
    const QString dir = currentDirectory();
    const QString known = dir.isEmpty() ? lastDirectory() : dir;
    return known.isEmpty() ? fileName() : QDir(known).absoluteFilePath(fileName());
}

QByteArray encode(QStringView text)
{
    if (text.contains(QChar(0x1a)))
        return encodeEach(text);
    QStringEncoder enc("windows-1250");
    QByteArray out = enc.encode(text);
    out.replace(Substitute, '?');
    return out;
}

Outcome save(QStringView text)
{
    Outcome r;
    r.path = targetPath();
    const QString dir = currentDirectory();
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        // A relative name would otherwise resolve against a folder that is gone.
        r.reason = QStringLiteral("The current folder no longer exists.");
        return r;
    }

    const QByteArray bytes = encode(text);
    QSaveFile file(r.path);
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a short write shows here and not in a flush whose
    // failure commit() would not report.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        r.reason = file.errorString();
        return r;
    }
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            r.reason = file.errorString();
            file.cancelWriting();
            return r;
        }
        done += n;
    }
    if (!file.commit()) {
        r.reason = file.errorString();
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace ScriptFile
