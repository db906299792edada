#include "employee_table.h"

#include <map>

#include "storage/schemas.h"
#include "storage/table.h"
#include "storage/table_visit.h"

namespace shop::employees {

namespace st = storage;
namespace f = storage::schemas::employee_field;

AppendOutcome appendEmployee(const EmployeeRecord& record) {
    AppendOutcome outcome;
    // One batch for the whole record: a crash or a refused field rolls the
    // blank record back with everything written into it.
    st::Batch batch;
    const bool appended = st::appendBlank();
    for (int position : writeOrder()) {
        const std::string& data = record[position];
        const st::Value value =
            position == f::kPhoto ? st::Value::bytes(data) : st::Value::text(data);
        if (!appended || !st::writeField(position, value)) outcome.failed.push_back(position);
    }
    if (outcome.failed.empty()) outcome.saved = batch.commit();
    return outcome;  // an uncommitted batch rolls back here
}

std::optional<std::vector<std::string>> employeeNames(const std::string& path) {
    return st::readTextColumn(path, f::kName);
}

Lookup readEmployee(const std::string& path, int k, EmployeeRecord& out) {
    st::TableVisit visit(path);
    if (!visit.opened()) return Lookup::OpenFailed;
    if (k < 1 || k > st::recordCount()) return Lookup::NoRecord;
    st::skip(k - 1);
    for (int position = 1; position <= kFieldCount; ++position)
        out[position] = st::readText(position);
    return Lookup::Found;
}

RemoveOutcome removeEmployeesNamed(const std::string& path, const std::string& name) {
    RemoveOutcome outcome;
    st::TableVisit visit(path);
    if (!visit.opened()) return outcome;
    outcome.opened = true;
    // Every matching record goes, or none: a purge that fails half-way must
    // not leave the table with some of the employee's records gone.
    st::Batch batch;
    const int n = st::recordCount();
    for (int i = 0; i < n; ++i) {
        if (!st::find([&] { return st::readText(f::kName) == name; })) continue;
        st::markDeleted();
        if (!st::deletionMark() || !st::purge()) {
            outcome.removed = 0;
            return outcome;  // rolled back
        }
        ++outcome.removed;
    }
    if (outcome.removed > 0 && !batch.commit()) outcome.removed = 0;
    return outcome;
}

std::shared_ptr<st::TableVisit> holdEmployeeTable(const std::string& path) {
    static std::map<std::string, std::weak_ptr<st::TableVisit>> holds;
    std::weak_ptr<st::TableVisit>& hold = holds[path];
    if (auto held = hold.lock(); held && st::isOpen(path) && st::select(path)) return held;
    auto visit = std::make_shared<st::TableVisit>(path);
    if (!visit->opened()) return nullptr;
    hold = visit;
    return visit;
}

}  // namespace shop::employees
