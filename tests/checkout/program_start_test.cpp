// The program itself, started where it cannot run: it says on standard error
// what failed and where, in one line, and ends with a failure code.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <set>

#include "storage/run_lock.h"

namespace {

namespace fs = std::filesystem;

struct Ended {
    int exitCode = -1;
    bool crashed = false;
    QString stderrText;
};

// Copies the program into `dir` and starts it there, off screen.
Ended startProgramIn(const QString& dir) {
    const QString program = dir + "/chengyu_shop";
    fs::copy_file(SHOP_PROGRAM, program.toStdString(), fs::copy_options::overwrite_existing);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(program, {});
    Ended e;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "the program did not end";
        return e;
    }
    e.exitCode = p.exitCode();
    e.crashed = p.exitStatus() != QProcess::NormalExit;
    e.stderrText = QString::fromUtf8(p.readAllStandardError());
    return e;
}

// The lines the program itself wrote (Qt's own notes about the environment
// are not its words).
QStringList programLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts))
        if (line.startsWith(QStringLiteral("澄屿店铺管理系统"))) lines << line;
    return lines;
}

TEST(ProgramStart, WithoutItsDataFoldersItNamesTheMissingFolderAndFails) {
    QTemporaryDir dir;
    const Ended e = startProgramIn(dir.path());
    EXPECT_FALSE(e.crashed);
    EXPECT_NE(e.exitCode, 0);
    const QStringList lines = programLines(e.stderrText);
    ASSERT_EQ(lines.size(), 1) << e.stderrText.toStdString();
    EXPECT_TRUE(lines[0].contains(dir.path() + "/数据库管理")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("运行文件夹：" + dir.path())) << lines[0].toStdString();
    // It creates nothing where it cannot run: beside the program only the
    // run folder's lock, which holds no data.
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path().toStdString()))
        left.insert(entry.path().filename().string());
    left.erase(shop::storage::kRunLockName);
    EXPECT_EQ(left.size(), 1u);
}

TEST(ProgramStart, AProductSaveTableThatDoesNotOpenIsNamedAndFails) {
    QTemporaryDir dir;
    fs::create_directory(dir.filePath("数据库管理").toStdString());
    std::ofstream(dir.filePath("数据库管理/产品保存.edb").toStdString()) << "not a table";
    const Ended e = startProgramIn(dir.path());
    EXPECT_NE(e.exitCode, 0);
    const QStringList lines = programLines(e.stderrText);
    ASSERT_EQ(lines.size(), 1) << e.stderrText.toStdString();
    EXPECT_TRUE(lines[0].contains("产品保存.edb")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(dir.path())) << lines[0].toStdString();
}

}  // namespace
