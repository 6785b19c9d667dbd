// Find and replace of a query window: Find Next in the SQL editor and in the messages text, both
// ways through the search library (one rule of case and of whole words for every search), Replace
// and Replace All in the editor. It creates the window's three dialogs.
#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>

class FindReplaceDialog;
class QPlainTextEdit;
class QTimer;
class QWidget;
class ResultTextView;
class TFMain;

class FindReplaceController : public QObject {
    Q_OBJECT
public:
    explicit FindReplaceController(TFMain& window);
    ~FindReplaceController() override;

    // A find in the messages text that takes longer than this goes on between events, in slices
    // about this long.
    static inline std::chrono::nanoseconds MessagesFindSlice = std::chrono::milliseconds(20);
    // A find in the messages text goes on between events.
    bool MessagesFindRunning() const { return messagesFind_ != nullptr; }
    // Gives that find up: the selection stays as it is and nothing is said.
    void StopMessagesFind();

    void FindDialog_sqlFind();
    void FindDialog1Find();
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace();

    // Selects length characters from position (cut at the text's end) and scrolls the caret into view.
    static void SelectMatch(QPlainTextEdit& edit, int position, int length);
    static void SelectMatch(ResultTextView& text, int position, int length);
    // The selection stays visible while the dialog has the focus.
    static void ShowSelectionWithoutFocus(QWidget& edit);
    // The forward search in the editor from position to the end, under the dialog's FR_MATCHCASE
    // and FR_WHOLEWORD: the match's position or -1.
    static int FindForward(const QPlainTextEdit& edit, const QString& text, int from, std::uint32_t options);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct MessagesFind;
    void GoOnWithMessagesFind();
    void EndMessagesFindSlices();
    // Selects the match of an ended find in the messages text, or says that there is none.
    void Answer(const MessagesFind& find);
    void NotFound(const QString& findText);
    // Selects a match and moves the dialog off it, so that the text found stays in view.
    static void Found(FindReplaceDialog& dialog, QPlainTextEdit& edit, int position, int length);
    static void Found(FindReplaceDialog& dialog, ResultTextView& text, int position, int length);

    TFMain& window_;
    std::unique_ptr<MessagesFind> messagesFind_;
    QTimer* messagesFindTimer_ = nullptr;
};
