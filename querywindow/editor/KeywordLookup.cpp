#include "KeywordLookup.h"

#include "KeywordTables.h"
#include "KeywordText.h"

#include <string>

namespace {

// Table names are UTF-8 bytes. The scanner's words are ASCII and are upper-cased in place (short
// words stay in the string's own buffer); any other text is converted first.
std::string UpperCaseKey(QStringView word)
{
    std::string key;
    key.reserve(static_cast<std::size_t>(word.size()));
    for (const QChar c : word) {
        const char16_t u = c.unicode();
        if (u >= 0x80) return KeywordUpperCase(word.toUtf8().toStdString());
        key.push_back(static_cast<char>(u >= u'a' && u <= u'z' ? u - (u'a' - u'A') : u));
    }
    return key;
}

} // namespace

TDbmsKind ColouringKind(TDbmsKind windowKind)
{
    return windowKind >= DbmsKind::Paradox ? DbmsKind::MicrosoftSqlServer : windowKind;
}

int GetKeywordCategory(QStringView word, int kind)
{
    TKeywordTable* table = KeywordTableOfKind(kind >= DbmsKind::DB2 && kind <= DbmsKind::FoxPro ? kind : DbmsKind::DB2);
    if (word.isEmpty()) return 0;
    if (!table) return -1;
    const std::string key = UpperCaseKey(word);
    const TKeywordNode* node = nullptr;
    if (table->FindWord(key, KeywordBucket(key, table->BucketCount()), node) != TKeywordTable::Found) return -1;
    return node->Category;
}
