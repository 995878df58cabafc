#include "controls/sablecoolbutton.h"
#include "controls/xpbutton.h"
#include "dialogs/changenickdialog.h"
#include "dialogs/changepassworddialog.h"
#include "dialogs/identifydialog.h"
#include "dialogs/nickservdialogs.h"
#include "dialogs/registerdialog.h"
#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"
#include "support/sessionrecorder.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

namespace {

const QByteArray kUserLineTail = " local irc :Velmora Messenger 1.0 (Orvane)\r\n";

template<typename T> T *named(QWidget *dialog, const QString &name)
{
    T *widget = dialog->findChild<T *>(name);
    if (!widget)
        qFatal("%s has no %s", qPrintable(dialog->objectName()), qPrintable(name));
    return widget;
}

QLineEdit *box(QWidget *dialog, const QString &name)
{
    return named<QLineEdit>(dialog, name);
}

QString code(QWidget *dialog)
{
    return named<QLabel>(dialog, QStringLiteral("lbcode"))->text();
}

// Types text as a person would; a text with a line break can only be pasted.
void enter(QLineEdit *box, const QString &text)
{
    if (text.contains(u'\n') || text.contains(u'\r')) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(box, text);
    }
}

// Fields given as "box=text"; "{code}" stands for the code the dialog shows.
void fill(QWidget *dialog, const QStringList &fields)
{
    for (const QString &field : fields) {
        const qsizetype at = field.indexOf(u'=');
        QString text = field.mid(at + 1);
        if (text.contains(QStringLiteral("{code}")))
            text.replace(QStringLiteral("{code}"), code(dialog));
        enter(box(dialog, field.left(at)), text);
    }
}

// "click button", "enter box" (the Enter key) or "escape box".
void act(QWidget *dialog, const QString &action)
{
    const QStringList words = action.split(u' ');
    if (words[0] == u"click")
        QTest::mouseClick(named<QAbstractButton>(dialog, words[1]), Qt::LeftButton);
    else if (words[0] == u"enter")
        QTest::keyClick(box(dialog, words[1]), Qt::Key_Return);
    else if (words[0] == u"escape")
        QTest::keyClick(box(dialog, words[1]), Qt::Key_Escape);
    else
        qFatal("unknown action %s", qPrintable(action));
}

QMessageBox *shownMessage(QWidget *dialog)
{
    const auto boxes = dialog->findChildren<QMessageBox *>();
    const auto shown =
        std::find_if(boxes.begin(), boxes.end(), [](QMessageBox *box) { return box->isVisible(); });
    return shown == boxes.end() ? nullptr : *shown;
}

} // namespace

class TestNickServDialogs : public QObject
{
    Q_OBJECT
public:
    enum class Kind
    {
        Identify,
        Register,
        Drop,
        ChangeNick,
        ChangePassword
    };
    Q_ENUM(Kind)

private slots:
    void init();
    void cleanup();
    void actions_data();
    void actions();
    void refusals_data();
    void refusals();
    void dropIgnoresTheOtherBoxes();
    void codesAreFreshAndWellFormed();
    void modes_data();
    void modes();
    void registerShowsTheCurrentNick();
    void identifyNickBox_data();
    void identifyNickBox();
    void identifyHandsOverToChangeNick();
    void buttonKinds_data();
    void buttonKinds();

private:
    QDialog *open(Kind kind);
    QByteArray sent();

    SessionVariables m_vars;
    RecordingPresenter m_presenter;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
    std::unique_ptr<NickServDialogs> m_dialogs;
};

