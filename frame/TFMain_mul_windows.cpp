#include "TFMain_mul.h"

#include "CommandImage.h"
#include "DbmsKindOf.h"
#include "DefaultWindowSize.h"
#include "ObjectBrowserNodes.h"
#include "QueryWindowConnection.h"
#include "ProgramGlobals.h"
#include "ProgramIcon.h"
#include "Prompter.h"
#include "QueryWindowGeometry.h"
#include "QueryWindowNaming.h"
#include "SettingFont.h"
#include "SqlScriptFile.h"
#include "Settings.h"
#include "StatusPanelBar.h"
#include "TFMain.h"
#include "Tfrm_connect.h"
#include "WindowMenuEntry.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>

QAction* TFMain_mul::WindowMenuItem(int index) const
{
    const QList<QAction*> items = N_windows->actions();
    return index >= 0 && index < items.size() ? items[index] : nullptr;
}

void TFMain_mul::SetWindowItemChecked(QAction* item, bool checked)
{
    // Only the checked item is checkable: an unchecked one would show an empty check box.
    item->setCheckable(checked);
    item->setChecked(checked);
}

void TFMain_mul::UncheckWindowItemsExcept(int index)
{
    const QList<QAction*> items = N_windows->actions();
    for (int i = 0; i < items.size(); ++i)
        if (i != index && items[i]->isChecked()) SetWindowItemChecked(items[i], false);
}

void TFMain_mul::AddWindowMenuEntry(QueryWindowHandle handle, const QString& caption)
{
    WindowMenuRegistry << WindowMenuEntry::Line(handle, caption);
}

void TFMain_mul::RemoveWindowMenuEntry(QueryWindowHandle handle)
{
    const int index = WindowMenuEntry::Find(WindowMenuRegistry, handle);
    if (index < 0) return;
    WindowMenuRegistry.removeAt(index);
    delete WindowMenuItem(index);
}

void TFMain_mul::RemoveWindowMenuSeparator()
{
    const QList<QAction*> items = N_windows->actions();
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->isSeparator()) {
            delete items[i];
            if (i < WindowMenuRegistry.size()) WindowMenuRegistry.removeAt(i);
            return;
        }
    }
}

void TFMain_mul::RenameWindowMenuEntry(QueryWindowHandle handle, const QString& caption)
{
    const int index = WindowMenuEntry::Find(WindowMenuRegistry, handle);
    if (index < 0) return;
    WindowMenuRegistry[index] = WindowMenuEntry::Line(handle, caption);
    if (QAction* item = WindowMenuItem(index)) item->setText(caption);
}

void TFMain_mul::CheckWindowMenuEntry(QueryWindowHandle handle, const QString& caption)
{
    WindowMenuCount = static_cast<std::int32_t>(N_windows->actions().size());
    const int index = WindowMenuEntry::Find(WindowMenuRegistry, handle);
    if (index < 0) return;
    WindowMenuRegistry[index] = WindowMenuEntry::Line(handle, caption);
    if (QAction* item = WindowMenuItem(index)) SetWindowItemChecked(item, true);
    UncheckWindowItemsExcept(index);
}

void TFMain_mul::MarkWindowBusy(QueryWindowHandle handle)
{
    if (QAction* item = WindowMenuItem(WindowMenuEntry::Find(WindowMenuRegistry, handle))) {
        CommandImage::Set(item, CommandImage::Running);
    }
}

void TFMain_mul::MarkWindowIdle(QueryWindowHandle handle)
{
    if (QAction* item = WindowMenuItem(WindowMenuEntry::Find(WindowMenuRegistry, handle))) {
        CommandImage::Set(item, CommandImage::None);
    }
}

void TFMain_mul::N_windowsClick(QObject* sender)
{
    const QList<QAction*> items = N_windows->actions();
    WindowMenuCount = static_cast<std::int32_t>(items.size());
    auto* item = qobject_cast<QAction*>(sender);
    const int index = item ? static_cast<int>(items.indexOf(item)) : -1;
    if (index < 0) return;
    SetWindowItemChecked(item, true);
    if (index < WindowMenuRegistry.size()) {
        const QString handle = WindowMenuEntry::HandleText(WindowMenuRegistry[index]);
        for (QMdiSubWindow* sub : MdiArea->subWindowList()) {
            auto* w = qobject_cast<TFMain*>(sub->widget());
            if (w && QString::number(w->Handle()) == handle) {
                MdiArea->setActiveSubWindow(sub);
                sub->raise();
            }
        }
    }
    UncheckWindowItemsExcept(index);
}

void TFMain_mul::AppendWindowMenuSeparator()
{
    // A plain line: a separator's caption would show beside it.
    N_windows->addSeparator();
    WindowMenuRegistry << QStringLiteral("-");
}

