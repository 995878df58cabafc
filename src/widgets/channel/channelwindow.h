#pragma once

#include "channellayout.h"
#include "channelmenus.h"
#include "irc/roomcomposer.h"
#include "private/conversationwindows.h"
#include "text/roomformatting.h"
#include "util/linkopener.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <memory>

class ChatView;
class IrcSession;
class LinkPage;
class NickServDialogs;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class SableCoolButton;
class QTabWidget;
class AboutDialog;
class ChannelPresenter;
class ColourPicker;
class MentionAlerts;
class SmileyPicker;
class TodayWindow;
class TrayIcon;

// The room window: the room's chat view, topic, members and input line, four tabs of the
// network's web pages, and the menus of every room command. Its ChannelPresenter shows what the
// session asks for; the window hides, rather than closes, when the user closes it.
class ChannelWindow : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int LinkRotationMs = 15000;

    explicit ChannelWindow(IrcSession &session, TrayIcon *tray = nullptr,
                           QWidget *parent = nullptr);
    ~ChannelWindow() override;

    ChatView *roomView() const { return m_roomView; }
    const ChannelMenus &menus() const { return m_menus; }
    // A named element of the window (a control, shape or link page), for layout and tests.
    QWidget *element(const QString &name) const { return m_elements.value(name); }
    LinkPage *linkPage(int page) const { return m_linkPages[size_t(page)]; }
    // Twips per pixel of the screen the window is on.
    Twips twips() const;
    // The selection the chat view had when its pop-up menu opened; "Copy" puts it on the
    // clipboard.
    QString savedSelection() const { return m_savedSelection; }
    int linkRotationCount() const { return m_rotation; }
    TodayWindow *todayWindow() const;
    const RoomFormatting &roomFormatting() const { return m_formatting; }
    RoomComposer &composer() { return m_composer; }
    ConversationWindows &conversations() { return m_conversations; }
    // Opens the addresses clicked in the room view and the topic.
    LinkOpener &linkOpener() { return m_linkOpener; }
    void setLinkRotationInterval(int ms) { m_linkRotation.setInterval(ms); }
    bool linkRotationActive() const { return m_linkRotation.isActive(); }

    // What the session shows through this window; the window hands it to the session.
    ChannelPresenter &presenter() const { return *m_presenter; }
    // Alerts and notifications of room lines that name the user.
    MentionAlerts &mentionAlerts() const { return *m_mentionAlerts; }

    // "&Connect" and "&Disconnect" menu items.
    void setConnectionCommands(bool connectEnabled, bool disconnectEnabled);
    void setModeratorMenuVisible(bool visible);
    void setUserCountText(const QString &text);
    // Locks the input box and disables the member list while NickServ awaits a password.
    void setAwaitingIdentification(bool awaiting);
    void showChannelWindow();

public slots:
    // Makes ind ("1" to "15") the colour of the user's room messages and shows it in the input
    // box and the "Change Color" label.
    void selectcolor(const QString &ind);
    void showColourPicker();
    void showAboutBox();
    // The today page: loaded in its window without showing it, or shown (loaded if need be).
    void loadTodayPage();
    void showTodayPage();

signals:
    // The today page is due: loaded (not shown) at the fifth tick, shown at the eighth.
    void todayPageLoadRequested();
    void todayPageShowRequested();
    // The user confirmed "&Exit": the program should end.
    void exitRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildChatPage(QWidget *page);
    void buildLinkPages();
    void connectCommands();
    void registerElement(QWidget *widget);
    void registerNamedChildren(QWidget *parent);
    void applyLayout();
    void tabChanged(int index);
    void rotateLinkPages();
    bool canHideIntoTray() const;
    void askToHide();
    void askToExit();
    void popUpCopyMenu(const QPoint &globalPos);
    void connectComposition();
    void sendRoomMessage();
    void setBold(bool bold);
    void setUnderline(bool underline);
    // The input box and the "Change Color" label in the user's message formatting.
    void previewFormatting();
    void askForAction();
    void showSmileyPicker();
    void applySmileyPictures(bool on);

    IrcSession &m_session;
    QPointer<TrayIcon> m_tray;
    ChannelMenus m_menus;
    QHash<QString, QWidget *> m_elements;
    QTabWidget *m_tabs = nullptr;
    ChatView *m_roomView = nullptr;
    ChatView *m_topicView = nullptr;
    QListView *m_memberList = nullptr;
    QLabel *m_userCount = nullptr;
    QLineEdit *m_input = nullptr;
    SableCoolButton *m_sendButton = nullptr;
    QCheckBox *m_boldBox = nullptr;
    QCheckBox *m_underlineBox = nullptr;
    QLabel *m_colourLabel = nullptr;
    std::array<LinkPage *, 4> m_linkPages{};
    QTimer m_linkRotation;
    int m_rotation = 0;
    QString m_savedSelection;
    bool m_hideQuestionOpen = false;
    NickServDialogs *m_nickServDialogs = nullptr;
    RoomFormatting m_formatting;
    RoomComposer m_composer;
    ConversationWindows m_conversations; // after what its windows use
    std::unique_ptr<ChannelPresenter> m_presenter;
    MentionAlerts *m_mentionAlerts = nullptr;
    QPointer<ColourPicker> m_colourPicker;
    QPointer<AboutDialog> m_aboutBox;
    QPointer<TodayWindow> m_todayWindow;
    QPointer<SmileyPicker> m_smileyPicker;
    LinkOpener m_linkOpener{m_session};
};
