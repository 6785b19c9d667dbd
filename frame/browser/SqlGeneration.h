// The statements that the object browser writes into the active query window for a node: all
// rows, the first 100 rows, the row count, and the query for a procedure's source. Each text is a
// pure function of the command, the node and its connection's DBMS kind; lines end in CR LF, and
// the statement separator stands alone on the last line.
#pragma once

#include "BrowserNodeKind.h"
#include "IdentifierQuoting.h"

#include <QString>
#include <QStringList>

enum class SqlGenerationCommand { AllRows, First100Rows, RowCount, ProcedureSource };

// The selected node as the generators see it.
struct BrowserSqlNode {
    BrowserNodeKind Kind = BrowserNodeKind::Unknown;
    // The text of the node that names the object: the table or procedure node itself, or the
    // grandparent of a column or parameter node.
    QString ObjectText;
    // A table object: the texts of the children of its first child (its "列" node), in tree order;
    // empty when it has no children yet or the first child has none.
    QStringList ObjectColumnTexts;
    // A column node: its own text.
    QString ColumnText;
    // The DBMS kind of the node's connection record; none when no record was found.
    OptionalDbmsKind DbmsKind;
};

// What the query window shows after the text has been appended.
enum class GeneratedDisplay {
    Unchanged,  // nothing was generated
    Grid,       // after a SELECT; the editor scrolls the caret into view first
    Text,       // after a procedure's source query
};

struct GeneratedSql {
    QString Text;  // empty: nothing is appended
    GeneratedDisplay Display = GeneratedDisplay::Unchanged;
};

// separator: the query window's statement separator (";" or "$$").
GeneratedSql GenerateBrowserSql(SqlGenerationCommand command, const BrowserSqlNode& node, const QString& separator);

// The node that names the object of a command: for the three SELECTs a table object, or a
// column's grandparent; for the procedure source a procedure, or a parameter's grandparent.
// 0 for the node itself, 2 for its grandparent, -1 when the command does not apply to the node.
int ObjectNodeDistance(SqlGenerationCommand command, BrowserNodeKind node);
