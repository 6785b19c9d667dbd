#include "TFMain_mul.h"

#include "CommandImage.h"
#include "KeywordTables.h"
#include "ModalDialogs.h"
#include "ObjectBrowserCommands.h"
#include "OstrelLibrary.h"
#include "PlatformPaths.h"
#include "ProgramIcon.h"
#include "ProgramGlobals.h"
#include "ReadOnlyAttribute.h"
#include "Settings.h"
#include "TFMain.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {

QActionGroup* RadioGroup(QObject* parent, std::initializer_list<QAction*> actions)
{
    auto* group = new QActionGroup(parent);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* a : actions) {
        a->setCheckable(true);
        group->addAction(a);
    }
    return group;
}

} // namespace

TFMain_mul::TFMain_mul(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral(" Tarnvale"));
    setWindowIcon(ProgramIcon());
    BuildMenus();
    BuildToolBar();
    BuildPanels();
    ConnectCommands();
    BuildObjectBrowser();
    BuildSchedule();
    WindowMenuRegistry << QStringLiteral("Cascade(&C)") << QStringLiteral("Tile Horizontal(&H)")
                       << QStringLiteral("Tile Vertical(&T)");

    connect(MdiArea, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* sub) {
        if (auto* w = sub ? qobject_cast<TFMain*>(sub->widget()) : nullptr) w->FormActivate();
    });
}

TFMain_mul::~TFMain_mul()
{
    // A window still open closes without questions: its run ends before its handles go, and an
    // open transaction is rolled back.
    for (TFMain* w : QueryWindows()) CloseQueryWindow(*w, false);
    if (created_) FormDestroy();
    // The query windows go while the frame's registry still exists.
    disconnect(MdiArea, nullptr, this, nullptr);
    delete MdiArea;
    MdiArea = nullptr;
    // The browser's commands filter the tree's events: they go before the tree does.
    delete BrowserCommands;
    BrowserCommands = nullptr;
}

void TFMain_mul::Register(QAction* action) { commands_.insert(action->objectName(), action); }

QAction* TFMain_mul::Item(QMenu* menu, const char* name, const QString& caption)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    menu->addAction(a);
    Register(a);
    return a;
}

QMenu* TFMain_mul::SubMenu(QMenu* parent, const char* name, const QString& caption)
{
    QMenu* m = parent->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    Register(m->menuAction());
    return m;
}

QMenu* TFMain_mul::TopMenu(const char* name, const QString& caption)
{
    QMenu* m = menuBar()->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    Register(m->menuAction());
    return m;
}

