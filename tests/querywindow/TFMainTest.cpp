#include "CommandImage.h"
#include "ResultPageControl.h"
#include "StatusPanelBar.h"
#include "TFMain.h"
#include "WidgetTestApp.h"

#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

QAction* Named(TFMain& w, const char* name)
{
    auto* a = w.findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(a, nullptr) << name;
    return a;
}

TEST(TFMainCreation, NewWindowShowsGridModeWithItsCommandStates)
{
    TFMain w;
    EXPECT_EQ(w.DisplayAsText, 0);
    EXPECT_EQ(w.DisplayToFile, 0);
    const std::pair<const char*, bool> checked[] = {
        {"N_grid", true}, {"menu_run_display_grid", true}, {"N_text", false},
        {"menu_run_display_txt", false}, {"N_File", false}, {"menu_run_display_File", false},
    };
    for (auto [name, on] : checked) EXPECT_EQ(Named(w, name)->isChecked(), on) << name;
    EXPECT_EQ(CommandImage::Of(w.ToolButton_display), CommandImage::GridDisplay);
    EXPECT_EQ(CommandImage::Of(w.mainmenu_query_display), CommandImage::GridDisplay);

    const std::pair<const char*, bool> enabled[] = {
        {"ToolButton_undosql", false}, {"N_undo", false}, {"ToolButton_redosql", false}, {"N_redo", false},
        {"ToolButton_find", false}, {"mainmenu_eidt_search", false}, {"ToolButton_replace", false},
        {"mainmenu_eidt_replace", false}, {"ToolButton_cut", false}, {"ToolButton_copy", false},
        {"ToolButton_stop", false}, {"ToolButton_export", false}, {"ToolButton_run", true},
        {"ToolButton_paste", true}, {"ToolButton_newsql", true}, {"ToolButton_display", true},
    };
    for (auto [name, on] : enabled) EXPECT_EQ(Named(w, name)->isEnabled(), on) << name;

    EXPECT_EQ(w.HistoryCursor, 64);
    EXPECT_EQ(w.HasSchedule, 0);
    EXPECT_EQ(w.ScheduleDate, QDate(1900, 1, 1));
    EXPECT_EQ(w.ScheduleTime, QTime(0, 0, 1));
    EXPECT_EQ(w.ScheduleMoment, QDateTime(QDate(1900, 1, 1), QTime(0, 0, 1)));
    EXPECT_EQ(w.ScheduleDisplayMode, -1);
    EXPECT_TRUE(w.ScheduleFileName.isEmpty());

    const QString bar1[] = {"开始运行时间：", "执行时间：", "返回结果行数：", "未连接至数据库", "当前用户"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.StatusBar1->PanelText(i), bar1[i]) << i;
    EXPECT_EQ(w.StatusBar2->PanelText(0), "事务提交方式：");
    EXPECT_EQ(w.StatusBar2->PanelText(1), "");
    EXPECT_EQ(w.StatusBar2->PanelText(2), "SQL之间的分隔符：");

    // The editor keeps no history of its own and does not wrap.
    EXPECT_FALSE(w.RichEdit_sql->isUndoRedoEnabled());
    EXPECT_EQ(w.RichEdit_sql->lineWrapMode(), QPlainTextEdit::NoWrap);
    // The messages do not wrap either: a long line scrolls sideways.
    w.RichEdit_result->appendPlainText(QString(2000, QLatin1Char('x')));
    EXPECT_EQ(w.RichEdit_result->Text().LineCount(), 1u);
    EXPECT_GT(w.RichEdit_result->horizontalScrollBar()->maximum(), 0);
    w.RichEdit_result->clear();
    EXPECT_EQ(w.PageControl_result->tabPosition(), QTabWidget::South);
    ASSERT_EQ(w.PageControl_result->count(), 1);
    EXPECT_EQ(w.PageControl_result->tabText(0), "消息");
    EXPECT_EQ(w.PageControl_result->widget(0), w.ts_text);
}

TEST(TFMainCreation, HandlesAreDistinct)
{
    TFMain a, b;
    EXPECT_NE(a.Handle(), b.Handle());
    EXPECT_NE(a.Handle(), 0u);
}

struct DisplayModeCase {
    const char* Mode;
    void (TFMain::*Handler)();
    std::uint8_t AsText, ToFile;
    const char* CheckedMenu;
    const char* CheckedPopup;
    int Image;
};

TEST(TFMainDisplayMode, EachHandlerSetsFlagsChecksAndImage)
{
    const DisplayModeCase cases[] = {
        {"text", &TFMain::menu_run_display_txtClick, 1, 0, "menu_run_display_txt", "N_text", 11},
        {"file", &TFMain::menu_run_display_FileClick, 1, 1, "menu_run_display_File", "N_File", 47},
        {"grid", &TFMain::menu_run_display_gridClick, 0, 0, "menu_run_display_grid", "N_grid", 8},
    };
    TFMain w;
    const char* items[] = {"menu_run_display_txt", "N_text", "menu_run_display_File", "N_File",
                           "menu_run_display_grid", "N_grid"};
    for (const auto& c : cases) {
        (w.*c.Handler)();
        EXPECT_EQ(w.DisplayAsText, c.AsText) << c.Mode;
        EXPECT_EQ(w.DisplayToFile, c.ToFile) << c.Mode;
        for (const char* item : items) {
            const bool on = std::string(item) == c.CheckedMenu || std::string(item) == c.CheckedPopup;
            EXPECT_EQ(Named(w, item)->isChecked(), on) << c.Mode << ": " << item;
        }
        EXPECT_EQ(CommandImage::Of(w.ToolButton_display), c.Image) << c.Mode;
        EXPECT_EQ(CommandImage::Of(w.mainmenu_query_display), c.Image) << c.Mode;
    }
}

