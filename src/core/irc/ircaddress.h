#pragma once

#include <QString>

#include <optional>

// An irc:// or ircs:// address: the server, its port if one is given, and the room it names.
struct IrcAddress
{
    QString host;
    int port = -1;    // -1 when the address gives none; 0 when it gives a bad one
    bool tls = false; // ircs://
    QString room;     // "#room", or empty when the address names none
};

// A room name as typed or taken from an address: "#" is put in front unless it starts with '#'
// or '&'.
QString ircRoomName(const QString &text);

// Reads irc://HOST[:PORT][/ROOM] or ircs://...; nothing when the text is not such an address or
// names no host. irc://host/room and irc://host/%23room both name "#room" (a name starting with
// '&' keeps it), as does irc://host/#room; what follows a comma ("irc://host/room,needpass") is
// not part of the name, but an encoded comma is.
std::optional<IrcAddress> parseIrcAddress(const QString &text);
