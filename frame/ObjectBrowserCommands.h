// The object browser's commands: the pop-up menu that follows the node's kind, copying a node's
// name, dragging a node into a query window's SQL editor, the tree's font and the SQL written
// from a node into the active query window.
#pragma once

#include "BrowserNodeKind.h"
#include "SqlGeneration.h"

#include <QFont>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <optional>

class ObjectBrowserTree;
class QDrag;
class QPlainTextEdit;
class QTreeWidgetItem;
class TFMain;
class TFMain_mul;

class ObjectBrowserCommands : public QObject {
    Q_OBJECT
public:
    // Runs a drag to its end and gives the widget that took the drop; none when it was refused.
    // Tests replace it, since a drag holds the mouse until it ends.
    static inline std::function<QObject*(QDrag& drag)> RunDrag;

    // Handles the mouse in the frame's tree and the opening of its pop-up menu.
    ObjectBrowserCommands(TFMain_mul& frame, ObjectBrowserTree& tree);

    // What a node is, by its level and its parent's caption; Unknown for none.
    static BrowserNodeKind KindOfNode(const QTreeWidgetItem* node);

    // A mouse button went down at pos (the tree viewport's coordinates): the right button opens
    // the pop-up menu over a node, the left button alone may begin a drag of a node below the roots.
    void TreeView_dbObjectMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                                    const QPoint& pos);
    // Before the pop-up menu shows.
    void PopupMenuRefreshPopup();
    // The drag of the selected node ended on target (none when refused): its name goes into the
    // SQL editor that took it, at the position that editor's query window recorded, after the
    // node's connection was checked against that window's.
    void TreeView_dbObjectEndDrag(QObject* target);
    // The selected node's name onto the clipboard.
    void N_copyDbOjectClick();
    // The tree's font, chosen in the font dialog, kept for later windows and in the settings file.
    void N_SetFontDBObjectClick();
    // Writes the command's statement for the selected node into the active query window.
    void GenerateSql(SqlGenerationCommand command);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartDrag(QTreeWidgetItem* node);
    // The editor a drop landed on: RichEdit_sql itself or its viewport; none for anything else.
    static QPlainTextEdit* EditorOfTarget(QObject* target);
    // The query window the editor belongs to; none for an editor outside one.
    static TFMain* WindowOfEditor(QPlainTextEdit& editor);
    void ConnectionMismatch(const QString& caption);

    TFMain_mul& frame_;
    ObjectBrowserTree& tree_;
    // A left press on a node that becomes a drag once the mouse moves far enough; the node is
    // looked up again then, as the tree may have changed in between.
    bool dragPending_ = false;
    QPoint pressedAt_;
};
