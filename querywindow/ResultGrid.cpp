#include "ResultGrid.h"

#include "ResultGridGeometry.h"

#include <QFont>
#include <QHeaderView>

ResultGrid::ResultGrid(QWidget* parent) : QTableView(parent)
{
    // A CJK face that fontconfig has, at 12 pixels; the grid does not take its parent's font.
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::PreferDefault);
    setFont(font);

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(ResultGridGeometry::DefaultRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ResultGrid::SetRows(std::unique_ptr<ResultRowStore> rows, int columnCount, bool emptyResult)
{
    auto* oldModel = model_;
    auto* oldSelection = selectionModel();
    model_ = new ResultGridModel(std::move(rows), columnCount, emptyResult, this);
    fixedCols_ = emptyResult ? 0 : 1;
    model_->SetFixedColumnShaded(fixedCols_ == 1);
    setModel(model_);
    delete oldSelection;
    delete oldModel;
    // Only the grid lines between data cells go; the header keeps its frame.
    setShowGrid(!emptyResult);
}
