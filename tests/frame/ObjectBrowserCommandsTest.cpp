// The object browser's commands on a real frame over SQLite and PostgreSQL: the pop-up menu by
// node kind, statements generated into the active query window and run there, copy with the
// record's quoting, a column dragged into the editor, the connection check and the tree font.
#include "CommandImage.h"
#include "ObjectBrowserCommands.h"
#include "ObjectBrowserFixture.h"
#include "ResultGrid.h"
#include "ResultGridModel.h"
#include "ScriptedFontChooser.h"

#include <QAction>
#include <QClipboard>
#include <QDrag>
#include <QMdiArea>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextBlock>

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

struct MenuState {
    bool Copy, AllRows, First100, RowCount, ProcedureSource;
    bool operator==(const MenuState&) const = default;
};

void PrintTo(const MenuState& m, std::ostream* os)
{
    *os << "{copy " << m.Copy << ", all " << m.AllRows << ", first100 " << m.First100 << ", count " << m.RowCount
        << ", source " << m.ProcedureSource << "}";
}

class BrowserCommandsTest : public BrowserFrameTest, public testing::WithParamInterface<BrowserDriver> {
protected:
    void SetUp() override
    {
        BrowserFrameTest::SetUp();
        CreateFixtureSchema(GetParam());
        window = Open(GetParam());
        ASSERT_NE(window, nullptr);
        rec = frame->Connections.FindConnectionByKey(window->ConnectionKey);
        ASSERT_NE(rec, nullptr);
        tables = Path(Root(), {"用户表"});
    }
    QString Object(const std::string& name) const { return Q(ObjectText(GetParam(), name)); }
    bool IsPostgreSQL() const { return std::string(GetParam().Name) == "PostgreSQL"; }

    MenuState RightClick(QTreeWidgetItem* node)
    {
        frame->PopupMenuRefresh->hide();
        for (QAction* a : frame->PopupMenuRefresh->actions()) a->setEnabled(false);
        Press(node, Qt::RightButton);
        EXPECT_TRUE(frame->PopupMenuRefresh->isVisible());
        EXPECT_TRUE(frame->N_refreshDBObject->isEnabled());
        EXPECT_TRUE(frame->N_SetFontDBObject->isEnabled());
        EXPECT_EQ(Tree().currentItem(), node);
        const MenuState state{frame->N_copyDbOject->isEnabled(), frame->n_generate_SELECT_sql->isEnabled(),
                              frame->n_generate_SELECT_First100->isEnabled(),
                              frame->n_generate_SELECT_recordcount->isEnabled(), frame->n_generate_design_sp->isEnabled()};
        frame->PopupMenuRefresh->hide();
        return state;
    }
    QString EditorText() const { return window->RichEdit_sql->toPlainText(); }
    void Run()
    {
        frame->ToolButton_runClick();
        ASSERT_TRUE(WaitUntil([this] { return window->RunCounter == 0 && window->RunWorker.isNull(); }));
    }
    ResultGridModel* FirstGrid() const
    {
        auto* grid = window->findChild<ResultGrid*>("STRINGGRID0");
        return grid ? grid->Model() : nullptr;
    }

    TFMain* window = nullptr;
    connection_rec* rec = nullptr;
    QTreeWidgetItem* tables = nullptr;
};

