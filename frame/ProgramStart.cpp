#include "ProgramStart.h"

#include <QGuiApplication>
#include <QScreen>

#include "ImageLists.h"
#include "ProgramFonts.h"
#include "ProgramGlobals.h"
#include "ProgramIcon.h"
#include "Settings.h"
#include "TFMain_mul.h"
#include "TfrmSaveAll.h"
#include "ToolkitTranslations.h"

#include <QAction>
#include <QApplication>

#include <memory>

TFMain_mul* ProgramStart::Start()
{
    QApplication::setApplicationName(QStringLiteral("Tarnvale"));
    QApplication::setWindowIcon(ProgramIcon());
    ImageLists::UseIconTheme();
    // Without the translations and the locale the toolkit's own texts stay English.
    ToolkitTranslations::Install();
    ToolkitTranslations::UseChineseLocale();
    ProgramFonts::InstallSubstitutes();
    auto* frame = new TFMain_mul;
    FMain_mul = frame;
    frame->FormCreate();
    frmSaveAll = new TfrmSaveAll(frame);
    frame->SetDisconnectedMenuState();
    frame->LayoutObjectPanel();
    // Without a query window the show command leaves the panel hidden for now.
    frame->menu_tools_dbobject_show->setChecked(Settings::DBObjectsShow);
    frame->menu_tools_dbobject_hide->setChecked(!Settings::DBObjectsShow);
    if (Settings::DBObjectsShow)
        frame->menu_tools_dbobject_showClick();
    else
        frame->menu_tools_dbobject_hideClick();
    // Without a window manager "maximised" means nothing: start with the screen's size anyway.
    if (QScreen* screen = QGuiApplication::primaryScreen()) frame->setGeometry(screen->availableGeometry());
    frame->showMaximized();
    frame->ConnectThroughDialog();
    return frame;
}

int ProgramStart::Run(QApplication& application)
{
    std::unique_ptr<TFMain_mul> frame(Start());
    int result = 0;
    try {
        result = application.exec();
    } catch (...) {
        // An error that escapes the event loop ends the program without a message.
    }
    frame.reset();
    FMain_mul = nullptr;
    return result;
}
