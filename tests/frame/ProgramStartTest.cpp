// The program as a user starts it: the frame's start-up, the connect dialog, opening, running,
// stopping and closing query windows, and the frame's close, over real SQLite and PostgreSQL
// data sources and the real widgets.
#include "CommandImage.h"
#include "DefaultWindowSize.h"
#include "DisconnectedCommands.h"
#include "FrameTestSupport.h"
#include "KeywordLists.h"
#include "KeywordTables.h"
#include "MuliThread.h"
#include "ObjectBrowserNodes.h"
#include "OstrelLibrary.h"
#include "ProgramGlobals.h"
#include "ProgramStart.h"
#include "ReadOnlyAttribute.h"
#include "ResultGrid.h"
#include "ResultGridModel.h"
#include "ScriptedFileChooser.h"
#include "ScriptedFontChooser.h"
#include "ResultPageControl.h"
#include "StatusPanelBar.h"
#include "TFMain.h"
#include "TFMain_mul.h"
#include "TestConnection.h"
#include "TestDsn.h"
#include "Tfrm_connect.h"
#include "TfrmSqlSchedule.h"
#include "QtFileChooser.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTableView>
#include <QTimeEdit>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

using Dialog = std::function<void(Tfrm_connect&)>;

// Types into the dialog as a user does: the data source into the box, Enter, the user, Enter,
// the password, Enter (which runs the test login).
Dialog Login(const QString& dsn, const QString& user = {}, const QString& password = {})
{
    return [=](Tfrm_connect& d) {
        QLineEdit* box = d.ComboBox_odbc->lineEdit();
        box->selectAll();
        QTest::keyClicks(box, dsn);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(d.focusWidget(), d.Edit_user);
        d.Edit_user->selectAll();
        QTest::keyClicks(d.Edit_user, user);
        QTest::keyClick(d.Edit_user, Qt::Key_Return);
        EXPECT_EQ(d.focusWidget(), d.Edit_pwd);
        d.Edit_pwd->selectAll();
        QTest::keyClicks(d.Edit_pwd, password);
        QTest::keyClick(d.Edit_pwd, Qt::Key_Return);
        // A failed login keeps the dialog: it is cancelled so that the caller goes on.
        if (d.isVisible()) d.btnCancel->click();
    };
}

Dialog Cancel()
{
    return [](Tfrm_connect& d) { QTest::mouseClick(d.btnCancel, Qt::LeftButton); };
}

QString SQLiteDsn() { return QString::fromLatin1(TestDsn::SQLiteDsn()); }
QString PgDsn() { return QString::fromLatin1(TestDsn::PgDsn()); }

class ProgramTest : public testing::Test {
protected:
    void TearDown() override
    {
        CloseFrame();
        installation.reset();
    }

    void StartProgram(const TestInstallation::Contents& contents, const Dialog& onDialog)
    {
        installation = std::make_unique<TestInstallation>(contents);
        WhenModal<Tfrm_connect>(onDialog);
        frame.reset(ProgramStart::Start());
        Settle();
    }
    void StartConnected(const QString& dsn, const QString& user = {}, const QString& password = {})
    {
        StartProgram({}, Login(dsn, user, password));
        ASSERT_EQ(frame->QueryWindows().size(), 1) << "the first query window did not open";
    }
    void CloseFrame() { ::CloseFrame(frame); }
    // The connect command from the frame's menu.
    void Connect(const Dialog& onDialog)
    {
        WhenModal<Tfrm_connect>(onDialog);
        frame->mainmenu_file_connect->trigger();
        Settle();
    }

    TFMain* Window(int i) const { return frame->QueryWindows().value(i); }
    TFMain* Active() const { return frame->ActiveQueryWindow(); }
    void CloseWindow(TFMain* w)
    {
        ASSERT_NE(frame->SubWindowOf(w), nullptr);
        frame->SubWindowOf(w)->close();
        Settle();
    }

    // F5 as the user presses it in the editor.
    void PressF5(TFMain* w)
    {
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        w->RichEdit_sql->setFocus();
        QTest::keyClick(w->RichEdit_sql, Qt::Key_F5);
    }
    static bool WaitRunEnd(TFMain* w, int milliseconds = 30000)
    {
        return WaitUntil([w] { return w->RunCounter == 0 && w->RunWorker.isNull(); }, milliseconds);
    }
    QStringList Messages(TFMain* w) const { return w->RichEdit_result->toPlainText().split(QLatin1Char('\n')); }
    QStringList Pages(TFMain* w) const
    {
        QStringList pages;
        for (int i = 0; i < w->PageControl_result->count(); ++i) pages << w->PageControl_result->tabText(i);
        return pages;
    }
    QStringList WindowItems() const
    {
        QStringList texts;
        for (QAction* a : frame->N_windows->actions()) texts << (a->isSeparator() ? "-" : a->text());
        return texts;
    }
    QAction* WindowItem(int i) const { return frame->N_windows->actions().value(i); }

    RecordingPrompter prompter;
    ScriptedFileChooser files;
    std::unique_ptr<TestInstallation> installation;
    std::unique_ptr<TFMain_mul> frame;
};

bool TableIsEmpty(TKeywordTable* table)
{
    for (const TKeywordNode* head : table->Buckets())
        if (head) return false;
    return true;
}

