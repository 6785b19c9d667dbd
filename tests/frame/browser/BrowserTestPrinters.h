// Readable failure messages for the Qt texts and the small structs of the browser core.
#pragma once

#include "CatalogItem.h"

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    QString shown = s;
    shown.replace(QStringLiteral("\r"), QStringLiteral("\\r")).replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    *os << '"' << shown.toStdString() << '"';
}

inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < l.size(); ++i) {
        if (i) *os << ", ";
        PrintTo(l[i], os);
    }
    *os << '}';
}

inline void PrintTo(const SchemaAndName& v, std::ostream* os)
{
    *os << "{schema ";
    PrintTo(v.Schema, os);
    *os << ", name ";
    PrintTo(v.Name, os);
    *os << '}';
}

inline void PrintTo(const ObjectLocation& v, std::ostream* os)
{
    *os << "{catalog ";
    PrintTo(v.Catalog, os);
    *os << ", schema ";
    PrintTo(v.Schema, os);
    *os << ", table ";
    PrintTo(v.Table, os);
    *os << '}';
}

inline void PrintTo(const DetailItem& v, std::ostream* os)
{
    *os << "{owner ";
    PrintTo(v.Owner, os);
    *os << ", detail ";
    PrintTo(v.Detail, os);
    *os << '}';
}

inline void PrintTo(const IndexNodeTexts& v, std::ostream* os)
{
    PrintTo(v.Name, os);
    *os << ": ";
    PrintTo(v.Columns, os);
}
