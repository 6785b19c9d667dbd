// The options dialog over an installation in a scratch folder: the controls filled from the
// settings, and what OK and Cancel do to "Tarnvale.ini" and to the setting values.
#include "FailingLastStep.h"
#include "FrameTestSupport.h"
#include "IniFile.h"
#include "OptionsChoices.h"
#include "ReadOnlyAttribute.h"
#include "TFMain_mul.h"
#include "TfrmConfig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>

namespace {

const QString Options = QStringLiteral("Options");

QByteArray OptionsText(const std::map<QString, QString>& values)
{
    QByteArray text = "[Options]\r\n";
    for (const auto& [key, value] : values) text += (key + QLatin1Char('=') + value + QStringLiteral("\r\n")).toUtf8();
    return text;
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

class OptionsDialog : public testing::Test {
protected:
    void TearDown() override
    {
        dialog.reset();
        installation.reset();
    }
    // Installs with that settings file (none when nullopt) and reads the settings as start-up does.
    void Install(const std::optional<QByteArray>& ini)
    {
        // The earlier installation goes first: its end clears what the new one sets up.
        dialog.reset();
        installation.reset();
        installation = std::make_unique<TestInstallation>(
            TestInstallation::Contents{.Ini = ini.has_value(), .IniText = ini.value_or(QByteArray())});
        Settings::ReadInstallation();
        Settings::ReadOptions();
        if (ini) ReadOnlyAttribute::Set(installation->IniPath());
        dialog = std::make_unique<TfrmConfig>();
    }
    QString Stored(const QString& key) const
    {
        IniFile ini(installation->IniPath());
        EXPECT_TRUE(ini.Load());
        return ini.ReadString(Options, key);
    }
    std::optional<QString> StoredValue(const QString& key) const
    {
        IniFile ini(installation->IniPath());
        EXPECT_TRUE(ini.Load());
        return ini.Value(Options, key);
    }

    RecordingPrompter prompter;
    std::unique_ptr<TestInstallation> installation;
    std::unique_ptr<TfrmConfig> dialog;
};

TEST_F(OptionsDialog, TheFormItsListsAndItsFocusOrder)
{
    Install(std::nullopt);
    TfrmConfig& d = *dialog;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("选项"));
    EXPECT_EQ(d.Label_title->text(), QStringLiteral("系统参数设置"));
    EXPECT_FALSE(d.Image1->pixmap().isNull());
    const std::pair<QCheckBox*, const char*> boxes[] = {
        {d.chkbox_openwithExcel, "导出文件时打开EXCEL打开结果文件"},
        {d.Chkbox_WordsAnalyse, "对SQL语句进行词法分析"},
        {d.Chkbox_ExportWithTblColumn, "导出文件时带表头"},
        {d.Chkbox_autocommit, "自动提交事务"},
        {d.chkbox_sqlschedulereconnect, "SQL 执行计划连接自动恢复"},
    };
    for (const auto& [box, caption] : boxes) EXPECT_EQ(box->text(), QString::fromUtf8(caption));
    EXPECT_EQ(Items(d.cmb_txtfields_separtor), (QStringList{"None", "\"", "'"}));
    EXPECT_EQ(Items(d.cmb_sql_seperatorchar), (QStringList{";", "$$"}));
    const QStringList lengths = Items(d.cmb_MaxFieldLen);
    ASSERT_EQ(lengths.size(), 34);
    EXPECT_EQ(lengths.mid(0, 4), (QStringList{"512", "1024", "2048", "4096"}));
    EXPECT_EQ(lengths.last(), QStringLiteral("65536"));
    for (int i = 2; i < lengths.size(); ++i) EXPECT_EQ(lengths[i].toInt(), 2048 * (i - 1));
    for (QComboBox* box : {d.cmb_txtfields_separtor, d.cmb_sql_seperatorchar, d.cmb_MaxFieldLen})
        EXPECT_FALSE(box->isEditable());
    EXPECT_EQ(d.btnOK->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.btnCancel->text(), QStringLiteral("取消"));

    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    const std::vector<QWidget*> order{d.btnOK,
                                      d.btnCancel,
                                      d.chkbox_openwithExcel,
                                      d.Chkbox_WordsAnalyse,
                                      d.Chkbox_ExportWithTblColumn,
                                      d.Chkbox_autocommit,
                                      d.chkbox_sqlschedulereconnect,
                                      d.cmb_txtfields_separtor,
                                      d.cmb_MaxFieldLen,
                                      d.cmb_sql_seperatorchar};
    EXPECT_EQ(QApplication::focusWidget(), order.front());
    for (std::size_t i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << "after " << i << " tabs";
    }
    // A fixed dialog border.
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
}

TEST_F(OptionsDialog, TheControlsShowTheSettings)
{
    struct Case {
        const char* What;
        std::map<QString, QString> Ini;
        bool Flags[5]; // Excel, words, header, auto-commit, reconnect
        int Separator, Qualifier;
        QString Length;
        int Items = 34;
        int LengthSetting = 0; // the setting afterwards; 0: the length shown
    };
    const Case cases[] = {
        {"defaults", {}, {false, false, false, true, false}, 0, 1, "512"},
        {"all on",
         {{"FileOpenByExcelAuto", "Y"}, {"WordsAnalyze", "yes"}, {"ExportWithTblColumn", "y"},
          {"AutoCommit", "Y"}, {"SQLScheduleReconnect", "Y"}, {"indexSepChBetweensql", "1"},
          {"indexTxtFieldsSepartor", "2"}, {"MaxFieldLenOfSqlResult", "65536"}},
         {true, true, true, true, true}, 1, 2, "65536"},
        {"all off",
         {{"FileOpenByExcelAuto", "N"}, {"WordsAnalyze", "x"}, {"ExportWithTblColumn", "n"},
          {"AutoCommit", "N"}, {"SQLScheduleReconnect", "no"}, {"indexSepChBetweensql", "0"},
          {"indexTxtFieldsSepartor", "0"}, {"MaxFieldLenOfSqlResult", "1024"}},
         {false, false, false, false, false}, 0, 0, "1024"},
        {"a length between the items is kept", {{"MaxFieldLenOfSqlResult", "1536"}},
         {false, false, false, true, false}, 0, 1, "1536", 35},
        {"no valid length", {{"MaxFieldLenOfSqlResult", "1000"}}, {false, false, false, true, false}, 0, 1, "512"},
    };
    for (const Case& c : cases) {
        Install(OptionsText(c.Ini));
        const TfrmConfig& d = *dialog;
        const QCheckBox* boxes[] = {d.chkbox_openwithExcel, d.Chkbox_WordsAnalyse, d.Chkbox_ExportWithTblColumn,
                                    d.Chkbox_autocommit, d.chkbox_sqlschedulereconnect};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(boxes[i]->isChecked(), c.Flags[i]) << c.What << ", box " << i;
        EXPECT_EQ(d.cmb_sql_seperatorchar->currentIndex(), c.Separator) << c.What;
        EXPECT_EQ(d.cmb_txtfields_separtor->currentIndex(), c.Qualifier) << c.What;
        EXPECT_EQ(d.cmb_MaxFieldLen->currentText(), c.Length) << c.What;
        EXPECT_EQ(d.cmb_MaxFieldLen->count(), c.Items) << c.What;
        EXPECT_EQ(Settings::MaxFieldLenOfSqlResult, c.Length.toInt()) << c.What;
        // The list stays in numeric order.
        const QStringList items = Items(d.cmb_MaxFieldLen);
        for (int i = 1; i < items.size(); ++i) EXPECT_LT(items[i - 1].toInt(), items[i].toInt()) << c.What;
    }
}

TEST_F(OptionsDialog, OkWithoutASettingsFileWritesAllEightKeys)
{
    Install(std::nullopt);
    ASSERT_FALSE(QFileInfo::exists(installation->IniPath()));
    TfrmConfig& d = *dialog;
    d.Chkbox_WordsAnalyse->setChecked(true);
    d.Chkbox_autocommit->setChecked(false);
    d.cmb_sql_seperatorchar->setCurrentIndex(1);
    d.cmb_txtfields_separtor->setCurrentIndex(2);
    d.cmb_MaxFieldLen->setCurrentText(QStringLiteral("4096"));
    QTest::mouseClick(d.btnOK, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);

    const std::map<QString, QString> expected{
        {"FileOpenByExcelAuto", "N"}, {"SQLScheduleReconnect", "N"}, {"WordsAnalyze", "Y"},
        {"ExportWithTblColumn", "N"}, {"AutoCommit", "N"}, {"indexSepChBetweensql", "1"},
        {"indexTxtFieldsSepartor", "2"}, {"MaxFieldLenOfSqlResult", "4096"}};
    IniFile ini(installation->IniPath());
    ASSERT_TRUE(ini.Load());
    EXPECT_EQ(ini.Keys(Options).size(), 8);
    for (const auto& [key, value] : expected) EXPECT_EQ(ini.ReadString(Options, key), value) << key.toStdString();
    EXPECT_FALSE(ini.Value(Options, QStringLiteral("DBObjectsShow")).has_value());
    EXPECT_TRUE(ReadOnlyAttribute::IsSet(installation->IniPath()));

    EXPECT_TRUE(Settings::WordsAnalyze);
    EXPECT_FALSE(Settings::AutoCommit);
    EXPECT_EQ(Settings::StatementSeparator, QStringLiteral("$$"));
    EXPECT_EQ(Settings::TextQualifier, QStringLiteral("'"));
    EXPECT_EQ(Settings::MaxFieldLenOfSqlResult, 4096);
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(OptionsDialog, OkWithoutChangesRewritesOnlyTheQualifierAndTheLength)
{
    // Stored forms that read as the dialog shows them but are not what it would write.
    const std::map<QString, QString> stored{
        {"FileOpenByExcelAuto", "y"}, {"WordsAnalyze", "n"}, {"ExportWithTblColumn", "Y"},
        {"AutoCommit", "y"}, {"SQLScheduleReconnect", "N"}, {"DBObjectsShow", "N"},
        {"indexSepChBetweensql", "1"}, {"indexTxtFieldsSepartor", "01"}, {"MaxFieldLenOfSqlResult", "02048"}};
    const QByteArray text = OptionsText(stored);
    Install(text);
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);

    std::map<QString, QString> after = stored;
    after["indexTxtFieldsSepartor"] = "0";
    after["MaxFieldLenOfSqlResult"] = "2048";
    EXPECT_EQ(FileBytes(installation->IniPath()), OptionsText(after));
    EXPECT_TRUE(ReadOnlyAttribute::IsSet(installation->IniPath()));
    EXPECT_TRUE(Settings::FileOpenByExcelAuto);
    EXPECT_EQ(Settings::TextQualifier, QString());
    EXPECT_EQ(Settings::MaxFieldLenOfSqlResult, 2048);
}

TEST_F(OptionsDialog, ALengthBetweenTheItemsSurvivesOk)
{
    Install(OptionsText({{"MaxFieldLenOfSqlResult", "1536"}}));
    EXPECT_EQ(dialog->cmb_MaxFieldLen->currentText(), QStringLiteral("1536"));
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_EQ(Stored(QStringLiteral("MaxFieldLenOfSqlResult")), QStringLiteral("1536"));
    EXPECT_EQ(Settings::MaxFieldLenOfSqlResult, 1536);
}

TEST_F(OptionsDialog, CancelAndEscapeChangeNothing)
{
    for (bool escape : {false, true}) {
        Install(QByteArray());
        const QByteArray before = FileBytes(installation->IniPath());
        const bool autoCommit = Settings::AutoCommit;
        const bool wordsAnalyze = Settings::WordsAnalyze;
        const QString qualifier = Settings::TextQualifier;
        TfrmConfig& d = *dialog;
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        for (QCheckBox* box : {d.chkbox_openwithExcel, d.Chkbox_WordsAnalyse, d.Chkbox_ExportWithTblColumn,
                               d.Chkbox_autocommit, d.chkbox_sqlschedulereconnect})
            box->setChecked(!box->isChecked());
        d.cmb_sql_seperatorchar->setCurrentIndex(1);
        d.cmb_txtfields_separtor->setCurrentIndex(0);
        d.cmb_MaxFieldLen->setCurrentIndex(20);
        if (escape)
            QTest::keyClick(&d, Qt::Key_Escape);
        else
            QTest::mouseClick(d.btnCancel, Qt::LeftButton);
        EXPECT_EQ(d.result(), QDialog::Rejected) << escape;
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(FileBytes(installation->IniPath()), before);
        EXPECT_EQ(Settings::AutoCommit, autoCommit);
        EXPECT_EQ(Settings::TextQualifier, qualifier);
        EXPECT_EQ(Settings::StatementSeparator, QStringLiteral(";"));
        EXPECT_EQ(Settings::MaxFieldLenOfSqlResult, 512);
        EXPECT_EQ(Settings::WordsAnalyze, wordsAnalyze);
    }
}

TEST_F(OptionsDialog, AFileThatCannotBeWrittenIsReportedAndTheChoicesHoldAllTheSame)
{
    Install(std::nullopt);
    // The installation folder is a file: nothing can be created in it, not even by root.
    QFile blocker(installation->Folder + QStringLiteral("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Settings::InstallPath = installation->Folder + QStringLiteral("blocked/");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(installation->Folder + QStringLiteral("blocked/config")));
    TfrmConfig& d = *dialog;
    d.Chkbox_ExportWithTblColumn->setChecked(true);
    d.cmb_txtfields_separtor->setCurrentIndex(0);
    d.cmb_MaxFieldLen->setCurrentText(QStringLiteral("8192"));
    QTest::mouseClick(d.btnOK, Qt::LeftButton);

    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_TRUE(prompter.Prompts[0].Text.startsWith(QStringLiteral("选项未能写入设置文件")))
        << prompter.Prompts[0].Text.toStdString();
    EXPECT_EQ(prompter.Prompts[0].Caption, QStringLiteral("选项"));
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(Settings::ExportWithTblColumn);
    EXPECT_EQ(Settings::TextQualifier, QString());
    EXPECT_EQ(Settings::MaxFieldLenOfSqlResult, 8192);
}

TEST_F(OptionsDialog, AWriteWhoseLastStepFailsKeepsTheOldFileAndSaysWhy)
{
    const QByteArray stored = OptionsText({{"WordsAnalyze", "N"}});
    for (const FailingLastStep::Step step : {FailingLastStep::Step::Sync, FailingLastStep::Step::Rename}) {
        SCOPED_TRACE(FailingLastStep::Name(step));
        Install(stored);
        prompter.Prompts.clear();
        dialog->Chkbox_WordsAnalyse->setChecked(true);
        QString reason;
        {
            FailingLastStep failing(step, installation->IniPath());
            QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
            ASSERT_TRUE(failing.Reached()) << "the file system cannot lock a file";
            reason = failing.ErrorText();
        }
        ASSERT_EQ(prompter.Prompts.size(), 1u);
        EXPECT_EQ(prompter.Prompts[0].Text, QStringLiteral("选项未能写入设置文件，只在本次运行中有效。\n\n") +
                                                installation->IniPath() + QStringLiteral(": ") + reason);
        EXPECT_EQ(FileBytes(installation->IniPath()), stored);
        EXPECT_EQ(QDir(installation->Folder).entryList({QStringLiteral("Tarnvale.ini*")}, QDir::Files),
                  QStringList{QStringLiteral("Tarnvale.ini")});
        EXPECT_TRUE(Settings::WordsAnalyze) << "the choice holds for this run";
    }
}

TEST_F(OptionsDialog, TheFramesOptionsCommandShowsTheDialogModally)
{
    Install(std::nullopt);
    dialog.reset();
    TFMain_mul frame;
    bool shown = false;
    WhenModal<TfrmConfig>([&](TfrmConfig& d) {
        shown = true;
        EXPECT_EQ(d.parentWidget(), &frame);
        d.Chkbox_WordsAnalyse->setChecked(true);
        QTest::mouseClick(d.btnOK, Qt::LeftButton);
    });
    frame.mainmenu_tools2_configClick();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(Settings::WordsAnalyze);
    EXPECT_EQ(Stored(QStringLiteral("WordsAnalyze")), QStringLiteral("Y"));
    EXPECT_EQ(frame.findChildren<TfrmConfig*>().size(), 0) << "the dialog is freed after it closes";
}

} // namespace
