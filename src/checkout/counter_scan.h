// What the main window keeps for the scanner: the barcode table in memory,
// the scale-label layouts, the goods list's positions by name and the keys
// of the boxes a scan may reach: the goods box, and by mistake the amount
// and quantity boxes.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <future>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "barcodes/code_index.h"
#include "barcodes/store_codes.h"
#include "checkout/scan_burst.h"

namespace shop::checkout {

struct BoxBurst {
    ScanBurst keys;
    QString before;
};

struct CounterScan {
    barcodes::CodeIndex codes;
    bool codesLoaded = false;
    // The barcode table being read beside the start, on a thread of its own.
    std::future<std::optional<std::vector<barcodes::CodeEntry>>> reading;
    std::vector<barcodes::StoreLayout> layouts;
    // The first position of each name in the goods list, made again after
    // the list changes.
    std::unordered_map<std::string, int> positions;
    bool positionsStale = true;
    // The goods, amount and quantity boxes: the burst of keys under way in
    // each, and what the box held before it began.
    BoxBurst goods;
    BoxBurst tendered;
    BoxBurst quantity;
    QElapsedTimer clock;
    // The valid code last scanned that names no goods, for 登记条码.
    std::string unknownCode;
};

}  // namespace shop::checkout
