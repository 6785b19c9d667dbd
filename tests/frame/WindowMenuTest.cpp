#include "CommandImage.h"
#include "DisconnectedCommands.h"
#include "TFMain.h"
#include "TFMain_mul.h"
#include "WidgetTestApp.h"
#include "WindowMenuEntry.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(WindowMenuEntry, LookupMatchesTheWholeKeyAtTheLineStart)
{
    const QStringList registry{"Cascade(&C)", "Tile Horizontal(&H)", "Tile Vertical(&T)", "-",
                               "11234@@@@查询 -- a", "1234@@@@查询 -- b", "12345@@@@c"};
    EXPECT_EQ(WindowMenuEntry::Find(registry, 1234), 5);
    EXPECT_EQ(WindowMenuEntry::Find(registry, 11234), 4);
    EXPECT_EQ(WindowMenuEntry::Find(registry, 12345), 6);
    EXPECT_EQ(WindowMenuEntry::Find(registry, 123), -1);
    EXPECT_EQ(WindowMenuEntry::Find(registry, 234), -1);
    EXPECT_EQ(WindowMenuEntry::Line(1234, "x@@@@y"), "1234@@@@x@@@@y");
    EXPECT_EQ(WindowMenuEntry::HandleText("1234@@@@x@@@@y"), "1234");
    EXPECT_EQ(WindowMenuEntry::HandleText("Cascade(&C)"), "Cascade(&C)");
}

class Frame : public testing::Test {
protected:
    void SetUp() override
    {
        frame.resize(1000, 700);
        frame.show();
        Settle();
    }
    void TearDown() override
    {
        for (TFMain* w : frame.QueryWindows()) Close(w);
    }

    TFMain* Open(const QString& caption)
    {
        auto* w = new TFMain(&frame);
        w->setWindowTitle(caption);
        frame.AddQueryWindow(w);
        Settle();
        return w;
    }
    // What a closing window does on the frame's side, then its end.
    void Close(TFMain* w)
    {
        frame.RemoveQueryWindow(w);
        frame.WM_QUERYWINDOWCLOSING();
        delete frame.SubWindowOf(w);
        Settle();
    }
    QStringList ItemTexts() const
    {
        QStringList texts;
        // A separator shows no text: "-" stands for it here.
        for (QAction* a : frame.N_windows->actions()) texts << (a->isSeparator() ? "-" : a->text());
        return texts;
    }
    QAction* Item(int i) const { return frame.N_windows->actions().value(i); }
    std::vector<bool> Checks() const
    {
        std::vector<bool> checks;
        for (QAction* a : frame.N_windows->actions()) checks.push_back(a->isChecked());
        return checks;
    }
    // Every enabled and checked state of the frame's commands and window items, and the panels.
    std::map<QString, std::pair<bool, bool>> States() const
    {
        std::map<QString, std::pair<bool, bool>> states;
        for (QAction* a : frame.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly))
            states[a->objectName() + a->text()] = {a->isEnabled(), a->isChecked()};
        for (QAction* a : frame.N_windows->actions()) states[a->text()] = {a->isEnabled(), a->isChecked()};
        states["panel_DbObject"] = {frame.panel_DbObject->isVisible(), false};
        states["Panel2"] = {frame.Panel2->isVisible(), false};
        return states;
    }

    TFMain_mul frame;
};

TEST_F(Frame, StartsWithTheThreeArrangementLines)
{
    EXPECT_EQ(frame.WindowMenuRegistry, (QStringList{"Cascade(&C)", "Tile Horizontal(&H)", "Tile Vertical(&T)"}));
    EXPECT_EQ(ItemTexts(), (QStringList{"层叠(&C)", "横向平铺(&H)", "纵向平铺(&T)"}));
    EXPECT_EQ(frame.windowTitle(), " Tarnvale");
}

