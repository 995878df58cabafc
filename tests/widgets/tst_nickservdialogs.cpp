#include "controls/sablecoolbutton.h"
#include "controls/xpbutton.h"
#include "dialogs/changenickdialog.h"
#include "dialogs/changepassworddialog.h"
#include "dialogs/identifydialog.h"
#include "dialogs/registerdialog.h"
#include "nickservtesting.h"

#include <QSignalSpy>

using namespace nickservtest;

// The identify, register, change-nick and change-password dialogs as the room window loads
// them: the lines each action sends, what the identify dialog shows and hands over, and which
// buttons they use. The register dialog's codes and refusals are in tst_registerdialog.
class TestNickServDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void actions_data();
    void actions();
    void whileNotConnected_data();
    void whileNotConnected();
    void identifyNickBox_data();
    void identifyNickBox();
    void identifyHandsOverToChangeNick();
    void passwordBoxesShowStars_data();
    void passwordBoxesShowStars();
    void buttonKinds_data();
    void buttonKinds();

private:
    Fixture m_nickServ;
};

void TestNickServDialogs::init()
{
    QVERIFY(m_nickServ.start());
}

void TestNickServDialogs::cleanup()
{
    m_nickServ.stop();
}

void TestNickServDialogs::actions_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<bool>("unloads");
    QTest::addColumn<QString>("nickAfter");
    QTest::addColumn<QStringList>("presenterCalls");

    const QStringList none;
    const QStringList registration{"pwd=pw", "rpwd=pw", "mid=a@b.c", "txtcode={code}"};
    const QByteArray registerLine = "nickserv register pw a@b.c\n";

    QTest::newRow("identify: OK") << Kind::Identify << QStringList{"txtpwd=pw"} << "click cmdok"
                                  << QByteArray("nickserv identify pw\n") << true << "alice"
                                  << none;
    QTest::newRow("identify: Enter in the password box")
        << Kind::Identify << QStringList{"txtpwd=pw"} << "enter txtpwd"
        << QByteArray("nickserv identify pw\n") << true << "alice" << none;
    QTest::newRow("identify: empty password")
        << Kind::Identify << none << "click cmdok" << QByteArray() << false << "alice" << none;
    QTest::newRow("identify: empty password, Enter")
        << Kind::Identify << none << "enter txtpwd" << QByteArray() << false << "alice" << none;
    QTest::newRow("identify: pasted line break")
        << Kind::Identify << QStringList{"txtpwd=pw\r\nQUIT :bye"} << "click cmdok"
        << QByteArray("nickserv identify pw\n") << true << "alice" << none;
    QTest::newRow("identify: nothing before the line break")
        << Kind::Identify << QStringList{"txtpwd=\npw"} << "click cmdok" << QByteArray() << false
        << "alice" << none;
    QTest::newRow("identify: Esc") << Kind::Identify << QStringList{"txtpwd=pw"} << "escape txtpwd"
                                   << QByteArray() << true << "alice" << none;

    QTest::newRow("register: button") << Kind::Register << registration << "click cmdok"
                                      << registerLine << true << "alice" << none;
    QTest::newRow("register: Enter in the e-mail box")
        << Kind::Register << registration << "enter mid" << registerLine << true << "alice" << none;
    QTest::newRow("register: Enter in another box does nothing")
        << Kind::Register << registration << "enter pwd" << QByteArray() << false << "alice"
        << none;
    QTest::newRow("register: right code, empty passwords")
        << Kind::Register << QStringList{"mid=a@b.c", "txtcode={code}"} << "click cmdok"
        << QByteArray() << false << "alice" << none;
    QTest::newRow("register: empty e-mail")
        << Kind::Register << QStringList{"pwd=pw", "rpwd=pw", "txtcode={code}"} << "click cmdok"
        << QByteArray() << false << "alice" << none;
    QTest::newRow("register: pasted line break in the e-mail")
        << Kind::Register
        << QStringList{"pwd=pw", "rpwd=pw", "mid=a@b.c\nQUIT :bye", "txtcode={code}"}
        << "click cmdok" << registerLine << true << "alice" << none;
    QTest::newRow("register: pasted line break in the passwords")
        << Kind::Register
        << QStringList{"pwd=pw\nJOIN #x", "rpwd=pw\nJOIN #x", "mid=a@b.c", "txtcode={code}"}
        << "click cmdok" << registerLine << true << "alice" << none;
    QTest::newRow("register: drop button disabled")
        << Kind::Register << QStringList{"txtcode={code}"} << "click cmddrop" << QByteArray()
        << false << "alice" << none;
    QTest::newRow("register: Cancel") << Kind::Register << registration << "click cancel"
                                      << QByteArray() << true << "alice" << none;
    QTest::newRow("register: Esc in the code box")
        << Kind::Register << registration << "escape txtcode" << QByteArray() << true << "alice"
        << none;

    QTest::newRow("drop: button") << Kind::Drop << QStringList{"txtcode={code}"} << "click cmddrop"
                                  << QByteArray("nickserv drop alice\n") << true << "alice" << none;
    QTest::newRow("drop: register button disabled")
        << Kind::Drop << QStringList{"txtcode={code}"} << "click cmdok" << QByteArray() << false
        << "alice" << none;

    QTest::newRow("nick: Change") << Kind::ChangeNick << QStringList{"Text1=bob"}
                                  << "click XPButton1" << QByteArray("nick bob\n") << true << "bob"
                                  << QStringList{"await 0"};
    QTest::newRow("nick: a blank passes unchanged")
        << Kind::ChangeNick << QStringList{"Text1=new name"} << "enter Text1"
        << QByteArray("nick new name\n") << true << "new name" << QStringList{"await 0"};
    QTest::newRow("nick: empty") << Kind::ChangeNick << none << "click XPButton1" << QByteArray()
                                 << false << "alice" << none;
    QTest::newRow("nick: pasted line break")
        << Kind::ChangeNick << QStringList{"Text1=a\nb"} << "click XPButton1"
        << QByteArray("nick a\n") << true << "a" << QStringList{"await 0"};
    QTest::newRow("nick: Esc") << Kind::ChangeNick << QStringList{"Text1=bob"} << "escape Text1"
                               << QByteArray() << true << "alice" << none;

    QTest::newRow("password: Change")
        << Kind::ChangePassword << QStringList{"Text1=x"} << "click XPButton1"
        << QByteArray("nickserv set password x\n") << true << "alice" << none;
    QTest::newRow("password: Enter")
        << Kind::ChangePassword << QStringList{"Text1=x"} << "enter Text1"
        << QByteArray("nickserv set password x\n") << true << "alice" << none;
    QTest::newRow("password: empty") << Kind::ChangePassword << none << "click XPButton1"
                                     << QByteArray() << false << "alice" << none;
    QTest::newRow("password: pasted line break")
        << Kind::ChangePassword << QStringList{"Text1=x\ry"} << "click XPButton1"
        << QByteArray("nickserv set password x\n") << true << "alice" << none;
    QTest::newRow("password: Esc") << Kind::ChangePassword << QStringList{"Text1=x"}
                                   << "escape Text1" << QByteArray() << true << "alice" << none;
}

