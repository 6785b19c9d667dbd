// A font chooser for tests: it records which dialog was asked for with which font and answers
// with Answer (cancelled when unset), so that no test ever shows a real font dialog.
#pragma once

#include "FontChooser.h"

#include <QStringList>

#include <functional>
#include <vector>

class ScriptedFontChooser : public FontChooser {
public:
    ScriptedFontChooser() { FontChooser::Install(this); }
    ~ScriptedFontChooser() override { FontChooser::Install(nullptr); }

    std::optional<QFont> Choose(QWidget*, const QString& name, const QFont& initial) override
    {
        Names.push_back(name);
        Offered.push_back(initial);
        return Answer ? Answer(initial) : std::nullopt;
    }

    std::function<std::optional<QFont>(const QFont& initial)> Answer;
    QStringList Names;
    std::vector<QFont> Offered;
};
