#include "fontsubstitutes.h"

#include <QFont>
#include <QFontDatabase>

void substituteMissingFonts()
{
    // Comic Neue (SIL OFL) is drawn after Comic Sans MS, with the same shapes and widths.
    const QString comicSans = QStringLiteral("Comic Sans MS");
    if (!QFontDatabase::hasFamily(comicSans))
        QFont::insertSubstitution(comicSans, QStringLiteral("Comic Neue"));
}
