#include "TFMain_mul.h"

#include "CommandImage.h"
#include "ConnectionList.h"
#include "DbmsKindOf.h"
#include "DefaultWindowSize.h"
#include "KeywordLists.h"
#include "KeywordTables.h"
#include "MuliThread.h"
#include "ODBCDiagnostics.h"
#include "ODBCIntf.h"
#include "ObjectBrowserCommands.h"
#include "ObjectBrowserNodes.h"
#include "ObjectBrowserTree.h"
#include "OstrelLibrary.h"
#include "PlatformPaths.h"
#include "ProgramGlobals.h"
#include "Prompter.h"
#include "QueryWindowNaming.h"
#include "ReadOnlyAttribute.h"
#include "ResultFileName.h"
#include "SaveFileChoice.h"
#include "SettingFont.h"
#include "Settings.h"
#include "StatusPanelBar.h"
#include "TFMain.h"
#include "Tfrm_connect.h"
#include "WindowMenuEntry.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPolygon>
#include <QScreen>
#include <QSet>
#include <QStringDecoder>
#include <QTextCursor>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <string>

namespace {

// The running picture of the Windows menu: a green "play" mark.
QIcon RunningImage()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::darkGreen);
    painter.setBrush(QColor(0, 170, 0));
    painter.drawPolygon(QPolygon({QPoint(4, 2), QPoint(13, 8), QPoint(4, 14)}));
    return QIcon(pixmap);
}

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
    BuildMenus();
    BuildToolBar();
    BuildPanels();
    ConnectCommands();
    BuildObjectBrowser();
    WindowMenuRegistry << QStringLiteral("Cascade(&C)") << QStringLiteral("Tile Horizontal(&H)")
                       << QStringLiteral("Tile Vertical(&T)");

    connect(MdiArea, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* sub) {
        if (auto* w = sub ? qobject_cast<TFMain*>(sub->widget()) : nullptr) w->FormActivate();
    });
}

TFMain_mul::~TFMain_mul()
{
    // A window still open closes as the frame's close closes it: its run ends before its handles go.
    for (QMdiSubWindow* sub : MdiArea->subWindowList()) sub->close();
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
}

void TFMain_mul::BuildPanels()
{
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    panel_DbObject = new QWidget(central);
    panel_DbObject->setObjectName(QStringLiteral("panel_DbObject"));
    panel_DbObject->setFixedWidth(255);
    panel_DbObject->hide();
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
    auto* splitter = new QFrame(central);
    splitter->setObjectName(QStringLiteral("Panel2"));
    splitter->setFrameStyle(QFrame::VLine | QFrame::Raised);
    splitter->setFixedWidth(4);
    splitter->hide();
    Panel2 = splitter;
    MdiArea = new QMdiArea(central);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    layout->addWidget(panel_DbObject);
    layout->addWidget(Panel2);
    layout->addWidget(MdiArea, 1);
    setCentralWidget(central);
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

QAction* TFMain_mul::WindowMenuItem(int index) const
{
    const QList<QAction*> items = N_windows->actions();
    return index >= 0 && index < items.size() ? items[index] : nullptr;
}

void TFMain_mul::UncheckWindowItemsExcept(int index)
{
    const QList<QAction*> items = N_windows->actions();
    for (int i = 0; i < items.size(); ++i)
        if (i != index && items[i]->isChecked()) items[i]->setChecked(false);
}

void TFMain_mul::AddWindowMenuEntry(QueryWindowHandle handle, const QString& caption)
{
    WindowMenuRegistry << WindowMenuEntry::Line(handle, caption);
}

void TFMain_mul::RemoveWindowMenuEntry(QueryWindowHandle handle)
{
    const int index = WindowMenuEntry::Find(WindowMenuRegistry, handle);
    if (index < 0) return;
    WindowMenuRegistry.removeAt(index);
    delete WindowMenuItem(index);
}

void TFMain_mul::RemoveWindowMenuSeparator()
{
    const QList<QAction*> items = N_windows->actions();
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->text() == QLatin1String("-")) {
            delete items[i];
            if (i < WindowMenuRegistry.size()) WindowMenuRegistry.removeAt(i);
            return;
        }
    }
}

void TFMain_mul::RenameWindowMenuEntry(QueryWindowHandle handle, const QString& caption)
{
    const int index = WindowMenuEntry::Find(WindowMenuRegistry, handle);
    if (index < 0) return;
    WindowMenuRegistry[index] = WindowMenuEntry::Line(handle, caption);
    if (QAction* item = WindowMenuItem(index)) item->setText(caption);
}

