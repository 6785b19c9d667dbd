// What the schedule dialog shows: its list, pickers, display item, file name and button states.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

struct SqlScheduleView {
    // CheckListBox1: at most one line, checked.
    QStringList Lines;
    QDate Date;
    QTime Time;
    // ComboBox_DisplayList: 0 grid, 1 text, 2 save to file; -1 none.
    int DisplayIndex = -1;
    QString FileName;
    bool FileNameEnabled = true;
    bool FileButtonEnabled = true;
    bool AddEnabled = true;
    bool DeleteEnabled = true;
    bool UpdateEnabled = true;
};
