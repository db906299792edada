// Whether a code may be given to a goods in the catalogue: a code names one
// goods, and only a code a scanner can read back is taken.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "code_index.h"
#include "store_codes.h"

namespace shop::barcodes {

struct CodeCheck {
    bool accepted = false;
    bool isNew = false;   // accepted and not yet this goods' code: to be stored
    std::string message;  // why not; empty when accepted
};

// An empty code is accepted (the goods gets none). Otherwise the code must
// be an article number with a valid check digit or a scale key of the rules,
// and no other goods may have it.
CodeCheck checkCode(std::string_view code, const std::string& goods, const CodeIndex& codes,
                    const std::vector<StoreLayout>& layouts);

struct InStoreCode {
    std::string code;
    std::int64_t counter = 0;  // the counter that made it: the next starts above it
};

// The first in-store code above `counter` that no goods has yet; nullopt
// when the counter's digits run out.
std::optional<InStoreCode> nextInStoreCode(std::int64_t counter, const CodeIndex& codes);

}  // namespace shop::barcodes
