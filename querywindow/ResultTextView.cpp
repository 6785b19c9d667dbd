#include "ResultTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimer>

#include <algorithm>

namespace {

bool IsWordCharacter(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

} // namespace

ResultTextView::ResultTextView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    blink_ = new QTimer(this);
    connect(blink_, &QTimer::timeout, this, [this] {
        caretShown_ = !caretShown_;
        // Only the caret: lines of thousands of characters cost much to draw.
        viewport()->update(CaretRect());
    });
    UpdateScrollBars();
}

int ResultTextView::LineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int ResultTextView::VisibleLines() const { return std::max(1, (viewport()->height() - Margin) / LineHeight()); }

std::size_t ResultTextView::FirstVisibleLine() const { return static_cast<std::size_t>(verticalScrollBar()->value()); }

void ResultTextView::UpdateScrollBars()
{
    const auto lines = static_cast<qint64>(text_.LineCount());
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, static_cast<int>(std::clamp<qint64>(lines - VisibleLines(), 0, INT_MAX)));
    v->setPageStep(VisibleLines());
    v->setSingleStep(1);
    // Every character of the longest line at most as wide as the font's widest; grown further
    // when a wider line comes into view.
    const qint64 estimate = static_cast<qint64>(text_.LongestLine()) * fontMetrics().averageCharWidth();
    const qint64 width = std::max<qint64>(estimate, widest_) + 2 * Margin;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, static_cast<int>(std::clamp<qint64>(width - viewport()->width(), 0, INT_MAX)));
    h->setPageStep(viewport()->width());
    h->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
}

