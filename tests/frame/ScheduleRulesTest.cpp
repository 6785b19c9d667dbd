// The schedule's rules that need no widget: the timer's tick over a test clock, the dialog's list
// line, and the dialog's add, change, delete and file rules with their messages.
#include "QueryWindowSchedule.h"
#include "QueryWindowState.h"
#include "RecordingPrompter.h"
#include "ScheduleListLine.h"
#include "ScheduleTick.h"
#include "ScriptedFileChooser.h"
#include "SqlScheduleController.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

class TestClock : public ScheduleClock {
public:
    QDateTime Now() const override { return Time; }
    QDateTime Time;
};

// Records which windows the tick starts, with the file name each still had at its start.
class RecordingLauncher : public ScheduledRunLauncher {
public:
    explicit RecordingLauncher(std::vector<QueryWindowSchedule>& windows) : windows_(windows) {}
    bool Launch(std::size_t i) override
    {
        Started.push_back(i);
        FileNamesAtStart.push_back(windows_[i].ScheduleFileName);
        return !WindowClosesDuringStart;
    }
    std::vector<std::size_t> Started;
    QStringList FileNamesAtStart;
    bool WindowClosesDuringStart = false;

private:
    std::vector<QueryWindowSchedule>& windows_;
};

const QDateTime TickTime(QDate(2031, 2, 3), QTime(4, 5, 6));

// A window of a tick: its moment in milliseconds from the tick's time.
struct WindowSpec {
    bool Scheduled;
    qint64 MomentMs;
    bool Busy = false;
};

struct TickCase {
    const char* Name;
    std::vector<WindowSpec> Windows;
    bool StartedBefore;     // ScheduleStarted at the tick
    qint64 LastStartMs;     // LastScheduleStart in milliseconds from the tick's time
    int Expected;           // the window started, -1 none
};

std::ostream& operator<<(std::ostream& os, const TickCase& c) { return os << c.Name; }

class ScheduleTickCases : public testing::TestWithParam<TickCase> {};

TEST_P(ScheduleTickCases, StartsAtMostTheFirstDueWindowTheSpacingAllows)
{
    const TickCase& c = GetParam();
    std::vector<QueryWindowSchedule> schedules(c.Windows.size());
    std::vector<ScheduleTick::Window> windows;
    for (std::size_t i = 0; i < c.Windows.size(); ++i) {
        QueryWindowSchedule& s = schedules[i];
        if (c.Windows[i].Scheduled) {
            s.HasSchedule = 1;
            s.ScheduleMoment = TickTime.addMSecs(c.Windows[i].MomentMs);
            s.ScheduleDate = s.ScheduleMoment.date();
            s.ScheduleTime = s.ScheduleMoment.time();
            s.ScheduleDisplayMode = ScheduleModes::File;
            s.ScheduleFileName = QStringLiteral("/tmp/result%1.txt").arg(i);
        }
        windows.push_back({&s, c.Windows[i].Busy});
    }
    const std::vector<QueryWindowSchedule> before = schedules;
    TestClock clock;
    clock.Time = TickTime;
    std::uint8_t started = c.StartedBefore ? 1 : 0;
    QDateTime lastStart = TickTime.addMSecs(c.LastStartMs);
    const QDateTime lastStartBefore = lastStart;
    RecordingLauncher launcher(schedules);

    EXPECT_EQ(ScheduleTick::Run(windows, started, lastStart, clock, launcher), c.Expected);

    if (c.Expected < 0) {
        EXPECT_TRUE(launcher.Started.empty());
        EXPECT_EQ(started, c.StartedBefore ? 1 : 0);
        EXPECT_EQ(lastStart, lastStartBefore);
    } else {
        ASSERT_EQ(launcher.Started, std::vector<std::size_t>{std::size_t(c.Expected)});
        // The start reads the schedule's file; it is cleared only once the run is under way.
        EXPECT_EQ(launcher.FileNamesAtStart.value(0), before[c.Expected].ScheduleFileName);
        EXPECT_EQ(started, 1);
        EXPECT_EQ(lastStart, TickTime);
        const QueryWindowSchedule& s = schedules[c.Expected];
        EXPECT_EQ(s.HasSchedule, 0);
        EXPECT_EQ(s.ScheduleDate, QDate(1900, 1, 1));
        EXPECT_EQ(s.ScheduleTime, QTime(0, 0, 1));
        EXPECT_EQ(s.ScheduleMoment, QDateTime(QDate(1900, 1, 1), QTime(0, 0, 1)));
        EXPECT_EQ(s.ScheduleDisplayMode, ScheduleModes::None);
        EXPECT_TRUE(s.ScheduleFileName.isEmpty());
    }
    // Every other window keeps its schedule, a busy one too.
    for (std::size_t i = 0; i < schedules.size(); ++i) {
        if (int(i) == c.Expected) continue;
        SCOPED_TRACE(i);
        EXPECT_EQ(schedules[i].HasSchedule, before[i].HasSchedule);
        EXPECT_EQ(schedules[i].ScheduleMoment, before[i].ScheduleMoment);
        EXPECT_EQ(schedules[i].ScheduleFileName, before[i].ScheduleFileName);
    }
}

