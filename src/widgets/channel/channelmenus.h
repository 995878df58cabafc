#pragma once

#include "irc/commands.h"

#include <array>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The room window's menus, built with their captions, access keys and shortcuts. Each item is a
// typed handle that the window and its commands connect to; the old item names stay as object
// names ("mnuConnect", "mnukick3", "act0", ...), by which tests and users find them.
struct ChannelMenus
{
    // The moderator tasks in the order of their items "mnukick0" to "mnukick5".
    static constexpr std::array<commands::Moderation, 6> ModeratorTasks{
        commands::Moderation::Kick,  commands::Moderation::KickWithReason,
        commands::Moderation::Voice, commands::Moderation::Devoice,
        commands::Moderation::Ban,   commands::Moderation::Unban};

    // "&File"
    QMenu *file = nullptr;
    QAction *connect = nullptr;    // mnuConnect
    QAction *disconnect = nullptr; // mnudc
    QAction *identify = nullptr;   // mnupwd
    QMenu *nick = nullptr;
    QAction *changeNick = nullptr;     // mnuchangenick
    QAction *changePassword = nullptr; // mnuchpwd
    QAction *registerNick = nullptr;   // mnuregister
    QAction *dropNick = nullptr;       // mnudrop
    QAction *forgotPassword = nullptr; // mnuforgot
    QMenu *settings = nullptr;
    QMenu *status = nullptr;
    std::array<QAction *, 6> away{};   // mnuawayaway1..6: away reasons 1 to 6
    QAction *awayReason = nullptr;     // mnuawayownreason
    QAction *refusePrivates = nullptr; // mnublkprv
    QAction *smileyPictures = nullptr; // mnusmileypics
    QAction *reconnect = nullptr;      // mnureconnect
    QAction *notifyMentions = nullptr; // mnunotifymentions
    QAction *exit = nullptr;           // mnudisconnect

    // "&Options", also the member list's pop-up menu
    QMenu *users = nullptr;
    QAction *privateChat = nullptr; // mnuchat
    QMenu *sayMenu = nullptr;
    std::array<QAction *, 3> say{};  // act0..2: the say actions of RoomComposer::sendSayAction
    QAction *block = nullptr;        // mnuignore
    QAction *blockedNicks = nullptr; // mnuignorelist
    QAction *act = nullptr;          // mnuaction
    QAction *smileys = nullptr;      // mnusmileys
    QAction *refresh = nullptr;      // mnurefresh
    QAction *clear = nullptr;        // mnuclear

    // "&About"
    QMenu *about = nullptr;
    QAction *today = nullptr;    // mnutoday
    QAction *aboutBox = nullptr; // mnumess

    // "&Moderator Tasks", hidden until the user is a moderator
    QMenu *moderator = nullptr;
    QAction *whois = nullptr;            // mnuwhois
    std::array<QAction *, 6> moderate{}; // mnukick0..5, by ModeratorTasks

    // The chat view's own pop-up menu, never in the bar.
    QMenu *copy = nullptr;
    QAction *copySelection = nullptr; // mnucopye

    QAction *moderation(commands::Moderation task) const { return moderate[size_t(task)]; }

    static ChannelMenus build(QMenuBar *bar, QWidget *owner);
};
