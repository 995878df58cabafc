#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The room window's menus, built with their captions, access keys and shortcuts and named so
// that commands and tests find every item by name.
struct ChannelMenus
{
    QHash<QString, QAction *> actions; // by item name; array items as "act0", "mnukick3", ...
    QHash<QString, QMenu *> menus;     // "mnufile", "mnuusers", "mnumode", "mnucopy", ...

    QAction *action(const QString &name) const { return actions.value(name); }
    QMenu *menu(const QString &name) const { return menus.value(name); }

    static ChannelMenus build(QMenuBar *bar, QWidget *owner);
};
