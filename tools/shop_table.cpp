// shop_table: the shop's table tool. Provisions a run folder, lists and
// exports tables, and checks a table file's integrity.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "backup_commands.h"
#include "storage/csv.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/table.h"

namespace fs = std::filesystem;
using namespace shop::storage;

namespace {

int usage() {
    std::cerr << "usage:\n"
                 "  shop_table provision RUN_DIR [--demo]   make the data folders and the shipped tables\n"
                 "  shop_table fields TABLE.edb              list the fields\n"
                 "  shop_table list TABLE.edb                list the records\n"
                 "  shop_table export TABLE.edb              write the records as CSV to standard output\n"
                 "  shop_table check TABLE.edb               check the file's integrity\n"
                 "  shop_table backup RUN_DIR DEST_DIR       back up every table and the settings\n"
                 "  shop_table restore BACKUP_DIR RUN_DIR    put a verified backup back\n";
    return 2;
}

// Demo catalogue: the product table and the product-save table list the same
// goods in the same order, as the checkout's lookup by position needs.
const std::vector<std::vector<std::string>> kDemoProducts = {
    {"矿泉水", "2元", "50"},  {"方便面", "4.5元", "30"}, {"牛奶", "6元", "20"},
    {"面包", "8.5元", "15"},  {"苹果", "3.2元", "40"},   {"鸡蛋", "1.2元", "60"},
};

bool fill(const std::string& path, const std::vector<std::vector<std::string>>& rows) {
    if (!open(path)) return false;
    Batch batch;
    bool ok = zap();
    for (const auto& row : rows) {
        ok = ok && appendBlank();
        for (std::size_t f = 0; f < row.size(); ++f) ok = ok && writeText(static_cast<int>(f) + 1, row[f]);
    }
    ok = ok && batch.commit();
    close();
    return ok;
}

int provision(const std::string& runDir, bool demo) {
    std::error_code ec;
    for (const char* folder : {kProductFolder, kSalesFolder, kEmployeeFolder, kLeaveFolder, kSalaryFolder,
                               kSettingsFolder}) {
        fs::create_directories(joinPath(runDir, folder), ec);
        if (ec) {
            std::cerr << "shop_table: cannot make folder " << joinPath(runDir, folder) << ": " << ec.message() << "\n";
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
                               {paths.employee(), schemas::employee()}};
    for (const auto& t : shipped) {
        if (fs::exists(t.path)) continue;  // never replace a shop's data
        if (!create(t.path, t.fields)) {
            std::cerr << "shop_table: cannot create " << t.path << "\n";
            return 1;
        }
        if (demo && t.path == paths.product() && !fill(t.path, kDemoProducts)) return 1;
        if (demo && t.path == paths.productSave()) {
            std::vector<std::vector<std::string>> names;
            for (const auto& p : kDemoProducts) names.push_back({p[0]});
            if (!fill(t.path, names)) return 1;
        }
    }
    return 0;
}

int dump(const std::string& path, bool csv) {
    if (!open(path, true)) {
        std::cerr << "shop_table: cannot open " << path << " as a table\n";
        return 1;
    }
    const auto fs = fields();
    const char* sep = csv ? "," : " | ";
    for (std::size_t i = 0; i < fs.size(); ++i) std::cout << (i ? sep : "") << (csv ? csvCell(fs[i].name) : fs[i].name);
    std::cout << "\n";
    const int n = recordCount();
    for (int r = 0; r < n; ++r) {
        for (std::size_t i = 0; i < fs.size(); ++i) {
            const auto v = readField(static_cast<int>(i) + 1);
            std::string cell;
            if (v && v->type == FieldType::Bytes)
                cell = "<" + std::to_string(v->data.size()) + " bytes>";
            else if (v)
                cell = v->data;
            std::cout << (i ? sep : "") << (csv ? csvCell(cell) : cell);
        }
        std::cout << "\n";
        skip(1);
    }
    close();
    return 0;
}

int listFields(const std::string& path) {
    if (!open(path, true)) {
        std::cerr << "shop_table: cannot open " << path << " as a table\n";
        return 1;
    }
    int pos = 1;
    for (const auto& f : fields())
        std::cout << pos++ << "\t" << f.name << "\t" << (f.type == FieldType::Text ? "text" : "bytes") << "\t"
                  << f.maxLength << "\n";
    std::cout << recordCount() << " records\n";
    close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string cmd = argv[1], arg = argv[2];
    if (cmd == "provision") {
        if (argc > 4 || (argc == 4 && std::strcmp(argv[3], "--demo") != 0)) return usage();
        return provision(arg, argc == 4);
    }
    if (cmd == "backup" || cmd == "restore") return shop::tool::runBackupCommand(cmd, argc - 2, argv + 2);
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
