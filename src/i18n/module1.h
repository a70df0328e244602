#pragma once

#include <QtGlobal>

namespace Module1 {
// Interface language: 0 not chosen yet, 1 Czech, 2 English. Written only by the
// language dialog.
extern qint16 LanguageId;
}  // namespace Module1