QAction* TFMain_mul::AppendWindowMenuItem(const QString& caption)
{
    auto* item = new QAction(caption, N_windows);
    N_windows->addAction(item);
    connect(item, &QAction::triggered, this, [this, item] { N_windowsClick(item); });
    return item;
}

void TFMain_mul::WatchWindowState(QMdiSubWindow* sub, TFMain* window)
{
    // Maximising, minimising and restoring are the window's system commands.
    connect(sub, &QMdiSubWindow::windowStateChanged, window,
            [window](Qt::WindowStates before, Qt::WindowStates now) {
                constexpr Qt::WindowStates sizeStates = Qt::WindowMaximized | Qt::WindowMinimized;
                if ((before & sizeStates) == (now & sizeStates)) return;
                if (now & Qt::WindowMaximized)
                    window->WMSysCommand(TFMain::SC_MAXIMIZE);
                else if (now & Qt::WindowMinimized)
                    window->WMSysCommand(TFMain::SC_MINIMIZE);
                else
                    window->WMSysCommand(TFMain::SC_RESTORE);
            });
}

QMdiSubWindow* TFMain_mul::AddQueryWindow(TFMain* window)
{
    ShowQueryWindow(window);
    RegisterQueryWindow(window);
    return SubWindowOf(window);
}

void TFMain_mul::RemoveQueryWindow(TFMain* window)
{
    if (QueryWindowCount() == 1) RemoveWindowMenuSeparator();
    RemoveWindowMenuEntry(window->Handle());
}

void TFMain_mul::SetDisconnectedMenuState()
{
    static const QSet<QString> usable{
        QStringLiteral("menu_file"),       QStringLiteral("mainmenu_file_connect"),
        QStringLiteral("menu_file_exit"),  QStringLiteral("mainmenu_eidt"),
        QStringLiteral("menu_query"),      QStringLiteral("mainmenu_tools2"),
        QStringLiteral("mainmenu_tools2_ODBC_Admin"), QStringLiteral("N_windows"),
        QStringLiteral("menu_about"),      QStringLiteral("mainmenu_about_about")};
    std::function<void(const QList<QAction*>&)> apply = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            a->setEnabled(usable.contains(a->objectName()));
            if (a->menu()) apply(a->menu()->actions());
        }
    };
    apply(menuBar()->actions());
    apply(PopupMenu_styleDisplay->actions());
    apply(PopupMenuRefresh->actions());
    for (QAction* a : ToolBar2->actions()) a->setEnabled(a == ToolButton_about);
}

void TFMain_mul::WM_QUERYWINDOWCLOSING()
{
    // Only the last query window's close leaves the frame without a connection.
    if (QueryWindowCount() != 1) return;
    SetDisconnectedMenuState();
    HideObjectPanel();
}

// ---- opening query windows ----

void TFMain_mul::ConnectThroughDialog()
{
    auto* dialog = new Tfrm_connect(this);
    frm_connect = dialog;
    const int result = dialog->exec();
    if (result == Tfrm_connect::mrOk) {
        NewConnectionKey = dialog->ConnectionKey;
        NewConnectionUser = dialog->Edit_user->text();
        NewConnectionPassword = dialog->Edit_pwd->text();
        NewConnectionDSN = dialog->ComboBox_odbc->currentText();
        ++WindowCounter;
        OpenQueryWindow(QueryWindowNaming::QueryWindowTitle(WindowCounter), true);
        if (Settings::DBObjectsShow)
            menu_tools_dbobject_showClick();
        else
            menu_tools_dbobject_hideClick();
    }
    delete dialog;
    frm_connect = nullptr;
}

void TFMain_mul::mainmenu_file_connectClick() { ConnectThroughDialog(); }

void TFMain_mul::ToolButton_newsqlClick()
{
    TFMain* active = ActiveQueryWindow();
    if (!active) return;
    ++WindowCounter;
    NewQueryKey = active->ConnectionKey;
    NewQueryUser = active->User;
    NewQueryPassword = active->Password;
    NewQueryDSN = active->DSN;
    OpenQueryWindow(QueryWindowNaming::QueryWindowTitle(WindowCounter), false);
}

bool TFMain_mul::ConnectQueryWindow(TFMain& w, QString* message)
{
    if (!QueryWindowConnection::Open(w.DSN, w.User, w.Password, w.hEnv, w.hDbc, message)) return false;
    QueryWindowConnection::ApplyCommitMode(w, w.hDbc, Settings::AutoCommit);
    w.StatementSeparator = Settings::StatementSeparator.toStdString();
    return true;
}

