#include "table_replace.h"

#include "table.h"

namespace shop::storage {

bool replaceRecords(std::span<const std::vector<std::string>* const> columns) {
    const std::size_t count = columns.empty() ? 0 : columns.front()->size();
    for (const std::vector<std::string>* column : columns)
        if (column->size() != count) return false;
    Batch batch;
    if (!batch.active() || !zap()) return false;
    for (std::size_t k = 0; k < count; ++k) {
        if (!appendBlank()) return false;
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (!writeText(static_cast<int>(c) + 1, (*columns[c])[k]))
                return false;  // the batch rolls every write back
    }
    return batch.commit();
}

}  // namespace shop::storage
