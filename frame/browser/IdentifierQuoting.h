// Names of the object browser quoted for the DBMS kind of their connection. A quote character
// inside a quoted name is doubled ("" inside double quotes, `` inside back quotes, ]] inside
// square brackets), so the quoted text always names the object it came from.
#pragma once

#include "TDbmsKind.h"

#include <QString>

#include <initializer_list>
#include <optional>

// None when the node's connection record was not found; every kind rule then takes its default,
// as it does for a kind value it does not list.
using OptionalDbmsKind = std::optional<TDbmsKind>;

// True when kind is present and one of kinds.
bool IsDbmsKindOneOf(OptionalDbmsKind kind, std::initializer_list<TDbmsKind> kinds);

// Copy and the FROM clauses of generated SQL use the bracket form; a drop into the editor uses
// the drop form, which differs only for kinds 10 and 11 (double quotes instead of brackets).
enum class ObjectNameForm { Bracket, Drop };

// The object text as the tree shows it ("schema.name" or "name"). Kinds 7, 8, 9: the whole text in
// back quotes; 4, 5, 20: unchanged; 10, 11 (bracket form): the whole text in square brackets;
// every other kind: the parts before and after the first "." each in double quotes.
QString QuoteObjectName(const QString& objectText, OptionalDbmsKind kind, ObjectNameForm form);

// Kinds 7, 8, 9: back quotes; 4, 5, 20: unchanged; every other kind: double quotes.
QString QuoteColumnName(const QString& columnName, OptionalDbmsKind kind);

// Text between open and close with every close character inside doubled.
QString Delimited(const QString& text, QChar open, QChar close);
