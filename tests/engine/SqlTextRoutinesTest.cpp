#include "SqlTextRoutines.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

struct TextCase {
    const char* name;
    std::string input;
    std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

// ---------------------------------------------------------------------------------------------
// StripSQLComments

class StripSQLCommentsTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(StripSQLCommentsTest, GivesTheTextWithoutItsComments)
{
    EXPECT_EQ(StripSQLComments(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StripSQLCommentsTest,
    ::testing::Values(
        TextCase{"LineCommentOnly", "select 1 -- one", "select 1 \r\n"},
        TextCase{"BlockInsideLine", "select 1 /* note */ from t", "select 1  from t\r\n"},
        TextCase{"BlockAcrossLinesJoinsThem", "select 1 /* a\r\nb */ from t\r\nwhere x", "select 1  from t\r\nwhere x\r\n"},
        TextCase{"TextAroundJoinedDirectly", "a/*x*/b", "ab\r\n"},
        TextCase{"SlashStarSlashIsOneBlock", "a/*/b", "ab\r\n"},
        TextCase{"NestedBlocksLeaveTextAsTyped", "/* a /* b */ c */ x -- y\n", "/* a /* b */ c */ x -- y\n"},
        TextCase{"StrayCloseLeavesTextAsTyped", "select 1 */ -- c\nselect 2", "select 1 */ -- c\nselect 2"},
        TextCase{"BlockThenLineComment", "/* head */select 1 -- tail\r\nselect 2", "select 1 \r\nselect 2\r\n"},
        TextCase{"EmptyStaysEmpty", "", ""},
        TextCase{"SingleCharacter", "x", "x\r\n"},
        TextCase{"SingleLineWithBreak", "x\r\n", "x\r\n"},
        TextCase{"LoneLineFeedsBecomeCrLf", "a\nb\rc", "a\r\nb\r\nc\r\n"},
        // Markers inside literals are text.
        TextCase{"LineMarkerInLiteral", "select 'a--b' from t", "select 'a--b' from t\r\n"},
        TextCase{"OpenMarkerInLiteralWithoutClose", "select '/*' from t -- note", "select '/*' from t \r\n"},
        TextCase{"WholeBlockInLiteral", "select '/* keep */' /* drop */", "select '/* keep */' \r\n"},
        TextCase{"MarkersInQuotedName", "select \"a--/*b\" from t -- c", "select \"a--/*b\" from t \r\n"},
        TextCase{"DoubledQuoteStaysInside", "select 'it''s -- here' -- gone", "select 'it''s -- here' \r\n"},
        TextCase{"DoubledDoubleQuoteStaysInside", "select \"a\"\"--b\" -- gone", "select \"a\"\"--b\" \r\n"},
        TextCase{"LiteralSpanningLinesKeepsItsMarkers", "select 'a\r\n-- b' -- c\r\nfrom t", "select 'a\r\n-- b' \r\nfrom t\r\n"},
        TextCase{"UnclosedQuoteRunsToTheEnd", "select 'abc -- x\r\n/* y */", "select 'abc -- x\r\n/* y */\r\n"},
        // A quote character inside a comment opens no literal.
        TextCase{"ApostropheInLineComment", "-- don't\r\nselect 1 /* x */ from t -- y", "\r\nselect 1  from t \r\n"},
        TextCase{"ApostropheInBlockComment", "/* it's */select 'a' -- b", "select 'a' \r\n"},
        TextCase{"UnpairedMarkerAfterLiteralStillFails", "select '*/' /* open", "select '*/' /* open"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// RemoveDelimitedBlocks

struct BlockCase {
    const char* name;
    std::string input;
    bool paired;
    std::string expected;
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.name; }

class RemoveDelimitedBlocksTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(RemoveDelimitedBlocksTest, RemovesPairedBlocksOrKeepsTheText)
{
    std::string result = "previous content";
    EXPECT_EQ(RemoveDelimitedBlocks(GetParam().input, "/*", "*/", result), GetParam().paired);
    EXPECT_EQ(result, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveDelimitedBlocksTest,
    ::testing::Values(
        BlockCase{"NoMarkers", "select 1 -- c", true, "select 1 -- c"},
        BlockCase{"Empty", "", true, ""},
        BlockCase{"OneBlock", "a /* b */ c", true, "a  c"},
        BlockCase{"SeveralBlocks", "/*1*/a/*2*/b/*3*/", true, "ab"},
        BlockCase{"AdjacentBlocks", "x/*1*//*2*/y", true, "xy"},
        BlockCase{"SlashStarSlash", "/*/", true, ""},
        BlockCase{"BlockKeepsNoLineBreaks", "a/*\r\n*/b", true, "ab"},
        BlockCase{"Nested", "/* a /* b */ c */", false, "/* a /* b */ c */"},
        BlockCase{"CloseBeforeOpen", "*/ x /*", false, "*/ x /*"},
        BlockCase{"ExtraCloseBeforeUnclosedOpen", "/* a */ */ /*", false, "/* a */ */ /*"},
        BlockCase{"UnclosedOpen", "a /* b", false, "a /* b"},
        BlockCase{"StrayClose", "a */ b", false, "a */ b"},
        BlockCase{"MarkersInLineCommentStillCount", "-- a /* b\nselect 1", false, "-- a /* b\nselect 1"},
        BlockCase{"OpenInLiteral", "select '/*' from t", true, "select '/*' from t"},
        BlockCase{"CloseInQuotedName", "select \"*/\" /* c */", true, "select \"*/\" "},
        BlockCase{"BlockAroundQuoteCharacter", "a /* ' */ b 'c'", true, "a  b 'c'"},
        BlockCase{"UnclosedQuoteHidesTheRest", "a /* x */ 'b /* c", true, "a  'b /* c"},
        BlockCase{"UnpairedOutsideQuotesFails", "'/*' */", false, "'/*' */"},
        BlockCase{"MultiByteTextAround", "选择 /* 注释 */ 表", true, "选择  表"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RemoveDelimitedBlocks, ResultMayBeTheInputString)
{
    std::string text = "a/*x*/b";
    EXPECT_TRUE(RemoveDelimitedBlocks(text, "/*", "*/", text));
    EXPECT_EQ(text, "ab");
    text = "a/*x";
    EXPECT_FALSE(RemoveDelimitedBlocks(text, "/*", "*/", text));
    EXPECT_EQ(text, "a/*x");
}

// ---------------------------------------------------------------------------------------------
// RemoveLineComments

class RemoveLineCommentsTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(RemoveLineCommentsTest, CutsEachLineAtItsMarker)
{
    EXPECT_EQ(RemoveLineComments(GetParam().input, "--", "\r\n"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveLineCommentsTest,
    ::testing::Values(
        TextCase{"Empty", "", ""},
        TextCase{"NoLineEnd", "x", "x\r\n"},
        TextCase{"TrailingCrLfAddsNoLine", "x\r\n", "x\r\n"},
        TextCase{"TrailingLfAddsNoLine", "x\n", "x\r\n"},
        TextCase{"LineEndsOfEveryKind", "a\r\nb\rc\nd", "a\r\nb\r\nc\r\nd\r\n"},
        TextCase{"CrCrIsTwoLines", "a\r\rb", "a\r\n\r\nb\r\n"},
        TextCase{"LfCrIsTwoLines", "a\n\rb", "a\r\n\r\nb\r\n"},
        TextCase{"EmptyLinesKept", "\r\n\r\n", "\r\n\r\n"},
        TextCase{"CutAtFirstMarker", "a -- b -- c\r\nd", "a \r\nd\r\n"},
        TextCase{"MarkerEndsTheLine", "select 1 --\r\nselect 2", "select 1 \r\nselect 2\r\n"},
        TextCase{"MarkerEndsTheText", "select 1 --", "select 1 \r\n"},
        TextCase{"WholeLineComment", "-- all\r\nx", "\r\nx\r\n"},
        TextCase{"SingleDashStays", "a - b", "a - b\r\n"},
        TextCase{"TripleDash", "a---b", "a\r\n"},
        TextCase{"NulEndsText", "a -- b\nc\0d\ne"s, "a \r\nc\r\n"},
        TextCase{"LeadingNul", "\0abc"s, ""},
        TextCase{"MarkerInLiteral", "select 'a--b' from t", "select 'a--b' from t\r\n"},
        TextCase{"MarkerAfterLiteral", "select 'a' -- b", "select 'a' \r\n"},
        TextCase{"LiteralSpansLines", "x 'a\n-- b' -- c\ny", "x 'a\n-- b' \r\ny\r\n"},
        TextCase{"LineBreaksInLiteralsStayAsTyped", "'a\r\nb\rc' \"d\ne\"\nf", "'a\r\nb\rc' \"d\ne\"\r\nf\r\n"},
        TextCase{"ApostropheInCommentOpensNothing", "a -- don't\nb -- c", "a \r\nb \r\n"},
        TextCase{"UnclosedQuoteKeepsMarkers", "a 'b -- c\nd -- e", "a 'b -- c\nd -- e\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RemoveLineComments, UsesTheGivenMarkerAndLineEnd)
{
    EXPECT_EQ(RemoveLineComments("a # b\r\nc", "#", "\n"), "a \nc\n");
    EXPECT_EQ(RemoveLineComments("a -- b", "", "|"), "a -- b|");
}

// ---------------------------------------------------------------------------------------------
// SplitStatements

struct SplitCase {
    const char* name;
    std::string batch;
    std::string separator;
    std::vector<std::string> expected;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitStatementsTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitStatementsTest, GivesTheStatementsInOrder)
{
    EXPECT_EQ(SplitStatements(GetParam().batch, GetParam().separator), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitStatementsTest,
    ::testing::Values(
        SplitCase{"TwoStatementsLineBreakStartsTheSecond", "select 1;\r\nselect 2;\r\n", ";",
                  {"select 1", "\r\nselect 2"}},
        SplitCase{"NoSeparator", "select 1\r\n", ";", {"select 1\r\n"}},
        SplitCase{"RestWithTextIsAStatement", "a; b", ";", {"a", " b"}},
        SplitCase{"StatementsNotTrimmed", "  a  ;  b  ;", ";", {"  a  ", "  b  "}},
        SplitCase{"EmptyStatementBetweenSeparators", "a;;b;", ";", {"a", "", "b"}},
        SplitCase{"BlankStatementKept", "a; \r\n;b", ";", {"a", " \r\n", "b"}},
        SplitCase{"LeadingSeparator", ";a", ";", {"", "a"}},
        SplitCase{"OnlySeparator", ";", ";", {""}},
        SplitCase{"BlankRestOfControlCharactersDropped", "a;\t\r\n \x01\x1f ", ";", {"a"}},
        SplitCase{"RestWithMultiByteTextKept", "a;表", ";", {"a", "表"}},
        SplitCase{"EmptyBatch", "", ";", {""}},
        SplitCase{"BlankBatch", " \r\n\t", ";", {" \r\n\t"}},
        SplitCase{"EmptySeparator", "a;b", "", {"a;b"}},
        SplitCase{"EmptySeparatorBlankBatch", "  ", "", {"  "}},
        SplitCase{"DollarSeparator", "create function f() begin x; y; end $$\r\nselect 1 $$", "$$",
                  {"create function f() begin x; y; end ", "\r\nselect 1 "}},
        SplitCase{"DollarSeparatorsInARow", "a$$$$b", "$$", {"a", "", "b"}},
        SplitCase{"OddDollarsCutOnce", "a$$$b", "$$", {"a", "$b"}},
        SplitCase{"SeparatorIsCaseSensitive", "a go b GO c", "GO", {"a go b ", " c"}},
        // Separators inside literals are text.
        SplitCase{"SeparatorInLiteral", "insert into t values ('a;b');delete from t where 0;", ";",
                  {"insert into t values ('a;b')", "delete from t where 0"}},
        SplitCase{"SeparatorInQuotedName", "select \"a;b\" from t; select 2", ";", {"select \"a;b\" from t", " select 2"}},
        SplitCase{"DoubledQuoteInLiteral", "select 'it''s; here'; x", ";", {"select 'it''s; here'", " x"}},
        SplitCase{"DoubledDoubleQuote", "select \"a\"\";b\"; x", ";", {"select \"a\"\";b\"", " x"}},
        SplitCase{"DollarsInLiteral", "select '$$' $$ select 2", "$$", {"select '$$' ", " select 2"}},
        SplitCase{"EmptyLiterals", "select '', \"\"; x", ";", {"select '', \"\"", " x"}},
        SplitCase{"LiteralSpanningLines", "select 'a;\r\nb'; x", ";", {"select 'a;\r\nb'", " x"}},
        SplitCase{"UnclosedQuoteRunsToTheEnd", "select 1; select 'a; delete from t;", ";",
                  {"select 1", " select 'a; delete from t;"}},
        SplitCase{"QuoteCharacterInLeftOverComment", "-- don't\nselect 1; /* it's */ select 2; */", ";",
                  {"-- don't\nselect 1", " /* it's */ select 2", " */"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitStatements, AStrippedBatchKeepsLiteralsWhole)
{
    const std::string batch = StripSQLComments("select 'a;--b' from t; -- first\r\nselect 2; /* ; */\r\n");
    EXPECT_EQ(SplitStatements(batch, ";"), (std::vector<std::string>{"select 'a;--b' from t", " \r\nselect 2"}));
}

// ---------------------------------------------------------------------------------------------
// Backslash escapes (MySQL): inside '...' a backslash escapes the next character.

struct EscapeCase {
    const char* name;
    std::string batch;
    std::string stripped;                    // with backslash escapes
    std::vector<std::string> statements;     // the stripped batch split at ";"
    std::string strippedWithout;             // without them (every other kind)
    std::vector<std::string> statementsWithout;
};

void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }

class BackslashEscapesTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(BackslashEscapesTest, KeepTheLiteralWhole)
{
    const EscapeCase& c = GetParam();
    const std::string with = StripSQLComments(c.batch, true);
    EXPECT_EQ(with, c.stripped);
    EXPECT_EQ(SplitStatements(with, ";", true), c.statements);
    const std::string without = StripSQLComments(c.batch);
    EXPECT_EQ(without, c.strippedWithout);
    EXPECT_EQ(SplitStatements(without, ";"), c.statementsWithout);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackslashEscapesTest,
    ::testing::Values(
        EscapeCase{"EscapedQuote", "select 'it\\'s; -- x' -- gone\nselect 2",
                   "select 'it\\'s; -- x' \r\nselect 2\r\n", {"select 'it\\'s; -- x' \r\nselect 2\r\n"},
                   "select 'it\\'s; \r\nselect 2\r\n", {"select 'it\\'s", " \r\nselect 2\r\n"}},
        EscapeCase{"EscapedQuoteBeforeABlock", "select 'a\\' /* b'; /* c */ select 2",
                   "select 'a\\' /* b';  select 2\r\n", {"select 'a\\' /* b'", "  select 2\r\n"},
                   "select 'a\\' /* b'; /* c */ select 2", {"select 'a\\' /* b'", " /* c */ select 2"}},
        EscapeCase{"EscapedBackslashEndsTheLiteral", "select 'a\\\\'; select 2 -- c",
                   "select 'a\\\\'; select 2 \r\n", {"select 'a\\\\'", " select 2 \r\n"},
                   "select 'a\\\\'; select 2 \r\n", {"select 'a\\\\'", " select 2 \r\n"}},
        EscapeCase{"DoubleQuotesTakeNoEscape", "select \"a\\\"; select 2",
                   "select \"a\\\"; select 2\r\n", {"select \"a\\\"", " select 2\r\n"},
                   "select \"a\\\"; select 2\r\n", {"select \"a\\\"", " select 2\r\n"}},
        EscapeCase{"BackslashAtTheEnd", "select 'a\\", "select 'a\\\r\n", {"select 'a\\\r\n"},
                   "select 'a\\\r\n", {"select 'a\\\r\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// FormatElapsedTime

struct ElapsedCase {
    const char* name;
    std::int64_t milliseconds;
    std::string expected;
};

void PrintTo(const ElapsedCase& c, std::ostream* os) { *os << c.name; }

class FormatElapsedTimeTest : public ::testing::TestWithParam<ElapsedCase> {};

TEST_P(FormatElapsedTimeTest, ShowsHoursMinutesSecondsAndMilliseconds)
{
    EXPECT_EQ(FormatElapsedTime(GetParam().milliseconds), GetParam().expected);
    EXPECT_EQ(FormatElapsedTime(-GetParam().milliseconds), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatElapsedTimeTest,
    ::testing::Values(
        ElapsedCase{"Zero", 0, "0:00:00.000"},
        ElapsedCase{"Milliseconds", 7, "0:00:00.007"},
        ElapsedCase{"TwoDigitMilliseconds", 45, "0:00:00.045"},
        ElapsedCase{"AlmostAMinute", 59999, "0:00:59.999"},
        ElapsedCase{"OneHourTwoMinutes", 3725500, "1:02:05.500"},
        ElapsedCase{"TenHours", 36000000, "10:00:00.000"},
        ElapsedCase{"HundredHours", 360000000, "100:00:00.000"},
        ElapsedCase{"ManyHours", 445506789, "123:45:06.789"},
        ElapsedCase{"BeyondThirtyTwoBitSeconds", 3000000000000, "833333:20:00.000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatElapsedTime, MomentsInEitherOrder)
{
    const QDateTime start(QDate(2024, 2, 29), QTime(23, 59, 0, 250), QTimeZone::utc());
    const QDateTime end = start.addMSecs(3725500);
    EXPECT_EQ(FormatElapsedTime(start, start), "0:00:00.000");
    EXPECT_EQ(FormatElapsedTime(start, end), "1:02:05.500");
    EXPECT_EQ(FormatElapsedTime(end, start), "1:02:05.500");
    EXPECT_EQ(FormatElapsedTime(start, start.addSecs(36000)), "10:00:00.000");
    EXPECT_EQ(FormatElapsedTime(start, start.addSecs(100 * 3600 + 1)), "100:00:01.000");
}

TEST(FormatElapsedTime, MostNegativeCountHasAMagnitude)
{
    EXPECT_EQ(FormatElapsedTime(std::numeric_limits<std::int64_t>::min()), "2562047788015:12:55.808");
}

struct SecondsCase {
    const char* name;
    double seconds;
    std::string expected;
};

void PrintTo(const SecondsCase& c, std::ostream* os) { *os << c.name; }

class FormatElapsedSecondsTest : public ::testing::TestWithParam<SecondsCase> {};

TEST_P(FormatElapsedSecondsTest, RoundsToMillisecondsBeforeTakingTheParts)
{
    EXPECT_EQ(FormatElapsedSeconds(GetParam().seconds), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatElapsedSecondsTest,
    ::testing::Values(
        SecondsCase{"Zero", 0.0, "0:00:00.000"},
        SecondsCase{"OneHourTwoMinutes", 3725.5, "1:02:05.500"},
        SecondsCase{"RoundsUpIntoTheNextMinute", 59.9996, "0:01:00.000"},
        SecondsCase{"RoundsUpIntoTheNextHour", 3599.9999, "1:00:00.000"},
        SecondsCase{"RoundsDown", 59.9994, "0:00:59.999"},
        SecondsCase{"HalfToEvenDown", 2.0625, "0:00:02.062"},  // exactly 2062.5 ms
        SecondsCase{"HalfToEvenUp", 2.1875, "0:00:02.188"},    // exactly 2187.5 ms
        SecondsCase{"NegativeSpan", -3725.5, "1:02:05.500"},
        SecondsCase{"HundredHours", 360000.25, "100:00:00.250"},
        SecondsCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), "0:00:00.000"},
        SecondsCase{"Infinite", std::numeric_limits<double>::infinity(), "2562047788015:12:55.807"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
