// What the cashier is told at start about each run whose sales came back
// from its journal, or could not.
#pragma once

#include <string>

#include "checkout/sale_recovery.h"

namespace shop::checkout {

std::string recoveryNotice(const RecoveredRun& run);

}  // namespace shop::checkout
