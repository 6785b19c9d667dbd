#include "TFMain_mul.h"

#include "FindReplaceDialog.h"
#include "SqlEditorCommands.h"
#include "TFMain.h"

#include <QPlainTextEdit>

// ---- edit commands on the active query window ----

void TFMain_mul::EditActiveWindow(void (TFMain::*operation)())
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    // The frame's buttons and items show the window's states before and after the operation.
    w->SyncFrameToolbar();
    (w->*operation)();
    w->SyncFrameToolbar();
}

void TFMain_mul::ToolButton_undosqlClick() { EditActiveWindow(&TFMain::ToolButton_undosqlClick); }

void TFMain_mul::ToolButton_redosqlClick() { EditActiveWindow(&TFMain::ToolButton_redosqlClick); }

void TFMain_mul::ToolButton_cutClick() { EditActiveWindow(&TFMain::ToolButton_cutClick); }

void TFMain_mul::mainmenu_eidt_cutClick() { EditActiveWindow(&TFMain::ToolButton_cutClick); }

void TFMain_mul::ToolButton_copyClick() { EditActiveWindow(&TFMain::ToolButton_copyClick); }

void TFMain_mul::mainmenu_eidt_copyClick() { EditActiveWindow(&TFMain::ToolButton_copyClick); }

void TFMain_mul::ToolButton_pasteClick() { EditActiveWindow(&TFMain::ToolButton_pasteClick); }

void TFMain_mul::mainmenu_eidt_selectallClick()
{
    if (TFMain* w = ActiveQueryWindow()) w->RichEdit_sql->selectAll();
}

void TFMain_mul::ToolButton_findClick()
{
    if (TFMain* w = ActiveQueryWindow()) w->EditorCommands().ShowSearchDialog(w->FindDialog_sql);
}

void TFMain_mul::ToolButton_replaceClick()
{
    if (TFMain* w = ActiveQueryWindow()) w->EditorCommands().ShowSearchDialog(w->ReplaceDialog1);
}
