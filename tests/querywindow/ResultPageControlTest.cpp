#include "ResultPageControl.h"
#include "ResultTabStrip.h"
#include "WidgetTestApp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

constexpr int Pages = 2000;

// A page control at the bottom of a small window, with many pages: "消息" first, then "结果n".
class ResultPageControlTest : public testing::Test {
protected:
    void SetUp() override
    {
        control.setTabPosition(QTabWidget::South);
        control.resize(600, 300);
        control.show();
        for (int i = 0; i < Pages; ++i) {
            pages.push_back(new QWidget);
            control.addTab(pages.back(), QIcon(), i == 0 ? QStringLiteral("消息") : QStringLiteral("结果%1").arg(i));
        }
        QApplication::processEvents();
    }
    ResultTabStrip& Strip() { return *control.tabBar(); }
    // The tab lies wholly in the strip, left of the scroll buttons.
    bool InView(int index)
    {
        const QRect tab = Strip().tabRect(index);
        const int view = Strip().ScrollLeftButton()->isVisible() ? Strip().ScrollLeftButton()->x() : Strip().width();
        return tab.left() >= 0 && tab.right() < view;
    }
    void Click(int index)
    {
        const QPoint at = Strip().tabRect(index).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, Strip().mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Strip(), &press);
    }

    ResultPageControl control;
    std::vector<QPointer<QWidget>> pages;
};

TEST_F(ResultPageControlTest, ManyTabsKeepTheirTextsAndTheCurrentTabInView)
{
    ASSERT_EQ(control.count(), Pages);
    EXPECT_EQ(control.tabPosition(), QTabWidget::South);
    EXPECT_EQ(Strip().Shape(), QTabBar::RoundedSouth);
    EXPECT_EQ(control.tabText(0), QStringLiteral("消息"));
    for (int i : {1, 2, 999, Pages - 1}) {
        EXPECT_EQ(control.tabText(i), QStringLiteral("结果%1").arg(i));
        EXPECT_EQ(control.widget(i), pages[static_cast<std::size_t>(i)]);
        EXPECT_EQ(control.indexOf(pages[static_cast<std::size_t>(i)]), i);
    }
    EXPECT_EQ(control.currentIndex(), 0) << "the first page added comes to the front";
    EXPECT_TRUE(Strip().ScrollLeftButton()->isVisible()) << "the tabs overflow";
    for (int i : {Pages - 1, 5, 1234}) {
        control.setCurrentIndex(i);
        EXPECT_EQ(control.currentWidget(), pages[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(pages[static_cast<std::size_t>(i)]->isVisible());
        EXPECT_TRUE(InView(i)) << i;
    }
    EXPECT_FALSE(pages[5]->isVisible()) << "a page behind the front one is hidden";
    // Tabs of equal texts are of equal widths, side by side.
    EXPECT_EQ(Strip().tabRect(1234).width(), Strip().tabRect(1235).width());
    EXPECT_EQ(Strip().tabRect(1234).right() + 1, Strip().tabRect(1235).left());
}

TEST_F(ResultPageControlTest, AClickOnATabBringsItsPageToTheFront)
{
    control.setCurrentIndex(1500);
    std::vector<int> changes;
    QObject::connect(&control, &ResultPageControl::currentChanged, [&changes](int index) { changes.push_back(index); });
    const int left = Strip().tabAt(QPoint(1, 1));
    Click(left + 2);
    EXPECT_EQ(control.currentIndex(), left + 2);
    EXPECT_EQ(control.currentWidget(), pages[static_cast<std::size_t>(left + 2)]);
    EXPECT_EQ(changes, std::vector<int>{left + 2});
    // Ctrl+Tab goes to the next page, Ctrl+Shift+Tab back.
    QKeyEvent next(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
    QApplication::sendEvent(&control, &next);
    EXPECT_EQ(control.currentIndex(), left + 3);
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::sendEvent(&control, &back);
    EXPECT_EQ(control.currentIndex(), left + 2);
}

TEST_F(ResultPageControlTest, TheScrollButtonsAndTheWheelReachBothEnds)
{
    control.setCurrentIndex(Pages - 1);
    QToolButton* left = Strip().ScrollLeftButton();
    QToolButton* right = Strip().ScrollRightButton();
    EXPECT_FALSE(right->isEnabled()) << "the last tab is in view";
    for (int i = 0; i < Pages && left->isEnabled(); ++i) left->click();
    EXPECT_FALSE(left->isEnabled());
    EXPECT_EQ(Strip().tabRect(0).left(), 0);
    EXPECT_TRUE(InView(0));
    Click(0);
    EXPECT_EQ(control.currentIndex(), 0);
    EXPECT_EQ(control.currentWidget(), pages[0]);

    const QPoint at(10, 5);
    QWheelEvent down(at, Strip().mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Strip(), &down);
    EXPECT_GT(Strip().ScrollOffset(), 0) << "the wheel scrolls the tabs";
    EXPECT_EQ(control.currentIndex(), 0) << "and leaves the current one";
    for (int i = 0; i < Pages && right->isEnabled(); ++i) right->click();
    EXPECT_TRUE(InView(Pages - 1));
}

TEST_F(ResultPageControlTest, ADeletedPageTakesItsTabAlong)
{
    control.setCurrentIndex(10);
    delete pages.back();
    ASSERT_EQ(control.count(), Pages - 1);
    EXPECT_EQ(control.tabText(Pages - 2), QStringLiteral("结果%1").arg(Pages - 2));
    EXPECT_EQ(control.currentIndex(), 10);
    // The front page goes: the one after it comes to the front.
    delete pages[10];
    ASSERT_EQ(control.count(), Pages - 2);
    EXPECT_EQ(control.currentIndex(), 10);
    EXPECT_EQ(control.currentWidget(), pages[11]);
    EXPECT_EQ(control.tabText(10), QStringLiteral("结果11"));
    // A page removed stays its owner's, no longer the control's.
    control.removeTab(0);
    EXPECT_EQ(control.count(), Pages - 3);
    EXPECT_EQ(control.indexOf(pages[0]), -1);
    EXPECT_EQ(control.tabText(0), QStringLiteral("结果1"));
    EXPECT_TRUE(pages[0]);
    delete pages[0];
    EXPECT_EQ(control.count(), Pages - 3);
}

} // namespace
