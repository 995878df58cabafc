#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringView>

#include <vector>

// One smiley: the code typed for it (compared exactly, case-sensitive), the size of its picture
// in pixels and the picture's resource path.
struct Smiley
{
    QString code;
    QSize size;
    QString resource;
};

// Where a smiley code was found in a text.
struct SmileyMatch
{
    qsizetype start = 0;
    qsizetype length = 0;
    int index = -1; // in SmileyTable::codes()
    friend bool operator==(const SmileyMatch &, const SmileyMatch &) = default;
};

// The smileys users type as short codes (":)", ":angel"), with their pictures, which are built
// into the program (resources/smileys, rendered by tools/render-smileys). Needs no display.
class SmileyTable
{
public:
    // The 61 codes in the table's order, each once.
    static const std::vector<Smiley> &codes();
    // The 62 pictures of the picker windows: the codes, with a second picture of ":finger"
    // right after the first.
    static const std::vector<Smiley> &pickerEntries();

    // Index of a code in codes(), or -1.
    static int indexOf(QStringView code);
    // Every code in a text, left to right without overlaps; where codes start at one place the
    // longest wins, so ":'(" is not read as ":(" and "-->" is not cut short.
    static std::vector<SmileyMatch> find(QStringView text);

    // The picture of codes()[index], loaded once; a null image for an index out of range.
    static const QImage &picture(int index);
    // A picture loaded from a resource path.
    static QImage load(const QString &resource);
};
