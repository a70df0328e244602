#include "scriptfile.h"

#include "nativefile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringEncoder>

namespace ScriptFile {

namespace {

constexpr char Substitute = '\x1a';  // what the converter writes for an unmappable character

// Code points in the text: a surrogate pair counts once, so does a lone surrogate.
qsizetype codePoints(QStringView text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++n)
        i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                              : 1;
    return n;
}

// One code point at a time, each asked of the converter once: for texts where the
// converter dropped characters or that hold a SUB of their own, which the whole
// text's conversion cannot tell from a substitute.
QByteArray encodeEach(QStringView text, QStringEncoder &encoder)
{
    QByteArray out;
    out.reserve(text.size());
    QHash<char32_t, char> known;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size()
            && text[i + 1].isLowSurrogate();
        const qsizetype n = pair ? 2 : 1;
        const char32_t c = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        char byte = '?';  // also for a lone surrogate
        if (c < 0x80) {
            byte = char(c);
        } else if (!QChar::isSurrogate(c)) {
            auto it = known.constFind(c);
            if (it == known.cend()) {
                encoder.resetState();
                const QByteArray b = encoder.encode(text.sliced(i, n));
                it = known.insert(c, b.size() == 1 && b[0] != Substitute ? b[0] : '?');
            }
            byte = *it;
        }
        out += byte;
        i += n;
    }
    return out;
}

QString kindName(NativeFile::Kind kind)
{
    switch (kind) {
    case NativeFile::Kind::Folder: return QStringLiteral("a folder");
    case NativeFile::Kind::Fifo: return QStringLiteral("a FIFO");
    case NativeFile::Kind::Socket: return QStringLiteral("a socket");
    case NativeFile::Kind::CharDevice: return QStringLiteral("a character device");
    case NativeFile::Kind::BlockDevice: return QStringLiteral("a block device");
    default: return QStringLiteral("a special file");
    }
}

QString reasonFor(const NativeFile::Result &r)
{
    using NativeFile::Status;
    switch (r.status) {
    case Status::Written: return {};
    case Status::FolderGone: return QStringLiteral("The folder no longer exists.");
    case Status::NotRegular:
        return QStringLiteral("%1 %2 %3, not a regular file; it was left as it is.")
            .arg(fileName(), r.viaLink ? QStringLiteral("links to") : QStringLiteral("is"),
                 kindName(r.kind));
    case Status::LinkRefused:
        return QStringLiteral(
                   "%1 is a link that another user placed in a folder everyone may write to; "
                   "it was not followed and nothing was written.")
            .arg(fileName());
    case Status::Unsynced:
        return QStringLiteral("The file was written, but its folder could not be synced (%1), "
                              "so the save may not survive a power loss.")
            .arg(r.error);
    default: break;
    }
    QString what;
    if (r.status == Status::NoSpace)
        what = QStringLiteral("The disk is full (%1)");
    else if (r.status == Status::TooLarge)
        what = QStringLiteral("The file would exceed the file-size limit (%1)");
    else if (r.status == Status::NoReservation)
        what = QStringLiteral("The file has to be rewritten in place, and the file system cannot "
                              "reserve its new length first (%1)");
    else
        what = QStringLiteral("The file cannot be written (%1)");
    switch (r.old) {
    case NativeFile::OldFile::None:
        return what.arg(r.error) + QStringLiteral("; nothing was written.");
    case NativeFile::OldFile::Untouched:
        return what.arg(r.error) + QStringLiteral("; the old file was left as it is.");
    case NativeFile::OldFile::PutBack:
        return what.arg(r.error) + QStringLiteral("; the old file was put back.");
    case NativeFile::OldFile::Damaged: break;
    }
    return what.arg(r.error) + QStringLiteral("; the old file could not be put back.");
}

}  // namespace

QString fileName()
{
    return QStringLiteral("autoexec") + QStringLiteral(".cfg");
}

QString displayPath()
{
    const QByteArray dir = NativeFile::workingFolder();
    return dir.isEmpty() ? fileName() : QDir(QFile::decodeName(dir)).filePath(fileName());
}

bool encode(QStringView text, QByteArray *out, const char *codePage)
{
    QStringEncoder encoder(codePage);
    if (!encoder.isValid())
        return false;
    QByteArray bytes = encoder.encode(text);
    // A single-byte code page gives one byte per code point unless the converter
    // dropped some (it skips default-ignorable ones such as U+200B or U+FEFF).
    if (bytes.size() != codePoints(text) || text.contains(QChar(0x1a))) {
        *out = encodeEach(text, encoder);
        return true;
    }
    *out = bytes.replace(Substitute, '?');
    return true;
}

Outcome save(QStringView text, const char *codePage)
{
    Outcome r;
    r.path = displayPath();
    QByteArray bytes;
    if (!encode(text, &bytes, codePage)) {
        r.reason = QStringLiteral(
                       "The text converter for %1 cannot be opened; nothing was written.")
                       .arg(QLatin1String(codePage));
        return r;
    }
    const NativeFile::Result written = NativeFile::replace(
        QFile::encodeName(fileName()).constData(), bytes);
    r.ok = written.status == NativeFile::Status::Written;
    r.reason = reasonFor(written);
    return r;
}

QString enterFolder(const QByteArray &path)
{
    QString error;
    switch (NativeFile::enterFolder(path.constData(), &error)) {
    case NativeFile::Entry::Entered: return {};
    case NativeFile::Entry::Missing: return QStringLiteral("no such folder");
    case NativeFile::Entry::NotAFolder: return QStringLiteral("not a folder");
    case NativeFile::Entry::Failed: break;
    }
    return error;
}

}  // namespace ScriptFile
