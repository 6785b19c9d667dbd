// Writes the user manual: manual_rtf <Markdown source> <rich-text output>.
#include "RtfWriter.h"

#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: manual_rtf <source.md> <output>\n");
        return 2;
    }
    QFile source(QFile::decodeName(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "manual_rtf: cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray rtf = RtfWriter::FromMarkdown(QString::fromUtf8(source.readAll()));
    QSaveFile output(QFile::decodeName(argv[2]));
    if (!output.open(QIODevice::WriteOnly) || output.write(rtf) != rtf.size() || !output.commit()) {
        std::fprintf(stderr, "manual_rtf: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
