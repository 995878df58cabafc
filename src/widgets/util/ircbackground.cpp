#include "ircbackground.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// WCAG's relative luminance and contrast ratio, against white.
qreal luminance(const QColor &colour)
{
    const auto channel = [](qreal c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

qreal contrastWithWhite(const QColor &colour)
{
    return 1.05 / (luminance(colour) + 0.05);
}

} // namespace

QColor readableOnWhite(const QColor &colour)
{
    // Dark themes give light link colours; the same hue made darker stays recognisable.
    QColor readable = colour.toHsl();
    while (contrastWithWhite(readable) < 4.5 && readable.lightness() > 0)
        readable.setHsl(readable.hslHue(), readable.hslSaturation(),
                        std::max(0, readable.lightness() - 8));
    return readable.toRgb();
}

void useIrcBackground(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Link, readableOnWhite(palette.color(QPalette::Link)));
    widget->setPalette(palette);
}