TEST_F(ProgramTest, StartsWithoutSettingsFileKeywordFilesOrSearchLibrary)
{
    bool dialogShown = false;
    StartProgram({.Ini = false, .KeywordFiles = false, .SearchLibrary = false}, [&](Tfrm_connect& d) {
        dialogShown = true;
        EXPECT_EQ(d.windowTitle(), "连接数据库");
        EXPECT_TRUE(d.btnOK->isEnabled());
        EXPECT_TRUE(d.btnCancel->isEnabled());
        QStringList items;
        for (int i = 0; i < d.ComboBox_odbc->count(); ++i) items << d.ComboBox_odbc->itemText(i);
        EXPECT_TRUE(items.contains(QString::fromLatin1(TestDsn::SQLite))) << items.join(',').toStdString();
        EXPECT_EQ(d.ComboBox_odbc->currentIndex(), -1) << "nothing is pre-selected";
        // The frame is up behind the dialog, without a connection.
        ASSERT_NE(FMain_mul, nullptr);
        EXPECT_TRUE(FMain_mul->isVisible());
        EXPECT_EQ(FMain_mul->windowTitle(), " Tarnvale");
        ExpectDisconnectedState(*FMain_mul);
        QTest::mouseClick(d.btnCancel, Qt::LeftButton);
    });
    EXPECT_TRUE(dialogShown);
    EXPECT_EQ(FMain_mul, frame.get());
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
    EXPECT_EQ(WindowCounter, 0);
    EXPECT_EQ(QApplication::applicationName(), "Tarnvale");
    EXPECT_TRUE(frame->isMaximized());
    ExpectDisconnectedState(*frame);
    EXPECT_FALSE(frame->panel_DbObject->isVisible());
    EXPECT_TRUE(prompter.Prompts.empty());

    EXPECT_FALSE(OstrelLibrary::IsLoaded());
    for (int kind = 1; kind <= 8; ++kind) {
        SCOPED_TRACE(kind);
        ASSERT_NE(KeywordListOfKind(kind), nullptr);
        EXPECT_TRUE(KeywordListOfKind(kind)->empty());
        ASSERT_NE(KeywordTableOfKind(kind), nullptr);
        EXPECT_TRUE(TableIsEmpty(KeywordTableOfKind(kind)));
    }
    EXPECT_EQ(Settings::StatementSeparator, ";");
    EXPECT_EQ(Settings::TextQualifier, "\"");
    EXPECT_EQ(Settings::MaxFieldLenOfSqlResult, 512);
    EXPECT_TRUE(Settings::DBObjectsShow);
    EXPECT_TRUE(Settings::AutoCommit);
    EXPECT_FALSE(Settings::WordsAnalyze) << "without the setting keywords stay uncoloured";
    EXPECT_FALSE(Settings::SqlEditorFont.Present);
    EXPECT_EQ(Settings::InstallPath, installation->Folder);

    CloseFrame();
    EXPECT_FALSE(QFile::exists(installation->IniPath())) << "closing creates no settings file";
    EXPECT_EQ(KeywordTableOfKind(1), nullptr);
}

TEST_F(ProgramTest, FullInstallationLoadsEverythingAndTheCloseFreesItAgain)
{
    StartProgram({.SearchLibrary = true}, Cancel());
    const QByteArray iniBefore = [&] {
        QFile f(installation->IniPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_TRUE(OstrelLibrary::IsLoaded());
    EXPECT_NE(OstrelLibrary::SeekForwardProc(), nullptr);
    for (int kind = 1; kind <= 8; ++kind) {
        SCOPED_TRACE(kind);
        EXPECT_FALSE(KeywordListOfKind(kind)->empty());
        ASSERT_NE(KeywordTableOfKind(kind), nullptr);
        EXPECT_FALSE(TableIsEmpty(KeywordTableOfKind(kind)));
    }
    EXPECT_TRUE(Settings::SqlEditorFont.Present);
    EXPECT_TRUE(Settings::WordsAnalyze) << "the shipped settings colour keywords";
    EXPECT_EQ(Settings::VersionText, "1.0");
    EXPECT_TRUE(frame->menu_tools_dbobject_show->isChecked());
    EXPECT_FALSE(frame->menu_tools_dbobject_hide->isChecked());
    EXPECT_FALSE(frame->panel_DbObject->isVisible()) << "without a query window the browser stays hidden";

    CloseFrame();
    EXPECT_FALSE(OstrelLibrary::IsLoaded());
    EXPECT_EQ(OstrelLibrary::SeekForwardProc(), nullptr);
    for (int kind = 1; kind <= 8; ++kind) {
        EXPECT_EQ(KeywordTableOfKind(kind), nullptr);
        EXPECT_TRUE(KeywordListOfKind(kind)->empty());
    }
    QFile after(installation->IniPath());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), iniBefore) << "nothing changed, nothing written";
    EXPECT_TRUE(ReadOnlyAttribute::IsSet(installation->IniPath()));
}

