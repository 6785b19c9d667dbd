#include "FindReplaceController.h"
#include "FindReplaceDialog.h"
#include "OstrelLibrary.h"
#include "ResultTextView.h"
#include "SqlEditorTestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The window's dialogs, driven by their buttons, with the built search library loaded.
class FindReplace : public SqlEditorTest {
protected:
    static void SetUpTestSuite()
    {
        SqlEditorTest::SetUpTestSuite();
        OstrelLibrary::Load(QStringLiteral(TV_OSTREL_DIR));
    }
    static void TearDownTestSuite()
    {
        OstrelLibrary::Unload();
        SqlEditorTest::TearDownTestSuite();
    }
    void SetUp() override
    {
        SqlEditorTest::SetUp();
        ASSERT_TRUE(OstrelLibrary::IsLoaded());
        w.setWindowTitle(u"无标题1"_s);
        w.DbmsKind = 2;
        w.resize(700, 500);
        w.show();
        Settle();
    }
    void TearDown() override
    {
        FindReplaceController::MessagesFindSlice = defaultSlice_;
        SqlEditorTest::TearDown();
    }

    static FindReplaceController& Finds(TFMain& window) { return *window.findChild<FindReplaceController*>(); }
    // Find Next in the messages page's dialog, and the events until that find has ended.
    void FindNextInMessages()
    {
        w.FindDialog1->FindNextButton->click();
        ASSERT_TRUE(WaitUntil([this] { return !Finds(w).MessagesFindRunning(); }));
    }
    // Lines like a run's messages, each numbered; needles at some of them.
    static QStringList MessageLines(int count)
    {
        QStringList lines;
        for (int i = 0; i < count; ++i) lines << QStringLiteral("（所影响的行数为 %1 行）").arg(i);
        return lines;
    }

    void Use(FindReplaceDialog* d, const QString& find, std::uint32_t options, const QString& replace = {})
    {
        d->SetFindText(find);
        d->SetReplaceText(replace);
        d->SetOptions(options);
    }
    std::pair<int, int> Selection(const QPlainTextEdit* e) const
    {
        const QTextCursor c = e->textCursor();
        return {c.selectionStart(), c.selectionEnd() - c.selectionStart()};
    }
    std::pair<int, int> Selection(const ResultTextView* e) const
    {
        return {e->SelectionStart(), e->SelectionEnd() - e->SelectionStart()};
    }
    static void MoveCaret(QPlainTextEdit* e, int position, int anchor = -1) { ::MoveCaret(e, position, anchor); }
    static void MoveCaret(ResultTextView* e, int position) { e->SetSelection(position, position); }
    void ExpectNotFound(const QString& find, const char* where)
    {
        ASSERT_EQ(prompter.Prompts.size(), 1u) << where;
        EXPECT_EQ(prompter.Prompts[0].Text, u"找不到 \""_s + find + u"\""_s) << where;
        EXPECT_EQ(prompter.Prompts[0].Caption, u"无标题1"_s) << where;
        EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation) << where;
        prompter.Prompts.clear();
    }

    TFMain w;

private:
    const std::chrono::nanoseconds defaultSlice_ = FindReplaceController::MessagesFindSlice;
};

TEST_F(FindReplace, TheDialogsAndTheirTexts)
{
    const std::pair<FindReplaceDialog*, const char*> dialogs[] = {
        {w.FindDialog1, "FindDialog1"}, {w.FindDialog_sql, "FindDialog_sql"}, {w.ReplaceDialog1, "ReplaceDialog1"}};
    for (auto [d, name] : dialogs) {
        ASSERT_NE(d, nullptr) << name;
        EXPECT_EQ(d->objectName(), QString::fromLatin1(name));
        EXPECT_FALSE(d->isModal());
        // Down is the starting direction, and nothing can be searched without a find text.
        EXPECT_TRUE(d->Options() & FR_DOWN) << name;
        EXPECT_FALSE(d->FindNextButton->isEnabled()) << name;
        d->SetFindText(u"x"_s);
        EXPECT_TRUE(d->FindNextButton->isEnabled()) << name;
    }
    EXPECT_EQ(w.FindDialog_sql->windowTitle(), u"查找"_s);
    EXPECT_EQ(w.ReplaceDialog1->windowTitle(), u"替换"_s);
    EXPECT_EQ(w.ReplaceDialog1->UpButton, nullptr);
    EXPECT_NE(w.ReplaceDialog1->ReplaceAllButton, nullptr);
    w.FindDialog_sql->MatchCaseBox->setChecked(true);
    w.FindDialog_sql->UpButton->setChecked(true);
    EXPECT_EQ(w.FindDialog_sql->Options(), FR_MATCHCASE);
    w.FindDialog_sql->FindNextButton->click();
    EXPECT_EQ(w.FindDialog_sql->Options(), FR_MATCHCASE | FR_FINDNEXT);
}

