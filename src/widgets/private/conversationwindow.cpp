#include "conversationwindow.h"

#include "chat/chatview.h"
#include "chat/findbar.h"
#include "controls/sablecoolbutton.h"
#include "controls/xpbutton.h"
#include "irc/ircsession.h"
#include "irc/roomcomposer.h"
#include "text/appendformatted.h"
#include "text/timeconversion.h"
#include "util/formatpreview.h"
#include "util/inputsending.h"
#include "util/ircbackground.h"
#include "util/nickcompleter.h"
#include "util/twips.h"

#include <QBoxLayout>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace {
QString startStamp()
{
    return formatTimeStamp(QDateTime::currentDateTime());
}
} // namespace

ConversationWindow::ConversationWindow(IrcSession &session, ChatBuffer &view,
                                       RoomComposer &composer, const RoomFormatting &formatting,
                                       QWidget *parent)
    : QWidget(parent, Qt::Window), m_session(session), m_buffer(view), m_composer(composer),
      m_formatting(formatting)
{
    setObjectName(QStringLiteral("frmprvmsg"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QHBoxLayout;
    auto *title = new QLabel(QStringLiteral("* Private Talk -"), this);
    title->setObjectName(QStringLiteral("lbltop"));
    m_partnerLabel = new QLabel(QStringLiteral("Nickname"), this);
    m_partnerLabel->setObjectName(QStringLiteral("lbltop2"));
    m_startLabel = new QLabel(QStringLiteral("time"), this);
    m_startLabel->setObjectName(QStringLiteral("lbltop3"));
    colourStartLabel();
    heading->addWidget(title);
    heading->addWidget(m_partnerLabel);
    heading->addStretch(1);
    heading->addWidget(m_startLabel);
    layout->addLayout(heading);

    const QFont arial(QStringLiteral("Arial"), 10);
    m_view = new ChatView(this);
    m_view->setObjectName(QStringLiteral("txtprvmsg"));
    m_view->setFont(arial);
    m_view->setBuffer(&m_buffer);
    m_view->setAccessibleName(QStringLiteral("Private conversation"));
    m_view->viewport()->installEventFilter(this);
    connect(m_view, &ChatView::linkActivated, this, &ConversationWindow::linkActivated);
    layout->addWidget(m_view, 1);
    (new FindBar(m_view))->openOnWindowKeys(this);

    auto *inputRow = new QHBoxLayout;
    m_input = new QLineEdit(this);
    m_input->setObjectName(QStringLiteral("txtprvtosnd"));
    m_input->setFont(arial);
    useIrcBackground(m_input);
    new NickCompleter(m_input, [this](QStringView typed) {
        return partner().startsWith(typed, Qt::CaseInsensitive) ? QStringList{partner()}
                                                                : QStringList();
    });
    m_input->installEventFilter(this);
    m_sendButton = new QPushButton(QStringLiteral("Send"), this);
    m_sendButton->setObjectName(QStringLiteral("cmdclose"));
    m_sendButton->setToolTip(QStringLiteral("Send"));
    m_sendButton->installEventFilter(this);
    connect(m_sendButton, &QPushButton::clicked, this, &ConversationWindow::send);
    auto *blockButton = new SableCoolButton(QStringLiteral("Block"), this);
    blockButton->setObjectName(QStringLiteral("cmdblock"));
    blockButton->setToolTip(QStringLiteral("Block This User"));
    connect(blockButton, &SableCoolButton::clicked, this, &ConversationWindow::blockPartner);
    auto *smileyButton = new XPButton(QStringLiteral("Smily"), this);
    smileyButton->setObjectName(QStringLiteral("SableCoolButton1"));
    connect(smileyButton, &XPButton::clicked, this, &ConversationWindow::smileyPickerRequested);
    inputRow->addWidget(m_input, 1);
    inputRow->addWidget(m_sendButton);
    inputRow->addWidget(blockButton);
    inputRow->addWidget(smileyButton);
    layout->addLayout(inputRow);

    m_copyMenu = new QMenu(this);
    m_copyMenu->setObjectName(QStringLiteral("copye"));
    QAction *copyAction = m_copyMenu->addAction(QStringLiteral("Copy"));
    copyAction->setObjectName(QStringLiteral("mnucopy"));
    connect(copyAction, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(m_copiedText); });

    applyMinimumSize();
    resize(minimumSize().expandedTo(QSize(520, 320)));
}

void ConversationWindow::applyMinimumSize()
{
    const QScreen *where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!where)
        return;
    const Twips twips = Twips::forScreen(*where);
    setMinimumSize(twips.toPixelsX(MinimumWidthTwips), twips.toPixelsY(MinimumHeightTwips));
}

void ConversationWindow::appendStartLine()
{
    AppendFormatted(m_buffer, u"\x02\x03"
                              "3 * Chat Started : "_qs +
                                  startStamp() + u" *"_qs);
    m_startLabel->setText(u" * Chat Started : "_qs + startStamp() + u" *"_qs);
}

void ConversationWindow::open(const QString &partner)
{
    setWindowTitle(partner);
    m_partnerLabel->setText(partner);
    m_input->setAccessibleName(QStringLiteral("Message to %1").arg(partner));
    if (!isVisible()) {
        // Loaded afresh, as a new window would be: only the new start line, in the normal state
        // (a window closed while minimized would otherwise take messages out of sight).
        m_buffer.clear();
        setWindowState(Qt::WindowNoState);
        appendStartLine();
    }
    show();
}

void ConversationWindow::send()
{
    // The partner as the user sees it now, should a question come first.
    inputsending::sendInput(*m_input, m_session.isConnected(),
                            [this, partner = windowTitle()](const QString &text) {
                                return m_composer.sendPrivateMessage(m_buffer, partner, text);
                            });
}

void ConversationWindow::setSmileyPictures(bool on)
{
    m_view->setSmileyPictures(on);
}

void ConversationWindow::blockPartner()
{
    m_session.blockedNicks().add(windowTitle());
    close();
}

bool ConversationWindow::inputEvent(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    showFormatting({m_input}, m_formatting);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    send();
    return true;
}

bool ConversationWindow::viewEvent(QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_input->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::RightButton)
        return false;
    QGuiApplication::clipboard()->clear();
    m_copiedText = m_view->selectedText();
    m_copyMenu->popup(mouse->globalPosition().toPoint());
    return true;
}

void ConversationWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        colourStartLabel();
    QWidget::changeEvent(event);
}

void ConversationWindow::colourStartLabel()
{
    // Green on the window's own background, made lighter where a dark theme makes that dark.
    QPalette palette = m_startLabel->palette();
    palette.setColor(QPalette::WindowText,
                     readableOn(QColor(0, 99, 0), this->palette().color(QPalette::Window)));
    m_startLabel->setPalette(palette);
}

bool ConversationWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_input)
        return inputEvent(event);
    if (watched == m_view->viewport())
        return viewEvent(event);
    if (watched == m_sendButton && event->type() == QEvent::MouseButtonRelease) {
        // After the button has seen the release: taking the focus from a pressed button would
        // cancel its click.
        QMetaObject::invokeMethod(
            this, [this] { m_input->setFocus(Qt::MouseFocusReason); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void ConversationWindow::showEvent(QShowEvent *event)
{
    applyMinimumSize();
    QWidget::showEvent(event);
}

void ConversationWindow::closeEvent(QCloseEvent *event)
{
    m_session.clearform(windowTitle());
    // The window waits for whoever takes its slot next: nothing of this conversation may show
    // there or be sent on by Enter.
    m_buffer.clear();
    m_input->clear();
    m_copiedText.clear();
    event->accept();
}