void TFMain_mul::ShowQueryWindow(TFMain* window)
{
    QMdiSubWindow* sub = MdiArea->addSubWindow(window);
    // The program's own icon, not the toolkit's.
    window->setWindowIcon(ProgramIcon());
    sub->setWindowIcon(ProgramIcon());
    WatchWindowState(sub, window);
    // The designed size, as far as the MDI area holds it (the toolkit would give its minimum), at
    // the next cascade place inside the area.
    const QSize area = MdiArea->viewport()->size();
    const QSize size = QueryWindowGeometry::DesignedSize.boundedTo(area);
    if (QueryWindowCount() == 1) cascadeIndex_ = 0;
    const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    sub->resize(size);
    sub->move(QueryWindowGeometry::CascadePosition(cascadeIndex_++, size, area, step));
    sub->show();
    MdiArea->setActiveSubWindow(sub);
}

void TFMain_mul::RegisterQueryWindow(TFMain* window)
{
    const QString caption = window->windowTitle();
    if (QueryWindowCount() == 1) AppendWindowMenuSeparator();
    AppendWindowMenuItem(caption);
    AddWindowMenuEntry(window->Handle(), caption);
    CheckWindowMenuEntry(window->Handle(), caption);
}

void TFMain_mul::RestoreMenusAfterFailedOpen()
{
    // The windows still open keep their commands; only a frame without any falls back.
    if (QueryWindows().isEmpty()) SetDisconnectedMenuState();
}

void TFMain_mul::EnableConnectedFrameItems()
{
    for (QAction* a : {mainmenu_eidt_selectall, mainmenu_query_transmanager, menu_tools_dbobject, mainmenu_tools2_config,
                       N_escade})
        a->setEnabled(true);
    menu_tools_dbobject_show->setEnabled(menu_tools_dbobject->isEnabled());
    menu_tools_dbobject_hide->setEnabled(menu_tools_dbobject->isEnabled());
    N_arrangeIconHer->setEnabled(N_escade->isEnabled());
    N_arrangeIconVer->setEnabled(N_escade->isEnabled());
}

void TFMain_mul::OpenQueryWindow(const QString& title, bool fromDialog)
{
    auto* window = new TFMain(this);
    window->ConnectionKey = fromDialog ? NewConnectionKey : NewQueryKey;
    window->User = fromDialog ? NewConnectionUser : NewQueryUser;
    window->Password = fromDialog ? NewConnectionPassword : NewQueryPassword;
    window->DSN = fromDialog ? NewConnectionDSN : NewQueryDSN;

    // The window connects before it is shown: a failed connection leaves no window and no handle.
    QString message;
    if (!ConnectQueryWindow(*window, &message)) {
        const QString caption = window->windowTitle();
        delete window;
        Prompter::Current().Message(message, caption, Prompter::Icon::Exclamation, Prompter::Ok);
        RestoreMenusAfterFailedOpen();
        return;
    }

    ShowQueryWindow(window);
    if (QueryWindowCount() == 1 && Settings::DBObjectsShow && AutoSizeFirstChild) {
        const QScreen* screen = this->screen();
        if (screen)
            if (const std::optional<QSize> size = DefaultFirstWindowSize(screen->size()))
                if (QMdiSubWindow* sub = SubWindowOf(window)) sub->resize(*size);
    }
    window->DbmsKind = DbmsKindOf(window->ConnectionKey);
    window->WindowNumber = QueryWindowNaming::WindowNumberOf(title);
    window->setWindowTitle(QueryWindowNaming::QueryWindowCaption(window->DSN, window->User, title));

    window->StatusBar1->SetPanelAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
    window->StatusBar1->SetPanelText(0, QStringLiteral("Ready"));
    window->StatusBar1->SetPanelText(4, QStringLiteral("当前用户：") + window->User);
    window->StatusBar1->SetPanelText(3, QStringLiteral("数据源：") + window->DSN);
    window->StatusBar1->SetPanelText(2, QStringLiteral("返回结果行数："));
    window->StatusBar1->SetPanelText(1, QStringLiteral("执行所需时间："));

    RegisterQueryWindow(window);

    window->ShowCommitMode();
    window->StatusBar2->SetPanelText(
        2, QStringLiteral("SQL之间的分隔符：") + QString::fromStdString(window->StatementSeparator));

    // A script named like the window's title in the current folder comes up in its editor, read as
    // the open command reads scripts; one that cannot be read leaves the editor empty.
    if (QFileInfo::exists(title))
        if (const SqlScriptFile::ReadResult script = SqlScriptFile::Read(title); script.Ok)
            ShowScript(*window, title, script);

    window->SyncFrameToolbar();
    EnableConnectedFrameItems();

    const ConnectionList::AttachResult attached =
        Connections.Attach(window->ConnectionKey, window->DbmsKind, window->User, window->Password, window->DSN);
    if (attached.NodesNeeded) ObjectBrowserNodes::AddConnectionNodes(*TreeView_dbObject, *attached.Record);
    if (Settings::DbObjectFont.Present)
        TreeView_dbObject->setFont(SettingFont(Settings::DbObjectFont, TreeView_dbObject->font()));

    connect(window, &TFMain::ConnectionReleased, this, &TFMain_mul::ReleaseConnectionOf);
}
