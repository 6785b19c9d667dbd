#include "ResultGrid.h"

#include "ResultGridGeometry.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QTimer>
#include <QWheelEvent>

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

// Draws the fixed column over the left of the header and the cells while the grid is scrolled
// sideways, and hands its mouse presses to the grid's handlers as presses in that column.
class ResultGrid::FixedColumn : public QWidget {
public:
    explicit FixedColumn(ResultGrid& grid) : QWidget(&grid), grid_(grid) { hide(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        grid_.PaintFixedColumn(painter);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        grid_.setFocus(Qt::MouseFocusReason);
        const QPoint at = mapTo(&grid_, event->position().toPoint());
        // The row the press makes current is in view already: the columns in view stay.
        const int columns = grid_.horizontalScrollBar()->value();
        if (grid_.OnMouseDown) grid_.OnMouseDown(event->button(), event->modifiers(), at.x(), at.y());
        grid_.horizontalScrollBar()->setValue(columns);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && grid_.OnDblClick) grid_.OnDblClick();
    }
    void wheelEvent(QWheelEvent* event) override { QCoreApplication::sendEvent(grid_.viewport(), event); }

private:
    ResultGrid& grid_;
};

ResultGrid::ResultGrid(QWidget* parent) : QTableView(parent), fixedColumn_(new FixedColumn(*this))
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
    // Sideways by whole columns, so that a column in view starts right after the fixed one.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
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
    // A header keeps a record per row: millions of rows come to it in slices, one per turn of the
    // event loop, so that the window answers all along.
    model_->LimitShownRows(RowSlice);
    setModel(model_);
    delete oldSelection;
    delete oldModel;
    // Only the grid lines between data cells go; the header keeps its frame.
    setShowGrid(!emptyResult);
    // The first cell after the fixed ones is the current one, as in a new grid, shown from its top left.
    MakeCurrent(std::min(fixedCols_, ColCount() - 1), 1);
    ShowMoreRowsLater();
}

void ResultGrid::ShowMoreRowsLater()
{
    if (!model_ || model_->AllRowsShown()) return;
    QTimer::singleShot(0, this, [this, model = QPointer<ResultGridModel>(model_)] {
        if (!model || model != model_) return;
        model_->ShowMoreRows(RowSlice);
        ShowMoreRowsLater();
    });
}

void ResultGrid::ShowAllRows()
{
    if (model_) model_->ShowMoreRows(model_->GridRowCount());
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
    ShowAllRows();
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
    ShowAllRows();
    if (!model_ || model_->rowCount() == 0) return;
    const int lastRow = model_->rowCount(), lastCol = ColCount() - 1;
    Select(model_->index(std::clamp(s.Top, 1, lastRow) - 1, std::clamp(s.Left, 0, lastCol)),
           model_->index(std::clamp(s.Bottom, 1, lastRow) - 1, std::clamp(s.Right, 0, lastCol)));
}

QPoint ResultGrid::FromViewport(const QPoint& p) const { return viewport()->mapTo(this, p); }

QPoint ResultGrid::FromHeader(const QPoint& p) const { return horizontalHeader()->viewport()->mapTo(this, p); }

int ResultGrid::LeftCol() const
{
    const int value = horizontalScrollBar()->value();
    return HasFixedColumn() ? fixedCols_ + value : value;
}

void ResultGrid::GridCellAtPoint(int x, int y, int& row, int& col) const
{
    row = col = -1;
    // From the top left of the cells: the names' row is the header, the cells' left is the viewport's.
    const int cx = x - viewport()->x();
    const int cy = y - horizontalHeader()->y();
    if (cx <= 0 || cy <= 0) return;
    const int cols = ColCount();
    int s = 0;
    for (int c = 0; c < std::min(fixedCols_, cols) && col < 0; ++c) {
        s += columnWidth(c);
        if (cx <= s) col = c;
    }
    for (int c = std::max(LeftCol(), fixedCols_); c < cols && col < 0 && s < cx; ++c) {
        s += columnWidth(c);
        if (cx <= s) col = c;
    }
    s = horizontalHeader()->height();
    if (cy <= s) {
        row = 0;
        return;
    }
    const int rows = model_ ? model_->rowCount() : 0;
    for (int r = std::max(rowAt(0), 0); r < rows && s < cy; ++r) {
        s += rowHeight(r);
        if (cy <= s) row = r + 1;
    }
}

