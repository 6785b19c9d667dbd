// The keyword tables, the loading of keyword files and the shipped keyword files.
#include "KeywordLists.h"
#include "KeywordTables.h"
#include "KeywordText.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

class KeywordTablesTest : public testing::Test {
protected:
    void TearDown() override
    {
        TKeywordTable::FailAllocationAfter(-1);
        FreeKeywordTables();
        ClearKeywordLists();
    }
};

// Lookup as the colouring does it: the bucket of the word as passed.
int Find(const TKeywordTable& table, const std::string& word, const TKeywordNode** nodeOut = nullptr)
{
    const TKeywordNode* node = nullptr;
    const int r = table.FindWord(word, KeywordBucket(word, table.BucketCount()), node);
    if (nodeOut) *nodeOut = node;
    return r;
}

int CategoryOf(const TKeywordTable& table, const std::string& word)
{
    const TKeywordNode* node = nullptr;
    return Find(table, word, &node) == TKeywordTable::Found ? node->Category : -1;
}

// Nodes named name in the chain where name lives.
int NodesNamed(const TKeywordTable& table, const std::string& name)
{
    int n = 0;
    for (const TKeywordNode* p = table.Buckets()[KeywordBucket(name, table.BucketCount())]; p; p = p->Next)
        if (p->Name == name) ++n;
    return n;
}

