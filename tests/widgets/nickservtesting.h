#pragma once

// What the NickServ dialog tests share: a session connected to a scripted loopback server with
// the dialogs loaded over it, the exact bytes the dialogs send, and the boxes driven as a person
// drives them.

#include "dialogs/nickservdialogs.h"
#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"
#include "support/sessionrecorder.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace nickservtest {

enum class Kind
{
    Identify,
    Register,
    Drop,
    ChangeNick,
    ChangePassword
};

inline const QByteArray kUserLineTail = " local irc :Velmora Messenger 1.0 (Orvane)\r\n";

template<typename T> T *named(QWidget *dialog, const QString &name)
{
    T *widget = dialog->findChild<T *>(name);
    if (!widget)
        qFatal("%s has no %s", qPrintable(dialog->objectName()), qPrintable(name));
    return widget;
}

inline QLineEdit *box(QWidget *dialog, const QString &name)
{
    return named<QLineEdit>(dialog, name);
}

inline QString code(QWidget *dialog)
{
    return named<QLabel>(dialog, QStringLiteral("lbcode"))->text();
}

// Types text as a person would; a text with a line break can only be pasted.
inline void enter(QLineEdit *box, const QString &text)
{
    if (text.contains(u'\n') || text.contains(u'\r')) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(box, text);
    }
}

// Fields given as "box=text"; "{code}" stands for the code the dialog shows.
inline void fill(QWidget *dialog, const QStringList &fields)
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
inline void act(QWidget *dialog, const QString &action)
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

inline QMessageBox *shownMessage(QWidget *dialog)
{
    const auto boxes = dialog->findChildren<QMessageBox *>();
    const auto shown =
        std::find_if(boxes.begin(), boxes.end(), [](QMessageBox *box) { return box->isVisible(); });
    return shown == boxes.end() ? nullptr : *shown;
}

// A session signed in as alice in #velmora on a scripted server, with the dialogs over it.
struct Fixture
{
    SessionVariables vars;
    RecordingPresenter presenter;
    std::unique_ptr<ScriptedServer> server;
    std::unique_ptr<IrcSession> session;
    std::unique_ptr<NickServDialogs> dialogs;

    // False when the session did not reach the server; call it through QVERIFY.
    bool start()
    {
        vars = SessionVariables();
        vars.CurrentNick = QStringLiteral("alice");
        vars.CurrentRoom = QStringLiteral("#velmora");
        presenter.calls.clear();
        server = std::make_unique<ScriptedServer>();
        session = std::make_unique<IrcSession>(vars);
        session->setPresenter(&presenter);
        session->setServer(QStringLiteral("127.0.0.1"), server->port());
        session->ConnectToServer();
        if (!server->acceptClient() ||
            !server->receivedUntil(kUserLineTail).endsWith(kUserLineTail))
            return false;
        server->clearReceived();
        presenter.calls.clear();
        dialogs = std::make_unique<NickServDialogs>(*session);
        return true;
    }

    void stop()
    {
        dialogs.reset();
        session.reset();
        server.reset();
    }

    QDialog *open(Kind kind)
    {
        switch (kind) {
        case Kind::Identify:
            dialogs->showIdentify();
            return dialogs->identifyDialog();
        case Kind::Register:
        case Kind::Drop:
            dialogs->showRegister(kind == Kind::Register ? RegisterDialog::Mode::Register
                                                         : RegisterDialog::Mode::Drop);
            return dialogs->registerDialog();
        case Kind::ChangeNick:
            dialogs->showChangeNick();
            return dialogs->changeNickDialog();
        case Kind::ChangePassword:
            dialogs->showChangePassword();
            return dialogs->changePasswordDialog();
        }
        return nullptr;
    }

    // The exact bytes the session wrote since the last call: a marker line sent after them
    // comes back last, so nothing written before it can be missed.
    QByteArray sent()
    {
        const QByteArray marker = "MARK\n";
        session->SendData(u"MARK");
        QByteArray bytes = server->receivedUntil(marker);
        server->clearReceived();
        if (!bytes.endsWith(marker))
            return "<no marker in " + bytes + ">";
        bytes.chop(marker.size());
        return bytes;
    }
};

} // namespace nickservtest
