#include "OstrelLibrary.h"

#include "PlatformPaths.h"

#include <QDir>
#include <QFile>

#include <dlfcn.h>

#include <limits>

namespace {

struct Binding {
    void* handle = nullptr;
    QString name;
    SeekForwardFunction seekForward = nullptr;
    SeekBackwardFunction seekBackward = nullptr;
    SeekBackwardRichFunction seekBackwardRich = nullptr;
};

Binding g_binding;

template <typename Function>
Function Resolve(void* handle, const char* name)
{
    return reinterpret_cast<Function>(dlsym(handle, name));
}

const char16_t* Units(const QString& s) { return reinterpret_cast<const char16_t*>(s.constData()); }

// Texts longer than the library's 32-bit lengths cannot be searched.
bool Fits(const QString& text) { return text.size() <= std::numeric_limits<std::int32_t>::max(); }

bool Report(bool found, std::int32_t at, int* position)
{
    if (found) *position = at;
    return found;
}

} // namespace

QString OstrelLibrary::LibraryFolder() { return PlatformPaths::LibraryFolder(); }

QStringList OstrelLibrary::CandidateNames(const QString& programFolder)
{
    QStringList names;
    if (!programFolder.isEmpty()) names << QDir(programFolder).filePath(LibraryFileName);
    names << QDir(LibraryFolder()).filePath(LibraryFileName);
    // An installation made by root put the library in the system's folder, which a user's program
    // finds there too (the loader's own search does not look there before its cache is rebuilt).
    const QString system = QDir(PlatformPaths::SystemLibraryFolder()).filePath(LibraryFileName);
    if (qEnvironmentVariableIsEmpty("TARNVALE_LIBDIR") && !names.contains(system)) names << system;
    names << LibraryFileName;
    return names;
}

bool OstrelLibrary::Load(const QString& programFolder)
{
    Unload();
    for (const QString& name : CandidateNames(programFolder)) {
        void* handle = dlopen(QFile::encodeName(name).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) continue;
        g_binding.handle = handle;
        g_binding.name = name;
        g_binding.seekForward = Resolve<SeekForwardFunction>(handle, "SeekForward");
        g_binding.seekBackward = Resolve<SeekBackwardFunction>(handle, "SeekBackward");
        g_binding.seekBackwardRich = Resolve<SeekBackwardRichFunction>(handle, "SeekBackwardRich");
        return true;
    }
    return false;
}

void OstrelLibrary::Unload()
{
    if (g_binding.handle) dlclose(g_binding.handle);
    g_binding = Binding{};
}

bool OstrelLibrary::IsLoaded() { return g_binding.handle != nullptr; }
QString OstrelLibrary::LoadedName() { return g_binding.name; }

SeekForwardFunction OstrelLibrary::SeekForwardProc() { return g_binding.seekForward; }
SeekBackwardFunction OstrelLibrary::SeekBackwardProc() { return g_binding.seekBackward; }
SeekBackwardRichFunction OstrelLibrary::SeekBackwardRichProc() { return g_binding.seekBackwardRich; }

bool OstrelLibrary::SeekForward(const QString& text, int start, const QString& find, std::uint32_t options,
                                int* position)
{
    if (!g_binding.seekForward || !position || !Fits(text) || !Fits(find)) return false;
    std::int32_t at = 0;
    const bool found = g_binding.seekForward(Units(text), static_cast<std::int32_t>(text.size()), start, Units(find),
                                             static_cast<std::int32_t>(find.size()), options, &at);
    return Report(found, at, position);
}

bool OstrelLibrary::SeekBackward(const QString& text, int start, const QString& find, std::uint32_t options,
                                 int* position)
{
    if (!g_binding.seekBackward || !position || !Fits(text) || !Fits(find)) return false;
    std::int32_t at = 0;
    const bool found = g_binding.seekBackward(Units(text), static_cast<std::int32_t>(text.size()), start,
                                              Units(find), static_cast<std::int32_t>(find.size()), options, &at);
    return Report(found, at, position);
}

bool OstrelLibrary::SeekBackwardRich(const QString& text, int selectionStart, int selectionLength,
                                     const QString& find, std::uint32_t options, int* position)
{
    if (!g_binding.seekBackwardRich || !position || !Fits(text) || !Fits(find)) return false;
    std::int32_t at = 0;
    const bool found = g_binding.seekBackwardRich(Units(text), static_cast<std::int32_t>(text.size()), selectionStart,
                                                  selectionLength, Units(find), static_cast<std::int32_t>(find.size()),
                                                  options, &at);
    return Report(found, at, position);
}
