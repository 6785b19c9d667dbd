// The frame's menus and tool bar as a whole, and its commands on the active query window: editing,
// find and replace, arranging the windows, the object browser panel, About, the ODBC
// administrator, export and exit, with query windows on a real SQLite data source.
#include "CommandImage.h"
#include "DesktopOpener.h"
#include "DisconnectedCommands.h"
#include "FindReplaceDialog.h"
#include "ImageLists.h"
#include "MdiTiling.h"
#include "MuliThread.h"
#include "ObjectBrowserFixture.h"
#include "OdbcAdministrator.h"
#include "OstrelLibrary.h"
#include "ProgramIcon.h"
#include "RecordingOpener.h"
#include "ResultGrid.h"
#include "ResultPageControl.h"
#include "ResultTextView.h"
#include "TfrmAbout.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

struct MenuRow {
    const char* Name;
    const char* Caption;
    QKeySequence Shortcut = {};
};

struct Menu {
    const char* Name;
    const char* Caption;
    std::vector<MenuRow> Items;
};

// The main menu as the user sees it, separators left out.
const std::vector<Menu> MainMenu{
    {"menu_file", "文件(&F)",
     {{"mainmenu_file_connect", "连接(&T)"},
      {"mainmenu_file_newsqlfile", "新建(&N)", QKeySequence(Qt::CTRL | Qt::Key_N)},
      {"mainmenu_file_opensqlfile", "打开(&O)"},
      {"mainmenu_file_savesqlfile", "保存(&S)", QKeySequence(Qt::CTRL | Qt::Key_S)},
      {"menu_file_exit", "退出(&E)"}}},
    {"mainmenu_eidt", "编辑(&E)",
     {{"mainmenu_eidt_cut", "剪切(&T)"},
      {"mainmenu_eidt_copy", "复制(&C)"},
      {"mainmenu_eidt_paste", "粘贴(&P)"},
      {"mainmenu_eidt_selectall", "全选(&S)"},
      {"mainmenu_eidt_search", "查找(&S)"},
      {"mainmenu_eidt_replace", "替换(&R)"},
      {"mainmenu_eidt_undo", "撤消(&U)"},
      {"mainmenu_eidt_redo", "恢复(&R)"}}},
    {"menu_query", "查询(&Q)",
     {{"mainmenu_query_run", "运行", QKeySequence(Qt::Key_F5)},
      {"mainmenu_query_stop", "停止执行"},
      {"mainmenu_query_transmanager", "事务管理"},
      {"mainmenu_query_display", "显示结果"},
      {"mainmenu_query_save", "保存结果(&E)"},
      {"mainmenu_query_schedule", "执行计划"}}},
    {"mainmenu_tools2", "工具(&T)",
     {{"menu_tools_dbobject", "对象浏览器"},
      {"mainmenu_tools2_config", "选项(&O)"},
      {"mainmenu_tools2_ODBC_Admin", "ODBC数据源管理器"}}},
    {"N_windows", "窗口(&W)",
     {{"N_escade", "层叠(&C)"}, {"N_arrangeIconHer", "横向平铺(&H)"}, {"N_arrangeIconVer", "纵向平铺(&T)"}}},
    {"menu_about", "关于(&H)", {{"mainmenu_about_about", "关于本系统(&A)"}}},
};

const std::vector<Menu> SubMenus{
    {"mainmenu_query_display", "显示结果",
     {{"menu_run_display_grid", "以表格显示结果(&G)"},
      {"menu_run_display_txt", "以文本显示结果(&T)"},
      {"menu_run_display_File", "保存结果到文件(&F)"}}},
    {"menu_tools_dbobject", "对象浏览器", {{"menu_tools_dbobject_show", "显示"}, {"menu_tools_dbobject_hide", "隐藏"}}},
    {"PopupMenu_styleDisplay", "",
     {{"N_grid", "以表格显示结果"}, {"N_text", "以文本显示结果"}, {"N_File", "保存结果到文件"}}},
};

struct ToolRow {
    const char* Name;
    const char* Hint;
    int Image;
};

const ToolRow ToolBar[] = {
    {"ToolButton_newsql", "新建查询", CommandImage::NewQuery},
    {"ToolButton_opensql", "打开", CommandImage::OpenScript},
    {"ToolButton_savesql", "保存", CommandImage::SaveScript},
    {"ToolButton_cut", "剪切", CommandImage::Cut},
    {"ToolButton_copy", "拷贝", CommandImage::Copy},
    {"ToolButton_paste", "粘贴", CommandImage::Paste},
    {"ToolButton_find", "查找", CommandImage::Find},
    {"ToolButton_replace", "替换", CommandImage::Replace},
    {"ToolButton_undosql", "撤消", CommandImage::Undo},
    {"ToolButton_redosql", "恢复", CommandImage::Redo},
    {"ToolButton_display", "显示", CommandImage::GridDisplay},
    {"ToolButton_run", "执行查询(F5)", CommandImage::Running},
    {"ToolButton_stop", "取消执行查询", CommandImage::Stop},
    {"ToolButton_export", "导出结果", CommandImage::Export},
    {"ToolButton_about", "关于", CommandImage::About},
};

