// Scheduled runs in the running program: the schedule dialog from the frame's menu, the timer's
// ticks on a test clock, runs into a grid and into a file compared with manual runs, the connection
// check, and the reconnect after the PostgreSQL server restarted (a server of the test's own).
#include "ClosingPrompts.h"
#include "FrameTestSupport.h"
#include "OwnPgServer.h"
#include "ProgramGlobals.h"
#include "ProgramStart.h"
#include "QueryWindowNaming.h"
#include "ResultGrid.h"
#include "ResultGridModel.h"
#include "ScheduleConnection.h"
#include "ScriptedFileChooser.h"
#include "ResultPageControl.h"
#include "StatusPanelBar.h"
#include "TFMain.h"
#include "TFMain_mul.h"
#include "TestConnection.h"
#include "TestDsn.h"
#include "TfrmSqlSchedule.h"
#include "Tfrm_connect.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class TestClock : public ScheduleClock {
public:
    QDateTime Now() const override { return Time; }
    QDateTime Time = QDateTime(QDate(2031, 2, 3), QTime(4, 5, 57));
};

class ScheduleProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        installation = std::make_unique<TestInstallation>(TestInstallation::Contents{});
        WhenModal<Tfrm_connect>([](Tfrm_connect& d) { d.btnCancel->click(); });
        frame.reset(ProgramStart::Start());
        Settle();
        timerAtStart = {frame->Timer1->isActive(), frame->Timer1->interval()};
        startedAtStart = frame->ScheduleStarted;
        lastStartAtStart = frame->LastScheduleStart;
        // The ticks come from the test, on the test's clock.
        frame->Timer1->stop();
        frame->ScheduleClockInUse = &clock;
    }
    void TearDown() override
    {
        CloseFrame(frame);
        installation.reset();
    }

    TFMain* Open(const QString& dsn, const QString& user) { return OpenQueryWindowOn(*frame, dsn, user); }
    void Activate(TFMain* w)
    {
        frame->MdiArea->setActiveSubWindow(frame->SubWindowOf(w));
        Settle();
    }
    static bool WaitRunEnd(TFMain* w)
    {
        return WaitUntil([w] { return w->RunCounter == 0 && w->RunWorker.isNull(); }, 30000);
    }
    // The schedule dialog from the frame's menu, acted on while it is shown.
    void WithDialog(const std::function<void(TfrmSqlSchedule&)>& act)
    {
        bool shown = false;
        WhenModal<TfrmSqlSchedule>([&](TfrmSqlSchedule& d) {
            shown = true;
            EXPECT_EQ(frmSqlSchedule, &d);
            act(d);
            d.Btn_close->click();
        });
        frame->mainmenu_query_schedule->trigger();
        EXPECT_TRUE(shown);
        EXPECT_EQ(frmSqlSchedule, nullptr);
    }
    // Every cell of every result grid of the window's last run.
    static QStringList Grids(TFMain* w)
    {
        QStringList cells;
        for (ResultGrid* grid : w->ResultGrids) {
            if (!grid) continue;
            cells << "--";
            for (int row = 0; row < grid->Model()->GridRowCount(); ++row)
                for (int col = 0; col < grid->Model()->GridColCount(); ++col) cells << grid->Model()->Cell(col, row);
        }
        return cells;
    }
    // The messages page, line by line.
    static QStringList Messages(TFMain* w) { return w->RichEdit_result->toPlainText().split('\n'); }
    static QByteArray FileBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // A grid schedule due at the clock's time, set as the dialog sets it.
    void ScheduleNow(TFMain* w, std::int32_t mode = ScheduleModes::Grid, const QString& file = {})
    {
        w->HasSchedule = 1;
        w->ScheduleDate = clock.Time.date();
        w->ScheduleTime = clock.Time.time();
        w->ScheduleMoment = clock.Time;
        w->ScheduleDisplayMode = mode;
        w->ScheduleFileName = file;
    }
    void Tick(qint64 advanceMs = 0)
    {
        clock.Time = clock.Time.addMSecs(advanceMs);
        frame->Timer1Timer();
    }

    TestClock clock;
    RecordingPrompter prompter;
    ScriptedFileChooser files;
    std::unique_ptr<TestInstallation> installation;
    std::unique_ptr<TFMain_mul> frame;
    std::pair<bool, int> timerAtStart;
    std::uint8_t startedAtStart = 9;
    QDateTime lastStartAtStart;
};

