// A path as one registry text value: a value is one line without leading or trailing blanks of any
// kind, so "%", line breaks and blanks at either end are written as %XX of their UTF-8 bytes; every
// other character stays.
#pragma once

#include <QString>

class RecordEntryCodec {
public:
    static QString Encode(const QString& path);
    static QString Decode(const QString& value);
};
