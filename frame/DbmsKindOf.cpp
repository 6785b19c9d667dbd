#include "DbmsKindOf.h"

namespace {

struct KindRule {
    const char* Text;
    bool Anywhere;
    TDbmsKind Kind;
};

// Tested in this order: "MICROSOFT SQL SERVER" comes before "SQL SERVER", and the FoxPro test,
// which searches the whole key, comes after every DBMS name that could contain it.
constexpr KindRule Rules[] = {
    {"DB2", false, DbmsKind::DB2},
    {"Microsoft SQL Server", false, DbmsKind::MicrosoftSqlServer},
    {"Oracle", false, DbmsKind::Oracle},
    {"Adaptive Server", false, DbmsKind::Sybase},
    {"Adaptive", false, DbmsKind::Sybase},
    {"SQL Server", false, DbmsKind::Sybase},
    {"Sybase", false, DbmsKind::Sybase},
    {"Informix", false, DbmsKind::Informix},
    {"ACCESS", false, DbmsKind::Access},
    {"MYSQL", false, DbmsKind::MySql},
    {"FOXPRO", true, DbmsKind::FoxPro},
    {"PARADOX", false, DbmsKind::Paradox},
    {"EXCEL", false, DbmsKind::Excel},
    {"TEXT", false, DbmsKind::Text},
};

} // namespace

TDbmsKind DbmsKindOf(const QString& connectionKey)
{
    const QString key = connectionKey.toUpper();
    for (const KindRule& rule : Rules) {
        const QString text = QString::fromLatin1(rule.Text).toUpper();
        if (rule.Anywhere ? key.contains(text) : key.startsWith(text)) return rule.Kind;
    }
    return DbmsKind::Other;
}
