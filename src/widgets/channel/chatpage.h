#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class ChatView;
class IrcSession;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QWidget;
class SableCoolButton;

// A font of the room window's design: family and point size, bold and underline as given.
QFont designFont(const QString &family, qreal pointSize, bool bold = false, bool underline = false);

// A named plain rectangle of one colour behind the controls, letting mouse events through.
QWidget *addShape(QWidget *parent, const QString &name, const QColor &colour);

// The controls of the room window's "Chat" tab, made on their page in the fonts and colours of
// the design and named as they always were; ChannelLayout places them. The views and the member
// list are bound to the session here; what the controls do is wired by the window.
struct ChatPage
{
    ChatView *topicView = nullptr;
    ChatView *roomView = nullptr;
    QListView *memberList = nullptr;
    QLabel *userCount = nullptr;
    QLineEdit *input = nullptr;
    SableCoolButton *sendButton = nullptr;
    QCheckBox *boldBox = nullptr;
    QCheckBox *underlineBox = nullptr;
    QLabel *colourLabel = nullptr;

    static ChatPage build(QWidget *page, IrcSession &session);

private:
    void buildTopic(QWidget *page, IrcSession &session);
    void buildRoom(QWidget *page, IrcSession &session);
    void buildMembers(QWidget *page, IrcSession &session);
    void buildInput(QWidget *page, IrcSession &session);
};
