#include "channel/channelpresenter.h"
#include "channel/channelwindow.h"
#include "channel/linkpage.h"
#include "chat/chatview.h"
#include "controls/sablecoolbutton.h"
#include "controls/trayicon.h"
#include "dialogs/todaywindow.h"
#include "irc/ircsession.h"
#include "platform/settingsstore.h"
#include "roomwindowfixture.h"
#include "session/linkpages.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <QWebEngineView>

// The room window as the session's face: what the interpreter asks for shows up in the window,
// and nothing it shows holds up the lines that follow.
class TestChannelWindow : public QObject, public RoomWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void messageBoxesDoNotStopTheSession();
    void menuItemsKeepTheirNames_data();
    void menuItemsKeepTheirNames();
    void identificationLocksAndUnlocks();
    void privateMessageOpensItsWindow();
    void memberCountAndList();
    void hideQuestion();
    void withoutATrayClosingMinimizes();
    void copyMenuSavesTheSelection();
    void talkingInTheRoom();
    void pastedLines_data();
    void pastedLines();
    void exitAsksFirst();
    void sayActionsNeedASelectedMember();
    void smileyPicturesSwitchIsRemembered();
    void roomSmileyPickerFillsTheInputBox();
};

void TestChannelWindow::initTestCase()
{
    useScratchSettings();
}

void TestChannelWindow::init()
{
    startRoom();
}

void TestChannelWindow::cleanup()
{
    stopRoom();
}

void TestChannelWindow::messageBoxesDoNotStopTheSession()
{
    // Each of these raises a message box; the PING after them is still answered, in order.
    const QByteArray answer =
        m_server->exchange(":op!o@h KICK #velmora alice :out\r\n"
                           ":srv 474 alice #velmora :Cannot join\r\n"
                           ":srv 433 * alice :in use\r\n:srv KILL alice :bye\r\n");
    QCOMPARE(answer, QByteArray());
    const auto boxes = m_window->findChildren<QMessageBox *>();
    QStringList titles;
    for (const QMessageBox *box : boxes) {
        QVERIFY(box->isVisible());
        titles << box->windowTitle();
    }
    titles.sort();
    QCOMPARE(titles, (QStringList{"Banned", "Kick", "Kill", "Nick Error"}));
}

void TestChannelWindow::menuItemsKeepTheirNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("connect") << "mnuConnect"
                             << "&Connect"
                             << "Ctrl+F";
    QTest::newRow("disconnect") << "mnudc"
                                << "&Disconnect"
                                << "Ctrl+D";
    QTest::newRow("exit") << "mnudisconnect"
                          << "&Exit"
                          << "Ctrl+Q";
    QTest::newRow("forgot") << "mnuforgot"
                            << "&Forgot Password"
                            << "";
    QTest::newRow("away 6") << "mnuawayaway6"
                            << "Out to &Lunch"
                            << "";
    QTest::newRow("own reason") << "mnuawayownreason"
                                << "Own &Reason"
                                << "";
    QTest::newRow("say 2") << "act2"
                           << "&Slap !"
                           << "";
    QTest::newRow("blocked nicks") << "mnuignorelist"
                                   << "Blocked &Nicks"
                                   << "F4";
    QTest::newRow("kick 0") << "mnukick0"
                            << "&Kick"
                            << "";
    QTest::newRow("kick 3") << "mnukick3"
                            << "&Take Voice (-V)"
                            << "";
    QTest::newRow("kick 5") << "mnukick5"
                            << "&Unban (-b)"
                            << "";
    QTest::newRow("copy") << "mnucopye"
                          << "Copy"
                          << "";
}

void TestChannelWindow::menuItemsKeepTheirNames()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    const auto *item = m_window->findChild<QAction *>(name);
    QVERIFY(item);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->shortcut(), QKeySequence(shortcut));
    // The typed handles are the named items.
    const ChannelMenus &menus = m_window->menus();
    QCOMPARE(menus.moderation(commands::Moderation::Devoice)->objectName(), u"mnukick3"_qs);
    QCOMPARE(menus.away[5]->objectName(), u"mnuawayaway6"_qs);
    QCOMPARE(menus.exit->objectName(), u"mnudisconnect"_qs);
}

void TestChannelWindow::identificationLocksAndUnlocks()
{
    m_server->exchange(":NickServ!s@h NOTICE alice :please choose a different nick.\r\n");
    QVERIFY(child<QLineEdit>("dataout")->isReadOnly());
    QVERIFY(!child<QListView>("lstnicks")->isEnabled());
    QTRY_VERIFY(m_window->findChild<QDialog *>(QStringLiteral("frmpassword")));
    QVERIFY(m_window->findChild<QDialog *>(QStringLiteral("frmpassword"))->isVisible());

    m_server->exchange(
        ":NickServ!s@h NOTICE alice :Password accepted - you are now recognized.\r\n");
    QVERIFY(!child<QLineEdit>("dataout")->isReadOnly());
    QVERIFY(child<QListView>("lstnicks")->isEnabled());
}

