// Closing without losing anything, in the running program over real data sources: a query window's
// own close with its save and transaction questions, the frame's closing with its save question
// for each modified window (No to all, Cancel, a save that wrote nothing), and the transaction
// manager, with commits and rollbacks seen from a second connection and failures on a stopped
// server of the test's own.
#include "ClosingPrompts.h"
#include "FindReplaceDialog.h"
#include "FrameTestSupport.h"
#include "KeywordTables.h"
#include "MuliThread.h"
#include "ObjectBrowserNodes.h"
#include "OwnPgServer.h"
#include "ProgramGlobals.h"
#include "ProgramStart.h"
#include "QueryWindowNaming.h"
#include "ScriptedFileChooser.h"
#include "ResultPageControl.h"
#include "StatusPanelBar.h"
#include "TFMain.h"
#include "TFMain_mul.h"
#include "TestConnection.h"
#include "TestDsn.h"
#include "TfrmSaveAll.h"
#include "Tfrm_connect.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace {

// Answers the frame's save question once per showing, in order, and notes what each showed.
class SaveAllAnswers {
public:
    explicit SaveAllAnswers(std::deque<int> answers) : answers_(std::move(answers))
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    ~SaveAllAnswers() { EXPECT_TRUE(answers_.empty()) << answers_.size() << " save questions never came"; }

    QStringList Labels;
    QStringList Captions;

private:
    void Poll()
    {
        auto* form = qobject_cast<TfrmSaveAll*>(QApplication::activeModalWidget());
        if (!form || !form->isVisible()) return;
        Labels << form->lbl_promption->text();
        Captions << form->windowTitle();
        if (answers_.empty()) {
            ADD_FAILURE() << "a save question nobody expected: " << form->lbl_promption->text().toStdString();
            form->btnCancel->click();
            return;
        }
        const int answer = answers_.front();
        answers_.pop_front();
        QPushButton* button = answer == TfrmSaveAll::mrYes      ? form->btnYes
                              : answer == TfrmSaveAll::mrNo     ? form->btnNo
                              : answer == TfrmSaveAll::mrNoToAll ? form->btnNOtoAll
                                                                 : form->btnCancel;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    std::deque<int> answers_;
    QTimer timer_;
};

QString SaveLabelOf(const QString& title) { return title + " 中的文本已更改。\n\n是否保存更改？"; }

class ClosingTest : public testing::Test {
protected:
    void SetUp() override { StartProgram(); }
    void TearDown() override
    {
        StopProgram();
        installation.reset();
    }

    void StartProgram()
    {
        if (!installation) installation = std::make_unique<TestInstallation>(TestInstallation::Contents{});
        WhenModal<Tfrm_connect>([](Tfrm_connect& d) { d.btnCancel->click(); });
        frame.reset(ProgramStart::Start());
        Settle();
        // Only the test's own ticks would start a scheduled run; none is set.
        frame->Timer1->stop();
    }
    void StopProgram()
    {
        if (!frame) return;
        // Whatever a test left behind closes without questions.
        for (TFMain* w : frame->QueryWindows()) {
            w->RichEdit_sql->document()->setModified(false);
            w->TransactionState = w->AutoCommit ? TransactionStates::AutoCommit : TransactionStates::None;
        }
        frame->close();
        Settle();
        frame.reset();
        FMain_mul = nullptr;
    }

