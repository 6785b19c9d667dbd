#include "SaveFileChoice.h"

#include "Prompter.h"

#include <QDir>
#include <QFileInfo>

namespace SaveFileChoice {

QString ReplaceQuestion(const QString& path)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(" 已存在。\n要替换它吗？");
}

Result Choose(FileChooser::Request request, const Completion& complete)
{
    request.Kind = FileChooser::Mode::Save;
    for (;;) {
        const FileChooser::Answer answer = FileChooser::Current().Choose(request);
        if (!answer.Accepted || answer.Path.isEmpty()) return {};
        const QString path = complete ? complete(answer.Path, answer.FilterIndex) : answer.Path;
        const QFileInfo info(path);
        if (!info.exists() ||
            Prompter::Current().Message(ReplaceQuestion(path), request.Title, Prompter::Icon::Exclamation,
                                        Prompter::Yes | Prompter::No) == Prompter::Yes)
            return {true, path, answer.FilterIndex};
        // Asked again where the user was, with the name chosen.
        request.Folder = info.absolutePath();
        request.FileName = info.fileName();
        request.FilterIndex = answer.FilterIndex;
    }
}

} // namespace SaveFileChoice
