// The plain text lists that the catalog and data-source routines fill.
#pragma once

#include <string>
#include <vector>

using StringList = std::vector<std::string>;

// Ascending, case-insensitive, stable: equal names keep their order and duplicates stay.
void SortStringList(StringList& list);