// Commands enabled while a fresh query window is active; every other command of the tables is disabled.
const std::set<QString> EnabledWithAWindow{
    "menu_file", "mainmenu_file_connect", "mainmenu_file_newsqlfile", "mainmenu_file_opensqlfile",
    "mainmenu_file_savesqlfile", "menu_file_exit", "mainmenu_eidt", "mainmenu_eidt_paste",
    "mainmenu_eidt_selectall", "menu_query", "mainmenu_query_run", "mainmenu_query_transmanager",
    "mainmenu_query_display", "menu_run_display_grid", "menu_run_display_txt", "menu_run_display_File",
    "mainmenu_query_schedule", "mainmenu_tools2", "menu_tools_dbobject", "menu_tools_dbobject_show",
    "menu_tools_dbobject_hide", "mainmenu_tools2_config", "mainmenu_tools2_ODBC_Admin", "N_windows", "N_escade",
    "N_arrangeIconHer", "N_arrangeIconVer", "menu_about", "mainmenu_about_about", "N_grid", "N_text", "N_File",
    "ToolButton_newsql", "ToolButton_opensql", "ToolButton_savesql", "ToolButton_paste", "ToolButton_display",
    "ToolButton_run", "ToolButton_about"};

class FrameCommands : public BrowserFrameTest {
protected:
    // The search library, as the program's start loads it.
    void SetUp() override
    {
        BrowserFrameTest::SetUp();
        ASSERT_TRUE(OstrelLibrary::Load(QStringLiteral(TV_OSTREL_DIR)));
    }
    void TearDown() override
    {
        OstrelLibrary::Unload();
        BrowserFrameTest::TearDown();
    }
    TFMain* OpenSQLite() { return Open(QString::fromLatin1(TestDsn::SQLiteDsn()), QStringLiteral("SQLite")); }
    QAction* Command(const char* name) const { return frame->FrameCommand(QString::fromLatin1(name)); }
    // Every command of the tables with its enabled state.
    std::map<QString, bool> States() const
    {
        std::map<QString, bool> states;
        auto add = [&](const char* name) { states[QString::fromLatin1(name)] = Command(name)->isEnabled(); };
        for (const Menu& m : MainMenu) {
            add(m.Name);
            for (const MenuRow& r : m.Items) add(r.Name);
        }
        for (const Menu& m : SubMenus)
            for (const MenuRow& r : m.Items) add(r.Name);
        for (const ToolRow& t : ToolBar) add(t.Name);
        return states;
    }
    static void ExpectStates(const std::map<QString, bool>& states, const std::set<QString>& enabled)
    {
        for (const auto& [name, on] : states)
            EXPECT_EQ(on, enabled.count(name) > 0) << name.toStdString();
    }
    static QString IconName(const QAction* a) { return a->icon().name(); }
};

QStringList VisibleItems(const QMenu* menu)
{
    QStringList names;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) names << a->objectName();
    return names;
}

TEST_F(FrameCommands, MainMenuAndSubMenusAsTheUserSeesThem)
{
    const QList<QAction*> top = frame->menuBar()->actions();
    ASSERT_EQ(top.size(), static_cast<qsizetype>(MainMenu.size()));
    for (std::size_t i = 0; i < MainMenu.size(); ++i) {
        const Menu& m = MainMenu[i];
        QAction* menuAction = top[static_cast<qsizetype>(i)];
        EXPECT_EQ(menuAction->objectName(), m.Name);
        EXPECT_EQ(menuAction->text(), QString::fromUtf8(m.Caption));
        QStringList expected;
        for (const MenuRow& r : m.Items) {
            expected << QString::fromLatin1(r.Name);
            QAction* item = Command(r.Name);
            ASSERT_NE(item, nullptr) << r.Name;
            EXPECT_EQ(item->text(), QString::fromUtf8(r.Caption)) << r.Name;
            EXPECT_EQ(item->shortcut(), r.Shortcut) << r.Name;
        }
        EXPECT_EQ(VisibleItems(menuAction->menu()), expected) << m.Name;
    }
    for (const Menu& m : SubMenus) {
        const QMenu* menu = frame->findChild<QMenu*>(QString::fromLatin1(m.Name));
        ASSERT_NE(menu, nullptr) << m.Name;
        QStringList expected;
        for (const MenuRow& r : m.Items) {
            expected << QString::fromLatin1(r.Name);
            EXPECT_EQ(Command(r.Name)->text(), QString::fromUtf8(r.Caption)) << r.Name;
        }
        EXPECT_EQ(VisibleItems(menu), expected) << m.Name;
    }
    // The three display modes are radio items with their images.
    for (auto [name, image] : {std::pair{"menu_run_display_grid", CommandImage::GridDisplay},
                               std::pair{"menu_run_display_txt", CommandImage::TextDisplay},
                               std::pair{"menu_run_display_File", CommandImage::FileDisplay}}) {
        EXPECT_TRUE(Command(name)->isCheckable()) << name;
        EXPECT_EQ(CommandImage::Of(Command(name)), image) << name;
        EXPECT_FALSE(Command(name)->icon().isNull()) << name;
    }
    EXPECT_FALSE(frame->mainmenu_query_save->isEnabled());
    // The object browser's pop-up items that carry a picture.
    for (auto [item, image] : {std::pair{frame->N_refreshDBObject, CommandImage::Refresh},
                               std::pair{frame->N_copyDbOject, CommandImage::Copy},
                               std::pair{frame->N_SetFontDBObject, CommandImage::Font}}) {
        EXPECT_EQ(IconName(item), QString::fromLatin1(ImageLists::ImageList1Name(image)));
        EXPECT_FALSE(item->icon().pixmap(16, 16).isNull()) << image;
    }
}

