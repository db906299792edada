// What the cashier is told while the run's journal cannot be written, and
// when the run ends with rows that could not be stored.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "checkout/sale_journal.h"

namespace shop::checkout {

// The warning that stays in view while the journal fails; nullopt while it
// keeps the list.
std::optional<std::string> journalWarning(const SaleJournal& journal);

// The run ends with `rows` rows not stored in `salesPath`. Recovery at the
// next start is promised only when `kept`: a journal on disk holds them.
std::string unstoredAtEndNotice(const std::string& salesPath, std::size_t rows, bool kept);

}  // namespace shop::checkout
