#pragma once

#include <QString>

namespace kit {

// The database stores text in ISO8859_1. Text typed or pasted by the operator may
// hold characters outside it (typographic quotes and dashes, the euro sign, letters
// of other alphabets, emoji). foldToLatin1 maps each such character to its nearest
// ISO8859_1 equivalent ("“" to "\"", "—" to "-", "€" to "EUR", "ő" to "o") and drops
// what has none, so no text ever reaches the database as a transliteration error.
QString foldToLatin1(const QString& text);

// True when every character already belongs to ISO8859_1.
bool isLatin1(const QString& text);

}  // namespace kit
