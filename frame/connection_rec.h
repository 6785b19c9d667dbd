// One database connection of the object browser: shared by every query window with the same
// connection key, and the cache of the connection's catalog.
#pragma once

#include "StringList.h"
#include "TDbmsKind.h"

#include <QString>

#include <cstdint>
#include <memory>

struct connection_rec {
    QString Key;
    TDbmsKind DbmsKind = 0;
    QString User;
    QString Password;
    QString DSN;
    // Open query windows whose connection key equals Key; never negative.
    std::int32_t WindowCount = 0;
    // The nine catalog lists hold a complete load.
    bool CatalogLoaded = false;
    // The catalog lists; null while the record holds none.
    std::unique_ptr<StringList> SystemTables;
    std::unique_ptr<StringList> Tables;
    std::unique_ptr<StringList> Views;
    std::unique_ptr<StringList> Aliases;
    std::unique_ptr<StringList> TemporaryTables;
    std::unique_ptr<StringList> OtherTables;
    std::unique_ptr<StringList> TableColumns;
    std::unique_ptr<StringList> Procedures;
    std::unique_ptr<StringList> ProcedureColumns;
    // A category node has been filled from its current list.
    bool SystemTablesFilled = false;
    bool TablesFilled = false;
    bool ViewsFilled = false;
    bool AliasesFilled = false;
    bool TemporaryTablesFilled = false;
    bool ProceduresFilled = false;
    // The next record of the list; none at the tail.
    connection_rec* Next = nullptr;

    // Drops the nine lists and clears the loaded and filled flags.
    void DropCatalog();
};
