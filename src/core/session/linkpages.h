#pragma once

#include <QString>
#include <QUrl>

#include <array>

// The network's web pages: four shown in the room window's tabs and the "today" page. Fixed in
// the program; a test or a local run can point all five at another site with one base address.
class LinkPages
{
public:
    enum Page
    {
        Home,
        Search,
        Entertainment,
        Links,
        Today,
        PageCount
    };

    static QUrl url(Page page);
    // Serves every page from base + "home.html", "search.html", "entertainment.html",
    // "links.html" and "today.html". An empty base goes back to the fixed addresses.
    static void setBase(const QUrl &base);
    static QString fileName(Page page);

private:
    static QUrl &base();
};
