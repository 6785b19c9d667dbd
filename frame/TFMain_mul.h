// The main frame: the MDI area of the query windows with the program's menus and tool bar, the
// Windows menu and its registry of open query windows, the table of run workers, the connection
// records with the object browser's tree, and the commands that open, run and close query windows.
#pragma once

#include "ConnectionList.h"
#include "QueryWindowFrame.h"
#include "WorkerThreadTable.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class ScheduleClock;
namespace SqlScriptFile {
struct ReadResult;
}
class ObjectBrowserCommands;
class ObjectBrowserTree;

class TFMain_mul : public QMainWindow, public QueryWindowFrame {
    Q_OBJECT
public:
    explicit TFMain_mul(QWidget* parent = nullptr);
    // Runs FormDestroy when FormCreate ran.
    ~TFMain_mul() override;

    // The program's set-up at the frame's creation: search library, installation key, keyword
    // files, settings, keyword tables and the ODBC binding.
    void FormCreate();
    // After every query window has closed: frees what FormCreate made and writes the object
    // browser's visibility.
    void FormClose();
    // At the frame's destruction: the Windows-menu registry and the ODBC binding.
    void FormDestroy();

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
    void WM_QUERYWINDOWCLOSING() override;
    void SetAutoSizeFirstChild(std::uint8_t value) override { AutoSizeFirstChild = value; }
    bool SaveWindowScript(TFMain& window) override;

    QList<TFMain*> QueryWindows() const;
    QMdiSubWindow* SubWindowOf(const TFMain* window) const;

    // Windows menu
    void AddWindowMenuEntry(QueryWindowHandle handle, const QString& caption);
    void RenameWindowMenuEntry(QueryWindowHandle handle, const QString& caption);
    void MarkWindowBusy(QueryWindowHandle handle);
    // The separator item and its line "-", added with the first query window.
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

    // Opens a query window titled "无标题" + N on the connection just made in the connect dialog
    // (fromDialog) or on the one New query copied. A connection that cannot be made leaves a
    // message, no window and no handle behind.
    void OpenQueryWindow(const QString& title, bool fromDialog);
    // The connect dialog, shown modally; on OK the next query window opens on its connection and
    // the object browser follows the setting. Used by start-up and the connect command.
    void ConnectThroughDialog();

    // The frame's display-mode marks.
    void SetDisplayAsText(bool asText);
    void SetDisplayToFile(bool toFile);

    // The object browser panel's inner layout.
    void LayoutObjectPanel();
    // Hides the object browser panel and its splitter and marks the hide item; the setting stays.
    void HideObjectPanel();
    // The panel changed its size: its close button stays at its right edge, the tree fills it,
    // and a shown panel's width is kept for the next time it shows.
    void panel_DbObjectResize();
    // The mode of the next tiling: windows stacked (horizontal) or side by side (vertical).
    Qt::Orientation TileMode = Qt::Horizontal;
    // Tiles the query windows in TileMode.
    void Tile();

    // What saving a window's SQL text came to.
    enum class ScriptSave { Saved, NothingToSave, Cancelled, Failed };
    // Saves the window's SQL text to a script file the user chooses (asking before replacing one);
    // the window's caption and Windows-menu item then name the file. An empty text asks nothing.
    ScriptSave SaveSqlScript(TFMain& window);
    // Opens a script file the user chooses into the window's editor.
    void OpenSqlScript(TFMain& window);
    // Puts the text of a script read from path into the window's editor and keeps its form; says
    // so when some of its bytes did not decode.
    void ShowScript(TFMain& window, const QString& path, const SqlScriptFile::ReadResult& script);
    // The connection record of a tree node, found through its root node; none when none.
    connection_rec* FindConnectionOfNode(QTreeWidgetItem* node) const;
    // The frame's part of a closing query window's release of its connection record.
    void ReleaseConnectionOf(TFMain* window);

