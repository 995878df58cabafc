#pragma once

#include <QColor>
#include <QString>

// How the user's own messages look: the chosen colour and whether bold and underline are on.
// The room window holds one for as long as it lives; room and private messages both read it.
class RoomFormatting
{
public:
    // The colour index that writes every character in a colour of its own.
    static inline const QString RainbowIndex = QStringLiteral("rainbow");

    // "1" to "15", or RainbowIndex.
    QString colourIndex() const { return m_colourIndex; }
    // Takes "1" to "15" or RainbowIndex; anything else would put a broken colour code in every
    // message, so it is refused (false) and the index stays.
    bool setColourIndex(const QString &index);
    bool isRainbow() const { return m_colourIndex == RainbowIndex; }

    bool bold() const { return m_bold; }
    void setBold(bool on) { m_bold = on; }
    bool underline() const { return m_underline; }
    void setUnderline(bool on) { m_underline = on; }

    // The code characters written before the message text: the bold code or nothing, the
    // underline code or nothing.
    QString boldPrefix() const;
    QString underlinePrefix() const;

private:
    QString m_colourIndex = QStringLiteral("1");
    bool m_bold = false;
    bool m_underline = false;
};

// True for the colour indexes the user can pick: "1" to "15", written without leading zeros.
bool isPickableColourIndex(const QString &index);

// The colour the input box and the "Change Color" label show for a colour index. This table
// differs from the chat view's palette at 8 (255, 190, 0 here). The rainbow has no single
// colour and shows as black, like index "1"; any other text gives an invalid colour.
QColor previewColour(const QString &index);
