#include "commandline.h"
#include "platform/conversationlogfile.h"
#include "support/testcertificates.h"

#include <QtTest>

Q_DECLARE_METATYPE(LaunchOptions::Action)

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void passwordComesFromTheEnvironment();
    void passwordLeavesTheEnvironment();
    void pagesBase();
    void secureConnection_data();
    void secureConnection();
    void extraAuthorities();
    void checkStart_data();
    void checkStart();
    void partnerLogNames_data();
    void partnerLogNames();
    void longPartnerLogNamesAreShortened();
    void logFileKeepsLinesAsGiven();
};

void TestCommandLine::parse_data()
{
    using A = LaunchOptions::Action;
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<A>("action");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("room");

    const QString host = NetworkDefaults::ServerHost;
    QTest::newRow("nothing") << QStringList{} << A::Run << host << 6667 << ""
                             << "";
    QTest::newRow("server with port")
        << QStringList{"--server", "127.0.0.1:7000", "--nick", "alice", "--room", "#velmora"}
        << A::Run << "127.0.0.1" << 7000 << "alice"
        << "#velmora";
    QTest::newRow("server without port")
        << QStringList{"--server=localhost"} << A::Run << "localhost" << 6667 << ""
        << "";
    QTest::newRow("bracketed IPv6")
        << QStringList{"--server", "[::1]:6697"} << A::Run << "::1" << 6697 << ""
        << "";
    QTest::newRow("bare IPv6") << QStringList{"--server", "::1"} << A::Run << "::1" << 6667 << ""
                               << "";
    QTest::newRow("room gets its #")
        << QStringList{"--room", "fun_club"} << A::Run << host << 6667 << ""
        << "#fun_club";
    QTest::newRow("irc url") << QStringList{"irc://127.0.0.1:7001/velmora"} << A::Run << "127.0.0.1"
                             << 7001 << ""
                             << "#velmora";
    QTest::newRow("irc url encoded #") << QStringList{"irc://example.net/%23fun_club,needpass"}
                                       << A::Run << "example.net" << 6667 << ""
                                       << "#fun_club";
    QTest::newRow("--server wins over the url")
        << QStringList{"irc://a.example/x", "--server", "b.example:1"} << A::Run << "b.example" << 1
        << ""
        << "#x";
    QTest::newRow("help") << QStringList{"--help"} << A::ShowHelp << host << 6667 << ""
                          << "";
    QTest::newRow("longest values")
        << QStringList{"--nick",           QString(64, u'n'), "--room",
                       QString(199, u'r'), "--server",        QString(253, u'h')}
        << A::Run << QString(253, u'h') << 6667 << QString(64, u'n') << u'#' + QString(199, u'r');
    QTest::newRow("version") << QStringList{"--version"} << A::ShowVersion << host << 6667 << ""
                             << "";
    for (const auto &bad : QList<QStringList>{{"--bogus"},
                                              {"--server"},
                                              {"--server", "host:0"},
                                              {"--server", "host:70000"},
                                              {"--server", "host:port"},
                                              {"--server", ":6667"},
                                              {"--nick", ""},
                                              {"--nick", "two words"},
                                              {"--room", " "},
                                              {"--log-dir", ""},
                                              {"--pages", "not a url"},
                                              {"http://example.net/"},
                                              {"irc:///room"},
                                              {"irc://a/x", "irc://b/y"},
                                              // Values that would change what goes on the wire.
                                              {"--nick", "al\r\nQUIT"},
                                              {"--nick", QString(u"al\0ce"_qs)},
                                              {"--nick", ":alice"},
                                              {"--nick", "al,ice"},
                                              {"--nick", QString(65, u'n')},
                                              {"--room", "#a b,c"},
                                              {"--room", "#a,b"},
                                              {"--room", "#a\nPART #b"},
                                              {"--room", QString(200, u'r')},
                                              {"--server", "a\tb"},
                                              {"--server", "ex\rample.net:6667"},
                                              {"--server", QString(254, u'h')},
                                              {"irc://127.0.0.1/%23a%20b"},
                                              {"irc://127.0.0.1/a%0D%0AQUIT"},
                                              {"irc://127.0.0.1/a%00b"},
                                              {"irc://127.0.0.1/a%2Cb"},
                                              {"ircs:///room"},
                                              {"--ca-file", "/nonexistent/authority.pem"},
                                              {"--ca-file", "/dev/null"}})
        QTest::addRow("bad: %s", qPrintable(bad.join(u' '))) << bad << A::Fail << host << 6667 << ""
                                                             << "";
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, args);
    QFETCH(LaunchOptions::Action, action);
    const LaunchOptions options = parseCommandLine(args, QProcessEnvironment());
    QCOMPARE(options.action, action);
    if (action == LaunchOptions::Action::Fail) {
        QVERIFY(!options.message.isEmpty());
        return;
    }
    if (action != LaunchOptions::Action::Run) {
        QVERIFY(!options.message.isEmpty());
        return;
    }
    QTEST(options.host, "host");
    QTEST(int(options.port), "port");
    QTEST(options.nick, "nick");
    QTEST(options.room, "room");
}

