// The system's reasons in the wizard's Chinese texts: an errno as Chinese words, and a system
// message (the toolkit's or the C library's English) told by the errno text it carries.
#pragma once

#include <QString>

namespace SystemText {

// The reason for errnum in Chinese; an errno outside the table as "系统错误（错误号 N）".
QString Reason(int errnum);
// A reason given as the system's text: the Chinese reason of the errno whose text it contains,
// the registry's own reasons in Chinese (the path they name kept), the text itself when it holds no
// Latin letter (already Chinese), otherwise "系统错误".
QString InChinese(const QString& message);

} // namespace SystemText
