// The process-wide binding of the text-search library libOstrel.so: loaded by name when the frame
// is created, unloaded when it closes, and called through wrappers that read a missing library or
// entry point as "not found". Used on the user-interface thread only.
#pragma once

#include "Ostrel.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class OstrelLibrary {
public:
    static inline const QString LibraryFileName = QStringLiteral("libOstrel.so");

    // PlatformPaths::LibraryFolder(): where the installer puts the library.
    static QString LibraryFolder();
    // The names tried in order: the library in programFolder, in LibraryFolder(), in the system's
    // library folder (unless $TARNVALE_LIBDIR names the folder), then the bare name.
    static QStringList CandidateNames(const QString& programFolder);

    // Unloads any earlier binding, then opens the first candidate that loads and resolves the three
    // entry points by name; a missing entry stays null. False when no candidate loads.
    static bool Load(const QString& programFolder);
    // Closes the library and clears the entries, so that no call can reach an unmapped function.
    static void Unload();
    static bool IsLoaded();
    // The candidate name that was opened; empty while nothing is loaded.
    static QString LoadedName();

    static SeekForwardFunction SeekForwardProc();
    static SeekBackwardFunction SeekBackwardProc();
    static SeekBackwardRichFunction SeekBackwardRichProc();

    // The entry points over a QString; options are OstrelMatchCase and OstrelWholeWord. True with
    // *position set on a match; false (and *position unchanged) when nothing matches or when the
    // library or the entry point is missing.
    static bool SeekForward(const QString& text, int start, const QString& find, std::uint32_t options,
                            int* position);
    static bool SeekBackward(const QString& text, int start, const QString& find, std::uint32_t options,
                             int* position);
    static bool SeekBackwardRich(const QString& text, int selectionStart, int selectionLength, const QString& find,
                                 std::uint32_t options, int* position);
};