int TotalNodes(const TKeywordTable& table)
{
    int n = 0;
    for (int b = 0; b < table.BucketCount(); ++b)
        for (const TKeywordNode* p = table.Buckets()[b]; p; p = p->Next) ++n;
    return n;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(KeywordBucketTest, ProductOfLastFirstAndMiddleByteModuloBucketCount)
{
    struct Case {
        std::string word;
        int bucketCount;
        int bucket;
    } cases[] = {
        {"SELECT", 2003, 1080},
        {"AS", 2003, 150},
        {"A", 2003, 65 * 65 * 65 % 2003},
        {"_", 2003, 95 * 95 * 95 % 2003},
        {"\xFF", 2003, 255 * 255 * 255 % 2003}, // bytes count unsigned
        {"ABC", 2003, 'C' * 'A' * 'B' % 2003},
        {"AXBYC", 2003, 'C' * 'A' * 'B' % 2003}, // only first, middle and last matter
        {"ABCD", 2003, 'D' * 'A' * 'B' % 2003},  // the left one of two middles
        {"SELECT", 7, 529872 % 7},
        {"", 2003, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(KeywordBucket(c.word, c.bucketCount), c.bucket) << c.word;
}

TEST(KeywordTextTest, UpperCaseTrimAndNameCut)
{
    EXPECT_EQ(KeywordUpperCase("select_x$1 é"), "SELECT_X$1 é");
    EXPECT_EQ(KeywordTrim(std::string("\t\r\n SELECT \x01\x20", 13)), "SELECT");
    EXPECT_EQ(KeywordTrim("\xC2\xA0X"), "\xC2\xA0X"); // only bytes 0..32 are blanks

    const std::string fifty(50, 'W');
    EXPECT_EQ(KeywordNameCut(fifty + "X"), fifty);
    std::string chinese;
    for (int i = 0; i < 51; ++i) chinese += "\xE5\xAD\x97"; // 字
    EXPECT_EQ(KeywordNameCut(chinese), chinese.substr(0, 150)); // 50 characters, none split
}

TEST_F(KeywordTablesTest, CreatedEmptyWithFixedBucketCount)
{
    const KeywordList none;
    TKeywordTable table(none, 10);
    EXPECT_EQ(table.BucketCount(), 2003);
    EXPECT_FALSE(table.Loaded());
    EXPECT_EQ(Find(table, "SELECT"), TKeywordTable::EmptyBucket);
    table.LoadWords();
    EXPECT_TRUE(table.Loaded());
    EXPECT_EQ(TotalNodes(table), 0);
}

TEST_F(KeywordTablesTest, FindEntryAndFindWordResults)
{
    // SELECT and SOLXXT share bucket 1080: same first, middle and last bytes.
    const KeywordList lines = {"SELECT,1", "SOLXXT,2", "SELECT,3"};
    TKeywordTable table(lines);
    table.LoadWords();
    ASSERT_EQ(KeywordBucket("SOLXXT", 2003), 1080);

    struct Case {
        std::string key;
        int category;
        int bucket;
        int result;
        std::string nodeName; // empty: no node
        int nodeCategory;
    } entryCases[] = {
        {"SELECT", 1, 1080, 0, "SELECT", 1},
        {"select", 3, 1080, 0, "SELECT", 3}, // FindEntry upper-cases its key
        {" SOLXXT\t", 2, 1080, 0, "SOLXXT", 2},
        {"SELECT", 2, 1080, 1, "SELECT", 3}, // not found: the chain's last node
        {"SALT", 1, 1080, 1, "SELECT", 3},
        {"SELECT", 1, 0, 2, "", 0},
        {"SELECT", 1, -1, 2, "", 0}, // a bucket out of range reads as empty
        {"SELECT", 1, 2003, 2, "", 0},
    };
    for (const Case& c : entryCases) {
        TKeywordNode* node = reinterpret_cast<TKeywordNode*>(1);
        EXPECT_EQ(table.FindEntry(c.key, static_cast<std::uint8_t>(c.category), c.bucket, node), c.result) << c.key;
        if (c.nodeName.empty()) {
            EXPECT_EQ(node, nullptr) << c.key;
        } else {
            ASSERT_NE(node, nullptr) << c.key;
            EXPECT_EQ(node->Name, c.nodeName) << c.key;
            EXPECT_EQ(node->Category, c.nodeCategory) << c.key;
        }
    }

    Case wordCases[] = {
        {"SELECT", 0, 1080, 0, "SELECT", 1}, // the earliest inserted of the same name
        {"  SOLXXT\r\n", 0, 1080, 0, "SOLXXT", 2},
        {"select", 0, 1080, 1, "SELECT", 3}, // FindWord does not upper-case
        {"SELECT", 0, 150, 2, "", 0},
    };
    for (const Case& c : wordCases) {
        const TKeywordNode* node = reinterpret_cast<const TKeywordNode*>(1);
        EXPECT_EQ(table.FindWord(c.key, c.bucket, node), c.result) << c.key;
        if (c.nodeName.empty()) {
            EXPECT_EQ(node, nullptr) << c.key;
        } else {
            ASSERT_NE(node, nullptr) << c.key;
            EXPECT_EQ(node->Name, c.nodeName) << c.key;
            EXPECT_EQ(node->Category, c.nodeCategory) << c.key;
        }
    }
}

TEST_F(KeywordTablesTest, LoadWordsLineRules)
{
    struct Case {
        const char* what;
        KeywordList lines;
        std::string lookup;
        int category; // -1: not found
        int nodes;    // nodes named lookup
        int total;    // nodes in the table
    } cases[] = {
        {"no comma, nothing after it, no digit, a blank before the digit",
         {"SELECT", "SELECT,", "SELECT,x", "SELECT, 1", "", "   ", "\r"}, "SELECT", -1, 0, 0},
        {"a leading comma stores nothing and the load goes on", {",1", "FROM,1"}, "FROM", 1, 1, 1},
        {"lower case stored upper", {"select,1"}, "SELECT", 1, 1, 1},
        {"blanks around the line and text after the digit", {"  select,1 with more text\t"}, "SELECT", 1, 1, 1},
        {"blanks around the word", {"  WHERE  ,2"}, "WHERE", 2, 1, 1},
        {"only the first digit counts", {"SELECT,12"}, "SELECT", 1, 1, 1},
        {"the first comma separates", {"A,3,4"}, "A", 3, 1, 1},
        {"categories outside 1..4 are stored", {"GO,0", "X,9"}, "X", 9, 1, 2},
        {"a trailing CR is trimmed", {"WHERE,3\r"}, "WHERE", 3, 1, 1},
        {"the same word and category twice: one node", {"SELECT,1", "SELECT,1"}, "SELECT", 1, 1, 1},
        {"a second category: two nodes, the first wins", {"SELECT,1", "SELECT,2"}, "SELECT", 1, 2, 2},
        {"the first line's category wins", {"SELECT,2", "SELECT,1"}, "SELECT", 2, 2, 2},
        {"non-ASCII letters stay as they are", {"s\xC3\xA9lect,2"}, "S\xC3\xA9LECT", 2, 1, 1},
        {"non-ASCII letters are not case-folded", {"s\xC3\xA9lect,2"}, "S\xC3\x89LECT", -1, 0, 1},
        {"ORDER BY keeps its blank", {"ORDER BY,1"}, "ORDER BY", 1, 1, 1},
        {"ORDER BY does not match ORDER", {"ORDER BY,1"}, "ORDER", -1, 0, 1},
    };
    for (const Case& c : cases) {
        TKeywordTable table(c.lines);
        table.LoadWords();
        EXPECT_TRUE(table.Loaded()) << c.what;
        EXPECT_EQ(CategoryOf(table, c.lookup), c.category) << c.what;
        EXPECT_EQ(NodesNamed(table, c.lookup), c.nodes) << c.what;
        EXPECT_EQ(TotalNodes(table), c.total) << c.what;
    }
}

TEST_F(KeywordTablesTest, LongWordIsStoredCutAndNeverFound)
{
    const std::string long51 = std::string(50, 'L') + "X";
    const std::string long50 = std::string(50, 'L');
    const KeywordList lines = {long51 + ",1", long51 + ",1"};
    TKeywordTable table(lines);
    table.LoadWords();
    EXPECT_TRUE(table.Loaded());
    // The node sits in the whole word's bucket under the cut name, so neither lookup finds it, and
    // each repetition adds a node.
    EXPECT_EQ(Find(table, long51), TKeywordTable::NotFound);
    EXPECT_EQ(Find(table, long50), TKeywordTable::EmptyBucket);
    int cut = 0;
    for (const TKeywordNode* p = table.Buckets()[KeywordBucket(long51, table.BucketCount())]; p; p = p->Next)
        if (p->Name == long50) ++cut;
    EXPECT_EQ(cut, 2);
    EXPECT_EQ(TotalNodes(table), 2);
}

TEST_F(KeywordTablesTest, AddWordResults)
{
    const KeywordList none;
    TKeywordTable table(none);
    EXPECT_EQ(table.AddWord(" \t ", 1), 0);
    EXPECT_EQ(TotalNodes(table), 0);
    EXPECT_EQ(table.AddWord("from", 1), 0);
    EXPECT_EQ(table.AddWord("FROM", 1), 0);
    EXPECT_EQ(TotalNodes(table), 1);

    TKeywordTable::FailAllocationAfter(0);
    EXPECT_EQ(table.AddWord("WHERE", 1), -1);
    EXPECT_EQ(Find(table, "WHERE"), TKeywordTable::EmptyBucket); // the table is unchanged
    EXPECT_EQ(table.AddWord("FROM", 2), 0);                      // the seam failed once only
    EXPECT_EQ(NodesNamed(table, "FROM"), 2);
}

TEST_F(KeywordTablesTest, FailedAllocationStopsTheLoadAndKeepsEarlierWords)
{
    const KeywordList lines = {"SELECT,1", ",1", "SELECT,1", "FROM,1", "WHERE,2", "ORDER,1", "GROUP,1"};
    TKeywordTable table(lines);
    TKeywordTable::FailAllocationAfter(2); // SELECT and FROM get their nodes, WHERE does not
    table.LoadWords();
    EXPECT_FALSE(table.Loaded());
    EXPECT_EQ(CategoryOf(table, "SELECT"), 1);
    EXPECT_EQ(CategoryOf(table, "FROM"), 1);
    for (const char* missing : {"WHERE", "ORDER", "GROUP"}) EXPECT_EQ(CategoryOf(table, missing), -1) << missing;
    EXPECT_EQ(TotalNodes(table), 2);
}

TEST_F(KeywordTablesTest, ReadKeywordFileSplitsLines)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    struct Case {
        std::string bytes;
        KeywordList lines;
    } cases[] = {
        {"SELECT,1\r\nFROM,1\r\n", {"SELECT,1", "FROM,1"}},
        {"SELECT,1\nFROM,1", {"SELECT,1", "FROM,1"}},
        {"\xEF\xBB\xBFSELECT,1\n\nFROM,1\n", {"SELECT,1", "", "FROM,1"}},
        {"", {}},
        // Lines end at CR LF, LF or CR alone, in any mix.
        {"SELECT,1\rFROM,1\rWHERE,2", {"SELECT,1", "FROM,1", "WHERE,2"}},
        {"A,1\r\nB,1\nC,1\rD,1\r", {"A,1", "B,1", "C,1", "D,1"}},
        {"A,1\r\r\nB,1\n\rC,1", {"A,1", "", "B,1", "", "C,1"}},
    };
    for (const Case& c : cases) {
        WriteFile(folder + "/k.dat", c.bytes);
        KeywordList list = {"stale"};
        EXPECT_TRUE(ReadKeywordFile(folder + "/k.dat", list));
        EXPECT_EQ(list, c.lines) << c.bytes;
    }
    KeywordList list = {"stale"};
    EXPECT_FALSE(ReadKeywordFile(folder + "/absent.dat", list));
    EXPECT_TRUE(list.empty());
}

TEST_F(KeywordTablesTest, LoadsTheFilesOfAFolderAndBuildsEachTableFromItsOwnList)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    // Kind 4's file is missing, kind 5's name is in lower case; each file names its own kind.
    for (int kind = 1; kind <= 8; ++kind) {
        if (kind == 4) continue;
        std::string name = KeywordFileName(kind);
        if (kind == 5) name = "srcrequ_5.dat";
        WriteFile(folder + "/" + name, "SELECT,1\r\nKIND" + std::to_string(kind) + ",2\r\n");
    }
    KeywordList_SYBASE = {"STALE,1"};
    LoadKeywordFiles(folder);
    EXPECT_TRUE(KeywordList_SYBASE.empty());
    EXPECT_EQ(KeywordList_INFORMIX, (KeywordList{"SELECT,1", "KIND5,2"}));

    for (int kind = 1; kind <= 8; ++kind) EXPECT_EQ(KeywordTableOfKind(kind), nullptr);
    CreateKeywordTables();
    const std::vector<std::pair<int, TKeywordTable*>> instances = {
        {1, Hash_DB2},      {2, Hash_MSSQLSERVER}, {3, Hash_ORACLE}, {4, Hash_SYBASE},
        {5, Hash_INFORMIX}, {6, Hash_ACCESS},      {7, Hash_MYSQL},  {8, Hash_FOXPRO},
    };
    for (const auto& [kind, instance] : instances) {
        TKeywordTable* table = KeywordTableOfKind(kind);
        ASSERT_NE(table, nullptr) << kind;
        EXPECT_EQ(table, instance) << kind;
        EXPECT_TRUE(table->Loaded()) << kind;
        for (int other = 1; other <= 8; ++other)
            EXPECT_EQ(CategoryOf(*table, "KIND" + std::to_string(other)), other == kind && kind != 4 ? 2 : -1)
                << kind << " " << other;
        EXPECT_EQ(Find(*table, "SELECT"), kind == 4 ? TKeywordTable::EmptyBucket : TKeywordTable::Found) << kind;
    }
    for (int kind : {0, 9, 11, 20, -1}) EXPECT_EQ(KeywordTableOfKind(kind), nullptr) << kind;

    FreeKeywordTables();
    for (const auto& [kind, instance] : instances) EXPECT_EQ(KeywordTableOfKind(kind), nullptr) << kind;
    EXPECT_EQ(Hash_DB2, nullptr);
    EXPECT_EQ(Hash_FOXPRO, nullptr);
}

TEST_F(KeywordTablesTest, ShippedKeywordFilesAreRealAndWellFormed)
{
    const std::regex lineFormat(R"(^[A-Z0-9_$@#]+,[1-4]$)");
    struct Known {
        int kind;
        std::string word;
        int category;
    } known[] = {
        {1, "FETCH", 1},          {1, "VARGRAPHIC", 3},     {1, "DIGITS", 2},        {1, "SYSCAT", 4},
        {2, "IDENTITY_INSERT", 1}, {2, "NVARCHAR", 3},     {2, "SCOPE_IDENTITY", 2}, {2, "@@ROWCOUNT", 4},
        {2, "SP_EXECUTESQL", 4},  {3, "ROWNUM", 1},        {3, "VARCHAR2", 3},      {3, "DECODE", 2},
        {3, "DUAL", 4},           {3, "V$SESSION", 4},     {4, "SYB_IDENTITY", 1},  {4, "UNIVARCHAR", 3},
        {4, "STR_REPLACE", 2},    {4, "SYBSYSTEMPROCS", 4}, {5, "MATCHES", 1},      {5, "LVARCHAR", 3},
        {5, "MDY", 2},            {5, "SYSTABLES", 4},     {6, "DISTINCTROW", 1},   {6, "MEMO", 3},
        {6, "NZ", 2},             {6, "MSYSOBJECTS", 4},   {7, "AUTO_INCREMENT", 1}, {7, "MEDIUMTEXT", 3},
        {7, "GROUP_CONCAT", 2},   {7, "INFORMATION_SCHEMA", 4}, {8, "SCATTER", 1},  {8, "MEMO", 3},
        {8, "ALLTRIM", 2},        {8, "_TALLY", 4},
    };
    for (int kind = 1; kind <= 8; ++kind) {
        KeywordList& list = *KeywordListOfKind(kind);
        ASSERT_TRUE(ReadKeywordFile(std::string(TARNVALE_DATA_DIR) + "/" + KeywordFileName(kind), list)) << kind;
        EXPECT_GE(list.size(), 150u) << kind;
        std::set<std::string> words;
        std::set<char> categories;
        for (const std::string& line : list) {
            EXPECT_TRUE(std::regex_match(line, lineFormat)) << kind << ": " << line;
            const std::string word = line.substr(0, line.find(','));
            EXPECT_TRUE(words.insert(word).second) << kind << ": " << word << " listed twice";
            categories.insert(line.back());
        }
        EXPECT_EQ(categories, (std::set<char>{'1', '2', '3', '4'})) << kind;
    }
    CreateKeywordTables();
    for (int kind = 1; kind <= 8; ++kind) {
        const TKeywordTable& table = *KeywordTableOfKind(kind);
        EXPECT_TRUE(table.Loaded()) << kind;
        EXPECT_EQ(static_cast<std::size_t>(TotalNodes(table)), KeywordListOfKind(kind)->size()) << kind;
        EXPECT_EQ(CategoryOf(table, "SELECT"), 1) << kind;
    }
    for (const Known& k : known) EXPECT_EQ(CategoryOf(*KeywordTableOfKind(k.kind), k.word), k.category) << k.kind << " " << k.word;
    // The files are the dialects' own, not copies of one another.
    EXPECT_EQ(CategoryOf(*Hash_MSSQLSERVER, "ROWNUM"), -1);
    EXPECT_EQ(CategoryOf(*Hash_ORACLE, "@@ROWCOUNT"), -1);
    EXPECT_EQ(CategoryOf(*Hash_ACCESS, "ALLTRIM"), -1);
}

} // namespace
