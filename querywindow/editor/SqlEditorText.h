// Text helpers of the SQL editor that need no widget.
#pragma once

#include <QString>
#include <QStringView>

class QTextDocument;

namespace SqlEditorText {

// The document's text with one "\n" per line break. Unlike toPlainText it keeps non-breaking
// spaces and line separators as they are, so that a snapshot put back gives the same text.
QString Of(const QTextDocument& document);

// The number of blanks (code 32 only) at the start of line; any other character ends the count.
int LeadingBlanks(QStringView line);

} // namespace SqlEditorText
