#include "TFMain_mul.h"

#include "OdbcAdministrator.h"
#include "TFMain.h"
#include "TfrmAbout.h"
#include "TfrmConfig.h"

#include <QMetaObject>

// ---- exit, About, the ODBC administrator, export and the options ----

void TFMain_mul::menu_file_exitClick() { close(); }

void TFMain_mul::ToolButton_aboutClick()
{
    TfrmAbout about(this);
    about.exec();
}

void TFMain_mul::mainmenu_tools2_ODBC_AdminClick() { OdbcAdministrator::Start(windowTitle()); }

void TFMain_mul::ToolButton_exportClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    w->btnEportClick();
}

void TFMain_mul::mainmenu_tools2_configClick()
{
    TfrmConfig config(this);
    config.exec();
}
