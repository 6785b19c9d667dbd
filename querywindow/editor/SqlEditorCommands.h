// The editing of a query window's SQL editor: the change handler with the window's own undo and
// redo history and the keyword colouring, the keys the window handles itself, indentation on
// Enter, the clipboard commands, the editor's pop-up menu, the drag target for object browser
// nodes and the font command. The window's handlers of the same names call into it.
#pragma once

#include "SnapshotText.h"

#include <QFont>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <optional>

class FindReplaceDialog;
class KeywordColouring;
class LongLineDisplay;
class QAction;
class QMenu;
class QTextDocument;
class SqlScriptLoader;
class TFMain;

class SqlEditorCommands : public QObject {
    Q_OBJECT
public:
    explicit SqlEditorCommands(TFMain& window);

    void Change();
    // The change handling for an editor text known to be text (SqlEditorText::Of the document);
    // coloured: every line already shows the colours of the window's kind.
    void ChangedTo(const SnapshotText& text, bool coloured = false);
    // Gives the editor document (parented to it from now on), whose whole text is text, in place of
    // its document, which is emptied in slices afterwards, and handles that as a change of the
    // text. longLine: the document has a long line (LongLineDisplay), which already keeps its
    // glyphs. taken runs as soon as the editor holds the document, before the change is handled.
    void AdoptDocument(QTextDocument* document, const SnapshotText& text, bool coloured, bool longLine,
                       const std::function<void()>& taken = {});
    void Undo();
    void Redo();
    void HighlightFromLine();
    // key: a Qt key code, set to 0 when the key is swallowed.
    void KeyDown(int& key, Qt::KeyboardModifiers shift);
    // key: the typed character, set to 0 when the editor must not insert it.
    void KeyPress(QChar& key);
    void Copy();
    void Cut();
    void Paste();
    void SelectionChange();
    void MouseDown(Qt::MouseButton button);
    // x, y: the editor's viewport coordinates.
    void DragOver(QObject* source, int x, int y, bool& accept);
    void FontClick();
    // Places FindDialog_sql as the editor's Ctrl+F does and shows it, with the selected text as its
    // find text when there is a selection.
    void ShowFindDialog();
    // The same for the window's find or replace dialog, after giving the editor the focus.
    void ShowSearchDialog(FindReplaceDialog* dialog);

    // Whether a drag comes from the frame's object tree.
    static bool IsObjectTree(const QObject* source);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPopupMenu();
    void SetEnabled(const char* windowCommand, const std::optional<bool>& state);
    void CopyOntoFrame(const char* windowCommand, std::initializer_list<const char*> frameCommands);
    bool FrameCommandEnabled(const char* name) const;
    // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z: the window's own undo and redo, when they are offered. False
    // for any other key.
    bool HistoryKey(int key, Qt::KeyboardModifiers shift);
    // Calls the frame's handler of that name; false when there is no frame or no such handler.
    bool CallFrame(const char* handler);

    // Keeps shown_ the editor's text through every change of its document's characters.
    // known: the document's text when the caller has it already (read from the document otherwise).
    void WatchDocument(const SnapshotText* known = nullptr);
    void DocumentChanged(int position, int charsRemoved, int charsAdded);
    // The editor's text becomes snapshot, as an undo or redo puts it back: by changing only the
    // part that differs, or for a big new part in slices as a script is opened.
    void Restore(const SnapshotText& snapshot);
    // Undo and redo step the history only after this; an undo or redo put back in slices and given
    // up leaves the history as it was before it.
    void BeforeHistoryStep();
    void RestoreGivenUp();

    TFMain& window_;
    KeywordColouring* colouring_ = nullptr;
    LongLineDisplay* longLines_ = nullptr;
    // Set while the editor takes another document: that is no change of its own.
    bool adopting_ = false;
    // The editor's text as its document holds it, kept up to date piece by piece.
    SnapshotText shown_;
    QMetaObject::Connection watched_;
    // The undo or redo being put back in slices, and the history's state before it.
    QPointer<SqlScriptLoader> restoring_;
    struct HistoryState {
        std::int32_t UndoCount, RedoCount, HistoryCursor;
        std::uint8_t RestoringHistory;
        bool UndoOn, UndoItemOn, RedoOn, RedoItemOn;
    };
    HistoryState beforeRestore_{};
    bool superseding_ = false;
};