void TFMain_mul::CheckWindowMenuEntry(QueryWindowHandle handle, const QString& caption)
{
    WindowMenuCount = static_cast<std::int32_t>(N_windows->actions().size());
    const int index = WindowMenuEntry::Find(WindowMenuRegistry, handle);
    if (index < 0) return;
    WindowMenuRegistry[index] = WindowMenuEntry::Line(handle, caption);
    if (QAction* item = WindowMenuItem(index)) item->setChecked(true);
    UncheckWindowItemsExcept(index);
}

void TFMain_mul::MarkWindowBusy(QueryWindowHandle handle)
{
    if (QAction* item = WindowMenuItem(WindowMenuEntry::Find(WindowMenuRegistry, handle))) {
        item->setIcon(RunningImage());
        CommandImage::Set(item, CommandImage::Running);
    }
}

void TFMain_mul::MarkWindowIdle(QueryWindowHandle handle)
{
    if (QAction* item = WindowMenuItem(WindowMenuEntry::Find(WindowMenuRegistry, handle))) {
        item->setIcon(QIcon());
        CommandImage::Set(item, CommandImage::None);
    }
}

void TFMain_mul::N_windowsClick(QObject* sender)
{
    const QList<QAction*> items = N_windows->actions();
    WindowMenuCount = static_cast<std::int32_t>(items.size());
    auto* item = qobject_cast<QAction*>(sender);
    const int index = item ? static_cast<int>(items.indexOf(item)) : -1;
    if (index < 0) return;
    item->setChecked(true);
    if (index < WindowMenuRegistry.size()) {
        const QString handle = WindowMenuEntry::HandleText(WindowMenuRegistry[index]);
        for (QMdiSubWindow* sub : MdiArea->subWindowList()) {
            auto* w = qobject_cast<TFMain*>(sub->widget());
            if (w && QString::number(w->Handle()) == handle) {
                MdiArea->setActiveSubWindow(sub);
                sub->raise();
            }
        }
    }
    UncheckWindowItemsExcept(index);
}

void TFMain_mul::AppendWindowMenuSeparator()
{
    QAction* separator = N_windows->addSeparator();
    separator->setText(QStringLiteral("-"));
    WindowMenuRegistry << QStringLiteral("-");
}

QAction* TFMain_mul::AppendWindowMenuItem(const QString& caption)
{
    auto* item = new QAction(caption, N_windows);
    item->setCheckable(true);
    N_windows->addAction(item);
    connect(item, &QAction::triggered, this, [this, item] { N_windowsClick(item); });
    return item;
}

void TFMain_mul::WatchWindowState(QMdiSubWindow* sub, TFMain* window)
{
    // Maximising, minimising and restoring are the window's system commands.
    connect(sub, &QMdiSubWindow::windowStateChanged, window,
            [window](Qt::WindowStates before, Qt::WindowStates now) {
                constexpr Qt::WindowStates sizeStates = Qt::WindowMaximized | Qt::WindowMinimized;
                if ((before & sizeStates) == (now & sizeStates)) return;
                if (now & Qt::WindowMaximized)
                    window->WMSysCommand(TFMain::SC_MAXIMIZE);
                else if (now & Qt::WindowMinimized)
                    window->WMSysCommand(TFMain::SC_MINIMIZE);
                else
                    window->WMSysCommand(TFMain::SC_RESTORE);
            });
}

QMdiSubWindow* TFMain_mul::AddQueryWindow(TFMain* window)
{
    ShowQueryWindow(window);
    RegisterQueryWindow(window);
    return SubWindowOf(window);
}

void TFMain_mul::RemoveQueryWindow(TFMain* window)
{
    if (QueryWindowCount() == 1) RemoveWindowMenuSeparator();
    RemoveWindowMenuEntry(window->Handle());
}

void TFMain_mul::SetDisconnectedMenuState()
{
    static const QSet<QString> usable{
        QStringLiteral("menu_file"),       QStringLiteral("mainmenu_file_connect"),
        QStringLiteral("menu_file_exit"),  QStringLiteral("mainmenu_eidt"),
        QStringLiteral("menu_query"),      QStringLiteral("mainmenu_tools2"),
        QStringLiteral("mainmenu_tools2_ODBC_Admin"), QStringLiteral("N_windows"),
        QStringLiteral("menu_about"),      QStringLiteral("mainmenu_about_about")};
    std::function<void(const QList<QAction*>&)> apply = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            a->setEnabled(usable.contains(a->objectName()));
            if (a->menu()) apply(a->menu()->actions());
        }
    };
    apply(menuBar()->actions());
    apply(PopupMenu_styleDisplay->actions());
    apply(PopupMenuRefresh->actions());
    for (QAction* a : ToolBar2->actions()) a->setEnabled(a == ToolButton_about);
}

