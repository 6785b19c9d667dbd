#include "CaptionRule.h"

#include "InstallerGlobals.h"

QString InsertVersionIntoCaption(const QString& caption)
{
    const QString& product = InstallerGlobals::ProductName;
    const qsizetype at = caption.indexOf(product);
    if (at < 0) return caption;
    return product + u' ' + InstallerGlobals::ProductVersion + QString(14, u' ') + caption.mid(at + product.size());
}
