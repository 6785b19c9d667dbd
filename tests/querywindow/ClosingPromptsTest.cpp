// The questions asked before text or a transaction could be lost, byte for byte, and what the
// transaction manager does for each transaction state and answer.
#include "ClosingPrompts.h"
#include "QueryWindowState.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(const QString& text) { return text.toStdString(); }

TEST(ClosingPrompts, TheSaveLabelQuotesTheCaptionFromUntitledOrWhole)
{
    const struct {
        const char* Caption;
        const char* Label;
    } cases[] = {
        {"查询 -- TarnvaleDemo\\sa  --无标题1", "无标题1 中的文本已更改。\n\n是否保存更改？"},
        {"查询 -- pg\\postgres  --无标题65536", "无标题65536 中的文本已更改。\n\n是否保存更改？"},
        {"查询 -- pg\\  --/home/me/report.sql", "查询 -- pg\\  --/home/me/report.sql 中的文本已更改。\n\n是否保存更改？"},
        // The first occurrence counts, wherever it stands.
        {"查询 -- 无标题源\\u  --无标题2", "无标题源\\u  --无标题2 中的文本已更改。\n\n是否保存更改？"},
        {"", " 中的文本已更改。\n\n是否保存更改？"},
    };
    for (const auto& c : cases) EXPECT_EQ(Bytes(ClosingPrompts::SaveLabel(QString::fromUtf8(c.Caption))), c.Label) << c.Caption;
    EXPECT_EQ(Bytes(ClosingPrompts::SaveCaption), "Tarnvale");
}

TEST(ClosingPrompts, TheTransactionQuestionsAreTheProgramsOwnTexts)
{
    // Two blanks before each quoted button name, one blank before and two after each "；".
    EXPECT_EQ(Bytes(ClosingPrompts::CloseTransactionChoice()),
              "\r\n当前窗口中有可能存在事务\r\n\r\n"
              "提交事务，请点击  \"是(Y)\" ；  回滚事务，请点击  \"否(N)\" ");
    EXPECT_EQ(Bytes(ClosingPrompts::ManagerTransactionChoice()),
              "\r\n当前窗口中有可能存在事务\r\n\r\n"
              "提交事务，请点击  \"是(Y)\" ；  回滚事务，请点击  \"否(N)\" ；  什么都不做，请点击  \"取消\"");
    EXPECT_TRUE(ClosingPrompts::ManagerTransactionChoice().startsWith(ClosingPrompts::CloseTransactionChoice()));
    EXPECT_EQ(Bytes(ClosingPrompts::CommitFailed), "事务提交时发生错误！");
    EXPECT_EQ(Bytes(ClosingPrompts::RollbackFailed), "事务回退时发生错误！");
    EXPECT_EQ(Bytes(ClosingPrompts::LostTransaction), "数据库连接已断开，当前窗口中的事务已丢失，其中的更改已被服务器回滚！");
    EXPECT_EQ(Bytes(ClosingPrompts::EarlierTransactionLost),
              "数据库连接曾断开并已重新连接，断开前窗口中的事务已丢失，其中的更改已被服务器回滚；重新连接后的更改已提交。");
}

TEST(ClosingPrompts, AFailureReportIsFollowedByTheDriversText)
{
    const struct {
        bool Commit;
        const char* Driver;
        const char* Text;
    } cases[] = {
        {true, "could not send data to server", "事务提交时发生错误！\n\ncould not send data to server"},
        {false, "\rfirst\r\rsecond\r", "事务回退时发生错误！\n\nfirst\n\nsecond"},
        {true, "line one\r\nline two", "事务提交时发生错误！\n\nline one\nline two"},
        {false, "", "事务回退时发生错误！"},
        {true, " \r ", "事务提交时发生错误！"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Bytes(ClosingPrompts::TransactionFailure(c.Commit, QString::fromUtf8(c.Driver))), c.Text) << c.Driver;
}

TEST(ClosingPrompts, TheManagerInformsForNoOpenTransactionAndAsksOtherwise)
{
    using ClosingPrompts::Answer;
    using ClosingPrompts::ManagerAction;
    const struct {
        std::uint8_t State;
        const char* Note; // null: the choice
        ManagerAction Yes, No, Cancel;
    } cases[] = {
        {TransactionStates::None, "\r\n当前窗口中不存在事务，因此不用您管理事务了\r\n\r\n", ManagerAction::Nothing,
         ManagerAction::Nothing, ManagerAction::Nothing},
        {TransactionStates::AutoCommit, "\r\n当前窗口中的事务为自动提交方式，因此不用您管理事务了\r\n\r\n",
         ManagerAction::Nothing, ManagerAction::Nothing, ManagerAction::Nothing},
        {TransactionStates::NotSupported, "\r\n当前窗口中的数据源不支持事务，因此不用您管理事务了\r\n\r\n",
         ManagerAction::Nothing, ManagerAction::Nothing, ManagerAction::Nothing},
        {TransactionStates::MayBeOpen, nullptr, ManagerAction::Commit, ManagerAction::Rollback, ManagerAction::Nothing},
        // Any state but the three notes is taken as a possibly open transaction.
        {2, nullptr, ManagerAction::Commit, ManagerAction::Rollback, ManagerAction::Nothing},
        {253, nullptr, ManagerAction::Commit, ManagerAction::Rollback, ManagerAction::Nothing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.State));
        const ClosingPrompts::ManagerPrompt prompt = ClosingPrompts::ManagerPromptFor(c.State);
        EXPECT_EQ(prompt.Choice, c.Note == nullptr);
        EXPECT_EQ(Bytes(prompt.Text), c.Note ? std::string(c.Note) : Bytes(ClosingPrompts::ManagerTransactionChoice()));
        EXPECT_EQ(ClosingPrompts::ManagerActionFor(c.State, Answer::Yes), c.Yes);
        EXPECT_EQ(ClosingPrompts::ManagerActionFor(c.State, Answer::No), c.No);
        EXPECT_EQ(ClosingPrompts::ManagerActionFor(c.State, Answer::Cancel), c.Cancel);
    }
}

} // namespace
