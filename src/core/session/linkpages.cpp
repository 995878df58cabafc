#include "linkpages.h"

namespace {
constexpr std::array<const char *, LinkPages::PageCount> kFixed = {
    "https://www.velmora.chat/",       "https://search.velmora.chat/", "https://fun.velmora.chat/",
    "https://www.velmora.chat/links/", "https://today.velmora.chat/",
};
constexpr std::array<const char *, LinkPages::PageCount> kFileNames = {
    "home.html", "search.html", "entertainment.html", "links.html", "today.html",
};
} // namespace

QUrl &LinkPages::base()
{
    static QUrl value;
    return value;
}

QString LinkPages::fileName(Page page)
{
    return QString::fromLatin1(kFileNames[size_t(page)]);
}

QUrl LinkPages::url(Page page)
{
    if (base().isEmpty())
        return QUrl(QString::fromLatin1(kFixed[size_t(page)]));
    return base().resolved(QUrl(fileName(page)));
}

void LinkPages::setBase(const QUrl &newBase)
{
    base() = newBase;
    if (!base().isEmpty() && !base().path().endsWith(u'/'))
        base().setPath(base().path() + u'/');
}