constexpr qint64 Hour = 3600 * 1000;

INSTANTIATE_TEST_SUITE_P(
    Ticks, ScheduleTickCases,
    testing::Values(
        TickCase{"a past moment starts", {{true, -Hour}}, false, 0, 0},
        TickCase{"a moment of a past day starts", {{true, -30 * 24 * Hour}}, true, -Hour, 0},
        TickCase{"the moment itself starts", {{true, 0}}, false, 0, 0},
        TickCase{"a moment a millisecond ahead waits", {{true, 1}}, false, 0, -1},
        TickCase{"a window without a schedule is passed over", {{false, -Hour}}, false, 0, -1},
        TickCase{"two due: the first starts, the second waits", {{true, -1000}, {true, -1000}}, false, 0, 0},
        TickCase{"a window not yet due is passed over", {{true, Hour}, {true, -1000}}, false, 0, 1},
        TickCase{"14.5 s since the last start rounds to 14 and waits", {{true, -1000}}, true, -14500, -1},
        TickCase{"15.5 s since the last start rounds to 16 and starts", {{true, -1000}}, true, -15500, 0},
        TickCase{"13.5 s rounds to 14 and waits", {{true, -1000}}, true, -13500, -1},
        TickCase{"14.501 s rounds to 15 and starts", {{true, -1000}}, true, -14501, 0},
        TickCase{"14.499 s rounds to 14 and waits", {{true, -1000}}, true, -14499, -1},
        TickCase{"exactly 15 s starts", {{true, -1000}}, true, -15000, 0},
        TickCase{"a last start 15.5 s ahead counts by its distance", {{true, -1000}}, true, 15500, 0},
        TickCase{"a last start 14.5 s ahead waits", {{true, -1000}}, true, 14500, -1},
        TickCase{"before the first start the last start is not looked at", {{true, -1000}}, false, -1000, 0},
        TickCase{"a busy window keeps its schedule and the next one starts",
                 {{true, -1000, true}, {true, -1000}}, false, 0, 1},
        TickCase{"a busy window alone starts nothing", {{true, -1000, true}}, true, -Hour, -1},
        TickCase{"the spacing holds back a window behind a busy one", {{true, -1000, true}, {true, -1000}}, true,
                 -5000, -1}));

TEST(ScheduleTick, TwoWindowsDueTogetherStartThreeTicksApart)
{
    std::vector<QueryWindowSchedule> schedules(2);
    for (QueryWindowSchedule& s : schedules) {
        s.HasSchedule = 1;
        s.ScheduleMoment = TickTime;
    }
    const std::vector<ScheduleTick::Window> windows{{&schedules[0], false}, {&schedules[1], false}};
    TestClock clock;
    std::uint8_t started = 0; // as at start-up
    QDateTime lastStart(QDate(1900, 1, 1), QTime(0, 0, 1));
    RecordingLauncher launcher(schedules);
    std::vector<int> results;
    for (int tick = 0; tick < 5; ++tick) {
        // Each tick comes 5 s after the previous one, a few milliseconds late.
        clock.Time = TickTime.addMSecs(tick * 5000 + tick * 7);
        results.push_back(ScheduleTick::Run(windows, started, lastStart, clock, launcher));
    }
    EXPECT_EQ(results, (std::vector<int>{0, -1, -1, 1, -1}));
    EXPECT_EQ(lastStart, TickTime.addMSecs(15021));
}

