#include "OptionsChoices.h"

#include "Settings.h"

#include <algorithm>
#include <vector>

namespace OptionsChoices {

namespace {

constexpr int SmallestLength = 512;
constexpr int LargestLength = 65536;

bool IsValidLength(int length)
{
    return length >= SmallestLength && length <= LargestLength && length % SmallestLength == 0;
}

QString FlagText(bool on) { return on ? QStringLiteral("Y") : QStringLiteral("N"); }

} // namespace

QStringList SeparatorItems() { return {QStringLiteral(";"), QStringLiteral("$$")}; }

QStringList QualifierItems() { return {QStringLiteral("None"), QStringLiteral("\""), QStringLiteral("'")}; }

QStringList MaxFieldLenItems()
{
    QStringList items{QStringLiteral("512"), QStringLiteral("1024")};
    for (int length = 2048; length <= LargestLength; length += 2048) items << QString::number(length);
    return items;
}

Choices FromSettings()
{
    Choices c;
    c.FileOpenByExcelAuto = Settings::FileOpenByExcelAuto;
    c.WordsAnalyze = Settings::WordsAnalyze;
    c.ExportWithTblColumn = Settings::ExportWithTblColumn;
    c.AutoCommit = Settings::AutoCommit;
    c.SQLScheduleReconnect = Settings::SQLScheduleReconnect;
    c.SeparatorIndex = Settings::StatementSeparator != QLatin1String(";") ? 1 : 0;

    c.MaxFieldLenList = MaxFieldLenItems();
    if (!IsValidLength(Settings::MaxFieldLenOfSqlResult)) {
        Settings::MaxFieldLenOfSqlResult = SmallestLength;
        c.MaxFieldLenIndex = 0;
    } else {
        const QString text = QString::number(Settings::MaxFieldLenOfSqlResult);
        c.MaxFieldLenIndex = static_cast<int>(c.MaxFieldLenList.indexOf(text));
        if (c.MaxFieldLenIndex < 0) {
            // A valid length the list lacks (1536, say) is kept, not turned into 512 by the next OK.
            const auto at = std::find_if(c.MaxFieldLenList.cbegin(), c.MaxFieldLenList.cend(), [&](const QString& item) {
                return item.toInt() > Settings::MaxFieldLenOfSqlResult;
            });
            c.MaxFieldLenIndex = static_cast<int>(at - c.MaxFieldLenList.cbegin());
            c.MaxFieldLenList.insert(c.MaxFieldLenIndex, text);
        }
    }

    if (Settings::TextQualifier.isEmpty())
        c.QualifierIndex = 0;
    else if (Settings::TextQualifier != QLatin1String("\""))
        c.QualifierIndex = 2;
    else
        c.QualifierIndex = 1;
    return c;
}

Outcome Apply(const Choices& c)
{
    const int separator = std::clamp(c.SeparatorIndex, 0, 1);
    const int qualifier = std::clamp(c.QualifierIndex, 0, 2);
    const QString length = c.MaxFieldLenList.value(c.MaxFieldLenIndex, QStringLiteral("512"));

    const std::vector<Settings::OptionWrite> writes{
        {Settings::FileOpenByExcelAutoKey, FlagText(c.FileOpenByExcelAuto), true},
        {Settings::SQLScheduleReconnectKey, FlagText(c.SQLScheduleReconnect), true},
        {Settings::WordsAnalyzeKey, FlagText(c.WordsAnalyze), true},
        {Settings::ExportWithTblColumnKey, FlagText(c.ExportWithTblColumn), true},
        {Settings::AutoCommitKey, FlagText(c.AutoCommit), true},
        {Settings::StatementSeparatorKey, QString::number(separator), true},
        {Settings::TextQualifierKey, QString::number(qualifier), false},
        {Settings::MaxFieldLenOfSqlResultKey, length, false},
    };
    Outcome outcome;
    outcome.Written = Settings::WriteOptions(writes, &outcome.Error);

    // The choices hold for this run of the program whether or not the file took them.
    Settings::FileOpenByExcelAuto = c.FileOpenByExcelAuto;
    Settings::SQLScheduleReconnect = c.SQLScheduleReconnect;
    Settings::WordsAnalyze = c.WordsAnalyze;
    Settings::ExportWithTblColumn = c.ExportWithTblColumn;
    Settings::AutoCommit = c.AutoCommit;
    Settings::StatementSeparator = SeparatorItems().at(separator);
    Settings::TextQualifier = qualifier == 0 ? QString() : QualifierItems().at(qualifier);
    const int value = length.toInt();
    Settings::MaxFieldLenOfSqlResult = IsValidLength(value) ? value : SmallestLength;
    return outcome;
}

} // namespace OptionsChoices
