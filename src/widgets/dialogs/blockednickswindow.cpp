#include "blockednickswindow.h"

#include "controls/sablecoolbutton.h"
#include "session/blockednicks.h"
#include "session/memberlist.h"
#include "util/messageboxes.h"

#include <QBoxLayout>
#include <QListView>

BlockedNicksWindow::BlockedNicksWindow(BlockedNicks &nicks, const MemberList &members,
                                       QWidget *parent)
    : QDialog(parent), m_nicks(nicks), m_members(members)
{
    setObjectName(QStringLiteral("nicksblock"));
    setWindowTitle(QStringLiteral("Blocked Nicks List"));

    m_nickList = new QListView(this);
    m_nickList->setObjectName(QStringLiteral("nicksblock"));
    m_nickList->setToolTip(QStringLiteral("Nick List"));
    m_nickList->setFont(QFont(QStringLiteral("Tahoma")));
    m_nickList->setModel(&nicks);
    m_nickList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_nickList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_nickList->setUniformItemSizes(true);

    auto *buttons = new QVBoxLayout;
    auto addButton = [&](const char *name, const QString &caption, const QString &tip,
                         auto action) {
        auto *button = new SableCoolButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setToolTip(tip);
        connect(button, &SableCoolButton::clicked, this, action);
        buttons->addWidget(button);
    };
    addButton("cmdadd", QStringLiteral("Add More"), QStringLiteral("Add Nick"),
              &BlockedNicksWindow::askForNick);
    addButton("cmdremove", QStringLiteral("Remove"), QStringLiteral("Remove a Nick"),
              &BlockedNicksWindow::removeSelected);
    addButton("cmdremoveall", QStringLiteral("Remove All"), QStringLiteral("Remove Everyone"),
              [this] { m_nicks.clear(); });
    addButton("cmdblockall", QStringLiteral("Block All"), QStringLiteral("Block Everyone"),
              &BlockedNicksWindow::blockAll);
    buttons->addStretch();

    auto *columns = new QHBoxLayout(this);
    columns->addWidget(m_nickList, 1);
    columns->addLayout(buttons);
    resize(320, 260);
}

void BlockedNicksWindow::askForNick()
{
    // Nicks never hold blanks; one typed around the name would keep it from ever matching.
    messageboxes::askText(this, QString(), QStringLiteral("Block"),
                          QStringLiteral("Enter The Nickname To Block."),
                          [this](const QString &text) { m_nicks.add(text.trimmed()); });
}

void BlockedNicksWindow::removeSelected()
{
    const QModelIndexList selected = m_nickList->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        messageboxes::inform(this, QMessageBox::Information, QStringLiteral("Error"),
                             QStringLiteral("Please Select A Nick"));
        return;
    }
    // The selected row itself goes, not the first entry that differs from it only in case.
    m_nicks.removeRows(selected.first().row(), 1);
    // One press removes one chosen nick; the row that moves up is not chosen by the user.
    m_nickList->selectionModel()->clearSelection();
}

void BlockedNicksWindow::blockAll()
{
    m_nicks.blockAll(m_members.entries());
}
