#include "application.h"
#include "dialogs/aboutdialog.h"
#include "platform/settingsstore.h"
#include "startup/launcherwindow.h"

#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

// The running program's wiring between the tray icon and the windows it stands for.
class TestApplication : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void launcherTrayOpensTheAboutBox();

private:
    QTemporaryDir m_settingsDir;
};

void TestApplication::initTestCase()
{
    SettingsStore::setCurrent(
        SettingsStore(m_settingsDir.filePath(QStringLiteral("settings.json"))));
}

void TestApplication::launcherTrayOpensTheAboutBox()
{
    LaunchOptions options;
    options.host = QStringLiteral("irc.example.net");
    options.port = 6690;
    Application application(options);
    application.start();
    QVERIFY(application.launcher() && application.launcher()->isVisible());
    QCOMPARE(application.tray().phase(), TrayIcon::Phase::Launcher);

    QAction *about = application.tray().launcherMenu()->findChild<QAction *>(u"about"_qs);
    QVERIFY(about);
    about->trigger();
    about->trigger();
    const QList<AboutDialog *> boxes = application.launcher()->findChildren<AboutDialog *>();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes.first()->isVisible());
    // It names the server the program is set to connect to.
    bool namesTheServer = false;
    for (const QLabel *label : boxes.first()->findChildren<QLabel *>())
        namesTheServer |= label->text().contains(u"irc.example.net , Port : - 6690"_qs);
    QVERIFY(namesTheServer);
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
