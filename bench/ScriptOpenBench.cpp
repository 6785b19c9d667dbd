// Measures opening SQL scripts through the frame's open command (the file dialog answered by the
// test chooser) into a real query window under the offscreen platform: a script of many lines and a
// statement on one line, each at N and 2N, loaded at once as before (every size at once) and in
// slices as now. A 10 ms timer records the longest time the event loop did not answer, from the
// command until the editor holds the text and has painted it, and for a while idle afterwards with
// the caret blinking in the editor.
#include "KeywordLists.h"
#include "KeywordTables.h"
#include "LongLineDisplay.h"
#include "ScriptedFileChooser.h"
#include "Settings.h"
#include "SqlScriptLoader.h"
#include "TFMain.h"
#include "TFMain_mul.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace {

const char* const Templates[] = {
    "select o.order_id, o.customer_id, sum(l.amount) as total from orders o",
    "  join order_lines l on l.order_id = o.order_id -- 订单明细 %1",
    "where o.created >= '2020-01-01' and o.status in ('A', 'B') and o.id > %1",
    "group by o.order_id, o.customer_id having count(*) > 1 order by total desc;",
    "insert into audit_log (id, note, created) values (%1, '客户资料更新', getdate());",
    "update customers set name = upper(name), updated = getdate() where id = %1;",
    "declare @n int set @n = %1 while @n > 0 begin set @n = @n - 1 end",
    "",
};

QByteArray Lines(int lines)
{
    QString text;
    for (int i = 0; i < lines; ++i) {
        text += QString::fromUtf8(Templates[i % 8]).replace(QLatin1String("%1"), QString::number(i));
        text += QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

QByteArray OneLine(qsizetype bytes)
{
    QByteArray text = "insert into t (a, b) values ";
    for (int i = 0; text.size() < bytes; ++i) text += "(" + QByteArray::number(i) + ", 'value " + QByteArray::number(i) + "'), ";
    text += "(0, 'end');";
    return text;
}

double Ms(qint64 ns) { return static_cast<double>(ns) / 1e6; }

double ResidentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

// The longest gap between the ticks of a 10 ms timer while it runs.
class StallMeter {
public:
    StallMeter()
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, clock_.nsecsElapsed());
            clock_.restart();
        });
    }
    void Start()
    {
        longest_ = 0;
        clock_.start();
        timer_.start();
    }
    double Stop()
    {
        timer_.stop();
        longest_ = std::max(longest_, clock_.nsecsElapsed());
        return std::max(0.0, Ms(longest_) - 10.0);
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

void RunEvents(qint64 forMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < forMs) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Figures {
    double Open = 0, OpenStall = 0, IdleStall = 0, Mb = 0, WidestLine = 0, CaretMove = 0, Key = 0;
    bool Whole = false;
};

Figures Open(TFMain_mul& frame, ScriptedFileChooser& chooser, const QString& path, const QByteArray& bytes, bool sliced,
             qint64 idleMs)
{
    SqlScriptLoader::SlicedFrom = sliced ? qsizetype(1) << 20 : std::numeric_limits<qsizetype>::max();
    LongLineDisplay::LongLine = sliced ? 10000 : std::numeric_limits<int>::max() - 1;
    Figures f;
    // Memory freed by the open before this one goes back to the system first.
    malloc_trim(0);
    const double before = ResidentMb();
    {
        TFMain window;
        window.DbmsKind = 2;
        window.resize(1000, 700);
        window.show();
        window.activateWindow();
        window.RichEdit_sql->setFocus();
        QApplication::processEvents();
        const QString title = window.windowTitle();
        chooser.Accept(path);
        StallMeter meter;
        meter.Start();
        QElapsedTimer t;
        t.start();
        QTimer::singleShot(0, [&] { frame.OpenSqlScript(window); });
        // Until the editor holds the text whole and has painted it.
        while (t.elapsed() < 600000 && (window.windowTitle() == title || SqlScriptLoader::Running(window)))
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        window.RichEdit_sql->viewport()->repaint();
        QApplication::processEvents();
        f.Open = Ms(t.nsecsElapsed());
        f.OpenStall = meter.Stop();
        f.Mb = ResidentMb() - before;
        meter.Start();
        RunEvents(idleMs);
        f.IdleStall = meter.Stop();
        // The caret to the middle of the longest line, shown and painted.
        QPlainTextEdit& editor = *window.RichEdit_sql;
        QTextBlock longest = editor.document()->firstBlock();
        for (QTextBlock b = longest; b.isValid(); b = b.next())
            if (b.length() > longest.length()) longest = b;
        QElapsedTimer move;
        move.start();
        QTextCursor caret = editor.textCursor();
        caret.setPosition(longest.position() + longest.length() / 2);
        editor.setTextCursor(caret);
        editor.ensureCursorVisible();
        editor.viewport()->repaint();
        f.CaretMove = Ms(move.nsecsElapsed());
        // One character typed there, coloured and painted.
        move.restart();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&editor, &press);
        editor.viewport()->repaint();
        f.Key = Ms(move.nsecsElapsed());
        for (QTextBlock b = window.RichEdit_sql->document()->firstBlock(); b.isValid(); b = b.next())
            if (const QTextLayout* l = b.layout())
                for (int i = 0; i < l->lineCount(); ++i) f.WidestLine = std::max(f.WidestLine, l->lineAt(i).naturalTextWidth());
        QTextCursor typed = editor.textCursor();
        typed.deletePreviousChar();
        const QByteArray shown = window.RichEdit_sql->toPlainText().toUtf8();
        QByteArray expected = bytes;
        expected.replace("\r\n", "\n");
        if (expected.endsWith('\n')) expected.chop(1);
        f.Whole = shown == expected;
        window.RichEdit_sql->document()->setModified(false);
    }
    QApplication::processEvents();
    return f;
}