int ResultGrid::ScrollOffsetFor(int leftCol) const
{
    const QHeaderView* header = horizontalHeader();
    if (leftCol <= 0 || leftCol >= header->count()) return 0;
    return HasFixedColumn() ? header->sectionPosition(leftCol) - header->sectionPosition(fixedCols_)
                            : header->sectionPosition(leftCol);
}

void ResultGrid::KeepFixedColumn()
{
    if (!HasFixedColumn()) {
        fixedColumn_->hide();
        return;
    }
    QHeaderView* header = horizontalHeader();
    const int offset = ScrollOffsetFor(LeftCol());
    if (header->offset() != offset) {
        header->setOffset(offset);
        viewport()->update();
    }
    const bool scrolled = LeftCol() > fixedCols_;
    if (!scrolled) {
        fixedColumn_->hide();
        return;
    }
    const int width = header->sectionPosition(fixedCols_ - 1) + header->sectionSize(fixedCols_ - 1);
    const int top = header->isVisible() ? header->y() : viewport()->y();
    fixedColumn_->setGeometry(viewport()->x(), top, std::min(width, viewport()->width()),
                              viewport()->y() + viewport()->height() - top);
    fixedColumn_->raise();
    fixedColumn_->show();
    fixedColumn_->update();
}

void ResultGrid::PaintFixedColumn(QPainter& painter) const
{
    const QHeaderView* header = horizontalHeader();
    const int cellsTop = viewport()->y() - fixedColumn_->y();
    painter.fillRect(QRect(0, cellsTop, fixedColumn_->width(), viewport()->height()), viewport()->palette().base());
    for (int c = 0; c < fixedCols_; ++c) {
        QStyleOptionHeader option;
        option.initFrom(header);
        option.rect = QRect(header->sectionPosition(c), 0, header->sectionSize(c), cellsTop);
        option.section = c;
        option.orientation = Qt::Horizontal;
        option.position = QStyleOptionHeader::Beginning;
        option.textAlignment = header->defaultAlignment();
        option.text = model_->headerData(c, Qt::Horizontal).toString();
        style()->drawControl(QStyle::CE_Header, &option, &painter, header);
    }
    const int rows = model_ ? model_->rowCount() : 0;
    const int first = rowAt(0);
    if (first < 0) return;
    int last = rowAt(viewport()->height() - 1);
    if (last < 0) last = rows - 1;
    painter.setClipRect(QRect(0, cellsTop, fixedColumn_->width(), viewport()->height()));
    QStyleOptionViewItem base;
    initViewItemOption(&base);
    const int line = showGrid() ? 1 : 0;
    for (int r = first; r <= last; ++r) {
        for (int c = 0; c < fixedCols_; ++c) {
            const QModelIndex index = model_->index(r, c);
            QStyleOptionViewItem option = base;
            option.rect = QRect(header->sectionPosition(c), cellsTop + rowViewportPosition(r), columnWidth(c) - line,
                                rowHeight(r) - line);
            if (selectionModel()->isSelected(index)) option.state |= QStyle::State_Selected;
            if (option.state & QStyle::State_Enabled)
                option.palette.setCurrentColorGroup((option.state & QStyle::State_Active) ? QPalette::Normal : QPalette::Inactive);
            style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &painter, this);
            itemDelegateForIndex(index)->paint(&painter, option, index);
        }
    }
    if (!line) return;
    const QColor gridColor = QColor::fromRgba(static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &base, this)));
    painter.setPen(QPen(gridColor, 0, gridStyle()));
    for (int r = first; r <= last; ++r) {
        const int y = cellsTop + rowViewportPosition(r) + rowHeight(r) - 1;
        painter.drawLine(0, y, fixedColumn_->width() - 1, y);
    }
    for (int c = 0; c < fixedCols_; ++c) {
        const int x = header->sectionPosition(c) + columnWidth(c) - 1;
        painter.drawLine(x, cellsTop, x, cellsTop + viewport()->height() - 1);
    }
}