TEST(ScheduleTick, AWindowThatClosesDuringItsStartIsLeftAlone)
{
    std::vector<QueryWindowSchedule> schedules(1);
    schedules[0].HasSchedule = 1;
    schedules[0].ScheduleMoment = TickTime;
    schedules[0].ScheduleFileName = QStringLiteral("/tmp/kept.txt");
    TestClock clock;
    clock.Time = TickTime;
    std::uint8_t started = 0;
    QDateTime lastStart;
    RecordingLauncher launcher(schedules);
    launcher.WindowClosesDuringStart = true;
    EXPECT_EQ(ScheduleTick::Run({{&schedules[0], false}}, started, lastStart, clock, launcher), 0);
    // The tick does not touch what the closed window left behind.
    EXPECT_EQ(schedules[0].ScheduleFileName, "/tmp/kept.txt");
    EXPECT_EQ(started, 1);
}

TEST(ScheduleTick, SecondsAreRoundedHalfToEven)
{
    const std::pair<qint64, qint64> cases[] = {{0, 0},         {499, 0},      {500, 0},      {501, 1},
                                               {1500, 2},      {2500, 2},     {3500, 4},     {14500, 14},
                                               {15500, 16},    {14999, 15},   {-15500, 16},  {-14500, 14},
                                               {86400500, 86400}, {86401500, 86402}};
    for (auto [ms, seconds] : cases)
        EXPECT_EQ(ScheduleTick::RoundedSeconds(TickTime, TickTime.addMSecs(ms)), seconds) << ms << " ms";
}

TEST(ScheduleListLine, NamesTheWindowAndTheMoment)
{
    EXPECT_EQ(ScheduleListLine::Of(7, QDateTime(QDate(2031, 2, 3), QTime(4, 5, 6))), "Form7   2031-02-03 04:05:06");
    EXPECT_EQ(ScheduleListLine::Of(123456789012ULL, QDateTime(QDate(1900, 1, 1), QTime(0, 0, 1))),
              "Form123456789012   1900-01-01 00:00:01");
    const struct {
        const char* Line;
        std::uint64_t Handle;
        bool Of;
    } cases[] = {
        {"Form7   2031-02-03 04:05:06", 7, true},  {"Form12   2031-02-03 04:05:06", 1, false},
        {"Form1   2031-02-03 04:05:06", 12, false}, {"Form7", 7, false},
        {"Frm7   2031-02-03 04:05:06", 7, false},  {"Form7    x", 7, true},
    };
    for (const auto& c : cases) EXPECT_EQ(ScheduleListLine::IsOf(QString::fromLatin1(c.Line), c.Handle), c.Of) << c.Line;
}

// ---- the dialog's rules ----

struct TestWindow : QueryWindowState, QueryWindowSchedule {
    void Grid() { DisplayAsText = DisplayToFile = 0; }
    void Text() { DisplayAsText = 1, DisplayToFile = 0; }
    void File() { DisplayAsText = DisplayToFile = 1; }
};

constexpr std::uint64_t Handle = 42;

class ScheduleDialogRules : public testing::Test {
protected:
    ScheduleDialogRules() { clock.Time = QDateTime(QDate(2031, 2, 3), QTime(4, 5, 57, 830)); }

