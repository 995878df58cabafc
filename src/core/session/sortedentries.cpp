#include "sortedentries.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {
constexpr size_t kBlockSize = 256;
}

namespace {
std::u16string_view units(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size())};
}
} // namespace

namespace {

// Where a rank sign puts an entry: the signs in rank order, then entries without one.
char16_t rankOf(QStringView text)
{
    static constexpr std::u16string_view signs = u"~&@%+";
    const size_t rank = text.isEmpty() ? signs.npos : signs.find(text.front().unicode());
    return char16_t(rank == signs.npos ? signs.size() + 1 : rank + 1);
}

// ASCII symbols sort before digits and letters, in their own code order: they are moved below
// "0" (and above the ranks, which start every key).
constexpr std::u16string_view kSymbols = u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
constexpr char16_t kFirstSymbolKey = 0x10;

// The key unit of each ASCII character: symbols moved down, capitals folded, the rest as is.
constexpr std::array<char16_t, 128> kAsciiKeys = [] {
    std::array<char16_t, 128> keys{};
    for (char16_t c = 0; c < 128; ++c)
        keys[c] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    for (size_t i = 0; i < kSymbols.size(); ++i)
        keys[kSymbols[i]] = char16_t(kFirstSymbolKey + i);
    return keys;
}();

} // namespace

QString SortedEntries::sortKey(QStringView text)
{
    const char16_t rank = rankOf(text);
    const QStringView name = rank <= 5 ? text.mid(1) : text;
    // Nicks are nearly always ASCII: fold those here, in place, so a names burst makes one
    // small string per member.
    QString key(name.size() + 1, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(key.data());
    *out++ = rank;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        if (unit >= 0x80) {
            key.truncate(i + 1);
            return key + name.mid(i).toString().toCaseFolded();
        }
        *out++ = kAsciiKeys[unit];
    }
    return key;
}

SortedEntries::Entry SortedEntries::makeEntry(const QString &text)
{
    QString key = sortKey(text);
    const auto packed = [&key](qsizetype from) {
        quint64 units = 0;
        for (qsizetype i = from; i < from + 4; ++i)
            units = (units << 16) | (i < key.size() ? key.at(i).unicode() : 0);
        return units;
    };
    const quint64 start = packed(0);
    const quint64 next = packed(4);
    return Entry{start, next, std::move(key), text};
}

bool SortedEntries::less(const Entry &a, const Entry &b)
{
    // Keys never hold NUL, so a short key padded with zeros still sorts before its extensions.
    if (a.keyStart != b.keyStart)
        return a.keyStart < b.keyStart;
    if (a.keyNext != b.keyNext)
        return a.keyNext < b.keyNext;
    const int byKey = QtPrivate::compareStrings(a.key, b.key, Qt::CaseSensitive);
    if (byKey != 0)
        return byKey < 0;
    return QtPrivate::compareStrings(a.text, b.text, Qt::CaseSensitive) < 0;
}

std::pair<size_t, size_t> SortedEntries::locate(int row) const
{
    size_t block = 0;
    size_t offset = size_t(row);
    while (offset >= m_blocks[block].size()) {
        offset -= m_blocks[block].size();
        ++block;
    }
    return {block, offset};
}

int SortedEntries::firstRowOf(size_t block) const
{
    int row = 0;
    for (size_t i = 0; i < block; ++i)
        row += int(m_blocks[i].size());
    return row;
}

const QString &SortedEntries::at(int row) const
{
    const auto [block, offset] = locate(row);
    return m_blocks[block][offset].text;
}

int SortedEntries::findIgnoringCase(QStringView text) const
{
    const QString key = sortKey(text);
    // First block whose last key is not below the wanted key.
    const auto blockIt = std::lower_bound(
        m_blocks.cbegin(), m_blocks.cend(), key,
        [](const Block &block, const QString &k) { return units(block.back().key) < units(k); });
    if (blockIt == m_blocks.cend())
        return -1;
    const auto it = std::lower_bound(
        blockIt->cbegin(), blockIt->cend(), key, [](const Entry &entry, const QString &k) {
            return QtPrivate::compareStrings(entry.key, k, Qt::CaseSensitive) < 0;
        });
    if (it == blockIt->cend() || it->key != key)
        return -1;
    const size_t block = size_t(blockIt - m_blocks.cbegin());
    return firstRowOf(block) + int(it - blockIt->cbegin());
}

