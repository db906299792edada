// The employee table as the employee windows use it: appending a record, the
// list of names, one record by its position, and removing the employees of a
// name. The windows call these and keep no storage code of their own.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "employee_form.h"

namespace shop::storage {
class TableVisit;
}

namespace shop::employees {

// The nineteen fields of one employee, addressed by 1-based position. Field 1
// holds the photo bytes (empty when there is no photo); the rest are texts.
struct EmployeeRecord {
    std::array<std::string, kFieldCount> values;

    std::string& operator[](int position) { return values[static_cast<std::size_t>(position - 1)]; }
    const std::string& operator[](int position) const {
        return values[static_cast<std::size_t>(position - 1)];
    }
};

struct AppendOutcome {
    std::vector<int> failed;  // positions whose write failed, in write order
    bool saved = false;       // the record is in the table, complete
};

// Appends the record to the current table, writing the fields in writeOrder().
// Every write is attempted; the record stays only when all of them succeeded,
// so a failed write never leaves a half-filled employee behind.
AppendOutcome appendEmployee(const EmployeeRecord& record);

// Field 3 of every record of the table at `path`, in record order; nullopt
// when the table cannot be opened. The table is closed afterwards.
std::optional<std::vector<std::string>> employeeNames(const std::string& path);

enum class Lookup { OpenFailed, NoRecord, Found };

// Record `k` (1-based) of the table at `path` into `out`, read with the
// table's own positional lookup; the table is closed afterwards.
Lookup readEmployee(const std::string& path, int k, EmployeeRecord& out);

struct RemoveOutcome {
    bool opened = false;
    int removed = 0;  // records whose name matched and were purged
};

// Removes every record of the table at `path` whose field 3 equals `name`,
// all of them or none. The table is closed afterwards unless an entry form
// keeps it open.
RemoveOutcome removeEmployeesNamed(const std::string& path, const std::string& name);

// The employee table held open for an entry form, and made current. Several
// forms may be open at once (one non-modal, one modal): the table stays open
// until the last holder lets go, so closing one form never pulls the table
// from under another. Null when the table does not open. User-interface
// thread only.
std::shared_ptr<storage::TableVisit> holdEmployeeTable(const std::string& path);

}  // namespace shop::employees
