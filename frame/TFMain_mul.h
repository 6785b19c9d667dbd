// The main frame: the MDI area of the query windows with the program's menus and tool bar, the
// Windows menu and its registry of open query windows, and the table of run workers.
#pragma once

#include "QueryWindowFrame.h"
#include "WorkerThreadTable.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <cstdint>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

class TFMain_mul : public QMainWindow, public QueryWindowFrame {
    Q_OBJECT
public:
    explicit TFMain_mul(QWidget* parent = nullptr);
    ~TFMain_mul() override;

    // Fields
    WorkerThreadTable ThreadTable;
    std::uint8_t AutoSizeFirstChild = 0;
    std::uint8_t DisplayAsText = 0;
    std::uint8_t DisplayToFile = 0;
    QString NewQueryKey, NewQueryUser, NewQueryPassword, NewQueryDSN;
    std::int32_t WindowMenuCount = 0;
    // Parallel to the items of N_windows: line i describes item i.
    QStringList WindowMenuRegistry;
    std::uint8_t ScheduleStarted = 0;
    QDateTime LastScheduleStart;

    // QueryWindowFrame
    TFMain* ActiveQueryWindow() override;
    int QueryWindowCount() override;
    QAction* FrameCommand(const QString& name) override;
    void CheckWindowMenuEntry(QueryWindowHandle handle, const QString& caption) override;
    void MarkWindowIdle(QueryWindowHandle handle) override;
    void RemoveWindowMenuSeparator() override;
    void RemoveWindowMenuEntry(QueryWindowHandle handle) override;
    void QueryWindowClosing() override;
    void SetAutoSizeFirstChild(std::uint8_t value) override { AutoSizeFirstChild = value; }

    QList<TFMain*> QueryWindows() const;
    QMdiSubWindow* SubWindowOf(const TFMain* window) const;

    // Windows menu
    void AddWindowMenuEntry(QueryWindowHandle handle, const QString& caption);
    void RenameWindowMenuEntry(QueryWindowHandle handle, const QString& caption);
    void MarkWindowBusy(QueryWindowHandle handle);
    // The separator item "-" and its line, added with the first query window.
    void AppendWindowMenuSeparator();
    // A window's item, whose click runs N_windowsClick.
    QAction* AppendWindowMenuItem(const QString& caption);

    // Puts a query window that has its caption into the MDI area as the active window and
    // registers it in the Windows menu.
    QMdiSubWindow* AddQueryWindow(TFMain* window);
    // Takes a closing query window (still among the frame's windows) off the Windows menu.
    void RemoveQueryWindow(TFMain* window);

    // Only the commands usable without a connection stay enabled.
    void SetDisconnectedMenuState();

    // Controls
    QMdiArea* MdiArea = nullptr;
    QWidget* panel_DbObject = nullptr;
    QWidget* Panel2 = nullptr;

    QMenu* menu_file = nullptr;
    QAction* mainmenu_file_connect = nullptr;
    QAction* mainmenu_file_newsqlfile = nullptr;
    QAction* mainmenu_file_opensqlfile = nullptr;
    QAction* mainmenu_file_savesqlfile = nullptr;
    QAction* menu_file_exit = nullptr;
    QMenu* mainmenu_eidt = nullptr;
    QAction* mainmenu_eidt_cut = nullptr;
    QAction* mainmenu_eidt_copy = nullptr;
    QAction* mainmenu_eidt_paste = nullptr;
    QAction* mainmenu_eidt_selectall = nullptr;
    QAction* mainmenu_eidt_search = nullptr;
    QAction* mainmenu_eidt_replace = nullptr;
    QAction* mainmenu_eidt_undo = nullptr;
    QAction* mainmenu_eidt_redo = nullptr;
    QMenu* menu_query = nullptr;
    QAction* mainmenu_query_run = nullptr;
    QAction* mainmenu_query_stop = nullptr;
    QAction* mainmenu_query_transmanager = nullptr;
    QMenu* mainmenu_query_display_menu = nullptr;
    QAction* mainmenu_query_display = nullptr;
    QAction* menu_run_display_grid = nullptr;
    QAction* menu_run_display_txt = nullptr;
    QAction* menu_run_display_File = nullptr;
    QAction* mainmenu_query_save = nullptr;
    QAction* mainmenu_query_schedule = nullptr;
    QMenu* mainmenu_tools2 = nullptr;
    QMenu* menu_tools_dbobject_menu = nullptr;
    QAction* menu_tools_dbobject = nullptr;
    QAction* menu_tools_dbobject_show = nullptr;
    QAction* menu_tools_dbobject_hide = nullptr;
    QAction* mainmenu_tools2_config = nullptr;
    QAction* mainmenu_tools2_ODBC_Admin = nullptr;
    QMenu* N_windows = nullptr;
    QAction* N_escade = nullptr;
    QAction* N_arrangeIconHer = nullptr;
    QAction* N_arrangeIconVer = nullptr;
    QMenu* menu_about = nullptr;
    QAction* mainmenu_about_about = nullptr;

    QToolBar* ToolBar2 = nullptr;
    QAction* ToolButton_newsql = nullptr;
    QAction* ToolButton_opensql = nullptr;
    QAction* ToolButton_savesql = nullptr;
    QAction* ToolButton_cut = nullptr;
    QAction* ToolButton_copy = nullptr;
    QAction* ToolButton_paste = nullptr;
    QAction* ToolButton_find = nullptr;
    QAction* ToolButton_replace = nullptr;
    QAction* ToolButton_undosql = nullptr;
    QAction* ToolButton_redosql = nullptr;
    QAction* ToolButton_display = nullptr;
    QAction* ToolButton_run = nullptr;
    QAction* ToolButton_stop = nullptr;
    QAction* ToolButton_export = nullptr;
    QAction* ToolButton_about = nullptr;
    QAction* ToolBtn_exit = nullptr;
    QAction* ToolButton1 = nullptr;
    QAction* ToolButton2 = nullptr;

    QMenu* PopupMenu_styleDisplay = nullptr;
    QAction* N_grid = nullptr;
    QAction* N_text = nullptr;
    QAction* N_File = nullptr;
    // The object browser's pop-up menu.
    QMenu* PopupMenuRefresh = nullptr;

public slots:
    // The click of a window item, and of the Windows menu itself.
    void N_windowsClick(QObject* sender);

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildPanels();
    QAction* Item(QMenu* menu, const char* name, const QString& caption);
    QMenu* SubMenu(QMenu* parent, const char* name, const QString& caption);
    QMenu* TopMenu(const char* name, const QString& caption);
    QAction* Tool(const char* name, const QString& caption, const QString& hint = {});
    void Register(QAction* action);
    QAction* WindowMenuItem(int index) const;
    void UncheckWindowItemsExcept(int index);
    void WatchWindowState(QMdiSubWindow* sub, TFMain* window);

    QHash<QString, QAction*> commands_;
};
