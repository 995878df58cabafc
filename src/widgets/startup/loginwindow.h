#pragma once

#include <QWidget>

struct SessionVariables;
class QCheckBox;
class QComboBox;
class QLayout;
class QLineEdit;
class XPButton;

// Collects the nickname, password, room and whether to connect over TLS, remembers what the user
// asks it to between runs (store section "Store": username, password, number, tls), and sets the
// session variables for the room window. Connect hands over and closes the window; Cancel, or
// closing it, ends the program.
class LoginWindow : public QWidget
{
    Q_OBJECT
public:
    explicit LoginWindow(SessionVariables &vars, QWidget *parent = nullptr);

    // Places the window 300 twips left of and 800 twips above the launcher, kept on its screen.
    void setLauncher(QWidget *launcher);
    // Selects room in the room list, adding it when the list lacks it (names compared without
    // regard to case): the room of an irc:// address the program was started with.
    void offerRoom(const QString &room);
    // Ticks "Secure connection (TLS)": the program was started with ircs:// or --tls.
    void offerSecureConnection();
    // Whether the user asks for a TLS connection.
    bool secureConnection() const;

signals:
    // The session variables are set and the window is closing; the room window is next.
    void connectRequested();
    void cancelRequested();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct Labels;
    Labels makeLabels();
    void makeInputs();
    QLayout *layOut(const Labels &labels, QWidget *cancel);
    void connectInputs(XPButton *cancel);
    void load();
    void activated();
    void connectToChat();
    void refuse(const QString &text);
    void guestToggled(bool guest);
    // Fills both boxes without the reactions of typing: the stored password stays as it is.
    void fillBoxesQuietly(const QString &nick, const QString &password);
    void savePasswordToggled(bool save);
    void loadAtStartupToggled(bool load);

    SessionVariables &m_vars;
    QLineEdit *m_nickBox;
    QLineEdit *m_passwordBox;
    QComboBox *m_roomBox;
    QCheckBox *m_guestCheck;
    QCheckBox *m_rememberMeCheck;
    QCheckBox *m_savePasswordCheck;
    QCheckBox *m_loadAtStartupCheck;
    QCheckBox *m_tlsCheck;
    XPButton *m_connectButton;
    bool m_connecting = false;
    bool m_fillingQuietly = false;
    // Activation only runs its sequence when it comes from another window of the program or is
    // the first one, not on a return from the window's own message box or another program.
    bool m_quietActivation = false;
};
