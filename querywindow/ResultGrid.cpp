#include "ResultGrid.h"

#include "ResultGridGeometry.h"

#include <QFocusEvent>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

constexpr Qt::KeyboardModifiers ShiftCtrlAlt = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool CtrlOnly(Qt::KeyboardModifiers m) { return (m & ShiftCtrlAlt) == Qt::ControlModifier; }

// Focus that comes and goes with the whole window or a pop-up is no move between controls.
bool MovesBetweenControls(const QFocusEvent* event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

} // namespace

ResultGrid::ResultGrid(QWidget* parent) : QTableView(parent)
{
    // A CJK face that fontconfig has, at 12 pixels; the grid does not take its parent's font.
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::PreferDefault);
    setFont(font);

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One rectangle at a time, extended with Shift or by dragging.
    setSelectionMode(QAbstractItemView::ContiguousSelection);
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
    // A header press sorts (the window's handler) and never selects a column.
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->viewport()->installEventFilter(this);
}

void ResultGrid::SetRows(std::unique_ptr<ResultRowStore> rows, int columnCount, bool emptyResult,
                         std::string textQualifier)
{
    auto* oldModel = model_;
    auto* oldSelection = selectionModel();
    model_ = new ResultGridModel(std::move(rows), columnCount, emptyResult, this);
    model_->SetTextQualifier(std::move(textQualifier));
    fixedCols_ = emptyResult ? 0 : 1;
    model_->SetFixedColumnShaded(fixedCols_ == 1);
    setModel(model_);
    delete oldSelection;
    delete oldModel;
    // Only the grid lines between data cells go; the header keeps its frame.
    setShowGrid(!emptyResult);
    // The first cell after the fixed ones is the current one, as in a new grid, shown from its top left.
    MakeCurrent(std::min(fixedCols_, ColCount() - 1), 1);
}

int ResultGrid::Col() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : fixedCols_;
}

int ResultGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

void ResultGrid::Select(const QModelIndex& from, const QModelIndex& to)
{
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (RowSelect()) flags |= QItemSelectionModel::Rows;
    selectionModel()->select(QItemSelection(from, to), flags);
}

QModelIndex ResultGrid::MakeCurrent(int col, int row)
{
    if (!model_ || model_->rowCount() == 0) return {};
    const QModelIndex cell = model_->index(std::clamp(row, 1, model_->rowCount()) - 1, std::clamp(col, 0, ColCount() - 1));
    // Also the anchor that Shift+click and Shift+arrow keys extend from.
    setCurrentIndex(cell);
    Select(cell, cell);
    return cell;
}

void ResultGrid::SetCurrentCell(int col, int row)
{
    const QModelIndex cell = MakeCurrent(col, row);
    if (cell.isValid()) scrollTo(cell);
}

void ResultGrid::SetRowSelect(bool on)
{
    if (on == RowSelect()) return;
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    // The selection shrinks to the current cell, or grows to its row.
    if (model_ && currentIndex().isValid()) Select(currentIndex(), currentIndex());
}

GridRect ResultGrid::Selection() const
{
    GridRect s{Col(), Row(), Col(), Row()};
    const QItemSelection ranges = selectionModel() ? selectionModel()->selection() : QItemSelection();
    if (!ranges.isEmpty()) {
        s = {ranges.first().left(), ranges.first().top() + 1, ranges.first().right(), ranges.first().bottom() + 1};
        for (const QItemSelectionRange& r : ranges) {
            s.Left = std::min(s.Left, r.left());
            s.Top = std::min(s.Top, r.top() + 1);
            s.Right = std::max(s.Right, r.right());
            s.Bottom = std::max(s.Bottom, r.bottom() + 1);
        }
    }
    if (RowSelect()) {
        s.Left = std::min(fixedCols_, ColCount() - 1);
        s.Right = ColCount() - 1;
    }
    return s;
}

