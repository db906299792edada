// The barcode table beside the catalogue (数据库管理/商品条码.edb): one record
// per code, 条码 and 商品名称. The goods are named by name, as the checkout
// names them; the product and product-save tables stay as they are.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "storage/status.h"

namespace shop::barcodes {

struct CodeEntry {
    std::string code;
    std::string goods;
    friend bool operator==(const CodeEntry&, const CodeEntry&) = default;
};

// Makes the empty table when no file is at `path` (a run folder from before
// codes); an existing file is never touched.
storage::Status ensureBarcodeTable(const std::string& path);

// Every record, in table order, read through a connection of its own: the
// calling thread's current table stays as it was. nullopt when the table
// cannot be read (it is then never taken for an empty one).
std::optional<std::vector<CodeEntry>> readCodes(const std::string& path);

// Appends the entries in one step: all are stored or none. The calling
// thread's current table is current again afterwards.
storage::Status addCodes(const std::string& path, const std::vector<CodeEntry>& entries);

// Takes every code out in one step: the table is empty, or, should that
// fail, holds what it held. No table at `path` holds no codes already.
storage::Status removeAllCodes(const std::string& path);

// Every code of goods `from` now names goods `to` (a goods renamed in the
// catalogue keeps its codes), in one step.
storage::Status renameGoods(const std::string& path, const std::string& from,
                            const std::string& to);

}  // namespace shop::barcodes
