#include "SqlScriptLoader.h"

#include "EditorDocumentLayout.h"
#include "ModalDialogs.h"
#include "Prompter.h"

#include "EditorDocuments.h"
#include "KeywordColouring.h"
#include "LineColouring.h"
#include "LongLineDisplay.h"
#include "Settings.h"
#include "SqlEditorCommands.h"
#include "StatusPanelBar.h"
#include "TFMain.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>

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
class SlicedLoadLayout : public EditorDocumentLayout {
public:
    using EditorDocumentLayout::EditorDocumentLayout;

    bool Filling = true;

    // Lays the still empty first line out: that line becomes the widest one known, so that no
    // later layout of a line narrower than the view makes the layout look at every line for it.
    void Start() { QPlainTextDocumentLayout::blockBoundingRect(document()->firstBlock()); }

    // The text is whole: the layout takes the document's lines as they now are, the first one
    // laid out again.
    void Filled()
    {
        Filling = false;
        document()->firstBlock().layout()->clearLayout();
        if (document()->blockCount() > 1) LayOutChange(document()->lastBlock().position(), 0, 1);
    }
    // The text of one line is whole: lays it out a screen line at a time, as the toolkit lays a
    // line out at once for a view of width; true once the line is laid out. Only the first screen
    // line costs much: it reads the whole line.
    bool LayOutLineStep(int width)
    {
        QTextLayout& layout = *document()->firstBlock().layout();
        const QTextOption option = document()->defaultTextOption();
        // A line end shown as a sign widens the line: the toolkit lays such a line out itself.
        if (option.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators) return true;
        if (lineCount_ > 0) return true;
        if (!stepping_) {
            layout.setTextOption(option);
            layout.beginLayout();
            stepping_ = true;
        }
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            layout.endLayout();
            lineCount_ = layout.lineCount();
            return true;
        }
        const qreal margin = document()->documentMargin();
        line.setLeadingIncluded(true);
        line.setLineWidth((width > 0 ? qreal(width) : qreal(INT_MAX)) - 2 * margin);
        line.setPosition(QPointF(margin, height_));
        height_ += line.height();
        if (line.leading() < 0) height_ += qCeil(line.leading());
        return false;
    }
    // How much of the line the stepped layout has laid out.
    int LaidOut() const
    {
        const QTextBlock line = document()->firstBlock();
        if (lineCount_ > 0) return line.length() - 1;
        const QTextLayout& layout = *line.layout();
        return layout.lineCount() ? layout.lineAt(layout.lineCount() - 1).textStart() : 0;
    }
    // The text of one line is whole and the editor has it: the line laid out in steps is taken as
    // it is; else the line is laid out once, at the editor's width (while the editor takes the
    // document, it would lay the line out three times).
    void FilledOneLine()
    {
        Filling = false;
        QTextBlock block = document()->firstBlock();
        // A view of another width meanwhile cleared the line's layout.
        if (lineCount_ > 0 && block.layout()->lineCount() == lineCount_) {
            TakeLaidOutLine(block);
            return;
        }
        layingOut_ = true;
        LayOutChange(0, 0, document()->characterCount());
        layingOut_ = false;
    }

    // The editor, which does not wrap, became width wide: its lines keep their layouts, which do
    // not depend on the width then, and the widest line is counted again from the lines asked for
    // from now on, as the toolkit counts it after laying every line out anew for a new width.
    void WidthChanged(qreal width)
    {
        shownWidth_ = width;
        widest_ = width;
        widestBlock_ = QTextBlock();
        counting_ = true;
    }

    QRectF blockBoundingRect(const QTextBlock& block) const override
    {
        // The line's place before its layout is asked for only to repaint it.
        if (Filling || (layingOut_ && block.layout()->lineCount() == 0)) return QRectF();
        const QRectF rect = QPlainTextDocumentLayout::blockBoundingRect(block);
        if (counting_) Count(block);
        return rect;
    }
    QSizeF documentSize() const override
    {
        QSizeF size = QPlainTextDocumentLayout::documentSize();
        if (counting_) size.setWidth(widest_);
        return size;
    }
    QRectF frameBoundingRect(QTextFrame* frame) const override
    {
        QRectF rect = QPlainTextDocumentLayout::frameBoundingRect(frame);
        if (counting_) rect.setWidth(std::max(shownWidth_, widest_));
        return rect;
    }

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override
    {
        if (Filling) return;
        EditorDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
        // Wrapped, every line is laid out anew for the width; a single line is the widest itself.
        if (counting_ && (document()->defaultTextOption().wrapMode() != QTextOption::NoWrap || document()->blockCount() == 1))
            counting_ = false;
    }

