#include "LineColouring.h"

#include "KeywordColours.h"
#include "KeywordLookup.h"
#include "KeywordScanner.h"

int LineCommentStart(QStringView line) { return static_cast<int>(line.indexOf(u"--")); }

std::vector<ColourRun> ColourWords(const std::vector<Word_ary>& words, TDbmsKind windowKind)
{
    const TDbmsKind kind = ColouringKind(windowKind);
    std::vector<ColourRun> runs;
    for (const Word_ary& w : words) {
        const int category = GetKeywordCategory(w.Text, kind);
        if (KeywordColours::IsColoured(category))
            runs.push_back({w.StartPos - 1, static_cast<int>(w.Text.size()), KeywordColours::OfCategory(category)});
    }
    return runs;
}

std::vector<ColourRun> LineColourRuns(QStringView line, int lineStart, bool followedByText, TDbmsKind windowKind)
{
    std::vector<Word_ary> words;
    ScanLineWords(line, words, lineStart, windowKind, followedByText);
    std::vector<ColourRun> runs = ColourWords(words, windowKind);
    // Comments are coloured last: a keyword after "--" is comment text.
    if (const int comment = LineCommentStart(line); comment >= 0)
        runs.push_back({lineStart + comment, static_cast<int>(line.size()) - comment, KeywordColours::LineComment});
    return runs;
}
