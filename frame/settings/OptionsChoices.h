// What the options dialog shows and what its OK does, without the widgets: the choices filled from
// the setting values, and their write to "Tarnvale.ini" with their application to the settings.
#pragma once

#include <QString>
#include <QStringList>

namespace OptionsChoices {

// Item texts of the lists.
QStringList SeparatorItems();     // ";", "$$"
QStringList QualifierItems();     // "None", the double quote, "'"
QStringList MaxFieldLenItems();   // "512", "1024", "2048" ... "65536" in steps of 2048

struct Choices {
    bool FileOpenByExcelAuto = false;
    bool WordsAnalyze = false;
    bool ExportWithTblColumn = false;
    bool AutoCommit = false;
    bool SQLScheduleReconnect = false;
    int SeparatorIndex = 0;
    int QualifierIndex = 0;
    // The maximum-length list: MaxFieldLenItems, and a valid stored length that is not among them
    // inserted in its numeric place.
    QStringList MaxFieldLenList;
    int MaxFieldLenIndex = 0;
};

// The choices of the current settings. A maximum length that is no valid length becomes 512 in the
// settings too.
Choices FromSettings();

struct Outcome {
    bool Written = false;
    QString Error; // the system's text when the file could not be written
};

// OK: writes the changed flags and separator, the qualifier and the maximum length to the settings
// file under its read-only rule (creating the file when it is missing), and applies every choice to
// the settings, also when the write failed.
Outcome Apply(const Choices& choices);

} // namespace OptionsChoices