void TestCommandLine::secureConnection_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<int>("port");
    QTest::newRow("plain by default") << QStringList{"irc://a.example/x"} << false << 6667;
    QTest::newRow("ircs url") << QStringList{"ircs://a.example/x"} << true << 6697;
    QTest::newRow("IRCS in capitals") << QStringList{"IRCS://a.example/x"} << true << 6697;
    QTest::newRow("ircs url with port") << QStringList{"ircs://a.example:7000/x"} << true << 7000;
    QTest::newRow("--tls") << QStringList{"--tls", "--server", "a.example"} << true << 6697;
    QTest::newRow("--tls with port")
        << QStringList{"--tls", "--server", "a.example:6667"} << true << 6667;
    QTest::newRow("--tls with an irc url")
        << QStringList{"irc://a.example/x", "--tls"} << true << 6697;
    QTest::newRow("--server keeps the url's tls")
        << QStringList{"ircs://a.example/x", "--server", "b.example"} << true << 6697;
}

void TestCommandLine::secureConnection()
{
    QFETCH(QStringList, args);
    const LaunchOptions options = parseCommandLine(args, QProcessEnvironment());
    QCOMPARE(options.action, LaunchOptions::Action::Run);
    QTEST(options.tls, "tls");
    QTEST(int(options.port), "port");
    QVERIFY(options.extraAuthorities.isEmpty());
    QVERIFY(options.portIsDefault == !args.join(u' ').contains(QRegularExpression(":[0-9]")));
}

void TestCommandLine::extraAuthorities()
{
    TestCertificates certificates;
    QVERIFY2(!certificates.authorityFile().isEmpty(), qPrintable(certificates.error()));
    const LaunchOptions options = parseCommandLine(
        {"ircs://127.0.0.1/x", "--ca-file", certificates.authorityFile()}, QProcessEnvironment());
    QCOMPARE(options.action, LaunchOptions::Action::Run);
    QCOMPARE(options.extraAuthorities, QSslCertificate::fromPath(certificates.authorityFile()));
    QVERIFY(!options.extraAuthorities.isEmpty());
}

void TestCommandLine::passwordLeavesTheEnvironment()
{
    qputenv("VELMORA_PASSWORD", "s3cret");
    removePasswordFromEnvironment();
    QVERIFY(!qEnvironmentVariableIsSet("VELMORA_PASSWORD"));
    QVERIFY(!QProcessEnvironment::systemEnvironment().contains(u"VELMORA_PASSWORD"_qs));
}

void TestCommandLine::pagesBase()
{
    const LaunchOptions options =
        parseCommandLine({"--pages", "http://127.0.0.1:8080/site/"}, QProcessEnvironment());
    QCOMPARE(options.action, LaunchOptions::Action::Run);
    QCOMPARE(options.pagesBase, u"http://127.0.0.1:8080/site/"_qs);
}

