#include "SqlGeneration.h"

#include "CatalogItem.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString Literal(const QString& text) { return Delimited(text, u'\'', u'\''); }

QString Tail(const QString& separator) { return QStringLiteral("  ") + CrLf + separator + CrLf; }

QString QuotedObject(const BrowserSqlNode& node)
{
    return QuoteObjectName(node.ObjectText, node.DbmsKind, ObjectNameForm::Bracket);
}

QString FromClause(const BrowserSqlNode& node) { return QStringLiteral("FROM  ") + QuotedObject(node); }

QString QuotedColumn(const QString& columnNodeText, OptionalDbmsKind kind)
{
    return QuoteColumnName(ColumnNameOfNode(columnNodeText), kind);
}

QString ColumnList(const BrowserSqlNode& node)
{
    if (node.ObjectColumnTexts.isEmpty()) return QStringLiteral("*");
    QStringList quoted;
    for (const QString& text : node.ObjectColumnTexts) quoted.append(QuotedColumn(text, node.DbmsKind));
    return quoted.join(QStringLiteral(", "));
}

QString SelectedColumns(const BrowserSqlNode& node)
{
    return node.Kind == BrowserNodeKind::Column ? QuotedColumn(node.ColumnText, node.DbmsKind) : ColumnList(node);
}

QString AllRows(const BrowserSqlNode& node)
{
    const QString select = node.Kind == BrowserNodeKind::Column ? QStringLiteral("SELECT  ") : QStringLiteral("SELECT    ");
    return select + SelectedColumns(node) + CrLf + FromClause(node);
}

QString First100Rows(const BrowserSqlNode& node)
{
    QString prefix, suffix;
    const OptionalDbmsKind kind = node.DbmsKind;
    if (IsDbmsKindOneOf(kind, {DbmsKind::Informix})) {
        prefix = QStringLiteral("FIRST 100    ");
    } else if (IsDbmsKindOneOf(kind, {DbmsKind::MicrosoftSqlServer, DbmsKind::Sybase, DbmsKind::Access, DbmsKind::Paradox,
                             DbmsKind::Excel, DbmsKind::Text})) {
        prefix = QStringLiteral("TOP 100    ");
    } else if (IsDbmsKindOneOf(kind, {DbmsKind::FoxPro})) {
        prefix = QStringLiteral("TOP 100    ");
        suffix = CrLf + QStringLiteral("ORDER BY 1");
    } else if (IsDbmsKindOneOf(kind, {DbmsKind::Oracle})) {
        suffix = CrLf + QStringLiteral("WHERE  ROWNUM<=100 ");
    } else if (IsDbmsKindOneOf(kind, {DbmsKind::DB2})) {
        suffix = CrLf + QStringLiteral("FETCH FIRST 100 ROWS ONLY ");
    } else if (IsDbmsKindOneOf(kind, {DbmsKind::MySql})) {
        suffix = CrLf + QStringLiteral("LIMIT 100");
    }
    return QStringLiteral("SELECT  ") + prefix + SelectedColumns(node) + CrLf + FromClause(node) + suffix;
}

QString RowCount(const BrowserSqlNode& node)
{
    const bool twoBlanks = IsDbmsKindOneOf(node.DbmsKind, {DbmsKind::Sybase, DbmsKind::Informix, DbmsKind::MySql, DbmsKind::FoxPro,
                                                  DbmsKind::Paradox, DbmsKind::Excel, DbmsKind::Text, DbmsKind::Other});
    const QString from = twoBlanks ? FromClause(node) : QStringLiteral("FROM ") + QuotedObject(node);
    return QStringLiteral("SELECT    count(*)") + CrLf + from;
}

QString ProcedureSource(const BrowserSqlNode& node)
{
    const QString& t = node.ObjectText;
    const SchemaAndName sn = SplitAtFirstDot(t);
    const OptionalDbmsKind kind = node.DbmsKind;
    if (IsDbmsKindOneOf(kind, {DbmsKind::Sybase})) {
        return QStringLiteral("SELECT  text  ") + CrLf + QStringLiteral("FROM  syscomments") + CrLf +
               QStringLiteral("WHERE  id=OBJECT_ID(") + Literal(t) + QStringLiteral(")") + CrLf +
               QStringLiteral("ORDER  BY  number,colid2,colid");
    }
    if (IsDbmsKindOneOf(kind, {DbmsKind::MicrosoftSqlServer})) {
        // The driver reports a procedure as "name;number"; the source is asked for by name.
        const qsizetype semicolon = t.indexOf(u';');
        const QString u = semicolon < 0 ? t : t.left(semicolon);
        return QStringLiteral("sp_helptext  ") + Delimited(u, u'"', u'"');
    }
    if (IsDbmsKindOneOf(kind, {DbmsKind::DB2})) {
        QString text = QStringLiteral("SELECT  TEXT  ") + CrLf + QStringLiteral("FROM  SYSIBM.SYSPROCEDURES") + CrLf +
                       QStringLiteral("WHERE  PROCNAME=") + Literal(sn.Name);
        if (!sn.Schema.isEmpty()) text += QStringLiteral("  AND  PROCSCHEMA=") + Literal(sn.Schema);
        return text;
    }
    if (IsDbmsKindOneOf(kind, {DbmsKind::Oracle})) {
        const QString where = sn.Schema.isEmpty()
                                  ? QStringLiteral("WHERE  name=") + Literal(sn.Name)
                                  : QStringLiteral("WHERE  OWNER=") + Literal(sn.Schema) + QStringLiteral("  AND  name=") +
                                        Literal(sn.Name);
        return QStringLiteral("SELECT  TEXT  ") + CrLf + QStringLiteral("FROM  ALL_SOURCE") + CrLf + where;
    }
    if (IsDbmsKindOneOf(kind, {DbmsKind::MySql})) {
        return QStringLiteral("SELECT  `body`") + CrLf + QStringLiteral("FROM  `proc`") + CrLf +
               QStringLiteral("WHERE  `name`=") + Literal(sn.Name);
    }
    return QString();
}

} // namespace

int ObjectNodeDistance(SqlGenerationCommand command, BrowserNodeKind node)
{
    if (command == SqlGenerationCommand::ProcedureSource) {
        if (node == BrowserNodeKind::Procedure) return 0;
        if (node == BrowserNodeKind::Parameter) return 2;
        return -1;
    }
    if (node == BrowserNodeKind::TableObject) return 0;
    if (node == BrowserNodeKind::Column) return 2;
    return -1;
}

GeneratedSql GenerateBrowserSql(SqlGenerationCommand command, const BrowserSqlNode& node, const QString& separator)
{
    if (ObjectNodeDistance(command, node.Kind) < 0) return {};
    QString body;
    GeneratedDisplay display = GeneratedDisplay::Grid;
    switch (command) {
    case SqlGenerationCommand::AllRows:
        body = AllRows(node);
        break;
    case SqlGenerationCommand::First100Rows:
        body = First100Rows(node);
        break;
    case SqlGenerationCommand::RowCount:
        body = RowCount(node);
        break;
    case SqlGenerationCommand::ProcedureSource:
        body = ProcedureSource(node);
        display = GeneratedDisplay::Text;
        break;
    }
    if (body.isEmpty()) return {};
    return {body + Tail(separator), display};
}