void TestChannelWindow::privateMessageOpensItsWindow()
{
    m_server->exchange(":bob!b@h PRIVMSG alice :hello there\r\n");
    QWidget *conversation = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"frmprvmsg" && widget->isVisible())
            conversation = widget;
    }
    QVERIFY(conversation);
    QCOMPARE(conversation->windowTitle(), u"bob"_qs);
    QCOMPARE(conversation->findChild<QLabel *>(QStringLiteral("lbltop2"))->text(), u"bob"_qs);
    auto *view = conversation->findChild<ChatView *>(QStringLiteral("txtprvmsg"));
    QVERIFY(view && view->buffer());
    QCOMPARE(view->buffer()->lineCount(), 2); // the start line, then the message
    QVERIFY(view->buffer()->lineText(0).startsWith(u" * Chat Started : "_qs));
    QCOMPARE(view->buffer()->lineText(1), u" < bob > hello there"_qs);

    // Closing frees the slot and empties the view; the next message opens the window again
    // with only a new start line, whoever writes.
    for (const QString &partner : {u"bob"_qs, u"carol"_qs}) {
        conversation->close();
        QCOMPARE(m_session->conversations().findSlot(u"bob"_qs), -1);
        QCOMPARE(view->buffer()->lineCount(), 0);
        m_server->exchange(":" + partner.toUtf8() + "!c@h PRIVMSG alice :back\r\n");
        QVERIFY(conversation->isVisible());
        QCOMPARE(conversation->windowTitle(), partner);
        QCOMPARE(view->buffer()->lineCount(), 2);
        QVERIFY(view->buffer()->lineText(0).startsWith(u" * Chat Started : "_qs));
        QCOMPARE(view->buffer()->lineText(1), u" < "_qs + partner + u" > back"_qs);
    }
}

void TestChannelWindow::memberCountAndList()
{
    m_server->exchange(":srv 353 alice = #velmora :@ann bob +carl\r\n:bob!b@h PART #velmora\r\n");
    QCOMPARE(child<QLabel>("lblusers")->text(), u"Total Users = [2]"_qs);
    QAbstractItemModel *model = child<QListView>("lstnicks")->model();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(0, 0).data().toString(), u"@ann"_qs);
    QCOMPARE(model->index(1, 0).data().toString(), u"+carl"_qs);
}

void TestChannelWindow::hideQuestion()
{
    auto answer = [this](QMessageBox::StandardButton button) {
        m_window->close();
        QMessageBox *box = nullptr;
        QTRY_VERIFY((box = m_window->findChild<QMessageBox *>(QStringLiteral("hidequestion"))));
        QCOMPARE(box->text(), u"You are about to hide the chat. Do you wish to continue?"_qs);
        QCOMPARE(box->windowTitle(), m_window->windowTitle());
        QCOMPARE(box->icon(), QMessageBox::Question);
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    };
    answer(QMessageBox::No);
    QVERIFY(m_window->isVisible());
    answer(QMessageBox::Yes);
    QTRY_VERIFY(!m_window->isVisible());
    // Hidden, the session goes on.
    QCOMPARE(m_server->exchange(":bob!b@h PRIVMSG #velmora :still here\r\n"), QByteArray());
    const ChatBuffer &room = *m_window->roomView()->buffer();
    QCOMPARE(room.lineText(room.lineCount() - 1), u" < bob > still here"_qs);
}

void TestChannelWindow::withoutATrayClosingMinimizes()
{
    // Nothing could bring a hidden window back: it goes to the task bar, without a question.
    m_desktopHasTray = false;
    m_window->close();
    QTRY_VERIFY(m_window->isMinimized());
    QVERIFY(m_window->isVisible());
    QVERIFY(!m_window->findChild<QMessageBox *>(QStringLiteral("hidequestion")));

    // The tray going away while the question is up: Yes minimizes too.
    m_window->showNormal();
    m_desktopHasTray = true;
    m_window->close();
    QMessageBox *box = nullptr;
    QTRY_VERIFY((box = m_window->findChild<QMessageBox *>(QStringLiteral("hidequestion"))));
    m_desktopHasTray = false;
    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    QTRY_VERIFY(m_window->isMinimized());
    QVERIFY(m_window->isVisible());
}

