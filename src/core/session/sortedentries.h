#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Member entries in list order: those with a rank sign first, by rank (~ & @ % +), then the
// rest; within each, alphabetical without regard to case, with symbols before digits and
// letters. Kept in blocks of a few hundred, so an insertion or removal in a list of tens of
// thousands moves only one block. Each text carries its rank and sort key, computed once, so
// comparisons are plain code-unit comparisons.
class SortedEntries
{
public:
    int size() const { return m_size; }
    const QString &at(int row) const;

    // Row of the first text equal to `text` ignoring case, or -1.
    int findIgnoringCase(QStringView text) const;
    // Row at which text would be placed by insert().
    int rowFor(const QString &text) const;
    // Places text in order, at rowFor(text).
    void insert(const QString &text);
    void removeAt(int row);
    void clear();
    // Adds many texts at once: sorts them and merges them in one pass.
    void insertMany(QStringList texts);
    QStringList toList() const;

private:
    struct Entry
    {
        quint64 keyStart; // the rank and the key's first three code units, for quick comparisons
        quint64 keyNext;  // and the four after them
        QString key;
        QString text;
    };
    using Block = std::vector<Entry>;

    static bool less(const Entry &a, const Entry &b);
    static Entry makeEntry(const QString &text);
    static QString sortKey(QStringView text);
    // Block and place in it where entry belongs (after equal entries).
    std::pair<size_t, size_t> placeFor(const Entry &entry) const;
    // Block holding `row` and the row's place in it.
    std::pair<size_t, size_t> locate(int row) const;
    int firstRowOf(size_t block) const;
    void rebuild(std::vector<Entry> &&entries);

    std::vector<Block> m_blocks;
    int m_size = 0;
};
