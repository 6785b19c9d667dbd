// The read-only file attribute, carried by the owner's write permission bit.
#pragma once

#include <QString>

class ReadOnlyAttribute {
public:
    // True when the file exists and its owner write bit is clear.
    static bool IsSet(const QString& path);
    // Clears or sets only the owner write bit; every other mode bit stays. Both succeed without a
    // change when the bit is already as wanted, and fail when the file is missing or the mode
    // cannot be changed.
    static bool Clear(const QString& path);
    static bool Set(const QString& path);
};
