#include "SqlEditorText.h"

#include <QTextDocument>

namespace SqlEditorText {

QString Of(const QTextDocument& document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

int LeadingBlanks(QStringView line)
{
    int n = 0;
    while (n < line.size() && line[n] == u' ') ++n;
    return n;
}

} // namespace SqlEditorText