void TFMain_mul::BuildMenus()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));

    menu_file = TopMenu("menu_file", QStringLiteral("文件(&F)"));
    mainmenu_file_connect = Item(menu_file, "mainmenu_file_connect", QStringLiteral("连接(&T)"));
    mainmenu_file_newsqlfile = Item(menu_file, "mainmenu_file_newsqlfile", QStringLiteral("新建(&N)"));
    mainmenu_file_newsqlfile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mainmenu_file_opensqlfile = Item(menu_file, "mainmenu_file_opensqlfile", QStringLiteral("打开(&O)"));
    mainmenu_file_savesqlfile = Item(menu_file, "mainmenu_file_savesqlfile", QStringLiteral("保存(&S)"));
    mainmenu_file_savesqlfile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    menu_file->addSeparator();
    menu_file_exit = Item(menu_file, "menu_file_exit", QStringLiteral("退出(&E)"));

    mainmenu_eidt = TopMenu("mainmenu_eidt", QStringLiteral("编辑(&E)"));
    mainmenu_eidt_cut = Item(mainmenu_eidt, "mainmenu_eidt_cut", QStringLiteral("剪切(&T)"));
    mainmenu_eidt_copy = Item(mainmenu_eidt, "mainmenu_eidt_copy", QStringLiteral("复制(&C)"));
    mainmenu_eidt_paste = Item(mainmenu_eidt, "mainmenu_eidt_paste", QStringLiteral("粘贴(&P)"));
    mainmenu_eidt_selectall = Item(mainmenu_eidt, "mainmenu_eidt_selectall", QStringLiteral("全选(&S)"));
    mainmenu_eidt->addSeparator();
    mainmenu_eidt_search = Item(mainmenu_eidt, "mainmenu_eidt_search", QStringLiteral("查找(&S)"));
    mainmenu_eidt_replace = Item(mainmenu_eidt, "mainmenu_eidt_replace", QStringLiteral("替换(&R)"));
    mainmenu_eidt->addSeparator();
    mainmenu_eidt_undo = Item(mainmenu_eidt, "mainmenu_eidt_undo", QStringLiteral("撤消(&U)"));
    mainmenu_eidt_redo = Item(mainmenu_eidt, "mainmenu_eidt_redo", QStringLiteral("恢复(&R)"));

    menu_query = TopMenu("menu_query", QStringLiteral("查询(&Q)"));
    mainmenu_query_run = Item(menu_query, "mainmenu_query_run", QStringLiteral("运行"));
    mainmenu_query_run->setShortcut(QKeySequence(Qt::Key_F5));
    mainmenu_query_stop = Item(menu_query, "mainmenu_query_stop", QStringLiteral("停止执行"));
    mainmenu_query_transmanager = Item(menu_query, "mainmenu_query_transmanager", QStringLiteral("事务管理"));
    mainmenu_query_display_menu = SubMenu(menu_query, "mainmenu_query_display", QStringLiteral("显示结果"));
    mainmenu_query_display = mainmenu_query_display_menu->menuAction();
    menu_run_display_grid = Item(mainmenu_query_display_menu, "menu_run_display_grid", QStringLiteral("以表格显示结果(&G)"));
    menu_run_display_txt = Item(mainmenu_query_display_menu, "menu_run_display_txt", QStringLiteral("以文本显示结果(&T)"));
    menu_run_display_File = Item(mainmenu_query_display_menu, "menu_run_display_File", QStringLiteral("保存结果到文件(&F)"));
    RadioGroup(this, {menu_run_display_grid, menu_run_display_txt, menu_run_display_File});
    CommandImage::Set(menu_run_display_grid, CommandImage::GridDisplay);
    CommandImage::Set(menu_run_display_txt, CommandImage::TextDisplay);
    CommandImage::Set(menu_run_display_File, CommandImage::FileDisplay);
    mainmenu_query_save = Item(menu_query, "mainmenu_query_save", QStringLiteral("保存结果(&E)"));
    mainmenu_query_save->setEnabled(false);
    mainmenu_query_schedule = Item(menu_query, "mainmenu_query_schedule", QStringLiteral("执行计划"));

    mainmenu_tools2 = TopMenu("mainmenu_tools2", QStringLiteral("工具(&T)"));
    menu_tools_dbobject_menu = SubMenu(mainmenu_tools2, "menu_tools_dbobject", QStringLiteral("对象浏览器"));
    menu_tools_dbobject = menu_tools_dbobject_menu->menuAction();
    menu_tools_dbobject_show = Item(menu_tools_dbobject_menu, "menu_tools_dbobject_show", QStringLiteral("显示"));
    menu_tools_dbobject_hide = Item(menu_tools_dbobject_menu, "menu_tools_dbobject_hide", QStringLiteral("隐藏"));
    menu_tools_dbobject_show->setCheckable(true);
    menu_tools_dbobject_hide->setCheckable(true);
    mainmenu_tools2_config = Item(mainmenu_tools2, "mainmenu_tools2_config", QStringLiteral("选项(&O)"));
    mainmenu_tools2_ODBC_Admin = Item(mainmenu_tools2, "mainmenu_tools2_ODBC_Admin", QStringLiteral("ODBC数据源管理器"));

    N_windows = TopMenu("N_windows", QStringLiteral("窗口(&W)"));
    N_escade = Item(N_windows, "N_escade", QStringLiteral("层叠(&C)"));
    N_arrangeIconHer = Item(N_windows, "N_arrangeIconHer", QStringLiteral("横向平铺(&H)"));
    N_arrangeIconVer = Item(N_windows, "N_arrangeIconVer", QStringLiteral("纵向平铺(&T)"));
    // Opening the menu is a click on the menu itself.
    connect(N_windows, &QMenu::aboutToShow, this, [this] { N_windowsClick(N_windows); });

    menu_about = TopMenu("menu_about", QStringLiteral("关于(&H)"));
    mainmenu_about_about = Item(menu_about, "mainmenu_about_about", QStringLiteral("关于本系统(&A)"));

    PopupMenu_styleDisplay = new QMenu(this);
    PopupMenu_styleDisplay->setObjectName(QStringLiteral("PopupMenu_styleDisplay"));
    N_grid = Item(PopupMenu_styleDisplay, "N_grid", QStringLiteral("以表格显示结果"));
    N_text = Item(PopupMenu_styleDisplay, "N_text", QStringLiteral("以文本显示结果"));
    N_File = Item(PopupMenu_styleDisplay, "N_File", QStringLiteral("保存结果到文件"));
    RadioGroup(this, {N_grid, N_text, N_File});

    PopupMenuRefresh = new QMenu(this);
    PopupMenuRefresh->setObjectName(QStringLiteral("PopupMenuRefresh"));
}

