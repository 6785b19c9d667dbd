#include "TQryResult_Tesk.h"

TQryResult_Tesk::TQryResult_Tesk(std::int32_t columnCount)
    : ColCount(columnCount + 1), Columns(static_cast<std::size_t>(columnCount + 1))
{
    for (auto& c : Columns) c.Numeric = 1;
    Columns[0].Name = QStringLiteral("serialno");
}
