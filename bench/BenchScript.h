// The scripts of the benches: lines of eight kinds of statement lines, with comments and Chinese
// text, and one statement on a single line.
#pragma once

#include <QByteArray>
#include <QString>

inline QString BenchScriptLine(int i)
{
    static const char* const templates[] = {
        "select o.order_id, o.customer_id, sum(l.amount) as total from orders o",
        "  join order_lines l on l.order_id = o.order_id -- 订单明细 %1",
        "where o.created >= '2020-01-01' and o.status in ('A', 'B') and o.id > %1",
        "group by o.order_id, o.customer_id having count(*) > 1 order by total desc;",
        "insert into audit_log (id, note, created) values (%1, '客户资料更新', getdate());",
        "update customers set name = upper(name), updated = getdate() where id = %1;",
        "declare @n int set @n = %1 while @n > 0 begin set @n = @n - 1 end",
        "",
    };
    return QString::fromUtf8(templates[i % 8]).replace(QLatin1String("%1"), QString::number(i));
}

// The first lines of those lines, each followed by end.
inline QString BenchScript(int lines, QLatin1StringView end)
{
    QString text;
    text.reserve(qsizetype(lines) * 56);
    for (int i = 0; i < lines; ++i) {
        text += BenchScriptLine(i);
        text += end;
    }
    return text;
}

// One insert statement of at least bytes bytes, on a single line.
inline QByteArray BenchOneLine(qsizetype bytes)
{
    QByteArray text = "insert into t (a, b) values ";
    for (int i = 0; text.size() < bytes; ++i) text += "(" + QByteArray::number(i) + ", 'value " + QByteArray::number(i) + "'), ";
    text += "(0, 'end');";
    return text;
}