TEST_F(FindReplace, FindNextDownWalksTheMatchesOfTheEditor)
{
    w.RichEdit_sql->setPlainText(u"select a;\nSELECT b; selected\nselect c"_s);
    MoveCaret(w.RichEdit_sql, 0);
    Use(w.FindDialog_sql, u"select"_s, FR_DOWN);
    const std::pair<int, int> expected[] = {{0, 6}, {10, 6}, {20, 6}, {29, 6}};
    for (auto e : expected) {
        w.FindDialog_sql->FindNextButton->click();
        EXPECT_EQ(Selection(w.RichEdit_sql), e);
    }
    EXPECT_TRUE(prompter.Prompts.empty());
    w.FindDialog_sql->FindNextButton->click();
    ExpectNotFound(u"select"_s, "after the last");
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(29, 6));

    // Match case, whole word.
    MoveCaret(w.RichEdit_sql, 0);
    Use(w.FindDialog_sql, u"SELECT"_s, FR_DOWN | FR_MATCHCASE);
    w.FindDialog_sql->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(10, 6));
    Use(w.FindDialog_sql, u"select"_s, FR_DOWN | FR_WHOLEWORD);
    w.FindDialog_sql->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(29, 6));
}

TEST_F(FindReplace, FindNextUpUsesTheSearchLibrary)
{
    w.RichEdit_sql->setPlainText(u"中文select a;\nselect b"_s);
    MoveCaret(w.RichEdit_sql, 20);
    Use(w.FindDialog_sql, u"SELECT"_s, 0);
    w.FindDialog_sql->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(12, 6));
    w.FindDialog_sql->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(2, 6));
    w.FindDialog_sql->FindNextButton->click();
    ExpectNotFound(u"SELECT"_s, "above the first");
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(2, 6));
}

TEST_F(FindReplace, WholeWordsFollowOneRuleInBothDirectionsAndInTheReplaceDialog)
{
    // "_" and digits belong to a word, a CJK character too; blanks and punctuation end it.
    w.RichEdit_sql->setPlainText(u"select user_id, id2, 中id, ID from t_id where id = 1"_s);
    const int standalone = 26, last = 45, end = 51;
    struct Step {
        std::uint32_t options;
        int caret;
        std::pair<int, int> expected;
    };
    const Step steps[] = {
        {FR_DOWN | FR_WHOLEWORD, 0, {standalone, 2}},
        {FR_DOWN | FR_WHOLEWORD, standalone + 2, {last, 2}},
        {FR_DOWN | FR_WHOLEWORD | FR_MATCHCASE, 0, {last, 2}},
        {FR_WHOLEWORD, end, {last, 2}},
        {FR_WHOLEWORD, last, {standalone, 2}},
        {FR_WHOLEWORD | FR_MATCHCASE, last, {-1, 0}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.options);
        MoveCaret(w.RichEdit_sql, s.caret);
        Use(w.FindDialog_sql, u"id"_s, s.options);
        w.FindDialog_sql->FindNextButton->click();
        if (s.expected.first < 0) {
            ExpectNotFound(u"id"_s, "no whole word \"id\" above");
        } else {
            EXPECT_EQ(Selection(w.RichEdit_sql), s.expected);
        }
    }
    // The replace dialog's Find Next searches down by the same rule.
    MoveCaret(w.RichEdit_sql, 0);
    Use(w.ReplaceDialog1, u"id"_s, FR_DOWN | FR_WHOLEWORD);
    w.ReplaceDialog1->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(standalone, 2));
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(FindReplace, AMissingLibraryFindsNothing)
{
    OstrelLibrary::Unload();
    w.RichEdit_sql->setPlainText(u"select select"_s);
    w.RichEdit_result->setPlainText(u"select select"_s);
    MoveCaret(w.RichEdit_sql, 13);
    Use(w.FindDialog_sql, u"select"_s, 0);
    w.FindDialog_sql->FindNextButton->click();
    ExpectNotFound(u"select"_s, "editor up");
    MoveCaret(w.RichEdit_sql, 0);
    Use(w.FindDialog_sql, u"select"_s, FR_DOWN);
    w.FindDialog_sql->FindNextButton->click();
    ExpectNotFound(u"select"_s, "editor down");
    Use(w.FindDialog1, u"select"_s, FR_DOWN);
    MoveCaret(w.RichEdit_result, 0);
    w.FindDialog1->FindNextButton->click();
    ExpectNotFound(u"select"_s, "messages down");
    OstrelLibrary::Load(QStringLiteral(TV_OSTREL_DIR));
}

