// Reaching a recorded file or folder without following a symbolic link on the way: every folder of
// the path is opened as it is, so a folder that was replaced by a link, or a ".." behind a link,
// cannot lead a deletion elsewhere. The installation records each place as its real path, with the
// links of its folder resolved, so that the removal can walk to it this way.
#pragma once

#include <QString>

class LinkFreePath {
public:
    // The absolute path with its folder's links resolved; path itself when it is relative or its
    // folder does not exist.
    static QString RealPlace(const QString& path);

    // Removes the file or link at path, reached without following a link; 0 or the errno of the
    // failure: ENOENT when nothing is there, EISDIR for a folder, ELOOP when a level of its folder
    // is a link, EINVAL for a relative path or one holding "." or "..".
    static int RemoveFile(const QString& path);
    // The same for an empty folder; ENOTDIR when what is there is not a folder.
    static int RemoveEmptyFolder(const QString& path);
};
