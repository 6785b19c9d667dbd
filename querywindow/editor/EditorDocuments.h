// The editor's documents besides the one it was made with: a new one set up as the shown one is,
// and the end of one it shows no more, emptied from its end in slices that give the event loop its
// turn (a big text's lines take longer to free at once than a turn may last).
#pragma once

#include <QObject>
#include <QTextCursor>
#include <QTimer>

class QTextDocument;

// Sets document, whose layout is set already, up as like is: font, text options, margins, caret
// width, cursor moves; without undo, which the window keeps itself.
void SetUpAsShown(QTextDocument& document, const QTextDocument& like);
// A new empty document with the layout of the editor's documents, set up as like is, owned by parent.
QTextDocument* NewEditorDocument(const QTextDocument& like, QObject* parent = nullptr);

class RetiredDocument : public QObject {
public:
    // Lines removed at a time, as many times as fit into a slice.
    static inline int LinesAtATime = 2048;

    // Takes document, which the editor owner no longer shows, and deletes it in slices; what is
    // left goes with owner.
    static void Retire(QTextDocument* document, QObject& owner);

private:
    RetiredDocument(QTextDocument* document, QObject& owner);
    void Slice();

    QTextDocument* document_;
    QTextCursor edit_;
    QTimer timer_;
};