    TFMain* Open(const QString& dsn, const QString& user = {}) { return OpenQueryWindowOn(*frame, dsn, user); }
    // Windows on the SQLite data source, each with typed text.
    QList<TFMain*> OpenModified(int count)
    {
        QList<TFMain*> windows;
        for (int i = 0; i < count; ++i) {
            TFMain* w = Open(SQLiteDsn());
            if (!w) return {};
            Type(w, "select " + QString::number(i));
            windows << w;
        }
        return windows;
    }
    // Types at the end of the editor as a user does.
    static void Type(TFMain* w, const QString& text)
    {
        w->RichEdit_sql->moveCursor(QTextCursor::End);
        QTest::keyClicks(w->RichEdit_sql, text);
    }
    static bool WaitRunEnd(TFMain* w, int milliseconds = 30000)
    {
        return WaitUntil([w] { return w->RunCounter == 0 && w->RunWorker.isNull(); }, milliseconds);
    }
    // Runs a batch to its end (the editor's text is replaced, so it is not modified afterwards).
    void Run(TFMain* w, const QString& sql)
    {
        w->RichEdit_sql->setPlainText(sql);
        frame->MdiArea->setActiveSubWindow(frame->SubWindowOf(w));
        frame->ToolButton_run->trigger();
        ASSERT_TRUE(WaitRunEnd(w)) << "the run did not end";
    }
    void CloseWindow(TFMain* w)
    {
        ASSERT_NE(frame->SubWindowOf(w), nullptr);
        frame->SubWindowOf(w)->close();
        Settle();
    }
    bool IsOpen(TFMain* w) const { return frame->QueryWindows().contains(w); }
    QStringList WindowItems() const
    {
        QStringList texts;
        for (QAction* a : frame->N_windows->actions()) texts << a->text();
        return texts;
    }
    QString SQLiteDsn() const { return QString::fromLatin1(TestDsn::SQLiteDsn()); }
    QString ScriptPath(const char* name) const { return QString::fromStdString(TestDsn::ScratchDir()) + "/" + name; }
    static QByteArray FileBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    RecordingPrompter prompter;
    ScriptedFileChooser files;
    std::unique_ptr<TestInstallation> installation;
    std::unique_ptr<TFMain_mul> frame;
};

TEST_F(ClosingTest, TheSaveQuestionIsMadeAtStartUpAndEachButtonEndsItWithItsResult)
{
    ASSERT_NE(frmSaveAll, nullptr);
    TfrmSaveAll& form = *frmSaveAll;
    EXPECT_EQ(form.objectName(), "frmSaveAll");
    EXPECT_EQ(form.lbl_promption->objectName(), "lbl_promption");
    struct Case {
        QPushButton* Button;
        const char* Name;
        const char* Caption;
        int Result;
    };
    const Case cases[] = {
        {form.btnYes, "btnYes", "是(&Y)", 6},
        {form.btnNo, "btnNo", "否(&N)", 7},
        {form.btnNOtoAll, "btnNOtoAll", "全否(&A)", 9},
        {form.btnCancel, "btnCancel", "取消", 2},
        {nullptr, "the close box", "", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.Button) {
            EXPECT_EQ(c.Button->objectName(), c.Name);
            EXPECT_EQ(c.Button->text(), c.Caption);
        }
        WhenModal<TfrmSaveAll>([&](TfrmSaveAll& shown) {
            if (c.Button)
                QTest::mouseClick(c.Button, Qt::LeftButton);
            else
                shown.close();
        });
        EXPECT_EQ(form.exec(), c.Result);
    }
}

// ---- a window's own close ----

TEST_F(ClosingTest, AWindowsOwnCloseAsksToSaveAModifiedTextAndClosesOnlyWhenNothingIsLost)
{
    struct Case {
        const char* Name;
        Prompter::Button Answer;
        bool DialogShown;
        bool DialogAccepted;
        bool Closes;
    };
    const Case cases[] = {
        {"Cancel", Prompter::Cancel, false, false, false},
        {"No", Prompter::No, false, false, true},
        {"Yes, save dialog cancelled", Prompter::Yes, true, false, false},
        {"Yes, saved", Prompter::Yes, true, true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFMain* w = Open(SQLiteDsn());
        ASSERT_TRUE(w);
        Type(w, "select 1");
        const QString caption = w->windowTitle();
        const QString label = SaveLabelOf("无标题" + QString::number(w->WindowNumber));
        const QString path = ScriptPath("own-close-") + QString::number(++n) + ".sql";
        if (c.DialogAccepted) files.Accept(path);
        prompter.Prompts.clear();
        files.Requests.clear();
        prompter.Answers = {c.Answer};
        const SQLHDBC dbc = w->hDbc;

        CloseWindow(w);

        ASSERT_EQ(prompter.Prompts.size(), 1u) << "only the save question: no transaction may be open";
        const PromptRecord& p = prompter.Prompts[0];
        EXPECT_EQ(p.Text, label);
        EXPECT_EQ(p.Caption, "Tarnvale");
        EXPECT_EQ(p.Icon, Prompter::Icon::Exclamation);
        EXPECT_EQ(p.Buttons, Prompter::Yes | Prompter::No | Prompter::Cancel);
        ASSERT_EQ(files.Requests.size(), c.DialogShown ? 1u : 0u);
        if (c.DialogShown) {
            EXPECT_EQ(files.Requests[0].Name, "SaveDialog_sql");
        }
        ASSERT_EQ(IsOpen(w), !c.Closes);
        if (c.DialogAccepted) {
            EXPECT_TRUE(FileBytes(path).startsWith("select 1")) << FileBytes(path).toStdString();
        }
        if (!c.Closes) {
            // The window keeps its text, its mark, its caption and its connection.
            EXPECT_EQ(w->RichEdit_sql->toPlainText(), "select 1");
            EXPECT_TRUE(w->RichEdit_sql->document()->isModified());
            EXPECT_EQ(w->windowTitle(), caption);
            EXPECT_EQ(w->hDbc, dbc);
            EXPECT_FALSE(w->IsClosing()) << "runs may start in it again";
            EXPECT_EQ(WindowItems().last(), caption);
            prompter.Answers = {Prompter::No};
            CloseWindow(w);
            EXPECT_FALSE(IsOpen(w));
        }
    }
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
    EXPECT_EQ(WindowItems().size(), 3);
}

TEST_F(ClosingTest, AWindowClosedWhileOneOfItsDialogsIsUpWaitsForItAndThenCloses)
{
    struct Case {
        const char* Name;
        bool Modified; // the save question follows the dialog
        std::function<void(TFMain_mul&, TFMain&)> Open;
        bool FrameCloses = false; // the frame's close instead of the window's
    };
    const Case cases[] = {
        {"export's file dialog", true, [](TFMain_mul&, TFMain& w) { w.btnEportClick(); }},
        {"result file's dialog", true, [](TFMain_mul& f, TFMain&) {
             f.menu_run_display_File->trigger();
             f.ToolButton_run->trigger();
         }},
        {"editor's font dialog", true, [](TFMain_mul&, TFMain& w) { w.N_richeditsql_fontClick(); }},
        {"find dialog's message box", true, [](TFMain_mul&, TFMain& w) {
             w.FindDialog_sql->Execute();
             w.FindDialog_sql->SetFindText("nowhere");
             w.FindDialog_sql->FindNextButton->click();
         }},
        {"message box", false, [](TFMain_mul&, TFMain& w) {
             w.PageControl_result->setCurrentIndex(w.PageControl_result->count() - 1);
             w.btnEportClick();
         }},
        {"schedule dialog", true, [](TFMain_mul& f, TFMain&) { f.mainmenu_query_scheduleClick(); }},
        {"export's file dialog, the frame closing", true, [](TFMain_mul&, TFMain& w) { w.btnEportClick(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFMain* w = Open(SQLiteDsn());
        ASSERT_TRUE(w);
        Run(w, "select 1 as a;");
        if (c.Modified) Type(w, " ");
        // The real dialogs, as the user sees them.
        FileChooser::Install(nullptr);
        Prompter::Install(nullptr);
        prompter.Answers = {Prompter::No};
        const QPointer<TFMain> alive(w);
        bool openWhileUp = false;
        std::unique_ptr<SaveAllAnswers> saveAll;
        if (c.FrameCloses) saveAll = std::make_unique<SaveAllAnswers>(std::deque<int>{TfrmSaveAll::mrNo});
        WhenModal<QDialog>([&](QDialog& up) {
            const QPointer<QDialog> dialog(&up);
            // The save question of the close is the test's to answer.
            Prompter::Install(&prompter);
            if (c.FrameCloses)
                frame->close();
            else
                frame->SubWindowOf(w)->close();
            Settle();
            openWhileUp = !alive.isNull() && IsOpen(w) && frame->isVisible();
            if (dialog) dialog->reject();
        });
        c.Open(*frame, *w);
        EXPECT_TRUE(openWhileUp) << "the window went under its dialog";
        EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }, 10000)) << "the close did not follow the dialog";
        EXPECT_EQ(prompter.Prompts.size(), c.Modified && !c.FrameCloses ? 1u : 0u);
        prompter.Prompts.clear();
        Prompter::Install(&prompter);
        FileChooser::Install(&files);
        if (c.FrameCloses) {
            EXPECT_FALSE(frame->isVisible());
            saveAll.reset();
            frame.reset();
            FMain_mul = nullptr;
            break;
        }
        frame->SetDisplayAsText(false);
    }
}

TEST_F(ClosingTest, AWindowNamedAfterItsScriptQuotesItsWholeCaption)
{
    TFMain* w = Open(SQLiteDsn());
    ASSERT_TRUE(w);
    Type(w, "select 2");
    const QString path = ScriptPath("named.sql");
    files.Accept(path);
    ASSERT_EQ(frame->SaveSqlScript(*w), TFMain_mul::ScriptSave::Saved);
    ASSERT_EQ(w->windowTitle(), QueryWindowNaming::QueryWindowCaption(SQLiteDsn(), "", path));
    ASSERT_FALSE(w->windowTitle().contains("无标题"));
    Type(w, " + 1");
    prompter.Answers = {Prompter::Cancel};
    CloseWindow(w);
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, SaveLabelOf(w->windowTitle()));
    EXPECT_TRUE(IsOpen(w));
}

TEST_F(ClosingTest, AnEmptyOrUnchangedEditorClosesWithoutAQuestion)
{
    TFMain* empty = Open(SQLiteDsn());
    TFMain* unchanged = Open(SQLiteDsn());
    TFMain* emptyToo = Open(SQLiteDsn());
    ASSERT_TRUE(empty && unchanged && emptyToo);
    for (TFMain* w : {empty, emptyToo}) {
        Type(w, "x");
        w->RichEdit_sql->clear();
        w->RichEdit_sql->document()->setModified(true);
    }
    unchanged->RichEdit_sql->setPlainText("select 3");
    ASSERT_FALSE(unchanged->RichEdit_sql->document()->isModified());

    CloseWindow(empty);
    EXPECT_FALSE(IsOpen(empty));
    SaveAllAnswers none({});
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(none.Labels.isEmpty());
    EXPECT_TRUE(prompter.Prompts.empty());
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
}

// ---- the frame's closing ----

TEST_F(ClosingTest, NoToAllClosesThreeModifiedWindowsAfterOnePrompt)
{
    ASSERT_EQ(OpenModified(3).size(), 3);
    const QString active = frame->ActiveQueryWindow()->windowTitle();
    SaveAllAnswers answers({TfrmSaveAll::mrNoToAll});

    EXPECT_TRUE(frame->close());

    EXPECT_EQ(answers.Labels, QStringList{SaveLabelOf(active.mid(active.indexOf("无标题")))});
    EXPECT_EQ(answers.Captions, QStringList{"Tarnvale"});
    EXPECT_EQ(frmSaveAll->objectName(), "frmSaveAll");
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
    EXPECT_TRUE(prompter.Prompts.empty());
    EXPECT_TRUE(files.Requests.empty());
    EXPECT_EQ(WindowItems().size(), 3) << "the separator went with the last window";
    EXPECT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 0);
    EXPECT_EQ(frame->Connections.Head()->WindowCount, 0);
    EXPECT_EQ(KeywordTableOfKind(1), nullptr) << "the frame's own close ran";
}

