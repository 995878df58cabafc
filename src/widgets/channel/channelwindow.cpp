#include "channelwindow.h"

#include "channelpresenter.h"
#include "chat/chatview.h"
#include "chat/findbar.h"
#include "chatpage.h"
#include "controls/sablecoolbutton.h"
#include "controls/trayicon.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/colourpicker.h"
#include "dialogs/nickservdialogs.h"
#include "dialogs/smileypicker.h"
#include "dialogs/todaywindow.h"
#include "irc/ircsession.h"
#include "linkpage.h"
#include "mentionalerts.h"
#include "rememberedtoggle.h"
#include "roomcommands.h"
#include "tabpictures.h"
#include "util/formatpreview.h"
#include "util/inputsending.h"
#include "util/messageboxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QWindow>

namespace {

const QString kCaption = QStringLiteral("Velmora Messenger \u00ae - Ver 1.0 ");
constexpr int kDesignWidth = 9135;
constexpr int kDesignHeight = 9000;
// The pictures beside the tab captions, in tab order: Home, Chat, Google, Entertainment, Links.
const QString kTabPictures[] = {"home", "chat", "search", "entertainment", "links"};

// The controls of the Chat page that only that page shows.
const QStringList kChatControls = {"shapetop4", "topic",        "rtbtopic", "datain",
                                   "dataout",   "shapenicktop", "lstnicks", "lblcolortitle",
                                   "chkbold",   "chkunder",     "cmdsend",  "lblusers"};

} // namespace

ChannelWindow::ChannelWindow(IrcSession &session, TrayIcon *tray, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_tray(tray), m_composer(session, m_formatting),
      m_conversations(session, m_composer, m_formatting)
{
    setObjectName(QStringLiteral("channel"));
    setWindowTitle(kCaption);
    setMouseTracking(true);

    auto *central = new QWidget(this);
    central->setMouseTracking(true);
    setCentralWidget(central);
    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(QStringLiteral("Tab1"));
    m_tabs->setTabPosition(QTabWidget::South);
    m_tabs->setFont(designFont(QStringLiteral("Comic Sans MS"), 9.75));
    registerElement(m_tabs);

    auto *chatPage = new QWidget;
    chatPage->setObjectName(QStringLiteral("chatpage"));
    buildChatPage(chatPage);
    buildLinkPages();
    m_tabs->insertTab(1, chatPage, QStringLiteral("Chat"));
    for (int tab = 0; tab < m_tabs->count(); ++tab)
        m_tabs->setTabIcon(tab, tabPicture(kTabPictures[tab]));
    m_tabs->setCurrentIndex(1);
    connect(m_tabs, &QTabWidget::currentChanged, this, &ChannelWindow::tabChanged);

    m_menus = ChannelMenus::build(menuBar(), this);
    // Ctrl+F stays "&Connect"'s while that is enabled, except in the room view and its find bar.
    (new FindBar(m_roomView))->openOnWindowKeys(this, m_menus.connect);
    m_nickServDialogs = new NickServDialogs(session, this, this);
    connect(m_nickServDialogs, &NickServDialogs::showChannelRequested, this,
            &ChannelWindow::showChannelWindow);
    connectCommands();
    connectComposition();
    applySmileyPictures(
        rememberToggle(m_menus.smileyPictures, QStringLiteral("smileypictures"), false));
    session.setReconnectAutomatically(
        rememberToggle(m_menus.reconnect, QStringLiteral("reconnect"), false));
    connect(m_menus.reconnect, &QAction::toggled, &session, &IrcSession::setReconnectAutomatically);
    new RoomCommands(session, *this);
    selectcolor(m_formatting.colourIndex());

    m_linkRotation.setObjectName(QStringLiteral("timerweb"));
    m_linkRotation.setInterval(LinkRotationMs);
    connect(&m_linkRotation, &QTimer::timeout, this, &ChannelWindow::rotateLinkPages);
    m_linkRotation.start();

    const Twips t = twips();
    resize(t.toPixelsX(kDesignWidth), t.toPixelsY(kDesignHeight));
    move(t.toPixelsX(int(t.perPixelY) + 100), t.toPixelsY(int(t.perPixelX)));
    m_mentionAlerts = new MentionAlerts(*this, m_tray, m_menus.notifyMentions, this);
    m_presenter = std::make_unique<ChannelPresenter>(*this, *m_nickServDialogs, m_conversations);
    session.setPresenter(m_presenter.get());
}

ChannelWindow::~ChannelWindow()
{
    delete m_todayWindow.data(); // windows of their own, not children
    delete m_smileyPicker.data();
    m_session.setPresenter(nullptr);
}

Twips ChannelWindow::twips() const
{
    const QScreen *current = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!current)
        return {};
    return Twips::forScreen(*current);
}

