#pragma once

#include <QStringView>

// Whether a line names the user. A mention is the nick as a whole word: the characters around
// it are not nick characters (letters, digits and []\`_^{|}-). Case is ignored the way IRC
// servers compare nicks by default (RFC 1459): besides ASCII letters, [ ] \ ~ equal { } | ^, so
// a mention matches exactly the names the server would take for the user's own. Pure functions,
// cheap enough to run on every room line.
namespace mentions {

// True for the characters a nick may contain.
bool isNickCharacter(QChar c);

// Nick comparison: equal under RFC 1459 case folding.
bool sameNick(QStringView a, QStringView b);

// plainText: a line without formatting codes.
bool containsNick(QStringView plainText, QStringView nick);

// text: a line as received, formatting codes and all; they are removed before looking.
bool mentionsNick(QStringView text, QStringView nick);

} // namespace mentions
