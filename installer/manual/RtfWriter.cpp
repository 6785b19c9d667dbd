#include "RtfWriter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

namespace {

// Sizes in half points: the body at 10.5 points, the headings at 18 and 14.
constexpr int BodySize = 21;
constexpr int TitleSize = 36;
constexpr int SectionSize = 28;

QByteArray Fragments(const QTextBlock& block)
{
    QByteArray out;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid()) continue;
        const QTextCharFormat format = fragment.charFormat();
        const bool bold = format.fontWeight() >= QFont::Bold;
        const bool italic = format.fontItalic();
        if (bold || italic) {
            out += '{';
            if (bold) out += "\\b";
            if (italic) out += "\\i";
            out += ' ' + RtfWriter::EscapeText(fragment.text()) + '}';
        } else {
            out += RtfWriter::EscapeText(fragment.text());
        }
    }
    return out;
}

} // namespace

QByteArray RtfWriter::EscapeText(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == 0x2028 || u == u'\n') {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x7f) {
            out += static_cast<char>(u);
        } else if (u >= 0x20) {
            // The fallback "?" for readers without \u, written as its own escape so that no
            // reader takes the text after it for the character to skip.
            out += "\\u" + QByteArray::number(static_cast<int>(static_cast<std::int16_t>(u))) + "\\'3f";
        }
    }
    return out;
}

QByteArray RtfWriter::FromMarkdown(const QString& markdown)
{
    QTextDocument document;
    document.setMarkdown(markdown);
    QString title;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() == 1) {
            title = block.text();
            break;
        }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\n"
                     "{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}{\\f1\\fswiss\\fcharset0 Arial;}}\n";
    out += "{\\info{\\title " + EscapeText(title) + "}}\n";
    out += "\\paperw11906\\paperh16838\\margl1440\\margr1440\\margt1440\\margb1440\\f0\\fs" +
           QByteArray::number(BodySize) + '\n';
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        const QByteArray text = Fragments(block);
        if (level == 1) {
            out += "\\pard\\qc\\sb240\\sa360{\\b\\fs" + QByteArray::number(TitleSize) + ' ' + text + "}\\par\n";
        } else if (level >= 2) {
            out += "\\pard\\sb240\\sa120{\\b\\fs" + QByteArray::number(SectionSize) + ' ' + text + "}\\par\n";
        } else if (QTextList* list = block.textList()) {
            const QTextListFormat::Style style = list->format().style();
            const bool numbered = style == QTextListFormat::ListDecimal;
            const QByteArray mark = numbered ? QByteArray::number(list->itemNumber(block) + 1) + '.' : "\\bullet";
            out += "\\pard\\fi-360\\li720\\sa60 " + mark + "\\tab " + text + "\\par\n";
        } else if (!block.text().isEmpty()) {
            out += "\\pard\\fi420\\sa120 " + text + "\\par\n";
        }
    }
    out += "}\n";
    return out;
}
