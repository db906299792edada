// Storing a finished sale in its tables: its lines in the run's sales table,
// its ticket in the run's ticket table, its stock in the product table. Each
// table takes its part in one all-or-nothing step, and a part a table
// already holds is not written again, so a sale cut short by a crash is
// finished by landing it once more, with nothing stored twice.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checkout/finished_sale.h"

namespace shop::checkout {

struct Landing {
    bool lines = false;
    bool ticket = false;
    bool stock = false;
    // Records of the sales table once the lines are in it.
    int salesRecords = 0;
    int firstRecord = 0;  // where the lines are
    // Stock changes not made, each said in a short text (the record no
    // longer holds what the sale was rung up against).
    std::vector<std::string> stockNotes;
    // What failed, for the cashier; empty when everything landed.
    std::string failure;
    bool landed() const { return lines && ticket && stock; }
};

// Lands every part not yet stored, in order: lines, then the ticket (so no
// ticket names lines that are not there), then the stock. A sale without a
// receipt number (the exit recording) has no ticket. Leaves the current
// table as it was.
Landing landSale(const std::string& runDir, const FinishedSale& sale);

// Records of the sales table at `salesPath` (0 when it is not there yet);
// nullopt when it cannot be read. Leaves the current table as it was.
std::optional<int> salesRecords(const std::string& salesPath);

}  // namespace shop::checkout
