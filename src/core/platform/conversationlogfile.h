#pragma once

#include <QFile>
#include <QString>
#include <QStringView>

// One conversation log: a UTF-8 file that every line given to a conversation view is appended
// to, formatting codes kept, one line each. Opened at the first line written (never truncated),
// written without a buffer so each line is on disk at once, and closed again by whoever keeps
// many of them. Only a regular file is ever opened: a FIFO or a device would block or swallow
// the lines.
class ConversationLogFile
{
public:
    static QString roomFileName() { return QStringLiteral("room.log"); }
    // A file name for a conversation partner that any file system accepts and that no other
    // partner, nor the room, can share. Long names are shortened and end in a hash of the nick.
    static QString partnerFileName(const QString &nick);

    explicit ConversationLogFile(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }
    bool isOpen() const { return m_file.isOpen(); }
    // Opens the file for appending when it is not open; false with the reason when it cannot be.
    bool open(QString *error);
    // Appends one line, opening the file first if need be. On failure no part of the line stays
    // in the file, the file is closed (the next line tries again) and error says why.
    bool write(QStringView rawLine, QString *error);
    void close() { m_file.close(); }

private:
    QString m_path;
    QFile m_file;
};