void TFMain_mul::QueryWindowClosing()
{
    // Only the last query window's close leaves the frame without a connection.
    if (QueryWindowCount() != 1) return;
    SetDisconnectedMenuState();
    menu_tools_dbobject_show->setChecked(false);
    menu_tools_dbobject_hide->setChecked(true);
    panel_DbObject->hide();
    Panel2->hide();
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
    connect(menu_file_exit, &QAction::triggered, this, &QWidget::close);
    connect(btnClosePanelDBObject, &QToolButton::clicked, this, &TFMain_mul::menu_tools_dbobject_hideClick);
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
    for (TFMain* w : QueryWindows()) {
        QMdiSubWindow* sub = SubWindowOf(w);
        if (sub && !sub->close()) {
            closing_ = false;
            event->ignore();
            return;
        }
    }
    if (created_) FormClose();
    closing_ = false;
    event->accept();
}

bool TFMain_mul::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == panel_DbObject && event->type() == QEvent::Resize) LayoutObjectPanel();
    return QMainWindow::eventFilter(watched, event);
}

// ---- object browser panel and connection records ----

void TFMain_mul::LayoutObjectPanel()
{
    const int width = panel_DbObject->width();
    const int height = panel_DbObject->height();
    btnClosePanelDBObject->move(width - btnClosePanelDBObject->width() - 5, 5);
    lbl_dbobject->move(10, 7);
    lbl_dbobject->adjustSize();
    TreeView_dbObject->setGeometry(0, 30, width, std::max(height - 30, 0));
}

void TFMain_mul::menu_tools_dbobject_showClick()
{
    if (QueryWindows().isEmpty()) return;
    menu_tools_dbobject_show->setChecked(true);
    menu_tools_dbobject_hide->setChecked(false);
    panel_DbObject->show();
    Panel2->show();
    LayoutObjectPanel();
    if (TFMain* w = ActiveQueryWindow()) w->FormResize();
    Settings::DBObjectsShow = true;
}

void TFMain_mul::menu_tools_dbobject_hideClick()
{
    menu_tools_dbobject_show->setChecked(false);
    menu_tools_dbobject_hide->setChecked(true);
    panel_DbObject->hide();
    Panel2->hide();
    Settings::DBObjectsShow = false;
    LayoutObjectPanel();
}

connection_rec* TFMain_mul::FindConnectionOfNode(QTreeWidgetItem* node) const
{
    connection_rec* rec = ObjectBrowserNodes::RecordOfRoot(ObjectBrowserNodes::RootOf(node));
    return Connections.Contains(rec) ? rec : nullptr;
}

void TFMain_mul::ReleaseConnectionOf(TFMain* window)
{
    const ConnectionList::ReleaseResult released = Connections.Release(window->ConnectionKey);
    if (!released.Record || !released.Dormant) return;
    // The record's own node goes, even when another connection's node has the same text.
    QTreeWidgetItem* root = ObjectBrowserNodes::FindConnectionRoot(*TreeView_dbObject, released.Record);
    if (!root) {
        Prompter::Current().Message(QStringLiteral("发生严重错误"), windowTitle(), Prompter::Icon::Exclamation,
                                    Prompter::Ok);
        return;
    }
    delete root;
    if (TreeView_dbObject->topLevelItemCount() == 0) {
        menu_tools_dbobject_show->setChecked(false);
        menu_tools_dbobject_hide->setChecked(true);
        panel_DbObject->hide();
        Panel2->hide();
        LayoutObjectPanel();
    }
}

// ---- opening query windows ----

void TFMain_mul::ConnectThroughDialog()
{
    auto* dialog = new Tfrm_connect(this);
    frm_connect = dialog;
    const int result = dialog->exec();
    if (result == Tfrm_connect::mrOk) {
        NewConnectionKey = dialog->ConnectionKey;
        NewConnectionUser = dialog->Edit_user->text();
        NewConnectionPassword = dialog->Edit_pwd->text();
        NewConnectionDSN = dialog->ComboBox_odbc->currentText();
        ++WindowCounter;
        OpenQueryWindow(QueryWindowNaming::Title(WindowCounter), true);
        if (Settings::DBObjectsShow)
            menu_tools_dbobject_showClick();
        else
            menu_tools_dbobject_hideClick();
    }
    delete dialog;
    frm_connect = nullptr;
}

