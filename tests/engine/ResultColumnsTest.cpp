#include "FileSizeLimit.h"
#include "ResultColumns.h"
#include "ResultFileSink.h"
#include "ResultRowStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <tuple>

namespace {

template <typename T>
TColumnDescriptor Bound(SQLSMALLINT cType, const T& value, SQLSMALLINT sqlType = 0)
{
    TColumnDescriptor d;
    d.CType = cType;
    d.SqlType = sqlType;
    d.BufferLength = sizeof(T);
    d.DataBuffer = std::make_unique<char[]>(sizeof(T));
    std::memcpy(d.DataBuffer.get(), &value, sizeof(T));
    d.Indicator = sizeof(T);
    return d;
}

TColumnDescriptor Text(const std::string& s, SQLLEN bufferLength = 64)
{
    TColumnDescriptor d;
    d.CType = SQL_C_CHAR;
    d.SqlType = SQL_VARCHAR;
    d.BufferLength = bufferLength;
    d.DataBuffer = std::make_unique<char[]>(static_cast<std::size_t>(bufferLength));
    std::memcpy(d.DataBuffer.get(), s.data(), std::min<std::size_t>(s.size(), static_cast<std::size_t>(bufferLength)));
    d.Indicator = static_cast<SQLLEN>(s.size());
    return d;
}

std::string Render(const TColumnDescriptor& d, TDbmsKind kind = 20, const std::string& q = "\"", bool dbl = false)
{
    RenderContext c;
    c.Kind = kind;
    c.Qualifier = q;
    c.DoubleQualifier = dbl;
    std::string out;
    RenderResultField(d, c, out);
    return out;
}

TEST(ResultRendering, FloatsInTheGeneralFormat)
{
    struct Case {
        double v;
        const char* text;
    };
    for (Case c : {Case{0, "0"}, Case{1e20, "1E20"}, Case{0.00001, "1E-5"}, Case{0.0001, "0.0001"},
                   Case{1.5, "1.5"}, Case{-2.25, "-2.25"}, Case{123456789012345.0, "123456789012345"},
                   Case{1e15, "1E15"}, Case{1.0 / 3, "0.333333333333333"}, Case{-1.5e-7, "-1.5E-7"},
                   Case{static_cast<double>(1.1f), "1.10000002384186"}, Case{static_cast<double>(0.1f), "0.100000001490116"},
                   Case{100, "100"}, Case{2.5e-300, "2.5E-300"}}) {
        std::string out;
        AppendGeneralFloat(c.v, out);
        EXPECT_EQ(out, c.text) << c.v;
    }
}

TEST(ResultRendering, ValuesByKind)
{
    const TIMESTAMP_STRUCT ts{2024, 3, 5, 7, 8, 9, 123456789};
    struct Case {
        TColumnDescriptor d;
        TDbmsKind kind;
        const char* text;
    };
    std::vector<Case> cases;
    cases.push_back({Bound(SQL_C_TIMESTAMP, ts), 1, "2024-03-05-07.08.09.123457"});
    cases.push_back({Bound(SQL_C_TIMESTAMP, ts), 2, "2024-03-05 07:08:09.123"});
    cases.push_back({Bound(SQL_C_TIMESTAMP, ts), 4, "2024-03-05 07:08:09.123"});
    cases.push_back({Bound(SQL_C_TIMESTAMP, ts), 5, "2024-03-05 07:08:09.12346"});
    cases.push_back({Bound(SQL_C_TIMESTAMP, ts), 3, "2024-03-05 07:08:09"});
    cases.push_back({Bound(SQL_C_TIMESTAMP, ts), 20, "2024-03-05 07:08:09"});
    cases.push_back({Bound(SQL_C_TIMESTAMP, TIMESTAMP_STRUCT{2024, 3, 5, 7, 8, 9, 0}), 2, "2024-03-05 07:08:09.000"});
    cases.push_back({Bound(SQL_C_TIMESTAMP, TIMESTAMP_STRUCT{2024, 3, 5, 7, 8, 9, 999999999}), 1,
                     "2024-03-05-07.08.09.999999"});
    // A remainder of exactly one half rounds up; just below it rounds down.
    for (auto [kind, half, up, down] : {std::tuple<TDbmsKind, SQLUINTEGER, const char*, const char*>{
                                            1, 500, "2024-03-05-07.08.09.000001", "2024-03-05-07.08.09.000000"},
                                        {2, 500000, "2024-03-05 07:08:09.001", "2024-03-05 07:08:09.000"},
                                        {4, 500000, "2024-03-05 07:08:09.001", "2024-03-05 07:08:09.000"},
                                        {5, 5000, "2024-03-05 07:08:09.00001", "2024-03-05 07:08:09.00000"}}) {
        cases.push_back({Bound(SQL_C_TIMESTAMP, TIMESTAMP_STRUCT{2024, 3, 5, 7, 8, 9, half}), kind, up});
        cases.push_back({Bound(SQL_C_TIMESTAMP, TIMESTAMP_STRUCT{2024, 3, 5, 7, 8, 9, half - 1}), kind, down});
    }
    cases.push_back({Bound(SQL_C_DATE, DATE_STRUCT{985, 1, 2}), 20, "0985-01-02"});
    cases.push_back({Bound(SQL_C_DATE, DATE_STRUCT{9, 1, 2}), 20, "0009-01-02"});
    cases.push_back({Bound(SQL_C_DATE, DATE_STRUCT{45, 11, 30}), 20, "0045-11-30"});
    cases.push_back({Bound(SQL_C_TIME, TIME_STRUCT{7, 5, 9}), 20, "07:05:09"});
    for (TDbmsKind k : {2, 4, 6}) cases.push_back({Bound<unsigned char>(SQL_C_TINYINT, 200), k, "200"});
    for (TDbmsKind k : {1, 3, 5, 20}) cases.push_back({Bound<unsigned char>(SQL_C_TINYINT, 200), k, "-56"});
    cases.push_back({Bound<unsigned char>(SQL_C_BIT, 1), 20, "1"});
    cases.push_back({Bound<std::int32_t>(SQL_C_LONG, -7), 20, "-7"});
    cases.push_back({Bound<std::int16_t>(SQL_C_SHORT, 32767), 20, "32767"});
    cases.push_back({Bound<std::int64_t>(SQL_C_SBIGINT, 9876543210123LL, SQL_BIGINT), 20, "9876543210123"});
    cases.push_back({Bound<float>(SQL_C_FLOAT, 0.1f), 20, "0.100000001490116"});
    const char bytes[8] = {'a', 'b', 0, 'c', 'd', 0, 0, 0};
    for (auto [k, t] : {std::pair<TDbmsKind, const char*>{1, "ab"}, {2, "<Binary>"}, {4, "<Binary>"}, {3, "(BLOB)"},
                        {20, "(BLOB)"}})
        cases.push_back({Bound(SQL_C_BINARY, bytes, SQL_VARBINARY), k, t});
    for (const Case& c : cases) EXPECT_EQ(Render(c.d, c.kind), c.text) << c.text << " kind " << c.kind;

    // NULL is empty for every value not bound as text.
    for (Case& c : cases) {
        c.d.Indicator = SQL_NULL_DATA;
        EXPECT_EQ(Render(c.d, c.kind), "") << c.text;
    }
}

TEST(ResultRendering, TextIsQualified)
{
    EXPECT_EQ(Render(Text("abc")), "\"abc\"");
    EXPECT_EQ(Render(Text("abc"), 20, ""), "abc");
    EXPECT_EQ(Render(Text("abc"), 20, "'"), "'abc'");
    TColumnDescriptor null = Text("");
    null.Indicator = SQL_NULL_DATA;
    EXPECT_EQ(Render(null), "\"\"");
    EXPECT_EQ(Render(null, 20, ""), "");
    // Grids show the value as it is; files double the qualifier inside it.
    EXPECT_EQ(Render(Text("say \"hi\", x")), "\"say \"hi\", x\"");
    EXPECT_EQ(Render(Text("say \"hi\", x"), 20, "\"", true), "\"say \"\"hi\"\", x\"");
    EXPECT_EQ(Render(Text("it's"), 20, "'", true), "'it''s'");
    // A driver that filled the buffer never leaves half a character behind.
    EXPECT_EQ(Render(Text("a\xC3", 3), 20, ""), "a");
}

TEST(ResultRendering, DriverTextShowsByTheTypeOnlyWhereItIsExactlyAValueOfIt)
{
    struct Case {
        SQLSMALLINT type;
        TDbmsKind kind;
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {SQL_C_LONG, 20, "-2147483648", "-2147483648"}, {SQL_C_LONG, 20, "2147483648", "2147483648"},
        {SQL_C_LONG, 20, "007", "7"}, {SQL_C_LONG, 20, " 7", " 7"}, {SQL_C_LONG, 20, "", ""},
        {SQL_C_SHORT, 20, "32768", "32768"}, {SQL_C_SHORT, 20, "-32768", "-32768"},
        {SQL_C_SBIGINT, 20, "-9223372036854775808", "-9223372036854775808"},
        {SQL_C_SBIGINT, 20, "1.0e+20", "1.0e+20"}, {SQL_C_SBIGINT, 20, "9999999999", "9999999999"},
        {SQL_C_SBIGINT, 20, "-0", "0"}, {SQL_C_LONG, 20, "0", "0"}, {SQL_C_LONG, 20, "-", "-"},
        {SQL_C_TINYINT, 20, "-56", "-56"}, {SQL_C_TINYINT, 20, "200", "200"}, {SQL_C_TINYINT, 2, "200", "200"},
        {SQL_C_TINYINT, 2, "-56", "-56"}, {SQL_C_BIT, 20, "1", "1"}, {SQL_C_BIT, 20, "2", "2"},
        // Doubles in the general format: the same value, and nothing beyond 15 digits.
        {SQL_C_DOUBLE, 20, "3.0", "3"}, {SQL_C_DOUBLE, 20, "-0.50", "-0.5"}, {SQL_C_DOUBLE, 20, "1.0e+20", "1E20"},
        {SQL_C_DOUBLE, 20, "0.00001", "1E-5"}, {SQL_C_DOUBLE, 20, "0.0001", "0.0001"},
        {SQL_C_DOUBLE, 20, "0.30000000000000004", "0.3"}, {SQL_C_DOUBLE, 20, "123456789012345678", "1.23456789012346E17"},
        {SQL_C_DOUBLE, 20, "-0.0", "0"}, {SQL_C_DOUBLE, 20, "inf", "inf"}, {SQL_C_DOUBLE, 20, "1e999", "1e999"},
        {SQL_C_DOUBLE, 20, "12abc", "12abc"},
        // A 32-bit float holds 2.5, not 1.1.
        {SQL_C_FLOAT, 20, "2.5", "2.5"}, {SQL_C_FLOAT, 20, "1.1", "1.1"},
        {SQL_C_DATE, 20, "2024-02-29", "2024-02-29"}, {SQL_C_DATE, 20, "2023-02-29", "2023-02-29"},
        {SQL_C_DATE, 20, "0985-01-02", "0985-01-02"}, {SQL_C_DATE, 20, "2024-5-6", "2024-5-6"},
        {SQL_C_TIME, 20, "07:05:09", "07:05:09"}, {SQL_C_TIME, 20, "07:05:09.5", "07:05:09.5"},
        {SQL_C_TIME, 20, "24:00:00", "24:00:00"},
        // A timestamp is one with any fraction; the kind's rule shows as much of it as it does.
        {SQL_C_TIMESTAMP, 20, "2024-03-05 07:08:09.123456789", "2024-03-05 07:08:09"},
        {SQL_C_TIMESTAMP, 1, "2024-03-05 07:08:09.123456789", "2024-03-05-07.08.09.123457"},
        {SQL_C_TIMESTAMP, 2, "2024-03-05 07:08:09.5", "2024-03-05 07:08:09.500"},
        {SQL_C_TIMESTAMP, 2, "2024-03-05 07:08:09", "2024-03-05 07:08:09.000"},
        {SQL_C_TIMESTAMP, 2, "2024-03-05", "2024-03-05"}, {SQL_C_TIMESTAMP, 2, "2024-03-05 07:08:09.", "2024-03-05 07:08:09."},
        {SQL_C_TIMESTAMP, 2, "2024-03-05T07:08:09", "2024-03-05T07:08:09"},
        // Only a day of the calendar is a date: its fraction goes only where it is one.
        {SQL_C_TIMESTAMP, 20, "2000-02-29 00:00:00.5", "2000-02-29 00:00:00"},
        {SQL_C_TIMESTAMP, 20, "1900-02-29 00:00:00.5", "1900-02-29 00:00:00.5"},
        {SQL_C_TIMESTAMP, 20, "2023-04-30 23:59:59.5", "2023-04-30 23:59:59"},
        {SQL_C_TIMESTAMP, 20, "2023-04-31 00:00:00.5", "2023-04-31 00:00:00.5"},
        {SQL_C_TIMESTAMP, 20, "2023-12-31 00:00:00.5", "2023-12-31 00:00:00"},
        {SQL_C_TIMESTAMP, 20, "2024-13-01 00:00:00.5", "2024-13-01 00:00:00.5"},
        {SQL_C_TIMESTAMP, 20, "2024-00-10 00:00:00.5", "2024-00-10 00:00:00.5"},
        {SQL_C_TIMESTAMP, 20, "2024-01-00 00:00:00.5", "2024-01-00 00:00:00.5"},
        {SQL_C_TIMESTAMP, 20, "0000-01-01 00:00:00.5", "0000-01-01 00:00:00.5"},
        {SQL_C_TIMESTAMP, 20, "2024-01-0/ 00:00:00.5", "2024-01-0/ 00:00:00.5"},
        {SQL_C_TIMESTAMP, 20, "2024-01-:1 00:00:00.5", "2024-01-:1 00:00:00.5"},
        {SQL_C_TIMESTAMP, 20, "2024-01-01 24:00:00.5", "2024-01-01 24:00:00.5"},
        {SQL_C_TIMESTAMP, 20, "2024-01-01 23:60:00.5", "2024-01-01 23:60:00.5"},
        {SQL_C_TIMESTAMP, 20, "2024-01-01 23:59:60.5", "2024-01-01 23:59:60.5"},
        {SQL_C_TIMESTAMP, 20, "2024-01-01 0:00:00.5", "2024-01-01 0:00:00.5"},
        {SQL_C_TIMESTAMP, 20, "2024-01-01 00:00:00.5x", "2024-01-01 00:00:00.5x"},
        // Plain decimals lose only the fraction's trailing zeros, and the point with them.
        {SQL_C_DOUBLE, 20, "-12.000", "-12"}, {SQL_C_DOUBLE, 20, "-0.000", "0"}, {SQL_C_DOUBLE, 20, "0.0050", "0.005"},
        {SQL_C_DOUBLE, 20, "-0.00012", "-0.00012"}, {SQL_C_DOUBLE, 20, "1.", "1"}, {SQL_C_DOUBLE, 20, "1.2/", "1.2/"},
        {SQL_C_DOUBLE, 20, "1.2:", "1.2:"}, {SQL_C_DOUBLE, 20, "1.", "1"}, {SQL_C_LONG, 20, "12:", "12:"},
    };
    for (const Case& c : cases) {
        RenderContext ctx;
        ctx.Kind = c.kind;
        std::string out;
        AppendValueText(c.text, c.type, ctx, out);
        EXPECT_EQ(out, c.shown) << c.text << " as C type " << c.type << ", kind " << c.kind;
    }
    // Text that is no value of the type is bare, but a file keeps its fields.
    RenderContext file;
    file.Qualifier = "'";
    file.DoubleQualifier = true;
    for (auto [text, shown] : {std::pair{"a,b", "'a,b'"}, {"it's", "'it''s'"}, {"a\nb", "'a\nb'"}, {"ab", "ab"}}) {
        std::string out;
        AppendValueText(text, SQL_C_LONG, file, out);
        EXPECT_EQ(out, shown);
    }
}

TEST(ResultRendering, DriverTextForATypeEndsWhereTheBufferTextEnds)
{
    // The driver's length where it ends the text; else the text up to its first zero byte, whole
    // characters, up to the cap.
    struct Case {
        std::string buffer;
        SQLLEN indicator;
        SQLSMALLINT valueType;
        SQLULEN characterLimit;
        const char* shown;
    };
    const Case cases[] = {
        {"2024-02-29", 10, SQL_C_DATE, 31, "2024-02-29"},
        {std::string("12\0xyz", 6), 6, SQL_C_LONG, 31, "12"},
        {std::string("2024-01-01\0", 11), 11, SQL_C_DATE, 31, "2024-01-01"},
        {"12345", 3, SQL_C_LONG, 31, "12345"},
        {"12345", 5, SQL_C_LONG, 4, "1234"},
        {"1.50", 4, SQL_C_DOUBLE, 0, "1.5"},
        {"007", 3, SQL_C_LONG, 31, "7"},
        {"a,b", 3, SQL_C_LONG, 31, "'a,b'"},
        {"1234567", 40, SQL_C_LONG, 31, "1234567"},
        // Texts around the 16 and 32 bytes looked at in one go, up to the last byte before the end
        // of the buffer: a wrong "is its own rendering" would show the text unchanged.
        {"123456789012345", 15, SQL_C_DOUBLE, 31, "123456789012345"},
        {"1234567890123456", 16, SQL_C_DOUBLE, 31, "1.23456789012346E15"},
        {"12345678901234.5", 16, SQL_C_DOUBLE, 31, "12345678901234.5"},
        {"-1234567890123.45", 17, SQL_C_DOUBLE, 31, "-1234567890123.45"},
        {"1234567890123.450", 17, SQL_C_DOUBLE, 31, "1234567890123.45"},
        {"-12345678901234.56", 18, SQL_C_DOUBLE, 31, "-12345678901234.6"},
        {"1234567890123456789012345678901", 31, SQL_C_DOUBLE, 31, "1.23456789012346E30"},
        {"1234567890123456789012345678901", 31, SQL_C_LONG, 31, "1234567890123456789012345678901"},
        {"0000000000000000000000000000001", 31, SQL_C_SBIGINT, 31, "1"},
        {"123456789012345678", 18, SQL_C_SBIGINT, 31, "123456789012345678"},
        {"-0123456789012345678", 20, SQL_C_SBIGINT, 31, "-123456789012345678"},
        {"123456789", 9, SQL_C_LONG, 31, "123456789"}, {"-012", 4, SQL_C_LONG, 31, "-12"},
        {"-0", 2, SQL_C_LONG, 31, "0"}, {"-", 1, SQL_C_LONG, 31, "-"}, {"-5", 2, SQL_C_LONG, 31, "-5"},
        {"0.5", 3, SQL_C_DOUBLE, 31, "0.5"}, {".5", 2, SQL_C_DOUBLE, 31, "0.5"}, {"5.", 2, SQL_C_DOUBLE, 31, "5"},
        {"1.5.", 4, SQL_C_DOUBLE, 31, "1.5."}, {"-1", 2, SQL_C_DOUBLE, 31, "-1"}, {"-0", 2, SQL_C_DOUBLE, 31, "0"},
        {"2024-03-05 07:08:09.5", 21, SQL_C_TIMESTAMP, 31, "2024-03-05 07:08:09"},
        {"2023-02-29 07:08:09.5", 21, SQL_C_TIMESTAMP, 31, "2023-02-29 07:08:09.5"},
        {"2024-03-05 07:08:09", 19, SQL_C_TIMESTAMP, 31, "2024-03-05 07:08:09"},
    };
    RenderContext file;
    file.Kind = 20;
    file.Qualifier = "'";
    file.DoubleQualifier = true;
    for (const Case& c : cases) {
        TColumnDescriptor d = Text(c.buffer, 32);
        d.Indicator = c.indicator;
        d.ValueType = c.valueType;
        d.CharacterLimit = c.characterLimit;
        std::string out;
        RenderResultField(d, file, out);
        EXPECT_EQ(out, c.shown) << c.buffer << " indicator " << c.indicator;
    }
}

TEST(ResultColumnBinding, SizesBuffersAndDisplayWidths)
{
    // A described column: the driver's type and size and the name; what the run makes of it.
    struct Case {
        SQLSMALLINT sqlType;
        SQLULEN driverSize;
        const char* name;
        TDbmsKind kind;
        SQLULEN size;
        SQLSMALLINT cType;
        SQLLEN displayBytes;
        SQLLEN bytes;
        bool numeric;
        SQLULEN characterLimit;
    };
    const Case cases[] = {
        {SQL_VARCHAR, 30, "name", 20, 30, SQL_C_CHAR, 31, 121, false, 512},
        {SQL_LONGVARCHAR, 100000, "note", 20, 512, SQL_C_CHAR, 513, 2049, false, 512},   // capped at 512 characters
        {SQL_CHAR, 100, "REQUIRED", 20, 9, SQL_C_CHAR, 10, 401, false, 512},             // narrow, but not cut
        {SQL_WVARCHAR, 400, "n", 2, 800, SQL_C_CHAR, 801, 1601, false, 512},
        {SQL_WCHAR, 10, "n", 2, 20, SQL_C_CHAR, 21, 41, false, 512},
        {SQL_WVARCHAR, 4000, "n", 2, 1024, SQL_C_CHAR, 1025, 2049, false, 512},          // capped, then doubled
        {SQL_WLONGVARCHAR, 4000, "n", 2, 512, SQL_C_CHAR, 513, 2049, false, 512},        // not doubled
        {SQL_WVARCHAR, 400, "n", 20, 400, SQL_C_CHAR, 401, 1601, false, 512},            // doubled for kind 2 only
        {SQL_VARCHAR, 0, "v", 20, 1, SQL_C_CHAR, 2, 2049, false, 512},                   // no size: room for the cap
        {SQL_VARCHAR, 10, "a_column_named_longer_than_its_size", 20, 35, SQL_C_CHAR, 36, 141, false, 512},
        {SQL_DECIMAL, 10, "price", 20, 10, SQL_C_CHAR, 14, 14, true, 0},                 // numbers are never cut
        {SQL_NUMERIC, 5, "n", 20, 5, SQL_C_CHAR, 9, 9, true, 0},
        {SQL_NUMERIC, 1000, "n", 20, 512, SQL_C_CHAR, 516, 516, true, 0},
        {SQL_INTEGER, 10, "id", 20, 10, SQL_C_LONG, 4, 4, true, 0},
        {SQL_BIGINT, 19, "n", 20, 19, SQL_C_SBIGINT, 8, 8, true, 0},
        {SQL_BIGINT, 19, "n", 7, 19, SQL_C_CHAR, 22, 22, true, 0},
        {SQL_TYPE_TIMESTAMP, 26, "ts", 20, 26, SQL_C_TIMESTAMP, 16, 16, false, 0},
        {SQL_TYPE_DATE, 10, "d", 20, 10, SQL_C_DATE, 6, 6, false, 0},
        {SQL_VARBINARY, 50, "b", 20, 50, SQL_C_BINARY, 100, 100, false, 0},
        {SQL_GUID, 36, "g", 20, 36, SQL_C_BINARY, 37, 37, false, 0},
    };
    for (const Case& c : cases) {
        TColumnDescriptor d;
        d.SqlType = c.sqlType;
        d.DriverColumnSize = c.driverSize;
        d.Name = c.name;
        d.NameLength = static_cast<SQLSMALLINT>(std::strlen(c.name));
        RenderContext ctx;
        ctx.Kind = c.kind;
        ctx.MaxFieldLen = 512;
        d.ColumnSize = ResultColumnSize(d, ctx);
        EXPECT_EQ(d.ColumnSize, c.size) << c.name << " " << c.sqlType;
        ResultBinding b = ResultBindingFor(d, ctx);
        EXPECT_EQ(b.CType, c.cType) << c.name << " " << c.sqlType;
        EXPECT_EQ(b.DisplayBytes, c.displayBytes) << c.name << " " << c.sqlType;
        EXPECT_EQ(b.Bytes, c.bytes) << c.name << " " << c.sqlType;
        EXPECT_EQ(b.Numeric, c.numeric) << c.name << " " << c.sqlType;
        EXPECT_EQ(b.CharacterLimit, c.characterLimit) << c.name << " " << c.sqlType;
    }
}

TEST(ResultColumnBinding, HeaderTexts)
{
    TColumnDescriptor d;
    EXPECT_EQ(ResultColumnHeader(d), "(无列名)");
    d.Name = "名称";
    EXPECT_EQ(ResultColumnHeader(d), "名称");
}

TEST(ResultRowStore, FieldsStayApart)
{
    ResultRowStore store(3);
    const std::vector<std::vector<std::string>> rows = {
        {"1", "a[@]b", ""}, {"", "", ""}, {std::string(5000, 'x'), "é", "中文"}};
    for (const auto& r : rows) {
        for (const auto& f : r) {
            store.CurrentField() = f;
            store.EndField();
        }
        store.EndRow();
    }
    ASSERT_EQ(store.RowCount(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(store.Field(i, k), rows[i][k]);
    EXPECT_EQ(store.Field(9, 0), "");
}

std::string FileBytes(std::FILE* f)
{
    std::rewind(f);
    std::string all;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) all.append(buf, n);
    return all;
}

void WriteRows(ResultFileSink& sink, int rows)
{
    for (int row = 1; row <= rows; ++row) {
        sink.RowText() += std::to_string(row);
        sink.EndField();
        sink.RowText() += "x";
        sink.EndField();
        sink.EndRow();
    }
}

TEST(ResultFileSink, HeadersRowsAndSeparators)
{
    std::FILE* f = std::tmpfile();
    ResultFileSink sink(f);
    sink.Header("\"a\",\"b\"", 0, true);
    WriteRows(sink, 2);
    sink.EndResultSet();
    EXPECT_EQ(sink.RowsWritten(), 2);
    sink.Header("\"n\"", 1, false);
    WriteRows(sink, 1);
    sink.EndResultSet();
    EXPECT_EQ(sink.RowsWritten(), 1);
    sink.Header("\"z\"", 2, true);
    sink.EndResultSet();
    EXPECT_EQ(sink.RowsWritten(), 0);
    EXPECT_TRUE(sink.Ok());
    EXPECT_EQ(FileBytes(f), "\"a\",\"b\"\r\n1,x\r\n2,x\r\n\r\n1,x\r\n\r\n\"z\"\r\n");
    std::fclose(f);
}

TEST(ResultFileSink, WritesInLargePiecesAndTheRestAtTheEndOfAResultSet)
{
    std::FILE* f = std::tmpfile();
    ResultFileSink sink(f);
    sink.Header("\"a\"", 0, false);
    // 8 bytes a row: the first piece goes out with the row that fills it, the rest at the end.
    const int rows = static_cast<int>(ResultFileSink::WriteBytes / 8) + 10;
    int firstWrite = 0;
    for (int row = 1; row <= rows; ++row) {
        sink.RowText() += "123456";
        sink.EndField();
        sink.EndRow();
        if (!firstWrite && FileBytes(f).size() > 0) firstWrite = row;
    }
    EXPECT_EQ(firstWrite, static_cast<int>(ResultFileSink::WriteBytes / 8));
    sink.EndResultSet();
    EXPECT_EQ(FileBytes(f).size(), static_cast<std::size_t>(rows) * 8);
    EXPECT_EQ(sink.RowsWritten(), rows);
    std::fclose(f);
}

TEST(ResultFileSink, AFailedWriteStopsTheSinkAndCountsTheRowsWrittenWhole)
{
    // A device that takes no byte.
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    ResultFileSink failing(full);
    failing.Header("\"a\"", 0, true);
    WriteRows(failing, 3);
    EXPECT_TRUE(failing.Ok()) << "nothing is written before the end of the result set";
    failing.EndResultSet();
    EXPECT_FALSE(failing.Ok());
    EXPECT_EQ(failing.RowsWritten(), 0);
    EXPECT_EQ(failing.ErrorText(), std::strerror(ENOSPC));
    std::fclose(full);

    // A file that may not grow past 18 bytes takes the header (5 bytes), two rows (5 each) and
    // 3 bytes of the third: the rows written whole are two.
    std::FILE* f = std::tmpfile();
    ResultFileSink limited(f);
    {
        const FileSizeLimit limit(18);
        ASSERT_TRUE(limit.Active());
        limited.Header("\"a\"", 0, true);
        WriteRows(limited, 4);
        limited.EndResultSet();
    }
    EXPECT_FALSE(limited.Ok());
    EXPECT_EQ(limited.RowsWritten(), 2);
    EXPECT_EQ(limited.ErrorText(), std::strerror(EFBIG));
    EXPECT_EQ(FileBytes(f), "\"a\"\r\n1,x\r\n2,x\r\n3,x");
    std::fclose(f);
}

} // namespace

