#pragma once

#include <QStringView>

// The one replacement that turns a text into another: everything between their
// common start and their common end.
struct TextPatch {
    qsizetype start = 0;     // where the replaced stretch begins
    qsizetype removed = 0;   // its length in the old text
    qsizetype inserted = 0;  // its length in the new text

    bool isEmpty() const { return removed == 0 && inserted == 0; }
};

TextPatch diffTexts(QStringView before, QStringView after);

// Where a caret at `caret` in the old text stands after the patch: in front of
// the stretch it stays, behind it moves with the text, inside it keeps its
// offset as far as the new stretch reaches, and at the stretch's end it stays at
// the end.
qsizetype caretAfter(const TextPatch &patch, qsizetype caret);
