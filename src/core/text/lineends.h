#pragma once

#include <QChar>
#include <QStringView>

// The part of text that can travel inside one protocol line: everything before its first CR,
// LF or NUL. Servers end a line at any of them, so text after one would arrive as a command of
// its own; whatever sends or echoes a line cuts it here first.
inline QStringView firstLine(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            return text.first(i);
    }
    return text;
}
