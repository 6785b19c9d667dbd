// Measures what the first display of a statement on one line costs in a SQL editor set up as the
// query window sets it up for a long line (wrapped at the window's edge, the line's glyphs kept),
// under the offscreen platform, at N and 2N bytes: the line's layout as plain text, with the
// keyword colours as the window applies them, with runs of one colour merged across blanks, and
// with only the line's first screenful coloured; then, for that last way, the cost of colouring
// the next screenful (a format change lays the whole line out again). Each figure is the median of
// REPEAT (3) runs, interleaved.
#include "BenchScript.h"
#include "KeywordColours.h"
#include "KeywordLists.h"
#include "KeywordTables.h"
#include "LineColouring.h"
#include "Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// Runs of one colour whose gaps hold only blanks become one run: a blank shows no colour.
std::vector<ColourRun> MergedAcrossBlanks(const QString& line, const std::vector<ColourRun>& runs)
{
    std::vector<ColourRun> merged;
    for (const ColourRun& run : runs) {
        if (!merged.empty() && merged.back().Colour == run.Colour) {
            ColourRun& last = merged.back();
            const int gapFrom = last.Start + last.Length;
            bool blank = gapFrom <= run.Start;
            for (int i = gapFrom; blank && i < run.Start; ++i) blank = line.at(i).isSpace();
            if (blank) {
                last.Length = run.Start + run.Length - last.Start;
                continue;
            }
        }
        merged.push_back(run);
    }
    return merged;
}

// Colours the runs that start at from or later, black first when from is 0, in one edit (no caret
// places are worked out inside it).
void Apply(QTextDocument& document, const std::vector<ColourRun>& runs, int from = 0)
{
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    auto colour = [&cursor](int start, int end, const QColor& c) {
        QTextCharFormat f;
        f.setForeground(c);
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(f);
    };
    if (from == 0) colour(0, document.characterCount() - 1, KeywordColours::Plain);
    for (const ColourRun& run : runs)
        if (run.Start >= from) colour(run.Start, run.Start + run.Length, run.Colour);
    cursor.endEditBlock();
}

struct Editor {
    QPlainTextEdit edit;
    Editor()
    {
        edit.resize(1000, 700);
        edit.setWordWrapMode(QTextOption::WrapAnywhere);
        edit.setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit.show();
        QApplication::processEvents();
    }
};

// The time from giving the editor a document to its first paint (the layout of the line included).
double FirstDisplay(Editor& e, QTextDocument* document)
{
    QElapsedTimer t;
    t.start();
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->firstBlock().layout()->setCacheEnabled(true);
    e.edit.setDocument(document);
    e.edit.viewport()->repaint();
    QApplication::processEvents();
    return Ms(t);
}

// Coloured before it has a layout, as the window colours a script it opens.
QTextDocument* Document(const QString& text)
{
    auto* document = new QTextDocument;
    document->setPlainText(text);
    return document;
}

using Figures = std::map<std::string, double>;

Figures Measure(const QString& line)
{
    Figures f;
    const std::vector<ColourRun> runs = LineColourRuns(line, 0, false, 2);
    const std::vector<ColourRun> merged = MergedAcrossBlanks(line, runs);
    f["runs"] = static_cast<double>(runs.size());
    f["merged runs"] = static_cast<double>(merged.size());
    // The first screenful: 1000 px wide, 700 px high, a little over 4,000 characters.
    constexpr int Screenful = 20000;
    std::vector<ColourRun> first, second;
    for (const ColourRun& r : runs) {
        if (r.Start < Screenful) first.push_back(r);
        if (r.Start < 2 * Screenful) second.push_back(r);
    }
    struct Way {
        const char* Name;
        const std::vector<ColourRun>* Runs;
    };
    const std::vector<ColourRun> none;
    const Way ways[] = {{"plain", &none}, {"coloured", &runs}, {"merged", &merged}, {"first screen coloured", &first}};
    for (const Way& way : ways) {
        Editor e;
        QTextDocument* document = Document(line);
        QElapsedTimer t;
        t.start();
        Apply(*document, *way.Runs);
        f[std::string(way.Name) + " colouring"] = Ms(t);
        f[way.Name] = FirstDisplay(e, document);
        // One layout of the line, as a change of its text or of its formats makes.
        t.restart();
        document->markContentsDirty(0, document->characterCount());
        e.edit.viewport()->repaint();
        QApplication::processEvents();
        f[std::string(way.Name) + " relayout"] = Ms(t);
        if (way.Runs == &first) {
            // The next screenful coloured: the line's layout is dropped and made again.
            t.restart();
            Apply(*document, second, Screenful);
            e.edit.viewport()->repaint();
            QApplication::processEvents();
            f["next screen coloured"] = Ms(t);
        }
        e.edit.setDocument(nullptr);
        delete document;
    }
    return f;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LoadKeywordFiles(TARNVALE_KEYWORD_DIR);
    CreateKeywordTables();
    Settings::WordsAnalyze = true;
    const qsizetype bytes = argc > 1 ? std::atoll(argv[1]) : 5'000'000;
    const int repeat = qEnvironmentVariableIsSet("REPEAT") ? qEnvironmentVariableIntValue("REPEAT") : 3;
    const QString lines[] = {QString::fromUtf8(BenchOneLine(bytes)), QString::fromUtf8(BenchOneLine(2 * bytes))};
    std::map<std::string, std::vector<double>> runs[2];
    for (int r = 0; r < repeat; ++r)
        for (int k = 0; k < 2; ++k)
            for (const auto& [key, value] : Measure(lines[k])) runs[k][key].push_back(value);
    std::printf("first display of one line in the editor, wrapped; medians of %d runs\n", repeat);
    for (int k = 0; k < 2; ++k) {
        auto m = [&](const char* key) { return Median(runs[k][key]); };
        std::printf("  %5.1f MB, %7.0f colour runs (%7.0f merged across blanks):\n", lines[k].size() / 1e6, m("runs"),
                    m("merged runs"));
        for (const char* way : {"plain", "coloured", "merged", "first screen coloured"})
            std::printf("    %-22s colouring %6.0f ms   first display %7.0f ms (/plain %.2f)   one layout of the line %7.0f ms"
                        " (/plain %.2f)\n",
                        way, m((std::string(way) + " colouring").c_str()), m(way), m(way) / m("plain"),
                        m((std::string(way) + " relayout").c_str()),
                        m((std::string(way) + " relayout").c_str()) / m("plain relayout"));
        std::printf("    then the next screen coloured: %7.0f ms\n", m("next screen coloured"));
    }
    FreeKeywordTables();
    ClearKeywordLists();
    return 0;
}
