#include "channelmenus.h"

#include <QMenu>
#include <QMenuBar>

namespace {

QMenu *named(QMenu *menu, const char *name)
{
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QMenu *sub(QMenu *parent, const char *name, const QString &caption)
{
    QMenu *child = named(parent->addMenu(caption), name);
    child->menuAction()->setObjectName(QString::fromLatin1(name));
    return child;
}

QAction *item(QMenu *parent, const QString &name, const QString &caption,
              const QKeySequence &shortcut = {})
{
    QAction *action = parent->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

void gap(QMenu *parent, const char *name)
{
    parent->addSeparator()->setObjectName(QString::fromLatin1(name));
}

QAction *toggle(QAction *action)
{
    action->setCheckable(true);
    action->setChecked(false);
    return action;
}

QKeySequence keys(const char *sequence)
{
    return QKeySequence(QString::fromLatin1(sequence));
}

} // namespace

ChannelMenus ChannelMenus::build(QMenuBar *bar, QWidget *owner)
{
    using commands::Moderation;
    ChannelMenus m;

    m.file = named(bar->addMenu(QStringLiteral("&File")), "mnufile");
    m.connect = item(m.file, "mnuConnect", QStringLiteral("&Connect"), keys("Ctrl+F"));
    m.connect->setEnabled(false);
    m.disconnect = item(m.file, "mnudc", QStringLiteral("&Disconnect"), keys("Ctrl+D"));
    m.disconnect->setEnabled(false);
    gap(m.file, "gap1");
    m.identify = item(m.file, "mnupwd", QStringLiteral("Enter &Password"));
    gap(m.file, "gap25");
    m.nick = sub(m.file, "mnunick", QStringLiteral("&Nick"));
    m.changeNick = item(m.nick, "mnuchangenick", QStringLiteral("&Change Nick"));
    m.changePassword = item(m.nick, "mnuchpwd", QStringLiteral("Change &Password"));
    m.registerNick = item(m.nick, "mnuregister", QStringLiteral("&Register Nickname"));
    m.dropNick = item(m.nick, "mnudrop", QStringLiteral("&Drop Nickname"));
    m.forgotPassword = item(m.nick, "mnuforgot", QStringLiteral("&Forgot Password"));
    gap(m.file, "gap2");
    m.settings = sub(m.file, "mnuset", QStringLiteral("&Setting"));
    m.status = sub(m.settings, "mnuaway", QStringLiteral("&Change Status"));
    const QString statuses[] = {QStringLiteral("&Online"),        QStringLiteral("&Busy"),
                                QStringLiteral("B&e right back"), QStringLiteral("&Away"),
                                QStringLiteral("&In a Call"),     QStringLiteral("Out to &Lunch")};
    for (size_t i = 0; i < m.away.size(); ++i)
        m.away[i] = item(m.status, QStringLiteral("mnuawayaway%1").arg(i + 1), statuses[i]);
    gap(m.status, "gap5");
    m.awayReason = item(m.status, "mnuawayownreason", QStringLiteral("Own &Reason"));
    m.refusePrivates =
        toggle(item(m.settings, "mnublkprv", QStringLiteral("&Block Incoming Privates")));
    m.smileyPictures =
        toggle(item(m.settings, "mnusmileypics", QStringLiteral("Show Smiley &Pictures")));
    m.reconnect =
        toggle(item(m.settings, "mnureconnect", QStringLiteral("&Reconnect Automatically")));
    m.notifyMentions =
        toggle(item(m.settings, "mnunotifymentions", QStringLiteral("&Notify on Mentions")));
    gap(m.file, "gap6");
    m.exit = item(m.file, "mnudisconnect", QStringLiteral("&Exit"), keys("Ctrl+Q"));

    m.users = named(bar->addMenu(QStringLiteral("&Options")), "mnuusers");
    m.privateChat = item(m.users, "mnuchat", QStringLiteral("&Private Chat"));
    gap(m.users, "gap20");
    m.sayMenu = sub(m.users, "mnuact", QStringLiteral("&Say"));
    const QString sayings[] = {QStringLiteral("&Hi"), QStringLiteral("&Kiss !"),
                               QStringLiteral("&Slap !")};
    for (size_t i = 0; i < m.say.size(); ++i)
        m.say[i] = item(m.sayMenu, QStringLiteral("act%1").arg(i), sayings[i]);
    gap(m.users, "gap15");
    m.block = item(m.users, "mnuignore", QStringLiteral("&Block"));
    m.blockedNicks =
        item(m.users, "mnuignorelist", QStringLiteral("Blocked &Nicks"), QKeySequence(Qt::Key_F4));
    gap(m.users, "gap14");
    m.act = item(m.users, "mnuaction", QStringLiteral("&Act"));
    m.smileys = item(m.users, "mnusmileys", QStringLiteral("S&mileys"));
    gap(m.users, "gap21");
    m.refresh = item(m.users, "mnurefresh", QStringLiteral("&Refresh"));
    gap(m.users, "gap22");
    m.clear = item(m.users, "mnuclear", QStringLiteral("&Clear Chat Text"));

    m.about = named(bar->addMenu(QStringLiteral("&About")), "mnuabout");
    m.today = item(m.about, "mnutoday", QStringLiteral("Velmora &Today"));
    gap(m.about, "gap13");
    m.aboutBox = item(m.about, "mnumess", QStringLiteral("&About the Messenger"));

    m.moderator = named(bar->addMenu(QStringLiteral("&Moderator Tasks")), "mnumode");
    m.moderator->menuAction()->setObjectName(QStringLiteral("mnumode"));
    m.moderator->menuAction()->setVisible(false);
    m.whois = item(m.moderator, "mnuwhois", QStringLiteral("&Whois"));
    const QString moderation[] = {QStringLiteral("&Kick"),
                                  QStringLiteral("Kick (&Reason)"),
                                  QStringLiteral("Give &Voice (+v)"),
                                  QStringLiteral("&Take Voice (-V)"),
                                  QStringLiteral("&Ban (+b)"),
                                  QStringLiteral("&Unban (-b)")};
    for (size_t i = 0; i < ModeratorTasks.size(); ++i) {
        const Moderation task = ModeratorTasks[i];
        m.moderate[size_t(task)] =
            item(m.moderator, QStringLiteral("mnukick%1").arg(int(task)), moderation[i]);
    }

    m.copy = named(new QMenu(QStringLiteral("copy"), owner), "mnucopy");
    m.copySelection = item(m.copy, "mnucopye", QStringLiteral("Copy"));
    // The member list pops up the "&Options" menu; the moderator tasks hang in it too.
    m.users->addMenu(m.moderator);
    return m;
}