    SqlScheduleController& Open()
    {
        controller = std::make_unique<SqlScheduleController>(window, window, Handle, clock);
        controller->FormCreate();
        prompter.Prompts.clear();
        return *controller;
    }
    // The one message of the last action: text, caption and icon.
    void ExpectMessage(const char* text, const char* caption, Prompter::Icon icon)
    {
        ASSERT_EQ(prompter.Prompts.size(), 1u) << text;
        EXPECT_EQ(prompter.Prompts[0].Text, QString::fromUtf8(text));
        EXPECT_EQ(prompter.Prompts[0].Caption, QString::fromUtf8(caption));
        EXPECT_EQ(prompter.Prompts[0].Icon, icon);
        EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Ok);
        prompter.Prompts.clear();
    }
    void ExpectRefusal(const char* text) { ExpectMessage(text, "SQL 执行计划", Prompter::Icon::Exclamation); }
    void ExpectSuccess(const char* text) { ExpectMessage(text, "提示", Prompter::Icon::Information); }
    void ExpectNoSchedule()
    {
        EXPECT_EQ(window.HasSchedule, 0);
        EXPECT_EQ(window.ScheduleMoment, QDateTime(QDate(1900, 1, 1), QTime(0, 0, 1)));
        EXPECT_EQ(window.ScheduleDisplayMode, -1);
    }
    struct Buttons {
        bool Add, Delete, Update, FileName, FileButton;
        bool operator==(const Buttons&) const = default;
    };
    Buttons States() const
    {
        const SqlScheduleView& v = controller->View;
        return {v.AddEnabled, v.DeleteEnabled, v.UpdateEnabled, v.FileNameEnabled, v.FileButtonEnabled};
    }

    TestClock clock;
    TestWindow window;
    RecordingPrompter prompter;
    ScriptedFileChooser files;
    std::unique_ptr<SqlScheduleController> controller;
};

