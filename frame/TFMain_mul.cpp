#include "TFMain_mul.h"

#include "CommandImage.h"
#include "TFMain.h"
#include "WindowMenuEntry.h"

#include <QAction>
#include <QActionGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QSet>
#include <QToolBar>
#include <QToolButton>

#include <functional>

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
    WindowMenuRegistry << QStringLiteral("Cascade(&C)") << QStringLiteral("Tile Horizontal(&H)")
                       << QStringLiteral("Tile Vertical(&T)");

    connect(MdiArea, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* sub) {
        if (auto* w = sub ? qobject_cast<TFMain*>(sub->widget()) : nullptr) w->FormActivate();
    });
}

TFMain_mul::~TFMain_mul()
{
    // The query windows go while the frame's registry still exists.
    disconnect(MdiArea, nullptr, this, nullptr);
    delete MdiArea;
    MdiArea = nullptr;
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
    QMdiSubWindow* sub = MdiArea->addSubWindow(window);
    WatchWindowState(sub, window);
    sub->show();
    MdiArea->setActiveSubWindow(sub);
    const QString caption = window->windowTitle();
    if (QueryWindowCount() == 1) AppendWindowMenuSeparator();
    AppendWindowMenuItem(caption);
    AddWindowMenuEntry(window->Handle(), caption);
    CheckWindowMenuEntry(window->Handle(), caption);
    return sub;
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