TEST_F(ScheduleProgramTest, TheTimerRunsFromStartUpWithNoStartBehindIt)
{
    EXPECT_EQ(timerAtStart, (std::pair<bool, int>{true, 5000}));
    EXPECT_EQ(startedAtStart, 0);
    EXPECT_EQ(lastStartAtStart, QDateTime(QDate(1900, 1, 1), QTime(0, 0, 1)));
    EXPECT_EQ(frame->mainmenu_query_schedule->text(), "执行计划");
    EXPECT_TRUE(frame->menu_query->actions().contains(frame->mainmenu_query_schedule));
    // Without a query window the command shows nothing.
    frame->mainmenu_query_scheduleClick();
    EXPECT_EQ(frmSqlSchedule, nullptr);
    EXPECT_TRUE(prompter.Prompts.empty());
    Tick();
    EXPECT_EQ(frame->ScheduleStarted, 0);
}

struct DriverCase {
    const char* Name;
    bool Pg;
};

class ScheduleDriverTest : public ScheduleProgramTest, public testing::WithParamInterface<DriverCase> {
protected:
    QString Dsn() const { return QString::fromLatin1(GetParam().Pg ? TestDsn::PgDsn() : TestDsn::SQLiteDsn()); }
    QString User() const { return GetParam().Pg ? "postgres" : ""; }
    void MakeTable()
    {
        TestConnection setup(Dsn().toLatin1().constData());
        ASSERT_TRUE(setup.Ok());
        setup.Exec("DROP TABLE IF EXISTS tv_schedule_rows");
        setup.Exec("CREATE TABLE tv_schedule_rows (id INTEGER, name VARCHAR(20))");
        setup.Exec("INSERT INTO tv_schedule_rows VALUES (1, 'abc')");
        setup.Exec("INSERT INTO tv_schedule_rows VALUES (2, '汉字')");
    }
    // A window on the test table with the batch in its editor.
    TFMain* OpenWithBatch()
    {
        MakeTable();
        TFMain* w = Open(Dsn(), User());
        if (w) w->RichEdit_sql->setPlainText(batch);
        return w;
    }
    const QString batch = "SELECT id, name FROM tv_schedule_rows ORDER BY id;\n"
                          "SELECT count(*) AS n FROM tv_schedule_rows;\n"
                          "UPDATE tv_schedule_rows SET id = id WHERE id = 2";
};