void ResultGrid::SetSelection(const GridRect& s)
{
    if (!model_ || model_->rowCount() == 0) return;
    const int lastRow = model_->rowCount(), lastCol = ColCount() - 1;
    Select(model_->index(std::clamp(s.Top, 1, lastRow) - 1, std::clamp(s.Left, 0, lastCol)),
           model_->index(std::clamp(s.Bottom, 1, lastRow) - 1, std::clamp(s.Right, 0, lastCol)));
}

QPoint ResultGrid::FromViewport(const QPoint& p) const { return viewport()->mapTo(this, p); }

QPoint ResultGrid::FromHeader(const QPoint& p) const { return horizontalHeader()->viewport()->mapTo(this, p); }

void ResultGrid::GridCellAtPoint(int x, int y, int& row, int& col) const
{
    row = col = -1;
    if (x <= 0 || y <= 0) return;
    const QPoint p(x, y);
    const QHeaderView* header = horizontalHeader();
    const QRect headerArea(header->viewport()->mapTo(this, QPoint(0, 0)), header->viewport()->size());
    const QRect cellArea(viewport()->mapTo(this, QPoint(0, 0)), viewport()->size());
    if (headerArea.contains(p)) {
        row = 0;
        col = header->logicalIndexAt(p.x() - headerArea.left());
        return;
    }
    if (!cellArea.contains(p)) return;
    const QPoint v = p - cellArea.topLeft();
    const int r = rowAt(v.y());
    const int c = columnAt(v.x());
    if (r < 0 || c < 0) return;
    row = r + 1;
    col = c;
}

bool ResultGrid::event(QEvent* event)
{
    // Ctrl+C and Ctrl+A reach the grid's key handling whatever shortcuts the program has.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (CtrlOnly(key->modifiers()) && (key->key() == Qt::Key_C || key->key() == Qt::Key_A)) {
            event->accept();
            return true;
        }
    }
    return QTableView::event(event);
}

bool ResultGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            setFocus(Qt::MouseFocusReason);
            const QPoint at = FromHeader(mouse->position().toPoint());
            // The header's own handling (dragging a column border) follows.
            if (OnMouseDown) OnMouseDown(mouse->button(), mouse->modifiers(), at.x(), at.y());
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            if (OnDblClick) OnDblClick();
        }
    }
    return QTableView::eventFilter(watched, event);
}

void ResultGrid::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    if (MovesBetweenControls(event) && OnEnter) OnEnter();
}

void ResultGrid::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    if (MovesBetweenControls(event) && OnExit) OnExit();
}

void ResultGrid::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    if (OnKeyDown) OnKeyDown(key, event->modifiers());
    // The window did the copy and the select-all; the table's own would copy one cell and select
    // the row numbers too.
    if (key == 0 || event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll) ||
        (CtrlOnly(event->modifiers()) && (key == Qt::Key_C || key == Qt::Key_A))) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const QModelIndex cell = indexAt(at);
    // Only the left button selects, and never a fixed cell.
    pressLeftAlone_ = event->button() != Qt::LeftButton || (cell.isValid() && cell.column() < fixedCols_);
    if (pressLeftAlone_)
        setFocus(Qt::MouseFocusReason);
    else
        QTableView::mousePressEvent(event);
    const QPoint p = FromViewport(at);
    if (OnMouseDown) OnMouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void ResultGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (pressLeftAlone_) return;
    QTableView::mouseMoveEvent(event);
}

void ResultGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (pressLeftAlone_) {
        pressLeftAlone_ = false;
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void ResultGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && OnDblClick) OnDblClick();
    event->accept();
}

QModelIndex ResultGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    QModelIndex to = QTableView::moveCursor(cursorAction, modifiers);
    // The cursor never enters a fixed column.
    if (to.isValid() && HasFixedColumn() && to.column() < fixedCols_) to = model_->index(to.row(), fixedCols_);
    return to;
}

void ResultGrid::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    if (!HasFixedColumn() || RowSelect()) {
        QTableView::setSelection(rect, command);
        return;
    }
    // A drag into the row numbers stops at the first data column.
    const int left = columnViewportPosition(fixedCols_);
    QRect r = rect.normalized();
    if (r.left() < left) r.setLeft(left);
    if (r.right() < left) r.setRight(left);
    QTableView::setSelection(r, command);
}
