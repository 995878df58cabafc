#pragma once

#include <QString>
#include <QUrl>

// What a click on an address in a conversation view does. Web and ftp addresses open in the
// desktop's browser. The program is in one room of one network at a time, so an irc:// or ircs://
// address of this session's server naming its room (or no room) joins that room, and any other
// irc:// address starts another instance of the program with the address as its argument.
struct LinkTarget
{
    enum class Action
    {
        None, // not an address that can be opened
        OpenInBrowser,
        JoinRoom,
        StartInstance
    };
    Action action = Action::None;
    QUrl url;     // OpenInBrowser and StartInstance
    QString room; // JoinRoom: the session's room
    friend bool operator==(const LinkTarget &, const LinkTarget &) = default;
};

// address is a link's text as findLinks gives it; serverHost and room are the session's.
LinkTarget linkTarget(const QString &address, const QString &serverHost, const QString &room);