void TFMain_mul::mainmenu_file_connectClick() { ConnectThroughDialog(); }

void TFMain_mul::ToolButton_newsqlClick()
{
    TFMain* active = ActiveQueryWindow();
    if (!active) return;
    ++WindowCounter;
    NewQueryKey = active->ConnectionKey;
    NewQueryUser = active->User;
    NewQueryPassword = active->Password;
    NewQueryDSN = active->DSN;
    OpenQueryWindow(QueryWindowNaming::Title(WindowCounter), false);
}

bool TFMain_mul::ConnectQueryWindow(TFMain& w, QString* message)
{
    if (ODBCIntf::SQLAllocEnv(&w.hEnv) != SQL_SUCCESS) {
        w.hEnv = SQL_NULL_HENV;
        std::string text;
        ODBCIntf::GetODBCErrorText(SQL_NULL_HENV, SQL_NULL_HDBC, SQL_NULL_HSTMT, nullptr, 0, text);
        *message = QString::fromStdString(text);
        return false;
    }
    if (ODBCIntf::SQLAllocConnect(w.hEnv, &w.hDbc) != SQL_SUCCESS) {
        std::string text;
        U_pub::GetDiagMessage(SQL_HANDLE_ENV, w.hEnv, text);
        *message = QString::fromStdString(text);
        w.hDbc = SQL_NULL_HDBC;
        ODBCIntf::SQLFreeEnv(w.hEnv);
        w.hEnv = SQL_NULL_HENV;
        return false;
    }
    std::string dsn = w.DSN.toStdString();
    std::string user = w.User.toStdString();
    std::string password = w.Password.toStdString();
    const auto dsnLength = static_cast<SQLSMALLINT>(std::min<std::size_t>(dsn.size(), 32767));
    const SQLRETURN rc = ODBCIntf::SQLConnect(w.hDbc, reinterpret_cast<SQLCHAR*>(dsn.data()), dsnLength,
                                              reinterpret_cast<SQLCHAR*>(user.data()), SQL_NTS,
                                              reinterpret_cast<SQLCHAR*>(password.data()), SQL_NTS);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
        std::string text;
        U_pub::GetDiagMessage(SQL_HANDLE_DBC, w.hDbc, text);
        *message = QString::fromStdString(text);
        ODBCIntf::SQLFreeConnect(w.hDbc);
        ODBCIntf::SQLFreeEnv(w.hEnv);
        w.hDbc = SQL_NULL_HDBC;
        w.hEnv = SQL_NULL_HENV;
        return false;
    }
    ODBCIntf::GetSupportedFunctions(w.hDbc, w.SupportedFunctions);
    if (Settings::AutoCommit) {
        w.AutoCommit = 1;
        w.TransactionState = TransactionStates::AutoCommit;
    } else {
        w.AutoCommit = 0;
        const SQLRETURN off = ODBCIntf::SQLSetConnectOption(w.hDbc, SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_OFF);
        w.TransactionState = (off == SQL_SUCCESS || off == SQL_SUCCESS_WITH_INFO) ? TransactionStates::None
                                                                                 : TransactionStates::NotSupported;
    }
    w.StatementSeparator = Settings::StatementSeparator.toStdString();
    return true;
}

void TFMain_mul::ShowQueryWindow(TFMain* window)
{
    QMdiSubWindow* sub = MdiArea->addSubWindow(window);
    WatchWindowState(sub, window);
    sub->show();
    MdiArea->setActiveSubWindow(sub);
}

void TFMain_mul::RegisterQueryWindow(TFMain* window)
{
    const QString caption = window->windowTitle();
    if (QueryWindowCount() == 1) AppendWindowMenuSeparator();
    AppendWindowMenuItem(caption);
    AddWindowMenuEntry(window->Handle(), caption);
    CheckWindowMenuEntry(window->Handle(), caption);
}

void TFMain_mul::RestoreMenusAfterFailedOpen()
{
    // The windows still open keep their commands; only a frame without any falls back.
    if (QueryWindows().isEmpty()) SetDisconnectedMenuState();
}

