#include "FontChooser.h"

#include <QFontDialog>

namespace {

class QtFontChooser : public FontChooser {
public:
    std::optional<QFont> Choose(QWidget* parent, const QString& name, const QFont& initial) override
    {
        QFontDialog dialog(initial, parent);
        dialog.setObjectName(name);
        dialog.setOption(QFontDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.selectedFont();
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
