// Taking backups: what a backup holds, that an unchanged file is reused,
// that nothing half-made looks finished, and the rotation of the exit backups.
#include "backup/backup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include "backup/backup_manifest.h"
#include "backup/restore.h"
#include "backup_fixture.h"
#include "reliability/file_size_limit.h"
#include "storage/sha256.h"

namespace shop::backup::testing {
namespace {

namespace fs = std::filesystem;

Manifest manifestOf(const std::string& folder) {
    std::string why;
    auto m = parseManifest(readFile(folder + "/" + kManifestName), &why);
    EXPECT_TRUE(m) << why;
    return m ? *m : Manifest{};
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

class BackupTest : public RunFolderTest {};

TEST_F(BackupTest, HoldsEveryTableAndTheSettingsAsTheManifestSays) {
    // An employee name with a tab and a "%" names a file the manifest must escape.
    addTable(kLeaveFolder, "张\t三%.edb", 3);
    addTable(kTicketFolder, "小票2024年3月6日9时0分1秒.edb", 2);  // the tickets belong to the shop
    writeFile(joinPath(run, kSalesFolder, "说明.txt"), "not a table");
    const BackupReport r = takeBackup(run, path("dest"), {2024, 3, 7, 8, 5, 0});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(fs::path(r.folder).filename(), "2024-03-07_08-05-00");
    EXPECT_TRUE(r.skipped.empty());
    EXPECT_EQ(entriesOf(path("dest")), std::vector<std::string>{"2024-03-07_08-05-00"});

    const Manifest m = manifestOf(r.folder);
    std::vector<std::string> paths;
    for (const auto& e : m.entries) {
        paths.push_back(e.path);
        EXPECT_EQ(sha256File(r.folder + "/" + e.path), e.sha256) << e.path;
        EXPECT_EQ(fs::file_size(r.folder + "/" + e.path), e.size) << e.path;
        if (e.path.ends_with(".edb")) {
            EXPECT_EQ(checkIntegrity(r.folder + "/" + e.path), "") << e.path;
        }
    }
    const std::vector<std::string> expected = {"数据库管理/产品保存.edb",
                                               "数据库管理/产品数据库.edb",
                                               "保存数据库/销售数据2024年3月5日14时7分9秒.edb",
                                               "保存数据库/销售数据2024年3月6日9时0分1秒.edb",
                                               "员工数据库/员工基本数据库.edb",
                                               "员工请假数据库/张\t三%.edb",
                                               "收款记录/小票2024年3月6日9时0分1秒.edb",
                                               "配置/fghh.ini"};
    EXPECT_EQ(paths, expected);
    EXPECT_EQ(r.copied, 8);
    EXPECT_EQ(readFile(r.folder + "/配置/fghh.ini"), readFile(DataPaths{run}.settingsFile()));

    // The copied sales table holds every record.
    ASSERT_TRUE(open(r.folder + "/保存数据库/销售数据2024年3月5日14时7分9秒.edb", true));
    EXPECT_EQ(recordCount(), 20);
    skip(19);
    EXPECT_EQ(readText(4), cellText(20, 4));
}

TEST_F(BackupTest, UnchangedFilesAreLinkedFromThePreviousBackupAndChangedOnesCopied) {
    const BackupReport first = takeBackup(run, path("dest"), {2024, 3, 7, 8, 0, 0});
    ASSERT_TRUE(first.ok) << first.error;
    ASSERT_TRUE(open(sales));
    ASSERT_TRUE(appendRecords(21, 21));
    close();

    const BackupReport second = takeBackup(run, path("dest"), {2024, 3, 7, 9, 0, 0});
    ASSERT_TRUE(second.ok) << second.error;
    EXPECT_EQ(second.copied, 1);
    EXPECT_EQ(second.reused, 5);
    const std::string rel = "保存数据库/销售数据2024年3月5日14时7分9秒.edb";
    EXPECT_NE(manifestOf(second.folder).find(rel)->sha256,
              manifestOf(first.folder).find(rel)->sha256);
    EXPECT_EQ(sha256File(second.folder + "/" + rel), manifestOf(second.folder).find(rel)->sha256);
    const std::string same = "员工数据库/员工基本数据库.edb";
    EXPECT_EQ(inodeOf(second.folder + "/" + same), inodeOf(first.folder + "/" + same));

    // A reused file that went missing from the previous backup is copied afresh.
    fs::remove(second.folder + "/" + same);
    const BackupReport third = takeBackup(run, path("dest"), {2024, 3, 7, 10, 0, 0});
    ASSERT_TRUE(third.ok) << third.error;
    EXPECT_EQ(third.copied, 1);
    EXPECT_EQ(checkIntegrity(third.folder + "/" + same), "");
}

// One changed byte in the previous backup stays there: the next backup
// copies that file afresh instead of linking the damage on, and names it.
TEST_F(BackupTest, ADamagedPreviousBackupIsNotLinkedOnAndIsNamed) {
    const BackupReport first = takeBackup(run, path("dest"), {2024, 3, 7, 8, 0, 0});
    ASSERT_TRUE(first.ok) << first.error;
    const std::string same = "员工数据库/员工基本数据库.edb";
    std::string bytes = readFile(first.folder + "/" + same);
    bytes[bytes.size() / 2] ^= 1;
    writeFile(first.folder + "/" + same, bytes);

    const BackupReport second = takeBackup(run, path("dest"), {2024, 3, 7, 9, 0, 0});
    ASSERT_TRUE(second.ok) << second.error;
    ASSERT_EQ(second.damaged.size(), 1u);
    EXPECT_NE(second.damaged[0].find(first.folder + "/" + same), std::string::npos)
        << second.damaged[0];
    EXPECT_EQ(second.copied, 1);
    EXPECT_NE(inodeOf(second.folder + "/" + same), inodeOf(first.folder + "/" + same));
    // The fresh copy is the table as it was backed up first, before the damage.
    EXPECT_EQ(manifestOf(second.folder).find(same)->sha256,
              manifestOf(first.folder).find(same)->sha256);
    EXPECT_EQ(sha256File(second.folder + "/" + same), manifestOf(second.folder).find(same)->sha256);
    EXPECT_TRUE(restoreBackup(second.folder, run, freeHold()).ok);
}

TEST_F(BackupTest, DamagedTableIsSkippedAndNamedWhileTheRestIsSaved) {
    writeFile(joinPath(run, kSalaryFolder, "李四.edb"), std::string(4096, 'x'));
    const BackupReport r = takeBackup(run, path("dest"), {2024, 3, 7, 8, 0, 0});
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_NE(r.skipped[0].find("李四.edb"), std::string::npos);
    EXPECT_FALSE(manifestOf(r.folder).find("员工工资管理/李四.edb"));
    EXPECT_EQ(r.copied, 6);  // the five tables of the fixture and the settings
}

TEST_F(BackupTest, BackupCutOffByAFullDiskLeavesNothingThatLooksFinished) {
    fs::create_directories(path("dest"));
    {
        // Larger than any single table here, smaller than the photo-sized filler.
        writeFile(joinPath(run, kSettingsFolder, "fghh.ini"), std::string(300000, 'a'));
        shop::test::FileSizeLimit limit(200000);
        ASSERT_TRUE(limit.active());
        const BackupReport r = takeBackup(run, path("dest"), {2024, 3, 7, 8, 0, 0});
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.empty());
    }
    EXPECT_TRUE(entriesOf(path("dest")).empty());
}

class RollingBackupTest : public RunFolderTest {};

TEST_F(RollingBackupTest, KeepsExactlyTheNewestSeven) {
    const std::string dest = joinPath(run, kRollingBackupFolder);
    std::vector<std::string> made;
    for (int day = 1; day <= 9; ++day) {
        const BackupReport r = rollingBackup(run, kRollingBackupsKept, {2024, 4, day, 18, 30, 0});
        ASSERT_TRUE(r.ok) << r.error;
        made.push_back(fs::path(r.folder).filename().string());
        EXPECT_EQ(entriesOf(dest).size(), std::min<std::size_t>(made.size(), 7))
            << "after backup " << day;
    }
    EXPECT_EQ(entriesOf(dest), std::vector<std::string>(made.begin() + 2, made.end()));
    // Every kept backup is whole, though most of its files are links into
    // backups that rotation removed.
    for (const auto& name : entriesOf(dest))
        for (const auto& e : manifestOf(dest + "/" + name).entries)
            EXPECT_EQ(sha256File(dest + "/" + name + "/" + e.path), e.sha256)
                << name << "/" << e.path;

    // Two in the same second get distinct names; a clock set back does not
    // cost the backup just made.
    const BackupReport same = rollingBackup(run, kRollingBackupsKept, {2024, 4, 9, 18, 30, 0});
    ASSERT_TRUE(same.ok) << same.error;
    EXPECT_EQ(fs::path(same.folder).filename(), "2024-04-09_18-30-00_2");
    const BackupReport early = rollingBackup(run, kRollingBackupsKept, {2020, 1, 1, 0, 0, 0});
    ASSERT_TRUE(early.ok) << early.error;
    EXPECT_TRUE(fs::exists(early.folder));
    EXPECT_EQ(entriesOf(dest).size(), 7u);
}

// Rotation goes by when each backup was made, not by its name: a clock set
// back names a new backup early, a clock once set ahead leaves backups named
// (and perhaps made) in the future, and neither costs the backups made since.
TEST_F(RollingBackupTest, KeepsTheNewestSevenByWhenTheyWereMade) {
    struct Planted {
        Moment name;
        long madeFromNow;  // seconds; the manifest's time
    };
    struct Case {
        const char* what;
        std::vector<Planted> planted;  // oldest made first
        int exitsToday;
        std::vector<std::size_t> plantedKept;
    };
    const long year = 365L * 24 * 3600;
    std::vector<Planted> aheadNamedAndMade, aheadNamed, namesGoingBack;
    for (int i = 0; i < 7; ++i) {
        aheadNamedAndMade.push_back({{2030, 1, i + 1, 8, 0, 0}, 4 * year + i});
        aheadNamed.push_back({{2030, 1, i + 1, 8, 0, 0}, -700 + 100 * i});
        namesGoingBack.push_back({{2024, 4, 7 - i, 8, 0, 0}, -700 + 100 * i});
    }
    const Case cases[] = {
        {"named and made in the future", aheadNamedAndMade, 3, {3, 4, 5, 6}},
        {"named in the future", aheadNamed, 3, {3, 4, 5, 6}},
        {"names going back", namesGoingBack, 1, {1, 2, 3, 4, 5, 6}},
    };
    const std::string dest = joinPath(run, kRollingBackupFolder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dest);
        std::vector<std::string> planted, expected;
        for (const Planted& p : c.planted) {
            const BackupReport r = takeBackup(run, dest, p.name);
            ASSERT_TRUE(r.ok) << r.error;
            const timespec made{std::time(nullptr) + p.madeFromNow, 0};
            const timespec times[2] = {made, made};
            const std::string manifest = r.folder + "/" + kManifestName;
            ASSERT_EQ(::utimensat(AT_FDCWD, manifest.c_str(), times, 0), 0);
            planted.push_back(fs::path(r.folder).filename().string());
        }
        for (const std::size_t i : c.plantedKept) expected.push_back(planted[i]);
        for (int exit = 0; exit < c.exitsToday; ++exit) {
            const BackupReport r = rollingBackup(run);
            ASSERT_TRUE(r.ok) << r.error;
            expected.push_back(fs::path(r.folder).filename().string());
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(entriesOf(dest), expected);
    }
}

TEST_F(RollingBackupTest, ABackupFolderThatIsALinkIsNeitherFilledNorRotated) {
    for (int day = 1; day <= 8; ++day)
        ASSERT_TRUE(takeBackup(run, path("outside"), {2024, 4, day, 8, 0, 0}).ok);
    const auto before = snapshot(path("outside"));
    fs::create_directory_symlink(path("outside"), joinPath(run, kRollingBackupFolder));
    const BackupReport r = rollingBackup(run);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(kRollingBackupFolder), std::string::npos) << r.error;
    EXPECT_EQ(snapshot(path("outside")), before);
}

TEST_F(RollingBackupTest, LeftoverPartialFolderIsNotCountedAndGoesWhenStale) {
    const std::string dest = joinPath(run, kRollingBackupFolder);
    fs::create_directories(dest + "/.partial-old");
    fs::last_write_time(dest + "/.partial-old",
                        fs::file_time_type::clock::now() - std::chrono::hours(2));
    fs::create_directories(dest + "/.partial-busy");
    ASSERT_TRUE(rollingBackup(run, 1, {2024, 4, 1, 0, 0, 0}).ok);
    const auto left = entriesOf(dest);
    EXPECT_EQ(left, (std::vector<std::string>{".partial-busy", "2024-04-01_00-00-00"}));
}

}  // namespace
}  // namespace shop::backup::testing
