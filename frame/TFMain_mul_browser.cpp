#include "TFMain_mul.h"

#include "CommandImage.h"
#include "ObjectBrowserCommands.h"
#include "ObjectBrowserNodes.h"
#include "ObjectBrowserTree.h"
#include "Prompter.h"
#include "Settings.h"
#include "TFMain.h"

#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>

// ---- object browser panel and connection records ----

void TFMain_mul::LayoutObjectPanel()
{
    const int width = panel_DbObject->width();
    const int height = panel_DbObject->height();
    btnClosePanelDBObject->move(width - btnClosePanelDBObject->width() - 5, 5);
    lbl_dbobject->move(10, 7);
    lbl_dbobject->adjustSize();
    TreeView_dbObject->setGeometry(0, 30, width, std::max(height - 30, 0));
}

void TFMain_mul::panel_DbObjectResize()
{
    LayoutObjectPanel();
    if (panel_DbObject->isVisible()) panelWidth_ = panel_DbObject->width();
}

void TFMain_mul::menu_tools_dbobject_showClick()
{
    if (QueryWindows().isEmpty()) return;
    menu_tools_dbobject_show->setChecked(true);
    menu_tools_dbobject_hide->setChecked(false);
    const bool wasHidden = panel_DbObject->isHidden();
    panel_DbObject->show();
    Panel2->show();
    // The panel comes back as wide as it was left.
    if (wasHidden) {
        const int total = PanelSplitter->width() - PanelSplitter->handleWidth();
        PanelSplitter->setSizes({panelWidth_, std::max(total - panelWidth_, 0)});
    }
    LayoutObjectPanel();
    if (TFMain* w = ActiveQueryWindow()) w->FormResize();
    Settings::DBObjectsShow = true;
}

void TFMain_mul::HideObjectPanel()
{
    menu_tools_dbobject_show->setChecked(false);
    menu_tools_dbobject_hide->setChecked(true);
    panel_DbObject->hide();
    Panel2->hide();
    LayoutObjectPanel();
}

void TFMain_mul::menu_tools_dbobject_hideClick()
{
    Settings::DBObjectsShow = false;
    HideObjectPanel();
}

void TFMain_mul::btnClosePanelDBObjectClick() { menu_tools_dbobject_hideClick(); }

connection_rec* TFMain_mul::FindConnectionOfNode(QTreeWidgetItem* node) const
{
    connection_rec* rec = ObjectBrowserNodes::RecordOfRoot(ObjectBrowserNodes::RootOf(node));
    return Connections.Contains(rec) ? rec : nullptr;
}

void TFMain_mul::ReleaseConnectionOf(TFMain* window)
{
    auto fault = [this] {
        Prompter::Current().Message(QStringLiteral("发生严重错误"), windowTitle(), Prompter::Icon::Exclamation,
                                    Prompter::Ok);
    };
    const ConnectionList::ReleaseResult released = Connections.Release(window->ConnectionKey);
    // A window that attached always has its record: one that is missing is reported, never used.
    if (!released.Record) {
        fault();
        return;
    }
    if (!released.Dormant) return;
    // The record's own node goes, even when another connection's node has the same text.
    QTreeWidgetItem* root = ObjectBrowserNodes::FindConnectionRoot(*TreeView_dbObject, released.Record);
    if (!root) {
        fault();
        return;
    }
    delete root;
    if (TreeView_dbObject->topLevelItemCount() == 0) HideObjectPanel();
}

// ---- object browser: the tree's loading and its commands ----

