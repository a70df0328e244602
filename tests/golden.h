#pragma once

// Expected data written down from the design in tests/golden/, never taken from
// the program's own tables.

#include <QFile>
#include <QHash>
#include <QStringList>

inline QByteArray goldenBytes(const char *name)
{
    QFile f(QStringLiteral(QUORREL_GOLDEN_DIR "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("golden file %s is missing", name);
    return f.readAll();
}

// The rows of a tab-separated table; lines starting with '#' are comments.
inline QList<QStringList> goldenRows(const char *name)
{
    QList<QStringList> rows;
    for (const QString &line : QString::fromUtf8(goldenBytes(name)).split(u'\n'))
        if (!line.isEmpty() && !line.startsWith(u'#'))
            rows << line.split(u'\t');
    return rows;
}

// The script of the start settings, as the file holds it.
inline QByteArray defaultScriptBytes()
{
    return goldenBytes("default-script.cfg");
}

// Windows-1250 bytes as text, by the code page written down in cp1250.tsv (Qt
// has the code page only when built with ICU, which the Windows build is not).
inline QString fromWindows1250(const QByteArray &bytes)
{
    static const QHash<uchar, char16_t> upper = [] {
        QHash<uchar, char16_t> h;
        for (const QStringList &row : goldenRows("cp1250.tsv"))
            h.insert(uchar(row[0].toUInt(nullptr, 16)), char16_t(row[1].toUInt(nullptr, 16)));
        return h;
    }();
    QString text;
    for (const char c : bytes)
        text += uchar(c) < 0x80 ? QChar(QLatin1Char(c)) : QChar(upper.value(uchar(c), u'\ufffd'));
    return text;
}

inline QStringList defaultScriptLines()
{
    return fromWindows1250(defaultScriptBytes()).split(QStringLiteral("\r\n"));
}

inline QString defaultScript()
{
    return defaultScriptLines().join(QStringLiteral("\r\n"));
}

// A message as messages.tsv writes it down, "title: text"; null where none shows.
inline QString goldenMessage(const QString &name, int language)
{
    for (const QStringList &row : goldenRows("messages.tsv"))
        if (row[0] == name && row[1].toInt() == language)
            return row[2] + QStringLiteral(": ")
                + QString(row[3]).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return {};
}
