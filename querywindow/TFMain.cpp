#include "TFMain.h"

#include "ClosingPrompts.h"
#include "CommandImage.h"
#include "EditorBookkeeping.h"
#include "EditorDocuments.h"
#include "FindReplaceController.h"
#include "FrameToolbarMirror.h"
#include "ImageLists.h"
#include "ModalDialogs.h"
#include "MuliThread.h"
#include "Prompter.h"
#include "QueryWindowConnection.h"
#include "QueryWindowGeometry.h"
#include "ResultGrid.h"
#include "ResultGridGeometry.h"
#include "ResultMessagesCommands.h"
#include "ResultPageControl.h"
#include "ResultTabStrip.h"
#include "ResultTextView.h"
#include "SettingFont.h"
#include "SqlEditorCommands.h"
#include "SqlScriptLoader.h"
#include "Settings.h"
#include "StatusPanelBar.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QElapsedTimer>
#include <QStyle>
#include <QTextCursor>
#include <QThread>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace {

std::atomic<QueryWindowHandle> g_nextHandle{1};

QFont PixelFont(const QString& family, int pixels)
{
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

QPlainTextEdit* TextArea(QWidget* parent, const char* name, const QFont& font)
{
    auto* edit = new QPlainTextEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setFont(font);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return edit;
}

// The column width at which a grid cell shows text whole: the style's margin on either side of
// the text, and the grid line.
int CellWidthForText(const QTableView& grid, const QString& text)
{
    const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    return grid.fontMetrics().horizontalAdvance(text) + 2 * margin + (grid.showGrid() ? 1 : 0);
}

// The longest the deletion of cleared pages keeps the window from its events at a time.
constexpr int PageDeletionSliceMs = 8;
// Up to this many pages are removed from the page control in place.
constexpr std::size_t FewPages = 128;
// A page control that made way for a fresh one lies this far above the results area.
constexpr int OutOfSight = 100000;
// The results area paints at most once in this time while a run hands statements over.
constexpr int ResultPaintPeriodMs = 16;
// The allocator merges the small blocks freed so far once a large one is freed: one freed at the
// end of each slice of deletions keeps that merge to the slice's own blocks.
void MergeFreedBlocks()
{
#ifdef __GLIBC__
    constexpr std::size_t Large = 96 * 1024; // above the merge threshold, below that of a mapping of its own
    void* volatile block = std::malloc(Large);
    std::free(block);
#endif
}

} // namespace

TFMain::TFMain(QueryWindowFrame* frame, QWidget* parent)
    : QWidget(parent), frame_(frame), handle_(g_nextHandle.fetch_add(1))
{
    setWindowTitle(QStringLiteral("Tarnvale"));
    BuildCommands();
    BuildControls();
    FormCreate();
    editorCommands_ = new SqlEditorCommands(*this);
    findReplace_ = new FindReplaceController(*this);
    BuildResultHandlers();
    paintHold_ = new QTimer(this);
    paintHold_->setSingleShot(true);
    paintHold_->setInterval(ResultPaintPeriodMs);
    connect(paintHold_, &QTimer::timeout, this, &TFMain::ReleaseResultPaint);
    pageDeletion_ = new QTimer(this);
    pageDeletion_->setInterval(0);
    connect(pageDeletion_, &QTimer::timeout, this, &TFMain::DeleteClearedPagesSlice);
}

TFMain::~TFMain()
{
    pageDeletion_->stop();
    for (const ClearedPageControl& old : oldPageControls_) delete old.Control;
    oldPageControls_.clear();
    // The editor's handling goes first: the controls' last events must not reach a window that is
    // already half destroyed.
    delete findReplace_;
    delete editorCommands_;
    delete messagesCommands_;
}

QAction* TFMain::Command(const QString& name) const { return commands_.value(name, nullptr); }