TEST_F(ClosingTest, NoThenCancelLeavesTheFirstClosedAndTheOthersAndTheFrameOpen)
{
    ASSERT_EQ(OpenModified(3).size(), 3);
    TFMain* first = frame->ActiveQueryWindow();
    const QString firstLabel = SaveLabelOf("无标题" + QString::number(first->WindowNumber));
    QStringList menu = WindowItems();
    menu.removeAll(first->windowTitle());
    {
        SaveAllAnswers answers({TfrmSaveAll::mrNo, TfrmSaveAll::mrCancel});
        EXPECT_FALSE(frame->close());
        ASSERT_EQ(answers.Labels.size(), 2);
        EXPECT_EQ(answers.Labels[0], firstLabel);
    }
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(IsOpen(first));
    ASSERT_EQ(frame->QueryWindows().size(), 2);
    for (TFMain* w : frame->QueryWindows()) {
        EXPECT_TRUE(w->RichEdit_sql->document()->isModified());
        EXPECT_TRUE(w->hDbc != SQL_NULL_HDBC);
        EXPECT_FALSE(w->IsClosing());
    }
    EXPECT_EQ(WindowItems(), menu);
    // Both remaining windows share the connection: its node and record stay.
    EXPECT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 1);
    EXPECT_EQ(frame->Connections.Head()->WindowCount, 2);
    EXPECT_TRUE(frame->ToolButton_run->isEnabled());
    EXPECT_NE(KeywordTableOfKind(1), nullptr) << "the frame's own close did not run";
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(ClosingTest, YesWithASaveThatWroteNothingKeepsTheWindowAndTheFrame)
{
    const QList<TFMain*> windows = OpenModified(2);
    ASSERT_EQ(windows.size(), 2);
    TFMain* other = windows[0];
    TFMain* w = windows[1];
    const QString otherLabel = SaveLabelOf("无标题" + QString::number(other->WindowNumber));
    ASSERT_EQ(frame->ActiveQueryWindow(), w);
    {
        SaveAllAnswers answers({TfrmSaveAll::mrYes});
        files.Cancel();
        EXPECT_FALSE(frame->close());
    }
    ASSERT_EQ(files.Requests.size(), 1u);
    EXPECT_TRUE(IsOpen(w));
    EXPECT_TRUE(IsOpen(other));
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), "select 1");
    EXPECT_TRUE(w->RichEdit_sql->document()->isModified());
    EXPECT_TRUE(frame->isVisible());

    // Saved now: this window's own text goes into the file, then the next window is asked.
    const QString path = ScriptPath("kept.sql");
    files.Accept(path);
    {
        SaveAllAnswers answers({TfrmSaveAll::mrYes, TfrmSaveAll::mrNo});
        EXPECT_TRUE(frame->close());
        ASSERT_EQ(answers.Labels.size(), 2);
        EXPECT_EQ(answers.Labels[1], otherLabel);
    }
    EXPECT_EQ(FileBytes(path), "select 1\r\n");
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
}

