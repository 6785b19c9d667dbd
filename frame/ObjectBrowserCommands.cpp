#include "ObjectBrowserCommands.h"

#include "BrowserPopupItems.h"
#include "connection_rec.h"
#include "FontChooser.h"
#include "IdentifierQuoting.h"
#include "NodeNameText.h"
#include "ObjectBrowserTree.h"
#include "Prompter.h"
#include "SettingFont.h"
#include "Settings.h"
#include "SqlEditorDrop.h"
#include "SqlScriptLoader.h"
#include "TFMain.h"
#include "TFMain_mul.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTreeWidget>

namespace {

const QString NodeMimeType = QStringLiteral("application/x-tarnvale-browser-node");
const QString MismatchText = QStringLiteral("当前窗口的数据库连接与对象浏览器中所选中的连接不一致！");

QObject* ExecDrag(QDrag& drag)
{
    return drag.exec(Qt::CopyAction) == Qt::IgnoreAction ? nullptr : drag.target();
}

// The pointer over a target that takes the node: an I-beam, where the name will go.
QPixmap IBeamPixmap()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(8, 2, 8, 13);
    p.drawLine(6, 1, 10, 1);
    p.drawLine(6, 14, 10, 14);
    return pixmap;
}

OptionalDbmsKind KindOfRecord(const connection_rec* rec)
{
    return rec ? OptionalDbmsKind(rec->DbmsKind) : std::nullopt;
}

// The editor's add-a-line: a text that does not end in a line break gets one first, the new text
// one after it; the caret ends behind it.
void AddLine(QPlainTextEdit& editor, const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor cursor(editor.document());
    cursor.movePosition(QTextCursor::End);
    const bool atLineStart = editor.document()->lastBlock().text().isEmpty();
    cursor.insertText(atLineStart ? lines + QLatin1Char('\n') : QLatin1Char('\n') + lines);
    editor.setTextCursor(cursor);
}

} // namespace

ObjectBrowserCommands::ObjectBrowserCommands(TFMain_mul& frame, ObjectBrowserTree& tree)
    : QObject(&frame), frame_(frame), tree_(tree)
{
    if (!RunDrag) RunDrag = ExecDrag;
    tree_.Tree().viewport()->installEventFilter(this);
    connect(frame_.PopupMenuRefresh, &QMenu::aboutToShow, this, &ObjectBrowserCommands::PopupMenuRefreshPopup);
}

BrowserNodeKind ObjectBrowserCommands::KindOfNode(const QTreeWidgetItem* node)
{
    if (!node) return BrowserNodeKind::Unknown;
    int level = 0;
    for (const QTreeWidgetItem* p = node->parent(); p; p = p->parent()) ++level;
    return BrowserNodeKindOf(level, node->parent() ? node->parent()->text(0) : QString());
}

bool ObjectBrowserCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != tree_.Tree().viewport()) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        TreeView_dbObjectMouseDown(mouse->button(), mouse->buttons(), mouse->modifiers(), mouse->position().toPoint());
        // The pop-up menu is the tree's whole answer to the right button.
        return mouse->button() == Qt::RightButton;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!dragPending_ || !(mouse->buttons() & Qt::LeftButton)) return false;
        if ((mouse->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance())
            return true;
        dragPending_ = false;
        if (QTreeWidgetItem* node = tree_.Tree().itemAt(pressedAt_)) StartDrag(node);
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        dragPending_ = false;
        return false;
    default:
        return false;
    }
}

void ObjectBrowserCommands::TreeView_dbObjectMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons,
                                                       Qt::KeyboardModifiers shift, const QPoint& pos)
{
    QTreeWidget& tree = tree_.Tree();
    QTreeWidgetItem* node = tree.itemAt(pos);
    if (button == Qt::LeftButton) {
        dragPending_ = node && node->parent() && buttons == Qt::LeftButton && shift == Qt::NoModifier;
        pressedAt_ = pos;
        return;
    }
    if (button != Qt::RightButton || !node) return;
    frame_.N_copyDbOject->setEnabled(false);
    tree.setCurrentItem(node);
    const BrowserNodeKind kind = KindOfNode(node);
    if (kind == BrowserNodeKind::TableObject) {
        // The menu's generators need the object's columns: its details are read first.
        if (!node->isExpanded())
            tree.expandItem(node);
        else if (node->childCount() == 0)
            tree_.TreeView_dbObjectExpanding(node);
    }
    const BrowserPopupItems items = PopupItemsOfNode(kind);
    frame_.N_copyDbOject->setEnabled(items.Copy);
    frame_.n_generate_SELECT_sql->setEnabled(items.AllRows);
    frame_.n_generate_SELECT_First100->setEnabled(items.First100Rows);
    frame_.n_generate_SELECT_recordcount->setEnabled(items.RowCount);
    frame_.n_generate_design_sp->setEnabled(items.ProcedureSource);
    frame_.N_SetFontDBObject->setEnabled(true);
    frame_.PopupMenuRefresh->popup(QCursor::pos());
}

void ObjectBrowserCommands::PopupMenuRefreshPopup() { frame_.N_refreshDBObject->setEnabled(true); }