void TFMain::BuildCommands()
{
    auto command = [this](const char* name, const QString& text, QObject* parent = nullptr) {
        auto* a = new QAction(text, parent ? parent : this);
        a->setObjectName(QString::fromLatin1(name));
        commands_.insert(a->objectName(), a);
        return a;
    };

    CoolBar1 = new QWidget(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    CoolBar1->hide();
    ToolBar1 = new QToolBar(CoolBar1);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->hide();

    ToolButton_newsql = command("ToolButton_newsql", QStringLiteral("新建"));
    ToolButton_opensql = command("ToolButton_opensql", QStringLiteral("打开"));
    ToolButton_savesql = command("ToolButton_savesql", QStringLiteral("保存"));
    ToolButton_cut = command("ToolButton_cut", QStringLiteral("剪切"));
    ToolButton_copy = command("ToolButton_copy", QStringLiteral("拷贝"));
    ToolButton_paste = command("ToolButton_paste", QStringLiteral("粘贴"));
    ToolButton_find = command("ToolButton_find", QStringLiteral("查找"));
    ToolButton_replace = command("ToolButton_replace", QStringLiteral("替换"));
    ToolButton_undosql = command("ToolButton_undosql", QStringLiteral("撤消"));
    ToolButton_redosql = command("ToolButton_redosql", QStringLiteral("恢复"));
    ToolButton_display = command("ToolButton_display", QStringLiteral("显示"));
    ToolButton_run = command("ToolButton_run", QStringLiteral("运行"));
    ToolButton_run->setToolTip(QStringLiteral("执行查询(F5)"));
    ToolButton_stop = command("ToolButton_stop", QStringLiteral("停止"));
    ToolButton_stop->setToolTip(QStringLiteral("取消执行查询"));
    ToolButton_export = command("ToolButton_export", QStringLiteral("导出"));
    ToolButton_export->setToolTip(QStringLiteral("导出结果"));
    ToolButton_about = command("ToolButton_about", QStringLiteral("关于"));
    ToolBtn_exit = command("ToolBtn_exit", QStringLiteral("退出"));
    ToolBar1->addActions({ToolButton_newsql, ToolButton_opensql, ToolButton_savesql, ToolButton_cut, ToolButton_copy,
                          ToolButton_paste, ToolButton_find, ToolButton_replace, ToolButton_undosql,
                          ToolButton_redosql, ToolButton_display, ToolButton_run, ToolButton_stop,
                          ToolButton_export, ToolButton_about, ToolBtn_exit});
    btn_exe = command("btn_exe", QStringLiteral("执行"));
    btnEport = command("btnEport", QStringLiteral("导出"));

    PopupMenu_styleDisplay = new QMenu(this);
    PopupMenu_styleDisplay->setObjectName(QStringLiteral("PopupMenu_styleDisplay"));
    N_grid = command("N_grid", QStringLiteral("以表格显示结果"));
    N_text = command("N_text", QStringLiteral("以文本显示结果"));
    N_File = command("N_File", QStringLiteral("SaveToFile"));
    for (QAction* a : {N_grid, N_text, N_File}) {
        a->setCheckable(true);
        PopupMenu_styleDisplay->addAction(a);
    }
    ToolButton_display->setMenu(PopupMenu_styleDisplay);

    MainMenu1 = new QMenu(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* display = MainMenu1->addMenu(QStringLiteral("显示结果"));
    display->setObjectName(QStringLiteral("mainmenu_query_display"));
    mainmenu_query_display = display->menuAction();
    mainmenu_query_display->setObjectName(QStringLiteral("mainmenu_query_display"));
    commands_.insert(mainmenu_query_display->objectName(), mainmenu_query_display);
    menu_run_display_txt = command("menu_run_display_txt", QStringLiteral("以文本显示结果"));
    menu_run_display_grid = command("menu_run_display_grid", QStringLiteral("以表格显示结果"));
    menu_run_display_File = command("menu_run_display_File", QStringLiteral("保存结果到文件"));
    for (QAction* a : {menu_run_display_txt, menu_run_display_grid, menu_run_display_File}) {
        a->setCheckable(true);
        display->addAction(a);
    }
    mainmenu_query_save = command("mainmenu_query_save", QStringLiteral("保存结果"));
    mainmenu_query_run = command("mainmenu_query_run", QStringLiteral("运行"));
    mainmenu_query_stop = command("mainmenu_query_stop", QStringLiteral("停止执行"));
    mainmenu_eidt_search = command("mainmenu_eidt_search", QStringLiteral("查找"));
    mainmenu_eidt_replace = command("mainmenu_eidt_replace", QStringLiteral("替换"));
    N_undo = command("N_undo", QStringLiteral("撤消"));
    N_redo = command("N_redo", QStringLiteral("恢复"));
    MainMenu1->addActions({mainmenu_query_save, mainmenu_query_run, mainmenu_query_stop, mainmenu_eidt_search,
                           mainmenu_eidt_replace, N_undo, N_redo});

    // The form's own disabled commands.
    for (QAction* a : {ToolButton_cut, ToolButton_copy, ToolButton_find, ToolButton_replace, ToolButton_stop,
                       ToolButton_export})
        a->setEnabled(false);
}

void TFMain::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    editorSplitter_ = new QSplitter(Qt::Vertical, this);
    editorSplitter_->setChildrenCollapsible(false);
    editorSplitter_->setHandleWidth(QueryWindowGeometry::SplitterHeight);

    RichEdit_sql = TextArea(editorSplitter_, "RichEdit_sql", PixelFont(QStringLiteral("宋体"), 13));
    RichEdit_sql->setDocument(NewEditorDocument(*RichEdit_sql->document(), RichEdit_sql));
    // The window keeps its own history of the editor's text.
    RichEdit_sql->setUndoRedoEnabled(false);

    // The results area holds the page control: one of many pages makes way for a fresh one there,
    // the splitter untouched.
    resultsArea_ = new QWidget(editorSplitter_);
    auto* areaLayout = new QVBoxLayout(resultsArea_);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    PageControl_result = MakeResultPageControl(resultsArea_);
    areaLayout->addWidget(PageControl_result);
    ts_text = new QWidget;
    ts_text->setObjectName(QStringLiteral("ts_text"));
    auto* textLayout = new QVBoxLayout(ts_text);
    textLayout->setContentsMargins(0, 0, 0, 0);
    RichEdit_result = new ResultTextView(ts_text);
    RichEdit_result->setObjectName(QStringLiteral("RichEdit_result"));
    RichEdit_result->setFont(PixelFont(QStringLiteral("宋体"), 12));
    RichEdit_result->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit_result->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textLayout->addWidget(RichEdit_result);
    PageControl_result->addTab(ts_text, ImageLists::ImageList_forshowresult(ImageLists::MessagesPageImage),
                               QStringLiteral("消息"));
    frontPage_ = ts_text;

    editorSplitter_->addWidget(RichEdit_sql);
    editorSplitter_->addWidget(resultsArea_);
    editorSplitter_->setStretchFactor(0, 0);
    editorSplitter_->setStretchFactor(1, 1);
    Splitter1 = editorSplitter_->handle(1);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    // The results area stays hidden until the first run.
    resultsArea_->hide();
    connect(editorSplitter_, &QSplitter::splitterMoved, this, &TFMain::Splitter1CanResize);

    StatusBar2 = new StatusPanelBar(3, this);
    StatusBar2->setObjectName(QStringLiteral("StatusBar2"));
    StatusBar2->setFixedHeight(QueryWindowGeometry::StatusBarHeight);
    StatusBar1 = new StatusPanelBar(5, this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(QueryWindowGeometry::StatusBarHeight);
    const QString bar1[] = {QStringLiteral("开始运行时间："), QStringLiteral("执行时间："), QStringLiteral("返回结果行数："),
                            QStringLiteral("未连接至数据库"), QStringLiteral("当前用户")};
    for (int i = 0; i < 5; ++i) StatusBar1->SetPanelText(i, bar1[i]);
    StatusBar2->SetPanelText(0, QStringLiteral("事务提交方式："));
    StatusBar2->SetPanelText(2, QStringLiteral("SQL之间的分隔符："));

    layout->addWidget(editorSplitter_, 1);
    layout->addWidget(StatusBar2);
    layout->addWidget(StatusBar1);
}

ResultPageControl* TFMain::MakeResultPageControl(QWidget* parent)
{
    auto* pages = new ResultPageControl(parent);
    pages->setObjectName(QStringLiteral("PageControl_result"));
    pages->setTabPosition(QTabWidget::South);
    connect(pages, &ResultPageControl::currentChanged, this, &TFMain::PageControl_resultChange);
    connect(pages->Pages(), &QStackedWidget::currentChanged, this, &TFMain::PaintOnlyFrontPage);
    return pages;
}

void TFMain::FormCreate()
{
    DropLine = 0;
    DropColumn = 0;
    PastePending = 0;
    UndoCount = 0;
    RedoCount = 0;
    ToolButton_undosql->setEnabled(UndoCount > 0);
    N_undo->setEnabled(UndoCount > 0);
    ToolButton_redosql->setEnabled(RedoCount > 0);
    N_redo->setEnabled(RedoCount > 0);
    HistoryCursor = 64;
    RestoringHistory = 0;
    LastText.clear();

    DisplayAsText = 0;
    SetDisplayAsText(false);
    DisplayToFile = 0;

    FormResize();

    const bool find = ToolButton_undosql->isEnabled() || ToolButton_redosql->isEnabled();
    for (QAction* a : {ToolButton_find, mainmenu_eidt_search, ToolButton_replace, mainmenu_eidt_replace})
        a->setEnabled(find);

    LayOut();
    SplitterDragging = 0;
    PrevCaretLine = 1;
    CaretLine = 1;

    ClearSchedule();
}

void TFMain::SetDisplayImage(int image)
{
    CommandImage::Set(ToolButton_display, image);
    CommandImage::Set(mainmenu_query_display, CommandImage::Of(ToolButton_display));
}

void TFMain::SetDisplayAsText(bool asText)
{
    DisplayAsText = asText ? 1 : 0;
    DisplayToFile = 0;
    menu_run_display_txt->setChecked(asText);
    N_text->setChecked(asText);
    menu_run_display_grid->setChecked(!asText);
    N_grid->setChecked(!asText);
    menu_run_display_File->setChecked(false);
    N_File->setChecked(false);
    SetDisplayImage(asText ? CommandImage::TextDisplay : CommandImage::GridDisplay);
}

void TFMain::SetDisplayToFile(bool toFile)
{
    if (!toFile) {
        SetDisplayAsText(false);
        return;
    }
    DisplayAsText = 1;
    DisplayToFile = 1;
    menu_run_display_File->setChecked(true);
    N_File->setChecked(true);
    menu_run_display_txt->setChecked(false);
    N_text->setChecked(false);
    menu_run_display_grid->setChecked(false);
    N_grid->setChecked(false);
    SetDisplayImage(CommandImage::FileDisplay);
}

void TFMain::menu_run_display_txtClick()
{
    DisplayAsText = 1;
    DisplayToFile = 0;
    SetDisplayAsText(true);
}

void TFMain::menu_run_display_gridClick()
{
    DisplayAsText = 0;
    DisplayToFile = 0;
    SetDisplayAsText(false);
}

void TFMain::menu_run_display_FileClick()
{
    DisplayAsText = 1;
    DisplayToFile = 1;
    SetDisplayToFile(true);
}

void TFMain::SyncFrameToolbar()
{
    // Only the window in front speaks for the frame's commands (a tick may have brought another
    // window to the front while this one's dialog was open).
    if (!frame_ || frame_->ActiveQueryWindow() != this) return;
    QueryWindowFrame* frame = frame_;
    FrameToolbarMirror::Apply([this](const QString& name) { return Command(name); },
                              [frame](const QString& name) { return frame->FrameCommand(name); });
}

void TFMain::SetEditorHeight(int height)
{
    using namespace QueryWindowGeometry;
    const int rest = this->height() - height - StatusBar1->height() - StatusBar2->height() - SplitterHeight;
    editorSplitter_->setSizes({std::max(height, 0), std::max(rest, 0)});
}

void TFMain::FormCanResize()
{
    // A resize right after the user moved the splitter keeps the split.
    if (!SplitterDragging) LayOut();
}

void TFMain::LayOut()
{
    StatusBar1->setFixedHeight(QueryWindowGeometry::StatusBarHeight);
    // With the results area hidden the editor fills the window above the status bars.
    if (PageControl_result->isVisibleTo(this)) SetEditorHeight(QueryWindowGeometry::EditorHeightWithResults(height()));
}

void TFMain::FormResize()
{
    const int w = width();
    const auto bar1 = QueryWindowGeometry::StatusBar1PanelWidths(w);
    for (int i = 0; i < 5; ++i) StatusBar1->SetPanelWidth(i, bar1[static_cast<std::size_t>(i)]);
    const auto bar2 = QueryWindowGeometry::StatusBar2PanelWidths(w);
    for (int i = 0; i < 3; ++i) StatusBar2->SetPanelWidth(i, bar2[static_cast<std::size_t>(i)]);
    SplitterDragging = 0;
}

void TFMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormCanResize();
    FormResize();
}

void TFMain::Splitter1CanResize() { SplitterDragging = 1; }

void TFMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFMain::FormShow()
{
    RichEdit_sql->setFocus();
    ApplySettingFonts();
}

void TFMain::FormActivate()
{
    if (frame_) frame_->CheckWindowMenuEntry(handle_, windowTitle());
    SyncFrameToolbar();
}

void TFMain::WMSysCommand(unsigned command)
{
    if (frame_) frame_->SetAutoSizeFirstChild((command & 0xFFF0) == SC_MAXIMIZE ? 0 : 1);
}

void TFMain::AppendResultLines(const QStringList& lines)
{
    if (!lines.isEmpty()) RichEdit_result->appendPlainText(lines.join(QLatin1Char('\n')));
}

void TFMain::ClearResultPages()
{
    ReleaseResultPaint();
    const auto pages = static_cast<std::size_t>(std::count_if(ResultTabs.begin(), ResultTabs.end(), [](QWidget* p) { return p; }));
    if (pages > FewPages) {
        ReplaceResultPageControl();
    } else {
        // Pages that go are no page change by the user.
        const QSignalBlocker blocker(PageControl_result);
        PageControl_result->setCurrentWidget(ts_text);
        // A deleted page takes its tab along; from the back, no removal moves the tabs after it.
        for (auto i = ResultTabs.size(); i-- > 0;) delete ResultTabs[i];
    }
    ResultGrids.clear();
    ResultTabs.clear();
    RichEdit_result->clear();
}

void TFMain::ReplaceResultPageControl()
{
    // A hide passes over every widget inside: a page control of many pages makes way at once for a
    // new one with the messages page and moves out of sight, still shown. Its grids go a slice at a time, then the control
    // with its empty pages. It and its grids lose their names, so that no lookup finds them.
    ResultPageControl* old = PageControl_result;
    old->disconnect(this);
    old->Pages()->disconnect(this);
    const bool shown = old->isVisibleTo(resultsArea_);
    QWidget* focus = window()->focusWidget();
    const bool focusInside = focus && old->isAncestorOf(focus);
    resultsArea_->layout()->removeWidget(old);
    old->move(0, -OutOfSight);
    old->setObjectName(QString());
    ClearedPageControl cleared{old, {}};
    cleared.Grids.reserve(ResultGrids.size());
    for (ResultGrid* grid : ResultGrids) {
        if (!grid) continue;
        grid->setObjectName(QString());
        cleared.Grids.emplace_back(grid);
    }
    {
        const QSignalBlocker blocker(old);
        old->setCurrentIndex(0);
        old->removeTab(old->indexOf(ts_text));
    }
    ResultPageControl* fresh = MakeResultPageControl(resultsArea_);
    resultsArea_->layout()->addWidget(fresh);
    {
        // The messages page's coming back is no page change by the user: the keys stay where they are.
        const QSignalBlocker blocker(fresh);
        fresh->addTab(ts_text, ImageLists::ImageList_forshowresult(ImageLists::MessagesPageImage), QStringLiteral("消息"));
    }
    ts_text->setUpdatesEnabled(true);
    frontPage_ = ts_text;
    PageControl_result = fresh;
    fresh->setVisible(shown);
    // The keys go to no page out of sight.
    if (focusInside) RichEdit_result->setFocus(Qt::OtherFocusReason);
    oldPageControls_.push_back(std::move(cleared));
    pageDeletion_->start();
}

void TFMain::DeleteClearedPagesSlice()
{
    QElapsedTimer slice;
    slice.start();
    while (!oldPageControls_.empty() && slice.elapsed() < PageDeletionSliceMs) {
        ClearedPageControl& old = oldPageControls_.back();
        if (!old.Grids.empty()) {
            delete old.Grids.back().data();
            old.Grids.pop_back();
        } else if (old.Control->count() > 0) {
            // Without its grids, a hide passes over few widgets; from the back, no removal moves
            // the tabs after it.
            if (old.Control->isVisible()) old.Control->hide();
            delete old.Control->widget(old.Control->count() - 1);
        } else {
            delete old.Control;
            oldPageControls_.pop_back();
        }
    }
    MergeFreedBlocks();
    if (oldPageControls_.empty()) pageDeletion_->stop();
}

void TFMain::HoldResultPaint()
{
    if (ResultPaintHeld()) return;
    PageControl_result->setUpdatesEnabled(false);
    paintHold_->start();
    paintHeld_.start();
}

void TFMain::ReleaseResultPaint()
{
    // The hold is its own state: once its timer has run out, the timer is no longer active.
    if (!ResultPaintHeld()) return;
    paintHeld_.invalidate();
    paintHold_->stop();
    BringLastPageToFront();
    PageControl_result->setUpdatesEnabled(true);
}

void TFMain::PrepareForRun()
{
    const int editorHeight = QueryWindowGeometry::EditorHeightAtRunStart(height());
    ClearResultPages();
    resultsArea_->show();
    PageControl_result->show();
    Splitter1->show();
    SetEditorHeight(editorHeight);
}

ResultGrid* TFMain::CreateResultGrid(std::size_t i)
{
    if (!ResultTabs[i]) {
        auto* page = new QWidget;
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        PageControl_result->addTab(page, ImageLists::ImageList_forshowresult(ImageLists::ResultPageImage),
                                   QStringLiteral("结果") + QString::number(i + 1));
        // Behind the front page until it comes to the front: it does not paint.
        if (page != PageControl_result->currentWidget()) page->setUpdatesEnabled(false);
        ResultTabs[i] = page;
    }
    if (!ResultGrids[i]) {
        auto* grid = new ResultGrid(ResultTabs[i]);
        grid->setObjectName(QStringLiteral("STRINGGRID") + QString::number(i));
        BindResultGrid(*grid);
        ResultTabs[i]->layout()->addWidget(grid);
        ResultGrids[i] = grid;
    }
    return ResultGrids[i];
}

void TFMain::FillResultGrid(ResultGrid& grid, const TQryResult_Tesk& result, const std::string& textQualifier)
{
    // The grid keeps the statement's rows; the window gets a fresh store for the next one.
    std::unique_ptr<ResultRowStore> rows = std::move(ResultLines);
    ResultLines = std::make_unique<ResultRowStore>();
    const int columns = ResultColumnCount + 1;
    grid.SetRows(std::move(rows), columns, result.RowCount == 0, textQualifier);
    for (int j = 0; j < columns; ++j) {
        int width;
        if (j == 0) {
            // The widths by digits were measured for another font: the last number must show whole.
            width = std::max(ResultGridGeometry::RowNumberColumnWidth(grid.RowCount()),
                             CellWidthForText(grid, QString::number(grid.RowCount() - 1)));
        } else if (static_cast<std::size_t>(j) < result.Columns.size()) {
            const FieldsList_Tesk& c = result.Columns[static_cast<std::size_t>(j)];
            width = ResultGridGeometry::DataColumnWidth(c.DisplayWidth, c.Name);
        } else {
            width = ResultGridGeometry::DataColumnWidth(0, QString());
        }
        grid.setColumnWidth(j, width);
    }
    grid.show();
}

void TFMain::PaintOnlyFrontPage()
{
    // A page behind the front one keeps its updates off: a change of the front page then passes
    // over each page, not over every widget of every page.
    QWidget* front = PageControl_result->currentWidget();
    if (frontPage_ && frontPage_ != front) frontPage_->setUpdatesEnabled(false);
    if (front) front->setUpdatesEnabled(true);
    frontPage_ = front;
}

void TFMain::BringLastPageToFront()
{
    // Once a result of the run ended at a failed fetch, its error stays in front, not a page that looks whole.
    BringPageToFront(RunFetchFailed ? 0 : PageControl_result->count() - 1);
}

void TFMain::BringMessagesPageToFront() { BringPageToFront(0); }

void TFMain::BringPageToFront(int index)
{
    if (index == PageControl_result->currentIndex()) return;
    // Not a page change by the user: the page-change handling stays out of it.
    const QSignalBlocker blocker(PageControl_result);
    // With the keys on the page that goes, the page stack looks for a field of the next page along
    // every widget of the window: the keys go there from here.
    QWidget* focus = window()->focusWidget();
    QWidget* front = PageControl_result->currentWidget();
    const bool focusOnFront = focus && front && front->isAncestorOf(focus);
    if (focusOnFront) PageControl_result->tabBar()->setFocus(Qt::OtherFocusReason);
    PageControl_result->setCurrentIndex(index);
    if (!focusOnFront) return;
    QWidget* next = PageControl_result->currentWidget();
    if (next == ts_text)
        RichEdit_result->setFocus(Qt::OtherFocusReason);
    else if (auto* grid = next->findChild<ResultGrid*>())
        grid->setFocus(Qt::OtherFocusReason);
}

void TFMain::DisplayStatement(std::int32_t i, std::uint8_t displayAsText, std::uint8_t displayToFile,
                              const std::string& textQualifier)
{
    const bool valid = i >= 0 && static_cast<std::size_t>(i) < Results.size();
    const TQryResult_Tesk* result = valid ? Results[static_cast<std::size_t>(i)].get() : nullptr;
    const auto slot = static_cast<std::size_t>(std::max(i, 0));

    if (displayToFile) {
        AppendResultLines(MessageLines);
    } else {
        ResultGrid* grid = nullptr;
        if (!displayAsText) {
            if (i == 0) {
                const auto count = static_cast<std::size_t>(std::max(StatementCount, 0));
                ResultGrids.assign(count, nullptr);
                ResultTabs.assign(count, nullptr);
            }
            // A statement index beyond the slots made for the run still gets slots of its own.
            if (i >= 0 && slot >= ResultTabs.size()) {
                ResultGrids.resize(slot + 1, nullptr);
                ResultTabs.resize(slot + 1, nullptr);
            }
            if (i >= 0 && result && result->Succeeded && result->HasResultSet) grid = CreateResultGrid(slot);
        }
        if (result && result->HasResultSet) {
            if (displayAsText) {
                // The text keeps the statement's rows; the window gets a fresh store for the next one.
                if (ResultLines) RichEdit_result->AppendRows(std::move(ResultLines));
                ResultLines = std::make_unique<ResultRowStore>();
            } else if (grid) {
                FillResultGrid(*grid, *result, textQualifier);
            }
        }
        AppendResultLines(MessageLines);
    }
    // A run's hand-offs bring their last page to the front once a frame.
    if (!ResultPaintHeld()) BringLastPageToFront();
}

void TFMain::ShowStatementResult(MuliThread& run)
{
    // Statements may follow each other far faster than a screen can show them: the results area
    // shows them once a frame (hand-offs in a row leave the hold's timer no turn).
    frameDue_ = ResultPaintHeld() && paintHeld_.elapsed() >= ResultPaintPeriodMs;
    if (frameDue_)
        ReleaseResultPaint();
    else
        HoldResultPaint();
    DisplayStatement(run.StatementIndex, run.DisplayAsText, run.DisplayToFile, run.Qualifier());
}

void TFMain::ShowCommitMode()
{
    if (AutoCommit == 1) {
        StatusBar2->SetPanelText(0, QStringLiteral("事务提交方式：自动提交"));
        StatusBar2->SetPanelText(1, QStringLiteral("不存在事务"));
        return;
    }
    StatusBar2->SetPanelText(0, QStringLiteral("事务提交方式：手工提交"));
    switch (TransactionState.load()) {
    case TransactionStates::NotSupported: StatusBar2->SetPanelText(1, QStringLiteral("当前连接不支持事务")); break;
    case TransactionStates::None: StatusBar2->SetPanelText(1, QStringLiteral("不存在事务")); break;
    case TransactionStates::MayBeOpen: StatusBar2->SetPanelText(1, QStringLiteral("可能存在未提交的事务")); break;
    default: break;
    }
}

void TFMain::ShowTransactionNote() { StatusBar2->SetPanelText(1, QStringLiteral("可能存在未提交的事务")); }

void TFMain::ShowRunEnd(MuliThread&, const RunEndTexts& texts)
{
    ReleaseResultPaint();
    StatusBar1->SetPanelText(0, texts.StartText);
    StatusBar1->SetPanelText(1, texts.TimeText);
    StatusBar1->SetPanelText(2, texts.RowsText);
    ToolButton_export->setEnabled(texts.ExportEnabled);
    if (texts.MessagesToFront) BringMessagesPageToFront();
    ToolButton_stop->setEnabled(false);
    ToolButton_run->setEnabled(true);
    if (!frame_) return;
    frame_->MarkWindowIdle(handle_);
    if (TFMain* active = frame_->ActiveQueryWindow()) active->SyncFrameToolbar();
}

void TFMain::ShowFileReport(MuliThread&, const QStringList& lines)
{
    AppendResultLines(lines);
    if (!frame_) return;
    if (TFMain* active = frame_->ActiveQueryWindow()) active->SyncFrameToolbar();
}

// ---- settings fonts and closing ----

void TFMain::ApplySettingFonts()
{
    if (Settings::SqlEditorFont.Present) {
        // The whole text takes the font, and the selection stays where it was.
        const QTextCursor kept = RichEdit_sql->textCursor();
        RichEdit_sql->setFont(SettingFont(Settings::SqlEditorFont, RichEdit_sql->font()));
        RichEdit_sql->setTextCursor(kept);
    }
    if (Settings::ResultFont.Present) RichEdit_result->setFont(SettingFont(Settings::ResultFont, RichEdit_result->font()));
}

void TFMain::StopRunAndWait()
{
    auto running = [this] { return RunCounter != 0 || (RunWorker && !RunWorker->isFinished()); };
    if (!running()) return;
    MuliThread::StopRun(*this, RunWorker.data());
    // The worker hands its last results over on this thread: keep serving its hand-offs.
    while (running()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (RunWorker)
            RunWorker->wait(5);
        else
            QThread::msleep(5);
    }
}

void TFMain::FreeConnectionHandles()
{
    if (hDbc == SQL_NULL_HDBC && hEnv == SQL_NULL_HENV) return;
    RetCode = QueryWindowConnection::Close(hEnv, hDbc);
}

void TFMain::ReleaseConnection() { emit ConnectionReleased(this); }

bool TFMain::EndTransaction(bool commit)
{
    QString driverText;
    switch (QueryWindowConnection::EndTransaction(*this, commit, &driverText)) {
    case QueryWindowConnection::TransactionEnd::Ended: return true;
    case QueryWindowConnection::TransactionEnd::Lost:
        // A rollback asked for what the server did; a commit must not pass for done.
        if (commit)
            Prompter::Current().Message(ClosingPrompts::LostTransaction, windowTitle(), Prompter::Icon::Exclamation,
                                        Prompter::Ok);
        return true;
    case QueryWindowConnection::TransactionEnd::EarlierLost:
        if (commit)
            Prompter::Current().Message(ClosingPrompts::EarlierTransactionLost, windowTitle(),
                                        Prompter::Icon::Exclamation, Prompter::Ok);
        return true;
    case QueryWindowConnection::TransactionEnd::Failed: break;
    }
    Prompter::Current().Message(ClosingPrompts::TransactionFailure(commit, driverText), windowTitle(),
                                Prompter::Icon::Exclamation, Prompter::Ok);
    return false;
}

void TFMain::AskToEndTransaction()
{
    if (TransactionState != TransactionStates::MayBeOpen) return;
    const Prompter::Button answer = Prompter::Current().Message(
        ClosingPrompts::CloseTransactionChoice(), windowTitle(), Prompter::Icon::Information, Prompter::Yes | Prompter::No);
    // A failure has been reported; the close goes on, so a lost connection never keeps a window open.
    EndTransaction(answer == Prompter::Yes);
}

bool TFMain::AskToSave()
{
    if (RichEdit_sql->document()->isEmpty() || !RichEdit_sql->document()->isModified()) return true;
    const Prompter::Button answer =
        Prompter::Current().Message(ClosingPrompts::SaveLabel(windowTitle()), ClosingPrompts::SaveCaption,
                                    Prompter::Icon::Exclamation, Prompter::Yes | Prompter::No | Prompter::Cancel);
    if (answer == Prompter::No) return true;
    // Yes closes only once the text is in a file: a cancelled or failed save keeps the window.
    return answer == Prompter::Yes && frame_ && frame_->SaveWindowScript(*this);
}

void TFMain::FormClose(CloseAction& action)
{
    action = CloseAction::None;
    // No run starts in the window while it asks.
    closing_ = true;
    if (!AskToSave()) {
        closing_ = false;
        return;
    }
    // The worker uses the connection and the window until it has ended; its last statement may
    // leave a transaction open.
    StopRunAndWait();
    AskToEndTransaction();
    FreeConnectionHandles();
    ReleaseConnection();
    if (frame_) {
        if (frame_->QueryWindowCount() == 1) frame_->RemoveWindowMenuSeparator();
        frame_->RemoveWindowMenuEntry(handle_);
        frame_->WM_QUERYWINDOWCLOSING();
    }
    action = CloseAction::Free;
}

void TFMain::closeEvent(QCloseEvent* event)
{
    if (closedByFrame_) {
        event->accept();
        return;
    }
    // A second close while the first one asks or waits for the run changes nothing.
    if (closing_) {
        event->ignore();
        return;
    }
    // The caller of a dialog runs on in this window once the dialog ends: the close waits for it.
    if (ModalDialogs::AnyRunning()) {
        event->ignore();
        ModalDialogs::AfterTheLast(this, [this] {
            if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
                sub->close();
            else
                close();
        });
        return;
    }
    CloseAction action = CloseAction::None;
    FormClose(action);
    if (action == CloseAction::Free)
        event->accept();
    else
        event->ignore();
}

// ---- SQL editor, find and replace ----

void TFMain::RichEdit_sqlChange() { editorCommands_->Change(); }
void TFMain::RichEdit_sqlSelectionChange() { editorCommands_->SelectionChange(); }
void TFMain::RichEdit_sqlKeyDown(int& key, Qt::KeyboardModifiers shift) { editorCommands_->KeyDown(key, shift); }
void TFMain::RichEdit_sqlKeyPress(QChar& key) { editorCommands_->KeyPress(key); }
void TFMain::RichEdit_sqlMouseDown(Qt::MouseButton button) { editorCommands_->MouseDown(button); }
void TFMain::RichEdit_sqlDragOver(QObject* source, int x, int y, bool& accept) { editorCommands_->DragOver(source, x, y, accept); }
void TFMain::HighlightFromLine() { editorCommands_->HighlightFromLine(); }
void TFMain::ToolButton_undosqlClick()
{
    if (!SqlScriptLoader::RefusesEdit(*this, true)) editorCommands_->Undo();
}
void TFMain::ToolButton_redosqlClick()
{
    if (!SqlScriptLoader::RefusesEdit(*this, true)) editorCommands_->Redo();
}
void TFMain::ToolButton_copyClick() { editorCommands_->Copy(); }
void TFMain::ToolButton_cutClick() { editorCommands_->Cut(); }
void TFMain::ToolButton_pasteClick() { editorCommands_->Paste(); }
void TFMain::N_richeditsql_fontClick() { editorCommands_->FontClick(); }
void TFMain::FindDialog_sqlFind() { findReplace_->FindDialog_sqlFind(); }
void TFMain::FindDialog1Find() { findReplace_->FindDialog1Find(); }
void TFMain::ReplaceDialog1Find() { findReplace_->ReplaceDialog1Find(); }
void TFMain::ReplaceDialog1Replace()
{
    if (!SqlScriptLoader::RefusesEdit(*this)) findReplace_->ReplaceDialog1Replace();
}