void TFMain_mul::EnableConnectedFrameItems()
{
    for (QAction* a : {mainmenu_eidt_selectall, mainmenu_query_transmanager, menu_tools_dbobject, mainmenu_tools2_config,
                       N_escade})
        a->setEnabled(true);
    menu_tools_dbobject_show->setEnabled(menu_tools_dbobject->isEnabled());
    menu_tools_dbobject_hide->setEnabled(menu_tools_dbobject->isEnabled());
    N_arrangeIconHer->setEnabled(N_escade->isEnabled());
    N_arrangeIconVer->setEnabled(N_escade->isEnabled());
}

namespace {

// A script's text: UTF-8, or GB18030 when it is not valid UTF-8.
QString ScriptText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder gb18030("GB18030");
    return gb18030.isValid() ? QString(gb18030.decode(bytes)) : text;
}

} // namespace

void TFMain_mul::OpenQueryWindow(const QString& title, bool fromDialog)
{
    auto* window = new TFMain(this);
    window->ConnectionKey = fromDialog ? NewConnectionKey : NewQueryKey;
    window->User = fromDialog ? NewConnectionUser : NewQueryUser;
    window->Password = fromDialog ? NewConnectionPassword : NewQueryPassword;
    window->DSN = fromDialog ? NewConnectionDSN : NewQueryDSN;

    // The window connects before it is shown: a failed connection leaves no window and no handle.
    QString message;
    if (!ConnectQueryWindow(*window, &message)) {
        const QString caption = window->windowTitle();
        delete window;
        Prompter::Current().Message(message, caption, Prompter::Icon::Exclamation, Prompter::Ok);
        RestoreMenusAfterFailedOpen();
        return;
    }

    ShowQueryWindow(window);
    if (QueryWindowCount() == 1 && Settings::DBObjectsShow && AutoSizeFirstChild) {
        const QScreen* screen = this->screen();
        if (screen)
            if (const std::optional<QSize> size = DefaultFirstWindowSize(screen->size()))
                if (QMdiSubWindow* sub = SubWindowOf(window)) sub->resize(*size);
    }
    window->DbmsKind = DbmsKindOf(window->ConnectionKey);
    window->WindowNumber = QueryWindowNaming::WindowNumberOf(title);
    window->setWindowTitle(QueryWindowNaming::Caption(window->DSN, window->User, title));

    window->StatusBar1->SetPanelAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
    window->StatusBar1->SetPanelText(0, QStringLiteral("Ready"));
    window->StatusBar1->SetPanelText(4, QStringLiteral("当前用户：") + window->User);
    window->StatusBar1->SetPanelText(3, QStringLiteral("数据源：") + window->DSN);
    window->StatusBar1->SetPanelText(2, QStringLiteral("返回结果行数："));
    window->StatusBar1->SetPanelText(1, QStringLiteral("执行所需时间："));

    RegisterQueryWindow(window);

    if (window->AutoCommit == 1) {
        window->StatusBar2->SetPanelText(0, QStringLiteral("事务提交方式：自动提交"));
        window->StatusBar2->SetPanelText(1, QStringLiteral("不存在事务"));
    } else {
        window->StatusBar2->SetPanelText(0, QStringLiteral("事务提交方式：手工提交"));
        switch (window->TransactionState.load()) {
        case TransactionStates::NotSupported:
            window->StatusBar2->SetPanelText(1, QStringLiteral("当前连接不支持事务"));
            break;
        case TransactionStates::None: window->StatusBar2->SetPanelText(1, QStringLiteral("不存在事务")); break;
        case TransactionStates::MayBeOpen:
            window->StatusBar2->SetPanelText(1, QStringLiteral("可能存在未提交的事务"));
            break;
        default: break;
        }
    }
    window->StatusBar2->SetPanelText(
        2, QStringLiteral("SQL之间的分隔符：") + QString::fromStdString(window->StatementSeparator));

    // A script named like the window's title in the current folder comes up in its editor.
    QFile script(title);
    if (script.exists() && script.open(QIODevice::ReadOnly)) window->RichEdit_sql->setPlainText(ScriptText(script.readAll()));

    window->SyncFrameToolbar();
    EnableConnectedFrameItems();

    const ConnectionList::AttachResult attached =
        Connections.Attach(window->ConnectionKey, window->DbmsKind, window->User, window->Password, window->DSN);
    if (attached.NodesNeeded) ObjectBrowserNodes::AddConnectionNodes(*TreeView_dbObject, *attached.Record);
    if (Settings::DbObjectFont.Present)
        TreeView_dbObject->setFont(SettingFont(Settings::DbObjectFont, TreeView_dbObject->font()));

    connect(window, &TFMain::ConnectionReleased, this, &TFMain_mul::ReleaseConnectionOf);
}