void ChannelWindow::registerElement(QWidget *widget)
{
    m_elements.insert(widget->objectName(), widget);
}

void ChannelWindow::registerNamedChildren(QWidget *parent)
{
    for (QWidget *child : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->objectName().isEmpty())
            registerElement(child);
    }
}

void ChannelWindow::buildChatPage(QWidget *page)
{
    const ChatPage chat = ChatPage::build(page, m_session);
    m_topicView = chat.topicView;
    m_roomView = chat.roomView;
    m_memberList = chat.memberList;
    m_userCount = chat.userCount;
    m_input = chat.input;
    m_sendButton = chat.sendButton;
    m_boldBox = chat.boldBox;
    m_underlineBox = chat.underlineBox;
    m_colourLabel = chat.colourLabel;
    registerNamedChildren(page);
    // Clicks on the views, the member list and the colour label are the window's to answer.
    for (QWidget *watched : {m_topicView->viewport(), m_roomView->viewport(),
                             m_memberList->viewport(), static_cast<QWidget *>(m_colourLabel)})
        watched->installEventFilter(this);
    for (ChatView *view : {m_roomView, m_topicView})
        connect(view, &ChatView::linkActivated, this,
                [this](const QString &address) { m_linkOpener.open(address); });
}

void ChannelWindow::connectCommands()
{
    connect(m_menus.connect, &QAction::triggered, &m_session, &IrcSession::reconnect);
    connect(m_menus.disconnect, &QAction::triggered, &m_session, &IrcSession::disconnectFromServer);
    connect(m_menus.refusePrivates, &QAction::toggled, &m_session,
            &IrcSession::setRefuseNewPrivates);
    connect(m_menus.smileyPictures, &QAction::toggled, this, &ChannelWindow::applySmileyPictures);
    connect(m_menus.smileys, &QAction::triggered, this, &ChannelWindow::showSmileyPicker);
    connect(m_menus.copySelection, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(m_savedSelection); });
    connect(m_menus.identify, &QAction::triggered, this,
            [this] { m_nickServDialogs->showIdentify({}, false); });
    connect(m_menus.changeNick, &QAction::triggered, m_nickServDialogs,
            &NickServDialogs::showChangeNick);
    connect(m_menus.changePassword, &QAction::triggered, m_nickServDialogs,
            &NickServDialogs::showChangePassword);
    connect(m_menus.registerNick, &QAction::triggered, this,
            [this] { m_nickServDialogs->showRegister(RegisterDialog::Mode::Register); });
    connect(m_menus.dropNick, &QAction::triggered, this,
            [this] { m_nickServDialogs->showRegister(RegisterDialog::Mode::Drop); });
    // The menu always brings the today page back to its start, wherever the user browsed to.
    connect(m_menus.today, &QAction::triggered, this, [this] {
        loadTodayPage();
        showTodayPage();
    });
    connect(m_menus.aboutBox, &QAction::triggered, this, &ChannelWindow::showAboutBox);
    connect(this, &ChannelWindow::todayPageLoadRequested, this, &ChannelWindow::loadTodayPage);
    connect(this, &ChannelWindow::todayPageShowRequested, this, &ChannelWindow::showTodayPage);
    if (m_tray) {
        connect(m_tray, &TrayIcon::aboutRequested, this, &ChannelWindow::showAboutBox);
        connect(m_tray, &TrayIcon::showChannelRequested, this, &ChannelWindow::showChannelWindow);
    }
    connect(m_menus.exit, &QAction::triggered, this, &ChannelWindow::askToExit);
}