TEST_P(ScheduleDriverTest, AGridScheduleAddedInTheDialogRunsAsAManualRunDoes)
{
    TFMain* w = OpenWithBatch();
    ASSERT_TRUE(w);
    frame->ToolButton_run->trigger();
    ASSERT_TRUE(WaitRunEnd(w));
    const QStringList manualGrids = Grids(w);
    const QStringList manualMessages = Messages(w);
    ASSERT_EQ(manualGrids.count("--"), 2);

    WithDialog([&](TfrmSqlSchedule& d) {
        EXPECT_EQ(d.windowTitle(), "SQL 执行计划");
        EXPECT_EQ(d.objectName(), "frmSqlSchedule");
        EXPECT_FALSE(d.CheckListBox1->isEnabled());
        EXPECT_EQ(d.CheckListBox1->count(), 0);
        EXPECT_FALSE(d.ComboBox_DisplayList->isEnabled());
        EXPECT_EQ(d.ComboBox_DisplayList->count(), 3);
        EXPECT_EQ(d.ComboBox_DisplayList->itemText(2), "保存结果到文件");
        EXPECT_EQ(d.ComboBox_DisplayList->currentIndex(), -1);
        EXPECT_TRUE(d.edit_filename->isReadOnly());
        EXPECT_FALSE(d.edit_filename->isEnabled());
        EXPECT_FALSE(d.btnFilename->isEnabled());
        EXPECT_TRUE(d.btn_Add->isEnabled());
        EXPECT_FALSE(d.btn_Delete->isEnabled());
        EXPECT_FALSE(d.btn_Update->isEnabled());
        EXPECT_EQ(d.DateTimePicker_date->date(), QDate(2031, 2, 3));
        EXPECT_EQ(d.DateTimePicker_time->time(), QTime(4, 5, 1));
        // The user moves the time on by a minute and adds.
        d.DateTimePicker_time->setTime(QTime(4, 6, 1));
        d.btn_Add->click();
        ASSERT_EQ(prompter.Prompts.size(), 1u);
        EXPECT_EQ(prompter.Prompts[0].Text, "成功增加执行计划！");
        EXPECT_EQ(prompter.Prompts[0].Caption, "提示");
        ASSERT_EQ(d.CheckListBox1->count(), 1);
        EXPECT_EQ(d.CheckListBox1->item(0)->text(), QString("Form%1   2031-02-03 04:06:01").arg(w->Handle()));
        EXPECT_EQ(d.CheckListBox1->item(0)->checkState(), Qt::Checked);
        EXPECT_EQ(d.ComboBox_DisplayList->currentIndex(), 0);
        EXPECT_FALSE(d.btn_Add->isEnabled());
        EXPECT_TRUE(d.btn_Update->isEnabled());
    });
    EXPECT_EQ(w->HasSchedule, 1);
    EXPECT_EQ(w->ScheduleMoment, QDateTime(QDate(2031, 2, 3), QTime(4, 6, 1)));

    // A manual run and another display are refused while the schedule is there.
    prompter.Prompts.clear();
    frame->ToolButton_run->trigger();
    frame->N_File->trigger();
    ASSERT_EQ(prompter.Prompts.size(), 2u);
    EXPECT_EQ(prompter.Prompts[1].Text, "SQL 执行计划中是以表格显示结果，所以不能更改显示结果的方式！");
    EXPECT_EQ(w->RunCounter, 0);
    EXPECT_EQ(w->DisplayToFile, 0);

    // Not yet: the tick a second before the moment starts nothing.
    Tick(3000);
    EXPECT_EQ(w->RunCounter, 0);
    EXPECT_EQ(w->HasSchedule, 1);
    // The moment's tick starts the run and takes the schedule.
    Tick(1000);
    EXPECT_EQ(w->HasSchedule, 0);
    EXPECT_EQ(w->ScheduleDisplayMode, -1);
    EXPECT_EQ(frame->ScheduleStarted, 1);
    EXPECT_EQ(frame->LastScheduleStart, clock.Time);
    EXPECT_TRUE(w->StatusBar1->PanelText(0).startsWith("开始执行时间："));
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_EQ(Grids(w), manualGrids);
    EXPECT_EQ(Messages(w), manualMessages);
    EXPECT_EQ(w->StatusBar1->PanelText(2), "共返回结果行数：3");
    EXPECT_EQ(prompter.Prompts.size(), 2u) << "the scheduled run raised a message";

    // The schedule is gone: F5 runs by hand again.
    frame->ToolButton_run->trigger();
    EXPECT_EQ(w->RunCounter, 1);
    ASSERT_TRUE(WaitRunEnd(w));
}

TEST_P(ScheduleDriverTest, AFileScheduleWritesTheFileAManualRunWrites)
{
    TFMain* w = OpenWithBatch();
    ASSERT_TRUE(w);
    frame->N_File->trigger();
    const QString dir = QString::fromStdString(TestDsn::ScratchDir());
    // The other driver's case may have left its files in the same scratch folder.
    QFile::remove(dir + "/manual.csv");
    QFile::remove(dir + "/scheduled.txt");
    files.Accept(dir + "/manual", 1);
    frame->ToolButton_run->trigger();
    ASSERT_TRUE(WaitRunEnd(w));
    const QByteArray manual = FileBytes(dir + "/manual.csv");
    ASSERT_TRUE(manual.contains("2,\"\xE6\xB1\x89\xE5\xAD\x97\"")) << manual.toStdString();

    WithDialog([&](TfrmSqlSchedule& d) {
        EXPECT_TRUE(d.edit_filename->isEnabled());
        EXPECT_TRUE(d.btnFilename->isEnabled());
        d.btn_Add->click();
        EXPECT_EQ(prompter.Prompts.back().Text, "结果保存成文件时，必须选择文件！");
        EXPECT_EQ(prompter.Prompts.back().Caption, "SQL 执行计划");
        files.Accept(dir + "/scheduled", 0);
        d.btnFilename->click();
        EXPECT_EQ(d.edit_filename->text(), dir + "/scheduled.txt");
        d.btn_Add->click();
        EXPECT_EQ(prompter.Prompts.back().Text, "成功增加执行计划！");
        EXPECT_EQ(d.ComboBox_DisplayList->currentIndex(), 2);
    });
    EXPECT_EQ(w->ScheduleDisplayMode, ScheduleModes::File);
    EXPECT_EQ(w->ScheduleFileName, dir + "/scheduled.txt");
    const std::size_t dialogs = files.Requests.size();

    Tick(1000);
    EXPECT_EQ(w->RunCounter, 1);
    EXPECT_EQ(w->ResultFileName, dir + "/scheduled.txt");
    EXPECT_TRUE(w->ScheduleFileName.isEmpty()) << "a new file schedule needs a new choice";
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_EQ(files.Requests.size(), dialogs) << "no dialog for a scheduled run";
    EXPECT_EQ(FileBytes(dir + "/scheduled.txt"), manual);
    EXPECT_TRUE(Messages(w).contains("下列文件已成功保存:"));
}

