// The wizard's caption rule: the product name, its version and the rest of the page's caption.
#pragma once

#include <QString>

// The product name, one blank, the version, fourteen blanks and the caption's text after the first
// occurrence of the product name; what stands before it is dropped. A caption without the product
// name stays as it is.
QString InsertVersionIntoCaption(const QString& caption);