TEST_F(FrameCommands, ToolBarButtonsInOrderWithHintsAndPictures)
{
    QStringList visible;
    for (QAction* a : frame->ToolBar2->actions())
        if (!a->isSeparator() && a->isVisible()) visible << a->objectName();
    QStringList expected;
    for (const ToolRow& t : ToolBar) {
        expected << QString::fromLatin1(t.Name);
        QAction* a = Command(t.Name);
        EXPECT_EQ(a->toolTip(), QString::fromUtf8(t.Hint)) << t.Name;
        EXPECT_EQ(CommandImage::Of(a), t.Image) << t.Name;
        // The picture comes from the icon theme, and the button shows it rather than its text.
        EXPECT_EQ(IconName(a), QString::fromLatin1(ImageLists::ImageList1Name(t.Image))) << t.Name;
        EXPECT_FALSE(a->icon().pixmap(22, 22).isNull()) << t.Name << ": the icon theme has no picture for it";
        auto* button = qobject_cast<QToolButton*>(frame->ToolBar2->widgetForAction(a));
        ASSERT_NE(button, nullptr) << t.Name;
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly) << t.Name;
    }
    EXPECT_EQ(visible, expected);
    for (QAction* hidden : {frame->ToolBtn_exit, frame->ToolButton1, frame->ToolButton2}) {
        EXPECT_TRUE(frame->ToolBar2->actions().contains(hidden));
        EXPECT_FALSE(hidden->isVisible());
    }
    auto* display = qobject_cast<QToolButton*>(frame->ToolBar2->widgetForAction(frame->ToolButton_display));
    EXPECT_EQ(frame->ToolButton_display->menu(), frame->PopupMenu_styleDisplay);
    EXPECT_EQ(display->popupMode(), QToolButton::InstantPopup);
    EXPECT_FALSE(frame->ToolButton_export->isEnabled());
}

TEST_F(FrameCommands, EnabledStatesWithoutAndWithAQueryWindow)
{
    frame->SetDisconnectedMenuState();
    ExpectStates(States(), UsableWithoutAConnection());

    ASSERT_NE(OpenSQLite(), nullptr);
    ExpectStates(States(), EnabledWithAWindow);
}

TEST_F(FrameCommands, ThePictureOfTheDisplayModeFollowsTheMode)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    struct Case {
        QAction* Item;
        int Image;
    };
    for (const Case& c : {Case{frame->N_text, CommandImage::TextDisplay}, Case{frame->N_File, CommandImage::FileDisplay},
                          Case{frame->menu_run_display_grid, CommandImage::GridDisplay},
                          Case{frame->menu_run_display_txt, CommandImage::TextDisplay}}) {
        c.Item->trigger();
        for (QAction* shown : {frame->ToolButton_display, frame->mainmenu_query_display}) {
            EXPECT_EQ(CommandImage::Of(shown), c.Image) << c.Item->objectName().toStdString();
            EXPECT_EQ(IconName(shown), QString::fromLatin1(ImageLists::ImageList1Name(c.Image)));
        }
        EXPECT_TRUE(c.Item->isChecked());
    }
}

TEST_F(FrameCommands, TheProgramsIconIsOnTheFrameAndEveryQueryWindow)
{
    const QImage own = ProgramIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(own.isNull());
    EXPECT_EQ(frame->windowIcon().pixmap(32, 32).toImage(), own);
    for (int i = 0; i < 2; ++i) {
        TFMain* w = OpenSQLite();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowIcon().pixmap(32, 32).toImage(), own);
        EXPECT_EQ(frame->SubWindowOf(w)->windowIcon().pixmap(32, 32).toImage(), own);
    }
}

TEST_F(FrameCommands, ResultPagesAndBusyWindowsShowTheirPictures)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    w->RichEdit_sql->setPlainText(QStringLiteral("select 1 as a; select 2 as b"));
    frame->ToolButton_run->trigger();
    const int item = static_cast<int>(frame->N_windows->actions().size()) - 1;
    EXPECT_EQ(IconName(frame->N_windows->actions().at(item)),
              QString::fromLatin1(ImageLists::ImageList1Name(CommandImage::Running)));
    ASSERT_TRUE(WaitUntil([w] { return w->RunCounter == 0 && !w->RunWorker; }));
    EXPECT_TRUE(frame->N_windows->actions().at(item)->icon().isNull());
    ResultPageControl* pages = w->PageControl_result;
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabIcon(0).name(), ImageLists::ImageList_forshowresult(ImageLists::MessagesPageImage).name());
    EXPECT_FALSE(pages->tabIcon(0).isNull());
    for (int i : {1, 2}) {
        EXPECT_EQ(pages->tabText(i), QStringLiteral("结果%1").arg(i));
        EXPECT_EQ(pages->tabIcon(i).name(), ImageLists::ImageList_forshowresult(ImageLists::ResultPageImage).name());
        EXPECT_FALSE(pages->tabIcon(i).isNull());
    }
}

