#include "roomformatting.h"

#include "formatcodes.h"

#include <array>

namespace {
constexpr std::array<QRgb, 15> kPreview = {
    qRgb(0, 0, 0),     qRgb(0, 0, 170),   qRgb(0, 140, 0),   qRgb(255, 0, 0),  qRgb(127, 0, 0),
    qRgb(127, 0, 127), qRgb(255, 127, 0), qRgb(255, 190, 0), qRgb(0, 255, 0),  qRgb(0, 148, 144),
    qRgb(0, 255, 255), qRgb(0, 0, 255),   qRgb(230, 0, 255), qRgb(92, 92, 92), qRgb(184, 184, 184),
};

// The number of a pickable index, 0 for any other text.
int pickableNumber(const QString &index)
{
    if (index.isEmpty() || index.size() > 2 || index.front() == u'0')
        return 0;
    for (QChar c : index) {
        if (c < u'0' || c > u'9')
            return 0;
    }
    const int number = index.toInt();
    return number <= 15 ? number : 0;
}
} // namespace

bool isPickableColourIndex(const QString &index)
{
    return pickableNumber(index) != 0;
}

bool RoomFormatting::setColourIndex(const QString &index)
{
    if (index != RainbowIndex && !isPickableColourIndex(index))
        return false;
    m_colourIndex = index;
    return true;
}

QString RoomFormatting::boldPrefix() const
{
    return m_bold ? QString(FormatCode::Bold) : QString();
}

QString RoomFormatting::underlinePrefix() const
{
    return m_underline ? QString(FormatCode::Underline) : QString();
}

QColor previewColour(const QString &index)
{
    if (index == RoomFormatting::RainbowIndex)
        return QColor(kPreview[0]);
    const int number = pickableNumber(index);
    return number == 0 ? QColor() : QColor(kPreview[size_t(number - 1)]);
}
