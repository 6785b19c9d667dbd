#include "ReplaceAllText.h"

namespace {

QString AsciiUpper(const QString& s)
{
    QString upper = s;
    for (QChar& c : upper)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 32);
    return upper;
}

// An occurrence that would cut a surrogate pair at either end is not a match of characters.
bool CutsACharacter(const QString& text, qsizetype at, qsizetype length)
{
    const qsizetype end = at + length;
    return (at > 0 && text.at(at - 1).isHighSurrogate() && text.at(at).isLowSurrogate())
        || (end < text.size() && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate());
}

} // namespace

QString ReplaceAllText(const QString& text, const QString& find, const QString& replace, bool matchCase, int* count)
{
    int replaced = 0;
    QString result;
    if (!find.isEmpty()) {
        // ASCII upper-casing keeps every position, so occurrences in the compared copy are
        // occurrences in the text itself.
        const QString haystack = matchCase ? text : AsciiUpper(text);
        const QString needle = matchCase ? find : AsciiUpper(find);
        qsizetype scan = 0;
        qsizetype at = haystack.indexOf(needle, scan);
        while (at >= 0) {
            if (CutsACharacter(text, at, find.size())) {
                at = haystack.indexOf(needle, at + 1);
                continue;
            }
            result += QStringView(text).mid(scan, at - scan);
            result += replace;
            scan = at + find.size();
            ++replaced;
            at = haystack.indexOf(needle, scan);
        }
        if (replaced > 0) result += QStringView(text).mid(scan);
    }
    if (count) *count = replaced;
    return replaced > 0 ? result : text;
}
