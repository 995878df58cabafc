#include "session/nickcompletion.h"

#include <QtTest>

// Which nicks a typed beginning completes to, and in what order.
class TestNickCompletion : public QObject
{
    Q_OBJECT
private slots:
    void candidates_data();
    void candidates();
    void rememberedSpeakersAreBounded();
};

void TestNickCompletion::candidates_data()
{
    QTest::addColumn<QStringList>("speakers"); // in the order they spoke
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("list order without speakers")
        << QStringList{} << "b" << QStringList{"bob", "barry", "Bea", "Bobby"};
    QTest::newRow("most recent speaker first")
        << QStringList{"Bea", "Bobby"} << "b" << QStringList{"Bobby", "Bea", "bob", "barry"};
    QTest::newRow("case and rank signs ignored")
        << QStringList{"BOB"} << "BO" << QStringList{"bob", "Bobby"};
    QTest::newRow("a sign is not part of the name") << QStringList{} << "~" << QStringList{};
    QTest::newRow("owner by name") << QStringList{} << "ow" << QStringList{"Owner"};
    QTest::newRow("speakers who left are skipped")
        << QStringList{"gone", "alice"} << "a" << QStringList{"alice"};
    QTest::newRow("nothing matches") << QStringList{"bob"} << "z" << QStringList{};
}

void TestNickCompletion::candidates()
{
    QFETCH(QStringList, speakers);
    QFETCH(QString, typed);
    NickCompletion completion;
    for (const QString &speaker : speakers)
        completion.noteSpeaker(speaker);
    QTEST(completion.candidates(typed, {"~Owner", "@bob", "%barry", "+Bea", "alice", "Bobby"}),
          "expected");
}

void TestNickCompletion::rememberedSpeakersAreBounded()
{
    NickCompletion completion;
    QStringList members;
    for (int i = 0; i < 1000; ++i) {
        members << QStringLiteral("n%1").arg(i);
        completion.noteSpeaker(members.last());
    }
    const QStringList found = completion.candidates(u"n", members);
    QCOMPARE(found.size(), 1000);
    // The newest speakers lead; the oldest are forgotten and keep their place in the list.
    QCOMPARE(found.first(), u"n999"_qs);
    QCOMPARE(found.at(int(NickCompletion::RememberedSpeakers) - 1),
             QStringLiteral("n%1").arg(1000 - int(NickCompletion::RememberedSpeakers)));
    QCOMPARE(found.at(int(NickCompletion::RememberedSpeakers)), u"n0"_qs);
}

QTEST_GUILESS_MAIN(TestNickCompletion)
#include "tst_nickcompletion.moc"
