#include "KeywordColours.h"
#include "KeywordLists.h"
#include "KeywordLookup.h"
#include "KeywordScanner.h"
#include "KeywordTables.h"
#include "LineColouring.h"
#include "SnapshotText.h"
#include "SqlEditorHistory.h"
#include "SqlEditorText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

inline void PrintTo(const Word_ary& w, std::ostream* os)
{
    *os << w.Text.toStdString() << ';' << w.StartPos << ';' << w.EndPos;
}
inline void PrintTo(const SnapshotText& t, std::ostream* os) { *os << t.ToString().toStdString(); }
inline void PrintTo(const ColourRun& r, std::ostream* os)
{
    *os << '[' << r.Start << ',' << r.Length << ' ' << r.Colour.name().toStdString() << ']';
}

namespace {

// The installed keyword files of the eight kinds.
class KeywordTablesFromData : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        LoadKeywordFiles(TARNVALE_DATA_DIR);
        CreateKeywordTables();
    }
    static void TearDownTestSuite()
    {
        FreeKeywordTables();
        ClearKeywordLists();
    }
};

struct ScanCase {
    const char* what;
    QString text;
    int offset;
    TDbmsKind kind;
    std::vector<Word_ary> expected;
};

TEST(KeywordScanner, WordsAndTheirPositions)
{
    const ScanCase cases[] = {
        {"last word dropped", u"SELECT a FROM t"_s, 0, 2, {{"SELECT", 1, 6}, {"a", 8, 8}, {"FROM", 10, 13}}},
        {"closed by a final blank", u"SELECT "_s, 0, 2, {{"SELECT", 1, 6}}},
        {"nothing closes it", u"SELECT"_s, 0, 2, {}},
        {"offset shifts positions", u"x y"_s, 100, 2, {{"x", 101, 101}}},
        {"digits end a word", u"VARCHAR2 table1;"_s, 0, 2, {{"VARCHAR", 1, 7}, {"table", 10, 14}}},
        {"underscore is a word character", u"_a_b c"_s, 0, 2, {{"_a_b", 1, 4}}},
        {"dollar joins words for Oracle", u"V$LOCK "_s, 0, 3, {{"V$LOCK", 1, 6}}},
        {"dollar splits words elsewhere", u"V$LOCK "_s, 0, 2, {{"V", 1, 1}, {"LOCK", 3, 6}}},
        {"each CJK character counts one", u"中文SELECT中a\n"_s, 0, 2, {{"SELECT", 3, 8}, {"a", 10, 10}}},
        {"line breaks and punctuation", u"a\nb,c(d)"_s, 0, 2, {{"a", 1, 1}, {"b", 3, 3}, {"c", 5, 5}, {"d", 7, 7}}},
        {"letters beyond ASCII are delimiters", u"caf\u00e9 x"_s, 0, 2, {{"caf", 1, 3}}},
        {"empty text", QString(), 0, 2, {}},
    };
    for (const ScanCase& c : cases) {
        std::vector<Word_ary> words;
        ScanWords(c.text, words, c.offset, c.kind);
        EXPECT_EQ(words, c.expected) << c.what;
    }
}

TEST(KeywordScanner, ALineFollowedByTextKeepsItsLastWord)
{
    std::vector<Word_ary> words;
    ScanLineWords(u"from t"_s, words, 10, 2, true);
    const std::vector<Word_ary> expected{{"from", 11, 14}, {"t", 16, 16}};
    EXPECT_EQ(words, expected);
    words.clear();
    ScanLineWords(u"from t"_s, words, 10, 2, false);
    EXPECT_EQ(words.size(), 1u);
}

TEST(KeywordColours, CategoryToColour)
{
    const std::pair<int, QColor> cases[] = {
        {1, QColor(0, 0, 255)},   {2, QColor(0, 177, 0)}, {3, QColor(255, 0, 255)}, {4, QColor(255, 0, 255)},
        {0, QColor(0, 0, 0)},     {5, QColor(0, 0, 0)},   {9, QColor(0, 0, 0)},     {-1, QColor(0, 0, 0)},
    };
    for (auto [category, colour] : cases) EXPECT_EQ(KeywordColours::OfCategory(category), colour) << category;
    EXPECT_EQ(KeywordColours::LineComment, QColor(0, 128, 128));
}