TEST_F(ClosingTest, TwoWindowsOnOneConnectionLoseTheirNodeWithTheSecond)
{
    ASSERT_EQ(OpenModified(2).size(), 2);
    connection_rec* rec = frame->Connections.Head();
    ASSERT_EQ(rec->WindowCount, 2);
    {
        SaveAllAnswers answers({TfrmSaveAll::mrNo, TfrmSaveAll::mrCancel});
        EXPECT_FALSE(frame->close());
    }
    EXPECT_EQ(rec->WindowCount, 1);
    EXPECT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 1);
    EXPECT_EQ(WindowItems().size(), 5) << "the separator stays with the last window";
    {
        SaveAllAnswers answers({TfrmSaveAll::mrNo});
        EXPECT_TRUE(frame->close());
    }
    EXPECT_EQ(rec->WindowCount, 0);
    EXPECT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 0);
    EXPECT_FALSE(frame->panel_DbObject->isVisible());
    EXPECT_EQ(WindowItems().size(), 3);
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(ClosingTest, AMissingConnectionRecordIsReportedNotUsed)
{
    TFMain* w = Open(SQLiteDsn());
    ASSERT_TRUE(w);
    w->ConnectionKey = "===nowhere;,;";
    CloseWindow(w);
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, "发生严重错误");
    EXPECT_EQ(prompter.Prompts[0].Caption, frame->windowTitle());
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
    EXPECT_FALSE(IsOpen(w));
}

// ---- transactions on real drivers with auto-commit off ----

struct DriverCase {
    const char* Name;
    bool Pg;
};

class TransactionClosingTest : public ClosingTest, public testing::WithParamInterface<DriverCase> {
protected:
    QString Dsn() const { return QString::fromLatin1(GetParam().Pg ? TestDsn::PgDsn() : TestDsn::SQLiteDsn()); }
    QString User() const { return GetParam().Pg ? "postgres" : ""; }
    void SetUp() override
    {
        ClosingTest::SetUp();
        Settings::AutoCommit = false;
        TestConnection setup(Dsn().toLatin1().constData());
        ASSERT_TRUE(setup.Ok());
        setup.Exec("DROP TABLE IF EXISTS tv_close_tx");
        setup.Exec("CREATE TABLE tv_close_tx (id INTEGER)");
    }
    // A manual-commit window whose INSERT may be open.
    TFMain* OpenWithInsert(int id)
    {
        TFMain* w = Open(Dsn(), User());
        if (!w) return nullptr;
        EXPECT_EQ(w->TransactionState.load(), TransactionStates::None);
        Run(w, "INSERT INTO tv_close_tx VALUES (" + QString::number(id) + ")");
        EXPECT_EQ(w->TransactionState.load(), TransactionStates::MayBeOpen);
        EXPECT_EQ(w->StatusBar2->PanelText(1), "可能存在未提交的事务");
        return w;
    }
    // Whether a second connection sees the row.
    bool Visible(int id) const
    {
        TestConnection check(Dsn().toLatin1().constData());
        EXPECT_TRUE(check.Ok());
        return check.Column("SELECT count(*) FROM tv_close_tx WHERE id = " + std::to_string(id)) ==
               std::vector<std::string>{"1"};
    }
    void ExpectCloseQuestion(const PromptRecord& p, const QString& caption)
    {
        EXPECT_EQ(p.Text, ClosingPrompts::CloseTransactionChoice());
        EXPECT_EQ(p.Caption, caption);
        EXPECT_EQ(p.Icon, Prompter::Icon::Information);
        EXPECT_EQ(p.Buttons, Prompter::Yes | Prompter::No);
    }
};

