#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class IrcSession;

// Opens the addresses clicked in the conversation views of one session: web and ftp addresses
// in the desktop's browser, an irc:// address of the session's own room by joining it, and any
// other irc:// address in a new instance of the program (which is in one room at a time). How
// an address leaves the program is held in two replaceable functions, so that tests can record
// what would be opened instead of starting a browser or a program.
class LinkOpener
{
public:
    explicit LinkOpener(IrcSession &session);

    // address is a link's text as the view shows it.
    void open(const QString &address);

    std::function<void(const QUrl &)> openInBrowser;
    std::function<void(const QString &)> startInstance; // with the address as its argument

private:
    IrcSession &m_session;
};
