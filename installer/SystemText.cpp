#include "SystemText.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

const std::pair<int, const char*> Reasons[] = {
    {ENOSPC, "磁盘空间不足"},
    {EDQUOT, "超出磁盘配额"},
    {EFBIG, "文件太大"},
    {EACCES, "没有权限"},
    {EPERM, "操作不被允许"},
    {EROFS, "只读文件系统"},
    {ENOENT, "文件或文件夹不存在"},
    {EBUSY, "文件正在使用中"},
    {ETXTBSY, "文件正在使用中"},
    {EEXIST, "文件已存在"},
    {ENOTEMPTY, "文件夹中还有其他文件"},
    {EISDIR, "是文件夹"},
    {ENOTDIR, "路径中有一级不是文件夹"},
    {ELOOP, "路径中有符号链接"},
    {ENAMETOOLONG, "文件名太长"},
    {EIO, "读写设备出错"},
    {EMFILE, "打开的文件太多"},
    {ENOMEM, "内存不足"},
    {EINVAL, "路径无效"},
};

// The registry's own reasons, which name no errno.
const std::pair<const char*, const char*> RegistryReasons[] = {
    {"cannot create the folder ", "不能创建文件夹 "},
    {"invalid key path ", "注册表项的名称无效："},
    {"invalid name or value for ", "注册表值的名称或内容无效："},
    {"invalid section name ", "注册表项的名称无效："},
};

bool HasLatinLetter(const QString& text)
{
    for (const QChar c : text)
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) return true;
    return false;
}

} // namespace

namespace SystemText {

QString Reason(int errnum)
{
    for (const auto& [number, text] : Reasons)
        if (number == errnum) return QString::fromUtf8(text);
    return QStringLiteral("系统错误（错误号 %1）").arg(errnum);
}

QString InChinese(const QString& message)
{
    for (const auto& [number, text] : Reasons) {
        const QString system = QString::fromLocal8Bit(std::strerror(number));
        if (!system.isEmpty() && message.contains(system, Qt::CaseInsensitive)) return QString::fromUtf8(text);
    }
    for (const auto& [english, chinese] : RegistryReasons)
        if (message.startsWith(QLatin1String(english)))
            return QString::fromUtf8(chinese) + message.mid(static_cast<qsizetype>(std::strlen(english)));
    if (!message.isEmpty() && !HasLatinLetter(message)) return message;
    return QStringLiteral("系统错误");
}

} // namespace SystemText
