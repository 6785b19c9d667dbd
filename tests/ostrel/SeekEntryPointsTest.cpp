#include "OstrelLibrary.h"
#include "OstrelTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr std::uint32_t None = 0;
constexpr std::uint32_t Case = OstrelMatchCase;
constexpr std::uint32_t Word = OstrelWholeWord;

// The built library, through the same binding the program uses.
class SeekTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(OstrelLibrary::Load(BuiltOstrelFolder())); }
    static void TearDownTestSuite() { OstrelLibrary::Unload(); }
    void SetUp() override
    {
        ASSERT_TRUE(OstrelLibrary::IsLoaded());
        ASSERT_NE(OstrelLibrary::SeekForwardProc(), nullptr);
        ASSERT_NE(OstrelLibrary::SeekBackwardProc(), nullptr);
        ASSERT_NE(OstrelLibrary::SeekBackwardRichProc(), nullptr);
    }
};

int Forward(const QString& text, int start, const QString& find, std::uint32_t options)
{
    int at = -99;
    return OstrelLibrary::SeekForward(text, start, find, options, &at) ? at : -1;
}

int Backward(const QString& text, int start, const QString& find, std::uint32_t options)
{
    int at = -99;
    return OstrelLibrary::SeekBackward(text, start, find, options, &at) ? at : -1;
}

int BackwardRich(const QString& text, int selectionStart, int selectionLength, const QString& find,
                 std::uint32_t options)
{
    int at = -99;
    return OstrelLibrary::SeekBackwardRich(text, selectionStart, selectionLength, find, options, &at) ? at : -1;
}

struct ForwardCase {
    const char* what;
    QString text;
    int start;
    QString find;
    std::uint32_t options;
    int expected; // -1: not found
};

TEST_F(SeekTest, ForwardFindsTheFirstAcceptedMatchAtOrAfterStart)
{
    const ForwardCase cases[] = {
        {"case off finds upper case", u"x; SELECT 1"_s, 0, u"select"_s, None, 3},
        {"case on skips other case", u"select 1; SELECT 2"_s, 0, u"SELECT"_s, Case, 10},
        {"case on exact", u"select 1; SELECT 2"_s, 0, u"select"_s, Case, 0},
        {"from start skips earlier", u"select 1; SELECT 2"_s, 1, u"select"_s, None, 10},
        {"match at start itself", u"select 1; SELECT 2"_s, 10, u"select"_s, None, 10},
        {"whole word not inside SELECTED", u"SELECTED"_s, 0, u"SELECT"_s, Word, -1},
        {"whole word skips to a word", u"SELECTED; SELECT"_s, 0, u"SELECT"_s, Word, 10},
        {"without whole word inside", u"SELECTED"_s, 0, u"SELECT"_s, None, 0},
        {"underscore joins a word", u"a_select"_s, 0, u"select"_s, Word, -1},
        {"digit joins a word", u"select1"_s, 0, u"select"_s, Word, -1},
        {"punctuation bounds a word", u"(select)"_s, 0, u"select"_s, Word, 1},
        {"line break bounds a word", u"x\nselect\n"_s, 0, u"select"_s, Word, 2},
        {"Latin letter joins a word", u"éselect"_s, 0, u"select"_s, Word, -1},
        {"CJK position", u"查询用户 SELECT 表"_s, 0, u"表"_s, None, 12},
        {"CJK after start", u"用户表，用户"_s, 1, u"用户"_s, None, 4},
        {"CJK whole word between blanks", u"查询 用户 表"_s, 0, u"用户"_s, Word, 3},
        {"CJK whole word inside CJK", u"查询用户表"_s, 0, u"用户"_s, Word, -1},
        {"CJK punctuation bounds a word", u"查询，用户。"_s, 0, u"用户"_s, Word, 3},
        {"supplementary character counts two", u"\U00020000a"_s, 0, u"a"_s, None, 2},
        {"supplementary CJK joins a word", u"\U00020000a"_s, 0, u"a"_s, Word, -1},
        {"emoji bounds a word", u"\U0001F600a"_s, 0, u"a"_s, Word, 2},
        {"half a surrogate pair never matches", u"\U00020000"_s, 0, QString(QChar(0xDC00)), None, -1},
        {"Latin-1 case folding", u"L'ÉCOLE"_s, 0, u"école"_s, None, 2},
        {"Latin-1 case on", u"L'ÉCOLE"_s, 0, u"école"_s, Case, -1},
        {"Latin Extended-A folding", u"ŁÓDŹ"_s, 0, u"łódź"_s, None, 0},
        {"Greek folding, final sigma", u"ΟΔΟΣ"_s, 0, u"οδος"_s, None, 0},
        {"Cyrillic folding", u"ПРИВЕТ мир"_s, 0, u"привет"_s, None, 0},
        {"full-width folding", u"ＳＥＬＥＣＴ"_s, 0, u"ｓｅｌｅｃｔ"_s, None, 0},
        {"whole text", u"abc"_s, 0, u"abc"_s, Word, 0},
        {"match at the very end", u"xx abc"_s, 0, u"abc"_s, Word, 3},
        {"find longer than text", u"ab"_s, 0, u"abc"_s, None, -1},
        {"empty find text", u"abc"_s, 0, QString(), None, -1},
        {"empty text", QString(), 0, u"a"_s, None, -1},
        {"start at the end", u"abc"_s, 3, u"c"_s, None, -1},
        {"start beyond the text", u"abc"_s, 10, u"a"_s, None, -1},
        {"negative start from 0", u"abc"_s, -5, u"a"_s, None, 0},
    };
    for (const ForwardCase& c : cases)
        EXPECT_EQ(Forward(c.text, c.start, c.find, c.options), c.expected) << c.what;
}

