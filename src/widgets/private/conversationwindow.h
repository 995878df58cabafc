#pragma once

#include <QWidget>

class ChatBuffer;
class ChatView;
class IrcSession;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class RoomComposer;
class RoomFormatting;

// The window of one private conversation: the partner's name, the start line, the view of the
// conversation and the input line. Closing it frees the partner's slot in the conversation
// table and empties the view and the input line; the window object stays for the next
// conversation that takes the slot.
class ConversationWindow : public QWidget
{
    Q_OBJECT
public:
    // Smallest size of the window, in twips.
    static constexpr int MinimumWidthTwips = 7530;
    static constexpr int MinimumHeightTwips = 4470;

    // Messages go out through composer, in the room's formatting, which the input box previews.
    ConversationWindow(IrcSession &session, ChatBuffer &view, RoomComposer &composer,
                       const RoomFormatting &formatting, QWidget *parent = nullptr);

    // Shows the window for a partner: caption and heading become the partner's nick, and a
    // window that was closed starts again in the normal state with only a fresh start line.
    void open(const QString &partner);
    QString partner() const { return windowTitle(); }

    // Sends what the input box holds to the partner, one message per line, and empties the
    // box; blank input stays where it is and nothing is sent.
    void send();
    // Adds the partner to the blocked nicks unless listed already, then closes the window.
    void blockPartner();

    // The box the user types into; a smiley picker appends its codes here.
    QLineEdit *inputBox() const { return m_input; }
    // Smiley codes in the conversation view drawn as their pictures.
    void setSmileyPictures(bool on);

signals:
    // The "Smily" button: the user wants to pick a smiley for the input box.
    void smileyPickerRequested();
    // A click on an address in the conversation view.
    void linkActivated(const QString &address);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void appendStartLine();
    void applyMinimumSize();
    void colourStartLabel();
    bool inputEvent(QEvent *event);
    bool viewEvent(QEvent *event);

    IrcSession &m_session;
    ChatBuffer &m_buffer;
    RoomComposer &m_composer;
    const RoomFormatting &m_formatting;
    QString m_copiedText;
    ChatView *m_view = nullptr;
    QLabel *m_partnerLabel = nullptr;
    QLabel *m_startLabel = nullptr;
    QLineEdit *m_input = nullptr;
    QPushButton *m_sendButton = nullptr;
    QMenu *m_copyMenu = nullptr;
};