TEST_P(TransactionClosingTest, TheManagerCommitsOnYesRollsBackOnNoAndLeavesTheTransactionOnCancel)
{
    struct Case {
        Prompter::Button Answer;
        bool Visible;
        std::uint8_t State;
        const char* Status;
    };
    const Case cases[] = {
        {Prompter::Yes, true, TransactionStates::None, "不存在事务"},
        {Prompter::No, false, TransactionStates::None, "不存在事务"},
        {Prompter::Cancel, false, TransactionStates::MayBeOpen, "可能存在未提交的事务"},
    };
    int id = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Answer);
        TFMain* w = OpenWithInsert(++id);
        ASSERT_TRUE(w);
        EXPECT_FALSE(Visible(id)) << "uncommitted";
        prompter.Prompts.clear();
        prompter.Answers = {c.Answer};
        frame->mainmenu_query_transmanager->trigger();
        ASSERT_EQ(prompter.Prompts.size(), 1u);
        EXPECT_EQ(prompter.Prompts[0].Text, ClosingPrompts::ManagerTransactionChoice());
        EXPECT_EQ(prompter.Prompts[0].Caption, w->windowTitle());
        EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Information);
        EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Yes | Prompter::No | Prompter::Cancel);
        EXPECT_EQ(w->TransactionState.load(), c.State);
        EXPECT_EQ(w->StatusBar2->PanelText(1), c.Status);
        EXPECT_EQ(Visible(id), c.Visible);
        // The transaction left open ends with the window: No rolls it back.
        prompter.Answers = {Prompter::No};
        CloseWindow(w);
        EXPECT_FALSE(IsOpen(w));
        EXPECT_EQ(Visible(id), c.Visible);
    }
}

TEST_P(TransactionClosingTest, TheManagerOnlyInformsWhenNoTransactionCanBeOpen)
{
    frame->mainmenu_query_transmanagerClick();
    EXPECT_TRUE(prompter.Prompts.empty()) << "nothing happens without a query window";

    TFMain* manual = Open(Dsn(), User());
    ASSERT_TRUE(manual);
    Settings::AutoCommit = true;
    TFMain* automatic = Open(Dsn(), User());
    ASSERT_TRUE(automatic);
    ASSERT_EQ(automatic->TransactionState.load(), TransactionStates::AutoCommit);
    struct Case {
        TFMain* Window;
        std::uint8_t State;
        const char* Line;
    };
    const Case cases[] = {
        {manual, TransactionStates::None, "当前窗口中不存在事务，因此不用您管理事务了"},
        {automatic, TransactionStates::AutoCommit, "当前窗口中的事务为自动提交方式，因此不用您管理事务了"},
        {manual, TransactionStates::NotSupported, "当前窗口中的数据源不支持事务，因此不用您管理事务了"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        frame->MdiArea->setActiveSubWindow(frame->SubWindowOf(c.Window));
        c.Window->TransactionState = c.State;
        const QString status = c.Window->StatusBar2->PanelText(1);
        prompter.Prompts.clear();
        frame->mainmenu_query_transmanager->trigger();
        ASSERT_EQ(prompter.Prompts.size(), 1u);
        EXPECT_EQ(prompter.Prompts[0].Text, QString("\r\n") + c.Line + "\r\n\r\n");
        EXPECT_EQ(prompter.Prompts[0].Caption, c.Window->windowTitle());
        EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Information);
        EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Ok);
        EXPECT_EQ(c.Window->TransactionState.load(), c.State);
        EXPECT_EQ(c.Window->StatusBar2->PanelText(1), status);
    }
    manual->TransactionState = TransactionStates::None;
}

