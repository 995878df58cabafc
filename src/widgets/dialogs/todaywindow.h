#pragma once

#include <QWidget>

class QUrl;
class QWebEngineView;

// "Velmora Today": a caption-less window holding a browser with the network's today page. Its
// own title strip moves it and carries minimize and close marks. Esc only hides it, so the page
// stays loaded; the close mark unloads it.
class TodayWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TodayWindow(QWidget *parent = nullptr);

    // Loads url in the browser; the window need not be shown. A page that fails to load is
    // left as the browser shows it.
    void navigate(const QUrl &url);

private:
    QWebEngineView *m_browser;
};