TEST_P(ScheduleDriverTest, TheProbePassesOnALiveConnectionAndKeepsIt)
{
    TFMain* w = Open(Dsn(), User());
    ASSERT_TRUE(w);
    EXPECT_TRUE(ScheduleConnection::Answers(w->hDbc));
    EXPECT_FALSE(ScheduleConnection::Answers(SQL_NULL_HDBC));
    Settings::SQLScheduleReconnect = true;
    const SQLHDBC dbc = w->hDbc;
    const SQLHENV env = w->hEnv;
    w->RichEdit_sql->setPlainText("SELECT 7 AS n");
    ScheduleNow(w);
    Tick();
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_EQ(w->hDbc, dbc);
    EXPECT_EQ(w->hEnv, env);
    EXPECT_EQ(Grids(w), (QStringList{"--", "", "n", "1", "7"}));
}

TEST_P(ScheduleDriverTest, AWindowDueDuringItsRunKeepsItsScheduleForALaterTick)
{
    TFMain* w = Open(Dsn(), User());
    ASSERT_TRUE(w);
    w->RichEdit_sql->setPlainText(GetParam().Pg ? "SELECT pg_sleep(60)"
                                                : "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c "
                                                  "WHERE n < 2000000000) SELECT count(*) FROM c");
    frame->ToolButton_run->trigger();
    ASSERT_EQ(w->RunCounter, 1);
    ScheduleNow(w);
    Tick();
    EXPECT_EQ(w->HasSchedule, 1);
    EXPECT_EQ(frame->ScheduleStarted, 0) << "a window that could not start is not counted";
    frame->ToolButton_stop->trigger();
    ASSERT_TRUE(WaitRunEnd(w));

    w->RichEdit_sql->setPlainText("SELECT 8 AS n");
    Tick(5000);
    EXPECT_EQ(w->HasSchedule, 0);
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_EQ(Grids(w), (QStringList{"--", "", "n", "1", "8"}));
}

INSTANTIATE_TEST_SUITE_P(Drivers, ScheduleDriverTest, testing::Values(DriverCase{"SQLite", false}, DriverCase{"PostgreSQL", true}),
                         [](const testing::TestParamInfo<DriverCase>& info) { return std::string(info.param.Name); });

TEST_F(ScheduleProgramTest, TheDialogActsOnItsOwnWindowWhileATickStartsAnother)
{
    TFMain* a = Open(TestDsn::SQLiteDsn(), "");
    TFMain* b = Open(TestDsn::SQLiteDsn(), "");
    ASSERT_TRUE(a && b);
    b->RichEdit_sql->setPlainText("SELECT 'b' AS w");
    a->RichEdit_sql->setPlainText("SELECT 'a' AS w");
    ScheduleNow(b);
    Activate(a);
    WithDialog([&](TfrmSqlSchedule& d) {
        // A's schedule, an hour ahead.
        d.DateTimePicker_time->setTime(QTime(5, 5, 1));
        d.btn_Add->click();
        ASSERT_EQ(a->HasSchedule, 1);
        const QString line = d.CheckListBox1->item(0)->text();

        // B's moment has come: B comes to the front and starts; A's line stays.
        Tick();
        EXPECT_EQ(frame->ActiveQueryWindow(), b);
        EXPECT_EQ(b->HasSchedule, 0);
        ASSERT_EQ(d.CheckListBox1->count(), 1);
        EXPECT_EQ(d.CheckListBox1->item(0)->text(), line);

        // The next button still acts on A.
        prompter.Prompts.clear();
        d.btn_Delete->click();
        EXPECT_EQ(prompter.Prompts.at(0).Text, "成功删除执行计划！");
        EXPECT_EQ(a->HasSchedule, 0);
        d.btn_Add->click();
        EXPECT_EQ(a->HasSchedule, 1);
        EXPECT_EQ(a->ScheduleMoment, QDateTime(QDate(1900, 1, 1), QTime(0, 0, 1))) << "the pickers showed the deleted values";

        // A's own start clears the dialog's line.
        Tick(15000);
        EXPECT_EQ(a->HasSchedule, 0);
        EXPECT_EQ(frame->ActiveQueryWindow(), a);
        EXPECT_EQ(d.CheckListBox1->count(), 0);
    });
    ASSERT_TRUE(WaitRunEnd(a));
    ASSERT_TRUE(WaitRunEnd(b));
    EXPECT_EQ(Grids(a), (QStringList{"--", "", "w", "1", "\"a\""}));
    EXPECT_EQ(Grids(b), (QStringList{"--", "", "w", "1", "\"b\""}));
}

