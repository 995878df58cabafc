#pragma once

#include "irc/sessionpresenter.h"
#include "text/chatbuffer.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QStringList>
#include <QTest>

// Writes formatting codes readably: [B] bold, [C] colour, [U] underline, [R] reverse, [A] CTCP.
inline QString codes(QString text)
{
    text.replace(QStringLiteral("[B]"), QChar(0x02));
    text.replace(QStringLiteral("[C]"), QChar(0x03));
    text.replace(QStringLiteral("[U]"), QChar(0x1f));
    text.replace(QStringLiteral("[R]"), QChar(0x16));
    text.replace(QStringLiteral("[A]"), QChar(0x01));
    return text;
}

inline QStringList codes(const QStringList &texts)
{
    QStringList out;
    for (const QString &text : texts)
        out << codes(text);
    return out;
}

// The lines a view holds, as plain text.
inline QStringList roomLines(const ChatBuffer &view)
{
    QStringList lines;
    for (int i = 0; i < view.lineCount(); ++i)
        lines << view.lineText(i);
    return lines;
}

// Every line given to a view, exactly as given.
class RecordingLog : public LineLog
{
public:
    QStringList lines;
    void write(QStringView rawLine) override { lines << rawLine.toString(); }

    // Runs the event loop until a line containing text arrives or timeoutMs has passed.
    bool waitForLineWith(const QString &text, int timeoutMs) const
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            for (const QString &line : lines) {
                if (line.contains(text))
                    return true;
            }
            QTest::qWait(20);
        }
        return false;
    }
};

// A log that hands its lines to a RecordingLog kept elsewhere, for log factories.
class ForwardingLog : public LineLog
{
public:
    explicit ForwardingLog(RecordingLog &target) : m_target(target) {}
    void write(QStringView rawLine) override { m_target.write(rawLine); }

private:
    RecordingLog &m_target;
};

// Everything the session asks its windows to do, one readable line per call. The member count
// is kept apart, as it is refreshed after most membership lines.
class RecordingPresenter : public SessionPresenter
{
public:
    QStringList calls;
    QString userCount;
    QHash<int, ConversationWindowState> windowStates;

    void setConnectionCommands(bool connectEnabled, bool disconnectEnabled) override
    {
        calls << QStringLiteral("commands %1 %2").arg(connectEnabled).arg(disconnectEnabled);
    }
    void setModeratorMenuVisible(bool visible) override
    {
        calls << QStringLiteral("moderator %1").arg(visible);
    }
    void setUserCountText(const QString &text) override { userCount = text; }
    void setAwaitingIdentification(bool awaiting) override
    {
        calls << QStringLiteral("await %1").arg(awaiting);
    }
    void showChannelWindow() override { calls << QStringLiteral("channel"); }
    void showMessage(MessageIcon icon, const QString &title, const QString &text) override
    {
        static const char *names[] = {"Information", "Exclamation", "Critical"};
        calls << QStringLiteral("message %1|%2|%3").arg(names[int(icon)], title, text);
    }
    void showPasswordDialog(const QString &nick) override
    {
        calls << QStringLiteral("password %1").arg(nick).trimmed();
    }
    void showChangeNickDialog() override { calls << QStringLiteral("changenick"); }
    ConversationWindowState conversationWindowState(int slot) override
    {
        return windowStates.value(slot);
    }
    void openConversationWindow(int slot, const QString &caption) override
    {
        calls << QStringLiteral("open %1 %2").arg(slot).arg(caption);
        windowStates[slot].visible = true;
    }
    void showConversationWindow(int slot) override { calls << QStringLiteral("show %1").arg(slot); }
    void flashConversationWindow(int slot) override
    {
        calls << QStringLiteral("flash %1").arg(slot);
    }
    void mentioned(const QString &sender, const QString &text) override
    {
        calls << QStringLiteral("mention %1|%2").arg(sender, text);
    }
};
