// Renders the smiley pictures from the Noto Color Emoji font (Debian: fonts-noto-color-emoji,
// SIL Open Font License 1.1) and writes them, with the resource file that embeds them, to
// resources/smileys/. Each picture is one emoji, or a row of two or three for the wide ones,
// scaled to fit the smiley's size with its aspect kept, centred on a transparent background.
//
//   render-smileys OUTPUT_DIR            pictures and smileys.qrc
//   render-smileys OUTPUT_DIR --sheet F  also a contact sheet of every picture, for a look
//   render-smileys OUTPUT_DIR --list     also prints the Markdown table of LICENSE.md

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <cstdio>
#include <vector>

namespace {

// The box of the pixels that are more than faintly visible.
QRect visibleBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) > 8)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

struct Picture
{
    const char *code;
    int width;
    int height;
    const char *emoji;       // UTF-8
    const char *description; // the emoji's names, for the licence file
    const char *suffix = ""; // tells apart two pictures of one code
    unsigned mirrored = 0;   // bit i set: the row's emoji i is drawn mirrored
};

// In the picker's order: the smiley table read column by column, with the second ":finger"
// picture right after the first.
// clang-format off
const std::vector<Picture> kPictures = {
    // column 1
    {":satan", 20, 21, "😈", "U+1F608 smiling face with horns"},
    {":wow", 15, 15, "😮", "U+1F62E face with open mouth"},
    {":evil", 16, 16, "👿", "U+1F47F angry face with horns"},
    {":'(", 17, 15, "😢", "U+1F622 crying face"},
    {":cool", 22, 22, "😎", "U+1F60E smiling face with sunglasses"},
    {":baby", 17, 17, "👶", "U+1F476 baby"},
    {":smoke", 21, 15, "🚬", "U+1F6AC cigarette"},
    {":P", 22, 22, "😛", "U+1F61B face with tongue"},
    {":?", 17, 22, "🤔", "U+1F914 thinking face"},
    {":sleep", 28, 15, "😴💤", "U+1F634 sleeping face, U+1F4A4 zzz"},
    {":grr", 22, 22, "😠", "U+1F620 angry face"},
    {":(", 21, 21, "🙁", "U+1F641 slightly frowning face"},
    {":D", 22, 22, "😀", "U+1F600 grinning face"},
    {";)", 22, 22, "😉", "U+1F609 winking face"},
    {":)", 19, 19, "🙂", "U+1F642 slightly smiling face"},
    {":nono", 17, 15, "🙅", "U+1F645 person gesturing no"},
    {":wave", 25, 15, "👋", "U+1F44B waving hand"},
    // column 2
    {":heart", 18, 15, "❤️", "U+2764 U+FE0F red heart"},
    {":bala", 17, 15, "😜", "U+1F61C winking face with tongue"},
    {":cry", 22, 22, "😭", "U+1F62D loudly crying face"},
    {":devil", 17, 15, "👹", "U+1F479 ogre"},
    {":erm", 17, 15, "😕", "U+1F615 confused face"},
    {":tilt", 18, 16, "🥴", "U+1F974 woozy face"},
    {":gg", 18, 16, "👍", "U+1F44D thumbs up"},
    {":light", 15, 15, "💡", "U+1F4A1 light bulb"},
    {":blah", 44, 20, "🗣️💬", "U+1F5E3 U+FE0F speaking head, U+1F4AC speech balloon"},
    {":lol", 17, 15, "😂", "U+1F602 face with tears of joy"},
    {":mad", 17, 15, "😡", "U+1F621 enraged face"},
    {":king", 23, 22, "👑", "U+1F451 crown"},
    {":angel", 40, 21, "🪽😇🪽", "U+1FABD wing (mirrored), U+1F607 smiling face with halo, U+1FABD wing", "", 1},
    {":idiot", 19, 19, "🤪", "U+1F92A zany face"},
    {":monkey", 18, 17, "🐵", "U+1F435 monkey face"},
    // column 3
    {":|", 15, 15, "😐", "U+1F610 neutral face"},
    {":uriel", 21, 20, "👼", "U+1F47C baby angel"},
    {":bear", 19, 16, "🐻", "U+1F43B bear"},
    {":drink", 38, 20, "🍺🍻", "U+1F37A beer mug, U+1F37B clinking beer mugs"},
    {":cat", 21, 18, "🐱", "U+1F431 cat face"},
    {":elk", 30, 28, "🫎", "U+1FACE moose"},
    {":clown", 17, 15, "🤡", "U+1F921 clown face"},
    {":ugly", 16, 16, "🤢", "U+1F922 nauseated face"},
    {":toiletclaw", 47, 25, "🚽🦀", "U+1F6BD toilet, U+1F980 crab"},
    {":arnie", 53, 24, "💪😎💪", "U+1F4AA flexed biceps, U+1F60E smiling face with sunglasses, U+1F4AA flexed biceps"},
    {":ass", 21, 23, "🍑", "U+1F351 peach"},
    {":flush", 26, 26, "😳", "U+1F633 flushed face"},
    {":out", 33, 15, "🏃💨", "U+1F3C3 person running, U+1F4A8 dashing away"},
    {":guitar", 25, 22, "🎸", "U+1F3B8 guitar"},
    {":guns", 40, 20, "🔫🔫", "U+1F52B pistol, U+1F52B pistol (mirrored)", "", 2},
    // column 4
    {":beat", 35, 24, "👊💥", "U+1F44A oncoming fist, U+1F4A5 collision"},
    {":poo", 16, 16, "💩", "U+1F4A9 pile of poo"},
    {":alien", 18, 25, "👽", "U+1F47D alien"},
    {":shoot", 101, 23, "💥🔫🤠", "U+1F4A5 collision, U+1F52B pistol, U+1F920 cowboy hat face"},
    {":finger", 17, 16, "🖕", "U+1F595 middle finger"},
    {":finger", 20, 20, "🖕🏽", "U+1F595 U+1F3FD middle finger, medium skin tone", "-2"},
    {":weed", 19, 19, "🌿", "U+1F33F herb"},
    {":brb", 17, 18, "🔙", "U+1F519 back arrow"},
    {":cd", 20, 20, "💿", "U+1F4BF optical disk"},
    {"<--", 19, 14, "⬅️", "U+2B05 U+FE0F left arrow"},
    {"-->", 19, 14, "➡️", "U+27A1 U+FE0F right arrow"},
    {":lick", 46, 23, "😋👅", "U+1F60B face savoring food, U+1F445 tongue"},
    {":solid", 39, 31, "💯", "U+1F4AF hundred points"},
    {":afro", 33, 28, "🧑🏾‍🦱", "U+1F9D1 U+1F3FE U+200D U+1F9B1 person, medium-dark skin tone, curly hair"},
    {"(*)", 16, 16, "⭐", "U+2B50 star"},
};
// clang-format on

