#include "channelmenus.h"

#include <QMenu>
#include <QMenuBar>

namespace {

class Builder
{
public:
    explicit Builder(ChannelMenus &menus) : m_menus(menus) {}

    QMenu *menu(QMenu *menu, const char *name)
    {
        menu->setObjectName(QString::fromLatin1(name));
        m_menus.menus.insert(menu->objectName(), menu);
        return menu;
    }
    QMenu *sub(QMenu *parent, const char *name, const QString &caption)
    {
        QMenu *child = menu(parent->addMenu(caption), name);
        child->menuAction()->setObjectName(QString::fromLatin1(name));
        return child;
    }
    QAction *item(QMenu *parent, const QString &name, const QString &caption,
                  const QKeySequence &shortcut = {})
    {
        QAction *action = parent->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        m_menus.actions.insert(name, action);
        return action;
    }
    void gap(QMenu *parent, const char *name)
    {
        parent->addSeparator()->setObjectName(QString::fromLatin1(name));
    }

private:
    ChannelMenus &m_menus;
};

} // namespace

ChannelMenus ChannelMenus::build(QMenuBar *bar, QWidget *owner)
{
    ChannelMenus menus;
    Builder b(menus);

    QMenu *file = b.menu(bar->addMenu(QStringLiteral("&File")), "mnufile");
    b.item(file, "mnuConnect", QStringLiteral("&Connect"), QKeySequence(QStringLiteral("Ctrl+F")))
        ->setEnabled(false);
    b.item(file, "mnudc", QStringLiteral("&Disconnect"), QKeySequence(QStringLiteral("Ctrl+D")))
        ->setEnabled(false);
    b.gap(file, "gap1");
    b.item(file, "mnupwd", QStringLiteral("Enter &Password"));
    b.gap(file, "gap25");
    QMenu *nick = b.sub(file, "mnunick", QStringLiteral("&Nick"));
    b.item(nick, "mnuchangenick", QStringLiteral("&Change Nick"));
    b.item(nick, "mnuchpwd", QStringLiteral("Change &Password"));
    b.item(nick, "mnuregister", QStringLiteral("&Register Nickname"));
    b.item(nick, "mnudrop", QStringLiteral("&Drop Nickname"));
    b.item(nick, "mnuforgot", QStringLiteral("&Forgot Password"));
    b.gap(file, "gap2");
    QMenu *settings = b.sub(file, "mnuset", QStringLiteral("&Setting"));
    QMenu *away = b.sub(settings, "mnuaway", QStringLiteral("&Change Status"));
    const QStringList statuses{QStringLiteral("&Online"),        QStringLiteral("&Busy"),
                               QStringLiteral("B&e right back"), QStringLiteral("&Away"),
                               QStringLiteral("&In a Call"),     QStringLiteral("Out to &Lunch")};
    for (int i = 0; i < statuses.size(); ++i)
        b.item(away, QStringLiteral("mnuawayaway%1").arg(i + 1), statuses[i]);
    b.gap(away, "gap5");
    b.item(away, "mnuawayownreason", QStringLiteral("Own &Reason"));
    QAction *refuse = b.item(settings, "mnublkprv", QStringLiteral("&Block Incoming Privates"));
    refuse->setCheckable(true);
    refuse->setChecked(false);
    QAction *pictures = b.item(settings, "mnusmileypics", QStringLiteral("Show Smiley &Pictures"));
    pictures->setCheckable(true);
    pictures->setChecked(false);
    b.gap(file, "gap6");
    b.item(file, "mnudisconnect", QStringLiteral("&Exit"), QKeySequence(QStringLiteral("Ctrl+Q")));

    QMenu *users = b.menu(bar->addMenu(QStringLiteral("&Options")), "mnuusers");
    b.item(users, "mnuchat", QStringLiteral("&Private Chat"));
    b.gap(users, "gap20");
    QMenu *say = b.sub(users, "mnuact", QStringLiteral("&Say"));
    const QStringList sayings{QStringLiteral("&Hi"), QStringLiteral("&Kiss !"),
                              QStringLiteral("&Slap !")};
    for (int i = 0; i < sayings.size(); ++i)
        b.item(say, QStringLiteral("act%1").arg(i), sayings[i]);
    b.gap(users, "gap15");
    b.item(users, "mnuignore", QStringLiteral("&Block"));
    b.item(users, "mnuignorelist", QStringLiteral("Blocked &Nicks"), QKeySequence(Qt::Key_F4));
    b.gap(users, "gap14");
    b.item(users, "mnuaction", QStringLiteral("&Act"));
    b.item(users, "mnusmileys", QStringLiteral("S&mileys"));
    b.gap(users, "gap21");
    b.item(users, "mnurefresh", QStringLiteral("&Refresh"));
    b.gap(users, "gap22");
    b.item(users, "mnuclear", QStringLiteral("&Clear Chat Text"));

    QMenu *about = b.menu(bar->addMenu(QStringLiteral("&About")), "mnuabout");
    b.item(about, "mnutoday", QStringLiteral("Velmora &Today"));
    b.gap(about, "gap13");
    b.item(about, "mnumess", QStringLiteral("&About the Messenger"));

    QMenu *moderator = b.menu(bar->addMenu(QStringLiteral("&Moderator Tasks")), "mnumode");
    moderator->menuAction()->setObjectName(QStringLiteral("mnumode"));
    moderator->menuAction()->setVisible(false);
    b.item(moderator, "mnuwhois", QStringLiteral("&Whois"));
    const QStringList moderation{QStringLiteral("&Kick"),
                                 QStringLiteral("Kick (&Reason)"),
                                 QStringLiteral("Give &Voice (+v)"),
                                 QStringLiteral("&Take Voice (-V)"),
                                 QStringLiteral("&Ban (+b)"),
                                 QStringLiteral("&Unban (-b)")};
    for (int i = 0; i < moderation.size(); ++i)
        b.item(moderator, QStringLiteral("mnukick%1").arg(i), moderation[i]);

    // Never in the bar: the chat view's own pop-up menu.
    QMenu *copy = b.menu(new QMenu(QStringLiteral("copy"), owner), "mnucopy");
    b.item(copy, "mnucopye", QStringLiteral("Copy"));
    // The member list pops up the "&Options" menu; the moderator tasks hang in it too.
    users->addMenu(moderator);
    return menus;
}
