#pragma once

#include <QIcon>
#include <QString>
#include <QTabBar>
#include <QWidget>

#include <vector>

class QToolButton;

// A row of tabs that keeps each tab's width, measured once from its icon and text, and where each
// tab ends: a tab is appended, found at a point and brought into view without passing over the
// others, and only the tabs in view are painted. Scroll buttons show when the tabs overflow.
class ResultTabStrip : public QWidget {
    Q_OBJECT
public:
    explicit ResultTabStrip(QWidget* parent = nullptr);

    int count() const { return static_cast<int>(tabs_.size()); }
    int AddTab(const QIcon& icon, const QString& text);
    void RemoveTab(int index);
    QString tabText(int index) const;
    QIcon tabIcon(int index) const;
    // Every tab can be brought into view: none is hidden.
    bool isTabVisible(int index) const { return index >= 0 && index < count(); }
    // The tab in view at point (the strip's coordinates), or -1.
    int tabAt(const QPoint& point) const;
    // Where tab index lies in the strip's coordinates now (outside the strip when scrolled away).
    QRect tabRect(int index) const;

    int CurrentIndex() const { return current_; }
    // Marks the current tab and scrolls it into view; no signal.
    void SetCurrent(int index);
    void SetShape(QTabBar::Shape shape);
    QTabBar::Shape Shape() const { return shape_; }
    // The pixels by which the tabs are scrolled to the left.
    int ScrollOffset() const { return offset_; }
    QToolButton* ScrollLeftButton() const { return left_; }
    QToolButton* ScrollRightButton() const { return right_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user picked a tab (click or key).
    void tabActivated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Tab {
        QString Text;
        QIcon Icon;
        int End = 0; // the right edge of the tab with all tabs laid out from 0
    };
    int Start(int index) const { return index > 0 ? tabs_[static_cast<std::size_t>(index - 1)].End : 0; }
    // The first tab whose right edge lies beyond x (all tabs laid out from 0), or count().
    int FirstEndingAfter(int x) const;
    int TotalWidth() const { return tabs_.empty() ? 0 : tabs_.back().End; }
    int MeasureWidth(const Tab& tab) const;
    void Remeasure();
    // The width the tabs have: all but the scroll buttons' when they show.
    int ViewWidth() const;
    void ScrollTo(int offset);
    void EnsureVisible(int index);
    void ScrollLeft();
    void ScrollRight();
    void UpdateButtons();
    void InitTabOption(QStyleOptionTab& option, int index) const;

    std::vector<Tab> tabs_;
    int current_ = -1;
    int hover_ = -1;
    int offset_ = 0;
    int tabHeight_ = 0;
    QTabBar::Shape shape_ = QTabBar::RoundedNorth;
    QToolButton* left_;
    QToolButton* right_;
};