class TFMainLayout : public testing::Test {
protected:
    void SetUp() override
    {
        w.resize(900, 400);
        w.show();
        Settle();
    }
    int EditorHeight() const { return w.RichEdit_sql->height(); }
    void ResizeTo(int height)
    {
        w.resize(900, height);
        Settle();
    }

    TFMain w;
};

TEST_F(TFMainLayout, StatusBarPanelWidthsFollowTheClientWidth)
{
    const int bar1[] = {200, 200, 168, 168, 164};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.StatusBar1->PanelWidth(i), bar1[i]) << i;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(w.StatusBar2->PanelWidth(i), 300) << i;
    EXPECT_EQ(w.StatusBar1->height(), 19);
    // StatusBar2 stands directly above StatusBar1, which is at the bottom edge.
    EXPECT_EQ(w.StatusBar1->geometry().bottom(), w.height() - 1);
    EXPECT_EQ(w.StatusBar2->geometry().bottom() + 1, w.StatusBar1->y());
}

TEST_F(TFMainLayout, StatusPanelsShowTheirWholeTextsAtTheBarsFont)
{
    // A run's end in a window of 560 pixels: the shares of the width would cut these texts.
    w.resize(560, 400);
    Settle();
    const QString bar1[] = {"开始执行时间：2024-05-01 12:34:56", "执行总时间：0:00:00.014", "共返回结果行数：123456",
                            "数据源：TarnvaleDemo", "当前用户："};
    for (int i = 0; i < 5; ++i) w.StatusBar1->SetPanelText(i, bar1[i]);
    const QString bar2[] = {"事务提交方式：自动提交", "可能存在未提交的事务", "SQL之间的分隔符：;"};
    for (int i = 0; i < 3; ++i) w.StatusBar2->SetPanelText(i, bar2[i]);
    auto expectWhole = [](StatusPanelBar* bar, int panels) {
        const QList<QLabel*> labels = bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_EQ(labels.size(), panels);
        int x = 0;
        for (int i = 0; i < panels - 1; ++i) {
            const QLabel* l = labels[i];
            EXPECT_GE(l->contentsRect().width() - l->indent(), l->fontMetrics().horizontalAdvance(l->text()))
                << l->text().toStdString();
            EXPECT_GE(l->width(), bar->PanelWidth(i)) << "never narrower than its share";
            EXPECT_EQ(l->x(), x) << "side by side";
            x += l->width();
        }
        EXPECT_EQ(labels.back()->x(), x);
    };
    expectWhole(w.StatusBar1, 5);
    expectWhole(w.StatusBar2, 3);

    // A larger font widens them again.
    QFont larger = w.StatusBar1->font();
    larger.setPixelSize(20);
    w.StatusBar1->setFont(larger);
    Settle();
    expectWhole(w.StatusBar1, 5);
}

TEST_F(TFMainLayout, EditorFillsTheWindowUntilResultsAreShown)
{
    EXPECT_FALSE(w.PageControl_result->isVisible());
    EXPECT_FALSE(w.Splitter1->isVisible());
    EXPECT_EQ(EditorHeight(), 400 - 19 - 19);

    w.PrepareForRun();
    Settle();
    EXPECT_TRUE(w.PageControl_result->isVisible());
    EXPECT_TRUE(w.Splitter1->isVisible());
    EXPECT_EQ(EditorHeight(), 150);

    ResizeTo(401);
    ResizeTo(400);
    EXPECT_EQ(EditorHeight(), 149);
    EXPECT_EQ(w.Splitter1->height(), 6);
    EXPECT_EQ(w.PageControl_result->height(), 400 - 149 - 19 - 19 - 6);
}

TEST_F(TFMainLayout, ResizeAfterASplitterDragKeepsTheSplitOnce)
{
    w.PrepareForRun();
    ResizeTo(401);
    ResizeTo(400);
    ASSERT_EQ(EditorHeight(), 149);

    // Drag the splitter 40 pixels down.
    QSplitterHandle* handle = w.Splitter1;
    const QPoint start(handle->width() / 2, handle->height() / 2);
    const QPoint end = start + QPoint(0, 40);
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, handle->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &e);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, end, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, end, Qt::NoButton);
    EXPECT_EQ(w.SplitterDragging, 1);
    EXPECT_EQ(EditorHeight(), 189);

    ResizeTo(500);
    EXPECT_EQ(EditorHeight(), 189) << "the first resize keeps the user's split";
    EXPECT_EQ(w.SplitterDragging, 0);

    ResizeTo(600);
    EXPECT_EQ(EditorHeight(), 224) << "the next resize lays out anew";
}

} // namespace
