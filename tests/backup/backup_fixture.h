// A run folder for backup and restore tests: the shipped tables, sales
// tables with records, a leave table, the settings file; and a look at every
// file of a folder, to see that a refused restore changed nothing.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "backup/restore.h"
#include "storage/data_paths.h"
#include "storage/schemas.h"
#include "storage/sha256.h"
#include "storage/table_fixture.h"

namespace shop::backup::testing {

using namespace storage;
using namespace storage::testing;

class RunFolderTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        run = path("run");
        for (const char* folder : kTableFolders)
            std::filesystem::create_directories(joinPath(run, folder));
        std::filesystem::create_directories(joinPath(run, kSettingsFolder));
        const DataPaths paths{run};
        ASSERT_TRUE(create(paths.product(), schemas::product()));
        ASSERT_TRUE(create(paths.productSave(), schemas::productSave()));
        ASSERT_TRUE(create(paths.employee(), schemas::employee()));
        sales = addTable(kSalesFolder, "销售数据2024年3月5日14时7分9秒.edb", 20);
        addTable(kSalesFolder, "销售数据2024年3月6日9时0分1秒.edb", 5);
        writeFile(paths.settingsFile(), "[收银]\n店名=澄屿\n");
    }

    // A four-field table with `records` records, closed again.
    std::string addTable(const char* folder, const std::string& name, int records) {
        const std::string p = joinPath(run, folder, name);
        EXPECT_TRUE(create(p, fourTexts()));
        EXPECT_TRUE(open(p));
        Batch batch;
        EXPECT_TRUE(appendRecords(1, records));
        EXPECT_TRUE(batch.commit());
        close();
        return p;
    }

    // Relative path -> SHA-256, of every file under a folder.
    static std::map<std::string, std::string> snapshot(const std::string& folder) {
        std::map<std::string, std::string> out;
        for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
            if (e.is_regular_file())
                out[std::filesystem::relative(e.path(), folder).string()] =
                    sha256File(e.path().string()).value_or("");
        return out;
    }

    // A hold that always grants the folder and counts how often it was asked.
    RunFolderHold freeHold() {
        return [this](const std::string&, std::string*) {
            ++holds;
            return std::make_shared<int>(0);
        };
    }

    std::string run, sales;
    int holds = 0;
};

}  // namespace shop::backup::testing