    // ---- transactions and closing ----
    // The frame's close query: closes every query window in turn, asking to save each modified
    // text (with No to all) and to end each open transaction. Cancel, or a Yes whose save wrote
    // nothing, leaves canClose false with the windows not yet closed open.
    void FormCloseQuery(bool& canClose);
    // Closes one query window within the frame's closing: its run ends, its record goes, its
    // transaction is ended (asked when askTransaction, else rolled back), its handles are freed and
    // its Windows-menu entry removed; its own close handler does not run.
    void CloseQueryWindow(TFMain& window, bool askTransaction);

    // Connection records of the object browser, one per connection key ever used.
    ConnectionList Connections;

    // Controls
    QMdiArea* MdiArea = nullptr;
    QWidget* panel_DbObject = nullptr;
    // The splitter between the object browser and the query windows; the user drags it.
    QSplitter* PanelSplitter = nullptr;
    QWidget* Panel2 = nullptr;
    QLabel* lbl_dbobject = nullptr;
    QToolButton* btnClosePanelDBObject = nullptr;
    QTreeWidget* TreeView_dbObject = nullptr;

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

    // ---- object browser: the tree's loading and its commands ----
    QAction* N_refreshDBObject = nullptr;
    QAction* N5 = nullptr;
    QAction* N_copyDbOject = nullptr;
    QAction* N1 = nullptr;
    QAction* n_generate_SELECT_sql = nullptr;
    QAction* n_generate_SELECT_First100 = nullptr;
    QAction* N6 = nullptr;
    QAction* n_generate_SELECT_recordcount = nullptr;
    QAction* N9 = nullptr;
    QAction* n_generate_design_sp = nullptr;
    QAction* N10 = nullptr;
    QAction* N_SetFontDBObject = nullptr;
    ObjectBrowserTree* BrowserTree = nullptr;
    ObjectBrowserCommands* BrowserCommands = nullptr;

    bool ExpandTreeNode(QTreeWidgetItem* node, bool refresh, QString& error);
    bool LoadCatalog(connection_rec& rec, QString& error);
    bool FillCategoryNode(QTreeWidgetItem* node, connection_rec& rec);
    bool FillObjectDetails(QTreeWidgetItem* node, connection_rec& rec, QString& error);
    // target: the widget that took the drop; none when it was refused.
    void TreeView_dbObjectEndDrag(QObject* target);

public slots:
    void TreeView_dbObjectExpanding(QTreeWidgetItem* node);
    void TreeView_dbObjectExpanded(QTreeWidgetItem* node);
    void N_refreshDBObjectClick();
    void PopupMenuRefreshPopup();
    void N_copyDbOjectClick();
    void N_SetFontDBObjectClick();
    void n_generate_SELECT_sqlClick();
    void n_generate_SELECT_First100Click();
    void n_generate_SELECT_recordcountClick();
    void n_generate_design_spClick();
    // ---- end of the object browser ----

public:
    // ---- scheduled runs ----
    // Looks every 5000 ms for query windows whose scheduled moment has come; runs from start-up.
    QTimer* Timer1 = nullptr;
    // Where the timer takes the current date and time (tests set their own).
    const ScheduleClock* ScheduleClockInUse = nullptr;
    // The run command's save-to-file branch into the schedule's file, without a dialog; the grid
    // and text branch when the window does not save to a file.
    void RunScheduledToFile(TFMain& window);

public slots:
    void mainmenu_query_scheduleClick();
    void Timer1Timer();

private:
    void BuildSchedule();
    // Brings the window to the front, checks its connection when the settings ask and starts it.
    void LaunchScheduledRun(TFMain& window);
    bool scheduleTicking_ = false;
    // The window whose transaction the manager is asking about: the timer starts no run in it.
    QPointer<TFMain> transactionAsked_;
    // ---- end of scheduled runs ----

public slots:
    // The click of a window item, and of the Windows menu itself.
    void N_windowsClick(QObject* sender);