TEST_F(FrameCommands, EditCommandsWithoutAWindowDoNothing)
{
    for (void (TFMain_mul::*command)() :
         {&TFMain_mul::ToolButton_undosqlClick, &TFMain_mul::ToolButton_redosqlClick, &TFMain_mul::ToolButton_cutClick,
          &TFMain_mul::mainmenu_eidt_cutClick, &TFMain_mul::ToolButton_copyClick, &TFMain_mul::mainmenu_eidt_copyClick,
          &TFMain_mul::ToolButton_pasteClick, &TFMain_mul::mainmenu_eidt_selectallClick,
          &TFMain_mul::ToolButton_findClick, &TFMain_mul::ToolButton_replaceClick, &TFMain_mul::ToolButton_opensqlClick,
          &TFMain_mul::ToolButton_savesqlClick, &TFMain_mul::ToolButton_exportClick, &TFMain_mul::N_escadeClick,
          &TFMain_mul::N_arrangeIconHerClick, &TFMain_mul::N_arrangeIconVerClick})
        (frame.get()->*command)();
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(FrameCommands, ClipboardCommandsActOnTheActiveWindowAndCopyItsStates)
{
    TFMain* first = OpenSQLite();
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(frame->ActiveQueryWindow(), w);
    w->RichEdit_sql->setPlainText(QStringLiteral("select abc"));
    QTextCursor c = w->RichEdit_sql->textCursor();
    c.setPosition(7);
    c.setPosition(10, QTextCursor::KeepAnchor);
    w->RichEdit_sql->setTextCursor(c);
    EXPECT_TRUE(frame->ToolButton_copy->isEnabled());
    EXPECT_TRUE(frame->mainmenu_eidt_cut->isEnabled());

    frame->mainmenu_eidt_copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
    frame->ToolButton_cut->trigger();
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select "));
    // The selection went with the cut: the frame's cut and copy follow at once.
    EXPECT_FALSE(frame->ToolButton_cut->isEnabled());
    EXPECT_FALSE(frame->mainmenu_eidt_copy->isEnabled());
    frame->ToolButton_paste->trigger();
    frame->mainmenu_eidt_paste->trigger();
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select abcabc"));

    frame->mainmenu_eidt_selectall->trigger();
    EXPECT_EQ(w->RichEdit_sql->textCursor().selectedText(), QStringLiteral("select abcabc"));
    frame->ToolButton_copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("select abcabc"));
    EXPECT_TRUE(first->RichEdit_sql->toPlainText().isEmpty());
}

TEST_F(FrameCommands, UndoAndRedoThroughTheFrameAndTheEditorsKeys)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    QPlainTextEdit* editor = w->RichEdit_sql;
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("ab"));
    EXPECT_TRUE(frame->ToolButton_undosql->isEnabled());
    EXPECT_TRUE(frame->mainmenu_eidt_undo->isEnabled());
    EXPECT_FALSE(frame->ToolButton_redosql->isEnabled());

    struct Step {
        const char* What;
        std::function<void()> Act;
        const char* Text;
        bool Undo, Redo;
    };
    const Step steps[] = {
        {"tool button undo", [&] { frame->ToolButton_undosql->trigger(); }, "a", true, true},
        {"Ctrl+Z", [&] { QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier); }, "", false, true},
        // Nothing left to undo: the key changes nothing.
        {"Ctrl+Z with nothing to undo", [&] { QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier); }, "", false, true},
        {"Ctrl+Y", [&] { QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier); }, "a", true, true},
        {"Ctrl+Shift+Z", [&] { QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }, "ab",
         true, false},
        {"menu undo", [&] { frame->mainmenu_eidt_undo->trigger(); }, "a", true, true},
        {"menu redo", [&] { frame->mainmenu_eidt_redo->trigger(); }, "ab", true, false},
        {"Ctrl+Y with nothing to redo", [&] { QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier); }, "ab", true,
         false},
    };
    for (const Step& s : steps) {
        s.Act();
        EXPECT_EQ(editor->toPlainText(), QString::fromLatin1(s.Text)) << s.What;
        EXPECT_EQ(frame->ToolButton_undosql->isEnabled(), s.Undo) << s.What;
        EXPECT_EQ(frame->mainmenu_eidt_undo->isEnabled(), s.Undo) << s.What;
        EXPECT_EQ(frame->ToolButton_redosql->isEnabled(), s.Redo) << s.What;
        EXPECT_EQ(frame->mainmenu_eidt_redo->isEnabled(), s.Redo) << s.What;
    }
    // The keys typed no letters into the text.
    EXPECT_EQ(w->History[64].Text, QStringLiteral("ab"));
}

