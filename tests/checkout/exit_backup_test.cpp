// The backup at each orderly exit: what goes wrong with it is said once, in
// the window, and the exit goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "backup/backup.h"
#include "support/main_window_driver.h"

namespace shop::test {
namespace {

namespace fs = std::filesystem;

TEST(ExitBackup, AProblemWithTheBackupIsSaidOnceBeforeTheProgramEnds) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& backups)> spoil;
        const char* said;
        const char* names;
    };
    const Case cases[] = {
        {"a damaged previous backup",
         [](const fs::path& backups) {
             const fs::path table =
                 fs::directory_iterator(backups)->path() / "员工数据库" / "员工基本数据库.edb";
             std::fstream f(table, std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(2000);
             f.put('\x5a');
         },
         "上一次的备份已损坏", "员工基本数据库.edb"},
        {"no room for the backup folder",
         [](const fs::path& backups) {
             fs::remove_all(backups);
             std::ofstream(backups) << "a file where the backups go";
         },
         "本次退出备份失败", "备份"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowDriver d;
        const fs::path backups = fs::path(d.run.dir()) / backup::kRollingBackupFolder;
        ASSERT_TRUE(backup::rollingBackup(d.run.dir()).ok);
        c.spoil(backups);
        d.start();
        d.click("图形按钮1_关闭");
        EXPECT_TRUE(d.platform.exited());
        EXPECT_EQ(d.platform.exitCode(), 0);
        ASSERT_EQ(d.platform.messages().size(), 1) << d.platform.messages().join('|').toStdString();
        const QString message = d.platform.messages()[0];
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.said))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.names))) << message.toStdString();
    }
}

}  // namespace
}  // namespace shop::test