void ChannelWindow::applyLayout()
{
    const Twips t = twips();
    const QSize outer = frameGeometry().size();
    const ChannelLayout layout =
        ChannelLayout::forSize(t.fromPixelsX(outer.width()), t.fromPixelsY(outer.height()));
    for (auto it = m_elements.cbegin(); it != m_elements.cend(); ++it) {
        if (layout.has(it.key()))
            it.value()->setGeometry(t.toPixels(layout.rect(it.key())));
    }
    for (int page = 0; page < 4; ++page)
        m_linkPages[size_t(page)]->setViewGeometry(
            t.toPixels(layout.rect(QStringLiteral("web%1").arg(page))));
}

void ChannelWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (!isMinimized()) {
        // The window never gets smaller than its minimum; a border drag below it snaps back.
        const Twips t = twips();
        const QMargins frame = frameGeometry().size() == size()
                                   ? QMargins()
                                   : QMargins(geometry().left() - frameGeometry().left(),
                                              geometry().top() - frameGeometry().top(),
                                              frameGeometry().right() - geometry().right(),
                                              frameGeometry().bottom() - geometry().bottom());
        const QSize minimum(t.toPixelsX(ChannelLayout::MinimumWidth) - frame.left() - frame.right(),
                            t.toPixelsY(ChannelLayout::MinimumHeight) - frame.top() -
                                frame.bottom());
        setMinimumSize(minimum);
        if (width() < minimum.width() || height() < minimum.height()) {
            resize(std::max(width(), minimum.width()), std::max(height(), minimum.height()));
            return; // the resize that follows lays the window out
        }
    }
    applyLayout();
}

void ChannelWindow::tabChanged(int index)
{
    const bool chat = index == 1;
    for (const QString &name : kChatControls) {
        if (QWidget *control = m_elements.value(name))
            control->setVisible(chat);
    }
}

void ChannelWindow::closeEvent(QCloseEvent *event)
{
    // Closing only hides the room into the tray, and only when the user says so; without a
    // tray to bring it back it goes to the task bar instead.
    event->ignore();
    if (!canHideIntoTray()) {
        showMinimized();
        return;
    }
    askToHide();
}

bool ChannelWindow::canHideIntoTray() const
{
    return m_tray && m_tray->isAvailable();
}

void ChannelWindow::askToHide()
{
    if (m_hideQuestionOpen)
        return;
    m_hideQuestionOpen = true;
    QMessageBox *box = messageboxes::askYesNo(
        this, QStringLiteral("hidequestion"), windowTitle(),
        QStringLiteral("You are about to hide the chat. Do you wish to continue?"),
        [this] { canHideIntoTray() ? hide() : showMinimized(); });
    connect(box, &QMessageBox::finished, this, [this] { m_hideQuestionOpen = false; });
}

void ChannelWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_tray)
        m_tray->AddChatTrayIcon();
    if (event->type() == QEvent::WindowStateChange)
        applyLayout();
}

void ChannelWindow::mouseMoveEvent(QMouseEvent *event)
{
    // A move over the window itself with the right button held offers the tray menu.
    if ((event->buttons() & Qt::RightButton) && m_tray && m_tray->chatMenu())
        m_tray->chatMenu()->popup(event->globalPosition().toPoint());
    QMainWindow::mouseMoveEvent(event);
}

void ChannelWindow::popUpCopyMenu(const QPoint &globalPos)
{
    QGuiApplication::clipboard()->clear();
    m_savedSelection = m_roomView->selectedText();
    m_menus.copy->popup(globalPos);
}

bool ChannelWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return QMainWindow::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    if (watched == m_roomView->viewport()) {
        if (mouse->button() == Qt::RightButton)
            popUpCopyMenu(global);
        else if (mouse->button() == Qt::LeftButton && !m_roomView->hasSelection())
            m_input->setFocus(); // a plain click goes back to typing; a drag keeps its copy
    } else if (watched == m_colourLabel && mouse->button() == Qt::LeftButton) {
        showColourPicker();
    } else if (watched == m_topicView->viewport() && mouse->button() == Qt::LeftButton) {
        m_input->setFocus();
    } else if (watched == m_memberList->viewport() && mouse->button() == Qt::RightButton) {
        m_menus.users->popup(global);
    }
    return QMainWindow::eventFilter(watched, event);
}

