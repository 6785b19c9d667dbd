// The arithmetic of the progress display: the percentage, the bar's width and the text of the two
// boxes, from the items done and the total. Never divides by zero, never passes 100 percent.
#pragma once

#include <QString>

class InstallProgress {
public:
    // done * 100 / total, truncated, within 0..100; a total of 0 or less counts as all done.
    static int Percent(int done, int total);
    // fullWidth * done / total, truncated, within 0..fullWidth; a total of 0 or less is the full width.
    static int BarWidth(int fullWidth, int done, int total);
    // prefix + the percentage + "%".
    static QString Text(const QString& prefix, int done, int total);
    // The part of a box's initial text before its first "%" (all of it when there is none).
    static QString PrefixOf(const QString& initialText);
    // The boxes' initial text: 50 blanks and "%".
    static QString InitialText();
};
