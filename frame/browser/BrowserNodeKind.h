// What a node of the object browser tree is, told by its level and the caption of its parent.
#pragma once

#include <QString>
#include <QStringList>

namespace BrowserCaption {
inline const QString SystemTables = QStringLiteral("系统表");
inline const QString Tables = QStringLiteral("用户表");
inline const QString Views = QStringLiteral("视图");
inline const QString Aliases = QStringLiteral("别名");
inline const QString TemporaryTables = QStringLiteral("临时表");
inline const QString Procedures = QStringLiteral("存贮过程/函数");

inline const QString Columns = QStringLiteral("列");
inline const QString Indexes = QStringLiteral("索引");
inline const QString Parameters = QStringLiteral("参数");
} // namespace BrowserCaption

// The six category captions in the order they stand under a connection.
QStringList BrowserCategoryCaptions();
// True for the five categories whose objects are tables or views (all but the procedures).
bool IsTableCategoryCaption(const QString& caption);

enum class BrowserNodeKind {
    Connection,   // level 0
    Category,     // level 1
    TableObject,  // level 2 under a table category
    Procedure,    // level 2 under "存贮过程/函数"
    DetailGroup,  // level 3: "列", "索引" or "参数"
    Column,       // level 4 under "列"
    Index,        // level 4 under "索引"
    Parameter,    // level 4 under "参数"
    IndexColumn,  // level 5
    Unknown,      // a level or parent caption the tree never produces
};

// level: 0 for a connection root; parentCaption: the text of the node's parent (unused at levels
// 0, 1, 3 and 5, whose kind follows from the level alone).
BrowserNodeKind BrowserNodeKindOf(int level, const QString& parentCaption);
