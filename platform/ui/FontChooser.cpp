#include "FontChooser.h"

#include "ModalDialogs.h"

#include <QFontDialog>
#include <QPointer>

namespace {

class QtFontChooser : public FontChooser {
public:
    std::optional<QFont> Choose(QWidget* parent, const QString& name, const QFont& initial) override
    {
        const ModalDialogs::Running running;
        // Made on the heap: a parent destroyed while the dialog is up takes the dialog with it,
        // never a stack object.
        const QPointer<QFontDialog> dialog = new QFontDialog(initial, parent);
        dialog->setObjectName(name);
        dialog->setOption(QFontDialog::DontUseNativeDialog);
        const int result = dialog->exec();
        if (!dialog) return std::nullopt;
        std::optional<QFont> chosen;
        if (result == QDialog::Accepted) chosen = dialog->selectedFont();
        delete dialog.data();
        return chosen;
    }
};

FontChooser* g_installed = nullptr;

} // namespace

FontChooser& FontChooser::Current()
{
    static QtFontChooser dialogs;
    return g_installed ? *g_installed : dialogs;
}

void FontChooser::Install(FontChooser* chooser) { g_installed = chooser; }
