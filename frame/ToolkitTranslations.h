// The toolkit's own texts (dialog buttons, the file and font dialogs) in Chinese, as the rest of
// the program: the toolkit's Simplified Chinese translations, installed with the toolkit.
#pragma once

namespace ToolkitTranslations {

inline constexpr const char* FileName = "qtbase_zh_CN";

// Loads the translations from the toolkit's translations folder and installs them in the running
// application, once; false when there is no application or the file cannot be loaded.
bool Install();

} // namespace ToolkitTranslations
