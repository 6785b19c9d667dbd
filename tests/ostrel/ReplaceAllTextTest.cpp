#include "ReplaceAllText.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(ReplaceAllTextTest, ReplacesEveryOccurrenceOnceFromLeftToRight)
{
    struct Case {
        const char* what;
        QString text;
        QString find;
        QString replace;
        bool matchCase;
        QString expected;
        int count;
    };
    const Case cases[] = {
        {"replace text holds the find text", u"banana"_s, u"a"_s, u"ab"_s, false, u"babnabnab"_s, 3},
        {"doubling is not searched again", u"aa"_s, u"a"_s, u"aa"_s, true, u"aaaa"_s, 2},
        {"case off", u"abAB"_s, u"AB"_s, u"x"_s, false, u"xx"_s, 2},
        {"case on", u"abAB"_s, u"AB"_s, u"x"_s, true, u"abx"_s, 1},
        {"overlaps continue after the occurrence", u"aaa"_s, u"aa"_s, u"b"_s, true, u"ba"_s, 1},
        {"whole word is not applied", u"SELECTED SELECT"_s, u"select"_s, u"X"_s, false, u"XED X"_s, 2},
        {"CJK find and replace", u"用户表 用户"_s, u"用户"_s, u"客户"_s, true, u"客户表 客户"_s, 2},
        {"CJK around ASCII, case off", u"选择select选择SELECT"_s, u"SELECT"_s, u"查"_s, false, u"选择查选择查"_s, 2},
        {"CJK replaced by ASCII", u"甲乙甲"_s, u"甲"_s, u"a"_s, false, u"a乙a"_s, 2},
        {"only ASCII letters are upper-cased", u"école ÉCOLE"_s, u"ÉCOLE"_s, u"x"_s, false, u"école x"_s, 1},
        {"replace by nothing", u"a,b,c"_s, u","_s, QString(), true, u"abc"_s, 2},
        {"supplementary characters", u"\U00020000a\U00020000"_s, u"\U00020000"_s, u"b"_s, true, u"bab"_s, 2},
        {"half a surrogate pair never matches", u"\U00020000"_s, QString(QChar(0xDC00)), u"x"_s, true,
         u"\U00020000"_s, 0},
        {"no occurrence", u"select 1"_s, u"from"_s, u"x"_s, false, u"select 1"_s, 0},
        {"empty find text", u"select 1"_s, QString(), u"x"_s, false, u"select 1"_s, 0},
        {"empty text", QString(), u"a"_s, u"x"_s, false, QString(), 0},
    };
    for (const Case& c : cases) {
        int count = -1;
        EXPECT_EQ(ReplaceAllText(c.text, c.find, c.replace, c.matchCase, &count), c.expected) << c.what;
        EXPECT_EQ(count, c.count) << c.what;
    }
}

} // namespace
