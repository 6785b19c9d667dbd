// A statement's rows as the engine leaves them, built from names and a matrix of field texts.
#pragma once

#include "ResultRowStore.h"

#include <memory>
#include <string>
#include <vector>

inline std::unique_ptr<ResultRowStore> MakeRowStore(const std::vector<std::string>& names,
                                                    const std::vector<std::vector<std::string>>& rows)
{
    auto store = std::make_unique<ResultRowStore>(names.size());
    store->SetHeader(names);
    for (const auto& row : rows) {
        for (const auto& field : row) {
            store->CurrentField() = field;
            store->EndField();
        }
        store->EndRow();
    }
    return store;
}
