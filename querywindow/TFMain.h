// The query window: the SQL editor of one connection over its results area (the messages page
// and one grid page per result set) and its two status bars. It holds the run state the worker
// works on, shows each statement's result, and keeps its command states in hidden actions that
// it mirrors onto the frame's tool bar and menus.
#pragma once

#include "QueryWindowFrame.h"
#include "QueryWindowSchedule.h"
#include "QueryWindowState.h"
#include "ResultTextView.h"
#include "RunDisplay.h"
#include "ScriptFileForm.h"
#include "SqlEditorHistory.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class MuliThread;
class QAction;
class QCloseEvent;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QSplitterHandle;
class ResultPageControl;
class QTimer;
class QToolBar;
class FindReplaceController;
class FindReplaceDialog;
class ResultGrid;
class ResultMessagesCommands;
class SqlEditorCommands;
class StatusPanelBar;

class TFMain : public QWidget,
               public QueryWindowState,
               public QueryWindowSchedule,
               public RunDisplay,
               public SqlEditorHistory {
    Q_OBJECT
public:
    // System commands of the window's frame menu (masked with 0xFFF0).
    static constexpr unsigned SC_MINIMIZE = 0xF020;
    static constexpr unsigned SC_MAXIMIZE = 0xF030;
    static constexpr unsigned SC_RESTORE = 0xF120;

    explicit TFMain(QueryWindowFrame* frame = nullptr, QWidget* parent = nullptr);
    ~TFMain() override;

    QueryWindowHandle Handle() const { return handle_; }
    QueryWindowFrame* Frame() const { return frame_; }
    // The window's hidden command of that name (tool button, button or menu item), or none.
    QAction* Command(const QString& name) const;

    // Display mode: grid or text, and save to file.
    void SetDisplayAsText(bool asText);
    void SetDisplayToFile(bool toFile);
    // Copies the window's command states onto the frame's tool bar and menus.
    void SyncFrameToolbar();

    // The display of statement i of a run in the given mode (what ShowStatementResult does for
    // the worker's current statement); textQualifier: the one the run wrapped character values in.
    void DisplayStatement(std::int32_t statementIndex, std::uint8_t displayAsText, std::uint8_t displayToFile,
                          const std::string& textQualifier = {});
    // The commit mode and the transaction state in the second status bar.
    void ShowCommitMode();
    // Appends lines to the messages text, each as a line of its own.
    void AppendResultLines(const QStringList& lines);

    // RunDisplay
    QObject* DisplayContext() override { return this; }
    void PrepareForRun() override;
    void ShowStatementResult(MuliThread& run) override;
    void ShowTransactionNote() override;
    bool FrameDue() const override { return frameDue_; }
    void ShowRunEnd(MuliThread& run, const RunEndTexts& texts) override;
    void ShowFileReport(MuliThread& run, const QStringList& lines) override;

    // Hidden tool bar: the window's command states.
    QWidget* CoolBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
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
    QAction* btn_exe = nullptr;
    QAction* btnEport = nullptr;
    QMenu* PopupMenu_styleDisplay = nullptr;
    QAction* N_grid = nullptr;
    QAction* N_text = nullptr;
    QAction* N_File = nullptr;
    // Hidden main menu, never merged into the frame.
    QMenu* MainMenu1 = nullptr;
    QAction* mainmenu_query_display = nullptr;
    QAction* menu_run_display_txt = nullptr;
    QAction* menu_run_display_grid = nullptr;
    QAction* menu_run_display_File = nullptr;
    QAction* mainmenu_query_save = nullptr;
    QAction* mainmenu_query_run = nullptr;
    QAction* mainmenu_query_stop = nullptr;
    QAction* mainmenu_eidt_search = nullptr;
    QAction* mainmenu_eidt_replace = nullptr;
    QAction* N_undo = nullptr;
    QAction* N_redo = nullptr;

    // Visible controls.
    QPlainTextEdit* RichEdit_sql = nullptr;
    QSplitterHandle* Splitter1 = nullptr;
    ResultPageControl* PageControl_result = nullptr;
    QWidget* ts_text = nullptr;
    ResultTextView* RichEdit_result = nullptr;
    StatusPanelBar* StatusBar1 = nullptr;
    StatusPanelBar* StatusBar2 = nullptr;

    // editor (its undo and redo history with the counts and cursor: SqlEditorHistory)
    std::uint8_t PastePending = 0;
    std::int32_t DropLine = 0;
    std::int32_t DropColumn = 0;
    SnapshotText LastText;
    // The form of the script last opened or saved here, which its next save keeps.
    ScriptFileForm ScriptForm;
    FindReplaceDialog* FindDialog1 = nullptr;
    FindReplaceDialog* FindDialog_sql = nullptr;
    FindReplaceDialog* ReplaceDialog1 = nullptr;
    QMenu* PopupMenu_richeditsql = nullptr;

    // The SQL editor's keys, mouse and drags (its events arrive here). key: a Qt key code or the
    // typed character, 0 when swallowed; x, y: the editor's viewport coordinates.
    void RichEdit_sqlKeyDown(int& key, Qt::KeyboardModifiers shift);
    void RichEdit_sqlKeyPress(QChar& key);
    void RichEdit_sqlMouseDown(Qt::MouseButton button);
    void RichEdit_sqlDragOver(QObject* source, int x, int y, bool& accept);
    // The keyword colouring from the earlier caret line of the last two changes to the end.
    void HighlightFromLine();
    SqlEditorCommands& EditorCommands() { return *editorCommands_; }

    // results of the last run: one slot per statement, empty for a statement without a grid
    std::vector<ResultGrid*> ResultGrids;
    std::vector<QWidget*> ResultTabs;

    // The result grids' handlers. key: a Qt key code; x, y: the grid's own coordinates.
    void ResultGridEnter(ResultGrid* sender);
    void ResultGridExit(ResultGrid* sender);
    void ResultGridDblClick(ResultGrid* sender);
    void ResultGridKeyDown(ResultGrid* sender, int& key, Qt::KeyboardModifiers shift);
    void ResultGridMouseDown(ResultGrid* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // The messages page: its keys (key set to 0 when handled), mouse and pop-up menu.
    void RichEdit_resultKeyDown(int& key, Qt::KeyboardModifiers shift);
    void RichEdit_resultMouseDown(Qt::MouseButton button);
    QMenu* PopupMenu_richeditresult = nullptr;
    QAction* N_richeditresult_cut = nullptr;
    QAction* N_richeditresult_copy = nullptr;
    QAction* N_richeditresult_paste = nullptr;
    QAction* N_richeditresult_selectall = nullptr;
    QAction* N_richeditresult_font = nullptr;

    // display
    std::uint8_t SplitterDragging = 0;

    // The worker of the window's current or last run, set by the frame's run command.
    QPointer<MuliThread> RunWorker;

    // Closing: the window asks its questions or waits for its run to end; no new run may start in it.
    bool IsClosing() const { return closing_; }
    // Asks a run in progress to stop and processes events until its worker has ended.
    void StopRunAndWait();
    // Ends the window's connection and frees its ODBC handles.
    void FreeConnectionHandles();
    // Gives up the window's share of its connection record (ConnectionReleased; the frame does it).
    void ReleaseConnection();
    // Commits or rolls back the window's transaction: true when it has ended. A commit after the
    // connection was lost says that the server rolled the transaction back; a failure is reported
    // with the driver's text and leaves the transaction state as it was.
    bool EndTransaction(bool commit);
    // When a transaction may be open: asks whether to commit (Yes) or roll back (No) and does it.
    void AskToEndTransaction();
    // The frame closes the window itself: the window's own close handler no longer runs.
    void MarkClosedByFrame() { closing_ = true; closedByFrame_ = true; }

    // What the toolkit does with the window after its close handler.
    enum class CloseAction { None, Free };

signals:
    void ConnectionReleased(TFMain* window);

public slots:
    void menu_run_display_txtClick();
    void menu_run_display_gridClick();
    void menu_run_display_FileClick();
    // Lays the editor out from the client height; skipped by a resize right after a splitter drag.
    void FormCanResize();
    void FormResize();
    void FormActivate();
    void FormShow();
    void Splitter1CanResize();
    void WMSysCommand(unsigned command);
    // SQL editor
    void RichEdit_sqlChange();
    void RichEdit_sqlSelectionChange();
    void ToolButton_undosqlClick();
    void ToolButton_redosqlClick();
    void ToolButton_copyClick();
    void ToolButton_cutClick();
    void ToolButton_pasteClick();
    void N_richeditsql_fontClick();
    // Find and replace
    void FindDialog_sqlFind();
    void FindDialog1Find();
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace();
    // Results area
    void PageControl_resultChange();
    void N_richeditresult_cutClick();
    void N_richeditresult_copyClick();
    void N_richeditresult_pasteClick();
    void N_richeditresult_selectallClick();
    void N_richeditresult_fontClick();
    // Exports the grid of the front result page to a file (the frame's export command calls it).
    void btnEportClick();
    // Exports grid to path, a large grid away from the window's thread with its progress in the
    // status bar; the outcome is said (or the file opened) once the file is in place.
    void ExportGrid(const ResultGrid& grid, const QString& path);
    // Whether an export runs away from the window's thread; no other starts meanwhile.
    bool Exporting() const { return exporting_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildCommands();
    void BuildControls();
    void FormCreate();
    // The editor's height from the client height.
    void LayOut();
    void SetEditorHeight(int height);
    void SetDisplayImage(int image);
    ResultGrid* CreateResultGrid(std::size_t i);
    void FillResultGrid(ResultGrid& grid, const TQryResult_Tesk& result, const std::string& textQualifier);
    // The results area's handlers: page changes, the export button, the messages page.
    void BuildResultHandlers();
    // The grid's handlers bound to this window's.
    void BindResultGrid(ResultGrid& grid);
    // The window's result object of a grid ("STRINGGRID" n: result n), or none.
    TQryResult_Tesk* ResultOfGrid(const ResultGrid* grid) const;
    void BringLastPageToFront();
    void BringMessagesPageToFront();
    void BringPageToFront(int index);
    // The stack's change of its front page: only that page paints.
    void PaintOnlyFrontPage();
    // Removes the last run's result pages at once; many go with their page control, deleted in
    // slices.
    void ClearResultPages();
    void ReplaceResultPageControl();
    void DeleteClearedPagesSlice();
    ResultPageControl* MakeResultPageControl(QWidget* parent);
    // The results area keeps its picture until the hold ends (at most once a frame, and at the
    // run's end).
    void HoldResultPaint();
    void ReleaseResultPaint();

    // The window's close: the save and transaction questions, then its run ends, its connection
    // goes and the frame forgets it. A cancelled question, or a save that wrote nothing, keeps the
    // window open (action None).
    void FormClose(CloseAction& action);
    // The save question of a modified text; false when the window is to stay open.
    bool AskToSave();
    // The editor and messages fonts of the settings, when the settings hold them.
    void ApplySettingFonts();

    QueryWindowFrame* frame_;
    QueryWindowHandle handle_;
    bool closing_ = false;
    bool closedByFrame_ = false;
    QSplitter* editorSplitter_ = nullptr;
    QWidget* resultsArea_ = nullptr;
    QHash<QString, QAction*> commands_;
    SqlEditorCommands* editorCommands_ = nullptr;
    FindReplaceController* findReplace_ = nullptr;
    ResultMessagesCommands* messagesCommands_ = nullptr;
    QPointer<QWidget> frontPage_;
    QTimer* paintHold_ = nullptr;
    QElapsedTimer paintHeld_; // valid while the results area's paint is held
    bool frameDue_ = false;   // the last statement shown let the held paint go
    bool ResultPaintHeld() const { return paintHeld_.isValid(); }
    QTimer* pageDeletion_ = nullptr;
    // A page control that made way for a fresh one, and its grids still to delete.
    struct ClearedPageControl {
        ResultPageControl* Control;
        std::vector<QPointer<ResultGrid>> Grids;
    };
    std::vector<ClearedPageControl> oldPageControls_;
    bool exporting_ = false;
};