std::pair<size_t, size_t> SortedEntries::placeFor(const Entry &entry) const
{
    if (m_blocks.empty())
        return {0, 0};
    // The first block whose last entry sorts after the new one, or the last block.
    auto blockIt =
        std::upper_bound(m_blocks.cbegin(), m_blocks.cend(), entry,
                         [](const Entry &e, const Block &block) { return less(e, block.back()); });
    if (blockIt == m_blocks.cend())
        --blockIt;
    const auto at = std::upper_bound(blockIt->cbegin(), blockIt->cend(), entry, less);
    return {size_t(blockIt - m_blocks.cbegin()), size_t(at - blockIt->cbegin())};
}

int SortedEntries::rowFor(const QString &text) const
{
    const auto [block, offset] = placeFor(makeEntry(text));
    return firstRowOf(block) + int(offset);
}

void SortedEntries::insert(const QString &text)
{
    Entry entry = makeEntry(text);
    const auto [blockIndex, offset] = placeFor(entry);
    if (m_blocks.empty())
        m_blocks.emplace_back();
    Block &block = m_blocks[blockIndex];
    block.insert(block.begin() + std::ptrdiff_t(offset), std::move(entry));
    ++m_size;
    if (block.size() > 2 * kBlockSize) {
        Block upper(std::make_move_iterator(block.begin() + kBlockSize),
                    std::make_move_iterator(block.end()));
        block.resize(kBlockSize);
        m_blocks.insert(m_blocks.begin() + std::ptrdiff_t(blockIndex) + 1, std::move(upper));
    }
}

void SortedEntries::removeAt(int row)
{
    if (row < 0 || row >= m_size)
        return;
    const auto [block, offset] = locate(row);
    m_blocks[block].erase(m_blocks[block].begin() + std::ptrdiff_t(offset));
    if (m_blocks[block].empty())
        m_blocks.erase(m_blocks.begin() + std::ptrdiff_t(block));
    --m_size;
}

void SortedEntries::clear()
{
    m_blocks.clear();
    m_size = 0;
}

void SortedEntries::insertMany(QStringList texts)
{
    std::vector<Entry> added;
    added.reserve(size_t(texts.size()));
    for (const QString &text : texts)
        added.push_back(makeEntry(text));
    // Sort small (first eight key units, index) records rather than the entries themselves:
    // nearly every comparison ends on those, and each entry moves once. Entries that compare
    // equal have the same text, so their order does not matter.
    struct Position
    {
        quint64 start;
        quint64 next;
        quint32 index;
    };
    std::vector<Position> order(added.size());
    for (size_t i = 0; i < added.size(); ++i)
        order[i] = {added[i].keyStart, added[i].keyNext, quint32(i)};
    std::sort(order.begin(), order.end(), [&added](const Position &a, const Position &b) {
        if (a.start != b.start)
            return a.start < b.start;
        if (a.next != b.next)
            return a.next < b.next;
        return less(added[a.index], added[b.index]);
    });

    std::vector<Entry> merged;
    merged.reserve(size_t(m_size) + added.size());
    auto next = order.cbegin();
    for (Block &block : m_blocks) {
        for (Entry &entry : block) {
            // Equal entries: the one already listed stays first.
            while (next != order.cend() && less(added[next->index], entry))
                merged.push_back(std::move(added[(next++)->index]));
            merged.push_back(std::move(entry));
        }
    }
    for (; next != order.cend(); ++next)
        merged.push_back(std::move(added[next->index]));
    rebuild(std::move(merged));
}

void SortedEntries::rebuild(std::vector<Entry> &&entries)
{
    m_blocks.clear();
    m_size = int(entries.size());
    for (size_t at = 0; at < entries.size(); at += kBlockSize) {
        const size_t end = std::min(entries.size(), at + kBlockSize);
        m_blocks.emplace_back(std::make_move_iterator(entries.begin() + std::ptrdiff_t(at)),
                              std::make_move_iterator(entries.begin() + std::ptrdiff_t(end)));
    }
}

QStringList SortedEntries::toList() const
{
    QStringList list;
    list.reserve(m_size);
    for (const Block &block : m_blocks) {
        for (const Entry &entry : block)
            list << entry.text;
    }
    return list;
}