QAction* TFMain_mul::Tool(const char* name, const QString& caption, const QString& hint)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(hint.isEmpty() ? caption : hint);
    ToolBar2->addAction(a);
    Register(a);
    return a;
}

void TFMain_mul::BuildToolBar()
{
    ToolBar2 = addToolBar(QStringLiteral("ToolBar2"));
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar2->setIconSize(QSize(22, 22));
    ToolButton_newsql = Tool("ToolButton_newsql", QStringLiteral("新建查询"));
    ToolButton_opensql = Tool("ToolButton_opensql", QStringLiteral("打开"));
    ToolButton_savesql = Tool("ToolButton_savesql", QStringLiteral("保存"));
    ToolBar2->addSeparator();
    ToolButton_cut = Tool("ToolButton_cut", QStringLiteral("剪切"));
    ToolButton_copy = Tool("ToolButton_copy", QStringLiteral("拷贝"));
    ToolButton_paste = Tool("ToolButton_paste", QStringLiteral("粘贴"));
    ToolButton_find = Tool("ToolButton_find", QStringLiteral("查找"));
    ToolButton_replace = Tool("ToolButton_replace", QStringLiteral("替换"));
    ToolButton_undosql = Tool("ToolButton_undosql", QStringLiteral("撤消"));
    ToolButton_redosql = Tool("ToolButton_redosql", QStringLiteral("恢复"));
    ToolBar2->addSeparator();
    ToolButton_display = Tool("ToolButton_display", QStringLiteral("显示"));
    ToolButton_display->setMenu(PopupMenu_styleDisplay);
    if (auto* button = qobject_cast<QToolButton*>(ToolBar2->widgetForAction(ToolButton_display)))
        button->setPopupMode(QToolButton::InstantPopup);
    ToolButton_run = Tool("ToolButton_run", QStringLiteral("运行"), QStringLiteral("执行查询(F5)"));
    ToolButton_stop = Tool("ToolButton_stop", QStringLiteral("停止"), QStringLiteral("取消执行查询"));
    ToolButton_export = Tool("ToolButton_export", QStringLiteral("导出"), QStringLiteral("导出结果"));
    ToolButton_export->setEnabled(false);
    ToolBar2->addSeparator();
    ToolButton_about = Tool("ToolButton_about", QStringLiteral("关于"));
    // Buttons no user action reaches.
    ToolBtn_exit = Tool("ToolBtn_exit", QStringLiteral("退出"));
    ToolButton1 = Tool("ToolButton1", QString());
    ToolButton2 = Tool("ToolButton2", QString());
    for (QAction* a : {ToolBtn_exit, ToolButton1, ToolButton2}) a->setVisible(false);

    const std::pair<QAction*, int> images[] = {
        {ToolButton_newsql, CommandImage::NewQuery}, {ToolButton_opensql, CommandImage::OpenScript},
        {ToolButton_savesql, CommandImage::SaveScript}, {ToolButton_cut, CommandImage::Cut},
        {ToolButton_copy, CommandImage::Copy},         {ToolButton_paste, CommandImage::Paste},
        {ToolButton_find, CommandImage::Find},         {ToolButton_replace, CommandImage::Replace},
        {ToolButton_undosql, CommandImage::Undo},      {ToolButton_redosql, CommandImage::Redo},
        {ToolButton_display, CommandImage::GridDisplay}, {ToolButton_run, CommandImage::Running},
        {ToolButton_stop, CommandImage::Stop},         {ToolButton_export, CommandImage::Export},
        {ToolButton_about, CommandImage::About},       {ToolBtn_exit, CommandImage::Exit},
    };
    for (const auto& [action, image] : images) CommandImage::Set(action, image);
}

