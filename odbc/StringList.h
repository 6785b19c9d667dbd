// The plain text lists that the catalog and data-source routines fill.
#pragma once

#include <string>
#include <vector>

using StringList = std::vector<std::string>;

// Ascending in the GBK order: Chinese names by their GB18030 bytes (pinyin order for the common
// characters), ASCII letters without regard to case. Stable: equal names keep their order and
// duplicates stay.
void SortStringList(StringList& list);
