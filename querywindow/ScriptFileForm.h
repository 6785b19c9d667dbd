// How a script file wrote its lines, kept from its opening to its next save so that a save gives
// back the bytes it read.
#pragma once

#include <QByteArray>

struct ScriptFileForm {
    QByteArray LineEnd = "\r\n"; // the file's first line end: CR LF, LF or CR
    bool LastLineEnded = true;   // whether the file's last line had a line end
    bool Gb18030 = false;        // the file was GB18030, not UTF-8
    bool Utf8Bom = false;        // the file began with the UTF-8 byte order mark
    bool Undecodable = false;    // some bytes were neither UTF-8 nor GB18030 and show as U+FFFD
};