TEST_F(FrameCommands, FindAndReplaceDialogsArePlacedAndPrefilledFromTheSelection)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    w->RichEdit_sql->setPlainText(QStringLiteral("select name from t"));
    struct Case {
        QAction* Command;
        FindReplaceDialog* Dialog;
    };
    for (const Case& c : {Case{frame->ToolButton_find, w->FindDialog_sql}, Case{frame->mainmenu_eidt_search, w->FindDialog_sql},
                          Case{frame->ToolButton_replace, w->ReplaceDialog1},
                          Case{frame->mainmenu_eidt_replace, w->ReplaceDialog1}}) {
        const std::string what = c.Command->objectName().toStdString();
        c.Dialog->SetFindText(QStringLiteral("earlier"));
        QTextCursor cursor = w->RichEdit_sql->textCursor();
        cursor.setPosition(7);
        cursor.setPosition(11, QTextCursor::KeepAnchor);
        w->RichEdit_sql->setTextCursor(cursor);
        c.Command->trigger();
        EXPECT_TRUE(c.Dialog->isVisible()) << what;
        EXPECT_EQ(c.Dialog->FindText(), QStringLiteral("name")) << what;
        EXPECT_EQ(c.Dialog->pos(), QPoint(w->width() / 2 - 100, w->RichEdit_sql->mapTo(w, QPoint(0, 0)).y() + 100))
            << what;
        c.Dialog->hide();

        // Without a selection the dialog keeps the text it had.
        c.Dialog->SetFindText(QStringLiteral("earlier"));
        cursor.clearSelection();
        w->RichEdit_sql->setTextCursor(cursor);
        c.Command->trigger();
        EXPECT_EQ(c.Dialog->FindText(), QStringLiteral("earlier")) << what;
        c.Dialog->hide();
    }
}

TEST_F(FrameCommands, ReplaceAllFromTheFramesReplaceCommand)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    w->RichEdit_sql->setPlainText(QStringLiteral("select x from t where x = 1 and X = 2"));
    const int undoBefore = w->UndoCount;
    frame->ToolButton_replace->trigger();
    FindReplaceDialog* dialog = w->ReplaceDialog1;
    ASSERT_TRUE(dialog->isVisible());
    dialog->FindEdit->setText(QStringLiteral("x"));
    dialog->ReplaceEdit->setText(QStringLiteral("col"));
    dialog->MatchCaseBox->setChecked(true);
    dialog->WholeWordBox->setChecked(false);
    QTest::mouseClick(dialog->ReplaceAllButton, Qt::LeftButton);
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select col from t where col = 1 and X = 2"));
    // One snapshot for the whole replacement.
    EXPECT_EQ(w->UndoCount, undoBefore + 1);
    EXPECT_TRUE(frame->ToolButton_undosql->isEnabled());

    // Replace on the match Find Next selected.
    dialog->FindEdit->setText(QStringLiteral("col"));
    dialog->ReplaceEdit->setText(QStringLiteral("x"));
    QTextCursor start = w->RichEdit_sql->textCursor();
    start.setPosition(0);
    w->RichEdit_sql->setTextCursor(start);
    QTest::mouseClick(dialog->FindNextButton, Qt::LeftButton);
    QTest::mouseClick(dialog->ReplaceButton, Qt::LeftButton);
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select x from t where col = 1 and X = 2"));
    EXPECT_TRUE(prompter.Prompts.empty());
    dialog->hide();
}

TEST_F(FrameCommands, ObjectBrowserPanelShowAndHide)
{
    QSplitter* splitter = frame->PanelSplitter;
    // Show without a window: nothing, the setting included.
    Settings::DBObjectsShow = false;
    frame->menu_tools_dbobject_showClick();
    EXPECT_TRUE(frame->panel_DbObject->isHidden());
    EXPECT_TRUE(frame->Panel2->isHidden());
    EXPECT_FALSE(Settings::DBObjectsShow);
    // Hide always hides and turns the setting off.
    Settings::DBObjectsShow = true;
    frame->menu_tools_dbobject_hideClick();
    EXPECT_FALSE(Settings::DBObjectsShow);
    EXPECT_FALSE(frame->menu_tools_dbobject_show->isChecked());
    EXPECT_TRUE(frame->menu_tools_dbobject_hide->isChecked());

    ASSERT_NE(OpenSQLite(), nullptr);  // the fixture shows the panel
    EXPECT_TRUE(frame->panel_DbObject->isVisible());
    EXPECT_TRUE(frame->Panel2->isVisible());
    EXPECT_TRUE(Settings::DBObjectsShow);
    EXPECT_TRUE(frame->menu_tools_dbobject_show->isChecked());
    EXPECT_FALSE(frame->menu_tools_dbobject_hide->isChecked());
    EXPECT_EQ(frame->panel_DbObject->x(), 0);
    EXPECT_EQ(frame->panel_DbObject->width(), 255);
    EXPECT_EQ(frame->Panel2->x(), frame->panel_DbObject->width());
    // The inner layout: close button at the right, the tree below the title.
    EXPECT_EQ(frame->btnClosePanelDBObject->x(), 255 - frame->btnClosePanelDBObject->width() - 5);
    EXPECT_EQ(frame->btnClosePanelDBObject->y(), 5);
    EXPECT_EQ(frame->TreeView_dbObject->height(), frame->panel_DbObject->height() - 30);

    // The user drags the splitter: the panel gets wider and keeps that width when it comes back.
    const int total = splitter->width() - splitter->handleWidth();
    splitter->setSizes({400, total - 400});
    Settle();
    EXPECT_EQ(frame->panel_DbObject->width(), 400);
    EXPECT_EQ(frame->btnClosePanelDBObject->x(), 400 - frame->btnClosePanelDBObject->width() - 5);
    QTest::mouseClick(frame->btnClosePanelDBObject, Qt::LeftButton);
    EXPECT_TRUE(frame->panel_DbObject->isHidden());
    EXPECT_TRUE(frame->Panel2->isHidden());
    EXPECT_FALSE(Settings::DBObjectsShow);
    frame->menu_tools_dbobject_show->trigger();
    Settle();
    EXPECT_TRUE(Settings::DBObjectsShow);
    EXPECT_EQ(frame->panel_DbObject->width(), 400);

    // The frame's resize keeps the tree below the title.
    frame->resize(900, 600);
    Settle();
    EXPECT_EQ(frame->TreeView_dbObject->height(), frame->panel_DbObject->height() - 30);
}

