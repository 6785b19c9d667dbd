#include "DefaultWindowSize.h"

namespace {

struct SizeRow {
    QSize Screen;
    QSize Window;
};

const SizeRow Rows[] = {
    {{1024, 768}, {562, 446}},  {{800, 600}, {404, 328}},   {{640, 480}, {266, 230}},
    {{1152, 864}, {646, 498}},  {{1280, 768}, {818, 446}},  {{1280, 1024}, {730, 614}},
};

} // namespace

std::optional<QSize> DefaultFirstWindowSize(const QSize& screen)
{
    for (const SizeRow& row : Rows)
        if (row.Screen == screen) return row.Window;
    return std::nullopt;
}
