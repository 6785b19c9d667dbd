#include "SqlScriptLoader.h"

#include "ModalDialogs.h"

#include "KeywordColouring.h"
#include "LineColouring.h"
#include "LongLineDisplay.h"
#include "Settings.h"
#include "SqlEditorCommands.h"
#include "StatusPanelBar.h"
#include "TFMain.h"

#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

// The event loop gets its turn after this much work.
constexpr qint64 SliceNanoseconds = 20'000'000;
// Characters put in at a time, and coloured at a time within one line.
constexpr qsizetype InsertPiece = 1 << 16;
constexpr int ColourPiece = 1 << 12;
constexpr int ProgressSteps = 1000;

} // namespace

// The layout of a document still being filled: it lays nothing out until the text is whole, so
// that a long line is not laid out again for every piece of it.
class SlicedLoadLayout : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

    bool Filling = true;

    // The text is whole: the layout takes the document's lines as they now are.
    void Filled()
    {
        Filling = false;
        if (document()->blockCount() > 1) QPlainTextDocumentLayout::documentChanged(0, 0, 1);
    }
    // The text of one line is whole and the editor has it: the line is laid out once, at the
    // editor's width (while the editor takes the document, it would lay the line out three times).
    void FilledOneLine()
    {
        Filling = false;
        layingOut_ = true;
        QPlainTextDocumentLayout::documentChanged(0, 0, document()->characterCount());
        layingOut_ = false;
    }

    QRectF blockBoundingRect(const QTextBlock& block) const override
    {
        // The line's place before its layout is asked for only to repaint it.
        if (Filling || (layingOut_ && block.layout()->lineCount() == 0)) return QRectF();
        return QPlainTextDocumentLayout::blockBoundingRect(block);
    }

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override
    {
        if (!Filling) QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
    }

private:
    bool layingOut_ = false;
};

SqlScriptLoader* SqlScriptLoader::Running(const TFMain& window)
{
    for (SqlScriptLoader* loader : window.findChildren<SqlScriptLoader*>(Qt::FindDirectChildrenOnly))
        if (!loader->ended_) return loader;
    return nullptr;
}

void SqlScriptLoader::Load(TFMain& window, const QString& text, std::function<void()> done)
{
    if (SqlScriptLoader* running = Running(window)) running->Cancel();
    if (text.size() < SlicedFrom) {
        window.RichEdit_sql->setPlainText(text);
        if (done) done();
        return;
    }
    new SqlScriptLoader(window, text, std::move(done));
}

SqlScriptLoader::SqlScriptLoader(TFMain& window, const QString& text, std::function<void()> done)
    : QObject(&window), window_(window), text_(text), done_(std::move(done))
{
    QPlainTextEdit& editor = *window.RichEdit_sql;
    const QTextDocument& current = *editor.document();
    document_ = new QTextDocument;
    // The new document is set up as the editor's own one is.
    document_->setDefaultFont(current.defaultFont());
    document_->setDefaultTextOption(current.defaultTextOption());
    document_->setDocumentMargin(current.documentMargin());
    document_->setIndentWidth(current.indentWidth());
    document_->setUseDesignMetrics(current.useDesignMetrics());
    document_->setDefaultCursorMoveStyle(current.defaultCursorMoveStyle());
    document_->setUndoRedoEnabled(false);
    layout_ = new SlicedLoadLayout(document_);
    layout_->setProperty("cursorWidth", current.documentLayout()->property("cursorWidth"));
    document_->setDocumentLayout(layout_);
    // A new text takes the format at the caret, as the editor's own replacing of its text does.
    format_ = editor.textCursor().charFormat();
    colour_ = Settings::WordsAnalyze;
    kind_ = window.DbmsKind;
    snapshot_.reserve(text_.size());

    readOnly_ = editor.isReadOnly();
    editor.setReadOnly(true);
    editor.installEventFilter(this);
    window.installEventFilter(this);

    progress_ = new QProgressBar(window.StatusBar1);
    progress_->setObjectName(QStringLiteral("ProgressBar_open"));
    progress_->setRange(0, ProgressSteps);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    const QSize bar = window.StatusBar1->size();
    progress_->setGeometry(bar.width() / 2, 2, bar.width() / 2 - 4, std::max(bar.height() - 4, 4));
    progress_->show();

    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &SqlScriptLoader::Slice);
    timer_.start();
}