TEST_F(ScheduleDialogRules, CreationWithoutAScheduleOffersTheCurrentMinuteWithOneSecond)
{
    for (bool toFile : {false, true}) {
        SCOPED_TRACE(toFile);
        toFile ? window.File() : window.Grid();
        const SqlScheduleView& v = Open().View;
        EXPECT_EQ(v.Date, QDate(2031, 2, 3));
        EXPECT_EQ(v.Time, QTime(4, 5, 1));
        EXPECT_TRUE(v.Lines.isEmpty());
        EXPECT_EQ(v.DisplayIndex, -1);
        EXPECT_TRUE(v.FileName.isEmpty());
        EXPECT_EQ(States(), (Buttons{true, false, false, toFile, toFile}));
    }
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(ScheduleDialogRules, CreationWithAScheduleShowsIt)
{
    window.File();
    window.HasSchedule = 1;
    window.ScheduleDate = QDate(2032, 12, 31);
    window.ScheduleTime = QTime(23, 59, 58);
    window.ScheduleMoment = QDateTime(window.ScheduleDate, window.ScheduleTime);
    window.ScheduleDisplayMode = ScheduleModes::File;
    window.ScheduleFileName = "/data/nightly.csv";
    const SqlScheduleView& v = Open().View;
    EXPECT_EQ(v.Lines, QStringList{"Form42   2032-12-31 23:59:58"});
    EXPECT_EQ(v.Date, QDate(2032, 12, 31));
    EXPECT_EQ(v.Time, QTime(23, 59, 58));
    EXPECT_EQ(v.DisplayIndex, 2);
    EXPECT_EQ(v.FileName, "/data/nightly.csv");
    EXPECT_EQ(States(), (Buttons{false, true, true, true, true}));

    // A grid schedule in a grid window: no file controls.
    window.Grid();
    window.ScheduleDisplayMode = ScheduleModes::Grid;
    window.ScheduleFileName.clear();
    EXPECT_EQ(Open().View.DisplayIndex, 0);
    EXPECT_EQ(States(), (Buttons{false, true, true, false, false}));
}

TEST_F(ScheduleDialogRules, AddChangeDeleteAndAddAgainInAGridWindow)
{
    window.Grid();
    SqlScheduleController& c = Open();

    // Add with the pickers as the user set them: the time keeps whole seconds only.
    c.View.Date = QDate(2031, 2, 4);
    c.View.Time = QTime(1, 2, 3, 456);
    c.Add();
    ExpectSuccess("成功增加执行计划！");
    EXPECT_EQ(window.HasSchedule, 1);
    EXPECT_EQ(window.ScheduleDisplayMode, ScheduleModes::Grid);
    EXPECT_EQ(window.ScheduleDate, QDate(2031, 2, 4));
    EXPECT_EQ(window.ScheduleTime, QTime(1, 2, 3));
    EXPECT_EQ(window.ScheduleMoment, QDateTime(QDate(2031, 2, 4), QTime(1, 2, 3)));
    EXPECT_EQ(c.View.Lines, QStringList{"Form42   2031-02-04 01:02:03"});
    EXPECT_EQ(c.View.Time, QTime(1, 2, 3));
    EXPECT_EQ(c.View.DisplayIndex, 0);
    EXPECT_EQ(States(), (Buttons{false, true, true, false, false}));

    // A second Add is refused and changes nothing.
    c.View.Time = QTime(9, 9, 9);
    c.Add();
    ExpectRefusal("已经存在执行计划，不允许再增加，但可以修改！");
    EXPECT_EQ(window.ScheduleTime, QTime(1, 2, 3));

    // Change: a moment in the past is taken as it is.
    c.View.Date = QDate(2001, 1, 1);
    c.View.Time = QTime(0, 0, 0);
    c.Change();
    ExpectSuccess("成功修改执行计划！");
    EXPECT_EQ(window.ScheduleMoment, QDateTime(QDate(2001, 1, 1), QTime(0, 0, 0)));
    EXPECT_EQ(window.ScheduleDisplayMode, ScheduleModes::Grid);
    EXPECT_EQ(c.View.Lines, QStringList{"Form42   2001-01-01 00:00:00"});
    EXPECT_EQ(States(), (Buttons{false, true, true, false, false}));

    c.Delete();
    ExpectSuccess("成功删除执行计划！");
    ExpectNoSchedule();
    EXPECT_TRUE(c.View.Lines.isEmpty());
    EXPECT_EQ(c.View.Date, QDate(1900, 1, 1));
    EXPECT_EQ(c.View.Time, QTime(0, 0, 1));
    EXPECT_EQ(c.View.DisplayIndex, -1);
    EXPECT_EQ(States(), (Buttons{true, false, false, false, false}));

    // Without a schedule, Change and Delete refuse.
    c.Change();
    ExpectRefusal("不存在执行计划，所以不允许修改，但可以增加！");
    c.Delete();
    ExpectRefusal("不存在执行计划，所以不允许删除！");
    ExpectNoSchedule();

    // Delete then Add, in the same dialog.
    c.View.Date = QDate(2031, 3, 1);
    c.View.Time = QTime(8, 0, 1);
    c.Add();
    ExpectSuccess("成功增加执行计划！");
    EXPECT_EQ(window.ScheduleMoment, QDateTime(QDate(2031, 3, 1), QTime(8, 0, 1)));
    EXPECT_EQ(States(), (Buttons{false, true, true, false, false}));
}

TEST_F(ScheduleDialogRules, TextDisplayCannotBeScheduled)
{
    window.Text();
    SqlScheduleController& c = Open();
    c.View.DisplayIndex = 1;
    c.Add();
    ExpectRefusal("执行计划显示结果只支持 以表格显示结果和保存结果到文件 两种方式！");
    ExpectNoSchedule();
    EXPECT_EQ(c.View.DisplayIndex, -1);
    EXPECT_TRUE(c.View.Lines.isEmpty());
    EXPECT_TRUE(c.View.AddEnabled);
}

TEST_F(ScheduleDialogRules, AFileScheduleNeedsAFileChosenInTheDialog)
{
    QTemporaryDir dir;
    const QString base = dir.path() + "/nightly";
    window.Grid();
    Open().ChooseFile();
    ExpectRefusal("结果保存成文件时，才允许选择文件！");
    EXPECT_TRUE(files.Requests.empty());

    window.File();
    SqlScheduleController& c = Open();
    c.Add();
    ExpectRefusal("结果保存成文件时，必须选择文件！");
    ExpectNoSchedule();
    c.Change();
    ExpectRefusal("结果保存成文件时，必须选择文件！");

    // A cancelled choice changes nothing.
    files.Cancel();
    c.ChooseFile();
    EXPECT_TRUE(c.View.FileName.isEmpty());
    EXPECT_TRUE(window.ScheduleFileName.isEmpty());

    // The name chosen is the window's at once, completed by its filter.
    files.Accept(base, 1);
    c.ChooseFile();
    ASSERT_EQ(files.Requests.size(), 2u);
    EXPECT_EQ(files.Requests[1].Name, "SaveDialog_resultsave");
    EXPECT_EQ(files.Requests[1].Title, "保存查询结果");
    EXPECT_EQ(files.Requests[1].Kind, FileChooser::Mode::Save);
    EXPECT_EQ(files.Requests[1].Filters, (QStringList{"Txt Files(*.txt)", "Csv Files(*.csv)", "All Files(*.*)"}));
    EXPECT_EQ(window.ScheduleFileName, base + ".csv");
    EXPECT_EQ(c.View.FileName, base + ".csv");
    EXPECT_EQ(window.HasSchedule, 0);
    EXPECT_TRUE(prompter.Prompts.empty());

    c.View.Date = QDate(2031, 2, 3);
    c.View.Time = QTime(4, 6, 1);
    c.Add();
    ExpectSuccess("成功增加执行计划！");
    EXPECT_EQ(window.ScheduleDisplayMode, ScheduleModes::File);
    EXPECT_EQ(window.ScheduleFileName, base + ".csv");
    EXPECT_EQ(c.View.DisplayIndex, 2);
    EXPECT_EQ(States(), (Buttons{false, true, true, true, true}));

    // Change keeps the file mode and takes a new file.
    files.Accept(base + "2.txt", 0);
    c.ChooseFile();
    c.Change();
    ExpectSuccess("成功修改执行计划！");
    EXPECT_EQ(window.ScheduleDisplayMode, ScheduleModes::File);
    EXPECT_EQ(window.ScheduleFileName, base + "2.txt");

    // Delete clears the file name, in the dialog and in the window.
    c.Delete();
    ExpectSuccess("成功删除执行计划！");
    EXPECT_TRUE(window.ScheduleFileName.isEmpty());
    EXPECT_TRUE(c.View.FileName.isEmpty());
    EXPECT_EQ(States(), (Buttons{true, false, false, true, true}));
}

TEST_F(ScheduleDialogRules, TheChosenNameIsCompletedByItsFilter)
{
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    const struct {
        const char* Chosen;
        int Filter; // 0-based, as the dialog answers
        const char* Completed;
    } cases[] = {
        {"result", 0, "result.txt"},         {"result.TXT", 0, "result.TXT"}, {"result.txt", 1, "result.txt.csv"},
        {"result.Csv", 1, "result.Csv"},     {"result", 2, "result"},          {"result.txt", 2, "result.txt"},
        {"a.b", 0, "a.b.txt"},               {"结果", 1, "结果.csv"},
    };
    window.File();
    SqlScheduleController& c = Open();
    for (const auto& k : cases) {
        files.Accept(d + QString::fromUtf8(k.Chosen), k.Filter);
        c.ChooseFile();
        EXPECT_EQ(window.ScheduleFileName, d + QString::fromUtf8(k.Completed)) << k.Chosen << " " << k.Filter;
    }

    // An existing completed name is replaced only when the user agrees.
    QFile existing(d + "old.csv");
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    files.Accept(d + "old", 1);
    prompter.Answers = {Prompter::No};
    c.ChooseFile();
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Caption, "保存查询结果");
    EXPECT_EQ(window.ScheduleFileName, d + QString::fromUtf8("结果.csv")) << "asked again and cancelled: unchanged";
}

TEST_F(ScheduleDialogRules, TheTimerClearsTheLineOfItsOwnWindowOnly)
{
    window.Grid();
    SqlScheduleController& c = Open();
    c.Add();
    ASSERT_EQ(c.View.Lines.size(), 1);
    c.ClearLineOf(4);
    c.ClearLineOf(421);
    EXPECT_EQ(c.View.Lines.size(), 1);
    c.ClearLineOf(Handle);
    EXPECT_TRUE(c.View.Lines.isEmpty());
}

} // namespace
