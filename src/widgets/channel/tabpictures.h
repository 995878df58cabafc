#pragma once

#include <QIcon>
#include <QString>

// The small picture beside each of the room window's tab captions: "home", "chat", "search",
// "entertainment" or "links". Drawn as SVG in resources/tabs, carried as renderings of it.
QIcon tabPicture(const QString &name);
