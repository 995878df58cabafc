#pragma once

#include <QString>
#include <QStringList>

// One received line split into its parts. Params are numbered from 1 in GetParams; the
// trailing parameter is kept without its ":" and with its blanks.
struct ParsedLine
{
    QString Prefix;
    QString Nick;
    QString User;
    QString Host;
    QString Command;
    QStringList Params;
    qint16 ParamCount = 0;
    QString Rest;
};

void SplitAtFirst(const QString &source, QChar separator, QString &before, QString &after);

// Fills record from line; never fails. A parameter is never trimmed: two blanks in a row give
// an empty parameter.
void ParseLine(const QString &line, ParsedLine &record);

// Parameters first..last joined with single blanks, every CR removed. last = -1 means up to the
// last parameter. Empty when first < 1, when last > ParamCount or when first is past the end.
QString GetParams(const ParsedLine &record, int first, int last);