TEST_F(FindReplace, FindInTheMessagesPage)
{
    w.RichEdit_result->setPlainText(u"（所影响的行数为 1 行）\n（所影响的行数为 2 行）"_s);
    MoveCaret(w.RichEdit_result, 0);
    Use(w.FindDialog1, u"行数"_s, FR_DOWN);
    w.FindDialog1->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(5, 2));
    w.FindDialog1->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(19, 2));
    w.FindDialog1->FindNextButton->click();
    ExpectNotFound(u"行数"_s, "messages after the last");
    // A selection keeps its start and gets the find text's length.
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(19, 2));

    Use(w.FindDialog1, u"行数"_s, 0);
    w.FindDialog1->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(5, 2));
    w.FindDialog1->FindNextButton->click();
    ExpectNotFound(u"行数"_s, "messages above the first");
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(5, 2));

    // Nothing found down from an empty selection: the characters before the caret get selected.
    MoveCaret(w.RichEdit_result, 25);
    Use(w.FindDialog1, u"none"_s, FR_DOWN);
    w.FindDialog1->FindNextButton->click();
    ExpectNotFound(u"none"_s, "messages from the caret");
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(21, 4));
    MoveCaret(w.RichEdit_result, 2);
    w.FindDialog1->FindNextButton->click();
    ExpectNotFound(u"none"_s, "messages near the start");
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(0, 2));
}

TEST(FindDialogPlace, OffTheTextFoundWithinTheScreen)
{
    const QRect screen(0, 0, 1000, 800);
    struct Case {
        const char* What;
        QRect Frame;
        QRect Found;
        QPoint To;
    };
    const Case cases[] = {
        {"clear of the text: stays", {100, 100, 300, 150}, {100, 300, 40, 16}, {100, 100}},
        {"over the text: just below it", {100, 100, 300, 150}, {150, 120, 40, 16}, {100, 144}},
        {"no room below: just above it", {100, 600, 300, 150}, {150, 700, 40, 16}, {100, 542}},
        {"no room either way: the side with more room", {100, 0, 300, 700}, {150, 300, 40, 16}, {100, 324}},
        {"out of the screen sideways: pulled in", {900, 100, 300, 150}, {950, 120, 40, 16}, {700, 144}},
    };
    for (const Case& c : cases) EXPECT_EQ(FindReplaceDialog::PlaceClearOf(c.Frame, c.Found, screen), c.To) << c.What;
}

