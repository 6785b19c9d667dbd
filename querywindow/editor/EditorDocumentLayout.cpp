#include "EditorDocumentLayout.h"

#include "LongLineDisplay.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

void EditorDocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QTextDocument& document = *this->document();
    QTextBlock block = document.findBlock(from);
    // The toolkit lays a line changed on its own out at once; a long one is laid out when asked
    // for, as the toolkit does with every line of a change of many lines. The changed text now
    // ends at from + charsAdded, within this line, and the document has as many lines as before.
    if (document.blockCount() == blockCount_ && LongLineDisplay::IsLong(block) &&
        document.findBlock(std::max(from, from + charsAdded - 1)) == block) {
        block.clearLayout();
        // An empty rectangle repaints the whole view without asking where the line lies.
        emit update(QRectF());
        if (left_.empty()) QTimer::singleShot(0, this, &EditorDocumentLayout::LayOutLeftLines);
        left_.push_back(block.blockNumber());
        return;
    }
    LayOutChange(from, charsRemoved, charsAdded);
}

void EditorDocumentLayout::LayOutChange(int from, int charsRemoved, int charsAdded)
{
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
    blockCount_ = document()->blockCount();
}

void EditorDocumentLayout::TakeLaidOutLine(QTextBlock block)
{
    block.setLineCount(block.layout()->lineCount());
    blockCount_ = document()->blockCount();
    emit documentSizeChanged(documentSize());
    emit update(QRectF());
}

void EditorDocumentLayout::LayOutLeftLines()
{
    const std::vector<int> left = std::move(left_);
    left_.clear();
    for (const int number : left) {
        const QTextBlock block = document()->findBlockByNumber(number);
        if (block.isValid() && LongLineDisplay::IsLong(block) && block.layout()->lineCount() == 0) blockBoundingRect(block);
    }
}