// A file name for a code: its letters as they are, every other character by name, joined by
// dashes (":'(" becomes "colon-apostrophe-lparen").
QString slug(const Picture &picture)
{
    QStringList parts;
    QString letters;
    for (const QChar c : QString::fromUtf8(picture.code)) {
        if (c.isLetterOrNumber() && c.unicode() < 128) {
            letters += c;
            continue;
        }
        if (!letters.isEmpty())
            parts << std::exchange(letters, QString());
        switch (c.unicode()) {
        case ':':
            parts << QStringLiteral("colon");
            break;
        case ';':
            parts << QStringLiteral("semicolon");
            break;
        case '\'':
            parts << QStringLiteral("apostrophe");
            break;
        case '(':
            parts << QStringLiteral("lparen");
            break;
        case ')':
            parts << QStringLiteral("rparen");
            break;
        case '?':
            parts << QStringLiteral("question");
            break;
        case '|':
            parts << QStringLiteral("bar");
            break;
        case '<':
            parts << QStringLiteral("lt");
            break;
        case '>':
            parts << QStringLiteral("gt");
            break;
        case '-':
            parts << QStringLiteral("dash");
            break;
        case '*':
            parts << QStringLiteral("star");
            break;
        default:
            parts << QStringLiteral("u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        }
    }
    if (!letters.isEmpty())
        parts << letters;
    return parts.join(u'-') + QString::fromUtf8(picture.suffix) + QStringLiteral(".png");
}

// One emoji (a grapheme cluster) drawn large on a canvas of the font's line height, cut to the
// columns of its visible pixels.
QImage renderOne(const QString &emoji, bool mirrored)
{
    QFont font(QStringLiteral("Noto Color Emoji"));
    font.setPixelSize(109); // the font's bitmaps are drawn at 109 pixels per em
    font.setStyleStrategy(QFont::NoFontMerging);
    QImage canvas(109 * 3, 109 * 2, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(0, 0), canvas.size()), Qt::AlignCenter, emoji);
    }
    const QRect box = visibleBox(canvas);
    if (box.isNull())
        return QImage();
    const QImage columns = canvas.copy(box.left(), 0, box.width(), canvas.height());
    return mirrored ? columns.mirrored(true, false) : columns;
}

