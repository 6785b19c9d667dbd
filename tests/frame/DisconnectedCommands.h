// The frame's commands in its state without a connection: the ones still usable, and the ones
// that need a query window.
#pragma once

#include "TFMain_mul.h"

#include <QAction>
#include <QToolBar>

#include <gtest/gtest.h>

#include <set>
#include <utility>

inline const std::pair<const char*, bool> DisconnectedCommandStates[] = {
    // usable without a connection
    {"menu_file", true}, {"mainmenu_file_connect", true}, {"menu_file_exit", true}, {"mainmenu_eidt", true},
    {"menu_query", true}, {"mainmenu_tools2", true}, {"mainmenu_tools2_ODBC_Admin", true}, {"N_windows", true},
    {"menu_about", true}, {"mainmenu_about_about", true}, {"ToolButton_about", true},
    // needing a query window
    {"mainmenu_file_newsqlfile", false}, {"mainmenu_file_opensqlfile", false}, {"mainmenu_file_savesqlfile", false},
    {"mainmenu_eidt_selectall", false}, {"mainmenu_eidt_undo", false}, {"mainmenu_query_run", false},
    {"mainmenu_query_stop", false}, {"mainmenu_query_display", false}, {"menu_run_display_grid", false},
    {"mainmenu_tools2_config", false}, {"menu_tools_dbobject", false}, {"menu_tools_dbobject_show", false},
    {"menu_tools_dbobject_hide", false}, {"N_escade", false}, {"N_arrangeIconHer", false},
    {"N_arrangeIconVer", false}, {"ToolButton_newsql", false}, {"ToolButton_run", false},
    {"ToolButton_stop", false}, {"ToolButton_display", false}, {"ToolBtn_exit", false}, {"ToolButton1", false},
    {"N_grid", false}, {"N_text", false}, {"N_File", false},
};

// The names of the commands usable without a connection.
inline std::set<QString> UsableWithoutAConnection()
{
    std::set<QString> names;
    for (auto [name, usable] : DisconnectedCommandStates)
        if (usable) names.insert(QString::fromLatin1(name));
    return names;
}

// Only the commands usable without a connection are enabled; of the tool bar, only About.
inline void ExpectDisconnectedState(TFMain_mul& frame)
{
    for (auto [name, usable] : DisconnectedCommandStates) {
        const QAction* a = frame.FrameCommand(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->isEnabled(), usable) << name << (usable ? " is disabled" : " is enabled") << " without a connection";
    }
    for (const QAction* a : frame.ToolBar2->actions())
        EXPECT_EQ(a->isEnabled(), a == frame.ToolButton_about) << a->objectName().toStdString();
}
