#include "InstallProgress.h"

#include <algorithm>

namespace {

// value * scale / total within 0..scale, in 64 bits so that no product overflows.
int Share(int value, int scale, int total)
{
    if (total <= 0) return scale;
    const long long share = static_cast<long long>(std::max(value, 0)) * scale / total;
    return static_cast<int>(std::clamp<long long>(share, 0, scale));
}

} // namespace

int InstallProgress::Percent(int done, int total) { return Share(done, 100, total); }

int InstallProgress::BarWidth(int fullWidth, int done, int total) { return Share(done, std::max(fullWidth, 0), total); }

QString InstallProgress::Text(const QString& prefix, int done, int total)
{
    return prefix + QString::number(Percent(done, total)) + u'%';
}

QString InstallProgress::PrefixOf(const QString& initialText)
{
    const qsizetype at = initialText.indexOf(u'%');
    return at < 0 ? initialText : initialText.left(at);
}

QString InstallProgress::InitialText() { return QString(50, u' ') + u'%'; }
