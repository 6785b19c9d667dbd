#include "Prompter.h"

#include "MessageBoxPrompter.h"

namespace {

Prompter* g_installed = nullptr;

} // namespace

Prompter& Prompter::Current()
{
    static MessageBoxPrompter messageBoxes;
    return g_installed ? *g_installed : messageBoxes;
}

void Prompter::Install(Prompter* prompter) { g_installed = prompter; }
