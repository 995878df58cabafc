#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <vector>

// Where a web or chat address sits in a line's visible text.
struct LinkRange
{
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const LinkRange &, const LinkRange &) = default;
};

// Finds the addresses in a line of plain text: those starting with http://, https://, ftp://,
// irc:// or ircs:// (any case, not glued to a preceding letter) and those starting with "www."
// at the start of a word. An address runs until a blank, a control character, '<', '>' or '"';
// then trailing . , ; : ! ? and closing brackets without their opener inside the address are
// left out, so "(see www.example.org/a_(b))." gives "www.example.org/a_(b)". An address needs
// something after its "://" or "www.". Pure and cheap: a line without ':' followed by "//" and
// without "www." costs one pass over its characters and no allocation.
std::vector<LinkRange> findLinks(QStringView text);

// False when the same text in UTF-8 holds no address for findLinks to find: it has no "://"
// and no "www." in any case. Much cheaper than findLinks (the C library's byte search), so a
// buffer storing UTF-8 anyway asks this first.
bool mayHoldLinks(QByteArrayView utf8);

// The address to open for a link's text: "www." addresses get "http://" in front.
QString linkAddress(QStringView linkText);