void TestNickServDialogs::init()
{
    m_vars = SessionVariables();
    m_vars.CurrentNick = QStringLiteral("alice");
    m_vars.CurrentRoom = QStringLiteral("#velmora");
    m_presenter.calls.clear();
    m_server = std::make_unique<ScriptedServer>();
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setPresenter(&m_presenter);
    m_session->setServer(QStringLiteral("127.0.0.1"), m_server->port());
    m_session->ConnectToServer();
    QVERIFY(m_server->acceptClient());
    QVERIFY(m_server->receivedUntil(kUserLineTail).endsWith(kUserLineTail));
    m_server->clearReceived();
    m_presenter.calls.clear();
    m_dialogs = std::make_unique<NickServDialogs>(*m_session);
}

void TestNickServDialogs::cleanup()
{
    m_dialogs.reset();
    m_session.reset();
    m_server.reset();
}

QDialog *TestNickServDialogs::open(Kind kind)
{
    switch (kind) {
    case Kind::Identify:
        m_dialogs->showIdentify();
        return m_dialogs->identifyDialog();
    case Kind::Register:
    case Kind::Drop:
        m_dialogs->showRegister(kind == Kind::Register ? RegisterDialog::Mode::Register
                                                       : RegisterDialog::Mode::Drop);
        return m_dialogs->registerDialog();
    case Kind::ChangeNick:
        m_dialogs->showChangeNick();
        return m_dialogs->changeNickDialog();
    case Kind::ChangePassword:
        m_dialogs->showChangePassword();
        return m_dialogs->changePasswordDialog();
    }
    return nullptr;
}

// The exact bytes the session wrote since the last call: a marker line sent after them comes
// back last, so nothing written before it can be missed.
QByteArray TestNickServDialogs::sent()
{
    const QByteArray marker = "MARK\n";
    m_session->SendData(u"MARK");
    QByteArray bytes = m_server->receivedUntil(marker);
    m_server->clearReceived();
    if (!bytes.endsWith(marker))
        return "<no marker in " + bytes + ">";
    bytes.chop(marker.size());
    return bytes;
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
                                  << QByteArray("nickserv drop \n") << true << "alice" << none;
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

    QPointer<QDialog> dialog = open(kind);
    QVERIFY(dialog && dialog->isVisible());
    fill(dialog, fields);
    act(dialog, action);

    QCOMPARE(sent(), wire);
    QCOMPARE(m_vars.CurrentNick, nickAfter);
    QCOMPARE(m_presenter.calls, presenterCalls);
    if (unloads) {
        QTRY_VERIFY(!dialog);
    } else {
        QVERIFY(dialog->isVisible());
        QVERIFY(!shownMessage(dialog));
    }
}

void TestNickServDialogs::refusals_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("codeRefused");
    QTest::addColumn<QStringList>("passwordsAfter");

    const QString badCode = QStringLiteral("Please type the code and correctly first.");
    const QString badDropCode = QStringLiteral("Please type the code Correctly First.");
    const QString mismatch = QStringLiteral("The Passwords in both the fields must be same");

    QTest::newRow("wrong code") << Kind::Register
                                << QStringList{"pwd=pw", "rpwd=pw", "mid=a@b.c", "txtcode=1"}
                                << "cmdok" << badCode << true << QStringList{"pw", "pw"};
    QTest::newRow("wrong code and passwords differ: the code comes first")
        << Kind::Register << QStringList{"pwd=pw", "rpwd=qq", "mid=a@b.c", "txtcode=1"} << "cmdok"
        << badCode << true << QStringList{"pw", "qq"};
    QTest::newRow("code with a leading zero")
        << Kind::Register << QStringList{"pwd=pw", "rpwd=pw", "mid=a@b.c", "txtcode=0{code}"}
        << "cmdok" << badCode << true << QStringList{"pw", "pw"};
    QTest::newRow("code with a blank")
        << Kind::Register << QStringList{"pwd=pw", "rpwd=pw", "mid=a@b.c", "txtcode={code} "}
        << "cmdok" << badCode << true << QStringList{"pw", "pw"};
    QTest::newRow("no code") << Kind::Register << QStringList{"pwd=pw", "rpwd=pw", "mid=a@b.c"}
                             << "cmdok" << badCode << true << QStringList{"pw", "pw"};
    QTest::newRow("passwords differ")
        << Kind::Register << QStringList{"pwd=pw", "rpwd=qq", "mid=a@b.c", "txtcode={code}"}
        << "cmdok" << mismatch << false << QStringList{"", ""};
    QTest::newRow("passwords differ in case")
        << Kind::Register << QStringList{"pwd=pw", "rpwd=PW", "mid=a@b.c", "txtcode={code}"}
        << "cmdok" << mismatch << false << QStringList{"", ""};
    QTest::newRow("drop: wrong code") << Kind::Drop << QStringList{"txtcode=1"} << "cmddrop"
                                      << badDropCode << true << QStringList{"", ""};
    QTest::newRow("drop: code with a blank")
        << Kind::Drop << QStringList{"txtcode= {code}"} << "cmddrop" << badDropCode << true
        << QStringList{"", ""};
    QTest::newRow("drop: no code")
        << Kind::Drop << QStringList() << "cmddrop" << badDropCode << true << QStringList{"", ""};
}

