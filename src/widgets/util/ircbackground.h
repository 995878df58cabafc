#pragma once

class QWidget;

// The IRC colour table was made for text on white: its default colour is black and several of
// its colours are dark. A widget that draws those colours (a conversation view, an input box
// that previews the user's colour) keeps a white background and black text whatever the
// desktop theme, so a dark theme cannot leave its text black on black.
void useIrcBackground(QWidget *widget);
