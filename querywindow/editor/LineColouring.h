// The colours of one line of SQL text, without any widget: its keywords by category, then its line
// comment from the first "--" to the end of the line. Applied in order over a line coloured black.
#pragma once

#include "TDbmsKind.h"
#include "Word_ary.h"

#include <QColor>
#include <QStringView>

#include <vector>

struct ColourRun {
    int Start = 0;  // 0-based editor position
    int Length = 0;
    QColor Colour;

    bool operator==(const ColourRun&) const = default;
};

// The runs of the scanned words, in their order: each word whose category in the keyword table of
// the window's kind is 1 to 4 gets that category's colour; every other word stays uncoloured.
std::vector<ColourRun> ColourWords(const std::vector<Word_ary>& words, TDbmsKind windowKind);

// The index of the first "--" of the line, -1 when it has none.
int LineCommentStart(QStringView line);

// The runs that colour line (whose first character is at editor position lineStart) for a window of
// windowKind: one per word with a category of 1 to 4, in text order, then the comment run when the
// line has one. followedByText tells whether more text follows the line (a line break): without it
// the line's last word is not looked up, as the scanner drops it.
std::vector<ColourRun> LineColourRuns(QStringView line, int lineStart, bool followedByText, TDbmsKind windowKind);