TEST_P(BrowserCommandsTest, ThePopupMenuFollowsTheNodeKind)
{
    const MenuState none{false, false, false, false, false};
    const MenuState table{true, true, true, true, false};

    // A table never expanded is expanded, and its details read, before the menu opens.
    QTreeWidgetItem* orders = Child(tables, Object("orders"));
    ASSERT_EQ(orders->childCount(), 0);
    EXPECT_EQ(RightClick(orders), table);
    EXPECT_TRUE(orders->isExpanded());
    ASSERT_EQ(ChildTexts(orders), (QStringList{"列", "索引"}));

    QTreeWidgetItem* index = Child(orders->child(1), "ix_orders_name");
    ASSERT_NE(index, nullptr);
    Expand(index);
    QTreeWidgetItem* view = Child(Path(Root(), {"视图"}), Object("v_orders"));
    struct Case {
        const char* Name;
        QTreeWidgetItem* Node;
        MenuState Expected;
    } cases[] = {
        {"root", Root(), none},
        {"category", tables, none},
        {"table", orders, table},
        {"view", view, table},
        {"detail group", orders->child(0), none},
        {"column", orders->child(0)->child(1), table},
        {"index", index, none},
        {"index column", index->child(0), none},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.Node, nullptr) << c.Name;
        EXPECT_EQ(RightClick(c.Node), c.Expected) << c.Name;
    }
    if (IsPostgreSQL()) {
        QTreeWidgetItem* function = Child(Path(Root(), {"存贮过程/函数"}), "shop.add_one");
        ASSERT_NE(function, nullptr);
        EXPECT_EQ(RightClick(function), (MenuState{true, false, false, false, true}));
        QTreeWidgetItem* parameter = Expand(function)->child(0)->child(0);
        ASSERT_NE(parameter, nullptr);
        EXPECT_EQ(RightClick(parameter), (MenuState{false, false, false, false, true}));
    }

    // Empty space shows no menu and leaves the selection.
    Tree().collapseItem(Root());
    Settle();
    Tree().setCurrentItem(Root());
    Press(QPoint(Tree().viewport()->width() - 2, Tree().viewport()->height() - 2), Qt::RightButton);
    EXPECT_FALSE(frame->PopupMenuRefresh->isVisible());
    EXPECT_EQ(Tree().currentItem(), Root());
    EXPECT_TRUE(prompter.Prompts.empty());

    // The items carry their captions and images, in menu order.
    QStringList captions;
    for (QAction* a : frame->PopupMenuRefresh->actions()) captions << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(captions, (QStringList{"刷新(&R)", "-", "拷贝(&C)", "-", "返回所有行(&A)", "返回前100行(&P)", "-",
                                     "记录数(&N)", "-", "查看存贮过程/函数内容(&T)", "-", "字体(&F)"}));
    EXPECT_EQ(CommandImage::Of(frame->N_refreshDBObject), 46);
    EXPECT_EQ(CommandImage::Of(frame->N_copyDbOject), 23);
    EXPECT_EQ(CommandImage::Of(frame->N_SetFontDBObject), 44);
}

TEST_P(BrowserCommandsTest, GeneratedFirst100AndRowCountRunInTheActiveWindow)
{
    frame->menu_run_display_txtClick();
    ASSERT_EQ(window->DisplayAsText, 1);
    QTreeWidgetItem* orders = Child(tables, Object("orders"));
    RightClick(orders);
    frame->n_generate_SELECT_First100->trigger();
    // Kind 20 has no row limit of its own: the statement selects every row.
    const QString from = "FROM  " + Object("orders") + "  \n;\n";
    EXPECT_EQ(EditorText(), "SELECT  id, name, price\n" + from + "\n");
    EXPECT_EQ(window->DisplayAsText, 0) << "the grid display follows a SELECT";
    EXPECT_TRUE(frame->menu_run_display_grid->isChecked());
    EXPECT_EQ(window->RichEdit_sql->textCursor().position(), EditorText().size());
    Run();
    ResultGridModel* grid = FirstGrid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowCount(), 150);
    EXPECT_EQ(grid->Cell(1, 1), "1");

    window->RichEdit_sql->setPlainText("-- count");
    RightClick(orders);
    frame->n_generate_SELECT_recordcount->trigger();
    EXPECT_EQ(EditorText(), "-- count\nSELECT    count(*)\n" + from);
    Run();
    grid = FirstGrid();
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->Cell(1, 1), "150");

    // A column node selects that column of its table; its row count is the table's.
    window->RichEdit_sql->clear();
    QTreeWidgetItem* name = orders->child(0)->child(1);
    RightClick(name);
    frame->n_generate_SELECT_sql->trigger();
    EXPECT_EQ(EditorText(), "SELECT  name\n" + from + "\n");
    window->RichEdit_sql->clear();
    frame->n_generate_SELECT_recordcount->trigger();
    EXPECT_EQ(EditorText(), "SELECT    count(*)\n" + from + "\n");

    // The object of a table whose details could not be read: all columns.
    QTreeWidgetItem* plain = Child(tables, Object("plain"));
    Tree().setCurrentItem(plain);
    window->RichEdit_sql->clear();
    frame->n_generate_SELECT_sql->trigger();
    EXPECT_EQ(EditorText(), "SELECT    *\nFROM  " + Object("plain") + "  \n;\n\n");
    if (IsPostgreSQL()) {
        // Kind 20 has no source query: nothing is written and the display stays.
        frame->menu_run_display_txtClick();
        QTreeWidgetItem* function = Child(Path(Root(), {"存贮过程/函数"}), "shop.add_one");
        Tree().setCurrentItem(function);
        window->RichEdit_sql->clear();
        frame->n_generate_design_sp->trigger();
        EXPECT_EQ(EditorText(), "");
        EXPECT_EQ(window->DisplayAsText, 1);
    }
    EXPECT_TRUE(prompter.Prompts.empty());
}

