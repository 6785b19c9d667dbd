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