void ObjectBrowserCommands::StartDrag(QTreeWidgetItem* node)
{
    QTreeWidget& tree = tree_.Tree();
    tree.setCurrentItem(node);
    // The drag is the tree's own: the source that the SQL editor accepts.
    QPointer<QDrag> drag = new QDrag(&tree);
    auto* data = new QMimeData;
    data->setData(NodeMimeType, node->text(0).toUtf8());
    drag->setMimeData(data);
    drag->setDragCursor(IBeamPixmap(), Qt::CopyAction);
    const QPointer<QObject> target = RunDrag(*drag);
    if (drag) drag->deleteLater();
    TreeView_dbObjectEndDrag(target.data());
}

QPlainTextEdit* ObjectBrowserCommands::EditorOfTarget(QObject* target)
{
    // A drop lands on the editor's viewport; its parent is the editor.
    for (int depth = 0; target && depth < 2; ++depth, target = target->parent())
        if (auto* editor = qobject_cast<QPlainTextEdit*>(target))
            return editor->objectName().compare(QLatin1String("RichEdit_sql"), Qt::CaseInsensitive) == 0 ? editor
                                                                                                          : nullptr;
    return nullptr;
}

void ObjectBrowserCommands::ConnectionMismatch(const QString& caption)
{
    Prompter::Current().Message(MismatchText, caption, Prompter::Icon::Exclamation, Prompter::Ok);
}

void ObjectBrowserCommands::TreeView_dbObjectEndDrag(QObject* target)
{
    // The target first: a drop anywhere but into a SQL editor does nothing. Then the window that
    // owns that editor gives the position its drag-over recorded and the connection to check.
    QPlainTextEdit* editor = EditorOfTarget(target);
    TFMain* w = editor ? WindowOfEditor(*editor) : nullptr;
    if (!w) return;
    QTreeWidgetItem* node = tree_.Tree().currentItem();
    const BrowserNodeKind kind = KindOfNode(node);
    QString text;
    if (kind == BrowserNodeKind::Procedure) {
        text = node->text(0);
    } else if (kind == BrowserNodeKind::TableObject || kind == BrowserNodeKind::Column) {
        const connection_rec* rec = tree_.FindConnectionOfNode(node);
        if (rec && rec->Key != w->ConnectionKey) {
            ConnectionMismatch(frame_.windowTitle());
            return;
        }
        text = DropTextOfNode(kind, node->text(0), KindOfRecord(rec));
    }
    if (!text.isEmpty()) InsertAtLineColumn(*editor, w->DropLine, w->DropColumn, text);
}

TFMain* ObjectBrowserCommands::WindowOfEditor(QPlainTextEdit& editor)
{
    for (QObject* o = editor.parent(); o; o = o->parent())
        if (auto* w = qobject_cast<TFMain*>(o)) return w;
    return nullptr;
}

void ObjectBrowserCommands::N_copyDbOjectClick()
{
    if (!frame_.ActiveQueryWindow()) return;
    QTreeWidgetItem* node = tree_.Tree().currentItem();
    const QString text =
        node ? CopyTextOfNode(KindOfNode(node), node->text(0), KindOfRecord(tree_.FindConnectionOfNode(node))) : QString();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void ObjectBrowserCommands::N_SetFontDBObjectClick()
{
    QTreeWidget& tree = tree_.Tree();
    const std::optional<QFont> chosen = FontChooser::Current().Choose(&frame_, QStringLiteral("FontDialog_treeview"), tree.font());
    if (!chosen) return;
    tree.setFont(*chosen);
    FontSetting& font = Settings::DbObjectFont;
    font.Present = true;
    font.FaceName = chosen->family();
    if (chosen->pointSize() > 0) font.Size = chosen->pointSize();
    font.Style = SettingStyleOf(*chosen);
    // Without a settings file, or when it cannot be written, the font lasts until the program ends.
    Settings::WriteFontSection(Settings::DbObjectFontSection, font);
}

void ObjectBrowserCommands::GenerateSql(SqlGenerationCommand command)
{
    TFMain* w = frame_.ActiveQueryWindow();
    if (!w) return;
    QTreeWidgetItem* node = tree_.Tree().currentItem();
    const BrowserNodeKind kind = KindOfNode(node);
    const int distance = ObjectNodeDistance(command, kind);
    if (distance < 0) return;
    QTreeWidgetItem* object = distance == 0 ? node : node->parent()->parent();
    const connection_rec* rec = tree_.FindConnectionOfNode(object);
    if (rec && rec->Key != w->ConnectionKey) {
        ConnectionMismatch(w->windowTitle());
        return;
    }
    BrowserSqlNode sqlNode;
    sqlNode.Kind = kind;
    sqlNode.ObjectText = object->text(0);
    if (kind == BrowserNodeKind::TableObject && object->childCount() > 0) {
        const QTreeWidgetItem* columns = object->child(0);
        for (int i = 0; i < columns->childCount(); ++i) sqlNode.ObjectColumnTexts.append(columns->child(i)->text(0));
    }
    if (kind == BrowserNodeKind::Column) sqlNode.ColumnText = node->text(0);
    sqlNode.DbmsKind = KindOfRecord(rec);
    const GeneratedSql sql = GenerateBrowserSql(command, sqlNode, QString::fromStdString(w->StatementSeparator));
    if (sql.Text.isEmpty() || SqlScriptLoader::RefusesEdit(*w)) return;
    AddLine(*w->RichEdit_sql, sql.Text);
    if (sql.Display == GeneratedDisplay::Grid) {
        w->RichEdit_sql->ensureCursorVisible();
        frame_.menu_run_display_gridClick();
    } else {
        frame_.menu_run_display_txtClick();
    }
}
