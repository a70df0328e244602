#include "language.h"

namespace {
Language current = Language::NotChosen;
}

Language language()
{
    return current;
}

void setLanguage(Language language)
{
    current = language;
}
