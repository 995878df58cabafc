#include "irc/ircsession.h"
#include "platform/conversationlogs.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

// Conversation logs against what strangers can send: files only for lines that are shown, a
// bounded number of them open, every partner in their own file, and a log that cannot be
// written said once, not per line.
class TestConversationLogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void strangersWhoseLinesAreDroppedLeaveNoFiles();
    void everyPartnerInTheirOwnFileWithFewOpen();
    void aLogThatIsNotAFileIsSaidOnce();
    void aRoomLogThatIsNotAFileIsRefusedAtStart();
    void writeErrorsAreSaidOnceAndLinesGoOnWhenTheDiskTakesThem();
    void aFileThatCannotGrowKeepsOnlyWholeLines();

private:
    void start(ConversationLogs *logs = nullptr);
    QStringList logFiles() const
    {
        return QDir(m_dir->path()).entryList(QDir::Files | QDir::System, QDir::Name);
    }
    QString readLog(const QString &nick) const
    {
        QFile file(m_dir->filePath(ConversationLogFile::partnerFileName(nick)));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    int roomLinesWith(const QString &text) const
    {
        int count = 0;
        for (int line = 0; line < m_session->roomView().lineCount(); ++line)
            count += m_session->roomView().lineText(line).contains(text);
        return count;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    SessionVariables m_vars;
    std::unique_ptr<ConversationLogs> m_logs;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
};

namespace {

// Logs whose writes fail while the disk is "full".
class FullDiskLogs : public ConversationLogs
{
public:
    using ConversationLogs::ConversationLogs;
    bool full = false;

protected:
    bool writeLine(ConversationLogFile &file, QStringView line, QString *error) override
    {
        if (full) {
            *error = QStringLiteral("No space left on device");
            return false;
        }
        return ConversationLogs::writeLine(file, line, error);
    }
};

// Lets files of this process grow to at most `limit` bytes while it lives: writes past it fail
// with "File too large", a fault that root meets as well as anyone.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 limit)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit lowered{rlim_t(limit), m_old.rlim_max};
        m_set = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

QByteArray linesFrom(const char *nickPattern, int count, const QByteArray &text)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += ":" + QByteArray(nickPattern).replace("%", QByteArray::number(i)) +
                 "!u@h PRIVMSG alice :" + text + "\r\n";
    return lines;
}

} // namespace

void TestConversationLogs::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestConversationLogs::cleanup()
{
    m_session.reset();
    m_server.reset();
    m_logs.reset();
    m_dir.reset();
}

void TestConversationLogs::start(ConversationLogs *logs)
{
    m_vars = SessionVariables{QStringLiteral("alice"), QString(), QStringLiteral("#velmora"), 0};
    m_logs.reset(logs ? logs : new ConversationLogs(m_dir->path()));
    QString error;
    QVERIFY2(m_logs->openRoomLog(&error), qPrintable(error));
    m_server = std::make_unique<ScriptedServer>();
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->keepLogsIn(*m_logs);
    m_session->setServer(QStringLiteral("127.0.0.1"), m_server->port());
    m_session->ConnectToServer();
    QVERIFY(m_server->acceptClient());
    QVERIFY(m_server->receivedUntil("\r\n").endsWith("\r\n"));
}

void TestConversationLogs::strangersWhoseLinesAreDroppedLeaveNoFiles()
{
    start();
    for (int i = 0; i < 5000; ++i)
        m_session->blockedNicks().add(QStringLiteral("blocked%1").arg(i));
    // 5,000 CTCP requests (answered, never shown) and 5,000 blocked nicks, each a stranger.
    for (int batch = 0; batch < 10; ++batch) {
        const QByteArray pattern = "ctcp" + QByteArray::number(batch) + "_%";
        QVERIFY(!m_server->exchange(linesFrom(pattern, 500, "\x01VERSION\x01"))
                     .startsWith("<no answer"));
    }
    QVERIFY(!m_server->exchange(linesFrom("blocked%", 5000, "let me in")).startsWith("<no answer"));
    QCOMPARE(logFiles(), QStringList{ConversationLogFile::roomFileName()});
    QCOMPARE(m_session->conversations().firstFreeSlot(), 0);
    QCOMPARE(m_logs->openFileCount(), 1);
}

