// Restoring a backup: the tables come back whole, and a backup that does not
// match its manifest, or a run folder the shop is running on, changes nothing.
#include "backup/restore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>

#include "backup/backup.h"
#include "backup/backup_manifest.h"
#include "backup_fixture.h"
#include "reliability/file_size_limit.h"

namespace shop::backup::testing {
namespace {

namespace fs = std::filesystem;

class RestoreTest : public RunFolderTest {
protected:
    void SetUp() override {
        RunFolderTest::SetUp();
        const BackupReport r = takeBackup(run, path("dest"), {2024, 3, 7, 8, 0, 0});
        ASSERT_TRUE(r.ok) << r.error;
        backup = r.folder;
        atBackup = snapshot(run);
    }

    // Changes the run folder after the backup: more sales, new settings.
    void changeRunFolder() {
        ASSERT_TRUE(open(sales));
        ASSERT_TRUE(appendRecords(21, 30));
        close();
        writeFile(DataPaths{run}.settingsFile(), "[收银]\n店名=别家\n");
    }

    std::string backup;
    std::map<std::string, std::string> atBackup;
};

TEST_F(RestoreTest, PutsEveryFileBackAndLeavesLaterTablesAlone) {
    changeRunFolder();
    const std::string later = addTable(kSalesFolder, "销售数据2024年3月8日10时0分0秒.edb", 2);
    const RestoreReport r = restoreBackup(backup, run, freeHold());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.restored, 6);
    EXPECT_EQ(holds, 1);

