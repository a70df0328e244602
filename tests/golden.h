#pragma once

// Expected data written down from the design in tests/golden/, never taken from
// the program's own tables.

#include <QFile>
#include <QStringDecoder>
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

inline QStringList defaultScriptLines()
{
    return QStringDecoder("windows-1250")(defaultScriptBytes())
        .
        operator QString()
        .split(QStringLiteral("\r\n"));
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