void TestNickServDialogs::refusals()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, fields);
    QFETCH(QString, button);
    QFETCH(QString, message);
    QFETCH(bool, codeRefused);
    QFETCH(QStringList, passwordsAfter);

    QPointer<QDialog> dialog = open(kind);
    fill(dialog, fields);
    const QString shownCode = code(dialog);
    const QString typedCode = box(dialog, QStringLiteral("txtcode"))->text();
    QTest::mouseClick(named<XPButton>(dialog, button), Qt::LeftButton);

    // The click has returned with the box up: it does not hold up the event loop.
    QMessageBox *shown = shownMessage(dialog);
    QVERIFY(shown);
    QCOMPARE(shown->windowTitle(), QStringLiteral("Error"));
    QCOMPARE(shown->text(), message);
    QCOMPARE(shown->icon(), QMessageBox::Information);
    QCOMPARE(shown->standardButtons(), QMessageBox::Ok);
    QCOMPARE(sent(), QByteArray());

    QCOMPARE(code(dialog) != shownCode, codeRefused);
    QCOMPARE(box(dialog, QStringLiteral("txtcode"))->text(), codeRefused ? QString() : typedCode);
    QCOMPARE((QStringList{box(dialog, QStringLiteral("pwd"))->text(),
                          box(dialog, QStringLiteral("rpwd"))->text()}),
             passwordsAfter);

    QTest::mouseClick(shown->button(QMessageBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!shownMessage(dialog));
    QVERIFY(dialog->isVisible());
}

void TestNickServDialogs::dropIgnoresTheOtherBoxes()
{
    QPointer<QDialog> dialog = open(Kind::Register);
    fill(dialog, {"pwd=pw", "rpwd=qq", "mid=a@b.c"});
    QCOMPARE(open(Kind::Drop), dialog.data());
    fill(dialog, {"txtcode={code}"});
    QTest::mouseClick(named<XPButton>(dialog, QStringLiteral("cmddrop")), Qt::LeftButton);

    QVERIFY(!shownMessage(dialog));
    QCOMPARE(sent(), QByteArray("nickserv drop \n"));
    QTRY_VERIFY(!dialog);
}

void TestNickServDialogs::codesAreFreshAndWellFormed()
{
    const QRegularExpression wellFormed(QStringLiteral("^(0|[1-9][0-9]{0,13})$"));
    QStringList codes;
    for (int i = 0; i < 40; ++i) {
        QPointer<QDialog> dialog = open(Kind::Register);
        const QString shown = code(dialog);
        QVERIFY2(wellFormed.match(shown).hasMatch(), qPrintable(shown));
        QVERIFY(box(dialog, QStringLiteral("pwd"))->text().isEmpty());
        enter(box(dialog, QStringLiteral("pwd")), QStringLiteral("pw"));

        QCOMPARE(open(Kind::Drop), dialog.data());
        QCOMPARE(code(dialog), shown);

        QTest::keyClick(box(dialog, QStringLiteral("txtcode")), Qt::Key_Escape);
        QTRY_VERIFY(!dialog);
        codes << shown;
    }
    QCOMPARE(QSet<QString>(codes.begin(), codes.end()).size(), codes.size());
    // Nine codes in ten have all 14 digits; none at all would mean a narrower range.
    QVERIFY(std::any_of(codes.begin(), codes.end(),
                        [](const QString &code) { return code.size() == 14; }));
}

