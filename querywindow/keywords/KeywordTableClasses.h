// The eight keyword table classes: one design, each reading its own keyword list.
#pragma once

#include "KeywordLists.h"
#include "TKeywordTable.h"

template <KeywordList& Source>
class TKeywordTableOf final : public TKeywordTable {
public:
    explicit TKeywordTableOf(int size = 2000) : TKeywordTable(Source, size) {}
};

using THash_DB2 = TKeywordTableOf<KeywordList_DB2>;
using THash_MSSQLSERVER = TKeywordTableOf<KeywordList_MSSQLSERVER>;
using THash_ORACLE = TKeywordTableOf<KeywordList_ORACLE>;
using THash_SYBASE = TKeywordTableOf<KeywordList_SYBASE>;
using THash_INFORMIX = TKeywordTableOf<KeywordList_INFORMIX>;
using THash_ACCESS = TKeywordTableOf<KeywordList_ACCESS>;
using THash_MYSQL = TKeywordTableOf<KeywordList_MYSQL>;
using THash_FOXPRO = TKeywordTableOf<KeywordList_FOXPRO>;
