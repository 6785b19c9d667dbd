// Find and replace of a query window: Find Next in the SQL editor (down with the editor's own
// search, up through the search library) and in the messages text (both ways through the search
// library), Replace and Replace All in the editor. It creates the window's three dialogs.
#pragma once

#include <QObject>
#include <QString>

class FindReplaceDialog;
class QPlainTextEdit;
class TFMain;

class FindReplaceController : public QObject {
    Q_OBJECT
public:
    explicit FindReplaceController(TFMain& window);

    void FindDialog_sqlFind();
    void FindDialog1Find();
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace();

    // Selects length characters from position (cut at the text's end) and scrolls the caret into view.
    static void SelectMatch(QPlainTextEdit& edit, int position, int length);
    // The selection stays visible while the dialog has the focus.
    static void ShowSelectionWithoutFocus(QPlainTextEdit& edit);
    // The editor's own forward search from position to the end: the match's position or -1.
    static int FindForward(const QPlainTextEdit& edit, const QString& text, int from, bool matchCase, bool wholeWord);

private:
    void NotFound(const QString& findText);

    TFMain& window_;
};
