// Leaving one wizard page for another: the next page is made when first reached (into its form
// variable) and kept; the page left is only hidden.
#pragma once

#include <QWidget>

// Shows the page of formVariable, making it first when the variable is empty, then hides from
// (which may be nullptr at start). The page left does not repaint meanwhile. True when the page
// was made here.
template <class Page>
bool SwitchPage(QWidget* from, Page*& formVariable)
{
    if (from) from->setUpdatesEnabled(false);
    const bool made = formVariable == nullptr;
    if (made) {
        formVariable = new Page;
        formVariable->FormCreate();
    }
    formVariable->show();
    formVariable->activateWindow();
    if (from) {
        from->setUpdatesEnabled(true);
        from->hide();
    }
    return made;
}
