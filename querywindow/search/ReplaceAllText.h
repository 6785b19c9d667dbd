// Replace All of the SQL editor: every occurrence of the find text, found left to right in the
// original text, replaced exactly once; the inserted text is never searched again.
#pragma once

#include <QString>

// Without matchCase the texts are compared with the ASCII letters a to z upper-cased and every
// other character as it is. Occurrences never start or end inside a surrogate pair. *count (when
// given) receives the number of occurrences replaced; with none (an empty find text has none) the
// text comes back unchanged.
QString ReplaceAllText(const QString& text, const QString& find, const QString& replace, bool matchCase,
                       int* count = nullptr);