void TestNickServDialogs::actions()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, fields);
    QFETCH(QString, action);
    QFETCH(QByteArray, wire);
    QFETCH(bool, unloads);
    QFETCH(QString, nickAfter);
    QFETCH(QStringList, presenterCalls);

    QPointer<QDialog> dialog = m_nickServ.open(kind);
    QVERIFY(dialog && dialog->isVisible());
    fill(dialog, fields);
    act(dialog, action);

    QCOMPARE(m_nickServ.sent(), wire);
    QCOMPARE(m_nickServ.vars.CurrentNick, nickAfter);
    QCOMPARE(m_nickServ.presenter.calls, presenterCalls);
    if (unloads) {
        QTRY_VERIFY(!dialog);
    } else {
        QVERIFY(dialog->isVisible());
        QVERIFY(!shownMessage(dialog));
    }
}

void TestNickServDialogs::whileNotConnected_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("action");

    QTest::newRow("identify") << Kind::Identify << QStringList{"txtpwd=pw"} << "click cmdok";
    QTest::newRow("register") << Kind::Register
                              << QStringList{"pwd=pw", "rpwd=pw", "mid=a@b.c", "txtcode={code}"}
                              << "click cmdok";
    QTest::newRow("drop") << Kind::Drop << QStringList{"txtcode={code}"} << "click cmddrop";
    QTest::newRow("change nick") << Kind::ChangeNick << QStringList{"Text1=bob"}
                                 << "click XPButton1";
    QTest::newRow("change password")
        << Kind::ChangePassword << QStringList{"Text1=secret"} << "click XPButton1";
}