TEST_F(ProgramTest, TheObjectBrowserVisibilityIsWrittenAtCloseWhenItChanged)
{
    StartConnected(SQLiteDsn());
    EXPECT_TRUE(frame->panel_DbObject->isVisible());
    frame->menu_tools_dbobject_hide->trigger();
    EXPECT_FALSE(frame->panel_DbObject->isVisible());
    EXPECT_FALSE(Settings::DBObjectsShow);
    CloseFrame();
    QFile after(installation->IniPath());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    const QByteArray text = after.readAll();
    EXPECT_TRUE(text.contains("DBObjectsShow=N\r\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("DBObjectsShow=Y"));
    EXPECT_TRUE(ReadOnlyAttribute::IsSet(installation->IniPath()));
}

// A login the driver refuses: its message, the dialog's caption, the entries kept for a retry.
struct RefusedLogin {
    const char* Name;
    bool Pg;
    const char* Dsn;  // null: the case's database
    const char* User;
    const char* MessagePart;
};

class RefusedLoginTest : public ProgramTest, public testing::WithParamInterface<RefusedLogin> {};

TEST_P(RefusedLoginTest, ShowsTheDriversMessageAndKeepsTheDialog)
{
    const RefusedLogin& c = GetParam();
    const QString dsn = c.Dsn ? QString::fromLatin1(c.Dsn) : (c.Pg ? PgDsn() : SQLiteDsn());
    bool retried = false;
    prompter.OnMessage = [](const PromptRecord&) {
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        if (QApplication::overrideCursor()) {
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
    };
    StartProgram({}, [&](Tfrm_connect& d) {
        QTest::keyClicks(d.ComboBox_odbc->lineEdit(), dsn);
        QTest::keyClicks(d.Edit_user, QString::fromLatin1(c.User));
        QTest::keyClicks(d.Edit_pwd, "secret");
        QTest::mouseClick(d.btnOK, Qt::LeftButton);
        ASSERT_EQ(prompter.Prompts.size(), 1u);
        EXPECT_TRUE(prompter.Prompts[0].Text.contains(QString::fromLatin1(c.MessagePart)))
            << prompter.Prompts[0].Text.toStdString();
        EXPECT_EQ(prompter.Prompts[0].Caption, "连接数据库");
        EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
        EXPECT_TRUE(d.isVisible()) << "a failed login keeps the dialog";
        EXPECT_EQ(d.ComboBox_odbc->currentText(), dsn);
        EXPECT_EQ(d.Edit_user->text(), QString::fromLatin1(c.User));
        EXPECT_EQ(d.Edit_pwd->text(), "secret");
        EXPECT_TRUE(d.ConnectionKey.isEmpty());
        EXPECT_TRUE(NewConnectionKey.isEmpty() && NewConnectionUser.isEmpty() && NewConnectionPassword.isEmpty() &&
                    NewConnectionDSN.isEmpty());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the pointer is restored";
        EXPECT_TRUE(d.hEnv == SQL_NULL_HENV && d.hDbc == SQL_NULL_HDBC) << "the test login's handles are freed";
        // The user corrects the entries and tries again.
        retried = true;
        prompter.OnMessage = nullptr;
        Login(SQLiteDsn())(d);
    });
    EXPECT_TRUE(retried);
    ASSERT_EQ(frame->QueryWindows().size(), 1);
    EXPECT_EQ(Window(0)->DSN, SQLiteDsn());
    EXPECT_EQ(WindowCounter, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, RefusedLoginTest,
    testing::Values(RefusedLogin{"UnknownRole", true, nullptr, "tv_no_such_role", "tv_no_such_role"},
                    RefusedLogin{"UnknownDataSource", false, "TarnvaleNoSuchSource", "", "Data source name not found"}),
    [](const testing::TestParamInfo<RefusedLogin>& info) { return std::string(info.param.Name); });

TEST_F(ProgramTest, EditorAndMessagesShowAChineseFaceWithFixedWidthLetters)
{
    const QByteArray songTi = "[Options]\r\n\r\n[Font_SQLInput]\r\nFontName=宋体\r\nSize=10\r\nFontStyle=0\r\n\r\n"
                              "[Font_SQLResult]\r\nFontName=宋体\r\nSize=9\r\nFontStyle=0\r\n";
    struct Case {
        const char* what;
        TestInstallation::Contents contents;
    };
    const Case cases[] = {
        {"the shipped settings file", {}},
        {"宋体 in the settings file", {.IniText = songTi}},
        {"no settings file: the windows' own 宋体", {.Ini = false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartProgram(c.contents, Login(SQLiteDsn()));
        ASSERT_EQ(frame->QueryWindows().size(), 1);
        for (const QWidget* text : std::initializer_list<const QWidget*>{Window(0)->RichEdit_sql, Window(0)->RichEdit_result}) {
            const QFontInfo face(text->font());
            EXPECT_EQ(face.family(), "WenQuanYi Micro Hei Mono") << text->objectName().toStdString();
            const QFontMetrics metrics(text->font());
            EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W')) << "fixed-width letters";
        }
        CloseFrame();
        installation.reset();
    }
}

TEST_F(ProgramTest, ACancelledFontDialogLeavesTheSettingsFileAsItWas)
{
    struct Case {
        const char* what;
        QByteArray ini;
    };
    const Case cases[] = {
        {"no font sections", "[Options]\r\nAutoCommit=Y\r\n"},
        {"every font section",
         "[Options]\r\n[Font_SQLInput]\r\nFontName=DejaVu Sans\r\nSize=10\r\nFontStyle=0\r\n"
         "[Font_SQLResult]\r\nFontName=DejaVu Sans\r\nSize=9\r\nFontStyle=1\r\n"
         "[Font_DBObject]\r\nFontName=DejaVu Sans\r\nSize=11\r\nFontStyle=2\r\n"},
    };
    const std::pair<const char*, std::function<void(TFMain_mul&, TFMain&)>> dialogs[] = {
        {"messages", [](TFMain_mul&, TFMain& w) { w.N_richeditresult_font->trigger(); }},
        {"editor", [](TFMain_mul&, TFMain& w) { w.N_richeditsql_fontClick(); }},
        {"object browser", [](TFMain_mul& f, TFMain&) { f.N_SetFontDBObjectClick(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartProgram({.IniText = c.ini}, Login(SQLiteDsn()));
        ASSERT_EQ(frame->QueryWindows().size(), 1);
        ScriptedFontChooser fonts;
        for (const auto& [name, open] : dialogs) {
            SCOPED_TRACE(name);
            open(*frame, *Window(0));
            QFile file(installation->IniPath());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(QString::fromUtf8(file.readAll()), QString::fromUtf8(c.ini));
        }
        EXPECT_EQ(fonts.Names, (QStringList{"FontDialog_richedit_result", "FontDialog_richedit_sql", "FontDialog_treeview"}));
        CloseFrame();
        installation.reset();
    }
}

TEST_F(ProgramTest, TheToolkitsOwnTextsAreChinese)
{
    StartProgram({}, Cancel());
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text(), "确定");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "取消");
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    const QLabel* lookIn = files.findChild<QLabel*>("lookInLabel");
    ASSERT_NE(lookIn, nullptr);
    EXPECT_EQ(lookIn->text(), "查找范围：");
    QFontDialog fonts;
    fonts.setOption(QFontDialog::DontUseNativeDialog);
    EXPECT_EQ(fonts.windowTitle(), "选择字体");
}

TEST_F(ProgramTest, DatesCalendarsAndFileDialogsSpeakChineseWhateverTheMachinesLocale)
{
    if (QLocale::system().language() == QLocale::Chinese) GTEST_SKIP() << "the machine's own locale is Chinese";
    StartConnected(SQLiteDsn());
    ASSERT_NE(Window(0), nullptr);
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    TfrmSqlSchedule schedule(*Window(0), frame.get());
    schedule.show();
    Settle();
    EXPECT_EQ(schedule.DateTimePicker_date->locale(), chinese);
    EXPECT_EQ(schedule.DateTimePicker_time->locale(), chinese);
    QCalendarWidget* calendar = schedule.DateTimePicker_date->calendarWidget();
    ASSERT_NE(calendar, nullptr);
    calendar->setCurrentPage(2026, 12);
    const auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text(), "十二月");
    const auto* days = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(days, nullptr);
    QStringList dayNames;
    for (int column = 1; column < days->model()->columnCount(); ++column)
        dayNames << days->model()->index(0, column).data().toString();
    EXPECT_TRUE(dayNames.contains("周一")) << dayNames.join(' ').toStdString();
    schedule.close();

    // The program's file dialog: a folder's type, a file's size and date in the same locale.
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("scripts")));
    QFile script(folder.filePath(QStringLiteral("a.sql")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QByteArray(2048, 'x'));
    script.close();
    std::map<QString, QStringList> rows;  // name: size, type, date
    WhenModal<QFileDialog>([&rows](QFileDialog& files) {
        auto* view = files.findChild<QTreeView*>(QStringLiteral("treeView"));
        if (view) {
            EXPECT_TRUE(QTest::qWaitFor([view] { return view->model()->rowCount(view->rootIndex()) == 2; }, 5000));
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                auto cell = [&](int column) { return view->model()->index(row, column, view->rootIndex()).data().toString(); };
                rows[cell(0)] = QStringList{cell(1), cell(2), cell(3)};
            }
        }
        files.reject();
    });
    QtFileChooser chooser;
    FileChooser::Request request;
    request.Name = QStringLiteral("OpenDialog_test");
    request.Folder = folder.path();
    EXPECT_FALSE(chooser.Choose(request).Accepted);
    auto dateOf = [&](const QString& name) {
        return chinese.toString(QFileInfo(folder.filePath(name)).lastModified(), QLocale::ShortFormat);
    };
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[QStringLiteral("scripts")], (QStringList{QString(), QStringLiteral("文件夹"), dateOf(QStringLiteral("scripts"))}));
    const QStringList file = rows[QStringLiteral("a.sql")];
    ASSERT_EQ(file.size(), 3);
    EXPECT_EQ(file[0], chinese.formattedDataSize(2048));
    EXPECT_EQ(file[2], dateOf(QStringLiteral("a.sql")));
}

TEST_F(ProgramTest, EnterPressesTheFocusedButtonOfTheConnectDialog)
{
    // Cancel with Enter: the dialog ends and no window opens.
    StartProgram({}, [&](Tfrm_connect& d) {
        QTest::keyClicks(d.ComboBox_odbc->lineEdit(), SQLiteDsn());
        d.btnCancel->setFocus();
        QTest::keyClick(d.btnCancel, Qt::Key_Return);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), Tfrm_connect::mrCancel);
    });
    EXPECT_TRUE(frame->QueryWindows().isEmpty());

    // OK with Enter (the keypad's too) runs the test login.
    Connect([&](Tfrm_connect& d) {
        QTest::keyClicks(d.ComboBox_odbc->lineEdit(), SQLiteDsn());
        d.btnOK->setFocus();
        QTest::keyClick(d.btnOK, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), Tfrm_connect::mrOk);
    });
    ASSERT_EQ(frame->QueryWindows().size(), 1);
    EXPECT_EQ(Window(0)->DSN, SQLiteDsn());
    EXPECT_TRUE(prompter.Prompts.empty());
}