TEST_F(FindReplace, AfterAHitTheDialogLeavesTheTextFoundInView)
{
    // The results area shows, as it does from the first run on.
    w.PrepareForRun();
    Settle();
    QString lines;
    for (int i = 0; i < 40; ++i) lines += u"line %1 of the text\n"_s.arg(i);
    w.RichEdit_sql->setPlainText(lines + u"select here"_s);
    w.RichEdit_result->setPlainText(lines + u"（所影响的行数为 1 行）"_s);
    auto editorSelection = [this] {
        QTextCursor start = w.RichEdit_sql->textCursor(), end = start;
        start.setPosition(start.selectionStart());
        end.setPosition(end.selectionEnd());
        const QRect r = w.RichEdit_sql->cursorRect(start).united(w.RichEdit_sql->cursorRect(end));
        return QRect(w.RichEdit_sql->viewport()->mapToGlobal(r.topLeft()), r.size());
    };
    struct Case {
        const char* What;
        FindReplaceDialog* Dialog;
        QWidget* View;
        QString Find;
    };
    const Case cases[] = {
        {"find in the editor", w.FindDialog_sql, w.RichEdit_sql, u"here"_s},
        {"find of the replace dialog", w.ReplaceDialog1, w.RichEdit_sql, u"here"_s},
        {"find in the messages page", w.FindDialog1, w.RichEdit_result, u"行数"_s},
    };
    for (const Case& c : cases) {
        if (c.View == w.RichEdit_sql) MoveCaret(w.RichEdit_sql, 0);
        else MoveCaret(w.RichEdit_result, 0);
        Use(c.Dialog, c.Find, FR_DOWN);
        c.Dialog->Execute();
        Settle();
        // The dialog stands where the match will show: over the view's last lines.
        const QRect view(c.View->mapToGlobal(QPoint(0, 0)), c.View->size());
        c.Dialog->move(view.left() + 10, view.bottom() - c.Dialog->frameGeometry().height() / 2);
        Settle();
        ASSERT_TRUE(c.Dialog->frameGeometry().intersects(view)) << c.What;
        c.Dialog->FindNextButton->click();
        Settle();
        EXPECT_TRUE(prompter.Prompts.empty()) << c.What;
        QRect found;
        if (c.View == w.RichEdit_sql) {
            ASSERT_EQ(w.RichEdit_sql->textCursor().selectedText(), c.Find) << c.What;
            found = editorSelection();
        } else {
            ASSERT_EQ(w.RichEdit_result->SelectedText(), c.Find) << c.What;
            // The match is the last line's; the caret stands at its end.
            const QRect caret = static_cast<QWidget*>(w.RichEdit_result)->inputMethodQuery(Qt::ImCursorRectangle).toRect();
            const int width = w.RichEdit_result->fontMetrics().horizontalAdvance(c.Find);
            found = QRect(w.RichEdit_result->viewport()->mapToGlobal(QPoint(caret.right() - width, caret.top())),
                          QSize(width + 1, caret.height()));
        }
        EXPECT_TRUE(view.contains(found.center())) << c.What << ": the match is scrolled into view";
        EXPECT_FALSE(c.Dialog->frameGeometry().intersects(found)) << c.What;
        c.Dialog->hide();
    }
}

TEST_F(FindReplace, FindInAMessagesPageOfManyLinesWalksEveryMatchBothWays)
{
    // Several slices of lines the find reads one at a time; whole words at line and slice ends.
    QStringList lines = MessageLines(300000);
    for (int i : {1, 69999, 70000, 70001, 150000, 299999}) lines[i] = QStringLiteral("needle %1 needles").arg(i);
    lines[200000] = QStringLiteral("needles");
    lines[299999] += QStringLiteral(" needle");
    w.RichEdit_result->appendPlainText(lines.join(QLatin1Char('\n')));
    const QString whole = w.RichEdit_result->toPlainText();
    std::vector<int> matches;
    for (int at = whole.indexOf(u"needle"_s); at >= 0; at = whole.indexOf(u"needle"_s, at + 1))
        if (whole.mid(at + 6, 1) != u"s"_s) matches.push_back(at);
    ASSERT_EQ(matches.size(), 7u);

    // The same matches whether a find goes on between events after each slice or not at all.
    const std::pair<const char*, std::chrono::nanoseconds> slices[] = {{"as long as a find may run at once",
                                                                        FindReplaceController::MessagesFindSlice},
                                                                       {"a slice between events", {}}};
    for (auto [what, slice] : slices) {
        SCOPED_TRACE(what);
        FindReplaceController::MessagesFindSlice = slice;
        MoveCaret(w.RichEdit_result, 0);
        Use(w.FindDialog1, u"needle"_s, FR_DOWN | FR_WHOLEWORD);
        for (int at : matches) {
            FindNextInMessages();
            EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(at, 6));
        }
        FindNextInMessages();
        ExpectNotFound(u"needle"_s, "after the last");

        MoveCaret(w.RichEdit_result, static_cast<int>(whole.size()));
        Use(w.FindDialog1, u"needle"_s, FR_WHOLEWORD);
        for (auto at = matches.rbegin(); at != matches.rend(); ++at) {
            FindNextInMessages();
            EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(*at, 6));
        }
        FindNextInMessages();
        ExpectNotFound(u"needle"_s, "above the first");
    }
}