TEST_F(Frame, HandlesThatEndAlikeNeverTouchEachOther)
{
    frame.AppendWindowMenuSeparator();
    frame.AppendWindowMenuItem("B");
    frame.AddWindowMenuEntry(11234, "B");
    frame.AppendWindowMenuItem("A");
    frame.AddWindowMenuEntry(1234, "A");

    frame.MarkWindowBusy(1234);
    EXPECT_EQ(CommandImage::Of(Item(5)), CommandImage::Running);
    EXPECT_FALSE(Item(5)->icon().isNull());
    EXPECT_EQ(CommandImage::Of(Item(4)), CommandImage::None);
    EXPECT_TRUE(Item(4)->icon().isNull());
    frame.MarkWindowBusy(11234);
    frame.MarkWindowIdle(1234);
    EXPECT_EQ(CommandImage::Of(Item(5)), CommandImage::None);
    EXPECT_TRUE(Item(5)->icon().isNull());
    EXPECT_EQ(CommandImage::Of(Item(4)), CommandImage::Running);

    frame.RenameWindowMenuEntry(1234, "A2");
    EXPECT_EQ(frame.WindowMenuRegistry[5], "1234@@@@A2");
    EXPECT_EQ(frame.WindowMenuRegistry[4], "11234@@@@B");
    EXPECT_EQ(ItemTexts().mid(4), (QStringList{"B", "A2"}));

    frame.CheckWindowMenuEntry(1234, "A2");
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false, false, false, true}));
    frame.CheckWindowMenuEntry(11234, "B");
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false, false, true, false}));

    frame.RemoveWindowMenuEntry(1234);
    EXPECT_EQ(frame.WindowMenuRegistry.mid(3), (QStringList{"-", "11234@@@@B"}));
    EXPECT_EQ(ItemTexts().mid(3), (QStringList{"-", "B"}));

    // A handle without a line changes nothing.
    frame.RemoveWindowMenuEntry(1234);
    frame.RenameWindowMenuEntry(234, "x");
    frame.MarkWindowBusy(34);
    frame.CheckWindowMenuEntry(4, "x");
    EXPECT_EQ(frame.WindowMenuRegistry.size(), 5);
    EXPECT_EQ(ItemTexts().mid(3), (QStringList{"-", "B"}));
    EXPECT_EQ(Checks().back(), true);
}

TEST_F(Frame, OpeningAndClosingWindowsKeepsMenuAndRegistryParallel)
{
    TFMain* a = Open("查询 -- db\\u  --无标题1");
    EXPECT_EQ(frame.WindowMenuRegistry.mid(3),
              (QStringList{"-", QString::number(a->Handle()) + "@@@@查询 -- db\\u  --无标题1"}));
    EXPECT_EQ(ItemTexts().mid(3), (QStringList{"-", "查询 -- db\\u  --无标题1"}));
    EXPECT_TRUE(Item(4)->isChecked());

    TFMain* b = Open("查询 -- db\\u  --无标题2");
    EXPECT_EQ(frame.WindowMenuRegistry.size(), 6) << "one separator only";
    EXPECT_EQ(ItemTexts().size(), 6);
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false, false, false, true}));

    Close(b);
    EXPECT_EQ(frame.WindowMenuRegistry.size(), 5);
    EXPECT_EQ(ItemTexts().mid(3), (QStringList{"-", "查询 -- db\\u  --无标题1"}));

    Close(a);
    EXPECT_EQ(frame.WindowMenuRegistry, (QStringList{"Cascade(&C)", "Tile Horizontal(&H)", "Tile Vertical(&T)"}));
    EXPECT_EQ(ItemTexts(), (QStringList{"层叠(&C)", "横向平铺(&H)", "纵向平铺(&T)"}));
}