void TestChannelWindow::copyMenuSavesTheSelection()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QWidget *viewport = m_window->roomView()->viewport();
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(20, 20));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    QMenu *copyMenu = m_window->menus().copy;
    QTRY_VERIFY(copyMenu->isVisible());
    copyMenu->hide();
    m_window->menus().copySelection->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());

    m_window->roomView()->selectAll();
    QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(20, 20));
    m_window->menus().copy->hide();
    m_window->menus().copySelection->trigger();
    QVERIFY(QGuiApplication::clipboard()->text().contains(u"Velmora Messenger Beta"_qs));
}

void TestChannelWindow::talkingInTheRoom()
{
    auto *dataout = child<QLineEdit>("dataout");
    // Underline first, then bold: the line still carries bold before underline.
    QTest::mouseClick(child<QCheckBox>("chkunder"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("chkbold"), Qt::LeftButton);
    QVERIFY(dataout->hasFocus() || !QApplication::focusWidget()); // focus goes back to typing
    QVERIFY(dataout->font().bold() && dataout->font().underline());
    QTest::mouseClick(child<QLabel>("lblcolortitle"), Qt::LeftButton);
    QWidget *picker = nullptr;
    QTRY_VERIFY((picker = m_window->findChild<QWidget *>(QStringLiteral("fromcolor"))) &&
                picker->isVisible());
    QTest::mouseClick(picker->findChild<QWidget *>(QStringLiteral("lblcin12")), Qt::LeftButton);
    QTRY_VERIFY(!picker->isVisible());
    QCOMPARE(dataout->palette().color(QPalette::Text), QColor(0, 0, 255));

    dataout->setFocus();
    QTest::keyClicks(dataout, QStringLiteral("2 apples"));
    QTest::keyClick(dataout, Qt::Key_Return);
    QCOMPARE(m_server->receivedUntil("\n"), QByteArray("PRIVMSG #velmora :\x03"
                                                       "12 \x02\x1f"
                                                       "2 apples\n"));
    QCOMPARE(dataout->text(), QString());
    const ChatBuffer &room = *m_window->roomView()->buffer();
    QCOMPARE(room.lineText(room.lineCount() - 1), u" < alice >  2 apples"_qs);

    // Blanks only: nothing sent, the text stays.
    m_server->clearReceived();
    QTest::keyClicks(dataout, QStringLiteral("   "));
    QTest::keyClick(dataout, Qt::Key_Return);
    QCOMPARE(m_server->receivedSettled(), QByteArray());
    QCOMPARE(dataout->text(), u"   "_qs);

    // Not connected: nothing is echoed or sent, the text stays and one line says so.
    m_window->menus().disconnect->trigger();
    QVERIFY(m_server->receivedUntil("\n").contains("QUIT "));
    m_server->clearReceived();
    const int shown = room.lineCount();
    dataout->setText(u"still here"_qs);
    QTest::keyClick(dataout, Qt::Key_Return);
    QCOMPARE(m_server->receivedSettled(), QByteArray());
    QCOMPARE(dataout->text(), u"still here"_qs);
    QCOMPARE(room.lineCount(), shown + 1);
    QCOMPARE(room.lineText(shown), u" *** Not sent: you are not connected to the server."_qs);
}

void TestChannelWindow::pastedLines_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("answer"); // to the question, when one comes
    QTest::addColumn<bool>("sent");
    QTest::newRow("3 lines") << 3 << "" << true;
    QTest::newRow("20 lines, no question") << 20 << "" << true;
    QTest::newRow("21 lines, Yes") << 21 << "Yes" << true;
    QTest::newRow("21 lines, No") << 21 << "No" << false;
}

void TestChannelWindow::pastedLines()
{
    QFETCH(int, lines);
    QFETCH(QString, answer);
    QFETCH(bool, sent);
    QStringList pasted;
    QByteArray wire;
    QStringList echoes;
    for (int i = 1; i <= lines; ++i) {
        pasted << QStringLiteral("line %1").arg(i) << QString(i == 1 ? 2 : 0, u' ');
        wire += "PRIVMSG #velmora :\x03"
                "1 line " +
                QByteArray::number(i) + "\n";
        echoes << QStringLiteral(" < alice >  line %1").arg(i);
    }
    QGuiApplication::clipboard()->setText(pasted.join(u"\r\n"_qs));
    auto *dataout = child<QLineEdit>("dataout");
    dataout->setFocus();
    QTest::keyClick(dataout, Qt::Key_V, Qt::ControlModifier);
    const QString typed = dataout->text();
    QCOMPARE(typed.count(u'\n'), 2 * lines - 1);
    const ChatBuffer &room = *m_window->roomView()->buffer();
    const int shown = room.lineCount();
    QTest::keyClick(dataout, Qt::Key_Return);

    if (!answer.isEmpty()) {
        QMessageBox *box = nullptr;
        QTRY_VERIFY((box = m_window->findChild<QMessageBox *>(QStringLiteral("pastequestion"))));
        QCOMPARE(
            box->text(),
            QStringLiteral("You are about to send %1 lines. Do you wish to continue?").arg(lines));
        // The session goes on while the question is open; nothing is sent before the answer.
        QCOMPARE(m_server->exchange(QByteArray()), QByteArray());
        QTest::mouseClick(box->button(answer == u"Yes" ? QMessageBox::Yes : QMessageBox::No),
                          Qt::LeftButton);
    }
    QCOMPARE(m_server->exchange(QByteArray()), sent ? wire : QByteArray());
    QStringList after;
    for (int i = shown; i < room.lineCount(); ++i)
        after << room.lineText(i);
    QCOMPARE(after, sent ? echoes : QStringList());
    QCOMPARE(dataout->text(), sent ? QString() : typed);
}