struct DriverCase {
    const char* Name;
    bool Pg;
    const char* User;
    const char* DbmsName;
};

class DriverProgramTest : public ProgramTest, public testing::WithParamInterface<DriverCase> {
protected:
    QString Dsn() const { return GetParam().Pg ? PgDsn() : SQLiteDsn(); }
    QString User() const { return QString::fromLatin1(GetParam().User); }
    void StartOnDriver() { StartConnected(Dsn(), User()); }
    QString SlowQuery() const
    {
        return GetParam().Pg ? QStringLiteral("select pg_sleep(60)")
                             : QStringLiteral("with recursive c(n) as (select 1 union all select n + 1 from c "
                                              "where n < 2000000000) select count(*) from c");
    }
    // Starts a run that lasts until it is stopped, and waits until it executes.
    void StartSlowRun(TFMain* w)
    {
        w->RichEdit_sql->setPlainText(SlowQuery());
        frame->ToolButton_run->trigger();
        ASSERT_EQ(w->RunCounter, 1);
        ASSERT_TRUE(WaitUntil(
            [w] {
                std::lock_guard lock(w->StopLock);
                return w->StatementExecuting;
            },
            10000));
        Settle();
    }
};

TEST_P(DriverProgramTest, OkOpensTheFirstWindowOnTheTypedDataSourceAndNewQueryASecondOne)
{
    StartOnDriver();
    TFMain* w = Window(0);
    const QString dsn = Dsn();
    const QString user = User();
    EXPECT_EQ(WindowCounter, 1);
    EXPECT_EQ(w->windowTitle(), "查询 -- " + dsn + "\\" + user + "  --无标题1");
    EXPECT_EQ(w->WindowNumber, 1);
    EXPECT_EQ(w->DSN, dsn) << "the typed data source, not a list item, is the window's";
    EXPECT_EQ(w->User, user);
    EXPECT_EQ(w->ConnectionKey, QString::fromLatin1(GetParam().DbmsName) + "===" + dsn + ";" + user + ",;");
    EXPECT_EQ(w->DbmsKind, DbmsKind::Other);
    EXPECT_TRUE(w->hDbc != SQL_NULL_HDBC);
    EXPECT_EQ(w->StatementSeparator, ";");
    EXPECT_EQ(w->AutoCommit, 1);
    EXPECT_EQ(w->TransactionState.load(), TransactionStates::AutoCommit);

    EXPECT_EQ(w->StatusBar1->PanelText(0), "Ready");
    EXPECT_EQ(w->StatusBar1->PanelAlignment(0) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(w->StatusBar1->PanelText(1), "执行所需时间：");
    EXPECT_EQ(w->StatusBar1->PanelText(2), "返回结果行数：");
    EXPECT_EQ(w->StatusBar1->PanelText(3), "数据源：" + dsn);
    EXPECT_EQ(w->StatusBar1->PanelText(4), "当前用户：" + user);
    EXPECT_EQ(w->StatusBar2->PanelText(0), "事务提交方式：自动提交");
    EXPECT_EQ(w->StatusBar2->PanelText(1), "不存在事务");
    EXPECT_EQ(w->StatusBar2->PanelText(2), "SQL之间的分隔符：;");

    // The first window takes the default size of the screen, when there is one for it.
    if (auto size = DefaultFirstWindowSize(frame->screen()->size())) {
        EXPECT_EQ(frame->SubWindowOf(w)->size(), *size);
    }
    // Connected: the commands follow the window.
    EXPECT_TRUE(frame->ToolButton_run->isEnabled());
    EXPECT_TRUE(frame->mainmenu_query_run->isEnabled());
    EXPECT_FALSE(frame->ToolButton_stop->isEnabled());
    EXPECT_TRUE(frame->ToolButton_newsql->isEnabled());
    EXPECT_TRUE(frame->mainmenu_tools2_config->isEnabled());
    EXPECT_TRUE(frame->N_arrangeIconVer->isEnabled());
    EXPECT_TRUE(frame->N_grid->isChecked());
    EXPECT_EQ(WindowItems(), (QStringList{"层叠(&C)", "横向平铺(&H)", "纵向平铺(&T)", "-", w->windowTitle()}));
    EXPECT_TRUE(WindowItem(4)->isChecked());

    // The object browser: one root for the connection, with its six categories, found through the item.
    EXPECT_TRUE(frame->panel_DbObject->isVisible());
    ASSERT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 1);
    QTreeWidgetItem* root = frame->TreeView_dbObject->topLevelItem(0);
    EXPECT_EQ(root->text(0), dsn + "(" + user + ")");
    EXPECT_EQ(root->data(0, ObjectBrowserNodes::ImageRole).toInt(), 18);
    ASSERT_EQ(root->childCount(), 6);
    QStringList categories;
    for (int i = 0; i < 6; ++i) {
        categories << root->child(i)->text(0);
        EXPECT_EQ(root->child(i)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        EXPECT_EQ(root->child(i)->data(0, ObjectBrowserNodes::ImageRole).toInt(), 1);
        EXPECT_EQ(root->child(i)->data(0, ObjectBrowserNodes::SelectedImageRole).toInt(), 4);
    }
    EXPECT_EQ(categories, (QStringList{"系统表", "用户表", "视图", "别名", "临时表", "存贮过程/函数"}));
    EXPECT_FALSE(root->isExpanded());
    connection_rec* rec = frame->FindConnectionOfNode(root->child(3));
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->Key, w->ConnectionKey);
    EXPECT_EQ(rec->WindowCount, 1);

    // New query: "无标题2" on the same connection record, with a connection of its own.
    frame->ToolButton_newsql->trigger();
    Settle();
    ASSERT_EQ(frame->QueryWindows().size(), 2);
    TFMain* second = Active();
    ASSERT_NE(second, w);
    EXPECT_EQ(second->windowTitle(), "查询 -- " + dsn + "\\" + user + "  --无标题2");
    EXPECT_EQ(second->WindowNumber, 2);
    EXPECT_EQ(second->ConnectionKey, w->ConnectionKey);
    EXPECT_NE(second->hDbc, w->hDbc);
    EXPECT_EQ(WindowCounter, 2);
    EXPECT_EQ(frame->Connections.Count(), 1);
    EXPECT_EQ(rec->WindowCount, 2);
    EXPECT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 1);
    EXPECT_EQ(WindowItems().mid(4), (QStringList{w->windowTitle(), second->windowTitle()}));
    EXPECT_FALSE(WindowItem(4)->isChecked());
    EXPECT_TRUE(WindowItem(5)->isChecked());
}

