#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// Splits the received byte stream into lines at LF. A CR before the LF stays on its line.
// Every complete line is handed on as soon as it has arrived; only a trailing partial line is
// kept. When a chunk ends exactly at a line break, an empty line follows (it counts as
// activity but carries nothing). A line longer than MaxLineBytes is cut there and the rest of
// it, up to its line break, is dropped, so a peer that never sends LF cannot exhaust memory.
class LineFramer
{
public:
    static constexpr qsizetype MaxLineBytes = 64 * 1024;
    using LineHandler = std::function<void(const QString &line)>;

    void feed(QByteArrayView data, const LineHandler &onLine);
    void reset();
    qsizetype pendingBytes() const { return m_partial.size(); }

private:
    void deliver(QByteArrayView line, const LineHandler &onLine);
    void keepPartial(QByteArrayView tail, const LineHandler &onLine);

    QByteArray m_partial;
    bool m_discarding = false;
};
