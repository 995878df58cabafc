#pragma once

#include "session/linkpages.h"

#include <QUrl>
#include <QWidget>

class QLabel;
class QToolButton;
class QWebEngineView;

// One tab of the room window that shows a web page of the network: its browser buttons (back,
// refresh, forward, stop), a "Home" link and the page itself. The web view is made when the
// page first loads, so the window opens without starting the web engine.
class LinkPage : public QWidget
{
    Q_OBJECT
public:
    // page 0 to 3: the view is named "web<page>", its buttons "imgweb<n>" for n = 3 * page + 1
    // (back), + 2 (refresh), + 3 (forward) and 13 + page (stop), the link "imghome<page + 1>".
    LinkPage(int page, LinkPages::Page home, QWidget *parent = nullptr);

    QWebEngineView *view();
    bool hasView() const { return m_view != nullptr; }
    // Where the web view goes, also when it is made later.
    void setViewGeometry(const QRect &rect);
    QUrl home() const { return LinkPages::url(m_home); }

    void navigate(const QUrl &url);
    void goHome();
    // Browser commands; without a page they do nothing.
    void back();
    void refresh();
    void forward();
    void stop();

private:
    int m_page;
    LinkPages::Page m_home;
    QWebEngineView *m_view = nullptr;
    QRect m_viewRect;
};