// ---- run, stop and display modes ----

void TFMain_mul::SetDisplayAsText(bool asText)
{
    DisplayAsText = asText ? 1 : 0;
    menu_run_display_txt->setChecked(asText);
    menu_run_display_grid->setChecked(!asText);
    N_text->setChecked(asText);
    N_grid->setChecked(!asText);
    menu_run_display_File->setChecked(false);
    N_File->setChecked(false);
    DisplayToFile = 0;
    CommandImage::Set(ToolButton_display, asText ? CommandImage::TextDisplay : CommandImage::GridDisplay);
    CommandImage::Set(mainmenu_query_display, CommandImage::Of(ToolButton_display));
}

void TFMain_mul::SetDisplayToFile(bool toFile)
{
    DisplayToFile = toFile ? 1 : 0;
    DisplayAsText = toFile ? 1 : 0;
    menu_run_display_File->setChecked(toFile);
    menu_run_display_txt->setChecked(!toFile);
    menu_run_display_grid->setChecked(!toFile);
    N_File->setChecked(toFile);
    N_text->setChecked(!toFile);
    N_grid->setChecked(!toFile);
    if (toFile) {
        CommandImage::Set(ToolButton_display, CommandImage::FileDisplay);
        CommandImage::Set(mainmenu_query_display, CommandImage::FileDisplay);
    }
}

void TFMain_mul::RefuseDisplayMode(TFMain& window, const QString& message)
{
    Prompter::Current().Message(message, windowTitle(), Prompter::Icon::Exclamation, Prompter::Ok);
    // The click checked the item already: the window's own marks go back onto the frame.
    window.SyncFrameToolbar();
}

void TFMain_mul::menu_run_display_gridClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    if (w->HasSchedule && w->ScheduleDisplayMode != 0) {
        RefuseDisplayMode(*w, QStringLiteral("SQL 执行计划中是保存结果到文件，所以不能更改显示结果的方式！"));
        return;
    }
    DisplayAsText = 0;
    DisplayToFile = 0;
    SetDisplayAsText(false);
    w->menu_run_display_gridClick();
}

void TFMain_mul::menu_run_display_txtClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    if (w->HasSchedule && w->ScheduleDisplayMode != 1) {
        RefuseDisplayMode(
            *w, QStringLiteral("SQL 执行计划中是 以表格显示结果或者保存结果到文件，所以不能更改显示结果的方式！"));
        return;
    }
    DisplayAsText = 1;
    DisplayToFile = 0;
    SetDisplayAsText(true);
    w->menu_run_display_txtClick();
}

void TFMain_mul::menu_run_display_FileClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    if (w->HasSchedule && w->ScheduleDisplayMode != 2) {
        RefuseDisplayMode(*w, QStringLiteral("SQL 执行计划中是以表格显示结果，所以不能更改显示结果的方式！"));
        return;
    }
    DisplayAsText = 1;
    DisplayToFile = 1;
    SetDisplayToFile(true);
    w->menu_run_display_FileClick();
}

QString TFMain_mul::ChooseResultFile(TFMain& window)
{
    FileChooser::Request request;
    request.Parent = &window;
    request.Name = QStringLiteral("SaveDialog_resultsave");
    request.Title = QStringLiteral("保存查询结果");
    request.Filters = {QStringLiteral("Txt Files(*.txt)"), QStringLiteral("Csv Files(*.csv)"),
                       QStringLiteral("All Files(*.*)")};
    const SaveFileChoice::Result chosen = SaveFileChoice::Choose(
        request, [](const QString& name, int filter) { return ResultFileName::Complete(name, filter + 1); });
    return chosen.Accepted ? chosen.Path : QString();
}

MuliThread* TFMain_mul::RunningWorkerOf(TFMain& window) const
{
    MuliThread* worker =
        WorkerThreadTable::HasSlot(window.WindowNumber) ? ThreadTable.At(window.WindowNumber) : window.RunWorker.data();
    if (!worker || worker->isFinished() || window.RunCounter == 0) return nullptr;
    return worker;
}

