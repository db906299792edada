// Where the shop keeps its data: fixed folders beside the program file.
#pragma once

#include <optional>
#include <string>

#include "date_text.h"

namespace shop::storage {

// Folder names under the run directory.
inline constexpr const char* kProductFolder = "数据库管理";
inline constexpr const char* kSalesFolder = "保存数据库";
inline constexpr const char* kEmployeeFolder = "员工数据库";
inline constexpr const char* kLeaveFolder = "员工请假数据库";
inline constexpr const char* kSalaryFolder = "员工工资管理";
inline constexpr const char* kSettingsFolder = "配置";
// One ticket table per run, beside the sales tables but never among them:
// the sales query lists the sales folder only.
inline constexpr const char* kTicketFolder = "收款记录";
// The folders whose tables make up the shop's data: what a backup copies and
// a restore gives back. The tickets belong to it as much as the sales do.
inline constexpr const char* kTableFolders[] = {kProductFolder, kSalesFolder,  kEmployeeFolder,
                                                kLeaveFolder,   kSalaryFolder, kTicketFolder};

inline constexpr const char* kProductTableName = "产品数据库";
inline constexpr const char* kProductSaveTableName = "产品保存";
inline constexpr const char* kEmployeeTableName = "员工基本数据库";
inline constexpr const char* kSalesPrefix = "销售数据";
inline constexpr const char* kTicketPrefix = "小票";
// The day closes of the till, one table for all days, beside the tickets it
// sums up (never in the sales folder, which the sales query lists).
inline constexpr const char* kDayCloseTableName = "日结";

// run directory + separator + each part, with the platform's separator.
std::string joinPath(const std::string& runDir, const std::string& folder);
std::string joinPath(const std::string& runDir, const std::string& folder, const std::string& file);

struct DataPaths {
    std::string runDir;  // without a trailing separator

    std::string productSave() const;   // 数据库管理/产品保存.edb
    std::string product() const;       // 数据库管理/产品数据库.edb
    std::string employee() const;      // 员工数据库/员工基本数据库.edb
    std::string salesFolder() const;   // 保存数据库
    std::string leaveFolder() const;   // 员工请假数据库
    std::string salaryFolder() const;  // 员工工资管理
    std::string settingsFile() const;  // 配置/fghh.ini
    // 保存数据库/销售数据<date text>.edb
    std::string salesTable(const Moment& start) const;
    std::string ticketFolder() const;  // 收款记录
    // 收款记录/小票<date text>.edb: the tickets of the run that started then.
    std::string ticketTable(const Moment& start) const;
    std::string dayCloses() const;  // 收款记录/日结.edb
    // Per-employee tables: folder + name + ".edb". The name is used as typed,
    // but a name that would leave its folder (a path separator, "." or "..",
    // a NUL) gives nullopt, which callers treat as a table that cannot be
    // created or opened.
    std::optional<std::string> leaveTable(const std::string& name) const;
    std::optional<std::string> salaryTable(const std::string& name) const;
};

// Whether an employee name can name a file inside its folder (see above).
bool isSafeTableName(const std::string& name);

}  // namespace shop::storage
