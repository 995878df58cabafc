#include "session/memberlist.h"

#include <QtTest>

// The member list's order: ranks first (~ & @ % +), then names ignoring case, symbols before
// digits and letters; whether entries come one by one or in a names burst.
class TestMemberOrder : public QObject
{
    Q_OBJECT
private slots:
    void order_data();
    void order();
    void findIgnoresCaseOnly();
};

void TestMemberOrder::order_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("ranks in rank order")
        << QStringList{"+voice", "plain", "%half", "@op", "&admin", "~owner"}
        << QStringList{"~owner", "&admin", "@op", "%half", "+voice", "plain"};
    QTest::newRow("case ignored within a rank")
        << QStringList{"@bob", "@Alice", "Carol", "alice", "Bob"}
        << QStringList{"@Alice", "@bob", "alice", "Bob", "Carol"};
    QTest::newRow("same name, case breaks the tie")
        << QStringList{"@op", "@OP", "op"} << QStringList{"@OP", "@op", "op"};
    QTest::newRow("symbols before digits and letters")
        << QStringList{"alice", "|pipe", "9lives", "{z}", "_x", "[bob]", "Zed"}
        << QStringList{"[bob]", "_x", "{z}", "|pipe", "9lives", "alice", "Zed"};
    QTest::newRow("a rank sign only counts in front")
        << QStringList{"a~b", "a@b", "ab", "~ab"} << QStringList{"~ab", "a@b", "a~b", "ab"};
    QTest::newRow("non-ASCII folds its case")
        << QStringList{"Émile", "éa", "eb", "@Ødin"} << QStringList{"@Ødin", "eb", "éa", "Émile"};
}

void TestMemberOrder::order()
{
    QFETCH(QStringList, entries);
    MemberList oneByOne;
    for (const QString &entry : entries)
        oneByOne.add(entry);
    QTEST(oneByOne.entries(), "shown");

    MemberList burst;
    burst.addNames(entries);
    QTEST(burst.entries(), "shown");
}

void TestMemberOrder::findIgnoresCaseOnly()
{
    MemberList members;
    members.addNames({"~Owner", "@op", "{Z}", "plain"});
    QCOMPARE(members.findExact(u"~owner"), 0);
    QCOMPARE(members.findExact(u"@OP"), 1);
    QCOMPARE(members.findExact(u"{z}"), 2);
    QCOMPARE(members.findExact(u"op"), -1); // another rank is another entry
    QCOMPARE(members.findExact(u"[z]"), -1);
}

QTEST_MAIN(TestMemberOrder)
#include "tst_memberorder.moc"
