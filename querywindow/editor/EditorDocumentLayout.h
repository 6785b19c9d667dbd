// The layout of the SQL editor's documents: a change inside one long line (a key, the colouring of
// it) leaves the line to be laid out when it is next shown, so that a key and its colours cost one
// layout of the line instead of one each.
#pragma once

#include <QPlainTextDocumentLayout>

class QTextBlock;

class EditorDocumentLayout : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;
    // The toolkit's own handling of a change, whatever the lines.
    void LayOutChange(int from, int charsRemoved, int charsAdded);
    // The only line, block, was laid out here for the view's width: it is shown as it is.
    void TakeLaidOutLine(QTextBlock block);

private:
    // The document's lines when the toolkit's layout last saw a change.
    int blockCount_ = -1;
};
