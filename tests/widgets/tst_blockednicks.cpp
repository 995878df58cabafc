#include "controls/sablecoolbutton.h"
#include "dialogs/blockednickswindow.h"
#include "irc/ircsession.h"
#include "session/blockednicks.h"
#include "session/memberlist.h"
#include "session/sessionvariables.h"
#include "support/sessionrecorder.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QtTest>

// The blocked list and its window, driven as the user and the other windows drive them.
class TestBlockedNicks : public QObject
{
    Q_OBJECT
private slots:
    void addersFromOtherWindows_data();
    void addersFromOtherWindows();
    void addMore_data();
    void addMore();
    void remove_data();
    void remove();
    void listReplacingButtons_data();
    void listReplacingButtons();
    void closingHidesAndKeepsEntries_data();
    void closingHidesAndKeepsEntries();
    void interpreterRefusesListedSenders_data();
    void interpreterRefusesListedSenders();
};

namespace {

void click(QWidget &window, const char *button)
{
    auto *target = window.findChild<SableCoolButton *>(QLatin1String(button));
    QVERIFY2(target, button);
    QTest::mouseClick(target, Qt::LeftButton);
}

QListView *listOf(QWidget &window)
{
    return window.findChild<QListView *>(QStringLiteral("nicksblock"));
}

// The window's own list, read from what its view shows.
QStringList shown(QWidget &window)
{
    QListView *view = listOf(window);
    QStringList rows;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        rows << view->model()->index(row, 0).data().toString();
    return rows;
}

// Presses Remove; a refusal is shown in a message box, which is then closed with its OK button.
void pressRemove(QWidget &window, bool &refused)
{
    click(window, "cmdremove");
    auto *box = window.findChild<QMessageBox *>();
    refused = box != nullptr;
    if (!box)
        return;
    QTRY_VERIFY(box->isVisible());
    QCOMPARE(box->windowTitle(), u"Error"_qs);
    QCOMPARE(box->text(), u"Please Select A Nick"_qs);
    QCOMPARE(box->icon(), QMessageBox::Information);
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!window.findChild<QMessageBox *>());
}

} // namespace

void TestBlockedNicks::addersFromOtherWindows_data()
{
    QTest::addColumn<bool>("fromMemberList");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QStringList>("expected");

    const QStringList bob{"bob"};
    QTest::newRow("partner: new") << false << QStringList() << "Bob" << QStringList{"Bob"};
    QTest::newRow("partner: twice") << false << bob << "bob" << bob;
    QTest::newRow("partner: other case") << false << bob << "Bob" << QStringList{"bob", "Bob"};
    QTest::newRow("member: twice") << true << bob << "bob" << bob;
    QTest::newRow("member: voice") << true << bob << "+rover" << QStringList{"bob", "rover"};
    QTest::newRow("member: owner") << true << bob << "~Owner" << QStringList{"bob", "Owner"};
    QTest::newRow("member: admin") << true << bob << "&Admin" << QStringList{"bob", "Admin"};
    QTest::newRow("member: op already") << true << bob << "@bob" << bob;
    QTest::newRow("member: half-op") << true << bob << "%Half" << QStringList{"bob", "Half"};
    QTest::newRow("member: one prefix") << true << bob << "@+x" << QStringList{"bob", "+x"};
    QTest::newRow("member: bare prefix") << true << bob << "@" << bob;
    QTest::newRow("member: empty") << true << bob << "" << bob;
}

void TestBlockedNicks::addersFromOtherWindows()
{
    QFETCH(bool, fromMemberList);
    QFETCH(QStringList, listed);
    QFETCH(QString, nick);
    QFETCH(QStringList, expected);

    BlockedNicks nicks;
    nicks.setStringList(listed);
    const bool added = fromMemberList ? nicks.addMember(nick) : nicks.add(nick);
    QCOMPARE(nicks.stringList(), expected);
    QCOMPARE(added, expected != listed);
}

