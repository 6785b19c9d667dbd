#include "KeywordScanner.h"

bool IsKeywordWordCharacter(QChar c, TDbmsKind kind)
{
    const char16_t u = c.unicode();
    if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u == u'_') return true;
    return u == u'$' && kind == DbmsKind::Oracle;
}

void ScanLineWords(QStringView text, std::vector<Word_ary>& list, int offset, TDbmsKind kind, bool followedByText)
{
    const qsizetype n = text.size();
    qsizetype wordStart = -1;
    for (qsizetype i = 0; i < n; ++i) {
        if (IsKeywordWordCharacter(text[i], kind)) {
            if (wordStart < 0) wordStart = i;
            continue;
        }
        if (wordStart >= 0) {
            // 1-based positions: the word's first character and the one before the delimiter.
            list.push_back({text.mid(wordStart, i - wordStart).toString(), static_cast<std::int32_t>(wordStart + 1 + offset),
                            static_cast<std::int32_t>(i + offset)});
            wordStart = -1;
        }
    }
    if (wordStart >= 0 && followedByText)
        list.push_back({text.mid(wordStart).toString(), static_cast<std::int32_t>(wordStart + 1 + offset),
                        static_cast<std::int32_t>(n + offset)});
}

void ScanWords(QStringView text, std::vector<Word_ary>& list, int offset, TDbmsKind kind)
{
    ScanLineWords(text, list, offset, kind, false);
}
