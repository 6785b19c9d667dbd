// Listing the files of a folder by a wildcard mask, as the installation takes its files.
#pragma once

#include <QString>
#include <QStringList>

// Replaces list with the names of the entries of folder that match mask (wildcards "*" and "?",
// without regard to case; "*.*" matches every name, also one without a dot), sorted without regard
// to case. Folders are skipped, and so is anything that is not a regular file or a link to one (a
// pipe would block a copy). 0 when a name was listed, else -1.
int ListFilesByMask(QStringList& list, const QString& mask, const QString& folder);
