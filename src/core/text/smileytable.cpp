#include "smileytable.h"

#include <algorithm>
#include <array>

namespace {

struct Entry
{
    const char16_t *code;
    int width;
    int height;
    const char16_t *file;
};

// In the picker's order: the smiley table read column by column, first column first, with the
// second ":finger" picture right after the first (kSecondFinger).
// clang-format off
constexpr std::array kEntries = {
    // column 1
    Entry{u":satan", 20, 21, u"colon-satan"},
    Entry{u":wow", 15, 15, u"colon-wow"},
    Entry{u":evil", 16, 16, u"colon-evil"},
    Entry{u":'(", 17, 15, u"colon-apostrophe-lparen"},
    Entry{u":cool", 22, 22, u"colon-cool"},
    Entry{u":baby", 17, 17, u"colon-baby"},
    Entry{u":smoke", 21, 15, u"colon-smoke"},
    Entry{u":P", 22, 22, u"colon-P"},
    Entry{u":?", 17, 22, u"colon-question"},
    Entry{u":sleep", 28, 15, u"colon-sleep"},
    Entry{u":grr", 22, 22, u"colon-grr"},
    Entry{u":(", 21, 21, u"colon-lparen"},
    Entry{u":D", 22, 22, u"colon-D"},
    Entry{u";)", 22, 22, u"semicolon-rparen"},
    Entry{u":)", 19, 19, u"colon-rparen"},
    Entry{u":nono", 17, 15, u"colon-nono"},
    Entry{u":wave", 25, 15, u"colon-wave"},
    // column 2
    Entry{u":heart", 18, 15, u"colon-heart"},
    Entry{u":bala", 17, 15, u"colon-bala"},
    Entry{u":cry", 22, 22, u"colon-cry"},
    Entry{u":devil", 17, 15, u"colon-devil"},
    Entry{u":erm", 17, 15, u"colon-erm"},
    Entry{u":tilt", 18, 16, u"colon-tilt"},
    Entry{u":gg", 18, 16, u"colon-gg"},
    Entry{u":light", 15, 15, u"colon-light"},
    Entry{u":blah", 44, 20, u"colon-blah"},
    Entry{u":lol", 17, 15, u"colon-lol"},
    Entry{u":mad", 17, 15, u"colon-mad"},
    Entry{u":king", 23, 22, u"colon-king"},
    Entry{u":angel", 40, 21, u"colon-angel"},
    Entry{u":idiot", 19, 19, u"colon-idiot"},
    Entry{u":monkey", 18, 17, u"colon-monkey"},
    // column 3
    Entry{u":|", 15, 15, u"colon-bar"},
    Entry{u":uriel", 21, 20, u"colon-uriel"},
    Entry{u":bear", 19, 16, u"colon-bear"},
    Entry{u":drink", 38, 20, u"colon-drink"},
    Entry{u":cat", 21, 18, u"colon-cat"},
    Entry{u":elk", 30, 28, u"colon-elk"},
    Entry{u":clown", 17, 15, u"colon-clown"},
    Entry{u":ugly", 16, 16, u"colon-ugly"},
    Entry{u":toiletclaw", 47, 25, u"colon-toiletclaw"},
    Entry{u":arnie", 53, 24, u"colon-arnie"},
    Entry{u":ass", 21, 23, u"colon-ass"},
    Entry{u":flush", 26, 26, u"colon-flush"},
    Entry{u":out", 33, 15, u"colon-out"},
    Entry{u":guitar", 25, 22, u"colon-guitar"},
    Entry{u":guns", 40, 20, u"colon-guns"},
    // column 4
    Entry{u":beat", 35, 24, u"colon-beat"},
    Entry{u":poo", 16, 16, u"colon-poo"},
    Entry{u":alien", 18, 25, u"colon-alien"},
    Entry{u":shoot", 101, 23, u"colon-shoot"},
    Entry{u":finger", 17, 16, u"colon-finger"},
    Entry{u":finger", 20, 20, u"colon-finger-2"},
    Entry{u":weed", 19, 19, u"colon-weed"},
    Entry{u":brb", 17, 18, u"colon-brb"},
    Entry{u":cd", 20, 20, u"colon-cd"},
    Entry{u"<--", 19, 14, u"lt-dash-dash"},
    Entry{u"-->", 19, 14, u"dash-dash-gt"},
    Entry{u":lick", 46, 23, u"colon-lick"},
    Entry{u":solid", 39, 31, u"colon-solid"},
    Entry{u":afro", 33, 28, u"colon-afro"},
    Entry{u"(*)", 16, 16, u"lparen-star-rparen"}, // drawn at small icon size
};
// clang-format on
constexpr size_t kSecondFinger = 52;

Smiley smileyOf(const Entry &entry)
{
    return Smiley{QString::fromUtf16(entry.code), QSize(entry.width, entry.height),
                  QStringLiteral(":/smileys/") + QString::fromUtf16(entry.file) +
                      QStringLiteral(".png")};
}

// Indexes into codes(), longest code first, for the matcher.
const std::vector<int> &longestFirst()
{
    static const std::vector<int> order = [] {
        std::vector<int> indexes(SmileyTable::codes().size());
        for (size_t i = 0; i < indexes.size(); ++i)
            indexes[i] = int(i);
        std::stable_sort(indexes.begin(), indexes.end(), [](int a, int b) {
            return SmileyTable::codes()[size_t(a)].code.size() >
                   SmileyTable::codes()[size_t(b)].code.size();
        });
        return indexes;
    }();
    return order;
}

// Whether a code starts with this character: everything else is skipped at once.
bool mayStartCode(QChar c)
{
    static const std::vector<bool> starts = [] {
        std::vector<bool> table(0x10000, false);
        for (const Smiley &smiley : SmileyTable::codes())
            table[smiley.code.front().unicode()] = true;
        return table;
    }();
    return starts[c.unicode()];
}

} // namespace

