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

QString targetPath()
{
    const QString dir = QDir::currentPath();
    return dir.isEmpty() ? fileName() : QDir(dir).absoluteFilePath(fileName());
}

namespace {

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
    const QString dir = QDir::currentPath();
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        // A relative name would otherwise resolve against a folder that is gone.
        r.path = dir.isEmpty() ? fileName() : QDir(dir).absoluteFilePath(fileName());
        r.reason = QStringLiteral("The current folder no longer exists.");
        return r;
    }
    r.path = QDir(dir).absoluteFilePath(fileName());

    const QByteArray bytes = encode(text);
    QSaveFile file(r.path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        r.reason = file.errorString();
        return r;
    }
    if (file.write(bytes) != bytes.size()) {
        r.reason = file.errorString();
        file.cancelWriting();
        return r;
    }
    if (!file.commit()) {
        r.reason = file.errorString();
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace ScriptFile
