#include "controls/xpbutton.h"
#include "dialogs/registerdialog.h"
#include "nickservtesting.h"

#include <QRegularExpression>
#include <QSet>

using namespace nickservtest;

// The register dialog's own rules: the code typed back first, the passwords typed twice, the
// refusals in a box that does not block, and the two modes sharing one dialog.
class TestRegisterDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void refusals_data();
    void refusals();
    void dropIgnoresTheOtherBoxes();
    void codesAreFreshAndWellFormed();
    void modes_data();
    void modes();
    void registerShowsTheCurrentNick();

private:
    Fixture m_nickServ;
};

void TestRegisterDialog::init()
{
    QVERIFY(m_nickServ.start());
}

void TestRegisterDialog::cleanup()
{
    m_nickServ.stop();
}

void TestRegisterDialog::refusals_data()
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

void TestRegisterDialog::refusals()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, fields);
    QFETCH(QString, button);
    QFETCH(QString, message);
    QFETCH(bool, codeRefused);
    QFETCH(QStringList, passwordsAfter);

    QPointer<QDialog> dialog = m_nickServ.open(kind);
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
    QCOMPARE(m_nickServ.sent(), QByteArray());

    QCOMPARE(code(dialog) != shownCode, codeRefused);
    QCOMPARE(box(dialog, QStringLiteral("txtcode"))->text(), codeRefused ? QString() : typedCode);
    QCOMPARE((QStringList{box(dialog, QStringLiteral("pwd"))->text(),
                          box(dialog, QStringLiteral("rpwd"))->text()}),
             passwordsAfter);

    QTest::mouseClick(shown->button(QMessageBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!shownMessage(dialog));
    QVERIFY(dialog->isVisible());
}

void TestRegisterDialog::dropIgnoresTheOtherBoxes()
{
    QPointer<QDialog> dialog = m_nickServ.open(Kind::Register);
    fill(dialog, {"pwd=pw", "rpwd=qq", "mid=a@b.c"});
    QCOMPARE(m_nickServ.open(Kind::Drop), dialog.data());
    fill(dialog, {"txtcode={code}"});
    QTest::mouseClick(named<XPButton>(dialog, QStringLiteral("cmddrop")), Qt::LeftButton);

    QVERIFY(!shownMessage(dialog));
    QCOMPARE(m_nickServ.sent(), QByteArray("nickserv drop alice\n"));
    QTRY_VERIFY(!dialog);
}

void TestRegisterDialog::codesAreFreshAndWellFormed()
{
    const QRegularExpression wellFormed(QStringLiteral("^(0|[1-9][0-9]{0,13})$"));
    QStringList codes;
    for (int i = 0; i < 40; ++i) {
        QPointer<QDialog> dialog = m_nickServ.open(Kind::Register);
        const QString shown = code(dialog);
        QVERIFY2(wellFormed.match(shown).hasMatch(), qPrintable(shown));
        QVERIFY(box(dialog, QStringLiteral("pwd"))->text().isEmpty());
        enter(box(dialog, QStringLiteral("pwd")), QStringLiteral("pw"));

        QCOMPARE(m_nickServ.open(Kind::Drop), dialog.data());
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

void TestRegisterDialog::modes_data()
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

void TestRegisterDialog::modes()
{
    QFETCH(QList<Kind>, modes);
    QFETCH(QString, enabled);

    QDialog *dialog = nullptr;
    for (Kind mode : modes)
        dialog = m_nickServ.open(mode);
    QString states;
    for (const char *name : {"cmdok", "pwd", "rpwd", "mid", "cmddrop"})
        states += named<QWidget>(dialog, QLatin1String(name))->isEnabled() ? u'1' : u'0';
    QCOMPARE(states, enabled);
    QCOMPARE(box(dialog, QStringLiteral("pwd"))->echoMode(), QLineEdit::Password);
    QCOMPARE(box(dialog, QStringLiteral("rpwd"))->echoMode(), QLineEdit::Password);
}

void TestRegisterDialog::registerShowsTheCurrentNick()
{
    QDialog *dialog = m_nickServ.open(Kind::Drop);
    QCOMPARE(box(dialog, QStringLiteral("nick"))->text(), QStringLiteral("alice"));
    m_nickServ.vars.CurrentNick = QStringLiteral("bob");
    dialog->hide();
    QCOMPARE(m_nickServ.open(Kind::Drop), dialog);
    QCOMPARE(box(dialog, QStringLiteral("nick"))->text(), QStringLiteral("bob"));
}

QTEST_MAIN(TestRegisterDialog)
#include "tst_registerdialog.moc"
