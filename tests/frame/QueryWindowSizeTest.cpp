// The size and place of the query windows in the frame's MDI area.
#include "QueryWindowGeometry.h"
#include "TFMain.h"
#include "TFMain_mul.h"
#include "WidgetTestApp.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

void PrintTo(const QSize& s, std::ostream* os) { *os << s.width() << "x" << s.height(); }
void PrintTo(const QRect& r, std::ostream* os) { *os << r.width() << "x" << r.height() << "+" << r.x() << "+" << r.y(); }

namespace {

TEST(QueryWindowSize, EveryWindowOpensAtTheDesignedSizeInsideTheMdiAreaOneCascadeStepFurther)
{
    for (const QSize frameSize : {QSize(1920, 1050), QSize(1100, 800), QSize(640, 420)}) {
        SCOPED_TRACE(std::to_string(frameSize.width()) + "x" + std::to_string(frameSize.height()));
        TFMain_mul frame;
        frame.resize(frameSize);
        frame.show();
        Settle();
        const QRect area = frame.MdiArea->viewport()->rect();
        const QSize expected = QueryWindowGeometry::DesignedSize.boundedTo(area.size());
        const bool roomToCascade = area.width() > expected.width() && area.height() > expected.height();
        std::vector<TFMain*> windows;
        std::vector<QPoint> places;
        for (int i = 1; i <= 4; ++i) {
            auto* w = new TFMain(&frame);
            w->setWindowTitle(QStringLiteral("无标题%1").arg(i));
            frame.AddQueryWindow(w);
            Settle();
            const QMdiSubWindow* sub = frame.SubWindowOf(w);
            ASSERT_NE(sub, nullptr);
            EXPECT_EQ(sub->size(), expected) << "window " << i;
            EXPECT_TRUE(area.contains(sub->geometry())) << "window " << i << " at " << testing::PrintToString(sub->geometry()) << " in " << testing::PrintToString(area);
            // Each window one step further down and right where the area has room, none off it.
            if (roomToCascade && !places.empty()) {
                EXPECT_GT(sub->pos().x(), places.back().x()) << "window " << i;
                EXPECT_EQ(sub->pos().x(), sub->pos().y()) << "window " << i;
            }
            places.push_back(sub->pos());
            windows.push_back(w);
        }
        for (TFMain* w : windows) {
            frame.RemoveQueryWindow(w);
            delete frame.SubWindowOf(w);
        }
        Settle();
    }
}

} // namespace