void TestChannelWindow::exitAsksFirst()
{
    QSignalSpy exits(m_window.get(), &ChannelWindow::exitRequested);
    auto answer = [this](QMessageBox::StandardButton button) {
        m_window->menus().exit->trigger();
        QMessageBox *box = nullptr;
        QTRY_VERIFY((box = m_window->findChild<QMessageBox *>(QStringLiteral("exitquestion"))));
        QCOMPARE(box->text(), u"Are you sure you want to exit Velmora Messenger?"_qs);
        QCOMPARE(box->windowTitle(), u"Velmora Messenger"_qs);
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    };
    answer(QMessageBox::No);
    QCOMPARE(exits.count(), 0);
    QVERIFY(!m_session->connection().isClosed()); // No keeps everything as it was
    QCOMPARE(m_server->exchange(QByteArray()), QByteArray());

    // Yes asks the program to end; ending it (and the connection) is the program's own work.
    answer(QMessageBox::Yes);
    QCOMPARE(exits.count(), 1);
    QVERIFY(!m_session->connection().isClosed());
}

void TestChannelWindow::sayActionsNeedASelectedMember()
{
    m_server->exchange(":srv 353 alice = #velmora :@rover\r\n:srv 366 alice #velmora :End\r\n");
    m_window->menus().say[2]->trigger();
    QMessageBox *box = nullptr;
    QTRY_VERIFY((box = m_window->findChild<QMessageBox *>()));
    QCOMPARE(box->text(), u"Please Select a User."_qs);
    QCOMPARE(box->windowTitle(), u"Error"_qs);
    box->close();

    auto *list = child<QListView>("lstnicks");
    list->setCurrentIndex(list->model()->index(0, 0));
    m_server->clearReceived();
    m_window->menus().say[0]->trigger();
    QCOMPARE(m_server->receivedUntil("\n"), QByteArray("PRIVMSG #velmora :\x01"
                                                       "ACTION shakes \x03"
                                                       "4rover\x03"
                                                       "6's hand.\x01\n"));
}

void TestChannelWindow::smileyPicturesSwitchIsRemembered()
{
    QAction *toggle = m_window->menus().smileyPictures;
    QVERIFY(toggle->isCheckable());
    QVERIFY(!toggle->isChecked());
    QVERIFY(!child<ChatView>("datain")->smileyPictures());

    toggle->trigger();
    QVERIFY(child<ChatView>("datain")->smileyPictures());
    {
        ChannelWindow another(*m_session);
        QVERIFY(another.menus().smileyPictures->isChecked());
        QVERIFY(another.findChild<ChatView *>(QStringLiteral("datain"))->smileyPictures());
    }
    toggle->trigger();
    QVERIFY(!child<ChatView>("datain")->smileyPictures());
    {
        ChannelWindow later(*m_session);
        QVERIFY(!later.menus().smileyPictures->isChecked());
    }
    m_session->setPresenter(&m_window->presenter()); // the other windows took it and let it go
}

void TestChannelWindow::roomSmileyPickerFillsTheInputBox()
{
    auto *dataout = child<QLineEdit>("dataout");
    dataout->setText(QStringLiteral("hello "));
    m_window->menus().smileys->trigger();
    QWidget *picker = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == u"frmSmileys" && window->isVisible())
            picker = window;
    }
    QVERIFY(picker);
    QCOMPARE(picker->windowTitle(), u"Smileys"_qs);
    QAbstractButton *angel = nullptr;
    for (auto *icon : picker->findChildren<QAbstractButton *>(QStringLiteral("imgIcon"))) {
        if (icon->property("tag").toString() == u":angel")
            angel = icon;
    }
    QVERIFY(angel);
    QTest::mouseClick(angel, Qt::LeftButton);
    QCOMPARE(dataout->text(), u"hello :angel"_qs);
    QCOMPARE(dataout->cursorPosition(), dataout->text().size());
    QVERIFY(!picker->isVisible());
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestChannelWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_channelwindow.moc"
