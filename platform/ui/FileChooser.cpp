#include "FileChooser.h"

#include "QtFileChooser.h"

namespace {

FileChooser* g_installed = nullptr;

} // namespace

FileChooser& FileChooser::Current()
{
    static QtFileChooser dialogs;
    return g_installed ? *g_installed : dialogs;
}

void FileChooser::Install(FileChooser* chooser) { g_installed = chooser; }
