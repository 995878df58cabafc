#include "conversationwindow.h"

#include "irc/ircsession.h"
#include "render/appendformatted.h"
#include "render/chatview.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
QString startStamp()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toString(u"HH:mm:ss") + u' ' + now.toString(u"MM-dd-yyyy");
}
} // namespace

ConversationWindow::ConversationWindow(IrcSession &session, ChatBuffer &view, QWidget *parent)
    : QWidget(parent, Qt::Window), m_session(session), m_buffer(view)
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

    m_txtprvmsg = new ChatView(this);
    m_txtprvmsg->setObjectName(QStringLiteral("txtprvmsg"));
    m_txtprvmsg->setFont(QFont(QStringLiteral("Arial"), 10));
    m_txtprvmsg->setBuffer(&m_buffer);
    layout->addWidget(m_txtprvmsg, 1);

    auto *inputRow = new QHBoxLayout;
    m_txtprvtosnd = new QLineEdit(this);
    m_txtprvtosnd->setObjectName(QStringLiteral("txtprvtosnd"));
    m_cmdclose = new QPushButton(QStringLiteral("Send"), this);
    m_cmdclose->setObjectName(QStringLiteral("cmdclose"));
    m_cmdclose->setToolTip(QStringLiteral("Send"));
    inputRow->addWidget(m_txtprvtosnd, 1);
    inputRow->addWidget(m_cmdclose);
    layout->addLayout(inputRow);
    resize(520, 320);
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

void ConversationWindow::closeEvent(QCloseEvent *event)
{
    m_session.clearform(windowTitle());
    event->accept();
}