void ChannelWindow::setConnectionCommands(bool connectEnabled, bool disconnectEnabled)
{
    m_menus.connect->setEnabled(connectEnabled);
    m_menus.disconnect->setEnabled(disconnectEnabled);
}

void ChannelWindow::setModeratorMenuVisible(bool visible)
{
    m_menus.moderator->menuAction()->setVisible(visible);
}

void ChannelWindow::setUserCountText(const QString &text)
{
    m_userCount->setText(text);
}

void ChannelWindow::setAwaitingIdentification(bool awaiting)
{
    m_input->setReadOnly(awaiting);
    m_memberList->setEnabled(!awaiting);
}

void ChannelWindow::showChannelWindow()
{
    show();
    raise();
    activateWindow();
}

void ChannelWindow::showAboutBox()
{
    AboutDialog::showOnce(m_aboutBox, m_session.serverHost(), m_session.serverPort(),
                          m_session.isEncrypted(), this);
}

void ChannelWindow::connectComposition()
{
    connect(m_sendButton, &SableCoolButton::clicked, this, [this] {
        sendRoomMessage();
        m_input->setFocus();
    });
    connect(m_input, &QLineEdit::returnPressed, this, &ChannelWindow::sendRoomMessage);
    connect(m_boldBox, &QCheckBox::toggled, this, &ChannelWindow::setBold);
    connect(m_underlineBox, &QCheckBox::toggled, this, &ChannelWindow::setUnderline);
    for (int i = 0; i < int(m_menus.say.size()); ++i) {
        connect(m_menus.say[size_t(i)], &QAction::triggered, this, [this, i] {
            const QString entry = m_memberList->currentIndex().data().toString();
            const QString error = m_composer.sendSayAction(i, entry);
            if (!error.isEmpty())
                messageboxes::inform(this, QMessageBox::Information, SelectUserErrorTitle, error);
        });
    }
    connect(m_menus.act, &QAction::triggered, this, &ChannelWindow::askForAction);
}

void ChannelWindow::sendRoomMessage()
{
    inputsending::sendInput(*m_input, m_session.isConnected(), [this](const QString &text) {
        return m_composer.sendRoomMessage(text);
    });
}

void ChannelWindow::selectcolor(const QString &ind)
{
    if (m_formatting.setColourIndex(ind))
        previewFormatting();
}

void ChannelWindow::previewFormatting()
{
    showFormatting({m_input, m_colourLabel}, m_formatting);
}

void ChannelWindow::showColourPicker()
{
    if (!m_colourPicker) {
        m_colourPicker = new ColourPicker(this);
        connect(m_colourPicker, &ColourPicker::colourPicked, this, &ChannelWindow::selectcolor);
    }
    m_colourPicker->show();
    m_colourPicker->raise();
}

void ChannelWindow::setBold(bool bold)
{
    m_formatting.setBold(bold);
    previewFormatting();
    m_input->setFocus();
}

void ChannelWindow::setUnderline(bool underline)
{
    m_formatting.setUnderline(underline);
    previewFormatting();
    m_input->setFocus();
}

void ChannelWindow::showSmileyPicker()
{
    if (!m_smileyPicker)
        m_smileyPicker = new SmileyPicker(SmileyPicker::Kind::Room);
    m_smileyPicker->openFor(m_input);
}

void ChannelWindow::applySmileyPictures(bool on)
{
    m_roomView->setSmileyPictures(on);
    m_conversations.setSmileyPictures(on);
}

void ChannelWindow::askForAction()
{
    messageboxes::askText(this, QStringLiteral("actinput"), QStringLiteral("Act"),
                          QStringLiteral("Enter Your Text ?"),
                          [this](const QString &text) { m_composer.sendAct(text); });
}

void ChannelWindow::askToExit()
{
    messageboxes::askYesNo(this, QStringLiteral("exitquestion"),
                           QStringLiteral("Velmora Messenger"),
                           QStringLiteral("Are you sure you want to exit Velmora Messenger?"),
                           [this] { emit exitRequested(); });
}
