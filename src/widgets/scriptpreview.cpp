#include "scriptpreview.h"

#include "script/composer.h"
#include "textpatch.h"

#include <QApplication>
#include <QMimeData>
#include <QScrollBar>

namespace {

// Breaking a line at word boundaries costs time that grows with the square of
// the line's length; lines longer than this are broken anywhere instead.
constexpr qsizetype LongLine = 1000;

bool hasLongLine(QStringView text)
{
    qsizetype run = 0;
    for (QChar c : text) {
        run = (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator
               || c == QChar::LineSeparator)
            ? 0
            : run + 1;
        if (run > LongLine)
            return true;
    }
    return false;
}

}  // namespace

void ScriptPreview::showScript(const QString &script)
{
    QString text = script;
    text.replace(QLatin1String("\r\n"), QChar(QChar::ParagraphSeparator));
    QTextDocument *doc = document();
    const QString current = doc->toRawText();
    const TextPatch patch = diffTexts(current, text);
    if (patch.isEmpty())
        return;
    wrapFor(text);
    const int caret = textCursor().position();
    const int scroll = verticalScrollBar()->value();
    QTextCursor cursor(doc);
    cursor.setPosition(int(patch.start));
    cursor.setPosition(int(patch.start + patch.removed), QTextCursor::KeepAnchor);
    cursor.insertText(text.mid(patch.start, patch.inserted));
    if (caret >= patch.start && caret <= patch.start + patch.removed) {
        // The document moved a caret inside the replaced stretch to its start.
        QTextCursor moved = textCursor();
        moved.setPosition(int(caretAfter(patch, caret)));
        setTextCursor(moved);
        verticalScrollBar()->setValue(scroll);
    }
}

QString ScriptPreview::script() const
{
    QString text = document()->toRawText();
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1String("\r\n"));
    text.replace(QChar(QChar::LineSeparator), QLatin1String("\r\n"));
    return text;
}

void ScriptPreview::insertFromMimeData(const QMimeData *source)
{
    const QString text = source->hasText() ? source->text() : QString();
    if (text.size() > LongestScriptLine) {
        QApplication::beep();
        return;
    }
    if (hasLongLine(text))
        setWordWrapMode(QTextOption::WrapAnywhere);
    QPlainTextEdit::insertFromMimeData(source);
}

void ScriptPreview::wrapFor(QStringView script)
{
    const QTextOption::WrapMode mode = hasLongLine(script)
        ? QTextOption::WrapAnywhere
        : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}