bool TFMain_mul::StartRun(TFMain& w)
{
    struct Before {
        QString Texts[3];
        Qt::Alignment Alignment;
        bool Export, EportButton, Save, Stop, Run;
    } before{{w.StatusBar1->PanelText(0), w.StatusBar1->PanelText(1), w.StatusBar1->PanelText(2)},
             w.StatusBar1->PanelAlignment(0),
             w.ToolButton_export->isEnabled(),
             w.btnEport->isEnabled(),
             w.mainmenu_query_save->isEnabled(),
             w.ToolButton_stop->isEnabled(),
             w.ToolButton_run->isEnabled()};

    w.StatusBar1->SetPanelAlignment(0, Qt::AlignCenter);
    w.StatusBar1->SetPanelText(
        0, QStringLiteral("开始执行时间：") + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    w.StatusBar1->SetPanelText(1, QStringLiteral("执行所需时间："));
    w.StatusBar1->SetPanelText(2, QStringLiteral("返回结果行数："));
    w.btnEport->setEnabled(false);
    w.ToolButton_export->setEnabled(false);
    w.mainmenu_query_save->setEnabled(w.ToolButton_export->isEnabled());
    w.ToolButton_stop->setEnabled(true);
    w.ToolButton_run->setEnabled(false);
    w.SyncFrameToolbar();

    if (w.RunCounter != 0) return true;
    try {
        RunOptions options;
        const QTextCursor cursor = w.RichEdit_sql->textCursor();
        options.SqlText = cursor.hasSelection() ? cursor.selectedText() : w.RichEdit_sql->toPlainText();
        options.TextQualifier = Settings::TextQualifier;
        options.WriteColumnHeader = Settings::ExportWithTblColumn;
        options.MaxFieldLenOfSqlResult = Settings::MaxFieldLenOfSqlResult;
        auto* worker = new MuliThread(w, w, options, w.User, w.Password, w.DSN);
        // A window numbered beyond the table has no slot: its own reference serves the stop.
        ThreadTable.Set(w.WindowNumber, worker);
        w.RunWorker = worker;
        worker->WindowHandle = w.Handle();
        MarkWindowBusy(w.Handle());
        return true;
    } catch (const std::exception& e) {
        for (int i = 0; i < 3; ++i) w.StatusBar1->SetPanelText(i, before.Texts[i]);
        w.StatusBar1->SetPanelAlignment(0, before.Alignment);
        w.ToolButton_export->setEnabled(before.Export);
        w.btnEport->setEnabled(before.EportButton);
        w.mainmenu_query_save->setEnabled(before.Save);
        w.ToolButton_stop->setEnabled(before.Stop);
        w.ToolButton_run->setEnabled(before.Run);
        w.SyncFrameToolbar();
        Prompter::Current().Message(QString::fromLocal8Bit(e.what()), windowTitle(), Prompter::Icon::Error,
                                    Prompter::Ok);
        return false;
    }
}

void TFMain_mul::ToolButton_runClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w || w->IsClosing()) return;
    if (w->HasSchedule) {
        Prompter::Current().Message(QStringLiteral("因为存在执行计划，所以不能够手工执行SQL命令。") + QStringLiteral("\n\n") +
                                        QStringLiteral("如果想要手工执行SQL命令，请先删除执行计划！"),
                                    windowTitle(), Prompter::Icon::Exclamation, Prompter::Ok);
        return;
    }
    if (w->RunCounter != 0) return;
    if (!w->DisplayToFile) {
        StartRun(*w);
        return;
    }
    const QPointer<TFMain> window(w);
    const QString name = ChooseResultFile(*w);
    // The window may have closed or started a run while the dialog was open.
    if (name.isEmpty() || !window || w->IsClosing() || w->RunCounter != 0) return;
    w->ResultFileName = name;
    std::FILE* file = std::fopen(QFile::encodeName(name).constData(), "wb");
    if (!file) {
        const QString error = QString::fromLocal8Bit(std::strerror(errno));
        Prompter::Current().Message(name + QStringLiteral(": ") + error, windowTitle(), Prompter::Icon::Error,
                                    Prompter::Ok);
        return;
    }
    w->ResultFile = file;
    if (!StartRun(*w)) {
        std::fclose(file);
        w->ResultFile = nullptr;
    }
}

void TFMain_mul::ToolButton_stopClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    if (MuliThread* worker = RunningWorkerOf(*w)) MuliThread::StopRun(*w, worker);
}

// ---- object browser: the tree's loading and its commands ----

