#include "session/conversationtable.h"

#include <QtTest>

// Which slot a conversation gets. A received message looks for the slot its sender holds before
// a free one (claimSlotFor); the member list takes the first slot that is free or held by the
// partner (claimFirstSlotFor). Each row gives what both find in the same table.
class TestConversationTable : public QObject
{
    Q_OBJECT
private slots:
    void claim_data();
    void claim();
    void freedSlotIsClaimedAgain();
};

namespace {
struct Expected
{
    int slot;
    bool claimedNow;
};
} // namespace
Q_DECLARE_METATYPE(Expected)

void TestConversationTable::claim_data()
{
    QTest::addColumn<QStringList>("held"); // partners of the first slots; "" is free
    QTest::addColumn<bool>("fillRest");    // every slot after them held by someone else
    QTest::addColumn<QString>("nick");
    QTest::addColumn<Expected>("heldFirst"); // claimSlotFor
    QTest::addColumn<Expected>("firstSlot"); // claimFirstSlotFor

    auto row = [](const char *name, const QStringList &held, Expected heldFirst, Expected firstSlot,
                  bool fillRest = false) {
        QTest::newRow(name) << held << fillRest << u"bob"_qs << heldFirst << firstSlot;
    };
    row("empty table", {}, {0, true}, {0, true});
    row("after held slots", {u"ann"_qs, u"carl"_qs}, {2, true}, {2, true});
    row("held slot is reused", {u"ann"_qs, u"bob"_qs}, {1, false}, {1, false});
    row("free slot before the held one", {u"ann"_qs, u""_qs, u"bob"_qs}, {2, false}, {1, true});
    row("first free slot between held ones", {u"ann"_qs, u""_qs, u"carl"_qs}, {1, true}, {1, true});
    row("held partner with blanks", {u" bob "_qs}, {0, false}, {1, true});
    row("case counts", {u"Bob"_qs}, {1, true}, {1, true});
    row("full table", {}, {-1, false}, {-1, false}, true);
    row("full table, own slot", {u"ann"_qs, u"bob"_qs}, {1, false}, {1, false}, true);
}

void TestConversationTable::claim()
{
    QFETCH(QStringList, held);
    QFETCH(bool, fillRest);
    QFETCH(QString, nick);
    QFETCH(Expected, heldFirst);
    QFETCH(Expected, firstSlot);
    using ClaimFunction = ConversationTable::SlotClaim (ConversationTable::*)(const QString &);
    const std::pair<ClaimFunction, Expected> cases[] = {
        {&ConversationTable::claimSlotFor, heldFirst},
        {&ConversationTable::claimFirstSlotFor, firstSlot},
    };
    for (const auto &[claimFor, expected] : cases) {
        ChatBuffer room;
        ConversationTable table(room);
        for (int i = 0; i < held.size(); ++i)
            table.ConversationNicks[size_t(i)] = held[i];
        for (int i = int(held.size()); fillRest && i < ConversationTable::SlotCount; ++i)
            table.ConversationNicks[size_t(i)] = u"other"_qs + QString::number(i);

        const QStringList before(table.ConversationNicks.cbegin(), table.ConversationNicks.cend());
        const ConversationTable::SlotClaim claim = (table.*claimFor)(nick);
        QCOMPARE(claim.slot, expected.slot);
        QCOMPARE(claim.claimedNow, expected.claimedNow);
        QStringList after = before;
        if (expected.claimedNow)
            after[expected.slot] = nick;
        QCOMPARE(QStringList(table.ConversationNicks.cbegin(), table.ConversationNicks.cend()),
                 after);
        const ConversationTable::SlotClaim again = (table.*claimFor)(nick);
        QCOMPARE(again.slot, expected.slot); // a second call finds the same slot
        QVERIFY(!again.claimedNow);
    }
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