void ResultGrid::scrollContentsBy(int dx, int dy)
{
    if (!HasFixedColumn() || dx == 0) {
        QTableView::scrollContentsBy(dx, dy);
        if (dy && fixedColumn_->isVisible()) fixedColumn_->update();
        return;
    }
    // Sideways the header's offset is the fixed column's own.
    QTableView::scrollContentsBy(0, dy);
    KeepFixedColumn();
}

void ResultGrid::updateGeometries()
{
    // The view first sets a range of its own, which may clamp the place the wider range below keeps.
    const int sideways = horizontalScrollBar()->value();
    QTableView::updateGeometries();
    if (HasFixedColumn()) {
        // The last column in view at the right end: the columns from there on fit beside the fixed one.
        const QHeaderView* header = horizontalHeader();
        const int room = viewport()->width() - header->sectionPosition(fixedCols_);
        int left = ColCount() - 1;
        int used = columnWidth(left);
        while (left - 1 >= fixedCols_ && used + columnWidth(left - 1) <= room) used += columnWidth(--left);
        horizontalScrollBar()->setRange(0, std::max(0, left - fixedCols_));
        horizontalScrollBar()->setValue(sideways);
    }
    KeepFixedColumn();
}

void ResultGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const int leftBefore = LeftCol();
    QTableView::scrollTo(index, hint);
    if (!HasFixedColumn() || !index.isValid() || index.column() < fixedCols_) return;
    // Sideways: the column comes into view beside the fixed one.
    const int c = index.column();
    const int room = viewport()->width() - horizontalHeader()->sectionPosition(fixedCols_);
    int left = leftBefore;
    if (c < left) {
        left = c;
    } else {
        int used = 0;
        for (int i = c; i >= left; --i) {
            used += columnWidth(i);
            if (used > room) {
                left = std::min(i + 1, c);
                break;
            }
        }
    }
    horizontalScrollBar()->setValue(left - fixedCols_);
    KeepFixedColumn();
}

void ResultGrid::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QTableView::selectionChanged(selected, deselected);
    if (fixedColumn_->isVisible()) fixedColumn_->update();
}

void ResultGrid::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    QTableView::dataChanged(topLeft, bottomRight, roles);
    if (fixedColumn_->isVisible()) fixedColumn_->update();
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
        const QEvent::Type type = event->type();
        const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                           type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
        // The border at the fixed column's edge belongs to a column scrolled out of view: it is no border to drag.
        const bool atFixedEdge = mouse && fixedColumn_->isVisible() &&
                                 static_cast<QMouseEvent*>(event)->position().x() <
                                     fixedColumn_->width() + style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
        if (type == QEvent::MouseButtonPress) {
            auto* press = static_cast<QMouseEvent*>(event);
            setFocus(Qt::MouseFocusReason);
            const QPoint at = FromHeader(press->position().toPoint());
            // The header's own handling (dragging a column border) follows.
            if (OnMouseDown) OnMouseDown(press->button(), press->modifiers(), at.x(), at.y());
        } else if (type == QEvent::MouseButtonDblClick) {
            if (OnDblClick) OnDblClick();
        }
        if (atFixedEdge) return true;
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
    // Keys move over every row.
    ShowAllRows();
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
    // A drag into the row numbers stops at the first data column in view.
    const int left = columnViewportPosition(LeftCol());
    QRect r = rect.normalized();
    if (r.left() < left) r.setLeft(left);
    if (r.right() < left) r.setRight(left);
    QTableView::setSelection(r, command);
}