void TestBlockedNicks::addMore_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("new") << "carl" << true << QStringList{"bob", "carl"};
    QTest::newRow("prefix kept") << "@carl" << true << QStringList{"bob", "@carl"};
    QTest::newRow("blanks around") << "  carl " << true << QStringList{"bob", "carl"};
    QTest::newRow("twice") << "bob" << true << QStringList{"bob"};
    QTest::newRow("other case") << "BOB" << true << QStringList{"bob", "BOB"};
    QTest::newRow("empty") << "" << true << QStringList{"bob"};
    QTest::newRow("blanks only") << "   " << true << QStringList{"bob"};
    QTest::newRow("cancelled") << "carl" << false << QStringList{"bob"};
}

void TestBlockedNicks::addMore()
{
    QFETCH(QString, typed);
    QFETCH(bool, confirmed);
    QFETCH(QStringList, expected);

    BlockedNicks nicks;
    nicks.add(QStringLiteral("bob"));
    MemberList members;
    BlockedNicksWindow window(nicks, members);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    click(window, "cmdadd");
    // The prompt is open while the event loop goes on.
    auto *prompt = window.findChild<QInputDialog *>();
    QVERIFY(prompt);
    QTRY_VERIFY(prompt->isVisible());
    QCOMPARE(prompt->windowTitle(), u"Block"_qs);
    QCOMPARE(prompt->labelText(), u"Enter The Nickname To Block."_qs);
    auto *edit = prompt->findChild<QLineEdit *>();
    QVERIFY(edit);
    QCOMPARE(edit->text(), QString());

    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, confirmed ? Qt::Key_Return : Qt::Key_Escape);
    QTRY_VERIFY(!window.findChild<QInputDialog *>());
    QCOMPARE(shown(window), expected);
    QCOMPARE(nicks.stringList(), expected);
}

void TestBlockedNicks::remove_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<int>("selectedRow");
    QTest::addColumn<QStringList>("expected");

    const QStringList bobs{"Bob", "bob", "carl"};
    QTest::newRow("lower case under upper") << bobs << 1 << QStringList{"Bob", "carl"};
    QTest::newRow("upper case over lower") << bobs << 0 << QStringList{"bob", "carl"};
    QTest::newRow("last") << bobs << 2 << QStringList{"Bob", "bob"};
    QTest::newRow("only entry") << QStringList{"bob"} << 0 << QStringList();
    QTest::newRow("nothing selected") << bobs << -1 << bobs;
    QTest::newRow("empty list") << QStringList() << -1 << QStringList();
}

void TestBlockedNicks::remove()
{
    QFETCH(QStringList, listed);
    QFETCH(int, selectedRow);
    QFETCH(QStringList, expected);

    BlockedNicks nicks;
    nicks.setStringList(listed);
    MemberList members;
    BlockedNicksWindow window(nicks, members);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QListView *view = listOf(window);

    if (selectedRow >= 0) {
        const QModelIndex index = view->model()->index(selectedRow, 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        QVERIFY(view->selectionModel()->isRowSelected(selectedRow));
    }
    bool refused = false;
    pressRemove(window, refused);
    QCOMPARE(refused, selectedRow < 0);
    QCOMPARE(shown(window), expected);

    // Nothing stays selected after a removal, so a second press removes nothing more.
    pressRemove(window, refused);
    QVERIFY(refused);
    QCOMPARE(shown(window), expected);
}

void TestBlockedNicks::listReplacingButtons_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QStringList>("displayOrder");
    QTest::addColumn<QStringList>("expected");

    // The member list shows ranks first, in rank order, then names ignoring case.
    QTest::newRow("block all: ranks")
        << QByteArray("cmdblockall") << QStringList{"Plain", "+Voice", "%Half", "@Op", "~Owner"}
        << QStringList{"~Owner", "@Op", "%Half", "+Voice", "Plain"}
        << QStringList{"Op", "Half", "Voice", "Plain"};
    QTest::newRow("block all: admin and owners")
        << QByteArray("cmdblockall") << QStringList{"&Admin", "~a", "~b", "zed"}
        << QStringList{"~a", "~b", "&Admin", "zed"} << QStringList{"Admin", "zed"};
    QTest::newRow("block all: listed twice")
        << QByteArray("cmdblockall") << QStringList{"bob", "@bob", "dee", "@Dee"}
        << QStringList{"@bob", "@Dee", "bob", "dee"} << QStringList{"bob", "Dee", "dee"};
    QTest::newRow("block all: empty room")
        << QByteArray("cmdblockall") << QStringList() << QStringList() << QStringList();
    QTest::newRow("remove all") << QByteArray("cmdremoveall") << QStringList{"@Op"}
                                << QStringList{"@Op"} << QStringList();
}

