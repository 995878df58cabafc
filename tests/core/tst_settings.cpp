#include "platform/autostart.h"
#include "platform/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Section = QStringLiteral("Store");
const QString KeyPath = QStringLiteral("Software\\Orvane\\Store");

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void loadFromFile_data();
    void loadFromFile();
    void saveThenLoad_data();
    void saveThenLoad();
    void typedValues();
    void savingKeepsOtherValues();
    void fileIsPrivateToItsOwner();
    void damagedFileIsSetAside();

    void autostartOnOff();
    void autostartPaths_data();
    void autostartPaths();
#ifndef Q_OS_WIN
    void autostartEntriesOfOtherTools_data();
    void autostartEntriesOfOtherTools();
#endif

private:
    QString autostartEntry() const
    {
        return m_dir.filePath("config/autostart/orvchat.desktop");
    }

    QTemporaryDir m_dir;
    QString m_file;
    int m_round = 0;
};

void TestSettings::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Nothing here may touch the real user's settings or autostart folder.
    qputenv("HOME", m_dir.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toLocal8Bit());
    const QString fromEnvironment = m_dir.filePath("environment.json");
    qputenv("VELMORA_SETTINGS_FILE", fromEnvironment.toLocal8Bit());
    QCOMPARE(SettingsStore::current().filePath(), fromEnvironment);
#ifndef Q_OS_WIN
    QCOMPARE(SettingsStore().filePath(), m_dir.filePath("config/Orvane/velmora-settings.json"));
#endif
}

void TestSettings::init()
{
    m_file = m_dir.filePath(QStringLiteral("store%1/settings.json").arg(++m_round));
    SettingsStore::setCurrent(SettingsStore(m_file));
}

void TestSettings::loadFromFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QVariant>("expected");

    const QVariant untouched; // nothing read: invalid, unlike any stored value
    auto store = [](const QByteArray &values) {
        return R"({"Software/Orvane/Store": {)" + values + "}}";
    };
    QTest::newRow("text") << store(R"("username": "alice")") << QVariant(QStringLiteral("alice"));
    QTest::newRow("empty text") << store(R"("username": "")") << QVariant(QString(""));
    QTest::newRow("number") << store(R"("username": 42)") << QVariant(42);
    QTest::newRow("negative number")
        << store(R"("username": -2147483648)") << QVariant(int(-2147483648LL));
    QTest::newRow("missing value") << store(R"("password": "x")") << untouched;
    QTest::newRow("missing key") << QByteArray(R"({"Software/Orvane/Other": {"username": "x"}})")
                                 << untouched;
    QTest::newRow("no file") << QByteArray() << untouched;
    QTest::newRow("raw bytes") << store(R"("username": {"binary": "AAE="})") << untouched;
    QTest::newRow("beyond 32 bits") << store(R"("username": 4294967296)") << untouched;
    QTest::newRow("fraction") << store(R"("username": 1.5)") << untouched;
    QTest::newRow("true") << store(R"("username": true)") << untouched;
    QTest::newRow("null") << store(R"("username": null)") << untouched;
    QTest::newRow("damaged file") << QByteArray("username=alice") << untouched;
}

void TestSettings::loadFromFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QVariant, expected);
    if (!content.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(m_file).absolutePath()));
        writeFile(m_file, content);
    }
    const QVariant slot = LoadSetting(Section, QStringLiteral("username"));
    QCOMPARE(slot.typeId(), expected.typeId());
    QCOMPARE(slot, expected);
}

void TestSettings::saveThenLoad_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("nickname") << QStringLiteral("alice");
    QTest::newRow("empty") << QString("");
    QTest::newRow("counter") << QStringLiteral("17");
    QTest::newRow("quotes, backslashes, lines")
        << QStringLiteral("a\"b\\c\nd\te = f; [g]\\Software/Orvane");
    QTest::newRow("non-ASCII") << QStringLiteral("N\u00e9mo \u6c34 \U0001F600");
}

void TestSettings::saveThenLoad()
{
    QFETCH(QString, value);
    SaveSetting(Section, QStringLiteral("password"), value);
    const QVariant slot = LoadSetting(Section, QStringLiteral("password"));
    QCOMPARE(slot.typeId(), int(QMetaType::QString));
    QCOMPARE(slot.toString(), value);
    QVERIFY(!slot.toString().isNull());
}