TEST(KeywordLookup, KindsFromNineUpUseTheMicrosoftSqlServerTable)
{
    const std::pair<TDbmsKind, TDbmsKind> cases[] = {{1, 1}, {2, 2}, {3, 3}, {8, 8}, {9, 2}, {10, 2}, {11, 2}, {20, 2}, {0, 0}};
    for (auto [window, table] : cases) EXPECT_EQ(ColouringKind(window), table) << window;
}

TEST_F(KeywordTablesFromData, CategoryOfAWordByKind)
{
    struct Case {
        const char* word;
        int kind;
        int category;
    } cases[] = {
        {"select", 2, 1},   {"SeLeCt", 5, 1},   {"COUNT", 1, 1},     {"COUNT", 2, 2},    {"GETDATE", 2, 2},
        {"GETDATE", 1, -1}, {"GETDATE", 0, -1}, {"GETDATE", 20, -1}, {"V$LOCK", 3, 4},   {"VARCHAR", 7, 3},
        {"nosuchword", 2, -1}, {"", 2, 0},      {"中文", 2, -1},     {"COUNT", 99, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetKeywordCategory(QString::fromUtf8(c.word), c.kind), c.category) << c.word << " kind " << c.kind;
}

TEST(KeywordLookup, NoTableMeansNoCategory)
{
    FreeKeywordTables();
    EXPECT_EQ(GetKeywordCategory(u"SELECT"_s, 2), -1);
    EXPECT_EQ(GetKeywordCategory(QString(), 2), 0);
}

struct LineCase {
    const char* what;
    QString line;
    int lineStart;
    bool followed;
    TDbmsKind kind;
    std::vector<ColourRun> expected;
};

TEST_F(KeywordTablesFromData, ColoursOfALine)
{
    const QColor blue(0, 0, 255), green(0, 177, 0), fuchsia(255, 0, 255), teal(0, 128, 128);
    const LineCase cases[] = {
        // The comment run comes last and covers a keyword inside the comment.
        {"keyword then comment with a keyword", u"SELECT -- SELECT"_s, 0, true, 2, {{0, 6, blue}, {10, 6, blue}, {7, 9, teal}}},
        {"comment at the line start", u"-- x"_s, 40, true, 2, {{40, 4, teal}}},
        {"comment right after a word", u"a--b"_s, 0, true, 2, {{1, 3, teal}}},
        {"a quoted -- still starts a comment", u"'--' from"_s, 0, true, 2, {{5, 4, blue}, {1, 8, teal}}},
        {"block comments are ordinary text", u"/* select */ x"_s, 0, true, 2, {{3, 6, blue}}},
        {"last line drops its last word", u"from t, count"_s, 5, false, 2, {{5, 4, blue}}},
        {"same line followed by text", u"from t, count"_s, 5, true, 2, {{5, 4, blue}, {13, 5, green}}},
        {"kind decides the table", u"count getdate"_s, 0, true, 1, {{0, 5, blue}}},
        {"Paradox uses the SQL Server table", u"count getdate"_s, 0, true, 9, {{0, 5, green}, {6, 7, green}}},
        {"Oracle words with dollar", u"V$LOCK x"_s, 0, true, 3, {{0, 6, fuchsia}}},
        {"other kinds split at dollar", u"V$LOCK x"_s, 0, true, 1, {{2, 4, blue}}},
        {"CJK between words", u"中文select中from"_s, 10, true, 2, {{12, 6, blue}, {19, 4, blue}}},
        {"digits stay out of the word", u"varchar2"_s, 0, true, 2, {{0, 7, fuchsia}}},
    };
    for (const LineCase& c : cases) EXPECT_EQ(LineColourRuns(c.line, c.lineStart, c.followed, c.kind), c.expected) << c.what;
}

TEST(LineColouring, FirstCommentMarker)
{
    const std::pair<QString, int> cases[] = {{u"a -- b -- c"_s, 2}, {u"---"_s, 0}, {u"- -"_s, -1}, {QString(), -1}};
    for (const auto& [line, at] : cases) EXPECT_EQ(LineCommentStart(line), at) << line.toStdString();
}

TEST(SqlEditorText, LeadingBlanks)
{
    const std::pair<QString, int> cases[] = {
        {u"    SELECT"_s, 4}, {u"\tSELECT"_s, 0}, {u"  \t  x"_s, 2}, {u"   "_s, 3}, {QString(), 0}, {u"\u3000x"_s, 0},
    };
    for (const auto& [line, n] : cases) EXPECT_EQ(SqlEditorText::LeadingBlanks(line), n) << line.toStdString();
}

QString Edit(int i) { return u"edit "_s + QString::number(i); }

TEST(SqlEditorHistory, KeepsTheLast64TextsNewestLast)
{
    SqlEditorHistory h;
    for (int i = 1; i <= 70; ++i) h.RecordSnapshot(Edit(i));
    EXPECT_EQ(h.UndoCount, 64);
    EXPECT_EQ(h.RedoCount, 0);
    EXPECT_EQ(h.HistoryCursor, 64);
    EXPECT_EQ(h.History[64].Text, Edit(70));
    EXPECT_EQ(h.History[1].Text, Edit(7));

    // 63 undos walk down to the oldest kept text, the 64th shows it again, then none is offered.
    for (int i = 1; i <= 63; ++i) EXPECT_EQ(h.StepBack(), Edit(70 - i)) << i;
    EXPECT_EQ(h.HistoryCursor, 1);
    EXPECT_EQ(h.StepBack(), Edit(7));
    EXPECT_EQ(h.HistoryCursor, 1);
    EXPECT_EQ(h.UndoCount, 0);
    EXPECT_EQ(h.RedoCount, 64);
    EXPECT_EQ(SqlEditorHistory::OfferedState(h.UndoCount), std::optional<bool>(false));
    EXPECT_EQ(h.RestoringHistory, 1);

    // Redo walks up again and stops at the newest.
    for (int i = 1; i <= 63; ++i) EXPECT_EQ(h.StepForward(), Edit(7 + i)) << i;
    EXPECT_EQ(h.StepForward(), Edit(70));
    EXPECT_EQ(h.HistoryCursor, 64);
    EXPECT_EQ(h.RedoCount, 0);
}

TEST(SqlEditorHistory, AnEditShiftsTheTextsUnderAStandingCursor)
{
    SqlEditorHistory h;
    for (int i = 1; i <= 3; ++i) h.RecordSnapshot(Edit(i));
    EXPECT_EQ(h.StepBack(), Edit(2));
    EXPECT_EQ(h.HistoryCursor, 63);
    h.RestoringHistory = 0;
    h.RecordSnapshot(u"new"_s);
    // History: ..., edit 1, edit 2, edit 3, new; the cursor still stands at 63.
    EXPECT_EQ(h.HistoryCursor, 63);
    EXPECT_EQ(h.RedoCount, 1);
    EXPECT_EQ(h.UndoCount, 3);
    EXPECT_EQ(h.StepBack(), Edit(2));
    EXPECT_EQ(h.History[63].Text, Edit(3));
}

TEST(SqlEditorHistory, FreshHistoryAndOfferedStates)
{
    SqlEditorHistory h;
    h.RecordSnapshot(u"x"_s);
    h.ResetHistory();
    EXPECT_EQ(h.UndoCount, 0);
    EXPECT_EQ(h.HistoryCursor, 64);
    for (int i = 1; i <= 64; ++i) EXPECT_TRUE(h.History[static_cast<std::size_t>(i)].Text.isEmpty());
    // Undo in a fresh history shows the empty text below the cursor and offers nothing more.
    EXPECT_EQ(h.StepBack(), QString());
    EXPECT_EQ(h.UndoCount, -1);
    EXPECT_EQ(SqlEditorHistory::OfferedState(1), std::optional<bool>(true));
    EXPECT_EQ(SqlEditorHistory::OfferedState(0), std::optional<bool>(false));
    EXPECT_EQ(SqlEditorHistory::OfferedState(-1), std::nullopt);
}

// Edits of a big text, of every size and at every kind of place, give the same text as the
// same edits of one string; copies taken on the way keep their texts.
TEST(SnapshotTexts, EditsCopiesAndComparisonsAgreeWithOneString)
{
    QString model;
    for (int i = 0; i < 5000; ++i) model += u"select col"_s + QString::number(i) + (i % 7 ? u" 😀\n"_s : u"\n"_s);
    SnapshotText text(model);
    EXPECT_EQ(text.ToString(), model);
    std::mt19937 random(7);
    std::vector<std::pair<SnapshotText, QString>> kept;
    for (int step = 0; step < 400; ++step) {
        const qsizetype size = model.size();
        const qsizetype at = std::uniform_int_distribution<qsizetype>(0, size)(random);
        const int kind = step % 5;
        // Small edits, a removal across pieces, a big insertion, and edits at the very start and end.
        const qsizetype removed = kind == 1 ? std::min<qsizetype>(size - at, 30000)
                                            : std::min<qsizetype>(size - at, std::uniform_int_distribution<int>(0, 3)(random));
        const QString inserted = kind == 2 ? QString(40000, u'x') : kind == 3 ? u"\n"_s : QString::number(step);
        const qsizetype where = kind == 4 ? (step % 2 ? size : 0) : at;
        const qsizetype gone = kind == 4 ? 0 : removed;
        const SnapshotText before = text;
        const QString old = model;
        model.replace(where, gone, inserted);
        text.Replace(where, gone, inserted);
        ASSERT_EQ(text.size(), model.size()) << step;
        EXPECT_NE(text, before) << step;
        qsizetype start = 0, end = 0;
        while (start < std::min(old.size(), size) && old[start] == model[start]) ++start;
        while (end < std::min(old.size(), model.size()) && old[old.size() - 1 - end] == model[model.size() - 1 - end]) ++end;
        EXPECT_EQ(SnapshotText::CommonStart(text, before), start) << step;
        EXPECT_EQ(SnapshotText::CommonEnd(text, before), end) << step;
        if (step % 50 == 0) kept.emplace_back(text, model);
    }
    EXPECT_EQ(text.ToString(), model);
    for (const auto& [copy, expected] : kept) EXPECT_EQ(copy.ToString(), expected);

    // Equal texts held in other pieces are equal; each position's piece starts there.
    EXPECT_EQ(text, SnapshotText(model));
    for (qsizetype at = 0; at < model.size(); at += text.From(at).size()) ASSERT_TRUE(model.mid(at).startsWith(text.From(at)));
    EXPECT_TRUE(text.From(model.size()).isEmpty());
    const SnapshotText other(model.left(100) + u"#"_s + model.mid(101));
    EXPECT_EQ(SnapshotText::CommonStart(text, other), model[100] == u'#' ? model.size() : 100);
    EXPECT_EQ(SnapshotText::CommonEnd(text, other), model.size() - 101);
    EXPECT_EQ(SnapshotText::CommonEnd(text, SnapshotText(model + u"a"_s)), 0);
    EXPECT_EQ(SnapshotText::CommonStart(text, SnapshotText()), 0);

    // Appending line by line builds the same text.
    SnapshotText appended;
    for (const QString& line : model.split(u'\n')) {
        appended.Append(line);
        appended.Append(u"\n");
    }
    EXPECT_EQ(appended.ToString(), model + u"\n"_s);
    SnapshotText empty(model);
    empty.Replace(0, model.size(), {});
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty, SnapshotText());
}

} // namespace