private:
    // The widest line as the toolkit keeps it: max over lines of natural width plus both margins.
    qreal Width(const QTextBlock& block) const
    {
        const QTextLayout* layout = block.layout();
        qreal width = 0;
        for (int i = 0; i < layout->lineCount(); ++i)
            width = std::max(width, layout->lineAt(i).naturalTextWidth() + 2 * document()->documentMargin());
        return width;
    }
    void Count(const QTextBlock& block) const
    {
        const qreal width = Width(block);
        if (width > widest_) {
            widest_ = width;
            widestBlock_ = block;
        } else if (block == widestBlock_ && width < widest_) {
            // The widest line became narrower: the widest of those laid out.
            widest_ = shownWidth_;
            widestBlock_ = QTextBlock();
            for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next())
                if (const qreal w = Width(b); w > widest_) {
                    widest_ = w;
                    widestBlock_ = b;
                }
        } else {
            return;
        }
        // The scroll bars follow once the layout asked for is done, as they would for a new line.
        if (sizePending_) return;
        sizePending_ = true;
        QMetaObject::invokeMethod(
            const_cast<SlicedLoadLayout*>(this),
            [this] {
                sizePending_ = false;
                emit const_cast<SlicedLoadLayout*>(this)->documentSizeChanged(documentSize());
            },
            Qt::QueuedConnection);
    }

    bool layingOut_ = false;
    bool stepping_ = false;
    qreal height_ = 0;
    int lineCount_ = 0;
    bool counting_ = false;
    qreal shownWidth_ = 0;
    mutable qreal widest_ = 0;
    mutable QTextBlock widestBlock_;
    mutable bool sizePending_ = false;
};

bool SqlScriptLoader::ResizeKeepingLines(QPlainTextEdit& editor, const QResizeEvent& event)
{
    auto* layout = dynamic_cast<SlicedLoadLayout*>(editor.document()->documentLayout());
    const int width = event.size().width();
    if (!layout || layout->Filling || editor.lineWrapMode() != QPlainTextEdit::NoWrap || !event.oldSize().isValid() ||
        event.oldSize().width() == width)
        return false;
    layout->WidthChanged(width);
    // The editor takes the new size as one of the same width: its scroll bars follow, its lines stay.
    QResizeEvent sameWidth(event.size(), QSize(width, event.oldSize().height()));
    QCoreApplication::sendEvent(editor.viewport(), &sameWidth);
    return true;
}

SqlScriptLoader* SqlScriptLoader::Running(const TFMain& window)
{
    for (SqlScriptLoader* loader : window.findChildren<SqlScriptLoader*>(Qt::FindDirectChildrenOnly))
        if (!loader->ended_) return loader;
    return nullptr;
}

bool SqlScriptLoader::RefusesEdit(TFMain& window, bool historyStep)
{
    const SqlScriptLoader* running = Running(window);
    if (!running || (historyStep && running->editorText_)) return false;
    Prompter::Current().Message(EditRefusedText, window.windowTitle(), Prompter::Icon::Information, Prompter::Ok);
    return true;
}

void SqlScriptLoader::Load(TFMain& window, const QString& text, std::function<void()> done)
{
    if (SqlScriptLoader* running = Running(window)) running->Cancel();
    if (text.size() < SlicedFrom) {
        window.RichEdit_sql->setPlainText(text);
        if (done) done();
        return;
    }
    new SqlScriptLoader(window, text, {}, std::move(done));
}

SqlScriptLoader* SqlScriptLoader::LoadEditorText(TFMain& window, const SnapshotText& text, std::function<void()> done)
{
    if (SqlScriptLoader* running = Running(window)) running->Cancel();
    return new SqlScriptLoader(window, {}, text, std::move(done));
}