TEST_P(DriverProgramTest, F5RunsABatchIntoAGridIntoTextAndIntoAFile)
{
    StartOnDriver();
    TFMain* w = Window(0);
    {
        TestConnection setup(Dsn().toLatin1().constData());
        ASSERT_TRUE(setup.Ok());
        setup.Exec("DROP TABLE IF EXISTS tv_program_rows");
        setup.Exec("CREATE TABLE tv_program_rows (id INTEGER, name VARCHAR(20))");
        setup.Exec("INSERT INTO tv_program_rows VALUES (1, 'abc')");
        setup.Exec("INSERT INTO tv_program_rows VALUES (2, '汉字')");
    }
    const QString batch = "SELECT id, name FROM tv_program_rows ORDER BY id;\nSELECT count(*) AS n FROM tv_program_rows";

    w->RichEdit_sql->setPlainText(batch);
    PressF5(w);
    EXPECT_EQ(w->RunCounter, 1) << "F5 started the run";
    EXPECT_TRUE(w->StatusBar1->PanelText(0).startsWith("开始执行时间："));
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_EQ(Pages(w), (QStringList{"消息", "结果1", "结果2"}));
    ResultGrid* grid = w->findChild<ResultGrid*>("STRINGGRID0");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->Model()->Cell(1, 2), "2");
    EXPECT_EQ(grid->Model()->Cell(2, 2), "\"汉字\"");
    EXPECT_EQ(w->StatusBar1->PanelText(2), "共返回结果行数：3");
    EXPECT_TRUE(frame->ToolButton_run->isEnabled());
    EXPECT_TRUE(frame->ToolButton_export->isEnabled());

    // Text display.
    frame->N_text->trigger();
    EXPECT_EQ(w->DisplayAsText, 1);
    EXPECT_EQ(frame->DisplayAsText, 1);
    EXPECT_TRUE(frame->menu_run_display_txt->isChecked());
    EXPECT_EQ(CommandImage::Of(frame->ToolButton_display), CommandImage::TextDisplay);
    PressF5(w);
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_EQ(Pages(w), (QStringList{"消息"}));
    EXPECT_EQ(Messages(w).mid(0, 5), (QStringList{"id,name", "1,\"abc\"", "2,\"汉字\"", "", "（所影响的行数为 2 行）"}));

    // Save to file: the save dialog asks for the name, its filter completes it.
    frame->menu_run_display_File->trigger();
    EXPECT_EQ(w->DisplayToFile, 1);
    EXPECT_EQ(CommandImage::Of(frame->ToolButton_display), CommandImage::FileDisplay);
    const QString base = QString::fromStdString(TestDsn::ScratchDir()) + "/program-result";
    QFile::remove(base + ".csv");
    files.Accept(base, 1);
    PressF5(w);
    ASSERT_EQ(files.Requests.size(), 1u);
    EXPECT_EQ(files.Requests[0].Name, "SaveDialog_resultsave");
    EXPECT_EQ(files.Requests[0].Title, "保存查询结果");
    EXPECT_EQ(files.Requests[0].Kind, FileChooser::Mode::Save);
    EXPECT_EQ(files.Requests[0].Filters, (QStringList{"Txt Files(*.txt)", "Csv Files(*.csv)", "All Files(*.*)"}));
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_EQ(w->ResultFileName, base + ".csv");
    QFile result(base + ".csv");
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    const QByteArray bytes = result.readAll();
    EXPECT_TRUE(bytes.contains("1,\"abc\"")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("2,\"\xE6\xB1\x89\xE5\xAD\x97\"")) << bytes.toStdString();
    EXPECT_TRUE(Messages(w).contains("下列文件已成功保存:"));
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_P(DriverProgramTest, StopDuringALongQueryWithTheBusyMarkInTheWindowsMenu)
{
    StartOnDriver();
    frame->ToolButton_newsql->trigger();
    Settle();
    TFMain* idle = Window(1);
    TFMain* w = Window(0);
    frame->MdiArea->setActiveSubWindow(frame->SubWindowOf(w));
    Settle();
    ASSERT_EQ(Active(), w);

    QElapsedTimer timer;
    timer.start();
    StartSlowRun(w);
    // The Windows menu lists both windows and marks the running one.
    EXPECT_EQ(WindowItems().mid(4), (QStringList{w->windowTitle(), idle->windowTitle()}));
    EXPECT_EQ(CommandImage::Of(WindowItem(4)), CommandImage::Running);
    EXPECT_EQ(CommandImage::Of(WindowItem(5)), CommandImage::None);
    EXPECT_FALSE(frame->ToolButton_run->isEnabled());
    EXPECT_TRUE(frame->ToolButton_stop->isEnabled());
    EXPECT_EQ(frame->ThreadTable.At(w->WindowNumber), w->RunWorker.data());

    // F5 during the run starts nothing.
    MuliThread* worker = w->RunWorker.data();
    frame->ToolButton_run->setEnabled(true);
    frame->ToolButton_run->trigger();
    EXPECT_EQ(w->RunWorker.data(), worker);

    frame->ToolButton_stop->trigger();
    ASSERT_TRUE(WaitRunEnd(w, 20000)) << "the stop did not end the run";
    EXPECT_LT(timer.elapsed(), 30000);
    EXPECT_EQ(w->StatusBar1->PanelText(2), "( 用户已取消查询 )");
    EXPECT_EQ(w->RunCancelled, 1);
    EXPECT_EQ(CommandImage::Of(WindowItem(4)), CommandImage::None);
    EXPECT_TRUE(frame->ToolButton_run->isEnabled());
    EXPECT_FALSE(frame->ToolButton_stop->isEnabled());
    // Stop once the run has ended does nothing.
    frame->ToolButton_stop->setEnabled(true);
    frame->ToolButton_stop->trigger();
    EXPECT_EQ(w->CancelRequested.load(), 1);
    EXPECT_EQ(w->RunCounter, 0);
}

