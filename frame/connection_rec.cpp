#include "connection_rec.h"

void connection_rec::DropCatalog()
{
    for (auto* list : {&SystemTables, &Tables, &Views, &Aliases, &TemporaryTables, &OtherTables, &TableColumns,
                       &Procedures, &ProcedureColumns})
        list->reset();
    CatalogLoaded = false;
    SystemTablesFilled = TablesFilled = ViewsFilled = AliasesFilled = TemporaryTablesFilled = ProceduresFilled = false;
}