TEST_F(Frame, ActivationAndClicksCheckOnlyTheirWindowsItem)
{
    TFMain* a = Open("A");
    TFMain* b = Open("B");
    ASSERT_EQ(frame.ActiveQueryWindow(), b);

    frame.MdiArea->setActiveSubWindow(frame.SubWindowOf(a));
    Settle();
    EXPECT_EQ(frame.ActiveQueryWindow(), a);
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false, false, true, false}));

    Item(5)->trigger();
    Settle();
    EXPECT_EQ(frame.ActiveQueryWindow(), b) << "clicking an item brings its window to the front";
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false, false, false, true}));

    // Clicking the menu's own title changes nothing.
    const auto before = States();
    frame.N_windowsClick(frame.N_windows);
    frame.N_windowsClick(frame.N_windows->menuAction());
    Settle();
    EXPECT_EQ(frame.ActiveQueryWindow(), b);
    EXPECT_EQ(States(), before);
}

TEST_F(Frame, ThePlainSeparatorAndOnlyTheActiveWindowsCheckMark)
{
    TFMain* a = Open("A");
    TFMain* b = Open("B");
    Open("C");
    ASSERT_EQ(frame.N_windows->actions().size(), 7);
    EXPECT_TRUE(Item(3)->isSeparator());
    EXPECT_EQ(Item(3)->text(), "") << "a separator with a caption shows it beside the line";
    EXPECT_EQ(frame.WindowMenuRegistry[3], "-");

    // The active window's item carries the one check mark; the others show no check box at all.
    auto expectOnlyChecked = [&](int active) {
        for (int i = 4; i < 7; ++i) {
            EXPECT_EQ(Item(i)->isChecked(), i == active) << i;
            EXPECT_EQ(Item(i)->isCheckable(), i == active) << i;
        }
        for (int i = 0; i < 3; ++i) EXPECT_FALSE(Item(i)->isCheckable()) << i;
    };
    expectOnlyChecked(6);
    frame.MdiArea->setActiveSubWindow(frame.SubWindowOf(a));
    Settle();
    expectOnlyChecked(4);
    Item(5)->trigger();
    Settle();
    EXPECT_EQ(frame.ActiveQueryWindow(), b);
    expectOnlyChecked(5);

    // The separator goes with the last window.
    for (TFMain* w : frame.QueryWindows()) Close(w);
    EXPECT_EQ(ItemTexts(), (QStringList{"层叠(&C)", "横向平铺(&H)", "纵向平铺(&T)"}));
}

TEST_F(Frame, ClosingMessageWithTwoWindowsOpenChangesNothing)
{
    Open("A");
    Open("B");
    frame.panel_DbObject->show();
    frame.Panel2->show();
    frame.menu_tools_dbobject_show->setChecked(true);
    const auto before = States();
    frame.WM_QUERYWINDOWCLOSING();
    EXPECT_EQ(States(), before);
}

TEST_F(Frame, ClosingTheLastWindowLeavesTheDisconnectedState)
{
    TFMain* a = Open("A");
    frame.panel_DbObject->show();
    frame.Panel2->show();
    frame.menu_tools_dbobject_show->setChecked(true);
    Close(a);
    EXPECT_FALSE(frame.panel_DbObject->isVisible());
    EXPECT_FALSE(frame.Panel2->isVisible());
    EXPECT_FALSE(frame.menu_tools_dbobject_show->isChecked());
    EXPECT_TRUE(frame.menu_tools_dbobject_hide->isChecked());
    EXPECT_FALSE(frame.ToolButton_run->isEnabled());
    EXPECT_TRUE(frame.mainmenu_file_connect->isEnabled());
}

TEST_F(Frame, DisconnectedMenuStateKeepsOnlyTheCommandsUsableWithoutAConnection)
{
    frame.SetDisconnectedMenuState();
    ExpectDisconnectedState(frame);
}

