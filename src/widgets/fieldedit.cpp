#include "fieldedit.h"

#include "textpatch.h"

namespace {

// About 1.5 MB of the line edit's undo records.
constexpr qsizetype HistoryLimit = 1 << 16;

}  // namespace

FieldEdit::FieldEdit(QWidget *parent) : QLineEdit(parent)
{
    // textEdited comes before textChanged, which records every change.
    connect(this, &QLineEdit::textEdited, this, &FieldEdit::boundHistory);
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) { m_before = text; });
}

void FieldEdit::boundHistory(const QString &text)
{
    const TextPatch patch = diffTexts(m_before, text);
    m_recorded += patch.removed + patch.inserted;
    if (m_recorded <= HistoryLimit)
        return;
    m_recorded = 0;
    const int cursor = cursorPosition();
    setText(text);  // the same text: clears the history and changes nothing else
    setCursorPosition(cursor);
}
