// A path as one registry text value: a value is one line without leading or trailing blanks, so
// "%", line breaks and blanks at either end are written as %XX; every other character stays.
#pragma once

#include <QString>

class RecordEntryCodec {
public:
    static QString Encode(const QString& path);
    static QString Decode(const QString& value);
};
