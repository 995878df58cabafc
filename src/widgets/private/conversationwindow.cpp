#include "conversationwindow.h"

#include "chat/chatview.h"
#include "controls/sablecoolbutton.h"
#include "controls/xpbutton.h"
#include "irc/ircsession.h"
#include "irc/roomcomposer.h"
#include "text/appendformatted.h"
#include "text/timeconversion.h"
#include "util/formatpreview.h"
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
    auto *lbltop = new QLabel(QStringLiteral("* Private Talk -"), this);
    lbltop->setObjectName(QStringLiteral("lbltop"));
    m_lbltop2 = new QLabel(QStringLiteral("Nickname"), this);
    m_lbltop2->setObjectName(QStringLiteral("lbltop2"));
    m_lbltop3 = new QLabel(QStringLiteral("time"), this);
    m_lbltop3->setObjectName(QStringLiteral("lbltop3"));
    QPalette green = m_lbltop3->palette();
    green.setColor(QPalette::WindowText, QColor(0, 99, 0));
    m_lbltop3->setPalette(green);
    heading->addWidget(lbltop);
    heading->addWidget(m_lbltop2);
    heading->addStretch(1);
    heading->addWidget(m_lbltop3);
    layout->addLayout(heading);

    const QFont arial(QStringLiteral("Arial"), 10);
    m_txtprvmsg = new ChatView(this);
    m_txtprvmsg->setObjectName(QStringLiteral("txtprvmsg"));
    m_txtprvmsg->setFont(arial);
    m_txtprvmsg->setBuffer(&m_buffer);
    m_txtprvmsg->viewport()->installEventFilter(this);
    layout->addWidget(m_txtprvmsg, 1);

    auto *inputRow = new QHBoxLayout;
    m_txtprvtosnd = new QLineEdit(this);
    m_txtprvtosnd->setObjectName(QStringLiteral("txtprvtosnd"));
    m_txtprvtosnd->setFont(arial);
    m_txtprvtosnd->installEventFilter(this);
    m_cmdclose = new QPushButton(QStringLiteral("Send"), this);
    m_cmdclose->setObjectName(QStringLiteral("cmdclose"));
    m_cmdclose->setToolTip(QStringLiteral("Send"));
    m_cmdclose->installEventFilter(this);
    connect(m_cmdclose, &QPushButton::clicked, this, &ConversationWindow::send);
    auto *cmdblock = new SableCoolButton(QStringLiteral("Block"), this);
    cmdblock->setObjectName(QStringLiteral("cmdblock"));
    cmdblock->setToolTip(QStringLiteral("Block This User"));
    connect(cmdblock, &SableCoolButton::clicked, this, &ConversationWindow::blockPartner);
    auto *smily = new XPButton(QStringLiteral("Smily"), this);
    smily->setObjectName(QStringLiteral("SableCoolButton1"));
    connect(smily, &XPButton::clicked, this, &ConversationWindow::smileyPickerRequested);
    inputRow->addWidget(m_txtprvtosnd, 1);
    inputRow->addWidget(m_cmdclose);
    inputRow->addWidget(cmdblock);
    inputRow->addWidget(smily);
    layout->addLayout(inputRow);

    m_copye = new QMenu(this);
    m_copye->setObjectName(QStringLiteral("copye"));
    QAction *mnucopy = m_copye->addAction(QStringLiteral("Copy"));
    mnucopy->setObjectName(QStringLiteral("mnucopy"));
    connect(mnucopy, &QAction::triggered, this,
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
    m_lbltop3->setText(u" * Chat Started : "_qs + startStamp() + u" *"_qs);
}

void ConversationWindow::open(const QString &partner)
{
    setWindowTitle(partner);
    m_lbltop2->setText(partner);
    if (!isVisible())
        appendStartLine();
    show();
}

void ConversationWindow::send()
{
    if (m_composer.sendPrivateMessage(m_buffer, windowTitle(), m_txtprvtosnd->text()))
        m_txtprvtosnd->clear();
}

void ConversationWindow::setSmileyPictures(bool on)
{
    m_txtprvmsg->setSmileyPictures(on);
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
    showFormatting({m_txtprvtosnd}, m_formatting);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    send();
    return true;
}

bool ConversationWindow::viewEvent(QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_txtprvtosnd->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::RightButton)
        return false;
    QGuiApplication::clipboard()->clear();
    m_copiedText = m_txtprvmsg->selectedText();
    m_copye->popup(mouse->globalPosition().toPoint());
    return true;
}

bool ConversationWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_txtprvtosnd)
        return inputEvent(event);
    if (watched == m_txtprvmsg->viewport())
        return viewEvent(event);
    if (watched == m_cmdclose && event->type() == QEvent::MouseButtonRelease) {
        // After the button has seen the release: taking the focus from a pressed button would
        // cancel its click.
        QMetaObject::invokeMethod(
            this, [this] { m_txtprvtosnd->setFocus(Qt::MouseFocusReason); }, Qt::QueuedConnection);
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
    event->accept();
}