TEST_F(FindReplace, ALongFindInTheMessagesGoesOnBetweenEventsUntilItAnswersOrIsGivenUp)
{
    FindReplaceController::MessagesFindSlice = {};
    QStringList lines = MessageLines(300000);
    lines[150000] = lines[299999] = u"needle"_s;
    const QString text = lines.join(QLatin1Char('\n'));
    w.RichEdit_result->appendPlainText(text);
    const int first = static_cast<int>(text.indexOf(u"needle"_s));
    w.FindDialog1->Execute();
    Settle();
    int turns = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++turns; });
    ticker.start(0);
    auto waitCursor = [] { return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor; };

    // The first match, with the wait cursor meanwhile; Find Next pressed meanwhile starts no
    // second find, which would go on to the next match.
    MoveCaret(w.RichEdit_result, 0);
    Use(w.FindDialog1, u"needle"_s, FR_DOWN);
    w.FindDialog1->FindNextButton->click();
    EXPECT_TRUE(Finds(w).MessagesFindRunning());
    EXPECT_TRUE(waitCursor());
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(0, 0));
    QCoreApplication::processEvents();
    w.FindDialog1->FindNextButton->click();
    ASSERT_TRUE(WaitUntil([this] { return !Finds(w).MessagesFindRunning(); }));
    EXPECT_GT(turns, 1) << "the event loop turned during the find";
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(first, 6));
    EXPECT_TRUE(prompter.Prompts.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // No match, while a run appends lines: the answer of the text as the find found it.
    turns = 0;
    MoveCaret(w.RichEdit_result, 100);
    Use(w.FindDialog1, u"absent"_s, FR_DOWN);
    w.FindDialog1->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(100, 0));
    QCoreApplication::processEvents();
    w.RichEdit_result->appendPlainText(u"absent"_s);
    ASSERT_TRUE(WaitUntil([this] { return !Finds(w).MessagesFindRunning(); }));
    EXPECT_GT(turns, 1);
    ExpectNotFound(u"absent"_s, "appended meanwhile");
    EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(94, 6));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Given up: the selection stays, nothing is said.
    struct Stop {
        const char* What;
        std::function<void()> Do;
        bool DialogStays;
    };
    const Stop stops[] = {
        {"Esc in the dialog", [&] { Key(w.FindDialog1->FindEdit, Qt::Key_Escape); }, true},
        {"Esc in the messages", [&] { Key(w.RichEdit_result, Qt::Key_Escape); }, true},
        {"the dialog's cancel button", [&] { w.FindDialog1->CancelButton->click(); }, false},
        {"the dialog closed", [&] { w.FindDialog1->close(); }, false},
        {"the messages cleared and filled again",
         [&] {
             w.RichEdit_result->clear();
             w.RichEdit_result->appendPlainText(text);
         },
         true},
        {"the window closed", [&] { w.close(); }, true},
    };
    for (const Stop& stop : stops) {
        SCOPED_TRACE(stop.What);
        w.FindDialog1->Execute();
        Settle();
        MoveCaret(w.RichEdit_result, 0);
        Use(w.FindDialog1, u"needle"_s, FR_DOWN);
        w.FindDialog1->FindNextButton->click();
        ASSERT_TRUE(Finds(w).MessagesFindRunning());
        QCoreApplication::processEvents();
        stop.Do();
        // Long enough for the find to have ended had it gone on.
        WaitUntil([] { return false; }, 500);
        EXPECT_FALSE(Finds(w).MessagesFindRunning());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(Selection(w.RichEdit_result), std::make_pair(0, 0));
        EXPECT_TRUE(prompter.Prompts.empty());
        EXPECT_EQ(w.FindDialog1->isVisible(), stop.DialogStays);
    }
}

TEST_F(FindReplace, AWindowDeletedDuringAFindInItsMessagesLeavesNothingBehind)
{
    FindReplaceController::MessagesFindSlice = {};
    auto window = std::make_unique<TFMain>();
    window->resize(700, 500);
    window->show();
    QStringList lines = MessageLines(300000);
    lines.back() = u"needle"_s;
    window->RichEdit_result->appendPlainText(lines.join(QLatin1Char('\n')));
    window->FindDialog1->Execute();
    Use(window->FindDialog1, u"needle"_s, FR_DOWN);
    window->FindDialog1->FindNextButton->click();
    ASSERT_TRUE(Finds(*window).MessagesFindRunning());
    QCoreApplication::processEvents();
    window.reset();
    Settle();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(FindReplace, ReplaceDialogFindsDownAndCollapsesWhenNothingIsLeft)
{
    w.RichEdit_sql->setPlainText(u"a x a"_s);
    MoveCaret(w.RichEdit_sql, 0);
    // The direction flag is not read: always down.
    Use(w.ReplaceDialog1, u"a"_s, 0);
    w.ReplaceDialog1->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(0, 1));
    w.ReplaceDialog1->FindNextButton->click();
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(4, 1));
    w.ReplaceDialog1->FindNextButton->click();
    ExpectNotFound(u"a"_s, "replace dialog after the last");
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(5, 0));
}

