#include "KeywordTables.h"

THash_DB2* Hash_DB2 = nullptr;
THash_MSSQLSERVER* Hash_MSSQLSERVER = nullptr;
THash_ORACLE* Hash_ORACLE = nullptr;
THash_SYBASE* Hash_SYBASE = nullptr;
THash_INFORMIX* Hash_INFORMIX = nullptr;
THash_ACCESS* Hash_ACCESS = nullptr;
THash_MYSQL* Hash_MYSQL = nullptr;
THash_FOXPRO* Hash_FOXPRO = nullptr;

namespace {

template <typename Table>
void CreateAndLoad(Table*& instance)
{
    delete instance;
    instance = nullptr;
    instance = new Table(2000);
    instance->LoadWords();
}

template <typename Table>
void Free(Table*& instance)
{
    delete instance;
    instance = nullptr;
}

} // namespace

void CreateKeywordTables()
{
    CreateAndLoad(Hash_DB2);
    CreateAndLoad(Hash_SYBASE);
    CreateAndLoad(Hash_MSSQLSERVER);
    CreateAndLoad(Hash_ORACLE);
    CreateAndLoad(Hash_INFORMIX);
    CreateAndLoad(Hash_MYSQL);
    CreateAndLoad(Hash_ACCESS);
    CreateAndLoad(Hash_FOXPRO);
}

void FreeKeywordTables()
{
    Free(Hash_DB2);
    Free(Hash_SYBASE);
    Free(Hash_MSSQLSERVER);
    Free(Hash_ORACLE);
    Free(Hash_INFORMIX);
    Free(Hash_MYSQL);
    Free(Hash_ACCESS);
    Free(Hash_FOXPRO);
}

TKeywordTable* KeywordTableOfKind(int kind)
{
    switch (kind) {
    case 1: return Hash_DB2;
    case 2: return Hash_MSSQLSERVER;
    case 3: return Hash_ORACLE;
    case 4: return Hash_SYBASE;
    case 5: return Hash_INFORMIX;
    case 6: return Hash_ACCESS;
    case 7: return Hash_MYSQL;
    case 8: return Hash_FOXPRO;
    default: return nullptr;
    }
}