    // Byte for byte the backup's files; nothing staged or journal left over;
    // the later table kept as it was.
    std::map<std::string, std::string> expected;
    for (const auto& [rel, bytes] : atBackup) expected[rel] = *sha256File(backup + "/" + rel);
    const std::string laterRel = fs::relative(later, run).string();
    expected[laterRel] = *sha256File(later);
    EXPECT_EQ(snapshot(run), expected);
    ASSERT_TRUE(open(sales));
    EXPECT_EQ(recordCount(), 20);
}

TEST_F(RestoreTest, StaleJournalOfTheReplacedTableIsRemovedNotReplayed) {
    changeRunFolder();
    // A genuine journal of a writer killed midway through the old file: the
    // file and its journal taken while the change is half on disk.
    const std::string journal = sales + "-journal";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(sales.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "PRAGMA cache_size=1;BEGIN;"
                           "UPDATE cells SET value = zeroblob(3000)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(fs::exists(journal));
    const std::string crashedFile = readFile(sales), crashedJournal = readFile(journal);
    sqlite3_close(db);
    writeFile(sales, crashedFile);
    writeFile(journal, crashedJournal);

    const RestoreReport r = restoreBackup(backup, run, freeHold());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_EQ(checkIntegrity(sales), "");
    ASSERT_TRUE(open(sales));
    EXPECT_EQ(recordCount(), 20);
}

struct Spoil {
    const char* what;
    std::function<void(const std::string& backup)> apply;
};

TEST_F(RestoreTest, RefusesABackupThatDoesNotMatchItsManifest) {
    const std::string salesRel = "保存数据库/销售数据2024年3月5日14时7分9秒.edb";
    auto editManifest = [](const std::string& folder, const std::string& from,
                           const std::string& to) {
        std::string text = readFile(folder + "/" + kManifestName);
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        writeFile(folder + "/" + kManifestName, text.replace(at, from.size(), to));
    };
    const std::vector<Spoil> spoils = {
        {"a changed byte",
         [&](const std::string& b) {
             std::string bytes = readFile(b + "/" + salesRel);
             bytes[bytes.size() - 100] ^= 1;
             writeFile(b + "/" + salesRel, bytes);
         }},
        {"a missing file", [&](const std::string& b) { fs::remove(b + "/配置/fghh.ini"); }},
        {"a longer file",
         [&](const std::string& b) {
             writeFile(b + "/配置/fghh.ini", readFile(b + "/配置/fghh.ini") + " ");
         }},
        {"a size edited in the manifest",
         [&](const std::string& b) {
             const auto size = std::to_string(fs::file_size(b + "/配置/fghh.ini"));
             editManifest(b, "\t" + size + "\t", "\t" + size + "0\t");
         }},
        {"a path out of the run folder",
         [&](const std::string& b) { editManifest(b, "配置/fghh.ini", "../fghh.ini"); }},
        {"a cut-off manifest",
         [&](const std::string& b) {
             std::string text = readFile(b + "/" + kManifestName);
             writeFile(b + "/" + kManifestName, text.substr(0, text.rfind("end\t")));
         }},
        {"no manifest", [&](const std::string& b) { fs::remove(b + "/" + kManifestName); }},
    };
    changeRunFolder();
    const auto before = snapshot(run);
    for (const Spoil& spoil : spoils) {
        const std::string copy =
            path(std::string("spoiled-") + std::to_string(&spoil - spoils.data()));
        fs::copy(backup, copy, fs::copy_options::recursive);
        spoil.apply(copy);
        const RestoreReport r = restoreBackup(copy, run, freeHold());
        EXPECT_FALSE(r.ok) << spoil.what;
        EXPECT_FALSE(r.error.empty()) << spoil.what;
        EXPECT_EQ(snapshot(run), before) << spoil.what;
    }
    EXPECT_EQ(holds, 0);  // refused before the folder was even asked for
}

// Every unsound file is named. Without being asked nothing is replaced;
// asked for the sound files only, those come back and the unsound ones stay
// as the run folder has them.
TEST_F(RestoreTest, NamesEveryUnsoundFileAndRestoresTheRestOnlyWhenAsked) {
    const std::vector<std::string> spoiled = {"员工数据库/员工基本数据库.edb", "配置/fghh.ini"};
    for (const auto& rel : spoiled) {
        std::string bytes = readFile(backup + "/" + rel);
        bytes[bytes.size() / 2] ^= 1;
        writeFile(backup + "/" + rel, bytes);
    }
    changeRunFolder();
    const auto before = snapshot(run);
    struct Case {
        bool soundOnly;
        bool ok;
        int restored;
    };
    for (const Case c : {Case{false, false, 0}, Case{true, true, 4}}) {
        SCOPED_TRACE(c.soundOnly ? "sound files only" : "the whole backup");
        const RestoreReport r = restoreBackup(backup, run, freeHold(), c.soundOnly);
        EXPECT_EQ(r.ok, c.ok) << r.error;
        EXPECT_EQ(r.restored, c.restored);
        ASSERT_EQ(r.unsound.size(), spoiled.size());
        for (std::size_t i = 0; i < spoiled.size(); ++i)
            EXPECT_TRUE(r.unsound[i].starts_with(spoiled[i] + ": ")) << r.unsound[i];
    }
    std::map<std::string, std::string> expected;
    for (const auto& [rel, bytes] : atBackup) expected[rel] = *sha256File(backup + "/" + rel);
    for (const auto& rel : spoiled) expected[rel] = before.at(rel);
    EXPECT_EQ(snapshot(run), expected);
}

TEST_F(RestoreTest, RefusesWhileTheProgramHoldsTheFolder) {
    changeRunFolder();
    const auto before = snapshot(run);
    const RunFolderHold busy = [](const std::string&, std::string* why) -> std::shared_ptr<void> {
        *why = "the shop program is running on this folder";
        return nullptr;
    };
    const RestoreReport r = restoreBackup(backup, run, busy);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "the shop program is running on this folder");
    EXPECT_EQ(snapshot(run), before);
}

TEST_F(RestoreTest, FullDiskWhileStagingReplacesNothing) {
    changeRunFolder();
    writeFile(DataPaths{run}.settingsFile(), std::string(300000, 'b'));
    ASSERT_TRUE(takeBackup(run, path("big"), {2024, 3, 9, 0, 0, 0}).ok);
    const std::string bigBackup = path("big") + "/2024-03-09_00-00-00";
    writeFile(DataPaths{run}.settingsFile(), "small");
    const auto before = snapshot(run);
    {
        shop::test::FileSizeLimit limit(200000);
        ASSERT_TRUE(limit.active());
        const RestoreReport r = restoreBackup(bigBackup, run, freeHold());
        EXPECT_FALSE(r.ok);
    }
    EXPECT_EQ(snapshot(run), before);
}

}  // namespace
}  // namespace shop::backup::testing
