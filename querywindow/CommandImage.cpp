#include "CommandImage.h"

#include "ImageLists.h"

#include <QAction>
#include <QVariant>

namespace CommandImage {

namespace {
constexpr const char* Property = "ImageIndex";
}

void Set(QAction* action, int index)
{
    action->setProperty(Property, index);
    action->setIcon(ImageLists::ImageList1(index));
}

int Of(const QAction* action)
{
    const QVariant v = action->property(Property);
    return v.isValid() ? v.toInt() : None;
}

} // namespace CommandImage
