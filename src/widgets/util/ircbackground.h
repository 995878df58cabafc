#pragma once

#include <QColor>

class QWidget;

// The IRC colour table was made for text on white: its default colour is black and several of
// its colours are dark. A widget that draws those colours (a conversation view, an input box
// that previews the user's colour) keeps a white background and black text whatever the
// desktop theme, so a dark theme cannot leave its text black on black. Its link colour is the
// theme's, darkened where the theme's is too light to read on white.
void useIrcBackground(QWidget *widget);

// WCAG's contrast ratio of two colours, from 1 (the same) to 21 (black and white).
qreal contrastRatio(const QColor &a, const QColor &b);

// colour, or the same hue made darker on a light background and lighter on a dark one until
// it reads there (a contrast of at least 4.5 to 1).
QColor readableOn(const QColor &colour, const QColor &background);

// readableOn(colour, white): the same hue darkened until it reads on white.
QColor readableOnWhite(const QColor &colour);
