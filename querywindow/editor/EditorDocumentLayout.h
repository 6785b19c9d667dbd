// The layout of the SQL editor's documents: a change inside one long line (a key, the colouring of
// it) leaves the line to be laid out when it is next asked for (at once after a key: the caret's
// place asks), so that a key and its colours cost one layout of the line instead of one each.
#pragma once

#include <QPlainTextDocumentLayout>

#include <vector>

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
    // Lays out the long lines changed and not asked for since: their screen lines count in the
    // scroll range.
    void LayOutLeftLines();

    // The document's lines when the toolkit's layout last saw a change.
    int blockCount_ = -1;
    // By number: a line removed meanwhile leaves no handle behind.
    std::vector<int> left_;
};