struct BackwardCase {
    const char* what;
    QString text;
    int start;
    QString find;
    std::uint32_t options;
    int expected;
};

TEST_F(SeekTest, BackwardFindsTheLastMatchWhollyBeforeStart)
{
    const BackwardCase cases[] = {
        {"from the end", u"ab ab ab"_s, 8, u"ab"_s, None, 6},
        {"a match ending after start is skipped", u"ab ab ab"_s, 7, u"ab"_s, None, 3},
        {"a match ending at start is found", u"ab ab ab"_s, 5, u"ab"_s, None, 3},
        {"match at the very start", u"ab ab ab"_s, 2, u"ab"_s, None, 0},
        {"nothing wholly before", u"ab ab ab"_s, 1, u"ab"_s, None, -1},
        {"start 0", u"ab"_s, 0, u"ab"_s, None, -1},
        {"negative start", u"ab"_s, -3, u"ab"_s, None, -1},
        {"start beyond the text", u"ab ab ab"_s, 100, u"ab"_s, None, 6},
        {"case off", u"Select; SELECT"_s, 14, u"select"_s, None, 8},
        {"case on", u"select; SELECT"_s, 14, u"select"_s, Case, 0},
        {"whole word skips SELECTED", u"SELECT SELECTED"_s, 15, u"SELECT"_s, Word, 0},
        {"whole word not inside SELECTED", u"SELECTED"_s, 8, u"SELECT"_s, Word, -1},
        {"CJK position", u"用户表，用户"_s, 6, u"用户"_s, None, 4},
        {"CJK before start", u"用户表，用户"_s, 5, u"用户"_s, None, 0},
        {"empty find text", u"abc"_s, 3, QString(), None, -1},
    };
    for (const BackwardCase& c : cases)
        EXPECT_EQ(Backward(c.text, c.start, c.find, c.options), c.expected) << c.what;
}

struct RichCase {
    const char* what;
    QString text;
    int selectionStart;
    int selectionLength;
    QString find;
    std::uint32_t options;
    int expected;
};