void TestSettings::typedValues()
{
    const SettingsStore store(m_file);
    QVERIFY(store.write(KeyPath, QStringLiteral("number"), 2024));
    QVERIFY(store.write(KeyPath, QStringLiteral("blob"), QByteArray("\x00\x01", 2)));
    QVERIFY(!store.write(KeyPath, QStringLiteral("fraction"), 2.5));

    const QVariant number = LoadSetting(Section, QStringLiteral("number"));
    QCOMPARE(number.typeId(), int(QMetaType::Int));
    QCOMPARE(number.toInt(), 2024);

    QVERIFY(!store.read(KeyPath, QStringLiteral("blob")).isValid());
    QVERIFY(!store.read(KeyPath, QStringLiteral("fraction")).isValid());
}

void TestSettings::savingKeepsOtherValues()
{
    const SettingsStore store(m_file);
    QVERIFY(store.write(QStringLiteral("Software/Orvane/Other"), QStringLiteral("kept"), 7));
    SaveSetting(Section, QStringLiteral("username"), QStringLiteral("alice"));
    SaveSetting(Section, QStringLiteral("password"), QStringLiteral("secret"));
    SaveSetting(Section, QStringLiteral("username"), QStringLiteral("bob"));

    QCOMPARE(LoadSetting(Section, QStringLiteral("username")), QVariant(QStringLiteral("bob")));
    QCOMPARE(LoadSetting(Section, QStringLiteral("password")), QVariant(QStringLiteral("secret")));
    QCOMPARE(store.read(QStringLiteral("Software\\Orvane\\Other"), QStringLiteral("kept")),
             QVariant(7));
}

