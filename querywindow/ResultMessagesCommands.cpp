#include "ResultMessagesCommands.h"

#include "FindReplaceDialog.h"
#include "FontChooser.h"
#include "SettingFont.h"
#include "Settings.h"
#include "TFMain.h"

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QFontInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

namespace {

constexpr Qt::KeyboardModifiers ShiftCtrlAlt = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

FontSetting SettingOf(const QFont& font)
{
    FontSetting setting;
    setting.Present = true;
    setting.FaceName = font.family();
    // A font sized in pixels has its size in points from the screen it is shown on.
    setting.Size = font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
    setting.Style = SettingStyleOf(font);
    return setting;
}

} // namespace

ResultMessagesCommands::ResultMessagesCommands(TFMain& window) : QObject(&window), window_(window)
{
    ResultTextView* memo = window_.RichEdit_result;
    // The pop-up menu opens from the mouse-down handling only.
    memo->setContextMenuPolicy(Qt::PreventContextMenu);
    memo->installEventFilter(this);
    memo->viewport()->installEventFilter(this);
    BuildPopupMenu();
}

void ResultMessagesCommands::BuildPopupMenu()
{
    auto* menu = new QMenu(&window_);
    menu->setObjectName(QStringLiteral("PopupMenu_richeditresult"));
    window_.PopupMenu_richeditresult = menu;
    auto item = [this, menu](const char* name, const QString& caption, void (TFMain::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, &window_, handler);
        return a;
    };
    window_.N_richeditresult_cut = item("N_richeditresult_cut", QStringLiteral("剪切(&T)"), &TFMain::N_richeditresult_cutClick);
    window_.N_richeditresult_copy =
        item("N_richeditresult_copy", QStringLiteral("复制(&C)"), &TFMain::N_richeditresult_copyClick);
    window_.N_richeditresult_paste =
        item("N_richeditresult_paste", QStringLiteral("粘贴(&P)"), &TFMain::N_richeditresult_pasteClick);
    window_.N_richeditresult_selectall =
        item("N_richeditresult_selectall", QStringLiteral("全选(&S)"), &TFMain::N_richeditresult_selectallClick);
    menu->addSeparator();
    window_.N_richeditresult_font =
        item("N_richeditresult_font", QStringLiteral("字体(&F)"), &TFMain::N_richeditresult_fontClick);
}

void ResultMessagesCommands::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    TFMain& w = window_;
    if (key == Qt::Key_A && (shift & Qt::ControlModifier)) {
        w.RichEdit_result->SelectAll();
        key = 0;
    } else if (key == Qt::Key_F && (shift & ShiftCtrlAlt) == Qt::ControlModifier) {
        FindReplaceDialog* dialog = w.FindDialog1;
        if (!dialog) return;
        dialog->move(w.width() / 2 - 100, w.RichEdit_result->y() + 100);
        if (w.RichEdit_result->HasSelection()) dialog->SetFindText(w.RichEdit_result->SelectedText());
        dialog->Execute();
        key = 0;
    }
}

void ResultMessagesCommands::MouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton) return;
    TFMain& w = window_;
    const bool selected = w.RichEdit_result->HasSelection();
    w.N_richeditresult_cut->setEnabled(selected);
    w.N_richeditresult_copy->setEnabled(selected);
    w.PopupMenu_richeditresult->popup(QCursor::pos());
}

void ResultMessagesCommands::Cut() { window_.RichEdit_result->Cut(); }

void ResultMessagesCommands::Copy() { window_.RichEdit_result->Copy(); }

void ResultMessagesCommands::Paste()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data && data->hasText()) window_.RichEdit_result->Paste();
}

void ResultMessagesCommands::SelectAll() { window_.RichEdit_result->SelectAll(); }

void ResultMessagesCommands::FontClick()
{
    ResultTextView& memo = *window_.RichEdit_result;
    const std::optional<QFont> chosen =
        FontChooser::Current().Choose(&window_, QStringLiteral("FontDialog_richedit_result"), memo.font());
    FontSetting& font = Settings::ResultFont;
    if (!font.Present) font = SettingOf(memo.font());
    // A cancelled dialog writes nothing: the settings file keeps what the user set.
    if (!chosen) return;
    memo.setFont(*chosen);
    font = SettingOf(memo.font());
    // Without a settings file, or when it cannot be written, the font lasts until the program ends.
    Settings::WriteFontSection(Settings::ResultFontSection, font);
}

bool ResultMessagesCommands::eventFilter(QObject* watched, QEvent* event)
{
    ResultTextView* memo = window_.RichEdit_result;
    if (watched == memo && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        int key = keyEvent->key();
        if (event->type() == QEvent::ShortcutOverride) {
            // The memo's own keys win over the program's shortcuts.
            const auto mods = keyEvent->modifiers() & ShiftCtrlAlt;
            if ((key == Qt::Key_A && (mods & Qt::ControlModifier)) || (key == Qt::Key_F && mods == Qt::ControlModifier)) {
                event->accept();
                return true;
            }
            return false;
        }
        window_.RichEdit_resultKeyDown(key, keyEvent->modifiers());
        return key == 0;
    }
    if (watched == memo->viewport() && event->type() == QEvent::MouseButtonPress)
        window_.RichEdit_resultMouseDown(static_cast<QMouseEvent*>(event)->button());
    return false;
}
