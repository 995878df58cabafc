#pragma once

#include "util/twips.h"

#include <QHash>
#include <QRect>
#include <QString>

// Where the room window's elements go, in twips (1/1440 inch), for an outer window size W x H.
// Elements keep their design place unless the resize rules move or size them.
class ChannelLayout
{
public:
    static constexpr int MinimumWidth = 8490;  // twips; 566 pixels at 15 twips a pixel
    static constexpr int MinimumHeight = 6990; // 466 pixels

    // The layout for an outer size; sizes that come out negative (a minimized window) are
    // left out, so those elements keep what they had.
    static ChannelLayout forSize(int width, int height);

    bool has(const QString &element) const { return m_rects.contains(element); }
    QRect rect(const QString &element) const { return m_rects.value(element); }
    const QHash<QString, QRect> &rects() const { return m_rects; }

    // The design place of every element, before any resize rule.
    static const QHash<QString, QRect> &designRects();

private:
    QHash<QString, QRect> m_rects;
};
