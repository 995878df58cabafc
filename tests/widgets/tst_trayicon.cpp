#include "controls/trayicon.h"

#include <QAbstractButton>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtTest>

namespace {

QAction *item(QMenu *menu, const QString &name)
{
    for (QAction *action : menu->actions())
        if (action->objectName() == name)
            return action;
    return nullptr;
}

} // namespace

class TestTrayIcon : public QObject
{
    Q_OBJECT
private slots:
    void menus_data();
    void menus();
    void menuItems_data();
    void menuItems();
    void exitAsksFirst_data();
    void exitAsksFirst();
    void exitQuestion_data();
    void exitQuestion();
    void addAndRemove();
    void doubleClick_data();
    void doubleClick();
    void tipField_data();
    void tipField();
    void defaultIconSizes_data();
    void defaultIconSizes();
};

void TestTrayIcon::menus_data()
{
    QTest::addColumn<bool>("chat");
    QTest::addColumn<QString>("menuName");
    QTest::addColumn<QStringList>("items"); // name=caption, or the name alone for a separator
    QTest::newRow("launcher") << false << "fstfrm"
                              << QStringList{"about=About Messenger", "ad", "Show1=Show Messenger",
                                             "a", "exit1=Exit"};
    QTest::newRow("chat") << true << "thrdfrm"
                          << QStringList{"about1=About Messenger", "asdf", "Show3=Show Messenger",
                                         "c", "exit3=Exit"};
}

void TestTrayIcon::menus()
{
    QFETCH(bool, chat);
    QFETCH(QString, menuName);
    QFETCH(QStringList, items);

    TrayIcon tray;
    QMenu *menu = chat ? tray.chatMenu() : tray.launcherMenu();
    QCOMPARE(menu->objectName(), menuName);
    QStringList found;
    for (const QAction *action : menu->actions())
        found << (action->isSeparator() ? action->objectName()
                                        : action->objectName() + u'=' + action->text());
    QCOMPARE(found, items);
}

void TestTrayIcon::menuItems_data()
{
    QTest::addColumn<bool>("chat");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("signal");
    QTest::newRow("about") << false << "about" << QByteArray(SIGNAL(aboutRequested()));
    QTest::newRow("Show1") << false << "Show1" << QByteArray(SIGNAL(showLauncherRequested()));
    QTest::newRow("about1") << true << "about1" << QByteArray(SIGNAL(aboutRequested()));
    QTest::newRow("Show3") << true << "Show3" << QByteArray(SIGNAL(showChannelRequested()));
}

void TestTrayIcon::menuItems()
{
    QFETCH(bool, chat);
    QFETCH(QString, name);
    QFETCH(QByteArray, signal);

    TrayIcon tray;
    tray.setExitConfirmation([] { return true; });
    const QList<QByteArray> all{SIGNAL(aboutRequested()), SIGNAL(showLauncherRequested()),
                                SIGNAL(showChannelRequested()), SIGNAL(exitRequested(bool))};
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const QByteArray &each : all)
        spies.push_back(std::make_unique<QSignalSpy>(&tray, each.constData()));

    QAction *action = item(chat ? tray.chatMenu() : tray.launcherMenu(), name);
    QVERIFY(action);
    action->trigger();
    for (qsizetype i = 0; i < all.size(); ++i)
        QCOMPARE(spies[size_t(i)]->count(), all[i] == signal ? 1 : 0);
}

void TestTrayIcon::exitAsksFirst_data()
{
    QTest::addColumn<bool>("chat");
    QTest::addColumn<bool>("answer");
    QTest::newRow("exit1, yes") << false << true;
    QTest::newRow("exit1, no") << false << false;
    QTest::newRow("exit3, yes") << true << true;
    QTest::newRow("exit3, no") << true << false;
}

void TestTrayIcon::exitAsksFirst()
{
    QFETCH(bool, chat);
    QFETCH(bool, answer);

    TrayIcon tray;
    int asked = 0;
    tray.setExitConfirmation([&] {
        ++asked;
        return answer;
    });
    chat ? tray.AddChatTrayIcon() : tray.AddLauncherTrayIcon();
    QSignalSpy exits(&tray, &TrayIcon::exitRequested);

    item(chat ? tray.chatMenu() : tray.launcherMenu(), chat ? "exit3" : "exit1")->trigger();
    QCOMPARE(asked, 1);
    QCOMPARE(exits.count(), answer ? 1 : 0);
    if (answer)
        QCOMPARE(exits.first().first().toBool(), chat);
    const TrayIcon::Phase stays = chat ? TrayIcon::Phase::Chat : TrayIcon::Phase::Launcher;
    QCOMPARE(tray.phase(), answer ? TrayIcon::Phase::None : stays);
}

void TestTrayIcon::exitQuestion_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("click");
    QTest::newRow("Yes") << QMessageBox::Yes;
    QTest::newRow("No") << QMessageBox::No;
}

// The real question box, answered by a click once it is up.
void TestTrayIcon::exitQuestion()
{
    QFETCH(QMessageBox::StandardButton, click);

    TrayIcon tray;
    QSignalSpy exits(&tray, &TrayIcon::exitRequested);
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    std::function<void()> answer = [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, answer);
            return;
        }
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(click)->click();
    };
    QTimer::singleShot(0, answer);
    item(tray.launcherMenu(), "exit1")->trigger();
    // The box does not block: the exit waits for the answer.
    QCOMPARE(exits.count(), 0);
    QTRY_COMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    QTRY_VERIFY(!QApplication::activeModalWidget());

    QCOMPARE(text, QStringLiteral("Are you sure you want to exit Velmora Messenger?"));
    QCOMPARE(title, QStringLiteral("Velmora Messenger"));
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(exits.count(), click == QMessageBox::Yes ? 1 : 0);
}

