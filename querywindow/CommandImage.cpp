#include "CommandImage.h"

#include <QAction>
#include <QVariant>

namespace CommandImage {

namespace {
constexpr const char* Property = "ImageIndex";
}

void Set(QAction* action, int index) { action->setProperty(Property, index); }

int Of(const QAction* action)
{
    const QVariant v = action->property(Property);
    return v.isValid() ? v.toInt() : None;
}

} // namespace CommandImage