TEST_F(Frame, ActiveWindowsStatesAreCopiedOntoTheFrame)
{
    TFMain* idle = Open("idle");
    TFMain* running = Open("running");
    // What the run command leaves on a window whose run is going.
    running->ToolButton_export->setEnabled(false);
    running->ToolButton_stop->setEnabled(true);
    running->ToolButton_run->setEnabled(false);
    running->menu_run_display_txtClick();
    running->SyncFrameToolbar();
    idle->ToolButton_export->setEnabled(true);

    struct Expect {
        const char* Name;
        bool EnabledWhenRunning, EnabledWhenIdle;
    };
    const Expect enabled[] = {
        {"ToolButton_run", false, true},       {"mainmenu_query_run", false, true},
        {"ToolButton_stop", true, false},      {"mainmenu_query_stop", true, false},
        {"ToolButton_export", false, true},    {"mainmenu_query_save", false, true},
        {"ToolButton_find", false, false},     {"ToolButton_replace", false, false},
        {"mainmenu_eidt_search", false, false}, {"mainmenu_eidt_replace", false, false},
        {"ToolButton_paste", true, true},      {"mainmenu_eidt_paste", true, true},
        {"mainmenu_file_newsqlfile", true, true}, {"mainmenu_query_schedule", true, true},
    };
    for (TFMain* w : {running, idle, running}) {
        if (frame.ActiveQueryWindow() != w) frame.MdiArea->setActiveSubWindow(frame.SubWindowOf(w));
        Settle();
        ASSERT_EQ(frame.ActiveQueryWindow(), w);
        const bool isRunning = w == running;
        for (const auto& e : enabled)
            EXPECT_EQ(frame.FrameCommand(e.Name)->isEnabled(), isRunning ? e.EnabledWhenRunning : e.EnabledWhenIdle)
                << e.Name << (isRunning ? " (running window)" : " (idle window)");
        EXPECT_EQ(frame.N_text->isChecked(), isRunning);
        EXPECT_EQ(frame.menu_run_display_txt->isChecked(), isRunning);
        EXPECT_EQ(frame.N_grid->isChecked(), !isRunning);
        EXPECT_EQ(frame.menu_run_display_grid->isChecked(), !isRunning);
        EXPECT_FALSE(frame.N_File->isChecked());
        const int image = isRunning ? CommandImage::TextDisplay : CommandImage::GridDisplay;
        EXPECT_EQ(CommandImage::Of(frame.ToolButton_display), image);
        EXPECT_EQ(CommandImage::Of(frame.mainmenu_query_display), image);
    }

    // The schedule item follows the frame's new-file item as just copied.
    idle->ToolButton_newsql->setEnabled(false);
    frame.MdiArea->setActiveSubWindow(frame.SubWindowOf(idle));
    idle->SyncFrameToolbar();
    EXPECT_FALSE(frame.mainmenu_file_newsqlfile->isEnabled());
    EXPECT_FALSE(frame.mainmenu_query_schedule->isEnabled());
}

TEST_F(Frame, MaximisingAWindowClearsAutoSizeRestoringSetsIt)
{
    TFMain* w = Open("A");
    QMdiSubWindow* sub = frame.SubWindowOf(w);
    frame.AutoSizeFirstChild = 1;
    sub->showMaximized();
    Settle();
    EXPECT_EQ(frame.AutoSizeFirstChild, 0);
    sub->showNormal();
    Settle();
    EXPECT_EQ(frame.AutoSizeFirstChild, 1);
    sub->showMaximized();
    sub->showMinimized();
    Settle();
    EXPECT_EQ(frame.AutoSizeFirstChild, 1);
}

TEST(WorkerThreadTable, NumbersOutsideTheTableHaveNoSlot)
{
    WorkerThreadTable table;
    for (int n : {-1, 0, 65536, 1 << 30}) {
        EXPECT_FALSE(WorkerThreadTable::HasSlot(n)) << n;
        EXPECT_FALSE(table.Set(n, nullptr)) << n;
        EXPECT_EQ(table.At(n), nullptr) << n;
    }
    for (int n : {1, 2, 65535}) {
        EXPECT_TRUE(WorkerThreadTable::HasSlot(n)) << n;
        EXPECT_TRUE(table.Set(n, nullptr)) << n;
        EXPECT_EQ(table.At(n), nullptr) << n;
    }
}

} // namespace
