#pragma once

#include <QBrush>
#include <QFont>
#include <QRect>
#include <QTextLayout>

#include <memory>
#include <vector>

class ChatBuffer;
class QPainter;
class QTextCharFormat;

// How a ChatView wants its lines laid out: its font face, the colour reversed text takes, the
// wrap width, whether smiley codes are drawn as pictures, and the colour of addresses.
struct ChatLineStyle
{
    QFont viewFont;
    QBrush reversedText; // the view's base colour
    int width = 0;
    bool singleLine = false; // unwrapped; pictures shrink to the text line
    bool smileyPictures = false;
    QBrush link; // addresses are underlined in this colour
};

// One buffer line laid out for drawing: a QTextLayout carrying the line's format runs, its
// height, and where each smiley picture goes. Building and drawing a line live here, apart from
// the view's scrolling and selection, so the view only decides which lines to show and where.
struct ChatLineLayout
{
    struct Picture
    {
        int start;
        int length;
        int index;  // in SmileyTable::codes()
        QRect rect; // in layout coordinates
    };

    QTextLayout layout;
    int height = 0;
    std::vector<Picture> pictures; // empty unless smiley pictures are on

    static std::unique_ptr<ChatLineLayout> build(const ChatBuffer &buffer, int line,
                                                 const ChatLineStyle &style);

    // Draws the line at origin, with [selectionStart, selectionEnd) in the selection's format
    // over any highlights given.
    void draw(QPainter &painter, QPoint origin, const QTextCharFormat &selectionFormat,
              int selectionStart, int selectionEnd,
              const QList<QTextLayout::FormatRange> &highlights = {}) const;
};

// The font a line is laid out in: the view's face at the given size, with weight, underline
// and strike-out left to each run. A size of 0 keeps the view's size.
QFont chatLineFont(const QFont &viewFont, qreal pointSize);