TEST_P(DriverProgramTest, ClosingAWindowDuringARunStopsTheRunBeforeItsConnectionGoes)
{
    StartOnDriver();
    TFMain* w = Window(0);
    StartSlowRun(w);
    const QPointer<TFMain> window(w);
    frame->SubWindowOf(w)->close();
    ASSERT_FALSE(window.isNull()) << "the window goes only after its close";
    EXPECT_EQ(w->RunCounter, 0);
    EXPECT_TRUE(w->RunWorker.isNull() || w->RunWorker->isFinished());
    EXPECT_TRUE(w->hDbc == SQL_NULL_HDBC);
    EXPECT_TRUE(w->hEnv == SQL_NULL_HENV);
    EXPECT_TRUE(frame->QueryWindows().isEmpty()) << "a closed window no longer counts, even before it is deleted";
    Settle();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
    ExpectDisconnectedState(*frame);
    EXPECT_EQ(WindowItems().size(), 3);
    EXPECT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 0);
    EXPECT_EQ(frame->Connections.Head()->WindowCount, 0);
    EXPECT_FALSE(frame->panel_DbObject->isVisible());
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_P(DriverProgramTest, ClosingTheFrameWithARunInProgressEndsEverythingCleanly)
{
    StartOnDriver();
    frame->ToolButton_newsql->trigger();
    Settle();
    TFMain* w = Active();
    StartSlowRun(w);
    const QPointer<MuliThread> worker(w->RunWorker.data());
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(worker.isNull() || worker->isFinished());
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
    EXPECT_EQ(KeywordTableOfKind(1), nullptr);
    Settle();
    frame.reset();
    FMain_mul = nullptr;
}

TEST_P(DriverProgramTest, ClosingAManualCommitWindowEndsItsOpenTransaction)
{
    installation = std::make_unique<TestInstallation>(TestInstallation::Contents{
        .IniText = "[Options]\nAutoCommit=N\nindexSepChBetweensql=1\nDBObjectsShow=N\n"});
    WhenModal<Tfrm_connect>(Login(Dsn(), User()));
    frame.reset(ProgramStart::Start());
    Settle();
    ASSERT_EQ(frame->QueryWindows().size(), 1);
    TFMain* w = Window(0);
    EXPECT_EQ(w->AutoCommit, 0);
    EXPECT_EQ(w->StatusBar2->PanelText(0), "事务提交方式：手工提交");
    EXPECT_EQ(w->StatusBar2->PanelText(1), "不存在事务");
    EXPECT_EQ(w->StatusBar2->PanelText(2), "SQL之间的分隔符：$$");
    EXPECT_FALSE(frame->panel_DbObject->isVisible());
    EXPECT_TRUE(frame->menu_tools_dbobject_hide->isChecked());
    {
        TestConnection setup(Dsn().toLatin1().constData());
        setup.Exec("DROP TABLE IF EXISTS tv_close_open_transaction");
    }
    w->RichEdit_sql->setPlainText("CREATE TABLE tv_close_open_transaction (id INTEGER) $$ "
                                  "INSERT INTO tv_close_open_transaction VALUES (1)");
    frame->ToolButton_run->trigger();
    ASSERT_TRUE(WaitRunEnd(w));
    EXPECT_EQ(w->TransactionState.load(), TransactionStates::MayBeOpen);
    prompter.Answers = {Prompter::No};
    CloseWindow(w);
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
    ASSERT_EQ(prompter.Prompts.size(), 1u) << "the close asks whether to commit";
    EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Yes | Prompter::No);
    TestConnection check(Dsn().toLatin1().constData());
    ASSERT_TRUE(check.Ok());
    // The uncommitted table went with the connection.
    EXPECT_TRUE(check.Column(GetParam().Pg ? "SELECT count(*) FROM pg_tables WHERE tablename = 'tv_close_open_transaction'"
                                           : "SELECT count(*) FROM sqlite_master WHERE name = 'tv_close_open_transaction'") ==
                std::vector<std::string>{"0"});
}