INSTANTIATE_TEST_SUITE_P(Drivers, BrowserCommandsTest, testing::ValuesIn(BrowserDrivers),
                         [](const testing::TestParamInfo<BrowserDriver>& info) { return std::string(info.param.Name); });

class BrowserCommandsSQLiteTest : public BrowserFrameTest {
protected:
    void SetUp() override
    {
        BrowserFrameTest::SetUp();
        CreateFixtureSchema(BrowserDrivers[0]);
        window = Open(BrowserDrivers[0]);
        ASSERT_NE(window, nullptr);
        rec = frame->Connections.Head();
        tables = Path(Root(), {"用户表"});
        dated = Expand(Child(tables, "dated"));
        ASSERT_NE(dated, nullptr);
        ObjectBrowserCommands::RunDrag = [this](QDrag& drag) { return Dropped(drag); };
    }
    void TearDown() override
    {
        ObjectBrowserCommands::RunDrag = nullptr;
        BrowserFrameTest::TearDown();
    }

    // The drag as the editor meets it: over the editor at the drop position, then the drop.
    QObject* Dropped(QDrag& drag)
    {
        ++drags;
        EXPECT_EQ(drag.source(), &Tree());
        EXPECT_TRUE(drag.mimeData() && !drag.mimeData()->formats().isEmpty());
        EXPECT_FALSE(drag.mimeData()->hasText()) << "nothing else takes the node for text";
        if (offEditorTarget) return offEditorTarget;
        QTextCursor at(window->RichEdit_sql->document()->findBlockByNumber(dropLine));
        at.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, dropColumn - 1);
        const QPoint point = window->RichEdit_sql->cursorRect(at).center();
        bool accept = false;
        window->RichEdit_sqlDragOver(drag.source(), point.x(), point.y(), accept);
        EXPECT_TRUE(accept);
        return accept && dropAccepted ? window->RichEdit_sql->viewport() : nullptr;
    }
    void DragNode(QTreeWidgetItem* node, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Press(node, Qt::LeftButton, modifiers);
        DragBy(QPoint(40, 3));
    }
    QString EditorText() const { return window->RichEdit_sql->toPlainText(); }

    TFMain* window = nullptr;
    connection_rec* rec = nullptr;
    QTreeWidgetItem* tables = nullptr;
    QTreeWidgetItem* dated = nullptr;
    int drags = 0;
    int dropLine = 0;
    int dropColumn = 1;
    bool dropAccepted = true;
    // A drop that lands on this widget instead of an editor.
    QObject* offEditorTarget = nullptr;
};

