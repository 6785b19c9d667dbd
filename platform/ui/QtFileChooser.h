// The file chooser of the running program: a modal QFileDialog that remembers, per dialog name,
// the folder it was last left in.
#pragma once

#include "FileChooser.h"

#include <QHash>

class QtFileChooser : public FileChooser {
public:
    Answer Choose(const Request& request) override;

private:
    QHash<QString, QString> lastFolder_;
};