SqlScriptLoader::~SqlScriptLoader() { delete document_; }

bool SqlScriptLoader::InsertSome()
{
    qsizetype end = std::min(inserted_ + InsertPiece, text_.size());
    // A CR LF pair and a surrogate pair go in together.
    if (end < text_.size() && (text_[end - 1] == u'\r' || text_[end - 1].isHighSurrogate())) ++end;
    QTextCursor cursor(document_);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringView(text_).mid(inserted_, end - inserted_).toString(), format_);
    inserted_ = end;
    return inserted_ >= text_.size();
}

bool SqlScriptLoader::ColourSome()
{
    if (!block_.isValid()) return true;
    if (lineDone_ == 0 && line_.isNull()) {
        // The editor makes every line's layout object when it takes the document: made here, in
        // slices, they are only cleared then.
        block_.layout();
        if (LongLineDisplay::KeepIfLong(block_)) longLine_ = true;
        line_ = block_.text();
        commentStart_ = LineCommentStart(line_);
    }
    const int size = static_cast<int>(line_.size());
    if (colour_) {
        const int end = KeywordColouring::PartEnd(line_, lineDone_, ColourPiece, kind_);
        KeywordColouring::ColourLinePart(block_, line_, lineDone_, end, commentStart_, kind_);
        lineDone_ = end;
        if (lineDone_ < size) return false;
    }
    const QTextBlock next = block_.next();
    snapshot_ += line_;
    if (next.isValid()) snapshot_ += QLatin1Char('\n');
    collected_ += size + 1;
    block_ = next;
    line_ = QString();
    lineDone_ = 0;
    return !block_.isValid();
}

void SqlScriptLoader::Slice()
{
    // A window that is closing asks about the text it shows: the open is given up.
    if (window_.IsClosing()) {
        Cancel();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    bool whole = false;
    // One edit of the document per slice: no caret places are worked out inside it.
    QTextCursor edit(document_);
    edit.beginEditBlock();
    while (!whole && slice.nsecsElapsed() < SliceNanoseconds) {
        if (inserted_ < text_.size()) {
            if (InsertSome()) block_ = document_->firstBlock();
        } else {
            if (!block_.isValid()) block_ = document_->firstBlock();
            whole = ColourSome();
        }
    }
    edit.endEditBlock();
    // Putting the text in and colouring it are each half of the work.
    const double done = (static_cast<double>(inserted_) + static_cast<double>(collected_ + lineDone_)) /
                        (2.0 * static_cast<double>(std::max<qsizetype>(text_.size(), 1)));
    progress_->setValue(std::clamp(static_cast<int>(done * ProgressSteps), 0, ProgressSteps));
    // While a dialog is up its answer may be about the text shown now: the new one waits for it.
    if (whole && !ModalDialogs::AnyRunning()) HandOver();
    else timer_.start(whole ? 50 : 0);
}

void SqlScriptLoader::HandOver()
{
    SlicedLoadLayout* layout = layout_;
    const bool oneLine = document_->blockCount() == 1;
    if (!oneLine) layout->Filled();
    QTextDocument* document = document_;
    document_ = nullptr;
    window_.RichEdit_sql->setReadOnly(readOnly_);
    // Every line is coloured for the window's kind unless the kind or the option changed meanwhile.
    const bool coloured = colour_ && Settings::WordsAnalyze && kind_ == window_.DbmsKind;
    window_.EditorCommands().AdoptDocument(document, snapshot_, coloured, longLine_);
    if (oneLine) layout->FilledOneLine();
    snapshot_ = QString();
    text_ = QString();
    if (done_) done_();
    End(true);
}

void SqlScriptLoader::Cancel()
{
    if (ended_) return;
    window_.RichEdit_sql->setReadOnly(readOnly_);
    End(false);
}

void SqlScriptLoader::End(bool loaded)
{
    ended_ = true;
    timer_.stop();
    window_.RichEdit_sql->removeEventFilter(this);
    window_.removeEventFilter(this);
    delete progress_;
    progress_ = nullptr;
    delete document_;
    document_ = nullptr;
    emit Ended(loaded);
    deleteLater();
}

bool SqlScriptLoader::eventFilter(QObject* watched, QEvent* event)
{
    if (!ended_ && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        (watched == window_.RichEdit_sql || watched == &window_)) {
        Cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
