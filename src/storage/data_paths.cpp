#include "data_paths.h"

namespace shop::storage {

namespace {
constexpr char kSep = '/';
}

std::string joinPath(const std::string& runDir, const std::string& folder) {
    return runDir + kSep + folder;
}

std::string joinPath(const std::string& runDir, const std::string& folder,
                     const std::string& file) {
    return runDir + kSep + folder + kSep + file;
}

std::string DataPaths::productSave() const {
    return joinPath(runDir, kProductFolder, std::string(kProductSaveTableName) + ".edb");
}
std::string DataPaths::product() const {
    return joinPath(runDir, kProductFolder, std::string(kProductTableName) + ".edb");
}
std::string DataPaths::employee() const {
    return joinPath(runDir, kEmployeeFolder, std::string(kEmployeeTableName) + ".edb");
}
std::string DataPaths::salesFolder() const { return joinPath(runDir, kSalesFolder); }
std::string DataPaths::leaveFolder() const { return joinPath(runDir, kLeaveFolder); }
std::string DataPaths::salaryFolder() const { return joinPath(runDir, kSalaryFolder); }
std::string DataPaths::settingsFile() const {
    return joinPath(runDir, kSettingsFolder, "fghh.ini");
}

std::string DataPaths::salesTable(const Moment& start) const {
    return joinPath(runDir, kSalesFolder, kSalesPrefix + dateText(start) + ".edb");
}

std::string DataPaths::ticketFolder() const { return joinPath(runDir, kTicketFolder); }

std::string DataPaths::ticketTable(const Moment& start) const {
    return joinPath(runDir, kTicketFolder, kTicketPrefix + dateText(start) + ".edb");
}

std::string DataPaths::dayCloses() const {
    return joinPath(runDir, kTicketFolder, std::string(kDayCloseTableName) + ".edb");
}

bool isSafeTableName(const std::string& name) {
    if (name == "." || name == "..") return false;
    return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::optional<std::string> DataPaths::leaveTable(const std::string& name) const {
    if (!isSafeTableName(name)) return std::nullopt;
    return joinPath(runDir, kLeaveFolder, name + ".edb");
}

std::optional<std::string> DataPaths::salaryTable(const std::string& name) const {
    if (!isSafeTableName(name)) return std::nullopt;
    return joinPath(runDir, kSalaryFolder, name + ".edb");
}

}  // namespace shop::storage