TEST_P(DriverProgramTest, WindowNumbersBeyondTheThreadTableRunAndStopWithoutASlot)
{
    StartOnDriver();
    WindowCounter = WorkerThreadTable::LastSlot;
    frame->ToolButton_newsql->trigger();
    Settle();
    TFMain* w = Active();
    ASSERT_EQ(w->WindowNumber, WorkerThreadTable::LastSlot + 1);
    EXPECT_TRUE(w->windowTitle().endsWith("--无标题65536"));
    StartSlowRun(w);
    EXPECT_EQ(frame->ThreadTable.At(w->WindowNumber), nullptr);
    ASSERT_FALSE(w->RunWorker.isNull());
    frame->ToolButton_stop->trigger();
    ASSERT_TRUE(WaitRunEnd(w, 20000));
    EXPECT_EQ(w->RunCancelled, 1);
}

INSTANTIATE_TEST_SUITE_P(Drivers, DriverProgramTest,
                         testing::Values(DriverCase{"SQLite", false, "", "SQLite"},
                                         DriverCase{"PostgreSQL", true, "postgres", "PostgreSQL"}),
                         [](const testing::TestParamInfo<DriverCase>& info) { return std::string(info.param.Name); });

TEST_F(ProgramTest, WindowsOnOneKeyShareARecordAndItsNodeUntilTheLastCloses)
{
    StartConnected(SQLiteDsn());
    frame->ToolButton_newsql->trigger();
    Settle();
    ASSERT_EQ(frame->QueryWindows().size(), 2);
    connection_rec* rec = frame->Connections.Head();
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->WindowCount, 2);
    rec->Tables = std::make_unique<StringList>(StringList{"main.t"});
    rec->CatalogLoaded = true;

    CloseWindow(Window(1));
    EXPECT_EQ(rec->WindowCount, 1);
    EXPECT_TRUE(rec->CatalogLoaded);
    EXPECT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 1);
    EXPECT_EQ(WindowItems().size(), 5);
    EXPECT_TRUE(frame->ToolButton_run->isEnabled());

    CloseWindow(Window(0));
    EXPECT_EQ(rec->WindowCount, 0);
    EXPECT_FALSE(rec->CatalogLoaded);
    EXPECT_EQ(rec->Tables, nullptr);
    EXPECT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 0);
    EXPECT_FALSE(frame->panel_DbObject->isVisible());
    EXPECT_FALSE(frame->menu_tools_dbobject_show->isChecked());
    EXPECT_TRUE(frame->menu_tools_dbobject_hide->isChecked());
    EXPECT_TRUE(Settings::DBObjectsShow) << "the setting stays for the next connection";
    EXPECT_EQ(WindowItems().size(), 3);
    ExpectDisconnectedState(*frame);

    // Connecting again with the same key reuses the dormant record.
    Connect(Login(SQLiteDsn()));
    ASSERT_EQ(frame->QueryWindows().size(), 1);
    EXPECT_EQ(Window(0)->WindowNumber, 3);
    EXPECT_EQ(frame->Connections.Count(), 1);
    EXPECT_EQ(rec->WindowCount, 1);
    ASSERT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 1);
    EXPECT_EQ(frame->TreeView_dbObject->topLevelItem(0)->childCount(), 6);
    EXPECT_EQ(frame->FindConnectionOfNode(frame->TreeView_dbObject->topLevelItem(0)), rec);
    EXPECT_TRUE(frame->panel_DbObject->isVisible());
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(ProgramTest, TwoKeysWithOneNodeTextEachReleaseTheirOwnNode)
{
    // The same data source and user with two passwords: two records, two roots of one text.
    const QString dsn = PgDsn();
    StartConnected(dsn, "postgres", "first");
    Connect(Login(dsn, "postgres", "second"));
    ASSERT_EQ(frame->QueryWindows().size(), 2);
    ASSERT_EQ(frame->Connections.Count(), 2);
    connection_rec* first = frame->Connections.Head();
    connection_rec* second = first->Next;
    ASSERT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 2);
    EXPECT_EQ(frame->TreeView_dbObject->topLevelItem(0)->text(0), frame->TreeView_dbObject->topLevelItem(1)->text(0));
    EXPECT_EQ(frame->FindConnectionOfNode(frame->TreeView_dbObject->topLevelItem(1)->child(0)), second);

    TFMain* secondWindow = Window(1);
    ASSERT_EQ(secondWindow->ConnectionKey, second->Key);
    CloseWindow(secondWindow);
    ASSERT_EQ(frame->TreeView_dbObject->topLevelItemCount(), 1);
    EXPECT_EQ(frame->FindConnectionOfNode(frame->TreeView_dbObject->topLevelItem(0)), first)
        << "the closing connection's own node went, not the first one with its text";
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(ProgramTest, AFailedOpenLeavesNoWindowAndTheMenusOfTheWindowsStillOpen)
{
    StartConnected(SQLiteDsn());
    TFMain* w = Window(0);
    NewConnectionKey = "===TarnvaleNoSuchSource;,;";
    NewConnectionDSN = "TarnvaleNoSuchSource";
    NewConnectionUser.clear();
    NewConnectionPassword.clear();
    ++WindowCounter;
    frame->OpenQueryWindow("无标题2", true);
    Settle();
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_TRUE(prompter.Prompts[0].Text.contains("Data source name not found")) << prompter.Prompts[0].Text.toStdString();
    EXPECT_EQ(prompter.Prompts[0].Caption, "Tarnvale");
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
    ASSERT_EQ(frame->QueryWindows().size(), 1);
    EXPECT_EQ(Active(), w);
    EXPECT_EQ(frame->Connections.Count(), 1) << "no record for a connection that was never made";
    EXPECT_EQ(WindowItems().size(), 5);
    EXPECT_TRUE(frame->ToolButton_run->isEnabled());
    EXPECT_TRUE(frame->ToolButton_newsql->isEnabled());
    EXPECT_EQ(WindowCounter, 2) << "the number is used up";

    // Without any window left the frame is back in its state without a connection.
    CloseWindow(w);
    frame->OpenQueryWindow("无标题3", true);
    Settle();
    EXPECT_EQ(prompter.Prompts.size(), 2u);
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
    ExpectDisconnectedState(*frame);
}