TEST_F(BrowserCommandsSQLiteTest, AColumnDraggedIntoTheEditorGoesInAtTheDropPositionWithItsBlanks)
{
    window->RichEdit_sql->setPlainText("SELECT  FROM dated\nWHERE 1 = 1");
    QTreeWidgetItem* column = dated->child(0)->child(0);
    ASSERT_TRUE(column->text(0).startsWith("order date (")) << column->text(0).toStdString();
    dropLine = 0;
    dropColumn = 8;
    DragNode(column);
    ASSERT_EQ(drags, 1);
    EXPECT_EQ(window->DropLine, 0);
    EXPECT_EQ(window->DropColumn, 8);
    EXPECT_EQ(EditorText(), "SELECT order date FROM dated\nWHERE 1 = 1");
    EXPECT_EQ(Tree().currentItem(), column);

    // A table at the end of the second line; a column beyond the line's end appends.
    dropLine = 1;
    dropColumn = 12;
    DragNode(dated);
    EXPECT_EQ(EditorText(), "SELECT order date FROM dated\nWHERE 1 = 1dated");

    // A refused drop inserts nothing; the root does not drag; Shift does not drag.
    dropAccepted = false;
    DragNode(column);
    EXPECT_EQ(drags, 3);
    DragNode(Root());
    DragNode(column, Qt::ShiftModifier);
    EXPECT_EQ(drags, 3);
    EXPECT_EQ(EditorText(), "SELECT order date FROM dated\nWHERE 1 = 1dated");
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(BrowserCommandsSQLiteTest, ANodeOfAnotherConnectionIsRefusedByTheDropAndTheGeneratorsButCopied)
{
    TFMain* sqlite = window;
    sqlite->RichEdit_sql->setPlainText("x");
    TFMain* pg = Open(QString::fromLatin1(TestDsn::PgDsn()), "PostgreSQL");
    ASSERT_NE(pg, nullptr);
    ASSERT_EQ(frame->ActiveQueryWindow(), pg);
    pg->RichEdit_sql->setPlainText("y");
    window = pg;
    const QString mismatch = "当前窗口的数据库连接与对象浏览器中所选中的连接不一致！";

    QTreeWidgetItem* column = dated->child(0)->child(0);
    DragNode(column);
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, mismatch);
    EXPECT_EQ(prompter.Prompts[0].Caption, frame->windowTitle());
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Ok);
    EXPECT_EQ(pg->RichEdit_sql->toPlainText(), "y");

    Tree().setCurrentItem(dated);
    frame->n_generate_SELECT_First100->trigger();
    ASSERT_EQ(prompter.Prompts.size(), 2u);
    EXPECT_EQ(prompter.Prompts[1].Text, mismatch);
    EXPECT_EQ(prompter.Prompts[1].Caption, pg->windowTitle());
    EXPECT_EQ(pg->RichEdit_sql->toPlainText(), "y");

    frame->N_copyDbOjectClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "dated");
    EXPECT_EQ(prompter.Prompts.size(), 2u);
    EXPECT_EQ(sqlite->RichEdit_sql->toPlainText(), "x");
}

TEST_F(BrowserCommandsSQLiteTest, ADropChecksItsTargetFirstThenTheConnectionOfTheTargetsOwnWindow)
{
    TFMain* sqlite = window;
    sqlite->RichEdit_sql->setPlainText("SELECT  FROM dated");
    TFMain* pg = Open(QString::fromLatin1(TestDsn::PgDsn()), "PostgreSQL");
    ASSERT_NE(pg, nullptr);
    pg->RichEdit_sql->setPlainText("y");
    ASSERT_EQ(frame->ActiveQueryWindow(), pg);
    QTreeWidgetItem* column = dated->child(0)->child(0);

    // Dropped on the MDI area's grey background, or refused: no message, nothing inserted.
    offEditorTarget = frame->MdiArea->viewport();
    DragNode(column);
    offEditorTarget = nullptr;
    dropAccepted = false;
    DragNode(column);
    dropAccepted = true;
    ASSERT_EQ(drags, 2);
    EXPECT_TRUE(prompter.Prompts.empty());

    // Into the SQLite window's editor while the PostgreSQL window is active: the name goes in at
    // the position the SQLite window recorded.
    dropLine = 0;
    dropColumn = 8;
    DragNode(column);
    EXPECT_TRUE(prompter.Prompts.empty());
    EXPECT_EQ(sqlite->RichEdit_sql->toPlainText(), "SELECT order date FROM dated");
    EXPECT_EQ(pg->RichEdit_sql->toPlainText(), "y");
    EXPECT_EQ(frame->ActiveQueryWindow(), pg);
}

