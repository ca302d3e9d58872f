#pragma once

#include <QStringView>

class QPlainTextEdit;

// A multi-line box wraps its lines at word boundaries and cuts a word that is wider than the box
// anywhere, as the system's own edit boxes do. Qt's line breaking takes time that grows with the
// square of a word's length for that fallback: a pasted text with a "word" of a few hundred
// thousand characters would freeze the window for minutes. Once such a word is in the box, its
// lines are cut anywhere instead, which looks the same for that word and takes linear time.
namespace textwrap {

// Keeps watching the box's text for large insertions.
void keepLinear(QPlainTextEdit *box);

// The length of the longest run of characters without a blank or line break in text.
qsizetype longestWord(QStringView text);

} // namespace textwrap
