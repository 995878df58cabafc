#include "channelpresenter.h"

#include "channelwindow.h"
#include "dialogs/nickservdialogs.h"
#include "mentionalerts.h"
#include "private/conversationwindows.h"
#include "util/messageboxes.h"

ChannelPresenter::ChannelPresenter(ChannelWindow &window, NickServDialogs &nickServ,
                                   ConversationWindows &privates)
    : m_window(window), m_nickServ(nickServ), m_privates(privates)
{}

void ChannelPresenter::setConnectionCommands(bool connectEnabled, bool disconnectEnabled)
{
    m_window.setConnectionCommands(connectEnabled, disconnectEnabled);
}

void ChannelPresenter::setModeratorMenuVisible(bool visible)
{
    m_window.setModeratorMenuVisible(visible);
}

void ChannelPresenter::setUserCountText(const QString &text)
{
    m_window.setUserCountText(text);
}

void ChannelPresenter::setAwaitingIdentification(bool awaiting)
{
    m_window.setAwaitingIdentification(awaiting);
}

void ChannelPresenter::showChannelWindow()
{
    m_window.showChannelWindow();
}

void ChannelPresenter::showMessage(MessageIcon icon, const QString &title, const QString &text)
{
    static constexpr QMessageBox::Icon icons[] = {QMessageBox::Information, QMessageBox::Warning,
                                                  QMessageBox::Critical};
    QPointer<QMessageBox> &box = m_openBoxes[title];
    if (box) {
        box->setIcon(icons[int(icon)]);
        box->setText(text);
        return;
    }
    box = messageboxes::inform(&m_window, icons[int(icon)], title, text);
}

void ChannelPresenter::showPasswordDialog(const QString &nick)
{
    m_nickServ.showIdentify(nick);
}

void ChannelPresenter::showChangeNickDialog()
{
    m_nickServ.showChangeNick();
}

SessionPresenter::ConversationWindowState ChannelPresenter::conversationWindowState(int slot)
{
    return m_privates.state(slot);
}

void ChannelPresenter::openConversationWindow(int slot, const QString &caption)
{
    m_privates.open(slot, caption);
}

void ChannelPresenter::showConversationWindow(int slot)
{
    m_privates.show(slot);
}

void ChannelPresenter::flashConversationWindow(int slot)
{
    m_privates.flash(slot);
}

void ChannelPresenter::mentioned(const QString &sender, const QString &text)
{
    m_window.mentionAlerts().mentioned(sender, text);
}