void ResultTextView::appendPlainText(const QString& text)
{
    pieces_.clear();
    const bool atEnd = verticalScrollBar()->value() >= verticalScrollBar()->maximum();
    text_.AppendLines(text.split(QLatin1Char('\n')));
    UpdateScrollBars();
    if (atEnd) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

void ResultTextView::AppendRows(std::shared_ptr<const ResultRowStore> rows)
{
    pieces_.clear();
    const bool atEnd = verticalScrollBar()->value() >= verticalScrollBar()->maximum();
    text_.AppendBlock(std::make_shared<const ResultTextBlock>(std::move(rows)));
    UpdateScrollBars();
    if (atEnd) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

void ResultTextView::setPlainText(const QString& text)
{
    clear();
    if (!text.isEmpty()) text_.AppendLines(text.split(QLatin1Char('\n')));
    UpdateScrollBars();
    viewport()->update();
}

void ResultTextView::clear()
{
    ++rewrites_;
    pieces_.clear();
    text_.Clear();
    anchor_ = caret_ = {};
    goalX_ = -1;
    widest_ = 0;
    UpdateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

int ResultTextView::SelectionStart() const { return static_cast<int>(text_.Offset(std::min(anchor_, caret_))); }
int ResultTextView::SelectionEnd() const { return static_cast<int>(text_.Offset(std::max(anchor_, caret_))); }
int ResultTextView::CaretPosition() const { return static_cast<int>(text_.Offset(caret_)); }

void ResultTextView::SetSelection(int anchor, int caret)
{
    anchor_ = text_.PositionAt(static_cast<std::size_t>(std::max(anchor, 0)));
    caret_ = text_.PositionAt(static_cast<std::size_t>(std::max(caret, 0)));
    goalX_ = -1;
    EnsureCaretVisible();
    viewport()->update();
}

void ResultTextView::SelectAll()
{
    anchor_ = {};
    caret_ = text_.End();
    viewport()->update();
}

void ResultTextView::Copy() const
{
    if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

void ResultTextView::Cut()
{
    if (!HasSelection()) return;
    Copy();
    ReplaceSelection(QString());
}

void ResultTextView::Paste()
{
    const QString clip = QApplication::clipboard()->text();
    if (!clip.isEmpty()) ReplaceSelection(QString(clip).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void ResultTextView::ReplaceSelection(const QString& text)
{
    ++rewrites_;
    pieces_.clear();
    caret_ = anchor_ = text_.Replace(anchor_, caret_, text);
    goalX_ = -1;
    UpdateScrollBars();
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
}

const std::vector<ResultTextView::Piece>& ResultTextView::Pieces(std::size_t line, const QString& text) const
{
    auto found = pieces_.find(line);
    if (found != pieces_.end()) return found->second;
    // Lines in view are few; a text that changed measures its lines again.
    if (pieces_.size() > 512) pieces_.clear();
    const QFontMetrics fm = fontMetrics();
    std::vector<Piece> pieces;
    qsizetype start = 0;
    int x = 0;
    while (start < text.size()) {
        qsizetype end = std::min(start + PieceLength, text.size());
        if (end < text.size() && text.at(end).isLowSurrogate()) ++end;
        pieces.push_back({start, x});
        x += fm.horizontalAdvance(text.mid(start, end - start));
        start = end;
    }
    pieces.push_back({text.size(), x});
    return pieces_.emplace(line, std::move(pieces)).first->second;
}

int ResultTextView::LineWidth(std::size_t line, const QString& text) const
{
    if (text.size() <= PieceLength) return fontMetrics().horizontalAdvance(text);
    return Pieces(line, text).back().X;
}

int ResultTextView::ColumnX(std::size_t line, std::size_t column) const
{
    const QString text = text_.Line(line);
    const auto at = std::min(static_cast<qsizetype>(column), text.size());
    if (text.size() <= PieceLength) return fontMetrics().horizontalAdvance(text.left(at));
    const std::vector<Piece>& pieces = Pieces(line, text);
    // The piece that holds the column: the last one starting at or before it.
    const auto piece = std::prev(std::upper_bound(pieces.begin(), pieces.end() - 1, at,
                                                  [](qsizetype c, const Piece& p) { return c < p.Start; }));
    return piece->X + fontMetrics().horizontalAdvance(text.mid(piece->Start, at - piece->Start));
}

std::size_t ResultTextView::ColumnAtX(std::size_t line, int x) const
{
    const QString s = text_.Line(line);
    const QFontMetrics fm = fontMetrics();
    qsizetype first = 0, last = s.size();
    int base = 0;
    if (s.size() > PieceLength) {
        // Within the piece under x only.
        const std::vector<Piece>& pieces = Pieces(line, s);
        auto piece = std::upper_bound(pieces.begin(), pieces.end() - 1, x, [](int v, const Piece& p) { return v < p.X; });
        if (piece != pieces.begin()) --piece;
        if (piece == pieces.end() - 1) return static_cast<std::size_t>(s.size());
        first = piece->Start;
        last = (piece + 1)->Start;
        base = piece->X;
    }
    auto advance = [&](qsizetype end) { return base + fm.horizontalAdvance(s.mid(first, end - first)); };
    // The column whose left edge lies nearest to x.
    qsizetype lo = first, hi = last;
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (advance(mid) <= x) lo = mid;
        else hi = mid - 1;
    }
    if (lo < last) {
        const int left = advance(lo), right = advance(lo + 1);
        if (x - left > right - x) ++lo;
    }
    if (lo > 0 && lo < s.size() && s.at(lo).isLowSurrogate()) --lo;
    return static_cast<std::size_t>(lo);
}

void ResultTextView::DrawLine(QPainter& painter, std::size_t line, const QString& text, int left, int baseline,
                              int from, int to) const
{
    if (text.size() <= PieceLength) {
        painter.drawText(left, baseline, text);
        return;
    }
    const std::vector<Piece>& pieces = Pieces(line, text);
    for (std::size_t k = 0; k + 1 < pieces.size(); ++k) {
        if (pieces[k + 1].X < from) continue;
        if (pieces[k].X > to) break;
        painter.drawText(left + pieces[k].X, baseline, text.mid(pieces[k].Start, pieces[k + 1].Start - pieces[k].Start));
    }
}

TextPosition ResultTextView::PositionAtPoint(const QPoint& point) const
{
    if (text_.IsEmpty()) return {};
    const qint64 row = static_cast<qint64>(FirstVisibleLine()) + std::max(0, point.y() - Margin) / LineHeight();
    const std::size_t line = static_cast<std::size_t>(std::min<qint64>(row, static_cast<qint64>(text_.LineCount()) - 1));
    return {line, ColumnAtX(line, point.x() + horizontalScrollBar()->value() - Margin)};
}

void ResultTextView::EnsureCaretVisible()
{
    QScrollBar* v = verticalScrollBar();
    const auto line = static_cast<qint64>(caret_.Line);
    if (line < v->value()) v->setValue(static_cast<int>(line));
    else if (line >= v->value() + VisibleLines()) v->setValue(static_cast<int>(line - VisibleLines() + 1));
    const int x = ColumnX(caret_.Line, caret_.Column);
    if (x + 2 * Margin > widest_) {
        widest_ = x + 2 * Margin;
        UpdateScrollBars();
    }
    QScrollBar* h = horizontalScrollBar();
    const int width = viewport()->width() - 2 * Margin;
    if (x < h->value()) h->setValue(x);
    else if (x > h->value() + width) h->setValue(x - width);
}

TextPosition ResultTextView::Step(TextPosition from, int direction) const
{
    const QString line = text_.Line(from.Line);
    if (direction < 0) {
        if (from.Column > 0) {
            --from.Column;
            if (from.Column > 0 && line.at(static_cast<qsizetype>(from.Column)).isLowSurrogate()) --from.Column;
        } else if (from.Line > 0) {
            --from.Line;
            from.Column = text_.LineLength(from.Line);
        }
    } else {
        if (from.Column < static_cast<std::size_t>(line.size())) {
            ++from.Column;
            if (from.Column < static_cast<std::size_t>(line.size()) &&
                line.at(static_cast<qsizetype>(from.Column)).isLowSurrogate())
                ++from.Column;
        } else if (from.Line + 1 < text_.LineCount()) {
            ++from.Line;
            from.Column = 0;
        }
    }
    return from;
}

void ResultTextView::MoveCaret(TextPosition to, bool keepAnchor, bool keepGoalX)
{
    caret_ = text_.Clamped(to);
    if (!keepAnchor) anchor_ = caret_;
    if (!keepGoalX) goalX_ = -1;
    EnsureCaretVisible();
    RestartBlink();
    viewport()->update();
}

void ResultTextView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    if (event == QKeySequence::SelectAll) return SelectAll();
    if (event == QKeySequence::Copy) return Copy();
    if (event == QKeySequence::Cut) return Cut();
    if (event == QKeySequence::Paste) return Paste();

    auto vertical = [&](qint64 lines) {
        if (goalX_ < 0) goalX_ = ColumnX(caret_.Line, caret_.Column);
        const qint64 target = std::clamp<qint64>(static_cast<qint64>(caret_.Line) + lines, 0,
                                                 std::max<qint64>(0, static_cast<qint64>(text_.LineCount()) - 1));
        const auto line = static_cast<std::size_t>(target);
        MoveCaret({line, ColumnAtX(line, goalX_)}, shift, true);
    };

    switch (event->key()) {
    // Without Shift an arrow leaves a selection at its own end.
    case Qt::Key_Left: return MoveCaret(HasSelection() && !shift ? std::min(anchor_, caret_) : Step(caret_, -1), shift);
    case Qt::Key_Right: return MoveCaret(HasSelection() && !shift ? std::max(anchor_, caret_) : Step(caret_, 1), shift);
    case Qt::Key_Up: return vertical(-1);
    case Qt::Key_Down: return vertical(1);
    case Qt::Key_PageUp: return vertical(-VisibleLines());
    case Qt::Key_PageDown: return vertical(VisibleLines());
    case Qt::Key_Home: return MoveCaret(ctrl ? TextPosition{} : TextPosition{caret_.Line, 0}, shift);
    case Qt::Key_End:
        return MoveCaret(ctrl ? text_.End() : TextPosition{caret_.Line, text_.LineLength(caret_.Line)}, shift);
    case Qt::Key_Backspace:
        if (!HasSelection()) anchor_ = Step(caret_, -1);
        return ReplaceSelection(QString());
    case Qt::Key_Delete:
        if (!HasSelection()) anchor_ = Step(caret_, 1);
        return ReplaceSelection(QString());
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ReplaceSelection(QStringLiteral("\n"));
    default:
        break;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && !ctrl && (typed.at(0).isPrint() || typed.at(0) == QLatin1Char('\t'))) {
        ReplaceSelection(typed);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ResultTextView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    MoveCaret(PositionAtPoint(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void ResultTextView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) return;
    MoveCaret(PositionAtPoint(event->position().toPoint()), true);
}

void ResultTextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const TextPosition at = PositionAtPoint(event->position().toPoint());
    const QString line = text_.Line(at.Line);
    auto start = static_cast<qsizetype>(at.Column), end = start;
    while (start > 0 && IsWordCharacter(line.at(start - 1))) --start;
    while (end < line.size() && IsWordCharacter(line.at(end))) ++end;
    anchor_ = {at.Line, static_cast<std::size_t>(start)};
    MoveCaret({at.Line, static_cast<std::size_t>(end)}, true);
}

void ResultTextView::RestartBlink()
{
    caretShown_ = true;
    const int flash = QApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0) blink_->start(flash / 2);
    else blink_->stop();
}

void ResultTextView::focusInEvent(QFocusEvent* event)
{
    RestartBlink();
    viewport()->update();
    QAbstractScrollArea::focusInEvent(event);
}

void ResultTextView::focusOutEvent(QFocusEvent* event)
{
    blink_->stop();
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(event);
}

void ResultTextView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        pieces_.clear();
        widest_ = 0;
        UpdateScrollBars();
        viewport()->update();
    }
    QAbstractScrollArea::changeEvent(event);
}

void ResultTextView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void ResultTextView::scrollContentsBy(int, int) { viewport()->update(); }

void ResultTextView::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty()) ReplaceSelection(event->commitString());
    event->accept();
}