TEST_F(FrameCommands, CascadeAndTilingsArrangeTheWindows)
{
    std::vector<TFMain*> windows;
    for (int i = 0; i < 3; ++i) windows.push_back(OpenSQLite());
    for (TFMain* w : windows) ASSERT_NE(w, nullptr);
    frame->SubWindowOf(windows[0])->showMaximized();
    Settle();
    const QSize area = frame->MdiArea->viewport()->size();
    auto geometries = [&] {
        std::vector<QRect> rects;
        for (TFMain* w : windows) rects.push_back(frame->SubWindowOf(w)->geometry());
        return rects;
    };

    frame->N_arrangeIconVer->trigger();
    EXPECT_EQ(frame->TileMode, Qt::Vertical);
    std::vector<QRect> side = geometries();
    for (const QRect& r : side) {
        EXPECT_EQ(r.top(), 0);
        EXPECT_EQ(r.height(), area.height());
        EXPECT_NEAR(r.width(), area.width() / 3, 2);
    }
    EXPECT_FALSE(frame->SubWindowOf(windows[0])->isMaximized());
    // The active window comes first.
    EXPECT_EQ(frame->SubWindowOf(frame->ActiveQueryWindow())->geometry().left(), 0);

    frame->N_arrangeIconHer->trigger();
    EXPECT_EQ(frame->TileMode, Qt::Horizontal);
    for (const QRect& r : geometries()) {
        EXPECT_EQ(r.left(), 0);
        EXPECT_EQ(r.width(), area.width());
        EXPECT_NEAR(r.height(), area.height() / 3, 2);
    }

    // The cascade: one title bar's height apart, all of one size that fills the area with those
    // steps, the active window in front at the end of the cascade.
    frame->SubWindowOf(windows[1])->showMaximized();
    frame->MdiArea->setActiveSubWindow(frame->SubWindowOf(windows[1]));
    Settle();
    frame->N_escade->trigger();
    Settle();
    QMdiSubWindow* front = frame->SubWindowOf(windows[1]);
    const int step = front->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, front);
    ASSERT_GT(step, 0);
    std::vector<QRect> cascade = geometries();
    std::sort(cascade.begin(), cascade.end(), [](const QRect& a, const QRect& b) { return a.top() < b.top(); });
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(cascade[static_cast<std::size_t>(i)],
                  QRect(i * step, i * step, area.width() - 2 * step, area.height() - 2 * step))
            << i;
    EXPECT_FALSE(front->isMaximized());
    EXPECT_EQ(frame->MdiArea->currentSubWindow(), front);
    EXPECT_EQ(front->geometry().topLeft(), QPoint(2 * step, 2 * step));
    EXPECT_EQ(frame->MdiArea->subWindowList(QMdiArea::StackingOrder).constLast(), front);
}

TEST(MdiTiling, CascadesKeepTheWindowsLarge)
{
    struct Case {
        QSize Area;
        int Count;
        int Step;
        QSize Size;
        int Places; // positions on the diagonal before the cascade starts over
    };
    const Case cases[] = {
        {{1661, 1023}, 1, 25, {1661, 1023}, 1},
        {{1661, 1023}, 3, 25, {1611, 973}, 3},
        {{1661, 1023}, 10, 25, {1436, 798}, 10},
        // Steps that would leave less than half the area: back to the corner.
        {{400, 300}, 10, 30, {250, 150}, 6},
        {{400, 301}, 10, 30, {250, 151}, 6},
        {{400, 300}, 3, 0, {400, 300}, 3},
        {{40, 30}, 2, 50, {40, 30}, 1},
    };
    for (const Case& c : cases) {
        const std::vector<QRect> rects = MdiTiling::Cascade(c.Area, c.Count, c.Step);
        ASSERT_EQ(rects.size(), static_cast<std::size_t>(c.Count));
        for (int i = 0; i < c.Count; ++i) {
            const int k = (i % c.Places) * c.Step;
            EXPECT_EQ(rects[static_cast<std::size_t>(i)], QRect(QPoint(k, k), c.Size))
                << c.Area.width() << "x" << c.Area.height() << ", " << c.Count << " windows, window " << i;
        }
        for (const QRect& r : rects) {
            EXPECT_GE(r.width() * 2, c.Area.width());
            EXPECT_GE(r.height() * 2, c.Area.height());
            EXPECT_TRUE(QRect(QPoint(), c.Area).contains(r));
        }
    }
    EXPECT_TRUE(MdiTiling::Cascade({600, 300}, 0, 20).empty());
}

