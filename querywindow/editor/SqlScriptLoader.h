// Puts a script's text into a query window's editor in slices that give the event loop its turn: a
// big text goes into a document of its own, is coloured there and replaces the editor's document
// only when it is whole. Meanwhile a progress bar shows in the window's status bar, the editor is
// read-only, and Esc gives the open up with the editor left as it was.
#pragma once

#include "SnapshotText.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTimer>

#include <functional>

class QPlainTextEdit;
class QProgressBar;
class QResizeEvent;
class QTextDocument;
class SlicedLoadLayout;
class TFMain;

class SqlScriptLoader : public QObject {
    Q_OBJECT
public:
    // Texts of at least this many characters load in slices; shorter ones at once.
    static inline qsizetype SlicedFrom = 1 << 20;

    // Puts text into window's editor, as its whole new text; done runs once the editor holds it
    // (at once for a short text, never when the open is given up). A load still running in the
    // window is given up first.
    static void Load(TFMain& window, const QString& text, std::function<void()> done);
    // The same for text, a whole editor text as the window's history keeps it, of at least
    // SlicedFrom characters: always in slices. The load, whose end can be watched.
    static SqlScriptLoader* LoadEditorText(TFMain& window, const SnapshotText& text, std::function<void()> done);
    // A width change of editor's viewport (event) while it does not wrap a document that a load
    // put in: handled (true) without laying the document's lines out again, which takes long for a
    // big text and changes nothing that shows.
    static bool ResizeKeepingLines(QPlainTextEdit& editor, const QResizeEvent& event);
    // The load running in window, if any.
    static SqlScriptLoader* Running(const TFMain& window);
    // While a load runs in window, a change of the editor's text would be lost at the hand-over:
    // it is refused and the user told why (true then). An undo or redo (historyStep) is refused
    // only during an open: during a history step put back in slices it counts as the next step.
    static bool RefusesEdit(TFMain& window, bool historyStep = false);
    static inline const QString EditRefusedText =
        QStringLiteral("正在打开脚本，打开完成后才能修改文本。按 Esc 可以放弃打开。");

    // Gives the open up: the editor stays as it was before it.
    void Cancel();
    QProgressBar* Progress() const { return progress_; }

signals:
    // The load has ended: loaded tells whether the editor holds the text.
    void Ended(bool loaded);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SqlScriptLoader(TFMain& window, const QString& text, const SnapshotText& editorText, std::function<void()> done);
    ~SqlScriptLoader() override;
    void Slice();
    // One piece of work each; true when its phase is done.
    bool InsertSome();
    bool ColourSome();
    bool LaysLineOut() const;
    void HandOver();
    void End(bool loaded);

    qsizetype TextSize() const { return editorText_ ? source_.size() : text_.size(); }

    TFMain& window_;
    QString text_;
    // Set when the text is an editor text already (source_): the document will hold it as it is.
    bool editorText_ = false;
    SnapshotText source_;
    std::function<void()> done_;
    QTextDocument* document_ = nullptr;
    SlicedLoadLayout* layout_ = nullptr;
    QTextCharFormat format_;
    bool colour_ = false;
    int kind_ = 0;
    bool readOnly_ = false;
    qsizetype inserted_ = 0;
    // The line being coloured and collected, and how far.
    QTextBlock block_;
    QString line_;
    int lineDone_ = 0;
    int commentStart_ = -1;
    qsizetype collected_ = 0;
    bool longLine_ = false;
    bool coloured_ = false;
    // The editor's text as the document will hold it: a snapshot for the window's history.
    SnapshotText snapshot_;
    QProgressBar* progress_ = nullptr;
    QPlainTextEdit* holder_ = nullptr;
    QTimer timer_;
    bool ended_ = false;
};
