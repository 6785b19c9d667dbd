// A font kept by the settings without the widget toolkit; the forms turn it into their font.
#pragma once

#include <QString>

struct FontSetting {
    static constexpr int Bold = 1;
    static constexpr int Italic = 2;
    static constexpr int Underline = 4;
    static constexpr int StrikeOut = 8;
    static constexpr int StyleMask = Bold | Italic | Underline | StrikeOut;

    // Absent until the start-up read found the settings file; users then keep the control's font.
    bool Present = false;
    // Empty: the toolkit's default face.
    QString FaceName;
    // Points; 0: the toolkit's default size.
    int Size = 0;
    // Bits of Bold, Italic, Underline, StrikeOut.
    int Style = 0;

    bool operator==(const FontSetting&) const = default;
};
