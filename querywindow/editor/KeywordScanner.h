// The word scanner of the keyword colouring: splits editor text into the words that are looked up
// in the keyword tables. Positions are editor (text document) positions: every character counts one.
#pragma once

#include "TDbmsKind.h"
#include "Word_ary.h"

#include <QChar>
#include <QStringView>

#include <vector>

// ASCII letters and "_"; for Oracle also "$". Digits and everything else end a word.
bool IsKeywordWordCharacter(QChar c, TDbmsKind kind);

// Appends the words of text to list, in text order. offset is the 0-based editor position of text's
// first character. A word still open at the end of text is dropped: the last word is listed only
// when some character follows it.
void ScanWords(QStringView text, std::vector<Word_ary>& list, int offset, TDbmsKind kind);

// As ScanWords, but with followedByText a word that reaches the end of text is listed, as it is
// when the text is one line of a longer text and a line break follows.
void ScanLineWords(QStringView text, std::vector<Word_ary>& list, int offset, TDbmsKind kind, bool followedByText);