TEST_F(SeekTest, BackwardRichStartsBeforeTheSelectionAndEndsWithinIt)
{
    const RichCase cases[] = {
        {"caret at the end", u"ab ab ab"_s, 8, 0, u"ab"_s, None, 6},
        {"previous match selected", u"ab ab ab"_s, 6, 2, u"ab"_s, None, 3},
        {"caret inside a word", u"SELECT"_s, 3, 0, u"SELECT"_s, None, -1},
        {"selection inside a match", u"xSELECT"_s, 3, 4, u"SELECT"_s, None, 1},
        {"overlapping occurrence", u"aaaa"_s, 2, 2, u"aa"_s, None, 1},
        {"selection at the start", u"ab ab"_s, 0, 2, u"ab"_s, None, -1},
        {"selection beyond the text", u"ab ab"_s, 50, 3, u"ab"_s, None, 3},
        {"negative selection length", u"ab ab"_s, 5, -2, u"ab"_s, None, 3},
        {"case on", u"select SELECT"_s, 13, 0, u"select"_s, Case, 0},
        {"whole word", u"SELECT SELECTED"_s, 15, 0, u"SELECT"_s, Word, 0},
        {"CJK", u"查询用户 SELECT 表"_s, 13, 0, u"用户"_s, None, 2},
        {"empty find text", u"abc"_s, 3, 0, QString(), None, -1},
    };
    for (const RichCase& c : cases)
        EXPECT_EQ(BackwardRich(c.text, c.selectionStart, c.selectionLength, c.find, c.options), c.expected)
            << c.what;
}

TEST_F(SeekTest, RepeatedBackwardSearchesWalkUpTheText)
{
    struct WalkCase {
        QString text;
        QString find;
        std::vector<int> positions;
    };
    const WalkCase cases[] = {
        {u"ab ab ab"_s, u"ab"_s, {6, 3, 0}},
        {u"表一 表二 表三"_s, u"表"_s, {6, 3, 0}},
        {u"\U00020000x \U00020000x"_s, u"\U00020000x"_s, {4, 0}},
    };
    for (const WalkCase& c : cases) {
        std::vector<int> rich;
        std::vector<int> plain;
        int selectionStart = int(c.text.size());
        int selectionLength = 0;
        int at = 0;
        while (OstrelLibrary::SeekBackwardRich(c.text, selectionStart, selectionLength, c.find, None, &at)) {
            rich.push_back(at);
            selectionStart = at;
            selectionLength = int(c.find.size());
            at = 0;
        }
        int start = int(c.text.size());
        while (OstrelLibrary::SeekBackward(c.text, start, c.find, None, &at)) {
            plain.push_back(at);
            start = at;
            at = 0;
        }
        EXPECT_EQ(rich, c.positions) << c.text.toStdString();
        EXPECT_EQ(plain, c.positions) << c.text.toStdString();
    }
}

TEST_F(SeekTest, NullPointersAndNegativeLengthsNeverMatch)
{
    const char16_t text[] = u"abc";
    const char16_t find[] = u"b";
    std::int32_t at = -1;
    const SeekForwardFunction forward = OstrelLibrary::SeekForwardProc();
    const SeekBackwardFunction backward = OstrelLibrary::SeekBackwardProc();
    const SeekBackwardRichFunction rich = OstrelLibrary::SeekBackwardRichProc();

    ASSERT_TRUE(forward(text, 3, 0, find, 1, 0, &at));
    EXPECT_EQ(at, 1);
    at = -1;
    EXPECT_FALSE(forward(nullptr, 3, 0, find, 1, 0, &at));
    EXPECT_FALSE(forward(text, 3, 0, nullptr, 1, 0, &at));
    EXPECT_FALSE(forward(text, 3, 0, find, 1, 0, nullptr));
    EXPECT_FALSE(forward(text, -1, 0, find, 1, 0, &at));
    EXPECT_FALSE(forward(text, 3, 0, find, -1, 0, &at));
    EXPECT_FALSE(backward(nullptr, 3, 3, find, 1, 0, &at));
    EXPECT_FALSE(backward(text, 3, 3, nullptr, 1, 0, &at));
    EXPECT_FALSE(backward(text, 3, 3, find, 1, 0, nullptr));
    EXPECT_FALSE(backward(text, 3, INT32_MIN, find, 1, 0, &at));
    EXPECT_FALSE(rich(nullptr, 3, 3, 0, find, 1, 0, &at));
    EXPECT_FALSE(rich(text, 3, 3, 0, nullptr, 1, 0, &at));
    EXPECT_FALSE(rich(text, 3, 3, 0, find, 1, 0, nullptr));
    EXPECT_TRUE(rich(text, 3, INT32_MAX, INT32_MAX, find, 1, 0, &at));
    EXPECT_EQ(at, 1);
    at = -1;
    EXPECT_FALSE(rich(text, 3, INT32_MIN, 0, find, 1, 0, &at));
    EXPECT_EQ(at, -1); // a miss leaves the position as it was
}

} // namespace
