#pragma once

#include <QString>
#include <QStringView>

// Trims blanks (spaces) only, at both ends; tabs and other white space stay.
inline QStringView blanksTrimmedView(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

inline QString trimmedBlanks(QStringView text)
{
    return blanksTrimmedView(text).toString();
}