void TFMain_mul::BuildObjectBrowser()
{
    auto separator = [this](const char* name) {
        QAction* a = PopupMenuRefresh->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    N_refreshDBObject = Item(PopupMenuRefresh, "N_refreshDBObject", QStringLiteral("刷新(&R)"));
    CommandImage::Set(N_refreshDBObject, 46);
    N5 = separator("N5");
    N_copyDbOject = Item(PopupMenuRefresh, "N_copyDbOject", QStringLiteral("拷贝(&C)"));
    CommandImage::Set(N_copyDbOject, 23);
    N1 = separator("N1");
    n_generate_SELECT_sql = Item(PopupMenuRefresh, "n_generate_SELECT_sql", QStringLiteral("返回所有行(&A)"));
    n_generate_SELECT_First100 = Item(PopupMenuRefresh, "n_generate_SELECT_First100", QStringLiteral("返回前100行(&P)"));
    N6 = separator("N6");
    n_generate_SELECT_recordcount = Item(PopupMenuRefresh, "n_generate_SELECT_recordcount", QStringLiteral("记录数(&N)"));
    N9 = separator("N9");
    n_generate_design_sp = Item(PopupMenuRefresh, "n_generate_design_sp", QStringLiteral("查看存贮过程/函数内容(&T)"));
    N10 = separator("N10");
    N_SetFontDBObject = Item(PopupMenuRefresh, "N_SetFontDBObject", QStringLiteral("字体(&F)"));
    CommandImage::Set(N_SetFontDBObject, 44);

    BrowserTree = new ObjectBrowserTree(*TreeView_dbObject, Connections);
    BrowserCommands = new ObjectBrowserCommands(*this, *BrowserTree);
    connect(N_refreshDBObject, &QAction::triggered, this, &TFMain_mul::N_refreshDBObjectClick);
    connect(N_copyDbOject, &QAction::triggered, this, &TFMain_mul::N_copyDbOjectClick);
    connect(n_generate_SELECT_sql, &QAction::triggered, this, &TFMain_mul::n_generate_SELECT_sqlClick);
    connect(n_generate_SELECT_First100, &QAction::triggered, this, &TFMain_mul::n_generate_SELECT_First100Click);
    connect(n_generate_SELECT_recordcount, &QAction::triggered, this, &TFMain_mul::n_generate_SELECT_recordcountClick);
    connect(n_generate_design_sp, &QAction::triggered, this, &TFMain_mul::n_generate_design_spClick);
    connect(N_SetFontDBObject, &QAction::triggered, this, &TFMain_mul::N_SetFontDBObjectClick);
}

void TFMain_mul::TreeView_dbObjectExpanding(QTreeWidgetItem* node) { BrowserTree->TreeView_dbObjectExpanding(node); }

bool TFMain_mul::ExpandTreeNode(QTreeWidgetItem* node, bool refresh, QString& error)
{
    return BrowserTree->ExpandTreeNode(node, refresh, error);
}

bool TFMain_mul::LoadCatalog(connection_rec& rec, QString& error) { return BrowserTree->LoadCatalog(rec, error); }

bool TFMain_mul::FillCategoryNode(QTreeWidgetItem* node, connection_rec& rec)
{
    return BrowserTree->FillCategoryNode(node, rec);
}

bool TFMain_mul::FillObjectDetails(QTreeWidgetItem* node, connection_rec& rec, QString& error)
{
    return BrowserTree->FillObjectDetails(node, rec, error);
}

void TFMain_mul::N_refreshDBObjectClick() { BrowserTree->Refresh(); }

void TFMain_mul::PopupMenuRefreshPopup() { BrowserCommands->PopupMenuRefreshPopup(); }

void TFMain_mul::TreeView_dbObjectEndDrag(QObject* target) { BrowserCommands->TreeView_dbObjectEndDrag(target); }

void TFMain_mul::N_copyDbOjectClick() { BrowserCommands->N_copyDbOjectClick(); }

void TFMain_mul::N_SetFontDBObjectClick() { BrowserCommands->N_SetFontDBObjectClick(); }

void TFMain_mul::n_generate_SELECT_sqlClick() { BrowserCommands->GenerateSql(SqlGenerationCommand::AllRows); }

void TFMain_mul::n_generate_SELECT_First100Click() { BrowserCommands->GenerateSql(SqlGenerationCommand::First100Rows); }

void TFMain_mul::n_generate_SELECT_recordcountClick() { BrowserCommands->GenerateSql(SqlGenerationCommand::RowCount); }

void TFMain_mul::n_generate_design_spClick() { BrowserCommands->GenerateSql(SqlGenerationCommand::ProcedureSource); }

// ---- end of the object browser ----
