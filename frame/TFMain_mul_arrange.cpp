#include "TFMain_mul.h"

#include "MdiTiling.h"
#include "TFMain.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QResizeEvent>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

// ---- arranging the query windows, the object browser panel's size ----

QList<QMdiSubWindow*> TFMain_mul::ArrangedWindows() const
{
    QList<QMdiSubWindow*> windows;
    const QList<QMdiSubWindow*> stacked = MdiArea->subWindowList(QMdiArea::StackingOrder);
    // The window in front comes first; minimised windows keep their place.
    for (auto it = stacked.crbegin(); it != stacked.crend(); ++it)
        if ((*it)->isVisible() && !(*it)->isMinimized()) windows << *it;
    return windows;
}

namespace {

// Each window to its rectangle, out of the maximised state first.
void PlaceWindows(const QList<QMdiSubWindow*>& windows, const std::vector<QRect>& rects)
{
    for (std::size_t i = 0; i < rects.size(); ++i) {
        QMdiSubWindow* sub = windows[static_cast<qsizetype>(i)];
        if (sub->isMaximized()) sub->showNormal();
        sub->setGeometry(rects[i]);
    }
}

} // namespace

void TFMain_mul::N_escadeClick()
{
    // The window in front goes last, so it ends up furthest down the cascade and stays in front.
    QList<QMdiSubWindow*> windows = ArrangedWindows();
    if (windows.isEmpty()) return;
    QMdiSubWindow* front = windows.front();
    std::reverse(windows.begin(), windows.end());
    const int step = front->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, front);
    const std::vector<QRect> rects =
        MdiTiling::Cascade(MdiArea->viewport()->size(), static_cast<int>(windows.size()), step);
    PlaceWindows(windows, rects);
    for (QMdiSubWindow* sub : windows) sub->raise();
    MdiArea->setActiveSubWindow(front);
}

void TFMain_mul::N_arrangeIconHerClick()
{
    TileMode = Qt::Horizontal;
    Tile();
}

void TFMain_mul::N_arrangeIconVerClick()
{
    TileMode = Qt::Vertical;
    Tile();
}

void TFMain_mul::Tile()
{
    const QList<QMdiSubWindow*> windows = ArrangedWindows();
    const std::vector<QRect> rects =
        MdiTiling::Tile(MdiArea->viewport()->size(), static_cast<int>(windows.size()), TileMode);
    PlaceWindows(windows, rects);
}

void TFMain_mul::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFMain_mul::FormResize()
{
    TreeView_dbObject->resize(TreeView_dbObject->width(), std::max(panel_DbObject->height() - 30, 0));
}