TEST_F(ScheduleProgramTest, TheDialogShowsTheNewStateUnderItsMessagesAndItsDateAsTheListLineDoes)
{
    TFMain* w = Open(TestDsn::SQLiteDsn(), "");
    ASSERT_TRUE(w);
    const QLocale before;
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::English, QLocale::UnitedKingdom), QLocale(QLocale::Chinese, QLocale::China)}) {
        SCOPED_TRACE(locale.name().toStdString());
        QLocale::setDefault(locale);
        WithDialog([&](TfrmSqlSchedule& d) { EXPECT_EQ(d.DateTimePicker_date->text(), "2031-02-03"); });
    }
    QLocale::setDefault(before);

    WithDialog([&](TfrmSqlSchedule& d) {
        const QString line = QString("Form%1   ").arg(w->Handle());
        struct Shown {
            QStringList Lines;
            QString Date;
            bool AddEnabled, DeleteEnabled;
        };
        std::vector<Shown> underMessages;
        prompter.OnMessage = [&](const PromptRecord&) {
            QStringList lines;
            for (int i = 0; i < d.CheckListBox1->count(); ++i) lines << d.CheckListBox1->item(i)->text();
            underMessages.push_back({lines, d.DateTimePicker_date->text(), d.btn_Add->isEnabled(), d.btn_Delete->isEnabled()});
        };
        d.DateTimePicker_time->setTime(QTime(4, 6, 1));
        d.btn_Add->click();
        d.DateTimePicker_date->setDate(QDate(2031, 2, 4));
        d.btn_Update->click();
        d.btn_Delete->click();
        prompter.OnMessage = nullptr;
        ASSERT_EQ(prompter.Prompts.size(), 3u);
        EXPECT_EQ(prompter.Prompts[1].Text, "成功修改执行计划！");
        ASSERT_EQ(underMessages.size(), 3u);
        EXPECT_EQ(underMessages[0].Lines, QStringList{line + "2031-02-03 04:06:01"});
        EXPECT_FALSE(underMessages[0].AddEnabled);
        EXPECT_EQ(underMessages[1].Lines, QStringList{line + "2031-02-04 04:06:01"});
        EXPECT_EQ(underMessages[1].Date, "2031-02-04");
        EXPECT_EQ(underMessages[2].Lines, QStringList{});
        EXPECT_TRUE(underMessages[2].AddEnabled);
        EXPECT_FALSE(underMessages[2].DeleteEnabled);
        EXPECT_EQ(underMessages[2].Date, "1900-01-01");
    });
}