void Print(const char* what, const Figures& n, const Figures& n2)
{
    std::printf("  %-12s N: open %7.0f ms  stall %7.0f ms  idle stall %5.0f ms  caret move %6.1f ms  key %6.1f ms  +%4.0f MB  widest line %9.0f px%s\n",
                what, n.Open, n.OpenStall, n.IdleStall, n.CaretMove, n.Key, n.Mb, n.WidestLine, n.Whole ? "" : "  TEXT DIFFERS");
    std::printf("  %-12s 2N: open %6.0f ms  stall %7.0f ms  idle stall %5.0f ms  caret move %6.1f ms  key %6.1f ms  +%4.0f MB  widest line %9.0f px%s   2N/N open %.2f\n",
                "", n2.Open, n2.OpenStall, n2.IdleStall, n2.CaretMove, n2.Key, n2.Mb, n2.WidestLine, n2.Whole ? "" : "  TEXT DIFFERS",
                n.Open > 0 ? n2.Open / n.Open : 0);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LoadKeywordFiles(TARNVALE_KEYWORD_DIR);
    CreateKeywordTables();
    Settings::WordsAnalyze = true;
    const int lines = argc > 1 ? std::atoi(argv[1]) : 121014;
    const qsizetype lineBytes = argc > 2 ? std::atoll(argv[2]) : 2'500'000;

    QTemporaryDir dir;
    TFMain_mul frame;
    frame.resize(1100, 800);
    ScriptedFileChooser chooser;

    struct Input {
        const char* What;
        QByteArray Bytes;
    };
    const Input many[] = {{"lines", Lines(lines)}, {"lines", Lines(2 * lines)}};
    const Input one[] = {{"one line", OneLine(lineBytes)}, {"one line", OneLine(2 * lineBytes)}};
    int n = 0;
    auto write = [&](const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("s%1.sql").arg(++n));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    };
    const QString manyPaths[] = {write(many[0].Bytes), write(many[1].Bytes)};
    const QString onePaths[] = {write(one[0].Bytes), write(one[1].Bytes)};

    std::printf("script open: N = %d lines (%.1f MB), 2N = %d lines (%.1f MB); one line N = %.1f MB, 2N = %.1f MB\n", lines,
                many[0].Bytes.size() / 1e6, 2 * lines, many[1].Bytes.size() / 1e6, one[0].Bytes.size() / 1e6,
                one[1].Bytes.size() / 1e6);
    // [before, after][many lines, one line][N, 2N], the runs of both ways interleaved.
    Figures f[2][2][2];
    for (int size = 0; size < 2; ++size)
        for (int way = 0; way < 2; ++way) {
            f[way][0][size] = Open(frame, chooser, manyPaths[size], many[size].Bytes, way == 1, 1500);
            f[way][1][size] = Open(frame, chooser, onePaths[size], one[size].Bytes, way == 1, 3000);
        }
    for (int way = 0; way < 2; ++way) {
        std::printf("%s:\n", way ? "after (in slices, long lines wrapped)" : "before (at once)");
        Print("many lines", f[way][0][0], f[way][0][1]);
        Print("one line", f[way][1][0], f[way][1][1]);
    }
    std::printf("after/before:\n");
    for (int what = 0; what < 2; ++what)
        for (int size = 0; size < 2; ++size) {
            const Figures& b = f[0][what][size];
            const Figures& a = f[1][what][size];
            std::printf("  %-10s %-2s open %.2f  longest stall %.3f  idle stall %.3f\n", what ? "one line" : "many lines",
                        size ? "2N" : "N", a.Open / b.Open, a.OpenStall / std::max(b.OpenStall, 1.0),
                        a.IdleStall / std::max(b.IdleStall, 1.0));
        }
    std::printf("(a line wider than %d px overflows the text engine's fixed-point positions)\n", (1 << 25));

    FreeKeywordTables();
    ClearKeywordLists();
    return 0;
}
