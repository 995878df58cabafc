#include "roomwindowfixture.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QtTest>

// A server or a stranger repeating a line that raises a message box: the room keeps showing
// every line, but each kind of box is open at most once.
class TestRepeatedBoxes : public QObject, public RoomWindowFixture
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void oneBoxOfEachKind_data();
    void oneBoxOfEachKind();
    void aRepeatAfterClosingOpensANewBox();

private:
    QList<QMessageBox *> boxesTitled(const QString &title) const
    {
        QList<QMessageBox *> found;
        for (QMessageBox *box : m_window->findChildren<QMessageBox *>())
            if (box->windowTitle() == title)
                found << box;
        return found;
    }
    void sendRepeated(const QByteArray &line, int times)
    {
        constexpr int batch = 500;
        for (int sent = 0; sent < times; sent += batch)
            QCOMPARE(m_server->exchange(line.repeated(std::min(batch, times - sent))),
                     QByteArray());
    }
};

void TestRepeatedBoxes::initTestCase()
{
    useScratchSettings();
}

void TestRepeatedBoxes::init()
{
    startRoom();
    // bob holds a private conversation, so that "no such nick" about him raises its box.
    QCOMPARE(m_server->exchange(":bob!b@h PRIVMSG alice :hi\r\n"), QByteArray());
}

void TestRepeatedBoxes::cleanup()
{
    stopRoom();
}

void TestRepeatedBoxes::oneBoxOfEachKind_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("times");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("roomLinesEach");
    QTest::newRow("kick") << QByteArray(":op!o@h KICK #velmora alice :out\r\n") << 10000 << "Kick"
                          << 1;
    QTest::newRow("no such nick") << QByteArray(":srv 401 alice bob :No such nick\r\n") << 2000
                                  << "Chat Error" << 0;
    QTest::newRow("nick in use") << QByteArray(":srv 433 * alice :in use\r\n") << 2000
                                 << "Nick Error" << 1;
    QTest::newRow("invalid nick") << QByteArray(":srv 432 * al!ce :bad\r\n") << 2000 << "Nick Error"
                                  << 1;
    QTest::newRow("banned") << QByteArray(":srv 474 alice #velmora :Cannot join\r\n") << 2000
                            << "Banned" << 1;
    QTest::newRow("kill") << QByteArray(":srv KILL alice :bye\r\n") << 2000 << "Kill" << 0;
}

void TestRepeatedBoxes::oneBoxOfEachKind()
{
    QFETCH(QByteArray, line);
    QFETCH(int, times);
    QFETCH(QString, title);
    QFETCH(int, roomLinesEach);
    const int roomLinesBefore = m_session->roomView().lineCount();

    sendRepeated(line, times);

    const QList<QMessageBox *> boxes = boxesTitled(title);
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes.first()->isVisible());
    QCOMPARE(m_window->findChildren<QMessageBox *>().size(), 1);
    QCOMPARE(m_session->roomView().lineCount(), roomLinesBefore + roomLinesEach * times);
}

void TestRepeatedBoxes::aRepeatAfterClosingOpensANewBox()
{
    sendRepeated(":srv 433 * alice :in use\r\n", 3);
    QPointer<QMessageBox> first = boxesTitled(QStringLiteral("Nick Error")).value(0);
    QVERIFY(first);
    QCOMPARE(first->icon(), QMessageBox::Information);

    // Another cause of the same kind updates the open box.
    sendRepeated(":srv 432 * al!ce :bad\r\n", 1);
    QCOMPARE(boxesTitled(QStringLiteral("Nick Error")), QList<QMessageBox *>{first.data()});
    QCOMPARE(first->text(), QStringLiteral("Invalid nickname. Please enter another nickname."));
    QCOMPARE(first->icon(), QMessageBox::Warning);

    first->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(first.isNull());
    sendRepeated(":srv 433 * alice :in use\r\n", 1);
    const QList<QMessageBox *> again = boxesTitled(QStringLiteral("Nick Error"));
    QCOMPARE(again.size(), 1);
    QVERIFY(again.first()->isVisible());
}

QTEST_MAIN(TestRepeatedBoxes)
#include "tst_repeatedboxes.moc"
