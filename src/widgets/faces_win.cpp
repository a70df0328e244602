#include "faces.h"

#include <QFont>
#include <QStringList>

namespace Faces {

namespace {

const QString Bitmap = QStringLiteral("MS Sans Serif");
const QString TrueType = QStringLiteral("Microsoft Sans Serif");

}  // namespace

void substitute()
{
    // Wine has neither face; Linux's own fonts, which it also shows, fit as there.
    QFont::insertSubstitutions(TrueType,
                               {QStringLiteral("Liberation Sans Narrow"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Tahoma")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Tahoma")});
}

QString shown(const QString &family)
{
    // Windows' "MS Sans Serif" is a bitmap face whose 8 pt is 13 pixels, too big
    // for the captions' boxes; its TrueType successor has the design's metrics.
    return family == Bitmap ? TrueType : family;
}

}  // namespace Faces
