#include "IdentifierQuoting.h"

namespace {

enum class QuoteStyle { BackQuotes, Unquoted, Brackets, DoubleQuotes };

QuoteStyle ObjectStyle(OptionalDbmsKind kind, ObjectNameForm form)
{
    if (IsDbmsKindOneOf(kind, {DbmsKind::MySql, DbmsKind::FoxPro, DbmsKind::Paradox})) return QuoteStyle::BackQuotes;
    if (IsDbmsKindOneOf(kind, {DbmsKind::Sybase, DbmsKind::Informix, DbmsKind::Other})) return QuoteStyle::Unquoted;
    if (IsDbmsKindOneOf(kind, {DbmsKind::Excel, DbmsKind::Text}) && form == ObjectNameForm::Bracket) return QuoteStyle::Brackets;
    return QuoteStyle::DoubleQuotes;
}

} // namespace

bool IsDbmsKindOneOf(OptionalDbmsKind kind, std::initializer_list<TDbmsKind> kinds)
{
    if (!kind) return false;
    for (TDbmsKind k : kinds)
        if (*kind == k) return true;
    return false;
}

QString Delimited(const QString& text, QChar open, QChar close)
{
    QString inner = text;
    inner.replace(close, QString(2, close));
    return open + inner + close;
}

QString QuoteObjectName(const QString& objectText, OptionalDbmsKind kind, ObjectNameForm form)
{
    switch (ObjectStyle(kind, form)) {
    case QuoteStyle::BackQuotes:
        return Delimited(objectText, u'`', u'`');
    case QuoteStyle::Unquoted:
        return objectText;
    case QuoteStyle::Brackets:
        return Delimited(objectText, u'[', u']');
    case QuoteStyle::DoubleQuotes:
        break;
    }
    const qsizetype p = objectText.indexOf(u'.');
    if (p < 0) return Delimited(objectText, u'"', u'"');
    return Delimited(objectText.left(p), u'"', u'"') + u'.' + Delimited(objectText.mid(p + 1), u'"', u'"');
}

QString QuoteColumnName(const QString& columnName, OptionalDbmsKind kind)
{
    if (IsDbmsKindOneOf(kind, {DbmsKind::MySql, DbmsKind::FoxPro, DbmsKind::Paradox})) return Delimited(columnName, u'`', u'`');
    if (IsDbmsKindOneOf(kind, {DbmsKind::Sybase, DbmsKind::Informix, DbmsKind::Other})) return columnName;
    return Delimited(columnName, u'"', u'"');
}
