#pragma once

#include <QByteArrayView>
#include <QStringView>

// Whether a line names the user. A mention is the nick as a whole word: the characters around
// it are not nick characters (letters, digits and []\`_^{|}-). Case is ignored the way IRC
// servers compare nicks by default (RFC 1459): besides ASCII letters, [ ] \ ~ equal { } | ^, so
// a mention matches exactly the names the server would take for the user's own. The texts are
// lines as shown, without formatting codes. Pure functions, cheap enough for every room line.
namespace mentions {

// True for the characters a nick may contain.
bool isNickCharacter(char32_t c);

// Nick comparison: equal under RFC 1459 case folding.
bool sameNick(QStringView a, QStringView b);

// Only mentions starting at or after from count; the text before still bounds the word.
bool containsNick(QStringView text, QStringView nick, qsizetype from = 0);
// The same on UTF-8 text, as a chat buffer stores its lines; from counts bytes. An ASCII nick,
// the usual case, is found without decoding the text.
bool containsNick(QByteArrayView utf8, QStringView nick, qsizetype from = 0);

} // namespace mentions