TEST_P(TransactionClosingTest, TheCloseQuestionCommitsOnYesAndRollsBackOnNoBeforeTheConnectionGoes)
{
    struct Case {
        const char* Name;
        bool ThroughFrame;
        Prompter::Button Answer;
    };
    const Case cases[] = {
        {"own close, Yes", false, Prompter::Yes},
        {"own close, No", false, Prompter::No},
        {"frame's close, Yes", true, Prompter::Yes},
        {"frame's close, No", true, Prompter::No},
    };
    int id = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (!frame) StartProgram();
        Settings::AutoCommit = false;
        TFMain* w = OpenWithInsert(++id);
        ASSERT_TRUE(w);
        // The text typed after the run is saved first: No, then the transaction.
        Type(w, " -- more");
        const QString caption = w->windowTitle();
        prompter.Prompts.clear();
        prompter.Answers = {c.Answer};
        if (c.ThroughFrame) {
            SaveAllAnswers answers({TfrmSaveAll::mrNo});
            EXPECT_TRUE(frame->close());
            frame.reset();
            FMain_mul = nullptr;
        } else {
            prompter.Answers.push_front(Prompter::No);
            CloseWindow(w);
            EXPECT_FALSE(IsOpen(w));
            ASSERT_EQ(prompter.Prompts.size(), 2u);
            EXPECT_EQ(prompter.Prompts[0].Text, SaveLabelOf("无标题" + QString::number(WindowCounter)));
            prompter.Prompts.erase(prompter.Prompts.begin());
        }
        ASSERT_EQ(prompter.Prompts.size(), 1u);
        ExpectCloseQuestion(prompter.Prompts[0], caption);
        EXPECT_EQ(Visible(id), c.Answer == Prompter::Yes);
    }
}

TEST_P(TransactionClosingTest, AQuestionCancelledDuringARunLeavesTheRunGoing)
{
    TFMain* w = Open(Dsn(), User());
    ASSERT_TRUE(w);
    w->RichEdit_sql->setPlainText(GetParam().Pg ? "select pg_sleep(60)"
                                                : "with recursive c(n) as (select 1 union all select n + 1 from c "
                                                  "where n < 2000000000) select count(*) from c");
    frame->ToolButton_run->trigger();
    ASSERT_EQ(w->RunCounter, 1);
    ASSERT_TRUE(WaitUntil([w] {
        std::lock_guard lock(w->StopLock);
        return w->StatementExecuting;
    }));
    Type(w, " ");
    prompter.Answers = {Prompter::Cancel};
    CloseWindow(w);
    ASSERT_TRUE(IsOpen(w));
    EXPECT_EQ(w->RunCounter, 1) << "the run goes on";
    {
        SaveAllAnswers answers({TfrmSaveAll::mrCancel});
        EXPECT_FALSE(frame->close());
    }
    ASSERT_TRUE(IsOpen(w));
    EXPECT_EQ(w->RunCounter, 1) << "the run goes on";
    const QPointer<MuliThread> worker(w->RunWorker.data());
    {
        SaveAllAnswers answers({TfrmSaveAll::mrNo});
        EXPECT_TRUE(frame->close());
    }
    EXPECT_TRUE(worker.isNull() || worker->isFinished());
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
    EXPECT_EQ(prompter.Prompts.size(), 1u) << "a SELECT leaves no transaction to ask about";
}

TEST_P(TransactionClosingTest, ClosingDuringARunStopsItBeforeTheQuestionAndCommitsWhatItDid)
{
    const QString sleep = GetParam().Pg ? "select pg_sleep(20);"
                                        : "with recursive c(n) as (select 1 union all select n + 1 from c "
                                          "where n < 2000000000) select count(*) from c;";
    struct Case {
        const char* Name;
        bool ThroughFrame;
        bool InsertRunFirst; // the INSERT in a run of its own before the sleep's
    };
    const Case cases[] = {
        {"own close, one batch", false, false},
        {"own close, two runs", false, true},
        {"frame's close, one batch", true, false},
        {"frame's close, two runs", true, true},
    };
    int id = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (!frame) StartProgram();
        Settings::AutoCommit = false;
        ++id;
        TFMain* w = nullptr;
        const QString insert = "INSERT INTO tv_close_tx VALUES (" + QString::number(id) + ");";
        if (c.InsertRunFirst) {
            w = OpenWithInsert(id);
            ASSERT_TRUE(w);
            w->RichEdit_sql->setPlainText(sleep);
        } else {
            w = Open(Dsn(), User());
            ASSERT_TRUE(w);
            w->RichEdit_sql->setPlainText(insert + "\n" + sleep);
        }
        // The user typed the text: the save question comes first.
        Type(w, " ");
        frame->ToolButton_run->trigger();
        ASSERT_TRUE(WaitUntil([w] {
            std::lock_guard lock(w->StopLock);
            return w->StatementExecuting && w->TransactionState == TransactionStates::MayBeOpen;
        }));
        prompter.Prompts.clear();
        prompter.Answers = {Prompter::Yes};
        if (!c.ThroughFrame) prompter.Answers.push_front(Prompter::No);
        // The question comes only once the run has ended: it does not wait for the sleep either.
        bool runEndedFirst = false;
        prompter.OnMessage = [&](const PromptRecord& p) {
            if (p.Text == ClosingPrompts::CloseTransactionChoice()) runEndedFirst = w->RunCounter == 0;
        };
        std::unique_ptr<SaveAllAnswers> saveAll;
        if (c.ThroughFrame) saveAll = std::make_unique<SaveAllAnswers>(std::deque<int>{TfrmSaveAll::mrNo});
        QElapsedTimer closing;
        closing.start();
        if (c.ThroughFrame) {
            EXPECT_TRUE(frame->close());
            frame.reset();
            FMain_mul = nullptr;
        } else {
            CloseWindow(w);
            EXPECT_FALSE(IsOpen(w));
        }
        EXPECT_LT(closing.elapsed(), 10000) << "the close waited for the statement's end";
        prompter.OnMessage = nullptr;
        saveAll.reset();
        ASSERT_FALSE(prompter.Prompts.empty());
        EXPECT_EQ(prompter.Prompts.back().Text, ClosingPrompts::CloseTransactionChoice());
        EXPECT_TRUE(runEndedFirst);
        EXPECT_TRUE(Visible(id)) << "Yes commits the row the run inserted";
    }
}