TEST_F(ScheduleProgramTest, AFileThatCannotBeCreatedIsReportedAfterTheTickAndHoldsUpNoOtherSchedule)
{
    TFMain* a = Open(TestDsn::SQLiteDsn(), "");
    TFMain* b = Open(TestDsn::SQLiteDsn(), "");
    ASSERT_TRUE(a && b);
    a->RichEdit_sql->setPlainText("SELECT 1");
    b->RichEdit_sql->setPlainText("SELECT 2 AS n");
    // A's result file cannot be created, not even by root: its name is a folder.
    const QString blocked = QString::fromStdString(TestDsn::ScratchDir()) + "/blocked.txt";
    QDir().mkpath(blocked);
    Activate(a);
    frame->N_File->trigger();
    a->RichEdit_result->setPlainText("\n下列文件已成功保存:\n\nearlier.txt  2  字节");
    ScheduleNow(a, ScheduleModes::File, blocked);
    ScheduleNow(b);

    // The tick ends without a box; A's messages page tells what happened.
    Tick();
    EXPECT_TRUE(prompter.Prompts.empty());
    EXPECT_EQ(a->HasSchedule, 0);
    EXPECT_EQ(a->RunCounter, 0);
    const QStringList messages = Messages(a);
    ASSERT_EQ(messages.size(), 4) << a->RichEdit_result->toPlainText().toStdString();
    EXPECT_EQ(messages[1], "下列文件保存失败:");
    EXPECT_TRUE(messages[3].startsWith(blocked + ": ")) << messages[3].toStdString();
    EXPECT_EQ(a->PageControl_result->currentIndex(), 0);
    EXPECT_TRUE(a->StatusBar1->PanelText(0).startsWith("开始执行时间：" + QDate::currentDate().toString("yyyy-MM-dd")));

    // The box comes after the tick; while it is open, B's moment comes and B starts, and A may close.
    QPointer<TFMain> closed(a);
    int startsUnderTheBox = -1;
    prompter.OnMessage = [&](const PromptRecord&) {
        Tick(20000);
        startsUnderTheBox = b->HasSchedule == 0 ? 1 : 0;
        frame->SubWindowOf(a)->close();
    };
    Settle();
    prompter.OnMessage = nullptr;
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, messages[3]);
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Error);
    EXPECT_EQ(prompter.Prompts[0].Caption, frame->windowTitle());
    EXPECT_EQ(startsUnderTheBox, 1);
    Settle();
    EXPECT_TRUE(closed.isNull());
    ASSERT_TRUE(WaitRunEnd(b));
    EXPECT_EQ(Grids(b), (QStringList{"--", "", "n", "1", "2"}));
}

TEST_F(ScheduleProgramTest, ATickWhileTheManagerAsksAboutAWindowsTransactionLeavesItsScheduleForLater)
{
    Settings::AutoCommit = false;
    {
        TestConnection setup(TestDsn::SQLiteDsn());
        ASSERT_TRUE(setup.Ok());
        setup.Exec("DROP TABLE IF EXISTS tv_sched_tx");
        setup.Exec("CREATE TABLE tv_sched_tx (id INTEGER)");
    }
    TFMain* w = Open(TestDsn::SQLiteDsn(), "");
    ASSERT_TRUE(w);
    w->RichEdit_sql->setPlainText("INSERT INTO tv_sched_tx VALUES (1)");
    frame->ToolButton_run->trigger();
    ASSERT_TRUE(WaitRunEnd(w));
    ASSERT_EQ(w->TransactionState.load(), TransactionStates::MayBeOpen);
    w->RichEdit_sql->setPlainText("INSERT INTO tv_sched_tx VALUES (2)");
    ScheduleNow(w);

    bool startedUnderTheQuestion = true;
    prompter.OnMessage = [&](const PromptRecord&) {
        Tick();
        startedUnderTheQuestion = w->HasSchedule == 0 || w->RunCounter != 0;
    };
    prompter.Answers = {Prompter::Yes};
    frame->mainmenu_query_transmanager->trigger();
    prompter.OnMessage = nullptr;
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_FALSE(startedUnderTheQuestion);
    // The commit took the first row only; the scheduled run comes with the next tick.
    auto rows = [] {
        TestConnection check(TestDsn::SQLiteDsn());
        return check.Column("SELECT group_concat(id) FROM tv_sched_tx");
    };
    EXPECT_EQ(rows(), std::vector<std::string>{"1"});
    EXPECT_EQ(w->TransactionState.load(), TransactionStates::None);
    Tick(20000);
    EXPECT_EQ(w->HasSchedule, 0);
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_EQ(w->TransactionState.load(), TransactionStates::MayBeOpen);
    prompter.Answers = {Prompter::Yes};
    frame->mainmenu_query_transmanager->trigger();
    EXPECT_EQ(rows(), std::vector<std::string>{"1,2"});
}

