#include "chatpage.h"

#include "chat/chatview.h"
#include "controls/sablecoolbutton.h"
#include "irc/ircsession.h"
#include "memberlistview.h"
#include "util/nickcompleter.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>

QFont designFont(const QString &family, qreal pointSize, bool bold, bool underline)
{
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QWidget *addShape(QWidget *parent, const QString &name, const QColor &colour)
{
    auto *shape = new QWidget(parent);
    shape->setObjectName(name);
    shape->setAutoFillBackground(true);
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, colour);
    shape->setPalette(palette);
    shape->setAttribute(Qt::WA_TransparentForMouseEvents);
    return shape;
}

ChatPage ChatPage::build(QWidget *page, IrcSession &session)
{
    addShape(page, QStringLiteral("shapebg1"), QColor(0, 86, 128));
    addShape(page, QStringLiteral("shapetop4"), QColor(170, 227, 255));
    addShape(page, QStringLiteral("shapenicktop"), QColor(170, 227, 255));
    ChatPage chat;
    chat.buildTopic(page, session);
    chat.buildRoom(page, session);
    chat.buildMembers(page, session);
    chat.buildInput(page, session);
    return chat;
}

void ChatPage::buildTopic(QWidget *page, IrcSession &session)
{
    auto *topic = new QLabel(QStringLiteral("Topic:"), page);
    topic->setObjectName(QStringLiteral("topic"));
    topic->setFont(designFont(QStringLiteral("Comic Sans MS"), 9.75, true));
    QPalette red = topic->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    topic->setPalette(red);

    topicView = new ChatView(page);
    topicView->setObjectName(QStringLiteral("rtbtopic"));
    topicView->setSingleLine(true);
    topicView->setFont(designFont(QStringLiteral("Times New Roman"), 8.25));
    topicView->setBuffer(&session.topicView());
    topicView->setAccessibleName(QStringLiteral("Topic"));
}

void ChatPage::buildRoom(QWidget *page, IrcSession &session)
{
    roomView = new ChatView(page);
    roomView->setObjectName(QStringLiteral("datain"));
    const QFont roomFont = designFont(QStringLiteral("Arial"), 9.75);
    roomView->setFont(roomFont);
    roomView->setBuffer(&session.roomView());
    roomView->setAccessibleName(QStringLiteral("Room conversation"));
    session.roomView().setBasePointSize(roomFont.pointSizeF());
}

void ChatPage::buildMembers(QWidget *page, IrcSession &session)
{
    memberList = new MemberListView(page);
    memberList->setObjectName(QStringLiteral("lstnicks"));
    memberList->setToolTip(QStringLiteral("Nickname List"));
    memberList->setAccessibleName(memberList->toolTip());
    memberList->setFont(designFont(QStringLiteral("Tahoma"), 8.25, true));
    memberList->setModel(&session.members());
    memberList->setUniformItemSizes(true);
    memberList->setEditTriggers(QAbstractItemView::NoEditTriggers);

    userCount = new QLabel(QStringLiteral("Total Users = [0]"), page);
    userCount->setObjectName(QStringLiteral("lblusers"));
    userCount->setFont(designFont(QStringLiteral("Arial"), 8.25, true));
    userCount->setAutoFillBackground(true);
    QPalette lilac = userCount->palette();
    lilac.setColor(QPalette::Window, QColor(192, 192, 255));
    lilac.setColor(QPalette::WindowText, Qt::black); // on lilac under any theme
    userCount->setPalette(lilac);
    userCount->setAlignment(Qt::AlignCenter);
}

void ChatPage::buildInput(QWidget *page, IrcSession &session)
{
    input = new QLineEdit(page);
    input->setObjectName(QStringLiteral("dataout"));
    input->setFont(designFont(QStringLiteral("Arial"), 9));
    input->setAccessibleName(QStringLiteral("Message to the room"));
    new NickCompleter(input, [&session](QStringView typed) {
        return session.nickCompletion().candidates(typed, session.members().entries());
    });

    sendButton = new SableCoolButton(QStringLiteral("Send"), page);
    sendButton->setObjectName(QStringLiteral("cmdsend"));
    sendButton->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));

    boldBox = new QCheckBox(QStringLiteral("Bold"), page);
    boldBox->setObjectName(QStringLiteral("chkbold"));
    boldBox->setToolTip(QStringLiteral("Make Text Bold"));
    boldBox->setFont(designFont(QStringLiteral("Microsoft Sans Serif"), 8.25, true));

    underlineBox = new QCheckBox(QStringLiteral("Underline"), page);
    underlineBox->setObjectName(QStringLiteral("chkunder"));
    underlineBox->setToolTip(QStringLiteral("Make Text Underline"));
    underlineBox->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, false, true));

    colourLabel = new QLabel(QStringLiteral("Change Color"), page);
    colourLabel->setObjectName(QStringLiteral("lblcolortitle"));
    colourLabel->setToolTip(QStringLiteral("Change Color"));
    colourLabel->setFont(designFont(QStringLiteral("Comic Sans MS"), 9));
    colourLabel->setCursor(Qt::PointingHandCursor);

    auto *colourSample = new QLabel(page);
    colourSample->setObjectName(QStringLiteral("lblcolor"));
}
