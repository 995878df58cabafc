// ChannelWindow's web pages: the four link-page tabs, their rotation after sign-in and the
// Velmora Today window. The rest of the window lives in channelwindow.cpp.
#include "channelwindow.h"

#include "chatpage.h"
#include "dialogs/todaywindow.h"
#include "linkpage.h"
#include "session/linkpages.h"

#include <QTabWidget>

void ChannelWindow::buildLinkPages()
{
    const QStringList captions{QStringLiteral("Home"), QStringLiteral("Google"),
                               QStringLiteral("Entertainment"), QStringLiteral("Links")};
    const LinkPages::Page pages[] = {LinkPages::Home, LinkPages::Search, LinkPages::Entertainment,
                                     LinkPages::Links};
    for (int page = 0; page < 4; ++page) {
        auto *linkPage = new LinkPage(page, pages[page]);
        linkPage->setObjectName(QStringLiteral("linkpage%1").arg(page));
        const int background = page == 0 ? 0 : page + 1;
        addShape(linkPage, QStringLiteral("shapebg%1").arg(background), QColor(0, 86, 128))
            ->lower();
        addShape(linkPage, QStringLiteral("shapetop%1").arg(page), QColor(170, 227, 255))
            ->stackUnder(
                linkPage->findChild<QWidget *>(QStringLiteral("imgweb%1").arg(3 * page + 1)));
        registerNamedChildren(linkPage);
        m_linkPages[size_t(page)] = linkPage;
        m_tabs->addTab(linkPage, captions[page]);
    }
}

void ChannelWindow::rotateLinkPages()
{
    if (m_rotation == 0) {
        for (LinkPage *page : m_linkPages)
            page->navigate(page->home());
    }
    if (m_rotation == 4)
        emit todayPageLoadRequested();
    if (m_rotation != 7) {
        ++m_rotation;
        return;
    }
    emit todayPageShowRequested();
    m_linkRotation.stop();
}

void ChannelWindow::loadTodayPage()
{
    if (!m_todayWindow)
        m_todayWindow = new TodayWindow;
    m_todayWindow->navigate(LinkPages::url(LinkPages::Today));
}

void ChannelWindow::showTodayPage()
{
    // A window the user closed earlier comes back with its page loaded again.
    if (!m_todayWindow)
        loadTodayPage();
    m_todayWindow->show();
    m_todayWindow->raise();
}

TodayWindow *ChannelWindow::todayWindow() const
{
    return m_todayWindow;
}
