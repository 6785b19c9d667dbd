// Rich text of a short document written in Markdown: headings, paragraphs, bulleted and numbered
// lists, bold and italic. Every character outside ASCII is written as \uN (code page 936 fonts), so
// the file is plain ASCII and opens in any word processor.
#pragma once

#include <QByteArray>
#include <QString>

class RtfWriter {
public:
    static QByteArray FromMarkdown(const QString& markdown);
    // text with \, { and } escaped, tabs and line separators as control words, and every
    // character outside printable ASCII as \uN\'3f (N the signed UTF-16 unit, then the "?" that
    // readers without \u show instead).
    static QByteArray EscapeText(const QString& text);
};
