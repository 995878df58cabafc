#pragma once

#include "text/chatbuffer.h"

#include <QFile>
#include <QString>

// Appends every line given to one conversation view to a UTF-8 file, formatting codes kept,
// one line each. Each line is flushed at once so the log survives a crash.
class ConversationLogFile : public LineLog
{
public:
    static QString roomFileName() { return QStringLiteral("room.log"); }
    // A file name for a conversation partner that any file system accepts and that no other
    // partner, nor the room, can share.
    static QString partnerFileName(const QString &nick);

    explicit ConversationLogFile(const QString &path);

    bool isOpen() const { return m_file.isOpen(); }
    QString errorString() const { return m_file.errorString(); }
    void write(QStringView rawLine) override;

private:
    QFile m_file;
};
