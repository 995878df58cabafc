#include "util/messageboxes.h"

#include <QInputDialog>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

// The program's message and input boxes: open without blocking, named, gone once closed, and
// calling back only with the answer that counts.
class TestMessageBoxes : public QObject
{
    Q_OBJECT
private slots:
    void informOpensWithoutBlocking_data();
    void informOpensWithoutBlocking();
    void askYesNoCallsBackOnlyOnYes_data();
    void askYesNoCallsBackOnlyOnYes();
    void askTextHandsTheText_data();
    void askTextHandsTheText();
};

void TestMessageBoxes::informOpensWithoutBlocking_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::newRow("named") << QStringLiteral("nickError");
    QTest::newRow("unnamed") << QString();
}

void TestMessageBoxes::informOpensWithoutBlocking()
{
    QFETCH(QString, objectName);
    QWidget parent;
    parent.show();

    // Reaching the next line with the box up is the proof that it did not block.
    const QPointer<QMessageBox> box = messageboxes::inform(
        &parent, QMessageBox::Warning, QStringLiteral("Title"), QStringLiteral("Text"), objectName);
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->parentWidget(), &parent);
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    QCOMPARE(box->objectName(), objectName);
    QCOMPARE(box->windowTitle(), QStringLiteral("Title"));
    QCOMPARE(box->text(), QStringLiteral("Text"));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));

    box->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(box.isNull());
}

void TestMessageBoxes::askYesNoCallsBackOnlyOnYes_data()
{
    QTest::addColumn<int>("answer"); // a standard button, or 0 for Escape
    QTest::addColumn<int>("calls");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << 1;
    QTest::newRow("No") << int(QMessageBox::No) << 0;
    QTest::newRow("Escape") << 0 << 0;
}

void TestMessageBoxes::askYesNoCallsBackOnlyOnYes()
{
    QFETCH(int, answer);
    QFETCH(int, calls);
    QWidget parent;
    parent.show();

    int yes = 0;
    const QPointer<QMessageBox> box =
        messageboxes::askYesNo(&parent, QStringLiteral("confirm"), QStringLiteral("Title"),
                               QStringLiteral("Sure?"), [&yes] { ++yes; });
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->objectName(), QStringLiteral("confirm"));
    QCOMPARE(box->text(), QStringLiteral("Sure?"));
    QCOMPARE(box->icon(), QMessageBox::Question);
    QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(yes, 0);

    if (answer)
        box->button(QMessageBox::StandardButton(answer))->click();
    else
        QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(yes, calls);
    QTRY_VERIFY(box.isNull());
    QCOMPARE(yes, calls);
}

void TestMessageBoxes::askTextHandsTheText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QStringList>("answers");
    QTest::newRow("OK") << QStringLiteral("bob") << true << QStringList{QStringLiteral("bob")};
    QTest::newRow("OK, blank kept")
        << QStringLiteral(" a b ") << true << QStringList{QStringLiteral(" a b ")};
    QTest::newRow("OK, empty") << QString() << true << QStringList{QString()};
    QTest::newRow("Cancel") << QStringLiteral("bob") << false << QStringList{};
}

void TestMessageBoxes::askTextHandsTheText()
{
    QFETCH(QString, typed);
    QFETCH(bool, accept);
    QFETCH(QStringList, answers);
    QWidget parent;
    parent.show();

    QStringList got;
    const QPointer<QInputDialog> box = messageboxes::askText(
        &parent, QStringLiteral("askNick"), QStringLiteral("Title"), QStringLiteral("Nick:"),
        [&got](const QString &text) { got.append(text); });
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->objectName(), QStringLiteral("askNick"));
    QCOMPARE(box->windowTitle(), QStringLiteral("Title"));
    QCOMPARE(box->labelText(), QStringLiteral("Nick:"));
    QCOMPARE(box->textValue(), QString());

    box->setTextValue(typed);
    accept ? box->accept() : box->reject();
    QCOMPARE(got, answers);
    QTRY_VERIFY(box.isNull());
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
