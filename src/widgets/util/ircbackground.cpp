#include "ircbackground.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// WCAG's relative luminance.
qreal luminance(const QColor &colour)
{
    const auto channel = [](qreal c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

} // namespace

qreal contrastRatio(const QColor &a, const QColor &b)
{
    const qreal first = luminance(a);
    const qreal second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor readableOn(const QColor &colour, const QColor &background)
{
    if (contrastRatio(colour, background) >= 4.5)
        return colour;
    // The same hue made darker or lighter stays recognisable.
    const bool darker = luminance(background) > 0.18;
    const int step = darker ? -8 : 8;
    const int lastLightness = darker ? 0 : 255;
    QColor readable = colour.toHsl();
    while (contrastRatio(readable, background) < 4.5 && readable.lightness() != lastLightness)
        readable.setHsl(readable.hslHue(), readable.hslSaturation(),
                        std::clamp(readable.lightness() + step, 0, 255));
    return readable.toRgb();
}

QColor readableOnWhite(const QColor &colour)
{
    // Dark themes give light link colours.
    return readableOn(colour, Qt::white);
}

void useIrcBackground(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Link, readableOnWhite(palette.color(QPalette::Link)));
    widget->setPalette(palette);
}