void TFMain_mul::BuildPanels()
{
    PanelSplitter = new QSplitter(Qt::Horizontal, this);
    PanelSplitter->setObjectName(QStringLiteral("PanelSplitter"));
    PanelSplitter->setChildrenCollapsible(false);
    PanelSplitter->setHandleWidth(4);
    panel_DbObject = new QWidget(PanelSplitter);
    panel_DbObject->setObjectName(QStringLiteral("panel_DbObject"));
    // Room for the title and the close button; the user drags it wider for long names.
    panel_DbObject->setMinimumWidth(120);
    lbl_dbobject = new QLabel(QStringLiteral("对象浏览器"), panel_DbObject);
    lbl_dbobject->setObjectName(QStringLiteral("lbl_dbobject"));
    btnClosePanelDBObject = new QToolButton(panel_DbObject);
    btnClosePanelDBObject->setObjectName(QStringLiteral("btnClosePanelDBObject"));
    btnClosePanelDBObject->setText(QStringLiteral("×"));
    btnClosePanelDBObject->setAutoRaise(true);
    btnClosePanelDBObject->setFixedSize(18, 18);
    TreeView_dbObject = new QTreeWidget(panel_DbObject);
    TreeView_dbObject->setObjectName(QStringLiteral("TreeView_dbObject"));
    TreeView_dbObject->setHeaderHidden(true);
    TreeView_dbObject->setColumnCount(1);
    panel_DbObject->installEventFilter(this);
    MdiArea = new QMdiArea(PanelSplitter);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    PanelSplitter->addWidget(panel_DbObject);
    PanelSplitter->addWidget(MdiArea);
    PanelSplitter->setStretchFactor(0, 0);
    PanelSplitter->setStretchFactor(1, 1);
    Panel2 = PanelSplitter->handle(1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    panel_DbObject->hide();
    Panel2->hide();
    setCentralWidget(PanelSplitter);
}

QAction* TFMain_mul::FrameCommand(const QString& name) { return commands_.value(name, nullptr); }

QList<TFMain*> TFMain_mul::QueryWindows() const
{
    QList<TFMain*> windows;
    if (!MdiArea) return windows;
    for (QMdiSubWindow* sub : MdiArea->subWindowList())
        if (auto* w = qobject_cast<TFMain*>(sub->widget())) windows << w;
    return windows;
}

int TFMain_mul::QueryWindowCount() { return static_cast<int>(QueryWindows().size()); }

QMdiSubWindow* TFMain_mul::SubWindowOf(const TFMain* window) const
{
    if (!MdiArea) return nullptr;
    for (QMdiSubWindow* sub : MdiArea->subWindowList())
        if (sub->widget() == window) return sub;
    return nullptr;
}

TFMain* TFMain_mul::ActiveQueryWindow()
{
    QMdiSubWindow* sub = MdiArea ? MdiArea->currentSubWindow() : nullptr;
    return sub ? qobject_cast<TFMain*>(sub->widget()) : nullptr;
}

// ---- creation, close and destruction ----

void TFMain_mul::ConnectCommands()
{
    auto bind = [this](std::initializer_list<QAction*> actions, void (TFMain_mul::*handler)()) {
        for (QAction* a : actions) connect(a, &QAction::triggered, this, handler);
    };
    bind({mainmenu_file_connect}, &TFMain_mul::mainmenu_file_connectClick);
    bind({mainmenu_file_newsqlfile, ToolButton_newsql}, &TFMain_mul::ToolButton_newsqlClick);
    bind({mainmenu_query_run, ToolButton_run}, &TFMain_mul::ToolButton_runClick);
    bind({mainmenu_query_stop, ToolButton_stop}, &TFMain_mul::ToolButton_stopClick);
    bind({menu_run_display_grid, N_grid}, &TFMain_mul::menu_run_display_gridClick);
    bind({menu_run_display_txt, N_text}, &TFMain_mul::menu_run_display_txtClick);
    bind({menu_run_display_File, N_File}, &TFMain_mul::menu_run_display_FileClick);
    bind({menu_tools_dbobject_show}, &TFMain_mul::menu_tools_dbobject_showClick);
    bind({menu_tools_dbobject_hide}, &TFMain_mul::menu_tools_dbobject_hideClick);
    bind({menu_file_exit}, &TFMain_mul::menu_file_exitClick);
    connect(btnClosePanelDBObject, &QToolButton::clicked, this, &TFMain_mul::btnClosePanelDBObjectClick);

    bind({ToolButton_undosql, mainmenu_eidt_undo}, &TFMain_mul::ToolButton_undosqlClick);
    bind({ToolButton_redosql, mainmenu_eidt_redo}, &TFMain_mul::ToolButton_redosqlClick);
    bind({ToolButton_cut}, &TFMain_mul::ToolButton_cutClick);
    bind({mainmenu_eidt_cut}, &TFMain_mul::mainmenu_eidt_cutClick);
    bind({ToolButton_copy}, &TFMain_mul::ToolButton_copyClick);
    bind({mainmenu_eidt_copy}, &TFMain_mul::mainmenu_eidt_copyClick);
    bind({ToolButton_paste, mainmenu_eidt_paste}, &TFMain_mul::ToolButton_pasteClick);
    bind({mainmenu_eidt_selectall}, &TFMain_mul::mainmenu_eidt_selectallClick);
    bind({ToolButton_find, mainmenu_eidt_search}, &TFMain_mul::ToolButton_findClick);
    bind({ToolButton_replace, mainmenu_eidt_replace}, &TFMain_mul::ToolButton_replaceClick);
    bind({ToolButton_opensql, mainmenu_file_opensqlfile}, &TFMain_mul::ToolButton_opensqlClick);
    bind({ToolButton_savesql, mainmenu_file_savesqlfile}, &TFMain_mul::ToolButton_savesqlClick);
    bind({N_escade}, &TFMain_mul::N_escadeClick);
    bind({N_arrangeIconHer}, &TFMain_mul::N_arrangeIconHerClick);
    bind({N_arrangeIconVer}, &TFMain_mul::N_arrangeIconVerClick);
    bind({ToolButton_about, mainmenu_about_about}, &TFMain_mul::ToolButton_aboutClick);
    bind({mainmenu_tools2_ODBC_Admin}, &TFMain_mul::mainmenu_tools2_ODBC_AdminClick);
    bind({ToolButton_export, mainmenu_query_save}, &TFMain_mul::ToolButton_exportClick);
    bind({mainmenu_tools2_config}, &TFMain_mul::mainmenu_tools2_configClick);
    bind({mainmenu_query_transmanager}, &TFMain_mul::mainmenu_query_transmanagerClick);
}

void TFMain_mul::FormCreate()
{
    ScheduleStarted = 0;
    LastScheduleStart = QDateTime(QDate(1900, 1, 1), QTime(0, 0, 1));
    WindowMenuRegistry = QStringList{QStringLiteral("Cascade(&C)"), QStringLiteral("Tile Horizontal(&H)"),
                                     QStringLiteral("Tile Vertical(&T)")};
    // A missing library or entry point only means that searches find nothing.
    OstrelLibrary::Load(PlatformPaths::ProgramFolder());
    Settings::ReadInstallation();
    LoadKeywordFiles(std::filesystem::path(QFile::encodeName(Settings::InstallPath).toStdString()));
    WindowCounter = 0;
    DisplayAsText = 0;
    SetDisplayAsText(false);
    Settings::ReadOptions();
    Settings::ReadFonts();
    CreateKeywordTables();
    // A failure shows at the connect dialog, which binds the driver manager again.
    ODBCIntf::LoadODBC(ODBCIntf::DefaultLibraryName);
    AutoSizeFirstChild = 1;
    Timer1->start();
    created_ = true;
}

void TFMain_mul::FormClose()
{
    OstrelLibrary::Unload();
    Settings::WriteDBObjectsShow();
    const QString ini = Settings::IniPath();
    if (QFileInfo::exists(ini)) ReadOnlyAttribute::Set(ini);
    FreeKeywordTables();
    ClearKeywordLists();
}

void TFMain_mul::FormDestroy()
{
    WindowMenuRegistry.clear();
    ODBCIntf::UnloadODBC();
    created_ = false;
}

void TFMain_mul::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        event->ignore();
        return;
    }
    // The caller of a dialog runs on in a window once the dialog ends: the close waits for it.
    if (ModalDialogs::AnyRunning()) {
        event->ignore();
        ModalDialogs::AfterTheLast(this, [this] { close(); });
        return;
    }
    closing_ = true;
    // A window that is already closing finishes first: it waits for its run.
    auto anyClosing = [this] {
        for (TFMain* w : QueryWindows())
            if (w->IsClosing()) return true;
        return false;
    };
    while (anyClosing()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        closing_ = false;
        event->ignore();
        return;
    }
    if (created_) FormClose();
    closing_ = false;
    event->accept();
}

bool TFMain_mul::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == panel_DbObject && event->type() == QEvent::Resize) panel_DbObjectResize();
    return QMainWindow::eventFilter(watched, event);
}