TEST_F(BrowserCommandsSQLiteTest, CopyQuotesByTheKindOfTheNodesRecord)
{
    QTreeWidgetItem* orders = Expand(Child(tables, "orders"));
    QTreeWidgetItem* column = dated->child(0)->child(0);
    QTreeWidgetItem* index = Child(orders->child(1), "ix_orders_name");
    ASSERT_NE(index, nullptr);
    struct Case {
        TDbmsKind Kind;
        QTreeWidgetItem* Node;
        QString Expected;
    } cases[] = {
        {DbmsKind::Other, dated, "dated"},
        {DbmsKind::Other, column, "order date"},
        {DbmsKind::Oracle, dated, "\"dated\""},
        {DbmsKind::Oracle, column, "\"order date\""},
        {DbmsKind::Excel, dated, "[dated]"},
        {DbmsKind::MySql, column, "`order date`"},
        {DbmsKind::Oracle, index, ""},
        {DbmsKind::Oracle, tables, ""},
    };
    for (const Case& c : cases) {
        rec->DbmsKind = c.Kind;
        QGuiApplication::clipboard()->setText("before");
        Tree().setCurrentItem(c.Node);
        frame->N_copyDbOject->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), c.Expected) << c.Node->text(0).toStdString() << " kind " << c.Kind;
    }

    // Without a query window the clipboard keeps what it has.
    Tree().setCurrentItem(dated);
    window->RichEdit_sql->document()->setModified(false);
    frame->SubWindowOf(window)->close();
    Settle();
    ASSERT_TRUE(frame->QueryWindows().isEmpty());
    QGuiApplication::clipboard()->setText("before");
    frame->N_copyDbOjectClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST_F(BrowserCommandsSQLiteTest, TheChosenTreeFontIsKeptAndWrittenToTheSettingsFile)
{
    QTemporaryDir folder;
    Settings::InstallPath = folder.path() + "/";
    const QString ini = Settings::InstallPath + "Tarnvale.ini";
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Options]\r\nAutoCommit=Y\r\n");
    }
    QFont chosen(QStringLiteral("DejaVu Sans"), 14);
    chosen.setBold(true);
    chosen.setItalic(true);
    ScriptedFontChooser fonts;
    fonts.Answer = [&](const QFont&) { return std::optional<QFont>(chosen); };
    const QFont before = Tree().font();
    frame->N_SetFontDBObject->trigger();
    ASSERT_EQ(fonts.Offered.size(), 1u);
    EXPECT_EQ(fonts.Offered[0], before);
    EXPECT_EQ(fonts.Names, (QStringList{"FontDialog_treeview"}));
    EXPECT_EQ(Tree().font().family(), "DejaVu Sans");
    EXPECT_EQ(Tree().font().pointSize(), 14);
    EXPECT_TRUE(Settings::DbObjectFont.Present);
    EXPECT_EQ(Settings::DbObjectFont.FaceName, "DejaVu Sans");
    EXPECT_EQ(Settings::DbObjectFont.Size, 14);
    EXPECT_EQ(Settings::DbObjectFont.Style, FontSetting::Bold | FontSetting::Italic);
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains("[Font_DBObject]")) << text.toStdString();
    EXPECT_TRUE(text.contains("FontName=DejaVu Sans")) << text.toStdString();
    EXPECT_TRUE(text.contains("Size=14")) << text.toStdString();
    EXPECT_TRUE(text.contains("FontStyle=3")) << text.toStdString();
    EXPECT_TRUE(text.contains("AutoCommit=Y"));
    EXPECT_FALSE(QFileInfo(ini).permissions() & QFile::WriteOwner) << "the file is read-only again";

    // The next query window gives the tree the kept font again.
    Tree().setFont(before);
    frame->ToolButton_newsqlClick();
    Settle();
    EXPECT_EQ(Tree().font().family(), "DejaVu Sans");

    // Cancelled: nothing changes.
    fonts.Answer = nullptr;
    Tree().setFont(before);
    frame->N_SetFontDBObject->trigger();
    EXPECT_EQ(Tree().font(), before);
    EXPECT_EQ(Settings::DbObjectFont.FaceName, "DejaVu Sans");
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace
