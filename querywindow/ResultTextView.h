// The messages page's text: a plain, editable text without line wrapping that paints only the
// lines in view, so that a result of millions of rows shown as text is there at once, scrolls
// freely and holds no copy of its rows.
#pragma once

#include "ResultText.h"

#include <QAbstractScrollArea>
#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class QPainter;
class QTimer;

class ResultTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ResultTextView(QWidget* parent = nullptr);

    // Appends the text after the last line, "\n" breaking lines; the view follows the end when it
    // showed it.
    void appendPlainText(const QString& text);
    // Appends a result set: its names' line, then one line per row, fields joined by ",".
    void AppendRows(std::shared_ptr<const ResultRowStore> rows);
    void setPlainText(const QString& text);
    void clear();
    QString toPlainText() const { return text_.Text(); }
    const ResultText& Text() const { return text_; }

    // The selection in places of toPlainText(): its start, its end, and where the caret is.
    int SelectionStart() const;
    int SelectionEnd() const;
    int CaretPosition() const;
    // Selects from anchor to caret (the caret is where typing goes) and brings the caret into view.
    void SetSelection(int anchor, int caret);
    bool HasSelection() const { return anchor_ != caret_; }
    QString SelectedText() const { return text_.Text(anchor_, caret_); }

    void SelectAll();
    void Copy() const;
    void Cut();
    void Paste();
    // Scrolls so that the caret's line and column are in view.
    void EnsureCaretVisible();

    // The first line in view.
    std::size_t FirstVisibleLine() const;
    // Counts the changes of the text other than lines appended at its end: places in the text
    // stay valid while it stays the same.
    std::uint64_t Rewrites() const { return rewrites_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void scrollContentsBy(int dx, int dy) override;

private:
    static constexpr int Margin = 4;

    int LineHeight() const;
    int VisibleLines() const;
    void UpdateScrollBars();
    // The column of a line whose left edge lies nearest to x (from the text's left edge).
    std::size_t ColumnAtX(std::size_t line, int x) const;
    // A line in pieces of about PieceLength units, each with where it starts (units, pixels),
    // the last entry its end: a long line is measured and drawn only where it is in view.
    struct Piece {
        qsizetype Start;
        int X;
    };
    const std::vector<Piece>& Pieces(std::size_t line, const QString& text) const;
    int LineWidth(std::size_t line, const QString& text) const;
    // Draws the part of a line between the pixels from and to (from the text's left edge).
    void DrawLine(QPainter& painter, std::size_t line, const QString& text, int left, int baseline, int from,
                  int to) const;
    // Where a point of the viewport lies in the text.
    TextPosition PositionAtPoint(const QPoint& point) const;
    // The horizontal place of a column of a line, from the text's left edge.
    int ColumnX(std::size_t line, std::size_t column) const;
    // Where the caret is drawn in the viewport.
    QRect CaretRect() const;
    // Moves the caret; with keepAnchor the selection grows or shrinks, else it collapses.
    void MoveCaret(TextPosition to, bool keepAnchor, bool keepGoalX = false);
    void ReplaceSelection(const QString& text);
    TextPosition Step(TextPosition from, int direction) const;
    void RestartBlink();

    static constexpr qsizetype PieceLength = 256;
    mutable std::unordered_map<std::size_t, std::vector<Piece>> pieces_;

    ResultText text_;
    TextPosition anchor_, caret_;
    int goalX_ = -1;          // the horizontal place up and down keep to
    int widest_ = 0;          // the widest line measured so far
    std::uint64_t rewrites_ = 0;
    bool caretShown_ = true;
    QTimer* blink_ = nullptr;
};
