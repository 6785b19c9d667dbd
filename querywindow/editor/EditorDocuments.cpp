#include "EditorDocuments.h"

#include "EditorDocumentLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The event loop gets its turn after this much work.
constexpr qint64 SliceNanoseconds = 4'000'000;

} // namespace

void SetUpAsShown(QTextDocument& document, const QTextDocument& like)
{
    document.setDefaultFont(like.defaultFont());
    document.setDefaultTextOption(like.defaultTextOption());
    document.setDocumentMargin(like.documentMargin());
    document.setIndentWidth(like.indentWidth());
    document.setUseDesignMetrics(like.useDesignMetrics());
    document.setDefaultCursorMoveStyle(like.defaultCursorMoveStyle());
    document.setUndoRedoEnabled(false);
    document.documentLayout()->setProperty("cursorWidth", like.documentLayout()->property("cursorWidth"));
}

QTextDocument* NewEditorDocument(const QTextDocument& like, QObject* parent)
{
    auto* document = new QTextDocument(parent);
    document->setDocumentLayout(new EditorDocumentLayout(document));
    SetUpAsShown(*document, like);
    return document;
}

void RetiredDocument::Retire(QTextDocument* document, QObject& owner) { new RetiredDocument(document, owner); }

RetiredDocument::RetiredDocument(QTextDocument* document, QObject& owner) : QObject(&owner), document_(document)
{
    document_->setParent(this);
    // Nothing watches it any more: its changes from now on are nobody's business.
    document_->blockSignals(true);
    document_->documentLayout()->blockSignals(true);
    // The window keeps its own history: the removals below record none (compacting the text
    // as turning undo off does is done only when it was on).
    if (document_->isUndoRedoEnabled()) document_->setUndoRedoEnabled(false);
    // One edit that never ends: neither the layout nor the compaction of the text that an edit's
    // end brings runs for the lines removed.
    edit_ = QTextCursor(document_);
    edit_.beginEditBlock();
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &RetiredDocument::Slice);
    timer_.start();
}

void RetiredDocument::Slice()
{
    QElapsedTimer slice;
    slice.start();
    QTextCursor& cut = edit_;
    while (document_->blockCount() > LinesAtATime && slice.nsecsElapsed() < SliceNanoseconds) {
        // The last lines with the line break before them.
        cut.setPosition(document_->findBlockByNumber(document_->blockCount() - LinesAtATime).position() - 1);
        cut.setPosition(document_->characterCount() - 1, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
    }
    if (document_->blockCount() > LinesAtATime) {
        timer_.start();
        return;
    }
    edit_ = QTextCursor();
    delete document_;
    document_ = nullptr;
    deleteLater();
}
