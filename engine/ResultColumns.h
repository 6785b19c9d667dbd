// Describing, binding and rendering the result columns of a statement, by the connection's kind.
#pragma once

#include "TColumnDescriptor.h"
#include "TDbmsKind.h"
#include "TQryResult_Tesk.h"

#include <sql.h>

#include <cstdint>
#include <string>

struct RenderContext {
    TDbmsKind Kind = 0;
    std::int32_t MaxFieldLen = 512;   // caps a column's size, in characters
    std::string Qualifier;            // wraps every value bound as text
    bool DoubleQualifier = false;     // doubles the qualifier inside a value (files)
};

// Describes column j into d and returns its header text ("(无列名)" for an unnamed column).
std::string DescribeResultColumn(SQLHSTMT stmt, SQLUSMALLINT j, TColumnDescriptor& d, const RenderContext& c);

struct ResultBinding {
    SQLSMALLINT CType;
    SQLLEN DisplayBytes;   // the buffer the display width is measured from
    SQLLEN Bytes;          // the buffer actually bound: whole characters in UTF-8
    bool Numeric;
};
// The binding a described column gets.
ResultBinding ResultBindingFor(const TColumnDescriptor& d, const RenderContext& c);

// Binds column j and fills its entry of the result object.
void BindResultColumn(SQLHSTMT stmt, SQLUSMALLINT j, TColumnDescriptor& d, FieldsList_Tesk& column,
                      const RenderContext& c);

// Appends the text of the value fetched into d to out.
void RenderResultField(const TColumnDescriptor& d, const RenderContext& c, std::string& out);

// Appends the value wrapped in the context's qualifier, doubling it inside when asked to.
void AppendQualified(std::string_view value, const RenderContext& c, std::string& out);

// The general number format with 15 significant digits: 1.5E20, 1E-5, 0.0001, 0.100000001490116.
void AppendGeneralFloat(double value, std::string& out);
