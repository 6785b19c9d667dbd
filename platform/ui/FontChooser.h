// The program's font dialogs behind one small interface: the default shows a font dialog, and a
// test installs its own to answer it headless.
#pragma once

#include <QFont>
#include <QString>

#include <optional>

class QWidget;

class FontChooser {
public:
    virtual ~FontChooser() = default;

    // Shows the font dialog named name modally; nothing when it is cancelled.
    virtual std::optional<QFont> Choose(QWidget* parent, const QString& name, const QFont& initial) = 0;

    // The chooser in use: the installed one, else the font-dialog chooser.
    static FontChooser& Current();
    // Installs a chooser (not owned); nullptr returns to the font-dialog chooser.
    static void Install(FontChooser* chooser);
};