// The emoji of a picture side by side, large, cut to the box of their visible pixels.
QImage renderLarge(const QString &text, unsigned mirrored)
{
    std::vector<QImage> parts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype from = 0, to = finder.toNextBoundary(); to > 0;
         from = to, to = finder.toNextBoundary()) {
        const QImage part = renderOne(text.mid(from, to - from), mirrored & (1u << parts.size()));
        if (part.isNull())
            return QImage();
        parts.push_back(part);
    }
    constexpr int gap = 12;
    int width = -gap;
    for (const QImage &part : parts)
        width += part.width() + gap;
    if (parts.empty() || width <= 0)
        return QImage();
    QImage row(width, parts[0].height(), QImage::Format_ARGB32_Premultiplied);
    row.fill(Qt::transparent);
    QPainter painter(&row);
    int x = 0;
    for (const QImage &part : parts) {
        painter.drawImage(x, 0, part);
        x += part.width() + gap;
    }
    painter.end();
    return row.copy(visibleBox(row));
}

QImage fitted(const QImage &large, QSize size)
{
    const QSize scaledSize = large.size().scaled(size, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const QImage scaled = large.scaled(scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.drawImage(
        QPoint((size.width() - scaled.width()) / 2, (size.height() - scaled.height()) / 2), scaled);
    painter.end();
    return picture.convertToFormat(QImage::Format_ARGB32);
}

QImage contactSheet(const std::vector<QImage> &pictures)
{
    constexpr int columns = 6;
    constexpr int zoom = 3;
    constexpr int cellWidth = 101 * (zoom + 1) + 24;
    constexpr int cellHeight = 31 * zoom + 60;
    const int rows = int(pictures.size() + columns - 1) / columns;
    QImage sheet(columns * cellWidth, rows * cellHeight, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const Picture &p = kPictures[i];
        const QPoint origin(int(i % columns) * cellWidth + 8, int(i / columns) * cellHeight + 4);
        const QImage &image = pictures[i];
        // real size, its outline in grey, then three times as large
        painter.setPen(QColor(200, 200, 200));
        painter.drawRect(QRect(origin, image.size()).adjusted(-1, -1, 0, 0));
        painter.drawImage(origin, image);
        painter.drawImage(QRect(origin + QPoint(image.width() + 8, 0), image.size() * zoom), image);
        painter.setPen(Qt::black);
        painter.drawText(
            origin + QPoint(0, 31 * zoom + 20),
            QStringLiteral("%1  %2x%3").arg(QString::fromUtf8(p.code)).arg(p.width).arg(p.height));
    }
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: render-smileys OUTPUT_DIR [--sheet FILE] [--list]\n");
        return 2;
    }
    const QString outDir = args[1];
    const QFontInfo info(QFont(QStringLiteral("Noto Color Emoji")));
    if (info.family() != QLatin1String("Noto Color Emoji")) {
        std::fprintf(stderr, "the font Noto Color Emoji is not installed (apt-get install "
                             "fonts-noto-color-emoji)\n");
        return 1;
    }

    std::vector<QImage> pictures;
    QString qrc = QStringLiteral("<!DOCTYPE RCC>\n<!-- Written by tools/render-smileys. -->\n"
                                 "<RCC version=\"1.0\">\n<qresource prefix=\"/smileys\">\n");
    QString list = QStringLiteral("| Code | File | Size | Emoji |\n|---|---|---|---|\n");
    for (const Picture &p : kPictures) {
        const QString emoji = QString::fromUtf8(p.emoji);
        const QImage large = renderLarge(emoji, p.mirrored);
        if (large.isNull()) {
            std::fprintf(stderr, "nothing drawn for %s\n", p.code);
            return 1;
        }
        const QImage picture = fitted(large, QSize(p.width, p.height));
        const QString name = slug(p);
        if (!picture.save(outDir + u'/' + name, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
        pictures.push_back(picture);
        qrc += QStringLiteral("    <file>%1</file>\n").arg(name);
        QString code = QString::fromUtf8(p.code);
        code.replace(u'|', QStringLiteral("\\|"));
        list += QStringLiteral("| `%1` | %2 | %3 × %4 | %5 %6 |\n")
                    .arg(code, name)
                    .arg(p.width)
                    .arg(p.height)
                    .arg(emoji, QString::fromUtf8(p.description));
    }
    qrc += QStringLiteral("</qresource>\n</RCC>\n");
    QFile qrcFile(outDir + QStringLiteral("/smileys.qrc"));
    if (!qrcFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write smileys.qrc\n");
        return 1;
    }
    qrcFile.write(qrc.toUtf8());

    const qsizetype sheetAt = args.indexOf(QStringLiteral("--sheet"));
    if (sheetAt > 0 && sheetAt + 1 < args.size())
        contactSheet(pictures).save(args[sheetAt + 1]);
    if (args.contains(QStringLiteral("--list")))
        std::fputs(list.toUtf8().constData(), stdout);
    return 0;
}