// A tick under one window's dialog brings another window to the front: from then on the frame's
// commands are that window's, whatever the first window does when its dialog closes.
TEST_F(ScheduleProgramTest, AfterADialogUnderWhichATickStartedAnotherWindowTheFrameShowsTheWindowInFront)
{
    const QString longRun = "with recursive c(n) as (select 1 union all select n + 1 from c where n < 2000000000) "
                            "select count(*) from c";
    struct Case {
        const char* Name;
        bool RunIntoFile;     // the first window's run into a file, else the save of its script
        const char* Scheduled; // the second window's scheduled statement
        bool InFrontRuns;      // the second window still runs when the dialog closes
    };
    const Case cases[] = {
        {"script save", false, "long", true},
        {"run into a file", true, "select 1", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFMain* a = Open(TestDsn::SQLiteDsn(), "");
        TFMain* b = Open(TestDsn::SQLiteDsn(), "");
        ASSERT_TRUE(a && b);
        b->RichEdit_sql->setPlainText(QString::fromLatin1(c.Scheduled) == "long" ? longRun : c.Scheduled);
        ScheduleNow(b);
        Activate(a);
        a->RichEdit_sql->setPlainText(c.RunIntoFile ? longRun : "select 1");
        if (c.RunIntoFile) frame->N_File->trigger();
        files.OnChoose = [&](const FileChooser::Request&) {
            Tick(20000);
            if (!c.InFrontRuns) WaitRunEnd(b);
        };
        files.Accept(QString::fromStdString(TestDsn::ScratchDir()) + QStringLiteral("/in-front-%1.txt").arg(++n));
        (c.RunIntoFile ? frame->ToolButton_run : frame->ToolButton_savesql)->trigger();
        files.OnChoose = nullptr;
        ASSERT_EQ(frame->ActiveQueryWindow(), b);
        ASSERT_EQ(b->RunCounter != 0, c.InFrontRuns);
        ASSERT_EQ(a->RunCounter != 0, c.RunIntoFile);
        for (QAction* run : {frame->ToolButton_run, frame->mainmenu_query_run})
            EXPECT_EQ(run->isEnabled(), !c.InFrontRuns) << run->objectName().toStdString();
        for (QAction* stop : {frame->ToolButton_stop, frame->mainmenu_query_stop})
            EXPECT_EQ(stop->isEnabled(), c.InFrontRuns) << stop->objectName().toStdString();
        for (TFMain* w : {a, b}) {
            Activate(w);
            frame->ToolButton_stop->trigger();
            ASSERT_TRUE(WaitRunEnd(w));
            w->RichEdit_sql->document()->setModified(false);
            frame->SubWindowOf(w)->close();
            Settle();
        }
    }
}

// The server restarts between the schedule and its moment.
TEST_F(ScheduleProgramTest, AfterTheServerRestartedTheReconnectRestoresTheConnection)
{
    OwnPgServer server;
    ASSERT_TRUE(server.Ok());
    for (bool autoCommit : {true, false}) {
        SCOPED_TRACE(autoCommit ? "auto-commit" : "manual commit");
        Settings::AutoCommit = autoCommit;
        Settings::SQLScheduleReconnect = true;
        TFMain* w = Open(server.Dsn(), "postgres");
        ASSERT_TRUE(w);
        // In manual commit a statement leaves a transaction that the restart ends.
        w->RichEdit_sql->setPlainText("SELECT 1");
        frame->ToolButton_run->trigger();
        ASSERT_TRUE(WaitRunEnd(w));
        const SQLHDBC before = w->hDbc;
        w->RichEdit_sql->setPlainText("SELECT current_database() AS db");
        ScheduleNow(w);

        ASSERT_TRUE(server.Restart());
        EXPECT_FALSE(ScheduleConnection::Answers(w->hDbc)) << "the restart ended the window's connection";
        Tick(20000);
        EXPECT_NE(w->hDbc, before);
        EXPECT_EQ(w->AutoCommit, autoCommit ? 1 : 0);
        EXPECT_EQ(w->TransactionState, autoCommit ? TransactionStates::AutoCommit : TransactionStates::None);
        EXPECT_EQ(w->StatusBar2->PanelText(0), autoCommit ? "事务提交方式：自动提交" : "事务提交方式：手工提交");
        ASSERT_TRUE(WaitRunEnd(w));
        EXPECT_EQ(Grids(w), (QStringList{"--", "", "db", "1", "\"postgres\""})) << Messages(w).join('\n').toStdString();
        EXPECT_TRUE(ScheduleConnection::Answers(w->hDbc));
        frame->SubWindowOf(w)->close();
        Settle();
    }
    EXPECT_TRUE(prompter.Prompts.empty());
}

// The window's session ended by the server while a transaction was open: the reconnect for the
// scheduled run does not pass that transaction off as ended. Its commit says that what was done
// before the reconnect was lost and what the run did on the new connection is committed, once;
// a rollback asks for what the server did and says nothing.
TEST_F(ScheduleProgramTest, AReconnectKeepsALostTransactionToBeReportedAtItsCommit)
{
    const char* dsn = TestDsn::PgDsn();
    Settings::AutoCommit = false;
    Settings::SQLScheduleReconnect = true;
    for (bool commit : {true, false}) {
        SCOPED_TRACE(commit ? "commit" : "rollback");
        {
            TestConnection setup(dsn);
            ASSERT_TRUE(setup.Ok());
            setup.Exec("DROP TABLE IF EXISTS tv_sched_lost");
            setup.Exec("CREATE TABLE tv_sched_lost (id INTEGER)");
        }
        prompter.Prompts.clear();
        TFMain* w = Open(dsn, "postgres");
        ASSERT_TRUE(w);
        w->RichEdit_sql->setPlainText("INSERT INTO tv_sched_lost VALUES (1)");
        frame->ToolButton_run->trigger();
        ASSERT_TRUE(WaitRunEnd(w));
        ASSERT_EQ(w->TransactionState, TransactionStates::MayBeOpen);
        const SQLHDBC before = w->hDbc;
        ASSERT_TRUE(TestConnection::TerminateSession(w->hDbc, dsn));

        w->RichEdit_sql->setPlainText("INSERT INTO tv_sched_lost VALUES (2)");
        ScheduleNow(w);
        Tick(20000);
        ASSERT_TRUE(WaitRunEnd(w));
        EXPECT_NE(w->hDbc, before) << "the window reconnected";
        EXPECT_EQ(Messages(w), (QStringList{"", "（所影响的行数为 1 行）", ""}));
        EXPECT_TRUE(prompter.Prompts.empty()) << "a scheduled run asks nothing";
        EXPECT_EQ(w->TransactionState, TransactionStates::MayBeOpen);
        EXPECT_EQ(w->StatusBar2->PanelText(1), "可能存在未提交的事务");

        prompter.Answers = {commit ? Prompter::Yes : Prompter::No};
        frame->mainmenu_query_transmanager->trigger();
        if (commit) {
            ASSERT_EQ(prompter.Prompts.size(), 2u) << "the question, then the report";
            EXPECT_EQ(prompter.Prompts[1].Text, ClosingPrompts::EarlierTransactionLost);
            EXPECT_EQ(prompter.Prompts[1].Caption, w->windowTitle());
        } else {
            EXPECT_EQ(prompter.Prompts.size(), 1u) << "the question only";
        }
        EXPECT_EQ(w->TransactionState, TransactionStates::None);
        EXPECT_EQ(w->StatusBar2->PanelText(1), "不存在事务");
        TestConnection check(dsn);
        EXPECT_EQ(check.Column("SELECT id FROM tv_sched_lost ORDER BY id"),
                  commit ? std::vector<std::string>{"2"} : std::vector<std::string>{});

        // The loss has been said: the next commit is the new connection's own and says nothing.
        w->RichEdit_sql->setPlainText("INSERT INTO tv_sched_lost VALUES (3)");
        frame->ToolButton_run->trigger();
        ASSERT_TRUE(WaitRunEnd(w));
        prompter.Prompts.clear();
        prompter.Answers = {Prompter::Yes};
        frame->mainmenu_query_transmanager->trigger();
        EXPECT_EQ(prompter.Prompts.size(), 1u) << "the question only";
        EXPECT_EQ(check.Column("SELECT id FROM tv_sched_lost ORDER BY id"),
                  commit ? (std::vector<std::string>{"2", "3"}) : std::vector<std::string>{"3"});
        frame->SubWindowOf(w)->close();
        Settle();
    }
}

TEST_F(ScheduleProgramTest, WithoutTheServerTheRunStartsAndReportsTheDriversError)
{
    OwnPgServer server;
    ASSERT_TRUE(server.Ok());
    Settings::SQLScheduleReconnect = true;
    TFMain* w = Open(server.Dsn(), "postgres");
    ASSERT_TRUE(w);
    const SQLHDBC before = w->hDbc;
    w->RichEdit_sql->setPlainText("SELECT 1 AS n");
    ScheduleNow(w);
    // Held, so that no other test's server takes the port and answers the reconnect: one that
    // starts now gets another.
    ASSERT_TRUE(server.StopAndHoldThePort());
    OwnPgServer next;
    ASSERT_TRUE(next.Ok());
    Tick(20000);
    EXPECT_EQ(w->hDbc, before) << "a failed reconnect keeps the window's connection";
    EXPECT_EQ(w->HasSchedule, 0);
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_TRUE(Grids(w).isEmpty());
    EXPECT_FALSE(w->LastErrorText.isEmpty());
    EXPECT_TRUE(Messages(w).join('\n').contains(w->LastErrorText.trimmed())) << Messages(w).join('\n').toStdString();
    EXPECT_TRUE(prompter.Prompts.empty());
}

} // namespace