// Nothing goes out while the program is not connected: the dialog stays with what was typed,
// the nickname stays, and the room view says why.
void TestNickServDialogs::whileNotConnected()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, fields);
    QFETCH(QString, action);

    m_nickServ.session->disconnectFromServer();
    m_nickServ.server->receivedSettled();
    m_nickServ.server->clearReceived();
    ChatBuffer &room = m_nickServ.session->roomView();
    const int linesBefore = room.lineCount();
    QPointer<QDialog> dialog = m_nickServ.open(kind);
    QVERIFY(dialog && dialog->isVisible());
    fill(dialog, fields);
    act(dialog, action);

    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(m_nickServ.vars.CurrentNick, QStringLiteral("alice"));
    QCOMPARE(room.lineCount(), linesBefore + 1);
    QCOMPARE(room.lineText(linesBefore),
             QStringLiteral(" *** Not sent: you are not connected to the server."));
    QCOMPARE(m_nickServ.server->receivedSettled(), QByteArray());
}

void TestNickServDialogs::identifyNickBox_data()
{
    QTest::addColumn<QString>("nick");
    QTest::addColumn<bool>("withNotice");
    QTest::addColumn<QString>("shownNick");

    QTest::newRow("no nick given") << QString() << true << "alice";
    QTest::newRow("nick given") << "bob" << true << "bob";
    QTest::newRow("from the menu, without the notice") << QString() << false << "alice";
}

void TestNickServDialogs::identifyNickBox()
{
    QFETCH(QString, nick);
    QFETCH(bool, withNotice);
    QFETCH(QString, shownNick);

    m_nickServ.dialogs->showIdentify(nick, withNotice);
    QDialog *dialog = m_nickServ.dialogs->identifyDialog();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(box(dialog, QStringLiteral("txtnick"))->text(), shownNick);
    QVERIFY(box(dialog, QStringLiteral("txtnick"))->isReadOnly());
    QCOMPARE(box(dialog, QStringLiteral("txtpwd"))->echoMode(), QLineEdit::Password);
    QCOMPARE(named<QLabel>(dialog, QStringLiteral("results"))->isVisible(), withNotice);
}

void TestNickServDialogs::passwordBoxesShowStars_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("identify") << Kind::Identify << "txtpwd";
    QTest::newRow("register: password") << Kind::Register << "pwd";
    QTest::newRow("register: again") << Kind::Register << "rpwd";
}

void TestNickServDialogs::passwordBoxesShowStars()
{
    QFETCH(Kind, kind);
    QFETCH(QString, name);
    QLineEdit *password = box(m_nickServ.open(kind), name);
    enter(password, QStringLiteral("s3cr3t!"));
    QCOMPARE(password->displayText(), QStringLiteral("*******"));
    QCOMPARE(password->text(), QStringLiteral("s3cr3t!"));
}

void TestNickServDialogs::identifyHandsOverToChangeNick()
{
    QSignalSpy channel(m_nickServ.dialogs.get(), &NickServDialogs::showChannelRequested);
    QPointer<QDialog> identify = m_nickServ.open(Kind::Identify);
    fill(identify, {"txtpwd=pw"});
    QTest::mouseClick(named<SableCoolButton>(identify, QStringLiteral("cn")), Qt::LeftButton);

    QCOMPARE(channel.count(), 1);
    QDialog *changeNick = m_nickServ.dialogs->changeNickDialog();
    QVERIFY(changeNick && changeNick->isVisible());
    QTRY_VERIFY(!identify);
    QCOMPARE(m_nickServ.sent(), QByteArray());
}

void TestNickServDialogs::buttonKinds_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("className");
    QTest::newRow("identify ok") << Kind::Identify << "cmdok" << QByteArray("SableCoolButton");
    QTest::newRow("identify change nick")
        << Kind::Identify << "cn" << QByteArray("SableCoolButton");
    for (const char *name : {"cmdok", "cmddrop", "cancel"})
        QTest::addRow("register %s", name) << Kind::Register << name << QByteArray("XPButton");
    QTest::newRow("change nick") << Kind::ChangeNick << "XPButton1"
                                 << QByteArray("SableCoolButton");
    QTest::newRow("change password")
        << Kind::ChangePassword << "XPButton1" << QByteArray("SableCoolButton");
}

void TestNickServDialogs::buttonKinds()
{
    QFETCH(Kind, kind);
    QFETCH(QString, button);
    QFETCH(QByteArray, className);
    QCOMPARE(QByteArray(
                 named<QAbstractButton>(m_nickServ.open(kind), button)->metaObject()->className()),
             className);
}

QTEST_MAIN(TestNickServDialogs)
#include "tst_nickservdialogs.moc"
