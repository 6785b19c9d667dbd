#include "ResultText.h"
#include "ResultRowsFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Rows "1,r1" to "n,rn" under the names "id,name".
std::shared_ptr<ResultRowStore> Numbered(int n)
{
    auto store = std::make_shared<ResultRowStore>(2);
    store->SetHeader({"id", "name"});
    for (int i = 1; i <= n; ++i) {
        store->CurrentField() = std::to_string(i);
        store->EndField();
        store->CurrentField() = "r" + std::to_string(i);
        store->EndField();
        store->EndRow();
    }
    return store;
}

TEST(ResultTextBlock, NamesFirstThenRowsJoinedByCommas)
{
    struct Case {
        std::shared_ptr<ResultRowStore> rows;
        std::vector<QString> lines;
    };
    const Case cases[] = {
        {MakeRowStore({"id", "name"}, {{"1", "abc"}, {"2", ""}}), {"id,name", "1,abc", "2,"}},
        {MakeRowStore({"v"}, {{"a[@]b"}}), {"v", "a[@]b"}},
        {MakeRowStore({"x", "y"}, {}), {"x,y"}},
        {MakeRowStore({"名"}, {{"值"}, {"\xF0\x9F\x98\x80"}}), {"名", "值", "\xF0\x9F\x98\x80"}},
    };
    for (const Case& c : cases) {
        const ResultTextBlock block(c.rows);
        ASSERT_EQ(block.LineCount(), c.lines.size());
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(block.Line(i), c.lines[i]);
            EXPECT_EQ(block.LineLength(i), static_cast<std::size_t>(c.lines[i].size())) << c.lines[i].toStdString();
            EXPECT_GE(block.LongestLine(), static_cast<std::size_t>(c.lines[i].size()));
        }
    }
}

TEST(ResultText, AResultJoinsTheTextWithoutACopyOfItsRows)
{
    ResultText text;
    text.AppendLines({"", "first", ""});
    auto rows = Numbered(1000000);
    const std::size_t bytes = rows->BytesUsed();
    text.AppendBlock(std::make_shared<const ResultTextBlock>(rows));
    text.AppendLines({"", "（所影响的行数为 1000000 行）", ""});
    EXPECT_EQ(rows.use_count(), 2) << "the text holds the rows themselves";
    EXPECT_EQ(rows->BytesUsed(), bytes);
    EXPECT_EQ(text.LineCount(), 3u + 1000001u + 3u);
    EXPECT_EQ(text.Line(3), "id,name");
    EXPECT_EQ(text.Line(4), "1,r1");
    EXPECT_EQ(text.Line(1000003), "1000000,r1000000");
    EXPECT_EQ(text.Line(1000005), "（所影响的行数为 1000000 行）");
    EXPECT_EQ(text.Line(2000000), "");
    EXPECT_EQ(text.LongestLine(), 19u) << "the longest line is the message";
}

TEST(ResultText, TheLongestLineFollowsAppendsAndEdits)
{
    ResultText text;
    struct Step {
        const char* What;
        std::function<void()> Do;
        std::size_t Longest;
    };
    const Step steps[] = {
        {"own lines", [&] { text.AppendLines({"", "four", "seven.."}); }, 7},
        {"a result's lines", [&] { text.AppendBlock(std::make_shared<const ResultTextBlock>(Numbered(3))); }, 7},
        {"a longer own line", [&] { text.AppendLines({"eleven....."}); }, 11},
        {"the longest line shortened", [&] { text.Replace({7, 4}, {7, 11}, ""); }, 7},
        {"own lines after the edit", [&] { text.AppendLines({"nine....."}); }, 9},
        {"everything cleared", [&] { text.Clear(); }, 0},
        {"lines after the clear", [&] { text.AppendLines({"ab"}); }, 2},
    };
    for (const Step& step : steps) {
        step.Do();
        std::size_t longest = 0;
        for (std::size_t i = 0; i < text.LineCount(); ++i) longest = std::max(longest, text.LineLength(i));
        EXPECT_EQ(longest, step.Longest) << step.What;
        EXPECT_EQ(text.LongestLine(), step.Longest) << step.What;
    }
}

