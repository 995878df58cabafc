#pragma once

#include "formatscan.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QRgb>
#include <QString>

#include <algorithm>
#include <span>
#include <vector>

class LineLog;

// The lines of one conversation view, kept compactly: UTF-8 text in large shared chunks and
// a few bytes per style run. Lines are only ever added at the end or cleared all at once.
// Widgets show a buffer; the buffer itself needs no display.
class ChatBuffer : public QObject
{
    Q_OBJECT
public:
    enum Style : quint8
    {
        Bold = 1,
        Underline = 2,
        Reverse = 4,
        Italic = 8,
        Strikeout = 16,
        Monospace = 32,
        Background = 64 // the run has a background colour of its own
    };

    struct Run
    {
        quint16 start;
        quint16 length;
        QRgb colour;
        QRgb background; // only with the Background style
        quint8 styles;
        quint8 sizeIndex;
    };

    // An address found in a line's text when it was stored (see findLinks).
    struct Link
    {
        quint16 start;
        quint16 length;
    };

    explicit ChatBuffer(QObject *parent = nullptr);
    ~ChatBuffer() override;

    // Lines of this buffer are written at the point size of the source buffer (the room
    // view's), whatever this buffer's own view uses.
    void setSizeSource(const ChatBuffer *source) { m_sizeSource = source; }
    void setBasePointSize(qreal size) { m_basePointSize = size; }
    qreal basePointSize() const;

    void setLog(LineLog *log) { m_log = log; }
    LineLog *log() const { return m_log; }

    // The most lines kept. Past it the oldest tenth goes at once, so that a conversation that
    // runs for days costs bounded memory and dropping costs next to nothing per line.
    static constexpr int DefaultMaxLines = 200000;
    void setMaxLines(int maxLines) { m_maxLines = std::max(10, maxLines); }
    int maxLines() const { return m_maxLines; }

    // Texts of up to 65,535 UTF-16 units per line are stored.
    void appendLine(const FormattedLine &line, qreal pointSize);
    void clear();

    int lineCount() const { return int(m_lines.size()); }
    QString lineText(int line) const;
    // The line's text as stored, in UTF-8; valid until the buffer changes.
    QByteArrayView lineUtf8(int line) const;
    std::span<const Run> lineRuns(int line) const;
    qreal pointSizeOf(const Run &run) const { return m_sizes[run.sizeIndex]; }
    std::span<const Link> lineLinks(int line) const;

    // Lines that name the user are drawn highlighted. Marks only go forwards: a line before
    // the last one marked is ignored, as is a line not yet appended.
    void highlightLine(int line);
    bool isHighlighted(int line) const;

signals:
    // The oldest lines went to make room: every line number is now lower by count. Sent
    // before the lineAppended of the line that made room.
    void linesDropped(int count);
    void lineAppended();
    void cleared();

private:
    struct Line
    {
        quint32 chunk;
        quint32 offset;
        quint32 bytes;
        quint32 firstRun;
        quint32 firstLink;
    };

    quint8 sizeIndexFor(qreal pointSize);
    void dropOldest(int count);

    std::vector<QByteArray> m_chunks;
    std::vector<Line> m_lines;
    std::vector<Run> m_runs;
    std::vector<Link> m_links;
    std::vector<qreal> m_sizes;
    std::vector<int> m_highlighted; // ascending line numbers
    const ChatBuffer *m_sizeSource = nullptr;
    qreal m_basePointSize = 9.75;
    LineLog *m_log = nullptr;
    int m_maxLines = DefaultMaxLines;
};

// Receives every line given to a conversation view, exactly as given.
class LineLog
{
public:
    virtual ~LineLog() = default;
    virtual void write(QStringView rawLine) = 0;
};