TEST_F(ProgramTest, DisplayCommandsAndRunFollowTheWindowsSchedule)
{
    StartConnected(SQLiteDsn());
    TFMain* w = Window(0);
    struct Case {
        bool Schedule;
        int Mode;
        QAction* TFMain_mul::*Command;
        const char* Refusal;  // null: accepted
        int AsText, ToFile;
    };
    const char* toFile = "SQL 执行计划中是保存结果到文件，所以不能更改显示结果的方式！";
    const char* notText = "SQL 执行计划中是 以表格显示结果或者保存结果到文件，所以不能更改显示结果的方式！";
    const char* toGrid = "SQL 执行计划中是以表格显示结果，所以不能更改显示结果的方式！";
    const Case cases[] = {
        {false, -1, &TFMain_mul::N_text, nullptr, 1, 0},          {false, -1, &TFMain_mul::N_File, nullptr, 1, 1},
        {false, -1, &TFMain_mul::N_grid, nullptr, 0, 0},          {true, 0, &TFMain_mul::menu_run_display_grid, nullptr, 0, 0},
        {true, 0, &TFMain_mul::menu_run_display_txt, notText, 0, 0}, {true, 0, &TFMain_mul::menu_run_display_File, toGrid, 0, 0},
        {true, 2, &TFMain_mul::N_File, nullptr, 1, 1},            {true, 2, &TFMain_mul::N_text, notText, 1, 1},
        {true, 2, &TFMain_mul::N_grid, toFile, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((frame.get()->*c.Command)->objectName().toStdString() + " schedule " + std::to_string(c.Mode));
        w->HasSchedule = c.Schedule ? 1 : 0;
        w->ScheduleDisplayMode = c.Mode;
        // Not due: the frame's timer leaves the window alone while the commands are tried.
        w->ScheduleMoment = QDateTime::currentDateTime().addDays(1);
        prompter.Prompts.clear();
        (frame.get()->*c.Command)->trigger();
        if (c.Refusal) {
            ASSERT_EQ(prompter.Prompts.size(), 1u);
            EXPECT_EQ(prompter.Prompts[0].Text, QString::fromUtf8(c.Refusal));
            EXPECT_EQ(prompter.Prompts[0].Caption, " Tarnvale");
            EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
        } else {
            EXPECT_TRUE(prompter.Prompts.empty());
        }
        EXPECT_EQ(w->DisplayAsText, c.AsText);
        EXPECT_EQ(w->DisplayToFile, c.ToFile);
        // The frame's marks show the window's mode, also after a refusal.
        EXPECT_EQ(frame->N_File->isChecked(), c.ToFile == 1);
        EXPECT_EQ(frame->N_text->isChecked(), c.AsText == 1 && c.ToFile == 0);
        EXPECT_EQ(frame->menu_run_display_grid->isChecked(), c.AsText == 0);
    }

    // A window with a schedule refuses a run by hand.
    prompter.Prompts.clear();
    w->HasSchedule = 1;
    frame->ToolButton_run->trigger();
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text,
              "因为存在执行计划，所以不能够手工执行SQL命令。\n\n如果想要手工执行SQL命令，请先删除执行计划！");
    EXPECT_EQ(prompter.Prompts[0].Caption, " Tarnvale");
    EXPECT_EQ(w->RunCounter, 0);
    EXPECT_EQ(w->StatusBar1->PanelText(0), "Ready");
}

TEST_F(ProgramTest, DisplayCommandsWithoutAWindowDoNothing)
{
    StartProgram({}, Cancel());
    frame->menu_run_display_txtClick();
    frame->menu_run_display_FileClick();
    frame->ToolButton_runClick();
    frame->ToolButton_stopClick();
    frame->ToolButton_newsqlClick();
    EXPECT_TRUE(prompter.Prompts.empty());
    EXPECT_EQ(frame->DisplayAsText, 0);
    EXPECT_TRUE(frame->N_grid->isChecked());
    EXPECT_EQ(WindowCounter, 0);
    EXPECT_TRUE(frame->QueryWindows().isEmpty());
}

TEST_F(ProgramTest, ARunThatCannotStartLeavesTheWindowIdle)
{
    StartConnected(SQLiteDsn());
    TFMain* w = Window(0);
    w->RichEdit_sql->setPlainText("SELECT 1");
    frame->menu_run_display_File->trigger();

    // The save dialog cancelled: nothing happens.
    files.Cancel();
    frame->ToolButton_run->trigger();
    EXPECT_EQ(w->RunCounter, 0);
    EXPECT_EQ(w->StatusBar1->PanelText(0), "Ready");
    EXPECT_TRUE(prompter.Prompts.empty());

    // A file that cannot be created, not even by root: the completed name is a folder. The error
    // comes, and the window stays idle.
    const QString unwritable = QString::fromStdString(TestDsn::ScratchDir()) + "/blocked";
    QDir().mkpath(unwritable + ".txt");
    // The name exists (as a folder), so the dialog first asks before replacing it.
    files.Accept(unwritable, 0);
    prompter.Answers = {Prompter::Yes};
    frame->ToolButton_run->trigger();
    Settle();
    ASSERT_EQ(prompter.Prompts.size(), 2u);
    EXPECT_EQ(prompter.Prompts[0].Caption, "保存查询结果");
    EXPECT_TRUE(prompter.Prompts[1].Text.startsWith(unwritable + ".txt: ")) << prompter.Prompts[1].Text.toStdString();
    EXPECT_EQ(prompter.Prompts[1].Icon, Prompter::Icon::Error);
    EXPECT_EQ(prompter.Prompts[1].Caption, " Tarnvale");
    EXPECT_EQ(w->RunCounter, 0);
    EXPECT_EQ(w->ResultFile, nullptr);
    EXPECT_TRUE(w->RunWorker.isNull());
    EXPECT_EQ(w->StatusBar1->PanelText(0), "Ready");
    EXPECT_TRUE(w->ToolButton_run->isEnabled());
    EXPECT_FALSE(w->ToolButton_stop->isEnabled());
    EXPECT_TRUE(frame->ToolButton_run->isEnabled());
    EXPECT_FALSE(frame->ToolButton_stop->isEnabled());
}

} // namespace
