#pragma once

#include "conversationlogfile.h"
#include "text/chatbuffer.h"

#include <QSet>
#include <QString>

#include <functional>
#include <list>
#include <memory>

// The conversation logs kept in one folder: the room's and one per private partner. However
// many partners write, at most MaxOpenFiles files are open at a time: a log is opened when a
// line is written to it and the least recently written one is closed to make room. A log that
// cannot be opened or written is reported once, and again only after it has worked in between;
// the lines after a failure are tried again, each as it comes.
class ConversationLogs
{
public:
    static constexpr int MaxOpenFiles = 16;

    explicit ConversationLogs(QString folder);
    virtual ~ConversationLogs();

    // Checks at start that the room's log can be written; false with the reason.
    bool openRoomLog(QString *error);
    LineLog *roomLog() { return m_roomLog.get(); }
    // A log for the conversation with nick; the file is opened at its first line.
    std::unique_ptr<LineLog> partnerLog(const QString &nick);

    // Told, once per failing log, why it cannot be written; it may write to the logs itself.
    void setProblemReporter(std::function<void(const QString &message)> reporter)
    {
        m_reportProblem = std::move(reporter);
    }

    int openFileCount() const;
    // Appends one line to the log at path, opening it and closing others as needed.
    void write(const QString &path, QStringView line);

protected:
    // Where the line is written; a test puts failures in here.
    virtual bool writeLine(ConversationLogFile &file, QStringView line, QString *error);

private:
    ConversationLogFile &fileFor(const QString &path);

    QString m_folder;
    std::unique_ptr<LineLog> m_roomLog;
    // Files most recently written first; only the first MaxOpenFiles may be open.
    std::list<ConversationLogFile> m_files;
    QSet<QString> m_failing;
    std::function<void(const QString &message)> m_reportProblem;
};