    void mainmenu_file_connectClick();
    void ToolButton_newsqlClick();
    void ToolButton_runClick();
    void ToolButton_stopClick();
    void menu_run_display_gridClick();
    void menu_run_display_txtClick();
    void menu_run_display_FileClick();
    void menu_tools_dbobject_showClick();
    void menu_tools_dbobject_hideClick();
    void btnClosePanelDBObjectClick();
    void FormResize();

    // Edit commands on the active query window.
    void ToolButton_undosqlClick();
    void ToolButton_redosqlClick();
    void ToolButton_cutClick();
    void mainmenu_eidt_cutClick();
    void ToolButton_copyClick();
    void mainmenu_eidt_copyClick();
    void ToolButton_pasteClick();
    void mainmenu_eidt_selectallClick();
    void ToolButton_findClick();
    void ToolButton_replaceClick();

    // SQL scripts of the active query window.
    void ToolButton_opensqlClick();
    void ToolButton_savesqlClick();

    // Arranging the query windows.
    void N_escadeClick();
    void N_arrangeIconHerClick();
    void N_arrangeIconVerClick();

    void menu_file_exitClick();
    void ToolButton_aboutClick();
    void mainmenu_tools2_ODBC_AdminClick();
    void ToolButton_exportClick();
    void mainmenu_tools2_configClick();
    // The transaction manager: commits or rolls back the active window's transaction on request.
    void mainmenu_query_transmanagerClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The close query (FormCloseQuery), then FormClose; a cancelled close query keeps the frame.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectCommands();
    // The object browser's pop-up items, its tree loading and its commands.
    void BuildObjectBrowser();
    // A new query window's own connection; false, with every handle freed and the message in
    // *message, when it cannot be made.
    bool ConnectQueryWindow(TFMain& window, QString* message);
    void ShowQueryWindow(TFMain* window);
    void RegisterQueryWindow(TFMain* window);
    // Menus after an opening failed: the state without a connection when no window is left.
    void RestoreMenusAfterFailedOpen();
    void EnableConnectedFrameItems();
    // The run command on one window: refused while it holds a schedule; in save-to-file mode the
    // result file is asked for first.
    void RunQueryWindow(TFMain& window);
    // Creates the result file and starts the run into it; a file that cannot be created is
    // reported and no run starts.
    bool StartRunToFile(TFMain& window, const QString& name);
    // Steps that put a window into its running state and start its worker; false, with the window
    // idle again, when the run could not start.
    bool StartRun(TFMain& window);
    // A start that failed with error: a box at once for a start by the user; a scheduled start
    // writes messageLines into the window's messages page and shows the box after the tick.
    void ReportStartFailure(TFMain& window, const QString& error, const QStringList& messageLines);
    // The window's worker of the run in progress; none when it has none.
    MuliThread* RunningWorkerOf(TFMain& window) const;
    // A refused display mode: the message and the window's own marks back on the frame.
    void RefuseDisplayMode(TFMain& window, const QString& message);
    void BuildMenus();
    void BuildToolBar();
    void BuildPanels();
    QAction* Item(QMenu* menu, const char* name, const QString& caption);
    QMenu* SubMenu(QMenu* parent, const char* name, const QString& caption);
    QMenu* TopMenu(const char* name, const QString& caption);
    QAction* Tool(const char* name, const QString& caption, const QString& hint = {});
    void Register(QAction* action);
    QAction* WindowMenuItem(int index) const;
    static void SetWindowItemChecked(QAction* item, bool checked);
    void UncheckWindowItemsExcept(int index);
    void WatchWindowState(QMdiSubWindow* sub, TFMain* window);
    // Runs an edit operation of the active window between two copies of its command states.
    void EditActiveWindow(void (TFMain::*operation)());
    // The query windows in the order they are arranged: the active one first.
    QList<QMdiSubWindow*> ArrangedWindows() const;

    QHash<QString, QAction*> commands_;
    // The object browser panel's width, kept while it is hidden.
    int panelWidth_ = 255;
    // Query windows opened since the MDI area was last empty: each opens one cascade step further.
    int cascadeIndex_ = 0;
    bool created_ = false;
    bool closing_ = false;
};