TEST(ResultText, PlacesAndOffsetsAgreeWithTheWholeText)
{
    ResultText text;
    text.AppendLines({"", "名称 x"});
    text.AppendBlock(std::make_shared<const ResultTextBlock>(Numbered(700)));
    text.AppendBlock(std::make_shared<const ResultTextBlock>(MakeRowStore({"e"}, {{"\xF0\x9F\x98\x80"}, {""}})));
    text.AppendLines({"end"});
    const QString whole = text.Text();
    ASSERT_EQ(whole.count(QLatin1Char('\n')) + 1, static_cast<qsizetype>(text.LineCount()));
    EXPECT_TRUE(whole.startsWith("\n名称 x\nid,name\n1,r1\n"));
    EXPECT_TRUE(whole.endsWith("700,r700\ne\n\xF0\x9F\x98\x80\n\nend"));
    // Every offset of the whole text maps to a place and back.
    for (std::size_t offset = 0; offset <= static_cast<std::size_t>(whole.size()); offset += 7) {
        const TextPosition at = text.PositionAt(offset);
        ASSERT_EQ(text.Offset(at), offset) << offset;
        const QString before = whole.left(static_cast<qsizetype>(offset));
        EXPECT_EQ(at.Line, static_cast<std::size_t>(before.count(QLatin1Char('\n')))) << offset;
    }
    EXPECT_EQ(text.PositionAt(static_cast<std::size_t>(whole.size())), text.End());
    EXPECT_EQ(text.PositionAt(static_cast<std::size_t>(whole.size()) + 50), text.End());
    EXPECT_EQ(text.Text(TextPosition{1, 3}, TextPosition{3, 2}), "x\nid,name\n1,");
    EXPECT_EQ(text.Text(TextPosition{3, 2}, TextPosition{1, 3}), "x\nid,name\n1,");
    EXPECT_EQ(text.Clamped(TextPosition{1, 99}), (TextPosition{1, 4}));
}

TEST(ResultText, EditsInsideAResultKeepTheRestOfItsRows)
{
    ResultText text;
    auto rows = Numbered(1000);
    text.AppendBlock(std::make_shared<const ResultTextBlock>(rows));
    text.AppendLines({"done"});

    struct Case {
        TextPosition from, to;
        QString insert;
        TextPosition caret;
        std::vector<std::pair<std::size_t, QString>> lines;
        std::size_t count;
    };
    const Case cases[] = {
        // Typing inside row 500's line.
        {{500, 3}, {500, 3}, "X", {500, 4}, {{499, "499,r499"}, {500, "500X,r500"}, {501, "501,r501"}}, 1002},
        // A line break splits a row's line.
        {{10, 2}, {10, 2}, "\n", {11, 0}, {{10, "10"}, {11, ",r10"}, {12, "11,r11"}}, 1003},
        // Removing from one row into another joins the two ends.
        {{20, 1}, {30, 2}, "", {20, 1}, {{19, "18,r18"}, {20, "1,r29"}, {21, "30,r30"}}, 993},
        // Replacing across the result's end and the text's own line.
        {{991, 3}, {992, 2}, "-", {991, 4}, {{990, "999,r999"}, {991, "100-ne"}}, 992},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text.Replace(c.from, c.to, c.insert), c.caret);
        EXPECT_EQ(text.LineCount(), c.count);
        for (const auto& [line, expected] : c.lines) EXPECT_EQ(text.Line(line), expected) << line;
        EXPECT_EQ(text.Offset(text.End()), static_cast<std::size_t>(text.Text().size()));
    }

    text.Replace({}, text.End(), "");
    EXPECT_EQ(text.LineCount(), 1u);
    EXPECT_EQ(text.Text(), "");
    // Lines appended to a text without characters take its place.
    text.AppendLines({"x"});
    EXPECT_EQ(text.Text(), "x");
    text.Clear();
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(text.Replace({}, {}, "a\nb"), (TextPosition{1, 1}));
    EXPECT_EQ(text.Text(), "a\nb");
}

} // namespace