void TFMain_mul::BuildObjectBrowser()
{
    auto separator = [this](const char* name) {
        QAction* a = PopupMenuRefresh->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    N_refreshDBObject = Item(PopupMenuRefresh, "N_refreshDBObject", QStringLiteral("刷新(&R)"));
    CommandImage::Set(N_refreshDBObject, CommandImage::Refresh);
    N5 = separator("N5");
    N_copyDbOject = Item(PopupMenuRefresh, "N_copyDbOject", QStringLiteral("拷贝(&C)"));
    CommandImage::Set(N_copyDbOject, CommandImage::Copy);
    N1 = separator("N1");
    n_generate_SELECT_sql = Item(PopupMenuRefresh, "n_generate_SELECT_sql", QStringLiteral("返回所有行(&A)"));
    n_generate_SELECT_First100 = Item(PopupMenuRefresh, "n_generate_SELECT_First100", QStringLiteral("返回前100行(&P)"));
    N6 = separator("N6");
    n_generate_SELECT_recordcount = Item(PopupMenuRefresh, "n_generate_SELECT_recordcount", QStringLiteral("记录数(&N)"));
    N9 = separator("N9");
    n_generate_design_sp = Item(PopupMenuRefresh, "n_generate_design_sp", QStringLiteral("查看存贮过程/函数内容(&T)"));
    N10 = separator("N10");
    N_SetFontDBObject = Item(PopupMenuRefresh, "N_SetFontDBObject", QStringLiteral("字体(&F)"));
    CommandImage::Set(N_SetFontDBObject, CommandImage::Font);

    BrowserTree = new ObjectBrowserTree(*TreeView_dbObject, Connections);
    BrowserCommands = new ObjectBrowserCommands(*this, *BrowserTree);
    connect(N_refreshDBObject, &QAction::triggered, this, &TFMain_mul::N_refreshDBObjectClick);
    connect(N_copyDbOject, &QAction::triggered, this, &TFMain_mul::N_copyDbOjectClick);
    connect(n_generate_SELECT_sql, &QAction::triggered, this, &TFMain_mul::n_generate_SELECT_sqlClick);
    connect(n_generate_SELECT_First100, &QAction::triggered, this, &TFMain_mul::n_generate_SELECT_First100Click);
    connect(n_generate_SELECT_recordcount, &QAction::triggered, this, &TFMain_mul::n_generate_SELECT_recordcountClick);
    connect(n_generate_design_sp, &QAction::triggered, this, &TFMain_mul::n_generate_design_spClick);
    connect(N_SetFontDBObject, &QAction::triggered, this, &TFMain_mul::N_SetFontDBObjectClick);
}

void TFMain_mul::TreeView_dbObjectExpanding(QTreeWidgetItem* node) { BrowserTree->TreeView_dbObjectExpanding(node); }

void TFMain_mul::TreeView_dbObjectExpanded(QTreeWidgetItem* node) { BrowserTree->TreeView_dbObjectExpanded(node); }

bool TFMain_mul::ExpandTreeNode(QTreeWidgetItem* node, bool refresh, QString& error)
{
    return BrowserTree->ExpandTreeNode(node, refresh, error);
}

bool TFMain_mul::LoadCatalog(connection_rec& rec, QString& error) { return BrowserTree->LoadCatalog(rec, error); }

bool TFMain_mul::FillCategoryNode(QTreeWidgetItem* node, connection_rec& rec)
{
    return BrowserTree->FillCategoryNode(node, rec);
}

bool TFMain_mul::FillObjectDetails(QTreeWidgetItem* node, connection_rec& rec, QString& error)
{
    return BrowserTree->FillObjectDetails(node, rec, error);
}

void TFMain_mul::N_refreshDBObjectClick() { BrowserTree->Refresh(); }

void TFMain_mul::PopupMenuRefreshPopup() { BrowserCommands->PopupMenuRefreshPopup(); }

void TFMain_mul::TreeView_dbObjectEndDrag(QObject* target) { BrowserCommands->TreeView_dbObjectEndDrag(target); }

void TFMain_mul::N_copyDbOjectClick() { BrowserCommands->N_copyDbOjectClick(); }

void TFMain_mul::N_SetFontDBObjectClick() { BrowserCommands->N_SetFontDBObjectClick(); }

void TFMain_mul::n_generate_SELECT_sqlClick() { BrowserCommands->GenerateSql(SqlGenerationCommand::AllRows); }

void TFMain_mul::n_generate_SELECT_First100Click() { BrowserCommands->GenerateSql(SqlGenerationCommand::First100Rows); }

void TFMain_mul::n_generate_SELECT_recordcountClick() { BrowserCommands->GenerateSql(SqlGenerationCommand::RowCount); }

void TFMain_mul::n_generate_design_spClick() { BrowserCommands->GenerateSql(SqlGenerationCommand::ProcedureSource); }