// The pictures are linked in with a static library, so their resource is registered here
// (outside any namespace, as Q_INIT_RESOURCE requires).
static void registerSmileyResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(smileys);
        return true;
    }();
    Q_UNUSED(registered);
}

const std::vector<Smiley> &SmileyTable::codes()
{
    static const std::vector<Smiley> table = [] {
        std::vector<Smiley> smileys;
        for (size_t i = 0; i < kEntries.size(); ++i) {
            if (i != kSecondFinger)
                smileys.push_back(smileyOf(kEntries[i]));
        }
        return smileys;
    }();
    return table;
}

const std::vector<Smiley> &SmileyTable::pickerEntries()
{
    static const std::vector<Smiley> entries = [] {
        std::vector<Smiley> smileys;
        for (const Entry &entry : kEntries)
            smileys.push_back(smileyOf(entry));
        return smileys;
    }();
    return entries;
}

int SmileyTable::indexOf(QStringView code)
{
    const std::vector<Smiley> &table = codes();
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].code == code)
            return int(i);
    }
    return -1;
}

std::vector<SmileyMatch> SmileyTable::find(QStringView text)
{
    std::vector<SmileyMatch> matches;
    const std::vector<Smiley> &table = codes();
    const std::vector<int> &order = longestFirst();
    qsizetype i = 0;
    while (i < text.size()) {
        if (!mayStartCode(text[i])) {
            ++i;
            continue;
        }
        const QStringView rest = text.sliced(i);
        int found = -1;
        for (const int index : order) {
            if (rest.startsWith(table[size_t(index)].code)) {
                found = index;
                break;
            }
        }
        if (found < 0) {
            ++i;
            continue;
        }
        const qsizetype length = table[size_t(found)].code.size();
        matches.push_back(SmileyMatch{i, length, found});
        i += length;
    }
    return matches;
}

const QImage &SmileyTable::picture(int index)
{
    static std::vector<QImage> pictures;
    static const QImage none;
    const std::vector<Smiley> &table = codes();
    if (index < 0 || size_t(index) >= table.size())
        return none;
    if (pictures.empty()) {
        pictures.reserve(table.size());
        for (const Smiley &smiley : table)
            pictures.push_back(load(smiley.resource));
    }
    return pictures[size_t(index)];
}

QImage SmileyTable::load(const QString &resource)
{
    registerSmileyResources();
    QImage image(resource);
    if (!image.isNull() && image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}
