#include "conversationlogs.h"

#include <QDir>

namespace {

// What a view writes to: one log file of the folder, by its path.
class FolderLog : public LineLog
{
public:
    FolderLog(ConversationLogs &logs, QString path) : m_logs(logs), m_path(std::move(path)) {}
    void write(QStringView rawLine) override { m_logs.write(m_path, rawLine); }

private:
    ConversationLogs &m_logs;
    QString m_path;
};

// Files closed and forgotten beyond this many, so that a flood of partners costs no memory.
constexpr size_t kRememberedFiles = 4 * ConversationLogs::MaxOpenFiles;
// Failing logs remembered for their one report; past this many the list starts again.
constexpr qsizetype kRememberedFailures = 1024;

} // namespace

ConversationLogs::ConversationLogs(QString folder) : m_folder(std::move(folder)) {}

ConversationLogs::~ConversationLogs() = default;

bool ConversationLogs::openRoomLog(QString *error)
{
    const QString path = QDir(m_folder).filePath(ConversationLogFile::roomFileName());
    QString reason;
    if (!fileFor(path).open(&reason)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, reason);
        return false;
    }
    m_roomLog = std::make_unique<FolderLog>(*this, path);
    return true;
}

std::unique_ptr<LineLog> ConversationLogs::partnerLog(const QString &nick)
{
    return std::make_unique<FolderLog>(
        *this, QDir(m_folder).filePath(ConversationLogFile::partnerFileName(nick)));
}

int ConversationLogs::openFileCount() const
{
    return int(std::count_if(m_files.cbegin(), m_files.cend(),
                             [](const ConversationLogFile &file) { return file.isOpen(); }));
}

ConversationLogFile &ConversationLogs::fileFor(const QString &path)
{
    auto found =
        std::find_if(m_files.begin(), m_files.end(),
                     [&path](const ConversationLogFile &file) { return file.path() == path; });
    if (found == m_files.end())
        m_files.emplace_front(path);
    else
        m_files.splice(m_files.begin(), m_files, found);
    // Make room for the one about to be used.
    int open = 0;
    for (auto it = std::next(m_files.begin()); it != m_files.end(); ++it) {
        if (it->isOpen() && ++open >= MaxOpenFiles)
            it->close();
    }
    while (m_files.size() > kRememberedFiles)
        m_files.pop_back();
    return m_files.front();
}

bool ConversationLogs::writeLine(ConversationLogFile &file, QStringView line, QString *error)
{
    return file.write(line, error);
}

void ConversationLogs::write(const QString &path, QStringView line)
{
    QString error;
    if (writeLine(fileFor(path), line, &error)) {
        m_failing.remove(path);
        return;
    }
    if (m_failing.contains(path))
        return;
    if (m_failing.size() >= kRememberedFailures)
        m_failing.clear();
    m_failing.insert(path);
    // Reported last: the report may write to this log again, and finds it marked.
    if (m_reportProblem)
        m_reportProblem(
            QStringLiteral("Cannot write the conversation log %1: %2").arg(path, error));
}
