// The DBMS kind of a query window, decided from its connection key.
#pragma once

#include "TDbmsKind.h"

#include <QString>

// The first matching rule on the upper-cased key: DB2 1, Microsoft SQL Server 2, Oracle 3, the
// Sybase family 4, Informix 5, Access 6, MySQL 7, "FOXPRO" anywhere in the key 8, Paradox 9,
// Excel 10, text files 11, anything else 20. Every other rule tests the key's start, the DBMS name.
TDbmsKind DbmsKindOf(const QString& connectionKey);