void TestNickServDialogs::modes_data()
{
    QTest::addColumn<QList<Kind>>("modes");
    QTest::addColumn<QString>("enabled"); // cmdok pwd rpwd mid cmddrop

    QTest::newRow("register") << QList<Kind>{Kind::Register} << "11110";
    QTest::newRow("drop") << QList<Kind>{Kind::Drop} << "00001";
    QTest::newRow("drop while open for register")
        << QList<Kind>{Kind::Register, Kind::Drop} << "00001";
    QTest::newRow("register while open for drop")
        << QList<Kind>{Kind::Drop, Kind::Register} << "11110";
}

void TestNickServDialogs::modes()
{
    QFETCH(QList<Kind>, modes);
    QFETCH(QString, enabled);

    QDialog *dialog = nullptr;
    for (Kind mode : modes)
        dialog = open(mode);
    QString states;
    for (const char *name : {"cmdok", "pwd", "rpwd", "mid", "cmddrop"})
        states += named<QWidget>(dialog, QLatin1String(name))->isEnabled() ? u'1' : u'0';
    QCOMPARE(states, enabled);
    QCOMPARE(box(dialog, QStringLiteral("pwd"))->echoMode(), QLineEdit::Password);
    QCOMPARE(box(dialog, QStringLiteral("rpwd"))->echoMode(), QLineEdit::Password);
}

void TestNickServDialogs::registerShowsTheCurrentNick()
{
    QDialog *dialog = open(Kind::Drop);
    QCOMPARE(box(dialog, QStringLiteral("nick"))->text(), QStringLiteral("alice"));
    m_vars.CurrentNick = QStringLiteral("bob");
    dialog->hide();
    QCOMPARE(open(Kind::Drop), dialog);
    QCOMPARE(box(dialog, QStringLiteral("nick"))->text(), QStringLiteral("bob"));
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

    m_dialogs->showIdentify(nick, withNotice);
    QDialog *dialog = m_dialogs->identifyDialog();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(box(dialog, QStringLiteral("txtnick"))->text(), shownNick);
    QVERIFY(box(dialog, QStringLiteral("txtnick"))->isReadOnly());
    QCOMPARE(box(dialog, QStringLiteral("txtpwd"))->echoMode(), QLineEdit::Password);
    QCOMPARE(named<QLabel>(dialog, QStringLiteral("results"))->isVisible(), withNotice);
}

void TestNickServDialogs::identifyHandsOverToChangeNick()
{
    QSignalSpy channel(m_dialogs.get(), &NickServDialogs::showChannelRequested);
    QPointer<QDialog> identify = open(Kind::Identify);
    fill(identify, {"txtpwd=pw"});
    QTest::mouseClick(named<SableCoolButton>(identify, QStringLiteral("cn")), Qt::LeftButton);

    QCOMPARE(channel.count(), 1);
    QDialog *changeNick = m_dialogs->changeNickDialog();
    QVERIFY(changeNick && changeNick->isVisible());
    QTRY_VERIFY(!identify);
    QCOMPARE(sent(), QByteArray());
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
    QCOMPARE(QByteArray(named<QAbstractButton>(open(kind), button)->metaObject()->className()),
             className);
}

QTEST_MAIN(TestNickServDialogs)
#include "tst_nickservdialogs.moc"