void TestSettings::fileIsPrivateToItsOwner()
{
#ifdef Q_OS_WIN
    QSKIP("Windows keeps the user's files private by their folder's access list");
#else
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    auto check = [&] {
        const QFileDevice::Permissions mode = QFileInfo(m_file).permissions();
        return (mode & others) == 0 && (mode & owner) == owner;
    };

    SaveSetting(Section, QStringLiteral("password"), QStringLiteral("secret"));
    QVERIFY(check());
    SaveSetting(Section, QStringLiteral("password"), QStringLiteral("another"));
    QVERIFY(check());

    // A file left readable by others is made private on its next rewrite.
    QVERIFY(QFile::setPermissions(m_file, owner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    SaveSetting(Section, QStringLiteral("number"), QStringLiteral("3"));
    QVERIFY(check());
    QCOMPARE(LoadSetting(Section, QStringLiteral("password")), QVariant(QStringLiteral("another")));
#endif
}

void TestSettings::damagedFileIsSetAside()
{
    QVERIFY(QDir().mkpath(QFileInfo(m_file).absolutePath()));
    const QString aside = m_file + ".damaged";
    writeFile(aside, "an older damaged file");
    QFile::setPermissions(aside, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    writeFile(m_file, "password=\"not a settings file\"");
    QFile::setPermissions(m_file, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadGroup | QFileDevice::ReadOther);
    SaveSetting(Section, QStringLiteral("username"), QStringLiteral("alice"));

    QCOMPARE(LoadSetting(Section, QStringLiteral("username")), QVariant(QStringLiteral("alice")));
    // Only the latest damaged file is kept, and only its owner may read it.
    QCOMPARE(readFile(aside), QByteArray("password=\"not a settings file\""));
#ifdef Q_OS_UNIX
    QCOMPARE(QFile::permissions(aside), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadUser | QFileDevice::WriteUser);
#endif
}

void TestSettings::autostartOnOff()
{
    QFile::remove(autostartEntry());
    const QString program = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    QString command = QStringLiteral("untouched");
    ReadAutostart(command);
    QCOMPARE(command, QStringLiteral("untouched"));

    QVERIFY(EnableAutostart());
    ReadAutostart(command);
    QCOMPARE(command, program);

    QVERIFY(DisableAutostart());
    ReadAutostart(command);
    QCOMPARE(command, QString());
#ifndef Q_OS_WIN
    const QByteArray entry = readFile(autostartEntry());
    QVERIFY(entry.startsWith("[Desktop Entry]\n"));
    QVERIFY(entry.contains("\nHidden=true\n"));
    QVERIFY(entry.contains("\nX-GNOME-Autostart-enabled=false\n"));
#endif

    QVERIFY(EnableAutostart());
    command = QStringLiteral("untouched");
    ReadAutostart(command);
    QCOMPARE(command, program);
#ifndef Q_OS_WIN
    QVERIFY(!readFile(autostartEntry()).contains("Hidden=true"));
#endif
}

void TestSettings::autostartPaths_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("execLine"); // as the desktop entry holds it
#ifdef Q_OS_WIN
    QTest::newRow("blanks") << QStringLiteral("C:/Program Files/Velmora/velmora.exe")
                            << QByteArray();
    QTest::newRow("drive root") << QStringLiteral("D:/velmora.exe") << QByteArray();
#else
    QTest::newRow("plain") << QStringLiteral("/usr/bin/velmora")
                           << QByteArray(R"(Exec="/usr/bin/velmora")");
    QTest::newRow("blanks") << QStringLiteral("/opt/My Apps/velmora")
                            << QByteArray(R"(Exec="/opt/My Apps/velmora")");
    QTest::newRow("shell characters") << QStringLiteral("/opt/a$b`c\"d;e/velmora")
                                      << QByteArray(R"(Exec="/opt/a\\$b\\`c\\"d;e/velmora")");
    QTest::newRow("backslash") << QStringLiteral("/opt/back\\slash/velmora")
                               << QByteArray(R"(Exec="/opt/back\\\\slash/velmora")");
    QTest::newRow("percent") << QStringLiteral("/opt/100%u/velmora")
                             << QByteArray(R"(Exec="/opt/100%%u/velmora")");
    QTest::newRow("line break") << QStringLiteral("/opt/two\nlines/velmora")
                                << QByteArray(R"(Exec="/opt/two\nlines/velmora")");
    QTest::newRow("tab and return")
        << QStringLiteral("/opt/a\tb\rc/velmora") << QByteArray(R"(Exec="/opt/a\tb\rc/velmora")");
#endif
}

void TestSettings::autostartPaths()
{
    QFETCH(QString, program);
    QFETCH(QByteArray, execLine);
    QVERIFY(EnableAutostart(program));
    QString command;
    ReadAutostart(command);
    QCOMPARE(command, QDir::toNativeSeparators(program));
    if (!execLine.isEmpty())
        QVERIFY2(readFile(autostartEntry()).split('\n').contains(execLine),
                 readFile(autostartEntry()).constData());
}

#ifndef Q_OS_WIN
void TestSettings::autostartEntriesOfOtherTools_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QString>("expected");
    const QString untouched = QStringLiteral("untouched");
    QTest::newRow("unquoted with arguments")
        << QByteArray("[Desktop Entry]\nType=Application\nExec = /usr/bin/velmora --tray %U\n")
        << QStringLiteral("/usr/bin/velmora");
    QTest::newRow("switched off by a settings tool")
        << QByteArray("[Desktop Entry]\nExec=/usr/bin/velmora\nX-GNOME-Autostart-enabled=false\n")
        << QString();
    QTest::newRow("hidden without Exec")
        << QByteArray("[Desktop Entry]\nHidden=true\n") << QString();
    QTest::newRow("no Exec") << QByteArray("[Desktop Entry]\nType=Application\n") << untouched;
    QTest::newRow("Exec of an action only")
        << QByteArray("[Desktop Entry]\nType=Application\n[Desktop Action x]\nExec=/bin/x\n")
        << untouched;
    QTest::newRow("unterminated quote")
        << QByteArray("[Desktop Entry]\nExec=\"/usr/bin/velmora\n") << untouched;
}

void TestSettings::autostartEntriesOfOtherTools()
{
    QFETCH(QByteArray, entry);
    QFETCH(QString, expected);
    QVERIFY(QDir().mkpath(QFileInfo(autostartEntry()).absolutePath()));
    writeFile(autostartEntry(), entry);
    QString command = QStringLiteral("untouched");
    ReadAutostart(command);
    QCOMPARE(command, expected);
}
#endif

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
