// What the program asks before text or a transaction could be lost: the save prompt of a modified
// SQL text, the transaction questions of a closing window and of the transaction manager, and the
// reports of a commit or rollback that failed.
#pragma once

#include <QString>

#include <cstdint>

namespace ClosingPrompts {

// The save prompt: the caption from "无标题" to its end (the whole caption without it), then
// " 中的文本已更改。", a blank line and "是否保存更改？".
QString SaveLabel(const QString& caption);
// The caption of the save prompt.
inline const QString SaveCaption = QStringLiteral("Tarnvale");

// A closing window in which a transaction may be open: commit (Yes) or roll back (No).
QString CloseTransactionChoice();
// The transaction manager on a window in which a transaction may be open: Yes, No or Cancel.
QString ManagerTransactionChoice();

// The report of a failed commit or rollback: its own line, then the driver's text.
inline const QString CommitFailed = QStringLiteral("事务提交时发生错误！");
inline const QString RollbackFailed = QStringLiteral("事务回退时发生错误！");
QString TransactionFailure(bool commit, const QString& driverText);
// A commit after the window's connection was lost: the server has rolled the transaction back.
inline const QString LostTransaction =
    QStringLiteral("数据库连接已断开，当前窗口中的事务已丢失，其中的更改已被服务器回滚！");
// A commit after a reconnect: what was done before it was rolled back with the old connection,
// what was done since has been committed.
inline const QString EarlierTransactionLost = QStringLiteral(
    "数据库连接曾断开并已重新连接，断开前窗口中的事务已丢失，其中的更改已被服务器回滚；重新连接后的更改已提交。");

// What the transaction manager shows for a window's transaction state: a note for auto-commit
// (254), no transaction support (255) and no transaction (0), the choice for any other state.
struct ManagerPrompt {
    bool Choice = false; // Yes, No and Cancel; otherwise a note with OK only
    QString Text;
};
ManagerPrompt ManagerPromptFor(std::uint8_t transactionState);

// What an answer to the manager's choice does.
enum class ManagerAction { Nothing, Commit, Rollback };
enum class Answer { Yes, No, Cancel };
ManagerAction ManagerActionFor(std::uint8_t transactionState, Answer answer);

} // namespace ClosingPrompts
