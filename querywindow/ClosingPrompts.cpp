#include "ClosingPrompts.h"

#include "QueryWindowState.h"

namespace ClosingPrompts {

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString MayBeOpen = QStringLiteral("当前窗口中有可能存在事务");
// The choice line up to and including the rollback button's name and the blank after it.
const QString CommitOrRollback = QStringLiteral("提交事务，请点击  \"是(Y)\" ；  回滚事务，请点击  \"否(N)\" ");

} // namespace

QString SaveLabel(const QString& caption)
{
    const qsizetype untitled = caption.indexOf(QStringLiteral("无标题"));
    // Two carriage returns in the message are a blank line on this platform.
    return (untitled < 0 ? caption : caption.mid(untitled)) + QStringLiteral(" 中的文本已更改。") + QStringLiteral("\n\n") +
           QStringLiteral("是否保存更改？");
}

QString CloseTransactionChoice() { return CrLf + MayBeOpen + CrLf + CrLf + CommitOrRollback; }

QString ManagerTransactionChoice()
{
    return CrLf + MayBeOpen + CrLf + CrLf + CommitOrRollback + QStringLiteral("；  什么都不做，请点击  \"取消\"");
}

QString TransactionFailure(bool commit, const QString& driverText)
{
    QString text = commit ? CommitFailed : RollbackFailed;
    // The driver frames its messages with carriage returns, which break no line here.
    QString driver = driverText;
    driver.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    driver = driver.trimmed();
    if (!driver.isEmpty()) text += QStringLiteral("\n\n") + driver;
    return text;
}

ManagerPrompt ManagerPromptFor(std::uint8_t state)
{
    auto note = [](const char* line) { return ManagerPrompt{false, CrLf + QString::fromUtf8(line) + CrLf + CrLf}; };
    switch (state) {
    case TransactionStates::AutoCommit: return note("当前窗口中的事务为自动提交方式，因此不用您管理事务了");
    case TransactionStates::NotSupported: return note("当前窗口中的数据源不支持事务，因此不用您管理事务了");
    case TransactionStates::None: return note("当前窗口中不存在事务，因此不用您管理事务了");
    default: return {true, ManagerTransactionChoice()};
    }
}

ManagerAction ManagerActionFor(std::uint8_t state, Answer answer)
{
    if (!ManagerPromptFor(state).Choice) return ManagerAction::Nothing;
    switch (answer) {
    case Answer::Yes: return ManagerAction::Commit;
    case Answer::No: return ManagerAction::Rollback;
    case Answer::Cancel: break;
    }
    return ManagerAction::Nothing;
}

} // namespace ClosingPrompts
