#include "FrameToolbarMirror.h"

#include "CommandImage.h"

#include <QAction>

namespace FrameToolbarMirror {

const std::vector<Row>& Rows()
{
    using S = State;
    static const std::vector<Row> rows{
        {"ToolButton_newsql", S::Enabled, "ToolButton_newsql"},
        {"ToolButton_opensql", S::Enabled, "ToolButton_opensql"},
        {"ToolButton_savesql", S::Enabled, "ToolButton_savesql"},
        {"ToolButton_cut", S::Enabled, "ToolButton_cut"},
        {"ToolButton_copy", S::Enabled, "ToolButton_copy"},
        {"ToolButton_paste", S::Enabled, "ToolButton_paste"},
        // The frame's replace commands follow the window's find button.
        {"ToolButton_find", S::Enabled, "mainmenu_eidt_search"},
        {"ToolButton_find", S::Enabled, "ToolButton_find"},
        {"ToolButton_find", S::Enabled, "mainmenu_eidt_replace"},
        {"ToolButton_find", S::Enabled, "ToolButton_replace"},
        {"ToolButton_undosql", S::Enabled, "ToolButton_undosql"},
        {"ToolButton_redosql", S::Enabled, "ToolButton_redosql"},
        {"ToolButton_display", S::Enabled, "ToolButton_display"},
        {"ToolButton_display", S::Image, "ToolButton_display"},
        {"mainmenu_query_display", S::Image, "mainmenu_query_display"},
        {"ToolButton_run", S::Enabled, "ToolButton_run"},
        {"ToolButton_stop", S::Enabled, "ToolButton_stop"},
        {"ToolButton_export", S::Enabled, "ToolButton_export"},
        {"ToolBtn_exit", S::Enabled, "ToolBtn_exit"},
        {"ToolButton_newsql", S::Enabled, "mainmenu_file_newsqlfile"},
        {"ToolButton_opensql", S::Enabled, "mainmenu_file_opensqlfile"},
        {"ToolButton_savesql", S::Enabled, "mainmenu_file_savesqlfile"},
        {"ToolButton_cut", S::Enabled, "mainmenu_eidt_cut"},
        {"ToolButton_copy", S::Enabled, "mainmenu_eidt_copy"},
        {"ToolButton_paste", S::Enabled, "mainmenu_eidt_paste"},
        {"ToolButton_undosql", S::Enabled, "mainmenu_eidt_undo"},
        {"ToolButton_redosql", S::Enabled, "mainmenu_eidt_redo"},
        {"ToolButton_run", S::Enabled, "mainmenu_query_run"},
        {"ToolButton_stop", S::Enabled, "mainmenu_query_stop"},
        {"ToolButton_display", S::Enabled, "mainmenu_query_display"},
        {"N_text", S::Checked, "menu_run_display_txt"},
        {"N_grid", S::Checked, "menu_run_display_grid"},
        {"N_File", S::Checked, "menu_run_display_File"},
        {"N_text", S::Enabled, "menu_run_display_txt"},
        {"N_grid", S::Enabled, "menu_run_display_grid"},
        {"N_File", S::Enabled, "menu_run_display_File"},
        {"N_text", S::Checked, "N_text"},
        {"N_grid", S::Checked, "N_grid"},
        {"N_File", S::Checked, "N_File"},
        {"N_text", S::Enabled, "N_text"},
        {"N_grid", S::Enabled, "N_grid"},
        {"N_File", S::Enabled, "N_File"},
        {"mainmenu_file_newsqlfile", S::Enabled, "mainmenu_query_schedule", true},
        {"ToolButton_export", S::Enabled, "mainmenu_query_save"},
        // Not while a run holds the window's connection.
        {"ToolButton_run", S::Enabled, "mainmenu_query_transmanager"},
    };
    return rows;
}

void Apply(const Lookup& window, const Lookup& frame)
{
    for (const Row& row : Rows()) {
        QAction* source = row.SourceOnFrame ? frame(QString::fromLatin1(row.Source)) : window(QString::fromLatin1(row.Source));
        QAction* target = frame(QString::fromLatin1(row.Target));
        if (!source || !target) continue;
        switch (row.What) {
        case State::Enabled: target->setEnabled(source->isEnabled()); break;
        case State::Checked: target->setChecked(source->isChecked()); break;
        case State::Image: CommandImage::Set(target, CommandImage::Of(source)); break;
        }
    }
}

} // namespace FrameToolbarMirror
