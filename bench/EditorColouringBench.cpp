// Measures the SQL editor's keyword colouring on a 20,000-line script (about 1 MB) in a real query
// window under the offscreen platform: opening the script and colouring it whole, and typing one
// character at a time at lines all over the script, each key recoloured before the next.
#include "BenchScript.h"
#include "KeywordLists.h"
#include "KeywordTables.h"
#include "Settings.h"
#include "TFMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Lines = 20000;

QString Script() { return BenchScript(Lines, QLatin1StringView("\n")); }

struct Figures {
    double median = 0, p95 = 0, worst = 0;
};

Figures Summary(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) return {};
    return {ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back()};
}

double Elapsed(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

void TypeAt(QPlainTextEdit& editor, int position, QChar c)
{
    QTextCursor cursor(editor.document());
    cursor.setPosition(position);
    editor.setTextCursor(cursor);
    const int key = c == QLatin1Char(' ') ? int(Qt::Key_Space) : int(c.toUpper().unicode());
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(&editor, &press);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LoadKeywordFiles(TARNVALE_KEYWORD_DIR);
    CreateKeywordTables();
    Settings::WordsAnalyze = true;

    const QString script = Script();
    std::printf("editor colouring: %d lines, %lld characters, %lld bytes as UTF-8\n", Lines,
                static_cast<long long>(script.size()), static_cast<long long>(script.toUtf8().size()));

    // Opening: a fresh window each time, the script put in as the frame's open command does.
    std::vector<double> opens, openPaints;
    for (int round = 0; round < 5; ++round) {
        TFMain window;
        window.DbmsKind = 2;
        window.resize(1000, 700);
        window.show();
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        window.RichEdit_sql->setPlainText(script);
        opens.push_back(Elapsed(t));
        QApplication::processEvents();
        openPaints.push_back(Elapsed(t));
    }
    const Figures open = Summary(opens), openPaint = Summary(openPaints);
    std::printf("open and colour whole:          median %7.1f ms  worst %7.1f ms  (with the first paint: median %.1f, worst %.1f)\n",
                open.median, open.worst, openPaint.median, openPaint.worst);

    TFMain window;
    window.DbmsKind = 2;
    window.resize(1000, 700);
    window.show();
    window.RichEdit_sql->setPlainText(script);
    QApplication::processEvents();
    QPlainTextEdit& editor = *window.RichEdit_sql;

    // Runs of ten characters ("select x  ") typed at random lines, first line and last line included.
    QRandomGenerator random(20240601);
    const QString typed = QStringLiteral("select x  ");
    std::vector<double> keys, keyPaints;
    for (int run = 0; run < 60; ++run) {
        const int line = run == 0 ? 0 : run == 1 ? Lines - 1 : static_cast<int>(random.bounded(Lines));
        const QTextBlock block = editor.document()->findBlockByNumber(line);
        int position = block.position() + static_cast<int>(random.bounded(block.length()));
        for (const QChar c : typed) {
            QElapsedTimer t;
            t.start();
            TypeAt(editor, position++, c);
            keys.push_back(Elapsed(t));
            QApplication::processEvents();
            keyPaints.push_back(Elapsed(t));
        }
    }
    const Figures key = Summary(keys), keyPaint = Summary(keyPaints);
    std::printf("type one character (%zu keys): median %7.2f ms  p95 %6.2f ms  worst %6.2f ms\n", keys.size(),
                key.median, key.p95, key.worst);
    std::printf("  with its repaint:             median %7.2f ms  p95 %6.2f ms  worst %6.2f ms\n", keyPaint.median,
                keyPaint.p95, keyPaint.worst);
    std::printf("targets: key median <= 16 ms, key worst <= 50 ms, open <= 500 ms: %s\n",
                key.median <= 16 && key.worst <= 50 && open.worst <= 500 ? "met" : "NOT met");

    FreeKeywordTables();
    ClearKeywordLists();
    return 0;
}
