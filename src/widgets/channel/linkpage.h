#pragma once

#include "session/linkpages.h"

#include <QUrl>
#include <QWidget>

class QLabel;
class QToolButton;
class QWebEngineView;

// One tab of the room window that shows a web page of the network: its browser buttons (back,
// refresh, forward, stop), a "Home" link and the page itself. The web view is made when the
// page is first shown; an address given before then waits for it. A web view makes Qt compose
// its whole window through OpenGL from then on, which without a graphics card costs a software
// render of the room window for every frame a busy room draws, so it is put off until a person
// looks at the page.
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
    // The address shown, or waiting to be shown.
    QUrl url() const;

    void navigate(const QUrl &url);
    void goHome();
    // Browser commands; without a page they do nothing.
    void back();
    void refresh();
    void forward();
    void stop();

protected:
    void showEvent(QShowEvent *event) override;

private:
    int m_page;
    LinkPages::Page m_home;
    QWebEngineView *m_view = nullptr;
    QRect m_viewRect;
    QUrl m_waiting; // given while the page was hidden and it had no view yet
};