void TestBlockedNicks::listReplacingButtons()
{
    QFETCH(QByteArray, button);
    QFETCH(QStringList, members);
    QFETCH(QStringList, displayOrder);
    QFETCH(QStringList, expected);

    BlockedNicks nicks;
    nicks.setStringList({QStringLiteral("old"), QStringLiteral("Plain")});
    MemberList room;
    room.addNames(members);
    QCOMPARE(room.entries(), displayOrder);
    BlockedNicksWindow window(nicks, room);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    click(window, button.constData());
    QCOMPARE(shown(window), expected);
}

void TestBlockedNicks::closingHidesAndKeepsEntries_data()
{
    QTest::addColumn<bool>("byEsc");
    QTest::newRow("close") << false;
    QTest::newRow("Esc") << true;
}

void TestBlockedNicks::closingHidesAndKeepsEntries()
{
    QFETCH(bool, byEsc);

    BlockedNicks nicks;
    MemberList members;
    QWidget owner;
    QPointer window = new BlockedNicksWindow(nicks, members, &owner);
    QCOMPARE(window->windowTitle(), u"Blocked Nicks List"_qs);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    nicks.add(QStringLiteral("bob"));
    nicks.add(QStringLiteral("Bob"));

    if (byEsc)
        QTest::keyClick(listOf(*window), Qt::Key_Escape);
    else
        QVERIFY(window->close()); // a close is never refused, so the program can still end
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window);
    QVERIFY(!window->isVisible());

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(shown(*window), (QStringList{"bob", "Bob"}));
}

void TestBlockedNicks::interpreterRefusesListedSenders_data()
{
    QTest::addColumn<QString>("memberEntry");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<bool>("refused");

    QTest::newRow("stripped op") << "@Bob"
                                 << "Bob" << true;
    QTest::newRow("other case") << "@Bob"
                                << "bob" << false;
    QTest::newRow("stripped half-op") << "%Half"
                                      << "Half" << true;
    QTest::newRow("plain") << "carl"
                           << "carl" << true;
}

// The session's one list, filled by Block All in the window, is what the interpreter consults.
void TestBlockedNicks::interpreterRefusesListedSenders()
{
    QFETCH(QString, memberEntry);
    QFETCH(QString, sender);
    QFETCH(bool, refused);

    SessionVariables variables{QStringLiteral("alice"), QString(), QStringLiteral("#velmora"), 0};
    RecordingPresenter presenter;
    IrcSession session(variables);
    session.setPresenter(&presenter);
    session.members().add(memberEntry);
    BlockedNicksWindow window(session.blockedNicks(), session.members());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    click(window, "cmdblockall");

    session.interpret(u":"_qs + sender + u"!u@h PRIVMSG alice :hello"_qs);
    QCOMPARE(session.conversations().findSlot(sender) < 0, refused);
    QCOMPARE(presenter.calls.contains(u"open 0 "_qs + sender), !refused);
}

QTEST_MAIN(TestBlockedNicks)
#include "tst_blockednicks.moc"