TEST_F(FindReplace, ReplaceReplacesTheSelectionWhateverItHolds)
{
    w.RichEdit_sql->setPlainText(u"select a from t"_s);
    MoveCaret(w.RichEdit_sql, 3);
    Use(w.ReplaceDialog1, u"from"_s, FR_DOWN, u"FROM"_s);
    w.ReplaceDialog1->ReplaceButton->click();
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, u"请先查找 \"from\""_s);
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.Prompts[0].Caption, u"无标题1"_s);
    EXPECT_EQ(Text(w.RichEdit_sql), u"select a from t"_s);
    prompter.Prompts.clear();

    MoveCaret(w.RichEdit_sql, 8, 7); // "a"
    const int before = w.UndoCount;
    w.ReplaceDialog1->ReplaceButton->click();
    EXPECT_EQ(Text(w.RichEdit_sql), u"select FROM from t"_s);
    EXPECT_EQ(Selection(w.RichEdit_sql), std::make_pair(7, 4));
    EXPECT_EQ(w.UndoCount, before + 1);
    EXPECT_TRUE(prompter.Prompts.empty());
}

struct ReplaceAllCase {
    const char* what;
    QString text, find, replace;
    std::uint32_t options;
    QString expected; // empty: no occurrence
};

TEST_F(FindReplace, ReplaceAllReplacesEveryOccurrenceOnceInOneStep)
{
    const ReplaceAllCase cases[] = {
        {"banana", u"banana"_s, u"a"_s, u"ab"_s, 0, u"babnabnab"_s},
        {"case off", u"abAB"_s, u"AB"_s, u"x"_s, 0, u"xx"_s},
        {"case on", u"abAB"_s, u"AB"_s, u"x"_s, FR_MATCHCASE, u"abx"_s},
        {"whole word is not applied", u"select selected"_s, u"select"_s, u"s"_s, FR_WHOLEWORD, u"s sed"_s},
        {"CJK text", u"用户表\n用户 用户"_s, u"用户"_s, u"客户"_s, 0, u"客户表\n客户 客户"_s},
        {"never inside a character", u"\U00020000\U00020001"_s, u"\xd840"_s.left(1), u"x"_s, 0, QString()},
        {"characters outside the basic plane", u"a\U00020000b\U00020000"_s, u"\U00020000"_s, u"中"_s, 0, u"a中b中"_s},
        {"no occurrence", u"select"_s, u"from"_s, u"x"_s, 0, QString()},
    };
    for (const ReplaceAllCase& c : cases) {
        w.RichEdit_sql->setPlainText(c.text);
        w.RichEdit_sql->document()->setModified(false);
        const int before = w.UndoCount;
        const QString newest = w.History[64].Text.ToString();
        Use(w.ReplaceDialog1, c.find, c.options, c.replace);
        w.ReplaceDialog1->ReplaceAllButton->click();
        if (c.expected.isEmpty()) {
            ExpectNotFound(c.find, c.what);
            EXPECT_EQ(Text(w.RichEdit_sql), c.text) << c.what;
            EXPECT_EQ(w.UndoCount, before) << c.what;
            EXPECT_EQ(w.History[64].Text, newest) << c.what;
            continue;
        }
        EXPECT_TRUE(prompter.Prompts.empty()) << c.what;
        prompter.Prompts.clear();
        EXPECT_EQ(Text(w.RichEdit_sql), c.expected) << c.what;
        EXPECT_EQ(w.UndoCount, before + 1) << c.what;
        EXPECT_EQ(w.History[64].Text, c.expected) << c.what;
        EXPECT_TRUE(w.RichEdit_sql->document()->isModified()) << c.what;
    }
    // One undo takes the whole replacement back.
    w.RichEdit_sql->setPlainText(u"banana"_s);
    Use(w.ReplaceDialog1, u"a"_s, 0, u"ab"_s);
    w.ReplaceDialog1->ReplaceAllButton->click();
    w.ToolButton_undosqlClick();
    EXPECT_EQ(Text(w.RichEdit_sql), u"banana"_s);
}

TEST_F(FindReplace, ReplaceAllColoursTheNewText)
{
    w.RichEdit_sql->setPlainText(u"x a\ny a\n"_s);
    Use(w.ReplaceDialog1, u"a"_s, 0, u"from"_s);
    w.ReplaceDialog1->ReplaceAllButton->click();
    EXPECT_EQ(RangeColour(w.RichEdit_sql, 2, 4), Blue);
    EXPECT_EQ(RangeColour(w.RichEdit_sql, 9, 4), Blue);
}

} // namespace