QRect ResultTextView::CaretRect() const
{
    const int x = ColumnX(caret_.Line, caret_.Column) - horizontalScrollBar()->value() + Margin;
    const int y = static_cast<int>((static_cast<qint64>(caret_.Line) - static_cast<qint64>(FirstVisibleLine())) *
                                   LineHeight()) + Margin;
    return QRect(x, y, 1, LineHeight());
}

QVariant ResultTextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImCursorRectangle: return CaretRect();
    case Qt::ImFont: return font();
    case Qt::ImCursorPosition: return static_cast<int>(caret_.Column);
    case Qt::ImSurroundingText: return text_.Line(caret_.Line);
    case Qt::ImCurrentSelection: return SelectedText();
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void ResultTextView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QPalette& pal = palette();
    const QFontMetrics fm = fontMetrics();
    const int height = LineHeight();
    const int left = Margin - horizontalScrollBar()->value();
    const TextPosition selFrom = std::min(anchor_, caret_), selTo = std::max(anchor_, caret_);
    const std::size_t first = FirstVisibleLine();
    const std::size_t last = std::min(text_.LineCount(), first + static_cast<std::size_t>(VisibleLines()) + 2);
    // Only the lines the region to paint touches are drawn.
    const QRect region = event->rect();
    const std::size_t from = first + static_cast<std::size_t>(std::max(0, region.top() - Margin) / height);
    const std::size_t to = std::min(last, first + static_cast<std::size_t>(std::max(0, region.bottom() - Margin) / height) + 1);
    int widest = widest_;
    // The part of the text's width in view, from the text's left edge.
    const int viewFrom = horizontalScrollBar()->value() - Margin, viewTo = viewFrom + viewport()->width() + Margin;
    for (std::size_t i = from; i < to; ++i) {
        const QString line = text_.Line(i);
        const int top = static_cast<int>(i - first) * height + Margin;
        const int width = LineWidth(i, line);
        widest = std::max(widest, width + 2 * Margin);
        painter.setPen(pal.color(QPalette::Text));
        DrawLine(painter, i, line, left, top + fm.ascent(), viewFrom, viewTo);
        if (selFrom != selTo && i >= selFrom.Line && i <= selTo.Line) {
            const int x0 = i == selFrom.Line ? ColumnX(i, selFrom.Column) : 0;
            // A selected line break shows as a blank's width after the line.
            const int x1 = i == selTo.Line ? ColumnX(i, selTo.Column) : width + fm.horizontalAdvance(QLatin1Char(' '));
            const QRect band(left + x0, top, x1 - x0, height);
            painter.fillRect(band, pal.color(QPalette::Highlight));
            painter.save();
            painter.setClipRect(band);
            painter.setPen(pal.color(QPalette::HighlightedText));
            DrawLine(painter, i, line, left, top + fm.ascent(), std::max(viewFrom, x0), std::min(viewTo, x1));
            painter.restore();
        }
    }
    if (hasFocus() && caretShown_ && caret_.Line >= first && caret_.Line < last)
        painter.fillRect(CaretRect(), pal.color(QPalette::Text));
    if (widest > widest_) {
        // Not from inside the paint: the scroll bar's change repaints.
        widest_ = widest;
        QTimer::singleShot(0, this, [this] { UpdateScrollBars(); });
    }
}
