#include "session/conversationtable.h"

#include <QtTest>

// Which slot a conversation gets: the one its partner holds, else the first free one.
class TestConversationTable : public QObject
{
    Q_OBJECT
private slots:
    void claimSlotFor_data();
    void claimSlotFor();
    void claimFirstSlotFor_data();
    void claimFirstSlotFor();
    void freedSlotIsClaimedAgain();

private:
    using ClaimFunction = ConversationTable::SlotClaim (ConversationTable::*)(const QString &);
    static void addColumns();
    static void check(ClaimFunction claimFor);
};

void TestConversationTable::claimSlotFor_data()
{
    addColumns();

    QTest::newRow("empty table") << QStringList() << false << u"bob"_qs << 0 << true;
    QTest::newRow("after held slots")
        << QStringList{u"ann"_qs, u"carl"_qs} << false << u"bob"_qs << 2 << true;
    QTest::newRow("held slot is reused")
        << QStringList{u"ann"_qs, u"bob"_qs} << false << u"bob"_qs << 1 << false;
    QTest::newRow("held slot wins over an earlier free one")
        << QStringList{u""_qs, u"bob"_qs} << false << u"bob"_qs << 1 << false;
    QTest::newRow("first free slot between held ones")
        << QStringList{u"ann"_qs, u""_qs, u"carl"_qs} << false << u"bob"_qs << 1 << true;
    QTest::newRow("held partner with blanks matches")
        << QStringList{u" bob "_qs} << false << u"bob"_qs << 0 << false;
    QTest::newRow("case counts") << QStringList{u"Bob"_qs} << false << u"bob"_qs << 1 << true;
    QTest::newRow("full table") << QStringList() << true << u"bob"_qs << -1 << false;
    QTest::newRow("full table, own slot")
        << QStringList{u"ann"_qs, u"bob"_qs} << true << u"bob"_qs << 1 << false;
}

void TestConversationTable::claimSlotFor()
{
    check(&ConversationTable::claimSlotFor);
}

void TestConversationTable::claimFirstSlotFor_data()
{
    addColumns();
    QTest::newRow("empty table") << QStringList() << false << u"bob"_qs << 0 << true;
    QTest::newRow("held slot is reused")
        << QStringList{u"ann"_qs, u"bob"_qs} << false << u"bob"_qs << 1 << false;
    QTest::newRow("earlier free slot wins over the held one")
        << QStringList{u"ann"_qs, u""_qs, u"bob"_qs} << false << u"bob"_qs << 1 << true;
    QTest::newRow("held partner with blanks does not match")
        << QStringList{u" bob "_qs} << false << u"bob"_qs << 1 << true;
    QTest::newRow("case counts") << QStringList{u"Bob"_qs} << false << u"bob"_qs << 1 << true;
    QTest::newRow("full table") << QStringList() << true << u"bob"_qs << -1 << false;
    QTest::newRow("full table, own slot")
        << QStringList{u"ann"_qs, u"bob"_qs} << true << u"bob"_qs << 1 << false;
}

void TestConversationTable::claimFirstSlotFor()
{
    check(&ConversationTable::claimFirstSlotFor);
}

void TestConversationTable::addColumns()
{
    QTest::addColumn<QStringList>("held"); // partners of the first slots; "" is free
    QTest::addColumn<bool>("fillRest");    // every slot after them held by someone else
    QTest::addColumn<QString>("nick");
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("claimedNow");
}

void TestConversationTable::check(ClaimFunction claimFor)
{
    QFETCH(QStringList, held);
    QFETCH(bool, fillRest);
    QFETCH(QString, nick);
    QFETCH(int, slot);
    QFETCH(bool, claimedNow);

    ChatBuffer room;
    ConversationTable table(room);
    for (int i = 0; i < held.size(); ++i)
        table.ConversationNicks[size_t(i)] = held[i];
    for (int i = int(held.size()); fillRest && i < ConversationTable::SlotCount; ++i)
        table.ConversationNicks[size_t(i)] = u"other"_qs + QString::number(i);

    const QStringList before(table.ConversationNicks.cbegin(), table.ConversationNicks.cend());
    const ConversationTable::SlotClaim claim = (table.*claimFor)(nick);
    QCOMPARE(claim.slot, slot);
    QCOMPARE(claim.claimedNow, claimedNow);
    QStringList after = before;
    if (claimedNow)
        after[slot] = nick;
    QCOMPARE(QStringList(table.ConversationNicks.cbegin(), table.ConversationNicks.cend()), after);
    const ConversationTable::SlotClaim again = (table.*claimFor)(nick);
    QCOMPARE(again.slot, slot); // a second call finds the same slot
    QVERIFY(!again.claimedNow);
}

void TestConversationTable::freedSlotIsClaimedAgain()
{
    ChatBuffer room;
    ConversationTable table(room);
    QCOMPARE(table.claimSlotFor(u"ann"_qs).slot, 0);
    QCOMPARE(table.claimSlotFor(u"bob"_qs).slot, 1);
    table.clearform(u"ann"_qs);
    const ConversationTable::SlotClaim claim = table.claimSlotFor(u"carl"_qs);
    QCOMPARE(claim.slot, 0);
    QVERIFY(claim.claimedNow);
}

QTEST_GUILESS_MAIN(TestConversationTable)
#include "tst_conversationtable.moc"
