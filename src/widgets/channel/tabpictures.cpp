#include "tabpictures.h"

// The pictures are linked in with a static library, so their resource is registered here
// (outside any namespace, as Q_INIT_RESOURCE requires).
static void registerTabPictures()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(tabs);
        return true;
    }();
    Q_UNUSED(registered);
}

QIcon tabPicture(const QString &name)
{
    registerTabPictures();
    QIcon picture;
    for (const int size : {16, 32})
        picture.addFile(QStringLiteral(":/tabs/%1-%2.png").arg(name).arg(size), QSize(size, size));
    return picture;
}
