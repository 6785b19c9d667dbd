// Creating a folder with every missing parent, knowing which levels were made, so that a removal
// takes away exactly those again.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Creates the absolute folder and its missing parents, one level after the other. On success
// *created holds the levels made, outermost first, as their real paths (links above them resolved);
// empty when the folder was there. On failure the levels made are removed again, *created is empty
// and *error says why.
bool CreateFolderLevels(const QString& folder, QStringList* created, QString* error = nullptr);

// Removes the folders that are empty, innermost first (a folder is only ever removed when empty),
// each reached without following a link; returns those that stay because something is in them.
// Folders that are missing, are no folders any more or lie behind a link are skipped. *errors, when
// given, gets the errno of each folder that stays (ENOTEMPTY or EEXIST when something is in it).
QStringList RemoveEmptyFolders(const QStringList& folders, QMap<QString, int>* errors = nullptr);
