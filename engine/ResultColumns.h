// Describing, binding and rendering the result columns of a statement, by the connection's kind.
#pragma once

#include "TColumnDescriptor.h"
#include "TDbmsKind.h"
#include "TQryResult_Tesk.h"

#include <sql.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct RenderContext {
    TDbmsKind Kind = 0;
    std::int32_t MaxFieldLen = 512;   // caps a column's size and a text value, in characters
    std::string Qualifier;            // wraps every value bound as text
    bool DoubleQualifier = false;     // doubles the qualifier inside a value (files)
    // The database keeps any value in any column (SQLite): every value is read as the driver's
    // text, so that a value that does not fit the column's type is never changed by a conversion.
    bool KeepsAnyValue = false;
};

// True for a connection whose database keeps any value in any column, by the DBMS name it reports.
bool KeepsAnyValue(std::string_view dbmsName);

// Describes column j into d and returns its header text.
std::string DescribeResultColumn(SQLHSTMT stmt, SQLUSMALLINT j, TColumnDescriptor& d, const RenderContext& c);

// The size a described column gets: at least its name's length, at most the run's cap; 9 for a
// column named "REQUIRED"; kind 2's wide character types doubled after the cap.
SQLULEN ResultColumnSize(const TColumnDescriptor& described, const RenderContext& c);
// The header text of a described column: its name, "(无列名)" when it has none.
std::string ResultColumnHeader(const TColumnDescriptor& described);

struct ResultBinding {
    SQLSMALLINT CType;
    SQLLEN DisplayBytes;        // the buffer the display width is measured from
    SQLLEN Bytes;               // the buffer bound first: whole characters in UTF-8
    bool Numeric;
    SQLULEN CharacterLimit;     // a value bound as text is cut at this many characters; 0: never
    SQLSMALLINT ValueType = 0;  // bound as text for a value of this C type (KeepsAnyValue)
};
// The binding a described column gets.
ResultBinding ResultBindingFor(const TColumnDescriptor& d, const RenderContext& c);

// Binds column j and fills its entry of the result object.
void BindResultColumn(SQLHSTMT stmt, SQLUSMALLINT j, TColumnDescriptor& d, FieldsList_Tesk& column,
                      const RenderContext& c);

// The most bytes of a value that a kind showing bytes as text shows: the cap, at least the bytes
// its first buffer holds.
inline std::size_t BytesShownAsText(const RenderContext& c) { return static_cast<std::size_t>(std::max(c.MaxFieldLen, 100)); }

// After a fetch: a value bound as text that its buffer cut is read again, a number whole, a text
// up to the context's cap; the larger buffer stays bound. So are bytes where the kind shows them,
// up to the bytes it shows.
inline void CompleteCutValue(SQLHSTMT stmt, SQLUSMALLINT j, TColumnDescriptor& d, const RenderContext& c)
{
    if (d.BytesCutByBuffer() && c.Kind == DbmsKind::DB2) {
        const std::size_t limit = BytesShownAsText(c);
        if (static_cast<std::size_t>(d.BufferLength) < limit) d.ReadWholeText(stmt, j, limit);
        return;
    }
    if (!d.CutByBuffer()) return;
    const std::size_t limit = static_cast<std::size_t>(d.CharacterLimit) * 4;
    if (limit && static_cast<std::size_t>(d.BufferLength) > limit) return; // holds the cap already
    d.ReadWholeText(stmt, j, limit);
}

// After a fetch that returned success with information: each value that the driver changed to
// fit a binding of a number, a date or a time (a fraction cut, a number out of range, ...) is read
// again as the driver's text, columns 1 to n of columns. Returns the driver's messages of values
// that could not be read again, each with its column (0: the driver did not say which).
std::vector<std::pair<int, std::string>> ReadChangedValuesAgain(SQLHSTMT stmt, std::vector<TColumnDescriptor>& columns,
                                                                int n);

// Appends the text of the value fetched into d to out.
void RenderResultField(const TColumnDescriptor& d, const RenderContext& c, std::string& out);

// Appends the text a driver gave for a value of C type valueType: rendered as that type where the
// text is exactly one of its values, else the text as it stands (wrapped in the qualifier in a file
// when it holds the separator, the qualifier or a line break, so that the line keeps its fields).
void AppendValueText(std::string_view text, SQLSMALLINT valueType, const RenderContext& c, std::string& out);

// Appends the value wrapped in the context's qualifier, doubling it inside when asked to.
void AppendQualified(std::string_view value, const RenderContext& c, std::string& out);

// The general number format with 15 significant digits: 1.5E20, 1E-5, 0.0001, 0.100000001490116.
void AppendGeneralFloat(double value, std::string& out);
