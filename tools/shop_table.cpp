// shop_table: the shop's table tool. Provisions a run folder, lists and
// exports tables, and checks a table file's integrity.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "backup_commands.h"
#include "demo_data.h"
#include "server_commands.h"
#include "storage/csv.h"
#include "storage/data_paths.h"
#include "storage/run_lock.h"
#include "storage/schemas.h"
#include "storage/table.h"
#include "tool_text.h"

namespace fs = std::filesystem;
using namespace shop::storage;
using shop::tool::escapeControls;

namespace {

int usage() {
    std::cerr
        << "usage:\n"
           "  shop_table provision RUN_DIR [--demo]   make the data folders and the shipped "
           "tables\n"
           "  shop_table fields TABLE.edb              list the fields\n"
           "  shop_table list TABLE.edb                list the records\n"
           "  shop_table export TABLE.edb              write the records as CSV to standard "
           "output\n"
           "  shop_table check TABLE.edb               check the file's integrity\n"
           "  shop_table backup RUN_DIR DEST_DIR       back up every table and the settings\n"
           "  shop_table restore BACKUP_DIR RUN_DIR [--sound-only]\n"
           "                                           put a verified backup back\n"
           "  shop_table server ...                    the shop server (shop_table server help)\n"
           "\n"
           "list shows control characters as escapes (\\n, \\t, \\x1b, \\\\ for a backslash),\n"
           "so nothing stored in a table can drive the terminal.\n"
           "export puts a single quote before every cell that starts with =, +, -, @,\n"
           "a tab or a carriage return, so a spreadsheet shows it as text instead of\n"
           "running it as a formula; remove that quote to get the stored text back.\n"
           "provision --demo fills the tables it makes with a demo catalogue, three\n"
           "employees with leave and salary records, and sales of earlier today.\n"
           "provision refuses to work on a run folder while the shop program runs on it.\n"
           "restore names every file of the backup that does not match its manifest and\n"
           "then replaces nothing; with --sound-only it restores the other files, leaves\n"
           "those as they are in the run folder, and ends with code 1.\n";
    return 2;
}

int provision(const std::string& runDir, bool demo) {
    std::error_code ec;
    fs::create_directories(runDir, ec);
    RunLock lock;
    if (const Status s = lock.acquire(runDir); !s.ok()) {
        // The lock file's own path and why: the folder is left alone.
        std::cerr << "shop_table: " << s.path() << ": "
                  << (s.code() == Status::Code::Locked
                          ? "the shop program is running on this folder"
                          : s.detail())
                  << "; nothing changed\n";
        return 1;
    }
    for (const char* folder : {kProductFolder, kSalesFolder, kEmployeeFolder, kLeaveFolder,
                               kSalaryFolder, kSettingsFolder, kTicketFolder}) {
        fs::create_directories(joinPath(runDir, folder), ec);
        if (ec) {
            std::cerr << "shop_table: cannot make folder " << joinPath(runDir, folder) << ": "
                      << ec.message() << "\n";
            return 1;
        }
    }
    const DataPaths paths{runDir};
    struct Shipped {
        std::string path;
        std::vector<FieldDesc> fields;
    };
    const Shipped shipped[] = {{paths.product(), schemas::product()},
                               {paths.productSave(), schemas::productSave()},
                               {paths.employee(), schemas::employee()},
                               // Empty until the first close; the program also
                               // makes it when an older folder lacks it.
                               {paths.dayCloses(), schemas::dayCloses()}};
    for (const auto& t : shipped) {
        if (fs::exists(t.path)) continue;  // never replace a shop's data
        if (!create(t.path, t.fields)) {
            std::cerr << "shop_table: cannot create " << t.path << "\n";
            return 1;
        }
        if (demo && !shop::tool::fillShippedDemo(paths, t.path)) return 1;
    }
    return demo && !shop::tool::addDemoHistory(paths) ? 1 : 0;
}

// Opens a table for reading; says why not otherwise. Failures of the file
// itself reached standard error through the failure log already.
bool openForReading(const std::string& path) {
    if (open(path, true)) return true;
    const Status why = lastStatus();
    const bool logged = why.code() != Status::Code::NotFound && why.code() != Status::Code::Invalid;
    std::cerr << "shop_table: cannot open " << path << " as a table"
              << (logged ? "" : ": " + why.detail()) << "\n";
    return false;
}

// The end of a read: 0, or 1 with a line when a read failed meanwhile (its
// reason was logged when it happened).
int readResult(const StatusWatch& watch, const std::string& path) {
    close();
    if (!watch.failed()) return 0;
    std::cerr << "shop_table: " << path
              << ": could not read every record; the output is incomplete\n";
    return 1;
}

int dump(const std::string& path, bool csv) {
    if (!openForReading(path)) return 1;
    const StatusWatch watch;
    const auto fs = fields();
    const char* sep = csv ? "," : " | ";
    const auto shown = [csv](const std::string& text) {
        return csv ? csvCell(text) : escapeControls(text);
    };
    for (std::size_t i = 0; i < fs.size(); ++i) std::cout << (i ? sep : "") << shown(fs[i].name);
    std::cout << "\n";
    const int n = countRecords().value_or(0);
    for (int r = 0; r < n && !watch.failed(); ++r) {
        for (std::size_t i = 0; i < fs.size(); ++i) {
            const auto v = readField(static_cast<int>(i) + 1);
            std::string cell;
            if (v && v->type == FieldType::Bytes)
                cell = "<" + std::to_string(v->data.size()) + " bytes>";
            else if (v)
                cell = v->data;
            std::cout << (i ? sep : "") << shown(cell);
        }
        std::cout << "\n";
        skip(1);
    }
    return readResult(watch, path);
}

int listFields(const std::string& path) {
    if (!openForReading(path)) return 1;
    const StatusWatch watch;
    int pos = 1;
    for (const auto& f : fields())
        std::cout << pos++ << "\t" << escapeControls(f.name) << "\t"
                  << (f.type == FieldType::Text ? "text" : "bytes") << "\t" << f.maxLength << "\n";
    if (const auto n = countRecords()) std::cout << *n << " records\n";
    return readResult(watch, path);
}

}  // namespace

int main(int argc, char** argv) {
    setFailureLog(
        [](const Status& failure) { std::cerr << "shop_table: " << failure.message() << "\n"; });
    if (argc < 3) return usage();
    const std::string cmd = argv[1], arg = argv[2];
    if (cmd == "provision") {
        if (argc > 4 || (argc == 4 && std::strcmp(argv[3], "--demo") != 0)) return usage();
        return provision(arg, argc == 4);
    }
    if (cmd == "backup" || cmd == "restore")
        return shop::tool::runBackupCommand(cmd, argc - 2, argv + 2);
    if (cmd == "server") return shop::tool::runServerCommand(argc - 2, argv + 2);
    if (argc != 3) return usage();
    if (cmd == "fields") return listFields(arg);
    if (cmd == "list") return dump(arg, false);
    if (cmd == "export") return dump(arg, true);
    if (cmd == "check") {
        const std::string problem = checkIntegrity(arg);
        if (problem.empty()) {
            std::cout << "ok\n";
            return 0;
        }
        std::cerr << "shop_table: " << arg << ": " << problem << "\n";
        return 1;
    }
    return usage();
}
