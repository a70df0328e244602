#include "textpatch.h"

#include <algorithm>

TextPatch diffTexts(QStringView before, QStringView after)
{
    const qsizetype common = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < common && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < common - head
           && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return {head, before.size() - head - tail, after.size() - head - tail};
}

qsizetype caretAfter(const TextPatch &patch, qsizetype caret)
{
    const qsizetype oldEnd = patch.start + patch.removed;
    const qsizetype newEnd = patch.start + patch.inserted;
    if (caret < patch.start)
        return caret;
    if (caret >= oldEnd)
        return caret - oldEnd + newEnd;
    return std::min(caret, newEnd);
}
