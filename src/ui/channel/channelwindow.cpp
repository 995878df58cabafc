#include "channelwindow.h"

#include "irc/ircsession.h"
#include "render/chatview.h"
#include "ui/dialogs/nickservdialogs.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>

ChannelWindow::ChannelWindow(IrcSession &session, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_conversations(session)
{
    setObjectName(QStringLiteral("channel"));
    setWindowTitle(QStringLiteral("Velmora Messenger \u00ae - Ver 1.0 "));

    auto *central = new QWidget(this);
    auto *columns = new QHBoxLayout(central);
    auto *chatColumn = new QVBoxLayout;
    auto *memberColumn = new QVBoxLayout;
    columns->addLayout(chatColumn, 3);
    columns->addLayout(memberColumn, 1);

    auto *topicRow = new QHBoxLayout;
    auto *topicLabel = new QLabel(QStringLiteral("Topic:"), central);
    topicLabel->setObjectName(QStringLiteral("topic"));
    m_rtbtopic = new ChatView(central);
    m_rtbtopic->setObjectName(QStringLiteral("rtbtopic"));
    m_rtbtopic->setSingleLine(true);
    m_rtbtopic->setFont(QFont(QStringLiteral("Times New Roman"), 8));
    m_rtbtopic->setBuffer(&session.topicView());
    topicRow->addWidget(topicLabel);
    topicRow->addWidget(m_rtbtopic, 1);
    chatColumn->addLayout(topicRow);

    m_datain = new ChatView(central);
    m_datain->setObjectName(QStringLiteral("datain"));
    QFont roomFont(QStringLiteral("Arial"));
    roomFont.setPointSizeF(9.75);
    m_datain->setFont(roomFont);
    m_datain->setBuffer(&session.roomView());
    session.roomView().setBasePointSize(roomFont.pointSizeF());
    chatColumn->addWidget(m_datain, 1);

    m_dataout = new QLineEdit(central);
    m_dataout->setObjectName(QStringLiteral("dataout"));
    chatColumn->addWidget(m_dataout);

    m_lblusers = new QLabel(QStringLiteral("Total Users = [0]"), central);
    m_lblusers->setObjectName(QStringLiteral("lblusers"));
    m_lstnicks = new QListView(central);
    m_lstnicks->setObjectName(QStringLiteral("lstnicks"));
    m_lstnicks->setToolTip(QStringLiteral("Nickname List"));
    m_lstnicks->setModel(&session.members());
    m_lstnicks->setUniformItemSizes(true);
    memberColumn->addWidget(m_lblusers);
    memberColumn->addWidget(m_lstnicks, 1);

    setCentralWidget(central);
    buildMenus();
    m_nickServDialogs = new NickServDialogs(session, this, this);
    connect(m_nickServDialogs, &NickServDialogs::showChannelRequested, this,
            &ChannelWindow::showChannelWindow);
    resize(900, 650);
    session.setPresenter(this);
}

void ChannelWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnufile"));
    m_mnuConnect = file->addAction(QStringLiteral("&Connect"));
    m_mnuConnect->setObjectName(QStringLiteral("mnuConnect"));
    m_mnuConnect->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    m_mnuConnect->setEnabled(false);
    connect(m_mnuConnect, &QAction::triggered, &m_session, &IrcSession::reconnect);
    m_mnudc = file->addAction(QStringLiteral("&Disconnect"));
    m_mnudc->setObjectName(QStringLiteral("mnudc"));
    m_mnudc->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    m_mnudc->setEnabled(false);
    connect(m_mnudc, &QAction::triggered, &m_session, &IrcSession::disconnectFromServer);
    file->addSeparator();
    QAction *exit = file->addAction(QStringLiteral("&Exit"));
    exit->setObjectName(QStringLiteral("mnudisconnect"));
    exit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(exit, &QAction::triggered, this, [this] {
        m_session.closeConnection();
        QApplication::quit();
    });

    m_mnumode = menuBar()->addMenu(QStringLiteral("&Moderator Tasks"));
    m_mnumode->setObjectName(QStringLiteral("mnumode"));
    m_mnumode->menuAction()->setVisible(false);
}

void ChannelWindow::setConnectionCommands(bool connectEnabled, bool disconnectEnabled)
{
    m_mnuConnect->setEnabled(connectEnabled);
    m_mnudc->setEnabled(disconnectEnabled);
}

void ChannelWindow::setModeratorMenuVisible(bool visible)
{
    m_mnumode->menuAction()->setVisible(visible);
}

void ChannelWindow::setUserCountText(const QString &text)
{
    m_lblusers->setText(text);
}

void ChannelWindow::setAwaitingIdentification(bool awaiting)
{
    m_dataout->setReadOnly(awaiting);
    m_lstnicks->setEnabled(!awaiting);
}

void ChannelWindow::showChannelWindow()
{
    show();
    raise();
    activateWindow();
}

void ChannelWindow::showMessage(MessageIcon icon, const QString &title, const QString &text)
{
    static constexpr QMessageBox::Icon icons[] = {QMessageBox::Information, QMessageBox::Warning,
                                                  QMessageBox::Critical};
    // Opened, never run: the event loop goes on and lines keep arriving behind the box.
    auto *box = new QMessageBox(icons[int(icon)], title, text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

SessionPresenter::ConversationWindowState ChannelWindow::conversationWindowState(int slot)
{
    return m_conversations.state(slot);
}

void ChannelWindow::openConversationWindow(int slot, const QString &caption)
{
    m_conversations.open(slot, caption);
}

void ChannelWindow::showConversationWindow(int slot)
{
    m_conversations.show(slot);
}

void ChannelWindow::flashConversationWindow(int slot)
{
    m_conversations.flash(slot);
}

void ChannelWindow::showPasswordDialog(const QString &nick)
{
    m_nickServDialogs->showIdentify(nick);
}

void ChannelWindow::showChangeNickDialog()
{
    m_nickServDialogs->showChangeNick();
}
