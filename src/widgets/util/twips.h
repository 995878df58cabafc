#pragma once

#include <QRect>
#include <QScreen>

// Twips (1/1440 inch, the unit the windows' sizes and places are designed in) and pixels, for a
// screen with the given logical dots per inch. Every conversion rounds to the nearest pixel or
// twip, so a place and a size given in twips land on the same pixels in every window.
struct Twips
{
    static constexpr int PerInch = 1440;

    double perPixelX = 15;
    double perPixelY = 15;

    static Twips forDpi(double dpiX, double dpiY) { return {PerInch / dpiX, PerInch / dpiY}; }
    static Twips forScreen(const QScreen &screen)
    {
        return forDpi(screen.logicalDotsPerInchX(), screen.logicalDotsPerInchY());
    }
    int toPixelsX(int twips) const { return qRound(twips / perPixelX); }
    int toPixelsY(int twips) const { return qRound(twips / perPixelY); }
    int fromPixelsX(int pixels) const { return qRound(pixels * perPixelX); }
    int fromPixelsY(int pixels) const { return qRound(pixels * perPixelY); }
    QRect toPixels(const QRect &twips) const
    {
        return QRect(toPixelsX(twips.left()), toPixelsY(twips.top()), toPixelsX(twips.width()),
                     toPixelsY(twips.height()));
    }
};