void TestConversationLogs::everyPartnerInTheirOwnFileWithFewOpen()
{
    start();
    // 200 partners: the first 100 take the slots, the rest are shown in the first window.
    for (int batch = 0; batch < 20; ++batch) {
        const QByteArray pattern = "p" + QByteArray::number(batch) + "_%";
        m_server->exchange(linesFrom(pattern, 10, "hello"));
        QVERIFY(m_logs->openFileCount() <= ConversationLogs::MaxOpenFiles);
    }
    m_server->exchange(":p0_0!u@h PRIVMSG alice :again\r\n:p19_9!u@h PRIVMSG alice :late\r\n");
    QCOMPARE(logFiles().size(), 201);
    QCOMPARE(readLog(u"p0_0"_qs).count(u'\n'), 2);
    QVERIFY(readLog(u"p19_9"_qs).contains(u"< p19_9 > "_qs));
    QVERIFY(readLog(u"p19_9"_qs).contains(u"late"_qs));
    QVERIFY(!readLog(u"p0_0"_qs).contains(u"p19_9"_qs));
    QVERIFY(m_logs->openFileCount() <= ConversationLogs::MaxOpenFiles);
}

void TestConversationLogs::aLogThatIsNotAFileIsSaidOnce()
{
    start();
    const QString fifo = m_dir->filePath(ConversationLogFile::partnerFileName(u"piper"_qs));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDeadlineTimer quick(3000);
    m_server->exchange(linesFrom("piper", 1, "one") + linesFrom("piper", 1, "two"));
    QVERIFY(!quick.hasExpired());
    QCOMPARE(roomLinesWith(u"Cannot write the conversation log"_qs), 1);
    QCOMPARE(roomLinesWith(u"not a regular file"_qs), 1);
    // Shown all the same.
    const int slot = m_session->conversations().findSlot(u"piper"_qs);
    QVERIFY(slot >= 0);
    QCOMPARE(m_session->conversations().view(slot).lineCount(), 2);
}

void TestConversationLogs::aRoomLogThatIsNotAFileIsRefusedAtStart()
{
    const QString fifo = m_dir->filePath(ConversationLogFile::roomFileName());
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ConversationLogs logs(m_dir->path());
    QString error;
    QVERIFY(!logs.openRoomLog(&error));
    QVERIFY2(error.contains(u"not a regular file"_qs), qPrintable(error));
}

void TestConversationLogs::writeErrorsAreSaidOnceAndLinesGoOnWhenTheDiskTakesThem()
{
    auto *logs = new FullDiskLogs(m_dir->path());
    start(logs);
    m_server->exchange(linesFrom("bob", 1, "before"));
    logs->full = true;
    m_server->exchange(linesFrom("bob", 3, "lost"));
    QCOMPARE(roomLinesWith(u"No space left on device"_qs), 2); // bob's log, then the room's
    logs->full = false;
    m_server->exchange(linesFrom("bob", 1, "after"));
    QCOMPARE(readLog(u"bob"_qs).count(u'\n'), 2);
    QVERIFY(readLog(u"bob"_qs).contains(u"after"_qs));
    // Working again, a new failure is said again.
    logs->full = true;
    m_server->exchange(linesFrom("bob", 1, "lost again"));
    QCOMPARE(roomLinesWith(u"No space left on device"_qs), 3);
}

void TestConversationLogs::aFileThatCannotGrowKeepsOnlyWholeLines()
{
    const QString path = m_dir->filePath(u"bob.log"_qs);
    ConversationLogFile log(path);
    QString error;
    QVERIFY(log.write(u"first", &error));
    const QString longLine(100, u'x');
    bool refused = false;
    {
        // Room for part of a line only: the write stops half way.
        const FileSizeLimit limit(QFileInfo(path).size() + 10);
        QVERIFY(limit.isSet());
        refused = !log.write(longLine, &error) && !log.write(longLine, &error);
    }
    QVERIFY(refused);
    QVERIFY2(error.contains(u"too large"_qs, Qt::CaseInsensitive), qPrintable(error));
    QVERIFY(!log.isOpen());
    QVERIFY(log.write(u"after", &error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("first\nafter\n"));
}

QTEST_GUILESS_MAIN(TestConversationLogs)
#include "tst_conversationlogs.moc"
