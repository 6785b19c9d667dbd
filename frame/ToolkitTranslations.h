// The toolkit's own texts (dialog buttons, the file and font dialogs) in Chinese, as the rest of
// the program: the toolkit's Simplified Chinese translations, installed with the toolkit.
#pragma once

namespace ToolkitTranslations {

inline constexpr const char* FileName = "qtbase_zh_CN";

// Loads the translations from the toolkit's translations folder and installs them in the running
// application, once; false when there is no application or the file cannot be loaded.
bool Install();

// Makes Chinese (China) the locale of the toolkit's own texts, whatever the machine's: the month and
// day names of dates and calendars, the file dialogs' sizes and dates. Widgets made afterwards take
// it. The program's result values do not use it: their numbers always have "." as the decimal point.
void UseChineseLocale();

} // namespace ToolkitTranslations