SqlScriptLoader::SqlScriptLoader(TFMain& window, const QString& text, const SnapshotText& editorText, std::function<void()> done)
    : QObject(&window), window_(window), text_(text), editorText_(!editorText.isEmpty()), source_(editorText), done_(std::move(done))
{
    QPlainTextEdit& editor = *window.RichEdit_sql;
    document_ = new QTextDocument;
    layout_ = new SlicedLoadLayout(document_);
    document_->setDocumentLayout(layout_);
    SetUpAsShown(*document_, *editor.document());
    // A hidden view of the editor's width and wrapping takes the document while it is empty: the
    // editor that takes it whole then finds it set up for its width and lays no line out again.
    holder_ = new QPlainTextEdit;
    holder_->setAttribute(Qt::WA_DontShowOnScreen);
    holder_->setAttribute(Qt::WA_ShowWithoutActivating);
    holder_->setAttribute(Qt::WA_QuitOnClose, false);
    holder_->setFocusPolicy(Qt::NoFocus);
    holder_->setFrameShape(QFrame::NoFrame);
    holder_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    holder_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    holder_->setLineWrapMode(editor.lineWrapMode());
    holder_->setWordWrapMode(editor.wordWrapMode());
    holder_->resize(editor.viewport()->width(), 100);
    holder_->show();
    holder_->setDocument(document_);
    layout_->Start();
    // A new text takes the format at the caret, as the editor's own replacing of its text does.
    format_ = editor.textCursor().charFormat();
    colour_ = Settings::WordsAnalyze;
    kind_ = window.DbmsKind;
    if (editorText_) snapshot_ = source_;

    readOnly_ = editor.isReadOnly();
    editor.setReadOnly(true);
    editor.installEventFilter(this);
    editor.viewport()->installEventFilter(this);
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

SqlScriptLoader::~SqlScriptLoader()
{
    delete holder_;
    delete document_;
}

bool SqlScriptLoader::InsertSome()
{
    QString piece;
    if (editorText_) {
        // Whole pieces of the editor text; a surrogate pair never spans two of them.
        for (QStringView more; piece.size() < InsertPiece && !(more = source_.From(inserted_ + piece.size())).isEmpty();)
            piece += more;
    } else {
        qsizetype end = std::min(inserted_ + InsertPiece, text_.size());
        // A CR LF pair and a surrogate pair go in together.
        if (end < text_.size() && (text_[end - 1] == u'\r' || text_[end - 1].isHighSurrogate())) ++end;
        piece = QStringView(text_).mid(inserted_, end - inserted_).toString();
    }
    QTextCursor cursor(document_);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(piece, format_);
    inserted_ += piece.size();
    return inserted_ >= TextSize();
}

bool SqlScriptLoader::ColourSome()
{
    if (!block_.isValid()) return true;
    if (lineDone_ == 0 && line_.isNull()) {
        // The editor makes every line's layout object when its width changes: made here, in
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
    if (!editorText_) {
        snapshot_.Append(line_);
        if (next.isValid()) snapshot_.Append(u"\n");
    }
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
        if (inserted_ < TextSize()) {
            if (InsertSome()) block_ = document_->firstBlock();
        } else if (!coloured_) {
            if (!block_.isValid()) block_ = document_->firstBlock();
            coloured_ = ColourSome();
            // The editor will wrap the long line: so does the hidden view that it is laid out for.
            if (coloured_ && LaysLineOut()) LongLineDisplay::ShowWrapped(*holder_, true);
        } else {
            whole = !LaysLineOut() || layout_->LayOutLineStep(holder_->viewport()->width());
        }
    }
    edit.endEditBlock();
    // Putting the text in is half of the work; colouring it, and laying a long line out, the other.
    const double second = LaysLineOut() ? static_cast<double>(collected_ + lineDone_ + layout_->LaidOut()) / 2.0
                                        : static_cast<double>(collected_ + lineDone_);
    const double done = (static_cast<double>(inserted_) + second) / (2.0 * static_cast<double>(std::max<qsizetype>(TextSize(), 1)));
    progress_->setValue(std::clamp(static_cast<int>(done * ProgressSteps), 0, ProgressSteps));
    // While a dialog is up its answer may be about the text shown now: the new one waits for it.
    if (whole && !ModalDialogs::AnyRunning()) HandOver();
    else timer_.start(whole ? 50 : 0);
}

bool SqlScriptLoader::LaysLineOut() const
{
    // A script of one long line is laid out here in slices, for the hidden view's width.
    return longLine_ && holder_ && document_->blockCount() == 1;
}

void SqlScriptLoader::HandOver()
{
    // For an editor resized meanwhile the hidden view goes first: the editor lays the lines out
    // for its own width.
    if (holder_->viewport()->width() != window_.RichEdit_sql->viewport()->width()) {
        delete holder_;
        holder_ = nullptr;
    }
    SlicedLoadLayout* layout = layout_;
    const bool oneLine = document_->blockCount() == 1;
    if (!oneLine) layout->Filled();
    QTextDocument* document = document_;
    document_ = nullptr;
    window_.RichEdit_sql->setReadOnly(readOnly_);
    // Every line is coloured for the window's kind unless the kind or the option changed meanwhile.
    const bool coloured = colour_ && Settings::WordsAnalyze && kind_ == window_.DbmsKind;
    window_.EditorCommands().AdoptDocument(document, snapshot_, coloured, longLine_, [this] {
        // The editor holds the document: the hidden view goes.
        delete holder_;
        holder_ = nullptr;
    });
    if (oneLine) layout->FilledOneLine();
    snapshot_.clear();
    source_.clear();
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
    window_.RichEdit_sql->viewport()->removeEventFilter(this);
    window_.removeEventFilter(this);
    delete progress_;
    progress_ = nullptr;
    // The hidden view goes before the document it shows.
    delete holder_;
    holder_ = nullptr;
    delete document_;
    document_ = nullptr;
    emit Ended(loaded);
    deleteLater();
}

bool SqlScriptLoader::eventFilter(QObject* watched, QEvent* event)
{
    if (ended_) return QObject::eventFilter(watched, event);
    QPlainTextEdit* editor = window_.RichEdit_sql;
    if (event->type() == QEvent::KeyPress && (watched == editor || watched == &window_)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            Cancel();
            return true;
        }
        // The editor's own line break goes in past its read-only state: none is typed meanwhile.
        if (watched == editor && (key == Qt::Key_Return || key == Qt::Key_Enter)) return true;
    }
    // Nothing dragged from elsewhere is taken meanwhile: the drag shows that it is refused.
    if (watched == editor->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->source() == editor || drag->source() == editor->viewport()) break;
            drag->ignore();
            return true;
        }
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}