TEST_P(TransactionClosingTest, TheManagerIsOffWhileARunHoldsTheConnection)
{
    TFMain* w = OpenWithInsert(31);
    ASSERT_TRUE(w);
    EXPECT_TRUE(frame->mainmenu_query_transmanager->isEnabled());
    w->RichEdit_sql->setPlainText(GetParam().Pg ? "select pg_sleep(60)"
                                                : "with recursive c(n) as (select 1 union all select n + 1 from c "
                                                  "where n < 2000000000) select count(*) from c");
    frame->ToolButton_run->trigger();
    ASSERT_TRUE(WaitUntil([w] {
        std::lock_guard lock(w->StopLock);
        return w->StatementExecuting;
    }));
    // Ending the transaction now would wait in the driver for the run's end, the program frozen.
    EXPECT_FALSE(frame->mainmenu_query_transmanager->isEnabled());
    prompter.Prompts.clear();
    prompter.Answers = {Prompter::Yes};
    frame->mainmenu_query_transmanagerClick();
    EXPECT_TRUE(prompter.Prompts.empty());
    EXPECT_EQ(w->RunCounter, 1) << "the run goes on";
    EXPECT_EQ(w->TransactionState.load(), TransactionStates::MayBeOpen);

    frame->ToolButton_stop->trigger();
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_TRUE(frame->mainmenu_query_transmanager->isEnabled());
    EXPECT_FALSE(Visible(31));
    prompter.Prompts.clear();
    prompter.Answers = {Prompter::Yes};
    frame->mainmenu_query_transmanager->trigger();
    EXPECT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_TRUE(Visible(31));
}

INSTANTIATE_TEST_SUITE_P(Drivers, TransactionClosingTest,
                         testing::Values(DriverCase{"SQLite", false}, DriverCase{"PostgreSQL", true}),
                         [](const testing::TestParamInfo<DriverCase>& info) { return std::string(info.param.Name); });

// ---- a server that went away ----

TEST_F(ClosingTest, ACommitOrRollbackOnAStoppedServerReportsTheDriversTextAndNeverTrapsAWindow)
{
    OwnPgServer server;
    ASSERT_TRUE(server.Ok());
    Settings::AutoCommit = false;
    const QString dsn = QString::fromLatin1(server.Dsn());
    {
        TestConnection setup(server.Dsn(), "postgres");
        ASSERT_TRUE(setup.Ok());
        setup.Exec("CREATE TABLE tv_dead_tx (id INTEGER)");
    }
    QList<TFMain*> windows;
    for (int id = 1; id <= 4; ++id) {
        windows << Open(dsn, "postgres");
        ASSERT_TRUE(windows.last());
        Run(windows.last(), "INSERT INTO tv_dead_tx VALUES (" + QString::number(id) + ")");
        ASSERT_EQ(windows.last()->TransactionState.load(), TransactionStates::MayBeOpen);
    }
    ASSERT_TRUE(server.Stop());

    auto expectFailure = [this](const char* line, const QString& caption) {
        ASSERT_EQ(prompter.Prompts.size(), 2u) << "the question, then the report";
        const PromptRecord& p = prompter.Prompts[1];
        EXPECT_TRUE(p.Text.startsWith(QString(line) + "\n\n")) << p.Text.toStdString();
        // The driver's own text follows.
        EXPECT_TRUE(p.Text.contains("server closed the connection")) << p.Text.toStdString();
        EXPECT_EQ(p.Caption, caption);
        EXPECT_EQ(p.Icon, Prompter::Icon::Exclamation);
        EXPECT_EQ(p.Buttons, Prompter::Ok);
    };
    auto ask = [this](Prompter::Button answer) {
        prompter.Prompts.clear();
        prompter.Answers = {answer};
    };

    // The manager: the failure is reported and the transaction is still taken as open.
    for (int i : {0, 1}) {
        const Prompter::Button answer = i == 0 ? Prompter::Yes : Prompter::No;
        SCOPED_TRACE(answer);
        TFMain* w = windows[i];
        frame->MdiArea->setActiveSubWindow(frame->SubWindowOf(w));
        ask(answer);
        frame->mainmenu_query_transmanager->trigger();
        expectFailure(i == 0 ? "事务提交时发生错误！" : "事务回退时发生错误！", w->windowTitle());
        EXPECT_EQ(w->TransactionState.load(), TransactionStates::MayBeOpen);
        EXPECT_EQ(w->StatusBar2->PanelText(1), "可能存在未提交的事务");
    }

    // A window's own close reports the failure and closes all the same.
    const QString caption = windows[2]->windowTitle();
    ask(Prompter::Yes);
    CloseWindow(windows[2]);
    EXPECT_FALSE(IsOpen(windows[2]));
    expectFailure("事务提交时发生错误！", caption);

    // After its failed call the driver holds no transaction any more and reports success when asked
    // again: the server ended the transaction with the connection, and a commit says so.
    for (int i : {0, 1}) {
        SCOPED_TRACE(i);
        ask(Prompter::Yes);
        CloseWindow(windows[i]);
        EXPECT_FALSE(IsOpen(windows[i]));
        ASSERT_EQ(prompter.Prompts.size(), 2u);
        EXPECT_EQ(prompter.Prompts[1].Text, ClosingPrompts::LostTransaction);
    }

    // The frame's closing reports the failure and closes all the same.
    const QString last = windows[3]->windowTitle();
    ask(Prompter::No);
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
    expectFailure("事务回退时发生错误！", last);
}

