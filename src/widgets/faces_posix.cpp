#include "faces.h"

#include <QFont>
#include <QStringList>

namespace Faces {

void substitute()
{
    // The forms' captions are laid out for a bitmap face that Linux lacks; a
    // narrow sans fits every caption into its pixel box at the same point size.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans Narrow"),
                                QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans Condensed")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("DejaVu Sans")});
}

QString shown(const QString &family)
{
    return family;
}

}  // namespace Faces
