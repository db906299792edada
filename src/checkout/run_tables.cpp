#include "run_tables.h"

#include <filesystem>
#include <system_error>

#include "storage/schemas.h"
#include "storage/table.h"

namespace shop::checkout {

namespace st = shop::storage;

namespace {
// Whether the current table has the sales table's field layout.
bool hasSalesFields() {
    const auto expected = st::schemas::sales();
    const auto actual = st::fields();
    if (actual.size() != expected.size()) return false;
    for (std::size_t i = 0; i < actual.size(); ++i)
        if (actual[i].type != expected[i].type) return false;
    return true;
}
}  // namespace

std::optional<QStringList> openGoodsNames(const std::string& productSavePath) {
    if (!st::open(productSavePath, false, st::kShareDefault)) return std::nullopt;
    QStringList names;
    const int n = st::recordCount();
    names.reserve(n > 0 ? n : 0);
    for (int i = 0; i < n; ++i) {
        names << QString::fromStdString(st::readText(1));
        st::skip(1);
    }
    return names;
}

SalesTableStart startSalesTable(const std::string& salesPath) {
    if (!st::create(salesPath, st::schemas::sales())) {
        // The facility never overwrites a file. A file already at this path
        // is taken to be the sales table of a run started in the same
        // second, and this run appends to it too. Anything else that stops
        // the creation leaves the run without a sales table.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(salesPath, ec)) return SalesTableStart::NotCreated;
    }
    if (!st::open(salesPath, false, st::kShareDefault)) return SalesTableStart::OpenFailed;
    if (!hasSalesFields()) {
        // Something else under this run's name: sales written into it would
        // be unreadable, so the run must not start on it.
        st::close();
        return SalesTableStart::OpenFailed;
    }
    return SalesTableStart::Opened;
}

}  // namespace shop::checkout