// The window's session ended by the server: the server rolled its transaction back, and no commit
// passes for done, whether a statement met the loss first or the first commit did.
TEST_F(ClosingTest, ACommitAfterTheConnectionWasLostSaysTheServerRolledTheTransactionBack)
{
    const QString dsn = QString::fromLatin1(TestDsn::PgDsn());
    {
        TestConnection setup(TestDsn::PgDsn());
        ASSERT_TRUE(setup.Ok());
        setup.Exec("DROP TABLE IF EXISTS tv_lost_tx");
        setup.Exec("CREATE TABLE tv_lost_tx (id INTEGER)");
    }
    enum class Path { Manager, OwnClose, FrameClose };
    struct Case {
        const char* Name;
        bool FailedStatement; // a statement meets the loss; otherwise a first commit does
        Path Where;
        Prompter::Button Answer;
    };
    const Case cases[] = {
        {"manager, after a failed statement", true, Path::Manager, Prompter::Yes},
        {"manager, after a failed commit", false, Path::Manager, Prompter::Yes},
        {"manager's rollback, after a failed statement", true, Path::Manager, Prompter::No},
        {"own close, after a failed statement", true, Path::OwnClose, Prompter::Yes},
        {"own close, after a failed commit", false, Path::OwnClose, Prompter::Yes},
        {"frame's close, after a failed statement", true, Path::FrameClose, Prompter::Yes},
    };
    int id = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        if (!frame) StartProgram();
        Settings::AutoCommit = false;
        TFMain* w = Open(dsn, "postgres");
        ASSERT_TRUE(w);
        const int first = ++id, second = ++id;
        Run(w, QString("INSERT INTO tv_lost_tx VALUES (%1); INSERT INTO tv_lost_tx VALUES (%2)").arg(first).arg(second));
        ASSERT_EQ(w->TransactionState.load(), TransactionStates::MayBeOpen);
        ASSERT_TRUE(TestConnection::TerminateSession(w->hDbc, TestDsn::PgDsn()));
        const QString caption = w->windowTitle();
        prompter.Prompts.clear();
        if (c.FailedStatement) {
            Run(w, "INSERT INTO tv_lost_tx VALUES (0)");
            EXPECT_TRUE(w->LastErrorText.contains("connection")) << w->LastErrorText.toStdString();
            EXPECT_TRUE(prompter.Prompts.empty());
        } else {
            prompter.Answers = {Prompter::Yes};
            frame->mainmenu_query_transmanager->trigger();
            ASSERT_EQ(prompter.Prompts.size(), 2u) << "the question, then the report";
            EXPECT_TRUE(prompter.Prompts[1].Text.startsWith(ClosingPrompts::CommitFailed)) << prompter.Prompts[1].Text.toStdString();
            EXPECT_EQ(w->TransactionState.load(), TransactionStates::MayBeOpen) << "whether the commit was done is not known";
            prompter.Prompts.clear();
        }
        // Still asked: a transaction was open, and only the user ends it.
        EXPECT_EQ(w->TransactionState.load(), TransactionStates::MayBeOpen);
        EXPECT_EQ(w->StatusBar2->PanelText(1), "可能存在未提交的事务");
        prompter.Answers = {c.Answer};
        switch (c.Where) {
        case Path::Manager: frame->mainmenu_query_transmanager->trigger(); break;
        case Path::OwnClose: CloseWindow(w); break;
        case Path::FrameClose:
            EXPECT_TRUE(frame->close());
            frame.reset();
            FMain_mul = nullptr;
            break;
        }
        ASSERT_EQ(prompter.Prompts.size(), c.Answer == Prompter::Yes ? 2u : 1u) << "the question, then the report";
        if (c.Answer == Prompter::Yes) {
            const PromptRecord& report = prompter.Prompts[1];
            EXPECT_EQ(report.Text, ClosingPrompts::LostTransaction);
            EXPECT_EQ(report.Caption, caption);
            EXPECT_EQ(report.Icon, Prompter::Icon::Exclamation);
            EXPECT_EQ(report.Buttons, Prompter::Ok);
        }
        if (c.Where == Path::Manager) {
            EXPECT_EQ(w->TransactionState.load(), TransactionStates::None);
            EXPECT_EQ(w->StatusBar2->PanelText(1), "不存在事务");
            // A commit asked for once more finds no transaction.
            prompter.Prompts.clear();
            frame->mainmenu_query_transmanager->trigger();
            ASSERT_EQ(prompter.Prompts.size(), 1u);
            EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Ok);
            CloseWindow(w);
        }
        EXPECT_TRUE(!frame || !IsOpen(w));
        TestConnection check(TestDsn::PgDsn());
        EXPECT_EQ(check.Column(QString("SELECT count(*) FROM tv_lost_tx WHERE id IN (%1, %2)").arg(first).arg(second).toStdString()),
                  std::vector<std::string>{"0"})
            << "the server rolled the rows back";
    }
}

} // namespace
