// A font of the settings as the font of a control.
#pragma once

#include "FontSetting.h"

#include <QFont>

// The control's font with the setting's face and size where it has them, and its four style bits.
inline QFont SettingFont(const FontSetting& setting, QFont font)
{
    if (!setting.FaceName.isEmpty()) font.setFamily(setting.FaceName);
    if (setting.Size > 0) font.setPointSize(setting.Size);
    font.setBold(setting.Style & FontSetting::Bold);
    font.setItalic(setting.Style & FontSetting::Italic);
    font.setUnderline(setting.Style & FontSetting::Underline);
    font.setStrikeOut(setting.Style & FontSetting::StrikeOut);
    return font;
}

// The four style bits of a font, as the settings keep them.
inline int SettingStyleOf(const QFont& font)
{
    return (font.bold() ? FontSetting::Bold : 0) | (font.italic() ? FontSetting::Italic : 0) |
           (font.underline() ? FontSetting::Underline : 0) | (font.strikeOut() ? FontSetting::StrikeOut : 0);
}
