// A script of the benches: line i of eight kinds of statement lines, with comments and Chinese text.
#pragma once

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