TEST(MdiTiling, GridsByModeAndCount)
{
    struct Case {
        int Count;
        Qt::Orientation Mode;
        std::vector<QRect> Rects;
    };
    const QSize area(600, 300);
    const Case cases[] = {
        {0, Qt::Horizontal, {}},
        {1, Qt::Vertical, {QRect(0, 0, 600, 300)}},
        {2, Qt::Horizontal, {QRect(0, 0, 600, 150), QRect(0, 150, 600, 150)}},
        {2, Qt::Vertical, {QRect(0, 0, 300, 300), QRect(300, 0, 300, 300)}},
        {3, Qt::Vertical, {QRect(0, 0, 200, 300), QRect(200, 0, 200, 300), QRect(400, 0, 200, 300)}},
        {4, Qt::Horizontal,
         {QRect(0, 0, 300, 150), QRect(0, 150, 300, 150), QRect(300, 0, 300, 150), QRect(300, 150, 300, 150)}},
        // The last column takes the windows left over.
        {5, Qt::Vertical,
         {QRect(0, 0, 300, 150), QRect(0, 150, 300, 150), QRect(300, 0, 300, 100), QRect(300, 100, 300, 100),
          QRect(300, 200, 300, 100)}},
        // Rounding: the last row and column reach the edge.
        {3, Qt::Horizontal, {QRect(0, 0, 600, 100), QRect(0, 100, 600, 100), QRect(0, 200, 600, 100)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MdiTiling::Tile(area, c.Count, c.Mode), c.Rects) << c.Count << " windows, mode " << c.Mode;
    const std::vector<QRect> odd = MdiTiling::Tile(QSize(301, 100), 2, Qt::Vertical);
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[1].right(), 300);
}

TEST_F(FrameCommands, AboutBoxShowsTheVersion)
{
    for (const QString& version : {QString(), QStringLiteral("5.0.2")}) {
        Settings::VersionText = version;
        bool shown = false;
        WhenModal<TfrmAbout>([&](TfrmAbout& about) {
            shown = true;
            EXPECT_EQ(about.windowTitle(), QStringLiteral("关于    Tarnvale"));
            EXPECT_EQ(about.lbl_version->text(), QStringLiteral("Tarnvale企业版") + version);
            EXPECT_EQ(about.Button1->text(), QStringLiteral("确定"));
            EXPECT_EQ(about.Image1->pixmap().toImage(), ProgramIcon().pixmap(64, 64).toImage());
            QTest::mouseClick(about.Button1, Qt::LeftButton);
        });
        frame->ToolButton_about->trigger();
        EXPECT_TRUE(shown);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

// An executable of that name in a folder put first on the PATH.
class PathWithPrograms {
public:
    explicit PathWithPrograms(const QStringList& names) : saved_(qgetenv("PATH"))
    {
        for (const QString& name : names) {
            QFile program(dir_.filePath(name));
            program.open(QIODevice::WriteOnly);
            program.write("#!/bin/sh\n");
            program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(dir_.path()) + ":/usr/bin:/bin");
    }
    ~PathWithPrograms() { qputenv("PATH", saved_); }
    QString Path(const QString& name) const { return dir_.filePath(name); }

private:
    QByteArray saved_;
    QTemporaryDir dir_;
};

TEST_F(FrameCommands, OdbcAdministratorStartsTheFirstProgramFound)
{
    RecordingOpener opener;
    {
        PathWithPrograms path({QStringLiteral("ODBCManageDataSourcesQ4"), QStringLiteral("ODBCManageDataSourcesQ5")});
        frame->mainmenu_tools2_ODBC_Admin->trigger();
        ASSERT_EQ(opener.Started.size(), 1u);
        EXPECT_EQ(opener.Started[0].first, path.Path(QStringLiteral("ODBCManageDataSourcesQ5")));
    }
    {
        PathWithPrograms path({QStringLiteral("ODBCManageDataSourcesQ4")});
        opener.StartSucceeds = false;
        frame->mainmenu_tools2_ODBC_Admin->trigger();
        ASSERT_EQ(opener.Started.size(), 2u);
        EXPECT_EQ(opener.Started[1].first, path.Path(QStringLiteral("ODBCManageDataSourcesQ4")));
    }
    EXPECT_TRUE(opener.Opened.isEmpty());
    // A program that does not start is not reported.
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(FrameCommands, WithoutAnAdministratorTheUsersDataSourceFileIsOpened)
{
    RecordingOpener opener;
    PathWithPrograms path({});
    const QByteArray savedIni = qgetenv("ODBCINI");
    const QByteArray savedHome = qgetenv("HOME");
    QTemporaryDir home;
    struct Case {
        const char* What;
        QByteArray OdbcIni;  // empty: unset
        QString Expected;
    };
    const Case cases[] = {
        {"ODBCINI names the file", savedIni, QString::fromLocal8Bit(savedIni)},
        {"ODBCINI names a missing file", QFile::encodeName(home.filePath(QStringLiteral("new.ini"))),
         home.filePath(QStringLiteral("new.ini"))},
        {"no ODBCINI: the file in the home folder", QByteArray(), home.filePath(QStringLiteral(".odbc.ini"))},
    };
    qputenv("HOME", QFile::encodeName(home.path()));
    const QByteArray before = [&] {
        QFile f(QString::fromLocal8Bit(savedIni));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    for (const Case& c : cases) {
        if (c.OdbcIni.isEmpty()) qunsetenv("ODBCINI");
        else qputenv("ODBCINI", c.OdbcIni);
        EXPECT_EQ(OdbcAdministrator::UserDsnFile(), c.Expected) << c.What;
        opener.Opened.clear();
        frame->mainmenu_tools2_ODBC_Admin->trigger();
        EXPECT_EQ(opener.Opened, QStringList{c.Expected}) << c.What;
        EXPECT_TRUE(QFileInfo(c.Expected).isFile()) << c.What;
    }
    qputenv("ODBCINI", savedIni);
    qputenv("HOME", savedHome);
    // An existing file is opened as it is; a missing one is made empty.
    QFile kept(QString::fromLocal8Bit(savedIni));
    kept.open(QIODevice::ReadOnly);
    EXPECT_EQ(kept.readAll(), before);
    EXPECT_EQ(QFileInfo(home.filePath(QStringLiteral("new.ini"))).size(), 0);
    EXPECT_TRUE(opener.Started.empty());
    EXPECT_TRUE(prompter.Prompts.empty()) << "an opened file needs no word";
}

TEST_F(FrameCommands, WithoutAProgramForTheDataSourceFileTheUserIsToldWhereItIs)
{
    RecordingOpener opener;
    PathWithPrograms path({});
    const QString file = OdbcAdministrator::UserDsnFile();
    // The desktop's own opener reports a file it could not open (headless there is no launcher at all).
    DesktopOpener::Install(nullptr);
    EXPECT_FALSE(DesktopOpener::Current().OpenFile(file));
    DesktopOpener::Install(&opener);

    opener.OpenSucceeds = false;
    frame->mainmenu_tools2_ODBC_Admin->trigger();
    EXPECT_EQ(opener.Opened, QStringList{file});
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    const PromptRecord& told = prompter.Prompts[0];
    EXPECT_EQ(told.Text, QStringLiteral("没有找到能打开ODBC数据源文件的程序。\n\nODBC数据源保存在文件\n%1\n中，可以用任何文本编辑器修改。")
                             .arg(QFileInfo(file).absoluteFilePath()));
    EXPECT_TRUE(QFileInfo(file).isAbsolute());
    EXPECT_EQ(told.Caption, frame->windowTitle());
    EXPECT_EQ(told.Icon, Prompter::Icon::Information);
    EXPECT_EQ(told.Buttons, static_cast<int>(Prompter::Ok));
}

TEST_F(FrameCommands, ExportGoesToTheActiveWindowWhileItHasAResult)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(frame->ToolButton_export->isEnabled());
    EXPECT_FALSE(frame->mainmenu_query_save->isEnabled());
    frame->ToolButton_export->trigger();
    EXPECT_TRUE(prompter.Prompts.empty()) << "a disabled command asks the window nothing";

    // Enabled, both the button and the menu item reach the window's export, which answers from
    // its messages page that there is no grid to export.
    w->ToolButton_export->setEnabled(true);
    w->SyncFrameToolbar();
    EXPECT_TRUE(frame->mainmenu_query_save->isEnabled());
    frame->ToolButton_export->trigger();
    frame->mainmenu_query_save->trigger();
    ASSERT_EQ(prompter.Prompts.size(), 2u);
    for (const PromptRecord& p : prompter.Prompts) {
        EXPECT_EQ(p.Text, "请选中要导出结果的网格");
        EXPECT_EQ(p.Caption, "提示");
    }
}

// Ctrl+N is the frame's: no widget of a query window or of the object browser keeps it.
TEST_F(FrameCommands, CtrlNOpensANewQueryWindowFromWhereverTheFocusIs)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    QApplication::setActiveWindow(frame.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    w->RichEdit_sql->setPlainText(QStringLiteral("select 1 as a"));
    frame->ToolButton_run->trigger();
    ASSERT_TRUE(WaitUntil([w] { return w->RunCounter == 0 && !w->RunWorker; }));
    ASSERT_EQ(w->ResultGrids.size(), 1u);
    struct Target {
        const char* Name;
        QWidget* Widget;
        int Page;  // the result page that shows it; -1: not on a result page
    };
    const Target targets[] = {
        {"SQL editor", w->RichEdit_sql, -1},
        {"result grid", w->ResultGrids.front(), 1},
        {"messages page", w->RichEdit_result, 0},
        {"object browser", frame->TreeView_dbObject, -1},
    };
    for (const auto& [name, widget, page] : targets) {
        SCOPED_TRACE(name);
        frame->MdiArea->setActiveSubWindow(frame->SubWindowOf(w));
        if (page >= 0) w->PageControl_result->setCurrentIndex(page);
        widget->setFocus();
        Settle();
        ASSERT_EQ(QApplication::focusWidget(), widget);
        const auto before = frame->QueryWindows().size();
        QTest::keyClick(widget, Qt::Key_N, Qt::ControlModifier);
        Settle();
        EXPECT_EQ(frame->QueryWindows().size(), before + 1);
        EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select 1 as a"));
        EXPECT_NE(frame->ActiveQueryWindow(), w);
    }
}

TEST_F(FrameCommands, ExitClosesTheWindowsAndTheFrame)
{
    ASSERT_NE(OpenSQLite(), nullptr);
    ASSERT_NE(OpenSQLite(), nullptr);
    for (TFMain* w : frame->QueryWindows()) w->RichEdit_sql->document()->setModified(false);
    frame->menu_file_exit->trigger();
    Settle();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
}

} // namespace