void TestTrayIcon::addAndRemove()
{
    TrayIcon tray;
    auto *icon = tray.findChild<QSystemTrayIcon *>();
    QVERIFY(icon);
    QCOMPARE(tray.phase(), TrayIcon::Phase::None);
    QVERIFY(!icon->isVisible());

    tray.AddLauncherTrayIcon();
    QCOMPARE(tray.phase(), TrayIcon::Phase::Launcher);
    QVERIFY(icon->isVisible());
    QVERIFY(!icon->icon().isNull());
    QCOMPARE(icon->contextMenu(), tray.launcherMenu());
    QCOMPARE(icon->toolTip(), QStringLiteral("--<<|Velmora Messenger|>>--"));

    const QIcon chatIcon = TrayIcon::defaultIcon();
    tray.setChatIcon(chatIcon);
    tray.AddChatTrayIcon();
    QCOMPARE(tray.phase(), TrayIcon::Phase::Chat);
    QCOMPARE(icon->contextMenu(), tray.chatMenu());
    QCOMPARE(icon->icon().cacheKey(), chatIcon.cacheKey());

    tray.RemoveTrayIcon();
    QCOMPARE(tray.phase(), TrayIcon::Phase::None);
    QVERIFY(!icon->isVisible());
    tray.AddChatTrayIcon();
    QVERIFY(icon->isVisible());
}

void TestTrayIcon::doubleClick_data()
{
    QTest::addColumn<int>("phase");
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<int>("launcherShown");
    QTest::addColumn<int>("channelShown");
    using P = TrayIcon::Phase;
    QTest::newRow("launcher, double-click")
        << int(P::Launcher) << QSystemTrayIcon::DoubleClick << 1 << 0;
    QTest::newRow("chat, double-click") << int(P::Chat) << QSystemTrayIcon::DoubleClick << 0 << 1;
    // StatusNotifierItem trays only ever report single clicks.
    QTest::newRow("launcher, single click")
        << int(P::Launcher) << QSystemTrayIcon::Trigger << 1 << 0;
    QTest::newRow("chat, single click") << int(P::Chat) << QSystemTrayIcon::Trigger << 0 << 1;
    QTest::newRow("chat, middle click") << int(P::Chat) << QSystemTrayIcon::MiddleClick << 0 << 0;
    QTest::newRow("chat, right click") << int(P::Chat) << QSystemTrayIcon::Context << 0 << 0;
    QTest::newRow("removed, double-click")
        << int(P::None) << QSystemTrayIcon::DoubleClick << 0 << 0;
}

void TestTrayIcon::doubleClick()
{
    QFETCH(int, phase);
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(int, launcherShown);
    QFETCH(int, channelShown);

    TrayIcon tray;
    if (TrayIcon::Phase(phase) == TrayIcon::Phase::Chat)
        tray.AddChatTrayIcon();
    else
        tray.AddLauncherTrayIcon();
    if (TrayIcon::Phase(phase) == TrayIcon::Phase::None)
        tray.RemoveTrayIcon();
    QSignalSpy launcher(&tray, &TrayIcon::showLauncherRequested);
    QSignalSpy channel(&tray, &TrayIcon::showChannelRequested);

    emit tray.findChild<QSystemTrayIcon *>()->activated(reason);
    QCOMPARE(launcher.count(), launcherShown);
    QCOMPARE(channel.count(), channelShown);
}

void TestTrayIcon::tipField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("exactly 27") << "--<<|Velmora Messenger|>>--"
                                << "--<<|Velmora Messenger|>>--";
    QTest::newRow("longer") << "--<<|Velmora Messenger|>>-- and more"
                            << "--<<|Velmora Messenger|>>--";
    QTest::newRow("shorter") << "Velmora"
                             << "Velmora                    ";
    QTest::newRow("empty") << "" << QString(27, u' ');
}

void TestTrayIcon::tipField()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(TrayIcon::tipField(text), field);
    QCOMPARE(TrayIcon::tipField(text).size(), 27);
}

void TestTrayIcon::defaultIconSizes_data()
{
    QTest::addColumn<int>("size");
    for (const int size : {16, 32, 48, 64, 128, 256})
        QTest::addRow("%dpx", size) << size;
}

// Every size comes from its own picture in the program's resources, not from a scaled stand-in:
// transparent around the bubble, dark blue inside it and orange on the "V".
void TestTrayIcon::defaultIconSizes()
{
    QFETCH(int, size);
    const QIcon icon = TrayIcon::defaultIcon();
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    const QImage picture = icon.pixmap(QSize(size, size), 1.0).toImage();
    QCOMPARE(picture.size(), QSize(size, size));

    const auto at = [&](double x, double y) {
        return picture.pixelColor(int(x * size), int(y * size));
    };
    QCOMPARE(at(0, 0).alpha(), 0);
    const QColor bubble = at(0.16, 0.59);
    QVERIFY2(bubble.alpha() == 255 && bubble.blue() > bubble.red() + 40,
             qPrintable(bubble.name(QColor::HexArgb)));
    const QColor letter = at(0.5, 0.59);
    QVERIFY2(letter.alpha() == 255 && letter.red() > 200 && letter.blue() < 80,
             qPrintable(letter.name(QColor::HexArgb)));
}

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
