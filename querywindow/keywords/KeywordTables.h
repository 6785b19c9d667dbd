// The process-wide keyword tables, one per database kind 1..8: nullptr until CreateKeywordTables
// and again after FreeKeywordTables.
#pragma once

#include "KeywordTableClasses.h"

extern THash_DB2* Hash_DB2;
extern THash_MSSQLSERVER* Hash_MSSQLSERVER;
extern THash_ORACLE* Hash_ORACLE;
extern THash_SYBASE* Hash_SYBASE;
extern THash_INFORMIX* Hash_INFORMIX;
extern THash_ACCESS* Hash_ACCESS;
extern THash_MYSQL* Hash_MYSQL;
extern THash_FOXPRO* Hash_FOXPRO;

// Creates each table with size 2000 and loads it from its list at once, in the order DB2, Sybase,
// Microsoft SQL Server, Oracle, Informix, MySQL, Access, FoxPro. A table that already exists is
// replaced.
void CreateKeywordTables();

// Frees every table that exists and sets its instance to nullptr.
void FreeKeywordTables();

// The table of database kind 1..8 (a TDbmsKind), nullptr for any other kind or a table not created.
TKeywordTable* KeywordTableOfKind(int kind);