void TestCommandLine::checkStart_data()
{
    using A = LaunchOptions::Action;
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<A>("action");
    QTest::addColumn<bool>("checkStart");
    QTest::newRow("not asked") << QStringList{} << A::Run << false;
    QTest::newRow("asked") << QStringList{"--check-start"} << A::Run << true;
    QTest::newRow("with an address")
        << QStringList{"--check-start", "irc://127.0.0.1/velmora"} << A::Run << true;
    QTest::newRow("takes no value") << QStringList{"--check-start=yes"} << A::Fail << false;
}

void TestCommandLine::checkStart()
{
    QFETCH(QStringList, args);
    const LaunchOptions options = parseCommandLine(args, QProcessEnvironment());
    QTEST(options.action, "action");
    QTEST(options.checkStart, "checkStart");
}

void TestCommandLine::passwordComesFromTheEnvironment()
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("VELMORA_PASSWORD"), QStringLiteral("s3cret"));
    QCOMPARE(parseCommandLine({"--nick", "alice"}, environment).password, u"s3cret"_qs);
    // There is no option that takes a password on the command line.
    QCOMPARE(parseCommandLine({"--password", "x"}, environment).action,
             LaunchOptions::Action::Fail);
}

void TestCommandLine::partnerLogNames_data()
{
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("file");
    QTest::newRow("plain") << "ann"
                           << "ann.log";
    QTest::newRow("irc punctuation kept") << "[bob]^_`{x}-"
                                          << "[bob]^_`{x}-.log";
    QTest::newRow("path and pipe escaped") << "../a|b\\c"
                                           << "%2e%2e%2fa%7cb%5cc.log";
    QTest::newRow("not the room log") << "Room"
                                      << "%Room.log";
    QTest::newRow("not a device") << "con"
                                  << "%con.log";
    QTest::newRow("percent escaped") << "%room"
                                     << "%25room.log";
    QTest::newRow("non-ascii") << u"é"_qs << "%c3%a9.log";
    QTest::newRow("64 kept whole") << QString(64, u'n') << QString(64, u'n') + ".log";
}

void TestCommandLine::partnerLogNames()
{
    QFETCH(QString, nick);
    QTEST(ConversationLogFile::partnerFileName(nick), "file");
}

void TestCommandLine::longPartnerLogNamesAreShortened()
{
    // Long and non-ASCII nicks would make names no file system takes: a kept prefix and a hash.
    const QString longNick = QString(300, u'x');
    const QString cyrillic = QString(40, QChar(0x0416));
    for (const QString &nick : {longNick, cyrillic, longNick + u'y'}) {
        const QString name = ConversationLogFile::partnerFileName(nick);
        QVERIFY2(name.size() <= 100, qPrintable(name));
        QVERIFY2(name.contains(u'~'), qPrintable(name));
        QCOMPARE(ConversationLogFile::partnerFileName(nick), name); // the same file each time
    }
    QVERIFY(ConversationLogFile::partnerFileName(longNick) !=
            ConversationLogFile::partnerFileName(longNick + u'y'));
    // A prefix never ends inside an escaped byte.
    QVERIFY(ConversationLogFile::partnerFileName(cyrillic).section(u'~', 0, 0).count(u'%') ==
            ConversationLogFile::partnerFileName(cyrillic).section(u'~', 0, 0).size() / 3);
}

void TestCommandLine::logFileKeepsLinesAsGiven()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(ConversationLogFile::roomFileName());
    QString error;
    {
        ConversationLogFile log(path);
        QVERIFY(log.write(u"\x02\x03"
                          "6 < ann > \x03"
                          "01\x02"
                          "héllo"_qs,
                          &error));
        QVERIFY(log.isOpen());
        QVERIFY(log.write(u"two\nlines"_qs, &error));
    }
    ConversationLogFile again(path); // appends, never truncates
    QVERIFY(again.write(u"third", &error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\x02\x03"
                                        "6 < ann > \x03"
                                        "01\x02h\xc3\xa9llo\n"
                                        "two lines\nthird\n"));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
